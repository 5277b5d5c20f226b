#pragma once
// The files the open chart stands on: a change to any of them changes what it should show.

#include <string>
#include <vector>

class CBars;

namespace tv {

struct FollowedFiles {
  std::vector<std::string> index;  // MASTER, and EMASTER and XMASTER with extended reading
  std::vector<std::string> data;   // the current security's layout and data files
  // The directories that hold them: a file replaced by renaming another into its place, or
  // one that appears, shows there.
  std::vector<std::string> directories;
  bool operator==(const FollowedFiles&) const = default;
};

// Paths as the reader resolves them (any case); a file that does not exist is named all the
// same, so that its directory says when it comes. Empty before a MASTER file is accepted.
FollowedFiles FilesToFollow(const CBars& bars);

}  // namespace tv
