// The owning file handle and the platform's file calls behind it.
#include "file_access.h"

#include <gtest/gtest.h>

#include <utility>

#include "scratch_directory.h"

namespace kurvana::file {
namespace {

class FileAccessTest : public ::testing::Test {
 protected:
  void SetUp() override { kurvana::testing::write_bytes(path_, {1, 2, 3, 4}); }
  kurvana::testing::ScratchDirectory dir_;
  std::string path_ = dir_.path("four");
};

TEST_F(FileAccessTest, MovedHandleIsOwnedOnce) {
  FileHandle first = open_for_reading(path_.c_str());
  ASSERT_TRUE(first.is_open());
  FileHandle second(std::move(first));
  EXPECT_FALSE(first.is_open());
  FileHandle third;
  third = std::move(second);
  EXPECT_FALSE(second.is_open());
  uint8_t byte = 0;
  EXPECT_TRUE(read_exact(third, &byte, 1));
  EXPECT_EQ(1, byte);
  EXPECT_TRUE(third.close());
  EXPECT_FALSE(third.is_open());
  EXPECT_TRUE(third.close());  // nothing left to close
}

TEST_F(FileAccessTest, ReadStopsShortAtTheEnd) {
  FileHandle file = open_for_reading(path_.c_str());
  uint8_t bytes[5];
  EXPECT_TRUE(read_exact(file, bytes, 3));
  EXPECT_FALSE(read_exact(file, bytes, 2));
}

TEST_F(FileAccessTest, CreatingNeverOpensAnExistingFile) {
  EXPECT_FALSE(create_new_for_writing(path_.c_str()).is_open());
  EXPECT_EQ(kurvana::testing::Bytes({1, 2, 3, 4}),
            kurvana::testing::read_bytes(path_));
  FileHandle created = create_new_for_writing(dir_.path("new").c_str());
  ASSERT_TRUE(created.is_open());
  EXPECT_TRUE(write_all(created, "ab", 2));
  EXPECT_TRUE(created.close());
  EXPECT_EQ(kurvana::testing::Bytes({'a', 'b'}),
            kurvana::testing::read_bytes(dir_.path("new")));
}

}  // namespace
}  // namespace kurvana::file
