#include "restyle/restyle_base.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/core/error_codes.h"
#include "platform/testing/scripted_display.h"
#include "platform/ui/forwarding_backend.h"
#include "restyle/restyle_files.h"
#include "restyle/restyle_test_support.h"
#include "restyle/stored_shapes.h"

namespace restyle {
namespace {

using platform::files::kDenyNone;
using platform::files::kReadWrite;

// Records the cursors the program shows.
class CursorRecorder final : public platform::ui::ForwardingBackend {
 public:
  using ForwardingBackend::ForwardingBackend;
  void SetCursor(platform::ui::ThreadId thread, platform::ui::Cursor cursor) override {
    cursors.push_back(cursor == platform::ui::Cursor::kWait ? "wait" : "normal");
    ForwardingBackend::SetCursor(thread, cursor);
  }
  std::vector<std::string> cursors;  // written by thread 1, read after it ended
};

class RestyleStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::BindToFiles(store, files, user);
    store.REFCURRENTPROFILE = &profile;
    store.REFCHANGEGLOBALPROPERTIES = &change_global;
    store.PROCEDURENAME = "Main";
    for (platform::files::File* f : {&files.ZOVPROPERTIESFILE, &files.ZOVCONDITIONSETFILE,
                                     &files.ZOVCONDITIONFILE, &files.ZOVRESTYLEFILE}) {
      ASSERT_TRUE(f->Open(kReadWrite | kDenyNone)) << f->label();
    }
  }

  void EmptyConditionSetFile() {
    ASSERT_TRUE(files.ZOVCONDITIONSETFILE.Close());
    ASSERT_TRUE(files.ZOVCONDITIONSETFILE.Create());
    ASSERT_TRUE(files.ZOVCONDITIONSETFILE.Open(kReadWrite | kDenyNone));
  }

  // Runs `body` on a runtime thread, as every user of the store does.
  void Run(const std::function<void()>& body) { testing::RunOnRuntimeThread(recorder, body); }

  void AddSet(std::string_view user_name, std::string_view profile_name, std::string_view procedure,
              std::string_view group, std::string_view name, int32_t id) {
    files.ZOVCONDITIONSETFILE.Clear();
    files.ZOVCS.USERNAME = user_name;
    files.ZOVCS.PROFILE = profile_name;
    files.ZOVCS.PROCEDURENAME = procedure;
    files.ZOVCS.GROUPNAME = group;
    files.ZOVCS.CONDITIONALSET = name;
    files.ZOVCS.CONDITIONALSETID = id;
    ASSERT_TRUE(files.ZOVCONDITIONSETFILE.Add());
  }

  // Every condition set, highest number first: "USER/PROFILE/PROCEDURE/GROUP/NAME=ID".
  std::vector<std::string> Sets() {
    std::vector<std::string> out;
    EXPECT_TRUE(files.ZOVCONDITIONSETFILE.SetKey(kConditionSetPrimaryKey, false));
    while (files.ZOVCONDITIONSETFILE.Next()) {
      const ZOVConditionSetRecord& r = files.ZOVCS;
      out.push_back(r.USERNAME.str() + "/" + r.PROFILE.str() + "/" + r.PROCEDURENAME.str() + "/" +
                    r.GROUPNAME.str() + "/" + r.CONDITIONALSET.str() + "=" +
                    std::to_string(r.CONDITIONALSETID));
    }
    return out;
  }

  // Every restyle record in key order: "SET PROPERTY PARAMETER=VALUE".
  std::vector<std::string> Records() {
    std::vector<std::string> out;
    EXPECT_TRUE(files.ZOVRESTYLEFILE.SetKey(kRestylePrimaryKey, false));
    while (files.ZOVRESTYLEFILE.Next()) {
      const ZOVRestyleRecord& r = files.ZOVRF;
      out.push_back(std::to_string(r.CONDITIONALSETID) + " " + r.PROPERTY.str() + " " +
                    r.PARAMETER.str() + "=" + r.VALUE.str());
    }
    return out;
  }

  std::vector<std::string> QueuedSets() {
    std::vector<std::string> out;
    for (size_t i = 1; i <= store.CONDITIONSETQUEUE->Records(); ++i) {
      const ConditionSetQueueRecord r = store.CONDITIONSETQUEUE->entry(i);
      out.push_back(r.CONDITIONALSET.str() + "=" + std::to_string(r.CONDITIONALSETID));
    }
    return out;
  }

