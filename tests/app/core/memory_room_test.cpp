// The memory an export may take, read from the texts the system gives, and how many images
// fit in it.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "memory_room.h"
#include "quote_writer.h"

namespace {

constexpr std::uint64_t kMiB = std::uint64_t{1} << 20;

TEST(MemoryRoom, ReadsAvailableMemoryAndTheRoomUnderAGroupsLimit) {
  EXPECT_EQ(tv::AvailableMemory("MemTotal: 8000 kB\nMemFree: 10 kB\nMemAvailable:    2048 kB\n"),
            2048u * 1024);
  EXPECT_EQ(tv::AvailableMemory("MemTotal: 8000 kB\n"), std::nullopt);
  const struct {
    const char* limit;
    const char* usage;
    std::optional<std::uint64_t> room;
  } cases[] = {
      {"max\n", "123\n", std::nullopt},                // v2, no limit
      {"9223372036854771712\n", "5\n", std::nullopt},  // v1, no limit
      {"3221225472\n", "1073741824\n", 2147483648u},   // 3 GB, 1 GB used
      {"1000\n", "2000\n", 0u},                        // over the limit already
      {"", "", std::nullopt},                          // no such file
  };
  for (const auto& c : cases) EXPECT_EQ(tv::RoomUnderLimit(c.limit, c.usage), c.room) << c.limit;
}

// The group's folder below the mount, or the mount's root where a container sees its own
// group as the root.
TEST(MemoryRoom, FindsTheMemoryGroupOrTheMountsRoot) {
  const fixture::TempDir dir;
  std::filesystem::create_directories(dir.path() / "user.slice");
  const std::string root = dir.path().string();
  EXPECT_EQ(tv::CgroupDirectory("4:memory:/user.slice\n3:cpu:/x\n", false, root),
            root + "/user.slice");
  EXPECT_EQ(tv::CgroupDirectory("0::/user.slice\n", true, root), root + "/user.slice");
  EXPECT_EQ(tv::CgroupDirectory("4:memory:/elsewhere\n", false, root), root);
}

TEST(MemoryRoom, AsManyImagesAtOnceAsFitAndAlwaysOne) {
  const std::uint64_t image = 256 * kMiB;  // 8192 x 8192 x 4
  const struct {
    int jobs;
    tv::MemoryRoom room;
    int atOnce;
  } cases[] = {
      {16, {}, 16},                                // nothing known: as asked
      {16, {64 * 1024 * kMiB, std::nullopt}, 16},  // plenty
      // 2.5 GB of address space with 500 MB used: 2 GB for images of 384 MB and a thread each.
      {16, {std::nullopt, 2048 * kMiB}, 4},
      {256, {3072 * kMiB, std::nullopt}, 7},  // a 3 GB group
      {4, {100 * kMiB, 100 * kMiB}, 1},       // not even one fits: one is tried
  };
  for (const auto& c : cases)
    EXPECT_EQ(tv::ImagesAtOnce(c.jobs, image, c.room), c.atOnce) << c.atOnce;
}

}  // namespace
