#pragma once
// Where tickvane finds its windowed viewer: beside itself in the build tree, in the library
// directory of the prefix when installed.

#include <string>

namespace tv {

// `argv0` serves only where the system cannot name the running program's own file.
std::string ViewerPath(const char* argv0);

}  // namespace tv
