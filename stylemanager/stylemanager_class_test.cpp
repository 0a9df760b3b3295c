#include "stylemanager/stylemanager_class.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/core/error_codes.h"
#include "platform/files/file_test_support.h"
#include "platform/files/keyed/keyed_driver.h"
#include "platform/files/keyed/keyed_test_support.h"
#include "platform/files/keyed/transaction.h"
#include "platform/testing/scripted_display.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/thread.h"
#include "restyle/restyle_class.h"
#include "restyle/restyle_files.h"
#include "restyle/restyle_test_support.h"

namespace stylemanager {
namespace {

using platform::files::DriverFaultsForTest;
using platform::files::kDenyNone;
using platform::files::kReadWrite;

TEST(ZOVStylemanagerClass, StartsWithFadingAndGlobalPropertiesOn) {
  ZOVStylemanagerClass manager;
  EXPECT_EQ(manager.CHANGEGLOBALPROPERTIES, 1);
  EXPECT_EQ(manager.USEFADING, 1);
  EXPECT_EQ(manager.REFCHANGEGLOBALPROPERTIES, &manager.CHANGEGLOBALPROPERTIES);
  EXPECT_EQ(manager.REFCURRENTPROFILE, &manager.CURRENTPROFILE);
  EXPECT_EQ(manager.CONTROLTYPESQUEUE->Records(), 0u);
}

// The restyle files in a temporary current directory, the restyle file's driver with faults
// the test sets, and a style manager bound to them as the main program binds it.
class StyleManagerTest : public ::testing::Test {
 protected:
  void SetUp() override { Bind(manager, files); }

  void Bind(ZOVStylemanagerClass& m, restyle::RestyleFiles& f) {
    restyle::testing::BindToFiles(m, f, user);
    m.BindPropertyFile(f.ZOVPROPERTIESFILE, restyle::kPropertiesPrimaryKey,
                       f.ZOVPF.CONTROLTYPEEQUATE, f.ZOVPF.PROPERTYEQUATE, f.ZOVPF.PROPERTY,
                       f.ZOVPF.PROPERTYDESCRIPTION, f.ZOVPF.HIDEFROMENDUSER);
  }

  void Run(const std::function<void()>& body) {
    restyle::testing::RunOnRuntimeThread(display, body);
  }
  void Init() {
    Run([&] { manager.Init(0x653); });
  }

  // A keyed file named like the restyle file, of another record layout.
  void WriteOtherLayout(const std::string& name) {
    ASSERT_TRUE(restyle::testing::WriteKeyedFileOfAnotherLayout(name));
  }

  // The records of the restyle file, reopened: "SET PROPERTY PARAMETER=VALUE".
  std::vector<std::string> RestyleRecords() {
    restyle::RestyleFiles fresh;
    std::vector<std::string> out;
    if (!fresh.ZOVRESTYLEFILE.Open(kReadWrite | kDenyNone)) return {"cannot open"};
    EXPECT_TRUE(fresh.ZOVRESTYLEFILE.SetKey(restyle::kRestylePrimaryKey, false));
    while (fresh.ZOVRESTYLEFILE.Next()) {
      out.push_back(std::to_string(fresh.ZOVRF.CONDITIONALSETID) + " " +
                    fresh.ZOVRF.PROPERTY.str() + " " + fresh.ZOVRF.PARAMETER.str() + "=" +
                    fresh.ZOVRF.VALUE.str());
    }
    return out;
  }

  std::vector<std::string> ControlTypes() {
    std::vector<std::string> out;
    for (size_t i = 1; i <= manager.CONTROLTYPESQUEUE->Records(); ++i) {
      const ControlTypeRecord r = manager.CONTROLTYPESQUEUE->entry(i);
      out.push_back(r.CONTROLTYPE.str() + "=" + std::to_string(r.CONTROLTYPEEQUATE));
    }
    return out;
  }