  testing::InTempDirForTest temp;
  std::shared_ptr<platform::files::DriverFaultsForTest> faults =
      std::make_shared<platform::files::DriverFaultsForTest>();
  RestyleFiles files{testing::FaultyKeyedDrivers(faults)};
  platform::FixedString<255> user = "Default";
  platform::CString<256> profile = "DEFAULT";
  uint8_t change_global = 1;
  ZOVRestyleBaseClass store;
  platform::testing::ScriptedDisplay display;
  CursorRecorder recorder{display};
};

TEST_F(RestyleStoreTest, TheFilesAreNamedWithoutExtensionInTheCurrentDirectory) {
  EXPECT_EQ(temp.dir().Listing(), "ZOVConditional ZOVConditionalSet ZOVProperties ZOVRestyle ");
}

TEST_F(RestyleStoreTest, SetNumbersFollowTheHighestWhateverTheGaps) {
  struct Case {
    std::vector<int32_t> existing;  // sets of other groups
    int32_t expected;
  };
  for (const Case& c : {Case{{}, 1}, Case{{3}, 4}, Case{{7, 2, 3}, 8}}) {
    EmptyConditionSetFile();
    for (int32_t id : c.existing) {
      AddSet("DEFAULT", "DEFAULT", "Main", "Other " + std::to_string(id), "-Unconditional-", id);
    }
    int32_t id = -1;
    Run([&] { id = store.GetConditionSetId(0, 0, "ControlType 9 "); });
    EXPECT_EQ(id, c.expected) << c.existing.size();
    EXPECT_EQ(Sets().front(),
              "DEFAULT/DEFAULT/Main/ControlType 9/-Unconditional-=" + std::to_string(c.expected));
    // Asked again, the same set.
    Run([&] { id = store.GetConditionSetId(0, 0, "ControlType 9"); });
    EXPECT_EQ(id, c.expected);
    EXPECT_EQ(Sets().size(), c.existing.size() + 1);
  }
}

TEST_F(RestyleStoreTest, TheProcedureIsChosenByGlobalOrByTheSwitch) {
  struct Case {
    uint8_t global, follow_switch, change_global;
    std::string procedure;
  };
  for (const Case& c : {Case{0, 0, 1, "Main"}, Case{1, 0, 0, "~Global settings"},
                        Case{0, 1, 1, "~Global settings"}, Case{1, 1, 0, "Main"}}) {
    EmptyConditionSetFile();
    change_global = c.change_global;
    Run([&] { store.GetConditionSetId(c.global, c.follow_switch, "G"); });
    EXPECT_EQ(Sets(),
              std::vector<std::string>{"DEFAULT/DEFAULT/" + c.procedure + "/G/-Unconditional-=1"});
  }
}

TEST_F(RestyleStoreTest, AGroupWithOnlyNamedSetsAnswersTheFirstByNameAndCreatesNothing) {
  AddSet("DEFAULT", "DEFAULT", "Main", "G", "Zulu", 4);
  AddSet("DEFAULT", "DEFAULT", "Main", "G", "Alpha", 9);
  AddSet("DEFAULT", "DEFAULT", "Main", "H", "-Unconditional-", 2);
  int32_t id = 0;
  uint8_t exists_g = 0, exists_other = 1;
  Run([&] {
    id = store.GetConditionSetId(0, 0, "G");
    exists_g = store.ConditionSetExists(0, "G");
    exists_other = store.ConditionSetExists(1, "G");
  });
  EXPECT_EQ(id, 9);
  EXPECT_EQ(exists_g, 1);
  EXPECT_EQ(exists_other, 0);
  EXPECT_EQ(Sets().size(), 3u);
}

TEST_F(RestyleStoreTest, UserNamesDifferingInCaseReachTheSameSetsStoredUpperCase) {
  int32_t first = 0, second = 0;
  Run([&] {
    user = "Someone ";
    first = store.GetConditionSetId(0, 0, "G");
    user = "SOMEONE";
    second = store.GetConditionSetId(0, 0, "G");
  });
  EXPECT_EQ(first, 1);
  EXPECT_EQ(second, 1);
  EXPECT_EQ(Sets(), std::vector<std::string>{"SOMEONE/DEFAULT/Main/G/-Unconditional-=1"});
}

