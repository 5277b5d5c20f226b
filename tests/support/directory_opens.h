#pragma once
// Counting how often a directory is opened (listed) while some work runs, through inotify:
// the tests of walks that must read each directory's names once.

#include <sys/inotify.h>
#include <unistd.h>

#include <filesystem>

namespace fixture {

// How many times the directory at `dir` is opened while `work` runs; -1 when it cannot be
// watched.
template <class Work>
int DirectoryOpens(const std::filesystem::path& dir, Work work) {
  const int fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  // Closes are watched too: they keep successive opens from merging into one event.
  if (fd < 0 || inotify_add_watch(fd, dir.c_str(), IN_OPEN | IN_CLOSE | IN_ONLYDIR) < 0) return -1;
  work();
  int opens = 0;
  alignas(inotify_event) char buffer[65536];
  for (ssize_t got; (got = read(fd, buffer, sizeof buffer)) > 0;) {
    for (char* at = buffer; at < buffer + got;) {
      const auto* event = reinterpret_cast<const inotify_event*>(at);
      if (event->len == 0 && (event->mask & IN_OPEN)) ++opens;  // the directory itself
      at += sizeof(inotify_event) + event->len;
    }
  }
  close(fd);
  return opens;
}

}  // namespace fixture
