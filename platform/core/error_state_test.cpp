#include "platform/core/error_state.h"

#include <thread>

#include <gtest/gtest.h>

#include "platform/core/error_codes.h"

namespace platform {
namespace {

TEST(ErrorState, PostAndClear) {
  PostError(kFileNotFound);
  EXPECT_EQ(ErrorCode(), 2);
  EXPECT_EQ(Error(), "File Not Found");
  EXPECT_TRUE(SetErrorState(Status()));
  EXPECT_EQ(ErrorCode(), 0);
  EXPECT_EQ(Error(), "");
  EXPECT_FALSE(SetErrorState(Status::Error(kFileSystemError, {}, "driver said no", "42")));
  EXPECT_EQ(Error(), "File System Error");
  EXPECT_EQ(FileError(), "driver said no");
  EXPECT_EQ(FileErrorCode(), "42");
}

TEST(ErrorState, EachThreadHasItsOwn) {
  PostError(kAccessDenied);
  int other = -1;
  std::thread t([&] {
    other = ErrorCode();
    PostError(kFileNotOpen);
  });
  t.join();
  EXPECT_EQ(other, 0);
  EXPECT_EQ(ErrorCode(), kAccessDenied);
  ClearError();
}

}  // namespace
}  // namespace platform
