#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "core/local_file_system.h"

namespace norvane {
namespace {

// A kept twin is rewritten in place: a shorter text must not keep the old tail, and
// swapping it with its file leaves each name with the other's bytes.
TEST(LocalFileSystem, RewritesInPlaceAndSwaps) {
  const auto root = std::filesystem::temp_directory_path() / ("norvane-lfs-" + std::to_string(getpid()));
  std::filesystem::create_directories(root);
  LocalFileSystem fs(root);
  struct Case { const char* first; const char* second; };
  for (const Case& c : {Case{"a much longer first text\r\n", "short\r\n"}, Case{"", "x"}, Case{"abc", ""}}) {
    ASSERT_TRUE(fs.WriteAll("twin", c.first));
    ASSERT_TRUE(fs.WriteAll("twin", c.second));
    EXPECT_EQ(fs.ReadAll("twin"), c.second);
  }
  ASSERT_TRUE(fs.WriteAll("file", "old"));
  ASSERT_TRUE(fs.WriteAll("twin", "new"));
  ASSERT_TRUE(fs.Exchange("twin", "file"));
  EXPECT_EQ(fs.ReadAll("file"), "new");
  EXPECT_EQ(fs.ReadAll("twin"), "old");
  EXPECT_FALSE(fs.Exchange("missing", "file"));
  EXPECT_EQ(fs.ReadAll("file"), "new");
  std::error_code ec;
  std::filesystem::remove_all(root, ec);
}

}  // namespace
}  // namespace norvane