TEST_F(RestyleStoreTest, LoadConditionSetsListsTheGroupsSetsByNameAndCreatesOnRequest) {
  AddSet("DEFAULT", "DEFAULT", "Main", "G", "Zulu", 4);
  AddSet("DEFAULT", "DEFAULT", "Main", "G", "Alpha", 9);
  AddSet("DEFAULT", "OTHER", "Main", "G", "Beta", 10);
  std::vector<std::string> without_create, empty_group, with_create;
  Run([&] {
    store.LoadConditionSets(0, 0, 0, "G");
    without_create = QueuedSets();
    store.LoadConditionSets(0, 0, 0, "Empty");
    empty_group = QueuedSets();
    store.LoadConditionSets(1, 0, 0, "G");
    with_create = QueuedSets();
  });
  EXPECT_EQ(without_create, (std::vector<std::string>{"Alpha=9", "Zulu=4"}));
  EXPECT_EQ(empty_group, std::vector<std::string>{});
  EXPECT_EQ(with_create, (std::vector<std::string>{"-Unconditional-=11", "Alpha=9", "Zulu=4"}));
}

TEST_F(RestyleStoreTest, SaveGroupAddsThenRewrites) {
  ControlPropertyGroup value;
  value.ENABLED = 1;
  value.VALUE = "Arial";
  Run([&] { store.SaveGroup(value, 5, "property 31744 "); });
  EXPECT_EQ(Records(), (std::vector<std::string>{"5 property 31744 CLARIONVALUE=0",
                                                 "5 property 31744 ENABLED=1",
                                                 "5 property 31744 VALUE=Arial"}));
  value.ENABLED = 0;
  value.VALUE = "Courier";
  value.CLARIONVALUE = 1;
  Run([&] { store.SaveGroup(value, 5, "property 31744"); });
  EXPECT_EQ(Records(), (std::vector<std::string>{"5 property 31744 CLARIONVALUE=1",
                                                 "5 property 31744 ENABLED=0",
                                                 "5 property 31744 VALUE=Courier"}));
  // The wait cursor came and went once per store.
  EXPECT_EQ(recorder.cursors, (std::vector<std::string>{"wait", "normal", "wait", "normal"}));
}

TEST_F(RestyleStoreTest, LoadGroupAnswersZeroAtTheFirstMissingFieldWithTheOnesBeforeLoaded) {
  ControlPropertyGroup stored;
  stored.ENABLED = 1;
  stored.VALUE = std::string("a\0b\0", 4) + "c";
  stored.CLARIONVALUE = 1;
  ControlPropertyGroup whole, partial;
  partial.CLARIONVALUE = 7;
  uint8_t found_whole = 0, found_partial = 1, found_none = 1;
  Run([&] {
    store.SaveGroup(stored, 2, "property -4");
    store.SaveGroup(stored, 3, "property -4");
    found_whole = store.LoadGroup(whole, 2, "property -4");
    // Without its CLARIONVALUE record.
    files.ZOVRF.CONDITIONALSETID = 3;
    files.ZOVRF.PROPERTY = "property -4";
    files.ZOVRF.PARAMETER = "CLARIONVALUE";
    ASSERT_TRUE(files.ZOVRESTYLEFILE.Get(kRestylePrimaryKey));
    ASSERT_TRUE(files.ZOVRESTYLEFILE.Delete());
    found_partial = store.LoadGroup(partial, 3, "property -4");
    ControlPropertyGroup none;
    found_none = store.LoadGroup(none, 4, "property -4");
  });
  EXPECT_EQ(found_whole, 1);
  EXPECT_EQ(whole.VALUE.str(), std::string("a\0b\0c", 5));
  EXPECT_EQ(whole.CLARIONVALUE, 1);
  EXPECT_EQ(found_partial, 0);
  EXPECT_EQ(partial.ENABLED, 1);
  EXPECT_EQ(partial.VALUE.str(), std::string("a\0b\0c", 5));
  EXPECT_EQ(partial.CLARIONVALUE, 7);
  EXPECT_EQ(found_none, 0);
}

