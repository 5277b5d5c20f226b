#include "memory_room.h"

#include <sys/resource.h>

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <tuple>

namespace tv {

namespace {

constexpr std::uint64_t kMiB = std::uint64_t{1} << 20;
// What one more image in flight costs beside its pixels: the painter's and the encoder's
// buffers, and for the address space a thread's stack and its allocator arena.
constexpr std::uint64_t kImageOverhead = 16 * kMiB;
constexpr std::uint64_t kThreadAddressSpace = 96 * kMiB;
// Kept free for the rest of the process: fonts, the chart objects, the list.
constexpr std::uint64_t kReserve = 64 * kMiB;
// v1 writes "no limit" as the largest page-aligned number below 2^63.
constexpr std::uint64_t kNoLimit = std::uint64_t{1} << 62;

std::optional<std::uint64_t> Number(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end == text.data()) return std::nullopt;
  return value;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::optional<std::uint64_t> Least(std::optional<std::uint64_t> a, std::optional<std::uint64_t> b) {
  if (!a) return b;
  if (!b) return a;
  return std::min(*a, *b);
}

// The least room under the limits of the group and every group above it that the mount shows.
std::optional<std::uint64_t> CgroupRoom(std::string directory, const std::string& root,
                                        const char* limitFile, const char* usageFile) {
  std::optional<std::uint64_t> room;
  namespace fs = std::filesystem;
  for (;;) {
    const std::string limit = ReadAll(directory + "/" + limitFile);
    if (!limit.empty())
      room = Least(room, RoomUnderLimit(limit, ReadAll(directory + "/" + usageFile)));
    if (directory.size() <= root.size()) break;
    directory = fs::path(directory).parent_path().string();
  }
  return room;
}

}  // namespace

std::optional<std::uint64_t> AvailableMemory(std::string_view meminfo) {
  constexpr std::string_view key = "MemAvailable:";
  const std::size_t at = meminfo.find(key);
  if (at == std::string_view::npos) return std::nullopt;
  const std::optional<std::uint64_t> kib = Number(meminfo.substr(at + key.size()));
  if (!kib) return std::nullopt;
  return *kib * 1024;
}

std::optional<std::uint64_t> RoomUnderLimit(std::string_view limit, std::string_view usage) {
  const std::optional<std::uint64_t> most = Number(limit);
  if (!most || *most >= kNoLimit) return std::nullopt;
  const std::uint64_t used = Number(usage).value_or(0);
  return *most > used ? *most - used : 0;
}

std::string CgroupDirectory(std::string_view selfCgroup, bool v2, const std::string& root) {
  std::istringstream lines{std::string(selfCgroup)};
  for (std::string line; std::getline(lines, line);) {
    const std::size_t first = line.find(':'), second = line.find(':', first + 1);
    if (first == std::string::npos || second == std::string::npos) continue;
    const std::string_view controllers =
        std::string_view(line).substr(first + 1, second - first - 1);
    const bool match =
        v2 ? line.compare(0, first, "0") == 0 && controllers.empty()
           : ("," + std::string(controllers) + ",").find(",memory,") != std::string::npos;
    if (!match) continue;
    std::string path = root + line.substr(second + 1);
    while (path.size() > root.size() && path.back() == '/') path.pop_back();
    // A group outside the mount's view (a container's own root is mounted): the mount's root.
    return std::filesystem::is_directory(path) ? path : root;
  }
  return root;
}

MemoryRoom MeasureMemoryRoom() {
  MemoryRoom room;
  room.memory = AvailableMemory(ReadAll("/proc/meminfo"));
  const std::string self = ReadAll("/proc/self/cgroup");
  for (const auto& [v2, root, limit, usage] :
       {std::tuple{true, std::string("/sys/fs/cgroup"), "memory.max", "memory.current"},
        std::tuple{true, std::string("/sys/fs/cgroup/unified"), "memory.max", "memory.current"},
        std::tuple{false, std::string("/sys/fs/cgroup/memory"), "memory.limit_in_bytes",
                   "memory.usage_in_bytes"}}) {
    if (!std::filesystem::is_directory(root)) continue;
    room.memory =
        Least(room.memory, CgroupRoom(CgroupDirectory(self, v2, root), root, limit, usage));
  }
  rlimit limit{};
  if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
    // VmSize of /proc/self/status: the address space in use, in KiB.
    const std::string status = ReadAll("/proc/self/status");
    const std::size_t at = status.find("VmSize:");
    const std::uint64_t used =
        at == std::string::npos
            ? 0
            : Number(std::string_view(status).substr(at + 7)).value_or(0) * 1024;
    room.addressSpace = limit.rlim_cur > used ? limit.rlim_cur - used : 0;
  }
  return room;
}

int ImagesAtOnce(int jobs, std::uint64_t imageBytes, const MemoryRoom& room) {
  // The image and its encoded copy, which for a chart is far smaller but need not be.
  const std::uint64_t each = imageBytes + imageBytes / 2 + kImageOverhead;
  std::uint64_t most = static_cast<std::uint64_t>(std::max(jobs, 1));
  const auto fit = [&](std::optional<std::uint64_t> free, std::uint64_t cost) {
    if (!free) return;
    const std::uint64_t usable = *free > kReserve ? *free - kReserve : 0;
    most = std::min(most, usable / cost);
  };
  fit(room.memory, each);
  fit(room.addressSpace, each + kThreadAddressSpace);
  return static_cast<int>(std::max<std::uint64_t>(most, 1));
}

}  // namespace tv