  restyle::testing::InTempDirForTest temp;
  std::shared_ptr<DriverFaultsForTest> faults = std::make_shared<DriverFaultsForTest>();
  // Only the last file made, the restyle file, has the faults.
  int made = 0;
  restyle::RestyleFiles files{[this]() -> std::unique_ptr<platform::files::Driver> {
    if (++made < 4) return platform::files::MakeKeyedDriver();
    return std::make_unique<platform::files::FaultyDriverForTest>(
        platform::files::MakeKeyedDriver(), faults);
  }};
  platform::FixedString<255> user = "DEFAULT";
  ZOVStylemanagerClass manager;
  platform::testing::ScriptedDisplay display;
};

TEST_F(StyleManagerTest, AFirstStartCreatesTheFourFilesEmptyWithoutAQuestion) {
  Init();
  EXPECT_EQ(temp.dir().Listing(), "ZOVConditional ZOVConditionalSet ZOVProperties ZOVRestyle ");
  for (const platform::files::File* f : {&files.ZOVPROPERTIESFILE, &files.ZOVCONDITIONSETFILE,
                                         &files.ZOVCONDITIONFILE, &files.ZOVRESTYLEFILE}) {
    EXPECT_TRUE(f->is_open()) << f->label();
  }
  EXPECT_EQ(RestyleRecords(), std::vector<std::string>{});
  EXPECT_TRUE(display.dialogs().seen().empty());
  EXPECT_EQ(manager.CONFIGUREHOTKEY, 0x653);
  EXPECT_EQ(manager.PROCEDURENAME, "<Unknown>");
  EXPECT_EQ(manager.CURRENTPROFILE, "DEFAULT");
  // The headless desktop.
  EXPECT_EQ(manager.DESKTOPRECT.RIGHT, 1024);
  EXPECT_EQ(manager.DESKTOPRECT.BOTTOM, 768);
  EXPECT_EQ(manager.DESKTOPRECT.LEFT, 0);
  EXPECT_EQ(manager.DESKTOPRECT.TOP, 0);
}

TEST_F(StyleManagerTest, InitBuildsThePropertyTableOnceAfterTheTranslations) {
  temp.dir().Write("ZOVRestyle.trn",
                   "ZOVResty GROUP\r\n"
                   "Items      USHORT(1)\r\n"
                   "           PSTRING('Limit procedure start')\r\n"
                   "           PSTRING('Vensters per procedure')\r\n"
                   "   END\r\n");
  Init();
  Run([&] { manager.Shutdown(); });
  Init();
  EXPECT_EQ(manager.CLARIONCONTROLPROPERTIESQUEUE->Records(), 120u);
  ASSERT_TRUE(restyle::FindPropertyByNumber(*manager.CLARIONCONTROLPROPERTIESQUEUE, -1));
  EXPECT_EQ(manager.CLARIONCONTROLPROPERTIESQUEUE->buffer.PROPERTY, "Vensters per procedure");
}

TEST_F(StyleManagerTest, TheControlTypesAreListedByUpperCaseName) {
  Init();
  const std::vector<std::string> types = ControlTypes();
  ASSERT_EQ(types.size(), 40u);
  EXPECT_EQ(std::vector<std::string>(types.begin(), types.begin() + 3),
            (std::vector<std::string>{"APPLICATION=24", "BOX=6", "BREAK=29"}));
  EXPECT_EQ(std::vector<std::string>(types.end() - 2, types.end()),
            (std::vector<std::string>{"TOOLBAR=128", "WINDOW=25"}));
  const auto at = std::find(types.begin(), types.end(), "MESSAGE BOXES=-1");
  ASSERT_NE(at, types.end());
  EXPECT_EQ(*(at - 1), "MENUBAR=22");
  EXPECT_EQ(*(at + 1), "OLE=32");
  for (const std::string_view missing : {"=23", "=36"}) {
    for (const std::string& t : types) EXPECT_FALSE(t.ends_with(missing)) << t;
  }
}

TEST_F(StyleManagerTest, AChangedLayoutAsksAndYesKeepsTheOldFileAsBak) {
  WriteOtherLayout("ZOVRestyle");
  display.dialogs().ExpectMessage(
      "The file structure of ZOVRestyle has changed|new file has to be created...|Continue?",
      platform::kButtonYes);
  Init();
  ASSERT_EQ(display.dialogs().seen().size(), 1u);
  const platform::MessageRequest asked = display.dialogs().seen()[0];
  EXPECT_EQ(asked.caption, "ZOVRestyle");
  EXPECT_EQ(asked.icon, platform::kIconAsterisk);
  EXPECT_EQ(asked.button_mask, platform::kButtonYes | platform::kButtonNo);
  EXPECT_TRUE(files.ZOVRESTYLEFILE.is_open());
  EXPECT_EQ(RestyleRecords(), std::vector<std::string>{});
  // The old file, whole, under the backup's name.
  platform::files::keyed_test::Row row;
  auto backup = platform::files::keyed_test::RowFile("ZOVRestyle.bak", row, {}, false);
  ASSERT_TRUE(backup->Open(kReadWrite | kDenyNone));
  ASSERT_TRUE(backup->Set() && backup->Next());
  EXPECT_EQ(platform::files::keyed_test::Tag(row), "old1");
}

TEST_F(StyleManagerTest, DecliningOrClosingTheQuestionEndsTheProgramAtOnce) {
  for (const int32_t answer : {int32_t{platform::kButtonNo}, 0}) {
    std::filesystem::remove_all(temp.dir().path() + "/ZOVConditional");
    WriteOtherLayout("ZOVConditionalSet");
    display.dialogs().ExpectMessage("The file structure of ZOVConditionalSet has changed", answer);
    std::vector<int32_t> halted;
    platform::ui::SetHaltHandler([&](int32_t code) { halted.push_back(code); });
    ZOVStylemanagerClass declined;
    restyle::RestyleFiles own;
    Bind(declined, own);
    Run([&] { declined.Init(0x653); });
    platform::ui::SetHaltHandler(nullptr);
    EXPECT_EQ(halted, std::vector<int32_t>{0}) << answer;
    // Nothing after the question: the next file was never opened, the old one is as it was.
    EXPECT_FALSE(std::filesystem::exists("ZOVConditional")) << answer;
    EXPECT_FALSE(std::filesystem::exists("ZOVConditionalSet.bak")) << answer;
  }
}

TEST_F(StyleManagerTest, AFileThatCannotBeReachedNowIsNeitherCopiedNorCreatedAnew) {
  struct Case {
    int open_error;
    std::string stop;
  };
  for (const Case& c : {Case{platform::kAccessDenied, "Access Denied"},
                        Case{platform::kFileSystemError, "File System Error"}}) {
    faults->open = c.open_error;
    display.dialogs().ExpectStop("ZOVStylemanagerClass: The file ZOVRestyle can not be opend! " +
                                 c.stop);
    Init();
    faults->open = 0;
    EXPECT_FALSE(files.ZOVRESTYLEFILE.is_open());
    EXPECT_FALSE(std::filesystem::exists("ZOVRestyle.bak"));
    for (platform::files::File* f :
         {&files.ZOVPROPERTIESFILE, &files.ZOVCONDITIONSETFILE, &files.ZOVCONDITIONFILE}) {
      ASSERT_TRUE(f->Close());
    }
  }
}

TEST_F(StyleManagerTest, AccessDeniedForRealLeavesTheFileUntouched) {
  // A store with one record, made read-only.
  Init();
  Run([&] { manager.Shutdown(); });
  const std::string before = temp.dir().Read("ZOVRestyle");
  ASSERT_EQ(::chmod(temp.dir().path().c_str(), 0777), 0);
  for (const char* name : {"ZOVProperties", "ZOVConditionalSet", "ZOVConditional"}) {
    ASSERT_EQ(::chmod(name, 0666), 0);
  }
  ASSERT_EQ(::chmod("ZOVRestyle", 0444), 0);
  const int result = platform::files::RunWithoutRoot([&] {
    platform::testing::ScriptedDisplay own_display;
    own_display.dialogs().ExpectStop(
        "ZOVStylemanagerClass: The file ZOVRestyle can not be opend! Access Denied");
    restyle::RestyleFiles own;
    ZOVStylemanagerClass own_manager;
    Bind(own_manager, own);
    restyle::testing::RunOnRuntimeThread(own_display, [&] { own_manager.Init(0x653); });
    const bool stopped = own_display.dialogs().seen().size() == 1 &&
                         own_display.dialogs().seen()[0].caption == "STOP";
    return stopped && !own.ZOVRESTYLEFILE.is_open() ? 0 : 1;
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(temp.dir().Read("ZOVRestyle"), before);
  EXPECT_FALSE(std::filesystem::exists("ZOVRestyle.bak"));
}

TEST_F(StyleManagerTest, ADamagedFileIsKeptAsBakAndCreatedAnew) {
  temp.dir().Write("ZOVRestyle", "garbage, no keyed file at all");
  Init();
  EXPECT_TRUE(display.dialogs().seen().empty());
  EXPECT_EQ(temp.dir().Read("ZOVRestyle.bak"), "garbage, no keyed file at all");
  EXPECT_TRUE(files.ZOVRESTYLEFILE.is_open());
  EXPECT_EQ(RestyleRecords(), std::vector<std::string>{});
}

TEST_F(StyleManagerTest, ADamagedFileWhoseCopyFailsIsLeftAsItIs) {
  temp.dir().Write("ZOVRestyle", "garbage, no keyed file at all");
  std::filesystem::create_directory("ZOVRestyle.bak");
  display.dialogs().ExpectStop("ZOVStylemanagerClass: The file ZOVRestyle can not be opend! ");
  Init();
  EXPECT_FALSE(files.ZOVRESTYLEFILE.is_open());
  EXPECT_EQ(temp.dir().Read("ZOVRestyle"), "garbage, no keyed file at all");
}

TEST_F(StyleManagerTest, FadingFollowsItsStoredSettingWhenSwitchedOn) {
  struct Case {
    bool stored;
    uint8_t enabled;
    std::string value;
    uint8_t fading;
  };
  for (const Case& c : {Case{false, 0, "", 1}, Case{true, 1, "0", 0}, Case{true, 0, "0", 1},
                        Case{true, 1, "1", 1}}) {
    ASSERT_TRUE(files.ZOVRESTYLEFILE.Open(kReadWrite | kDenyNone));
    files.ZOVRESTYLEFILE.Clear();
    ASSERT_TRUE(files.ZOVRESTYLEFILE.Close());
    std::filesystem::remove("ZOVRestyle");
    if (c.stored) {
      restyle::ControlPropertyGroup setting;
      setting.ENABLED = c.enabled;
      setting.VALUE = c.value;
      ASSERT_TRUE(files.ZOVRESTYLEFILE.Open(kReadWrite | kDenyNone));
      Run([&] { manager.SaveGroup(setting, kFadingSet, kUseFading); });
      ASSERT_TRUE(files.ZOVRESTYLEFILE.Close());
    }
    manager.USEFADING = 7;
    ASSERT_TRUE(files.ZOVRESTYLEFILE.Open(kReadWrite | kDenyNone));
    Run([&] { manager.LoadGlobalSettings(); });
    ASSERT_TRUE(files.ZOVRESTYLEFILE.Close());
    EXPECT_EQ(manager.USEFADING, c.fading) << c.stored << c.enabled << c.value;
  }
}

TEST_F(StyleManagerTest, OnlyACurrentSelectedProfileRecordSetsTheProfile) {
  ASSERT_TRUE(files.ZOVCONDITIONSETFILE.Open(kReadWrite | kDenyNone));
  const auto add = [&](std::string_view group, std::string_view name, int32_t id) {
    files.ZOVCONDITIONSETFILE.Clear();
    files.ZOVCS.USERNAME = "~Global settings";
    files.ZOVCS.PROFILE = "~Global settings";
    files.ZOVCS.PROCEDURENAME = "~Global settings";
    files.ZOVCS.GROUPNAME = group;
    files.ZOVCS.CONDITIONALSET = name;
    files.ZOVCS.CONDITIONALSETID = id;
    ASSERT_TRUE(files.ZOVCONDITIONSETFILE.Add());
  };
  add("~Another group", "Wrong", 1);
  ASSERT_TRUE(files.ZOVCONDITIONSETFILE.Close());
  Init();
  EXPECT_EQ(manager.CURRENTPROFILE, "DEFAULT");
  add("~Current selected profile", "Evening ", 2);
  Run([&] { manager.LoadGlobalSettings(); });
  EXPECT_EQ(manager.CURRENTPROFILE.str(), "Evening");
}

TEST_F(StyleManagerTest, ShutdownStoresFadingCommitsAndClosesTheFiles) {
  Init();
  manager.USEFADING = 0;
  // A configuration transaction still open at the end.
  Run([&] {
    ASSERT_TRUE(platform::files::Logout(1, {&files.ZOVCONDITIONSETFILE}));
    EXPECT_EQ(manager.GetConditionSetId(0, 0, "Pending"), 1);
    manager.Shutdown();
  });
  EXPECT_FALSE(platform::files::InTransaction());
  for (const platform::files::File* f : {&files.ZOVPROPERTIESFILE, &files.ZOVCONDITIONSETFILE,
                                         &files.ZOVCONDITIONFILE, &files.ZOVRESTYLEFILE}) {
    EXPECT_FALSE(f->is_open()) << f->label();
  }
  EXPECT_EQ(RestyleRecords(),
            (std::vector<std::string>{"-7 ~Use Fading CLARIONVALUE=0", "-7 ~Use Fading ENABLED=1",
                                      "-7 ~Use Fading VALUE=0"}));
  // The set added inside the transaction was committed.
  restyle::RestyleFiles fresh;
  ASSERT_TRUE(fresh.ZOVCONDITIONSETFILE.Open(kReadWrite | kDenyNone));
  EXPECT_EQ(fresh.ZOVCONDITIONSETFILE.Records(), 1);
}

TEST_F(StyleManagerTest, AddImageKeepsTheDefaultImagesInFileOrder) {
  restyle::ImageQueueRecord image;
  image.IMAGEEQUATE = 12;
  for (const char* file : {"b.png", "a.png", "c.png"}) {
    image.IMAGEFILE = file;
    manager.AddImage(image);
  }
  std::vector<std::string> images;
  for (size_t i = 1; i <= manager.IMAGEQUEUE->Records(); ++i) {
    const restyle::ImageQueueRecord r = manager.IMAGEQUEUE->entry(i);
    images.push_back(r.IMAGEFILE.str() + "=" + std::to_string(r.IMAGEEQUATE));
  }
  EXPECT_EQ(images, (std::vector<std::string>{"a.png=0", "b.png=0", "c.png=0"}));
}

// The translation file, written by one run and read by the next.
class TranslationFileTest : public StyleManagerTest {
 protected:
  // One run: Init, the texts asked for, Shutdown.
  void RunWith(const std::vector<std::string>& texts, std::vector<std::string>* answers = nullptr) {
    restyle::RestyleFiles own;
    ZOVStylemanagerClass run;
    Bind(run, own);
    Run([&] {
      run.Init(0x653);
      for (const std::string& t : texts) {
        const std::string answer = run.Translate(t);
        if (answers) answers->push_back(answer);
      }
      run.Shutdown();
    });
  }
};

TEST_F(TranslationFileTest, ACollectingRunWritesTheTextsItWasAskedFor) {
  RunWith({"Zulu", "Alpha", "Zulu"});
  // Besides the texts asked for: the button captions, the unknown procedure's name and the
  // names of the custom properties.
  EXPECT_EQ(temp.dir().Read("ZOVRestyle.trn"),
            "ZOVResty GROUP\r\n"
            "Items      USHORT(27)\r\n"
            "           PSTRING('&Abort')\r\n"
            "           PSTRING('')\r\n"
            "           PSTRING('&Cancel')\r\n"
            "           PSTRING('')\r\n"
            "           PSTRING('&Help')\r\n"
            "           PSTRING('')\r\n"
            "           PSTRING('&Ignore')\r\n"
            "           PSTRING('')\r\n"
            "           PSTRING('&No')\r\n"
            "           PSTRING('')\r\n"
            "           PSTRING('&Retry')\r\n"
            "           PSTRING('')\r\n"
            "           PSTRING('&Yes')\r\n"
            "           PSTRING('')\r\n"
            "           PSTRING('<Unknown>')\r\n"
            "           PSTRING('')\r\n"
            "           PSTRING('Alpha')\r\n"
            "           PSTRING('')\r\n"
            "           PSTRING('Center controls automatic')\r\n"
            "           PSTRING('')\r\n"
            "           PSTRING('Check window position')\r\n"
            "           PSTRING('')\r\n"
            "           PSTRING('Control position and size')\r\n"
            "           PSTRING('')\r\n"
            "           PSTRING('Custom menu look')\r\n"
            "           PSTRING('')\r\n"
            "           PSTRING('Disable styling for this Window')\r\n"
            "           PSTRING('')\r\n"
            "           PSTRING('Dynamic sizing of window')\r\n"
            "           PSTRING('')\r\n"
            "           PSTRING('Fade windows in and out')\r\n"
            "           PSTRING('')\r\n"
            "           PSTRING('Image on control')\r\n"
            "           PSTRING('')\r\n"
            "           PSTRING('Limit procedure start')\r\n"
            "           PSTRING('')\r\n"
            "           PSTRING('Mark selected control')\r\n"
            "           PSTRING('')\r\n"
            "           PSTRING('Maximize window automatic')\r\n"
            "           PSTRING('')\r\n"
            "           PSTRING('Name of the control')\r\n"
            "           PSTRING('')\r\n"
            "           PSTRING('No property styling for this controltype')\r\n"
            "           PSTRING('')\r\n"
            "           PSTRING('OK')\r\n"
            "           PSTRING('')\r\n"
            "           PSTRING('Resize strategy')\r\n"
            "           PSTRING('')\r\n"
            "           PSTRING('Save window position and size')\r\n"
            "           PSTRING('')\r\n"
            "           PSTRING('Window roundness')\r\n"
            "           PSTRING('')\r\n"
            "           PSTRING('Zulu')\r\n"
            "           PSTRING('')\r\n"
            "   END\r\n");
}

TEST_F(TranslationFileTest, AFilledInFileTranslatesFromTheNextStartAndIsNotRewritten) {
  const std::string file =
      "ZOVResty GROUP\r\n"
      "Items      USHORT(5)\r\n"
      "           PSTRING('The file structure of ')\r\n"
      "           PSTRING('De structuur van ')\r\n"
      "\r\n"
      "           PSTRING('&Yes')\r\n"
      "           PSTRING('&Ja')\r\n"
      "           PSTRING('Untranslated')\r\n"
      "           PSTRING('')\r\n"
      "           PSTRING('')\r\n"
      "           PSTRING('Empty text')\r\n"
      "           PSTRING('DEFAULT')\r\n"
      "           PSTRING('STANDAARD')\r\n"
      "   END\r\n";
  temp.dir().Write("ZOVRestyle.trn", file);
  std::vector<std::string> answers;
  std::vector<std::string> captions;
  restyle::RestyleFiles own;
  ZOVStylemanagerClass run;
  Bind(run, own);
  Run([&] {
    run.Init(0x653);
    for (const char* t : {"The file structure of", "&Yes", "Untranslated", "", "Unknown"}) {
      answers.push_back(run.Translate(t));
    }
    captions = platform::ui::StandardButtonCaptions();
    run.Shutdown();
  });
  EXPECT_EQ(answers,
            (std::vector<std::string>{"De structuur van ", "&Ja", "Untranslated", "", "Unknown"}));
  EXPECT_EQ(platform::ui::GetLocale("CLABUTTON"), "OK,&Ja,&No,&Abort,&Retry,&Ignore,&Cancel,&Help");
  EXPECT_EQ(captions[1], "&Ja");
  // The default profile is stored under its own name, whatever its translation.
  EXPECT_EQ(run.CURRENTPROFILE, "DEFAULT");
  EXPECT_EQ(temp.dir().Read("ZOVRestyle.trn"), file);
  platform::ui::SetLocale("CLABUTTON", "");
}

TEST_F(TranslationFileTest, AnUnreadableFileIsLeftByteForByte) {
  ASSERT_EQ(::chmod(temp.dir().path().c_str(), 0777), 0);
  temp.dir().Write("ZOVRestyle.trn", "ZOVResty GROUP\r\n   END\r\n");
  ASSERT_EQ(::chmod("ZOVRestyle.trn", 0), 0);
  const int result = platform::files::RunWithoutRoot([&] {
    RunWith({"Text"});
    return 0;
  });
  EXPECT_EQ(result, 0);
  ASSERT_EQ(::chmod("ZOVRestyle.trn", 0644), 0);
  EXPECT_EQ(temp.dir().Read("ZOVRestyle.trn"), "ZOVResty GROUP\r\n   END\r\n");
}

}  // namespace
}  // namespace stylemanager