TEST_F(RestyleStoreTest, QueueRecordsSettingsAndDeletesUseTheSameRecords) {
  platform::Queue<ImageQueueRecord> images;
  images.buffer.IMAGEORDER = 2;
  images.buffer.IMAGEFILE = "logo.png";
  images.buffer.XPOS = -5;
  images.buffer.IMAGEEQUATE = 70000;
  ImagePropertyGroup settings;
  settings.NUMBEROFIMAGES = 1;
  std::string setting;
  uint8_t setting_found = 0, loaded = 0;
  size_t after_save = 0;
  platform::Queue<ImageQueueRecord> read_back;
  Run([&] {
    store.SaveQueue(images, 1, "~DEFAULT:Image 1");
    store.SaveGroup(settings, 1, "~DEFAULT:Images");
    store.SaveSetting("x", 1, "~Setting", "P");
    setting_found = store.LoadSetting(setting, 1, "~Setting", "P");
    loaded = store.LoadQueue(read_back, 1, "~DEFAULT:Image 1");
    after_save = Records().size();
    // The group's records go; missing ones are passed over.
    ControlPropertyGroup never_stored;
    store.DeleteGroup(never_stored, 1, "~DEFAULT:Images");
    store.DeleteGroup(settings, 1, "~DEFAULT:Images");
    store.DeleteQueue(images, 1, "~DEFAULT:Image 1");
  });
  EXPECT_EQ(after_save, 16u + 3u + 1u);
  EXPECT_EQ(setting_found, 1);
  EXPECT_EQ(setting, "x");
  EXPECT_EQ(loaded, 1);
  EXPECT_EQ(read_back.buffer.IMAGEFILE.str(), "logo.png");
  EXPECT_EQ(read_back.buffer.XPOS, -5);
  EXPECT_EQ(read_back.buffer.IMAGEEQUATE, 70000);
  EXPECT_EQ(Records(), std::vector<std::string>{"1 ~Setting P=x"});
}

TEST_F(RestyleStoreTest, AGroupOfMoreThan255FieldsStoresItsFirst255) {
  // 256 byte fields, all reading the same byte.
  std::vector<std::string> names;
  for (int i = 1001; i <= 1256; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "F%d", i);
    names.emplace_back(name);
  }
  std::vector<platform::FieldInfo> fields;
  for (const std::string& name : names) {
    fields.push_back(platform::FieldInfo{name, platform::FieldType::kByte, 1, 0,
                                         [](void* record) { return record; }});
  }
  const platform::RecordLayout wide("WIDE", fields);
  uint8_t byte = 1;
  Run([&] { store.SaveGroup(wide, &byte, 1, "~Wide"); });
  const std::vector<std::string> records = Records();
  ASSERT_EQ(records.size(), 255u);
  EXPECT_EQ(records.back(), "1 ~Wide F1255=1");
}

TEST_F(RestyleStoreTest, HasEnabledPropertyLooksUnderOnePropertyOrAnyOfTheSet) {
  ControlPropertyGroup on, off;
  on.ENABLED = 1;
  off.ENABLED = 0;
  struct Case {
    int32_t set;
    std::string property;
    uint8_t expected;
  };
  std::vector<uint8_t> answers;
  const std::vector<Case> cases = {
      {1, "property 1", 0}, {1, "property 2", 1}, {1, "", 1}, {2, "", 0}, {3, "", 0},
  };
  Run([&] {
    store.SaveGroup(off, 1, "property 1");
    store.SaveGroup(on, 1, "property 2");
    store.SaveGroup(off, 2, "property 1");
    for (const Case& c : cases) answers.push_back(store.HasEnabledProperty(c.set, c.property));
  });
  for (size_t i = 0; i < cases.size(); ++i) {
    EXPECT_EQ(answers[i], cases[i].expected) << cases[i].set << " " << cases[i].property;
  }
}

TEST_F(RestyleStoreTest, AFailingWriteShowsTheStopBoxAndStoresNoFurtherField) {
  ControlPropertyGroup value;
  value.ENABLED = 1;
  display.dialogs().ExpectStop(
      "ZOVRestyleBaseClass(SaveGroup): Restyle gegevens kunnen niet in file ZOVRestyle "
      "opgeslagen worden! File System Error");
  display.dialogs().ExpectStop(
      "ZOVRestyleBaseClass(SaveQueue): Restyle gegevens kunnen niet in file ZOVRestyle "
      "opgeslagen worden! ");
  display.dialogs().ExpectStop(
      "ZOVRestyleBaseClass(SaveSetting): Restyle gegevens kunnen niet in file ZOVRestyle "
      "opgeslagen worden! ");
  Run([&] {
    faults->add = platform::kFileSystemError;
    store.SaveGroup(value, 1, "property 1");
    platform::Queue<ImageQueueRecord> images;
    store.SaveQueue(images, 1, "~DEFAULT:Image 1");
    store.SaveSetting("x", 1, "~Setting", "P");
  });
  EXPECT_EQ(display.dialogs().seen().size(), 3u);
  EXPECT_EQ(Records(), std::vector<std::string>{});
}

