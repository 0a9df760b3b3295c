#include "platform/ui/ini_manager.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

namespace platform::ui {
namespace {

std::string ReadAll(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class IniManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("ini_manager_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
    file_ = (dir_ / "pexolind.INI").string();
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::filesystem::path dir_;
  std::string file_;
};

TEST_F(IniManagerTest, BookkeepingIsReadAtInitAndWrittenAtRelease) {
  {
    std::ofstream out(file_, std::ios::binary);
    out << "[Other]\r\nKey=Value\r\n[__Dont_Touch_Me__]\r\nSectors=Other\r\n";
  }
  IniManager ini;
  ini.Init(file_);
  EXPECT_EQ(ini.sectors(), "Other");
  std::filesystem::remove(file_);
  ini.Release();
  EXPECT_EQ(ReadAll(file_), "[__Dont_Touch_Me__]\r\nSectors=Other\r\n");
}

TEST_F(IniManagerTest, MissingFileReadsEmptyAndIsCreatedAtRelease) {
  IniManager ini;
  ini.Init(file_);
  EXPECT_EQ(ini.sectors(), "");
  ini.Release();
  EXPECT_EQ(ReadAll(file_), "[__Dont_Touch_Me__]\r\nSectors=\r\n");
  ini.Release();  // a second release writes nothing
}

}  // namespace
}  // namespace platform::ui
