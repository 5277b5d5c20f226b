#pragma once
// How much memory the process may still take, so that work that holds large images at once
// can hold no more of them than fit: the system's available memory, the process's
// address-space limit and its control group's memory limit.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tv {

struct MemoryRoom {
  // Bytes of memory that may still be used: the least of the system's available memory and
  // the room under each control-group limit. Nothing when unknown.
  std::optional<std::uint64_t> memory;
  // Bytes of address space left under RLIMIT_AS; nothing when unlimited.
  std::optional<std::uint64_t> addressSpace;
};

// MemAvailable of /proc/meminfo, in bytes.
std::optional<std::uint64_t> AvailableMemory(std::string_view meminfo);
// The room under a control group's limit ("max" or a number of bytes, as cgroup v2's
// memory.max and v1's memory.limit_in_bytes hold it) with `usage` bytes used; nothing when
// there is no limit. v1 writes "no limit" as a number near 2^63.
std::optional<std::uint64_t> RoomUnderLimit(std::string_view limit, std::string_view usage);
// This process's control-group directory of the memory controller, from /proc/self/cgroup
// ("0::/path" for v2, "N:...memory...:/path" for v1), below `root` (its mount point).
std::string CgroupDirectory(std::string_view selfCgroup, bool v2, const std::string& root);

// The room now, as the system tells it.
MemoryRoom MeasureMemoryRoom();

// How many images of imageBytes each may be drawn at once, at most `jobs` and at least one:
// each holds its image, its encoded copy and a thread's stack and allocator arena.
int ImagesAtOnce(int jobs, std::uint64_t imageBytes, const MemoryRoom& room);

}  // namespace tv