TEST_F(RestyleStoreTest, AFailedUnconditionalSetIsNoSetAfterIgnore) {
  AddSet("DEFAULT", "DEFAULT", "Main", "Other", "-Unconditional-", 3);
  faults->add = platform::kFileSystemError;
  faults->file_error = "disk full";
  const std::string stop =
      "Het toevoegen van de standaard \"Unconditional\" Conditie Set is mislukt!|Fout:File "
      "System Error|disk full";
  display.dialogs().ExpectStop(stop);
  display.dialogs().ExpectStop(stop);
  int32_t id = -1;
  std::vector<std::string> queued;
  Run([&] {
    id = store.GetConditionSetId(0, 0, "G");
    store.LoadConditionSets(1, 0, 0, "G");
    queued = QueuedSets();
  });
  EXPECT_EQ(id, 0);
  EXPECT_EQ(queued, std::vector<std::string>{});
  ASSERT_EQ(display.dialogs().seen().size(), 2u);
  EXPECT_EQ(display.dialogs().seen()[0].text, stop);
  faults->add = 0;
  EXPECT_EQ(Sets().size(), 1u);
}

TEST_F(RestyleStoreTest, PurgeRemovesSwitchedOffValuesAndTheSetsLeftEmpty) {
  AddSet("DEFAULT", "DEFAULT", "Main", "Control ?A", "-Unconditional-", 1);
  AddSet("DEFAULT", "DEFAULT", "Main", "ControlType 9", "-Unconditional-", 2);
  AddSet("DEFAULT", "DEFAULT", "Main", "ControlType 9", "Big", 3);
  AddSet("DEFAULT", "DEFAULT", "~Global settings", "~Images~", "-Unconditional-", 4);
  AddSet("DEFAULT", "OTHER", "Main", "ControlType 9", "-Unconditional-", 5);
  files.ZOVCONDITIONFILE.Clear();
  files.ZOVCD.CONDITIONALSETID = 3;
  files.ZOVCD.CONDITIONALID = 1;
  files.ZOVCD.CONTROL = "?A";
  files.ZOVCD.PROPERTYEQUATE = 0x7C00;
  files.ZOVCD.OPERATOR = "=";
  files.ZOVCD.VALUE = "'x'";
  ASSERT_TRUE(files.ZOVCONDITIONFILE.Add());
  const auto value = [](uint8_t enabled, std::string_view text) {
    ControlPropertyGroup g;
    g.ENABLED = enabled;
    g.VALUE = text;
    return g;
  };
  Run([&] {
    store.SaveGroup(value(0, "off"), 1, "property 31744");
    store.SaveGroup(value(1, "on"), 1, "property 31762");
    store.SaveGroup(value(0, "off"), 2, "property 31744");
    store.SaveGroup(value(0, "off"), 3, "property 31744");
    store.SaveGroup(value(0, "other profile"), 5, "property 31744");
    // Settings of no set, whatever they hold.
    store.SaveGroup(value(0, "tree"), -3, "~Tree");
    store.SaveGroup(value(0, "fading"), -7, "~Use Fading");
    store.PurgeDisabledProperties();
  });
  EXPECT_EQ(Sets(), (std::vector<std::string>{
                        "DEFAULT/OTHER/Main/ControlType 9/-Unconditional-=5",
                        "DEFAULT/DEFAULT/Main/ControlType 9/Big=3",
                        "DEFAULT/DEFAULT/Main/Control ?A/-Unconditional-=1",
                    }));
  EXPECT_EQ(Records(), (std::vector<std::string>{
                           "-7 ~Use Fading CLARIONVALUE=0",
                           "-7 ~Use Fading ENABLED=0",
                           "-7 ~Use Fading VALUE=fading",
                           "-3 ~Tree CLARIONVALUE=0",
                           "-3 ~Tree ENABLED=0",
                           "-3 ~Tree VALUE=tree",
                           "1 property 31762 CLARIONVALUE=0",
                           "1 property 31762 ENABLED=1",
                           "1 property 31762 VALUE=on",
                           "5 property 31744 CLARIONVALUE=0",
                           "5 property 31744 ENABLED=0",
                           "5 property 31744 VALUE=other profile",
                       }));
}

TEST(ZOVRestyleBaseClass, StripQuestionMarkDropsOnlyALeadingOne) {
  struct Case {
    std::string_view text;
    std::string_view stripped;
  };
  constexpr Case kCases[] = {
      {"?DSNString:Prompt", "DSNString:Prompt"},
      {"Window", "Window"},
      {"", ""},
      {"??", "?"},
      {"a?", "a?"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ZOVRestyleBaseClass::StripQuestionMark(c.text), c.stripped);
  }
}

}  // namespace
}  // namespace restyle
