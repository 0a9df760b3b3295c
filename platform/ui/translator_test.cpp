#include "platform/ui/translator.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/files/file_test_support.h"

namespace platform::ui {
namespace {

using files::TempDirForTest;

TEST(Translator, LooksUpTranslationsIgnoringTrailingBlanksOfTheText) {
  Translator t;
  t.Init();
  t.AddPair("Cancel", "Annuleren");
  t.AddPair("Empty", "");
  t.AddPair("Blank", "   ");
  t.AddPair("You can't delete ", "U kunt niet verwijderen ");
  struct Case {
    std::string_view text;
    std::string_view answer;
  };
  for (const Case& c : {Case{"Cancel", "Annuleren"}, Case{"Cancel   ", "Annuleren"},
                        Case{"cancel", "cancel"}, Case{"Empty", "Empty"}, Case{"Blank", "Blank"},
                        Case{"You can't delete", "U kunt niet verwijderen "},
                        Case{"Unknown ", "Unknown "}, Case{"", ""}}) {
    EXPECT_EQ(t.LookupText(c.text), c.answer) << c.text;
  }
  // Without a file name nothing is collected.
  EXPECT_EQ(t.pairs().count("Unknown"), 0u);
}

TEST(Translator, AddPairReplacesTheTranslationOfAKnownText) {
  Translator t;
  t.Init();
  t.AddPair("OK", "Goed");
  t.AddPair("OK  ", "Akkoord");
  EXPECT_EQ(t.LookupText("OK"), "Akkoord");
  EXPECT_EQ(t.pairs().size(), 1u);
}

TEST(Translator, CollectsUnknownTextsOnlyWhileItsFileNameIsSet) {
  Translator t;
  t.Init();
  t.file_name = "ZOVRestyle.trn";
  t.AddPair("Known", "Bekend");
  EXPECT_EQ(t.LookupText("Zeta"), "Zeta");
  EXPECT_EQ(t.LookupText("Alpha  "), "Alpha  ");
  EXPECT_EQ(t.LookupText("Alpha"), "Alpha");
  EXPECT_EQ(t.LookupText(""), "");
  EXPECT_EQ(t.LookupText("Known"), "Bekend");
  std::vector<std::string> texts;
  for (const auto& [text, translation] : t.pairs()) texts.push_back(text + "=" + translation);
  EXPECT_EQ(texts, (std::vector<std::string>{"Alpha=", "Known=Bekend", "Zeta="}));
}

class TranslatorFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_.path());
  }
  void TearDown() override { std::filesystem::current_path(previous_); }

  TempDirForTest dir_;
  std::filesystem::path previous_;
};

TEST_F(TranslatorFileTest, WritesTheCollectedTextsInTextOrderWithCrLf) {
  Translator t;
  t.Init();
  t.file_name = "ZOVRestyle.trn";
  t.AddPair("Translated", "Vertaald");
  t.LookupText("The file structure of ");
  t.LookupText("&Yes");
  t.LookupText("It's \"quoted\"");
  t.LookupText("&Yes");
  ASSERT_TRUE(t.WriteCollectedTexts());
  EXPECT_EQ(dir_.Read("ZOVRestyle.trn"),
            "ZOVResty GROUP\r\n"
            "Items      USHORT(3)\r\n"
            "           PSTRING('&Yes')\r\n"
            "           PSTRING('')\r\n"
            "           PSTRING('It's \"quoted\"')\r\n"
            "           PSTRING('')\r\n"
            "           PSTRING('The file structure of')\r\n"
            "           PSTRING('')\r\n"
            "   END\r\n");
  EXPECT_TRUE(t.pairs().empty());
  EXPECT_EQ(dir_.Listing(), "ZOVRestyle.trn ");
}

TEST_F(TranslatorFileTest, AnEmptyCollectionStillWritesTheFrame) {
  Translator t;
  t.Init();
  t.file_name = "sub.dir/Short.trn";
  std::filesystem::create_directory("sub.dir");
  ASSERT_TRUE(t.WriteCollectedTexts());
  EXPECT_EQ(dir_.Read("sub.dir/Short.trn"), "Short GROUP\r\nItems      USHORT(0)\r\n   END\r\n");
}

TEST_F(TranslatorFileTest, WritesNothingWithoutAFileName) {
  Translator t;
  t.Init();
  t.LookupText("Text");
  EXPECT_TRUE(t.WriteCollectedTexts());
  EXPECT_EQ(dir_.Listing(), "");
}

TEST_F(TranslatorFileTest, AnExistingFileIsNeverReplaced) {
  ASSERT_EQ(::chmod(dir_.path().c_str(), 0777), 0);
  dir_.Write("ZOVRestyle.trn", "the user's own translations\r\n");
  ASSERT_EQ(::chmod(dir_.File("ZOVRestyle.trn").c_str(), 0), 0);
  const int result = files::RunWithoutRoot([&] {
    Translator t;
    t.Init();
    t.file_name = "ZOVRestyle.trn";
    t.LookupText("Text");
    return t.WriteCollectedTexts() ? 0 : 1;
  });
  EXPECT_EQ(result, 0);
  ASSERT_EQ(::chmod(dir_.File("ZOVRestyle.trn").c_str(), 0644), 0);
  EXPECT_EQ(dir_.Read("ZOVRestyle.trn"), "the user's own translations\r\n");
  EXPECT_EQ(dir_.Listing(), "ZOVRestyle.trn ");
}

}  // namespace
}  // namespace platform::ui
