#include "platform/files/keyed/keyed_driver.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/core/error_state.h"
#include "platform/core/text.h"
#include "platform/files/keyed/file_system.h"
#include "platform/files/keyed/keyed_test_support.h"

namespace platform::files {
namespace {

using keyed_test::AddRow;
using keyed_test::Key;
using keyed_test::kName;
using keyed_test::kNote;
using keyed_test::kNumber;
using keyed_test::ReadOn;
using keyed_test::Row;
using keyed_test::RowFile;
using keyed_test::ScratchDir;
using keyed_test::Tag;
using Tags = std::vector<std::string>;

// The keys of the order tests, by index:
//   0 NAME, case-sensitive, duplicates
//   1 NAME, NOCASE, duplicates
//   2 NUMBER descending then NAME, duplicates
//   3 NAME NOCASE then NUMBER descending, unique
std::vector<FileKey> OrderKeys() {
  return {Key({{kName, false}}, true, false), Key({{kName, false}}, true, true),
          Key({{kNumber, true}, {kName, false}}, true, false),
          Key({{kName, false}, {kNumber, true}}, false, true)};
}

class KeyedFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    file_ = RowFile(dir_ / "ROWS", row_, OrderKeys());
    ASSERT_TRUE(file_->Open()) << Error() << " " << FileError();
  }
  // b1 B2 a3 C1 a2, in that order of adding.
  void AddSample() {
    for (const auto& [name, number] : std::vector<std::pair<const char*, int>>{
             {"b", 1}, {"B", 2}, {"a", 3}, {"C", 1}, {"a", 2}}) {
      ASSERT_TRUE(AddRow(*file_, row_, name, number)) << Error();
    }
  }

  ScratchDir dir_;
  Row row_;
  std::unique_ptr<File> file_;
};

TEST_F(KeyedFileTest, KeysOrderRecordsBothWays) {
  AddSample();
  struct Case {
    const char* name;
    int key;  // -1: file order
    Tags order;
  };
  const Case kCases[] = {
      {"file order is the order of adding", -1, {"b1", "B2", "a3", "C1", "a2"}},
      {"case-sensitive: upper case first, duplicates as added", 0, {"B2", "C1", "a3", "a2", "b1"}},
      {"NOCASE: letters folded, duplicates as added", 1, {"a3", "a2", "b1", "B2", "C1"}},
      {"descending number, then name", 2, {"a3", "B2", "a2", "C1", "b1"}},
      {"NOCASE name, then descending number", 3, {"a3", "a2", "B2", "b1", "C1"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(c.key < 0 ? file_->Set() : file_->SetKey(c.key, /*from_buffer=*/false));
    EXPECT_EQ(ReadOn(*file_, row_), c.order);
    EXPECT_EQ(ErrorCode(), 33);  // past the end: "Record Not Available"
    ASSERT_TRUE(c.key < 0 ? file_->Set() : file_->SetKey(c.key, false));
    EXPECT_EQ(ReadOn(*file_, row_, /*forward=*/false), Tags(c.order.rbegin(), c.order.rend()));
  }
}

TEST_F(KeyedFileTest, SetFromKeyValuesStartsAtTheFirstRecordNotBeforeThem) {
  AddSample();
  struct Case {
    const char* name;
    int key;
    const char* key_name;
    int32_t key_number;
    Tags next, previous;
  };
  const Case kCases[] = {
      {"before everything", 3, "A", 99, {"a3", "a2", "B2", "b1", "C1"}, {}},
      {"on a record: it comes first both ways", 3, "a", 2, {"a2", "B2", "b1", "C1"}, {"a2", "a3"}},
      {"between records", 3, "b", 0, {"C1"}, {"b1", "B2", "a2", "a3"}},
      {"after everything", 3, "zz", 0, {}, {"C1", "b1", "B2", "a2", "a3"}},
      {"blank values start at the beginning", 3, "", 0, {"a3", "a2", "B2", "b1", "C1"}, {}},
      {"descending number, blank name", 2, "", 2, {"B2", "a2", "C1", "b1"}, {"a3"}},
      {"duplicates: all equal ones, as added",
       1,
       "A",
       0,
       {"a3", "a2", "b1", "B2", "C1"},
       {"a2", "a3"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    file_->Clear();
    row_.NAME = c.key_name;
    row_.NUMBER = c.key_number;
    ASSERT_TRUE(file_->SetKey(c.key, /*from_buffer=*/true));
    EXPECT_EQ(ReadOn(*file_, row_), c.next);
    row_.NAME = c.key_name;
    row_.NUMBER = c.key_number;
    ASSERT_TRUE(file_->SetKey(c.key, true));
    EXPECT_EQ(ReadOn(*file_, row_, /*forward=*/false), c.previous);
  }
}

TEST_F(KeyedFileTest, NextAndPreviousTurnAroundOnTheCurrentRecord) {
  AddSample();
  ASSERT_TRUE(file_->SetKey(1, false));
  ASSERT_TRUE(file_->Next());
  ASSERT_TRUE(file_->Next());
  ASSERT_TRUE(file_->Next());
  EXPECT_EQ(Tag(row_), "b1");
  ASSERT_TRUE(file_->Previous());
  EXPECT_EQ(Tag(row_), "a2");
  ASSERT_TRUE(file_->Next());
  EXPECT_EQ(Tag(row_), "b1");
}

TEST_F(KeyedFileTest, DeleteDuringAScanGoesOnWithTheNextRecord) {
  AddSample();
  for (int key : {-1, 1, 2}) {
    SCOPED_TRACE(key);
    Tags seen;
    ASSERT_TRUE(key < 0 ? file_->Set() : file_->SetKey(key, false));
    while (file_->Next()) {
      seen.push_back(Tag(row_));
      if (row_.NUMBER == 2) {
        ASSERT_TRUE(file_->Delete()) << Error();
      }
    }
    EXPECT_EQ(seen.size(), key == -1 ? 5u : 3u);  // later keys see the first pass's deletes
    ASSERT_TRUE(file_->Set());
    EXPECT_EQ(ReadOn(*file_, row_), (Tags{"b1", "a3", "C1"}));
  }
  // Backwards too: deleting the current record steps on to the one before it.
  ASSERT_TRUE(file_->SetKey(1, false));
  Tags seen;
  while (file_->Previous()) {
    seen.push_back(Tag(row_));
    ASSERT_TRUE(file_->Delete());
  }
  EXPECT_EQ(seen, (Tags{"C1", "b1", "a3"}));
  EXPECT_EQ(file_->Records(), 0);
}

TEST_F(KeyedFileTest, GetMatchesTheWholeKeyExactly) {
  AddSample();
  struct Case {
    const char* name;
    int key;
    const char* key_name;
    int32_t key_number;
    const char* found;  // nullptr: "Record Not Found"
  };
  const Case kCases[] = {
      {"NOCASE finds another case", 3, "A", 3, "a3"},
      {"second component must match too", 3, "a", 4, nullptr},
      {"a prefix is no match", 3, "", 3, nullptr},
      {"case-sensitive key keeps case apart", 0, "c", 0, nullptr},
      {"case-sensitive key finds its own case", 0, "C", 0, "C1"},
      {"duplicates: the first in key order", 1, "A", 0, "a3"},
      {"trailing blanks do not count", 0, "C  ", 0, "C1"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    file_->Clear();
    row_.NAME = c.key_name;
    row_.NUMBER = c.key_number;
    row_.NOTE = "kept";
    const bool found = file_->Get(c.key);
    if (c.found) {
      ASSERT_TRUE(found) << Error();
      EXPECT_EQ(Tag(row_), c.found);
      EXPECT_EQ(ErrorCode(), 0);
    } else {
      EXPECT_FALSE(found);
      EXPECT_EQ(ErrorCode(), 35);
      EXPECT_EQ(Error(), "Record Not Found");
      EXPECT_EQ(row_.NOTE, "kept");  // a miss leaves the buffer alone
    }
  }
}

TEST_F(KeyedFileTest, DuplicateKeysAreRefused) {
  AddSample();
  // Key 3 is unique and NOCASE: "A"/3 is "a"/3 again.
  EXPECT_FALSE(AddRow(*file_, row_, "A", 3));
  EXPECT_EQ(ErrorCode(), 40);
  EXPECT_EQ(Error(), "Creating Duplicate Key");
  EXPECT_FALSE(FileErrorCode().empty());
  EXPECT_EQ(file_->Records(), 5);
  // Duplicates keys take any number of equal values; only the unique key decides.
  EXPECT_TRUE(AddRow(*file_, row_, "A", 4));
  // PUT that would make a duplicate is refused too, and the record stays as it was.
  row_.NAME = "C";
  row_.NUMBER = 1;
  ASSERT_TRUE(file_->Get(3));
  row_.NAME = "b";
  EXPECT_FALSE(file_->Put());
  EXPECT_EQ(ErrorCode(), 40);
  row_.NAME = "C";
  ASSERT_TRUE(file_->Get(3));
  EXPECT_EQ(Tag(row_), "C1");
}

TEST_F(KeyedFileTest, PutRewritesTheCurrentRecord) {
  AddSample();
  row_.NAME = "C";
  row_.NUMBER = 1;
  ASSERT_TRUE(file_->Get(3));
  row_.NOTE = "changed";
  row_.NUMBER = 7;
  ASSERT_TRUE(file_->Put()) << Error();
  file_->Clear();
  row_.NAME = "c";
  row_.NUMBER = 7;
  ASSERT_TRUE(file_->Get(3));
  EXPECT_EQ(row_.NOTE, "changed");
  EXPECT_EQ(file_->Records(), 5);
}

TEST_F(KeyedFileTest, PutDeleteAndPositionNeedACurrentRecord) {
  AddSample();
  ASSERT_TRUE(file_->Close());
  ASSERT_TRUE(file_->Open());
  EXPECT_FALSE(file_->Put());
  EXPECT_EQ(ErrorCode(), 33);
  EXPECT_FALSE(file_->Delete());
  EXPECT_EQ(ErrorCode(), 33);
  EXPECT_EQ(file_->Position(), "");
  EXPECT_EQ(ErrorCode(), 33);
  EXPECT_FALSE(file_->Next());  // no SET yet
  EXPECT_EQ(ErrorCode(), 33);
}

// How the condition-set file numbers its first set: the highest number is read by a
// descending key, and an empty file leaves the cleared buffer (number 0) alone.
TEST_F(KeyedFileTest, ReadingPastTheEndLeavesTheBufferAlone) {
  file_->Clear();
  ASSERT_TRUE(file_->SetKey(2, false));
  EXPECT_FALSE(file_->Next());
  EXPECT_EQ(ErrorCode(), 33);
  EXPECT_EQ(row_.NUMBER, 0);
  AddSample();
  ASSERT_TRUE(file_->SetKey(2, false));
  ASSERT_TRUE(file_->Next());
  EXPECT_EQ(row_.NUMBER, 3);
  ASSERT_TRUE(file_->SetKey(2, false));
  ASSERT_TRUE(file_->Previous());
  EXPECT_EQ(Tag(row_), "b1");
  EXPECT_FALSE(file_->Previous() && file_->Previous() && file_->Previous() && file_->Previous() &&
               file_->Previous());
  EXPECT_EQ(Tag(row_), "a3");  // the last record read stays in the buffer
}

TEST_F(KeyedFileTest, RegetReadsBackThePositionedRecord) {
  AddSample();
  row_.NAME = "B";
  row_.NUMBER = 2;
  ASSERT_TRUE(file_->Get(3));
  const std::string position = file_->Position();
  ASSERT_FALSE(position.empty());
  file_->Clear();
  ASSERT_TRUE(file_->Reget(position)) << Error();
  EXPECT_EQ(Tag(row_), "B2");
  // A scan goes on from the record read back.
  ASSERT_TRUE(file_->SetKey(3, false));
  ASSERT_TRUE(file_->Reget(position));
  ASSERT_TRUE(file_->Next());
  EXPECT_EQ(Tag(row_), "b1");
  // POSITION after ADD names the new record.
  ASSERT_TRUE(AddRow(*file_, row_, "new", 9));
  const std::string added = file_->Position();
  file_->Clear();
  ASSERT_TRUE(file_->Reget(added));
  EXPECT_EQ(Tag(row_), "new9");
  ASSERT_TRUE(file_->Delete());
  EXPECT_FALSE(file_->Reget(added));
  EXPECT_EQ(ErrorCode(), 35);
  EXPECT_FALSE(file_->Reget("nonsense"));
  EXPECT_EQ(ErrorCode(), 35);
}

TEST_F(KeyedFileTest, ClosedFileAnswersFileNotOpen) {
  ASSERT_TRUE(file_->Close());
  EXPECT_FALSE(file_->Set());
  EXPECT_EQ(ErrorCode(), 37);
  EXPECT_EQ(Error(), "File Not Open");
  EXPECT_FALSE(file_->Add());
  EXPECT_EQ(ErrorCode(), 37);
  ASSERT_TRUE(file_->Open());
  EXPECT_FALSE(file_->Open());
  EXPECT_EQ(ErrorCode(), 52);
  EXPECT_EQ(Error(), "File Already Open");
}

// STREAM, FLUSH and BUFFER only tune how the runtime writes and reads ahead: on an open keyed
// file they succeed, and what was added between STREAM and FLUSH is in the file for others
// afterwards; on a closed file each answers 37.
TEST_F(KeyedFileTest, StreamFlushAndBufferNeedAnOpenFile) {
  struct Case {
    const char* statement;
    bool (*run)(File&);
  };
  const Case kCases[] = {
      {"STREAM", [](File& f) { return f.Stream(); }},
      {"FLUSH", [](File& f) { return f.Flush(); }},
      {"BUFFER", [](File& f) { return f.Buffer(200); }},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.statement);
    EXPECT_TRUE(c.run(*file_)) << Error();
    EXPECT_EQ(ErrorCode(), 0);
  }
  ASSERT_TRUE(file_->Stream());
  AddSample();
  ASSERT_TRUE(file_->Flush());
  Row other_row;
  auto other = RowFile(dir_ / "ROWS", other_row, OrderKeys(), false);
  ASSERT_TRUE(other->Open(kReadOnly | kDenyNone)) << Error();
  EXPECT_EQ(other->Records(), 5);
  ASSERT_TRUE(other->Close());

  ASSERT_TRUE(file_->Close());
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.statement);
    EXPECT_FALSE(c.run(*file_));
    EXPECT_EQ(ErrorCode(), 37);
    EXPECT_EQ(Error(), "File Not Open");
  }
}

// Every field type keeps its value exactly, texts byte for byte (NUL bytes and, in a
// CSTRING, trailing blanks included).
struct AllTypes {
  uint8_t B = 0;
  int16_t S = 0;
  uint16_t US = 0;
  int32_t L = 0;
  uint32_t UL = 0;
  double R = 0;
  Decimal D;
  FixedString<40> TEXT;
  CString<41> CTEXT;
  static const RecordLayout& Layout() {
    static const RecordLayout layout = MakeLayout<AllTypes>(
        "ALL", Field<&AllTypes::B>("B"), Field<&AllTypes::S>("S"), Field<&AllTypes::US>("US"),
        Field<&AllTypes::L>("L"), Field<&AllTypes::UL>("UL"), Field<&AllTypes::R>("R"),
        DecimalField<&AllTypes::D>("D", 9, 2), Field<&AllTypes::TEXT>("TEXT"),
        Field<&AllTypes::CTEXT>("CTEXT"));
    return layout;
  }
};

TEST(KeyedFile, ValuesComeBackExactlyAsStored) {
  ScratchDir dir;
  AllTypes rec;
  auto owned = keyed_test::KeyedFile(dir / "ALL", AllTypes::Layout(), &rec, {});
  File& file = *owned;
  ASSERT_TRUE(file.Open());
  // A position-and-size value: numbers as raw bytes, zeros inside.
  const std::string raw("\x01\x00\x00\x00\x7f\x00 \x00\xff\xfe", 10);
  struct Case {
    uint8_t b;
    int16_t s;
    uint16_t us;
    int32_t l;
    uint32_t ul;
    double r;
    double d;
    std::string text, ctext;
  };
  const Case kCases[] = {
      {255, -32768, 65535, std::numeric_limits<int32_t>::min(),
       std::numeric_limits<uint32_t>::max(), 0.1, 1234567.89, raw, "trailing  "},
      {0, 32767, 0, std::numeric_limits<int32_t>::max(), 0, -1e300, -0.01, "", ""},
      {1, -1, 1, -1, 1, 2.5, 0, "Dutch: \xc3\xa9\xc3\xa9n", std::string("a\0b", 3)},
      {7, 7, 7, 7, 7, 7, 7, std::string(40, 'x'), std::string(40, 'y')},
  };
  for (const Case& c : kCases) {
    rec.B = c.b, rec.S = c.s, rec.US = c.us, rec.L = c.l, rec.UL = c.ul, rec.R = c.r;
    rec.D.value = c.d;
    rec.TEXT = c.text;
    rec.CTEXT = c.ctext;
    ASSERT_TRUE(file.Add()) << Error() << FileError();
  }
  ASSERT_TRUE(file.Close());
  ASSERT_TRUE(file.Open());
  ASSERT_TRUE(file.Set());
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.l);
    file.Clear();
    ASSERT_TRUE(file.Next());
    EXPECT_EQ(rec.B, c.b);
    EXPECT_EQ(rec.S, c.s);
    EXPECT_EQ(rec.US, c.us);
    EXPECT_EQ(rec.L, c.l);
    EXPECT_EQ(rec.UL, c.ul);
    EXPECT_EQ(rec.R, c.r);
    EXPECT_EQ(rec.D.value, c.d);
    EXPECT_EQ(rec.TEXT.str(), std::string(FixedString<40>(c.text).str()));
    EXPECT_EQ(rec.CTEXT.str(), c.ctext);
  }
  EXPECT_FALSE(file.Next());
}

// A damaged or edited file can hold a number its field cannot: the record reads as the
// runtime's assignment gives it (integers wrap), and a scan by a key over it goes on from
// the stored value, so it reads every record once, in the stored order, both ways.
TEST(KeyedFile, AStoredNumberOutOfItsFieldNeverStallsAScan) {
  // Stored order by the number, and each record as it reads.
  const Tags ascending = {"low 2147483647", "one 1",           "five 5",
                          "max 2147483647", "big -2147483648", "huge 5"};
  for (bool descending : {false, true}) {
    SCOPED_TRACE(descending ? "descending key" : "ascending key");
    ScratchDir dir;
    Row row;
    const std::string path = dir / "DAMAGED";
    auto file = RowFile(path, row, {Key({{kNumber, descending}}, true, false)});
    ASSERT_TRUE(file->Open());
    for (const char* note : {"low", "one", "five", "max", "big", "huge"}) {
      ASSERT_TRUE(AddRow(*file, row, "r", 0, note));
    }
    ASSERT_TRUE(file->Close());
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db,
                           "UPDATE records SET NUMBER = CASE rtrim(NOTE) "
                           "WHEN 'low' THEN -2147483649 WHEN 'one' THEN 1 WHEN 'five' THEN 5 "
                           "WHEN 'max' THEN 2147483647 WHEN 'big' THEN 2147483648 "
                           "WHEN 'huge' THEN 4294967301 END",
                           nullptr, nullptr, nullptr),
              SQLITE_OK)
        << sqlite3_errmsg(db);
    sqlite3_close(db);
    ASSERT_TRUE(file->Open()) << Error() << " " << FileError();

    // Reads on until the end, or 20 records: a stalled scan would never end.
    auto read_on = [&](bool forward) {
      Tags out;
      while (out.size() < 20 && (forward ? file->Next() : file->Previous())) {
        out.push_back(Clip(row.NOTE.view()) + " " + std::to_string(row.NUMBER));
      }
      return out;
    };
    const Tags order = descending ? Tags(ascending.rbegin(), ascending.rend()) : ascending;
    ASSERT_TRUE(file->SetKey(0, /*from_buffer=*/false));
    EXPECT_EQ(read_on(/*forward=*/true), order);
    EXPECT_EQ(ErrorCode(), 33);
    ASSERT_TRUE(file->SetKey(0, false));
    EXPECT_EQ(read_on(/*forward=*/false), Tags(order.rbegin(), order.rend()));
    EXPECT_EQ(ErrorCode(), 33);
    // Turning round after the fifth record goes on with the fourth and those before it.
    ASSERT_TRUE(file->SetKey(0, false));
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(file->Next());
    EXPECT_EQ(read_on(false), Tags(order.rbegin() + 2, order.rend()));
  }
}

TEST(KeyedFile, NoCaseUniqueKeyOverTextsWithNulBytes) {
  ScratchDir dir;
  Row row;
  auto file = RowFile(dir / "NUL", row, {Key({{kNote, false}}, false, true)});
  ASSERT_TRUE(file->Open());
  ASSERT_TRUE(AddRow(*file, row, "1", 1, std::string("ab\0c", 4)));
  ASSERT_TRUE(AddRow(*file, row, "2", 2, std::string("ab\0d", 4)));  // differs after the NUL
  EXPECT_FALSE(AddRow(*file, row, "3", 3, std::string("AB\0C", 4)));
  EXPECT_EQ(ErrorCode(), 40);
  file->Clear();
  row.NOTE = std::string("Ab\0D", 4);
  ASSERT_TRUE(file->Get(0));
  EXPECT_EQ(Tag(row), "22");
  EXPECT_EQ(row.NOTE.str(), std::string("ab\0d", 4));
}

TEST(KeyedFile, OptionalKeyLeavesBlankRecordsOut) {
  ScratchDir dir;
  Row row;
  FileKey opt = Key({{kNote, false}}, false, false);
  opt.optional = true;
  auto file = RowFile(dir / "OPT", row, {opt});
  ASSERT_TRUE(file->Open());
  ASSERT_TRUE(AddRow(*file, row, "x", 1, ""));
  ASSERT_TRUE(AddRow(*file, row, "y", 2, ""));  // blank twice: not in the unique key
  ASSERT_TRUE(AddRow(*file, row, "z", 3, "note"));
  EXPECT_FALSE(AddRow(*file, row, "w", 4, "note"));
  EXPECT_EQ(file->Records(), 3);
  ASSERT_TRUE(file->SetKey(0, false));
  EXPECT_EQ(ReadOn(*file, row), Tags{"z3"});
  file->Clear();
  EXPECT_FALSE(file->Get(0));
  EXPECT_EQ(ErrorCode(), 35);
}

// --- Opening, layouts, errors --------------------------------------------------------

TEST(KeyedFile, OpenReportsWhyAFileCannotBeUsed) {
  ScratchDir dir;
  Row row;
  auto missing = RowFile(dir / "MISSING", row, {}, /*create=*/false);
  EXPECT_FALSE(missing->Open());
  EXPECT_EQ(ErrorCode(), 2);
  EXPECT_EQ(Error(), "File Not Found");
  EXPECT_FALSE(Exists(dir / "MISSING"));  // no CREATE attribute: nothing made

  auto no_dir = RowFile(dir / "nodir/F", row, {}, false);
  EXPECT_FALSE(no_dir->Open());
  EXPECT_EQ(ErrorCode(), 3);
  EXPECT_FALSE(no_dir->Create());
  EXPECT_EQ(ErrorCode(), 3);

  std::ofstream(dir / "TEXT") << "this is no keyed file at all, just some text\n";
  auto text = RowFile(dir / "TEXT", row, {}, false);
  EXPECT_FALSE(text->Open());
  EXPECT_EQ(ErrorCode(), 36);

  std::filesystem::create_directory(dir / "DIR");
  auto directory = RowFile(dir / "DIR", row, {}, false);
  EXPECT_FALSE(directory->Open());
  EXPECT_EQ(ErrorCode(), 5);

  std::ofstream(dir / "EMPTY");
  auto empty = RowFile(dir / "EMPTY", row, {}, false);
  EXPECT_FALSE(empty->Open());
  EXPECT_EQ(ErrorCode(), 36);
  // With the CREATE attribute an empty file is made a keyed file, as a missing one is.
  auto filled = RowFile(dir / "EMPTY", row, {}, true);
  EXPECT_TRUE(filled->Open()) << Error();
  EXPECT_EQ(filled->Records(), 0);

  auto made = RowFile(dir / "MADE", row, {}, /*create=*/true);
  EXPECT_TRUE(made->Open()) << Error();
  EXPECT_EQ(made->Records(), 0);
  EXPECT_TRUE(Exists(dir / "MADE"));
}

TEST(KeyedFile, ReadOnlyAndForbiddenFilesAnswerAccessDenied) {
  ScratchDir dir;
  Row row;
  auto file = RowFile(dir / "RO", row, {});
  ASSERT_TRUE(file->Open());
  ASSERT_TRUE(AddRow(*file, row, "a", 1));
  ASSERT_TRUE(file->Close());
  ASSERT_TRUE(file->Open(kReadOnly | kDenyNone));
  EXPECT_FALSE(AddRow(*file, row, "b", 2));
  EXPECT_EQ(ErrorCode(), 5);
  EXPECT_EQ(Error(), "Access Denied");
  ASSERT_TRUE(file->Set());
  EXPECT_EQ(ReadOn(*file, row), Tags{"a1"});
  ASSERT_TRUE(file->Close());
  // A file the user may not write, and one he may not read at all. Root may open anything,
  // so as root the check runs in a child that has become "nobody".
  ASSERT_EQ(::chmod((dir / "").c_str(), 0755), 0);
  auto check = [&] {
    if (::chmod((dir / "RO").c_str(), 0444) != 0) return 1;
    if (file->Open(kReadWrite | kDenyNone) || ErrorCode() != 5) return 2;
    if (!file->Open(kReadOnly | kDenyNone) || !file->Close()) return 3;
    if (::chmod((dir / "RO").c_str(), 0) != 0) return 4;
    if (file->Open(kReadOnly) || ErrorCode() != 5) return 5;
    return 0;
  };
  if (geteuid() != 0) {
    EXPECT_EQ(check(), 0);
    return;
  }
  keyed_test::Child child([&](keyed_test::Child&) {
    if (::chown((dir / "RO").c_str(), 65534, 65534) != 0 || ::setgid(65534) != 0 ||
        ::setuid(65534) != 0) {
      return 9;
    }
    return check();
  });
  ASSERT_TRUE(child.started());
  const int status = child.Wait();
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

// Another version of Row, to stand for a changed declaration.
struct WiderRow {
  CString<22> NAME;
  int32_t NUMBER = 0;
  FixedString<40> NOTE;
  static const RecordLayout& Layout() {
    static const RecordLayout layout =
        MakeLayout<WiderRow>("ROW", Field<&WiderRow::NAME>("NAME"),
                             Field<&WiderRow::NUMBER>("NUMBER"), Field<&WiderRow::NOTE>("NOTE"));
    return layout;
  }
};
struct RenamedRow {
  CString<21> NAME;
  int32_t NUMBER = 0;
  FixedString<40> REMARK;
  static const RecordLayout& Layout() {
    static const RecordLayout layout = MakeLayout<RenamedRow>(
        "ROW", Field<&RenamedRow::NAME>("NAME"), Field<&RenamedRow::NUMBER>("NUMBER"),
        Field<&RenamedRow::REMARK>("REMARK"));
    return layout;
  }
};
struct ShortRow {
  CString<21> NAME;
  int32_t NUMBER = 0;
  static const RecordLayout& Layout() {
    static const RecordLayout layout = MakeLayout<ShortRow>("ROW", Field<&ShortRow::NAME>("NAME"),
                                                            Field<&ShortRow::NUMBER>("NUMBER"));
    return layout;
  }
};

TEST(KeyedFile, AChangedDeclarationIsAnInvalidRecordDeclaration) {
  ScratchDir dir;
  const std::string path = dir / "ZOVRestyle";
  const std::vector<FileKey> keys = {Key({{kName, false}, {kNumber, false}}, false, true)};
  Row row;
  {
    auto file = RowFile(path, row, keys);
    ASSERT_TRUE(file->Open());
    ASSERT_TRUE(AddRow(*file, row, "kept", 1));
  }
  WiderRow wider;
  RenamedRow renamed;
  ShortRow shorter;
  struct Case {
    const char* name;
    const RecordLayout* layout;
    void* record;
    std::vector<FileKey> keys;
  };
  const Case kCases[] = {
      {"a text one byte longer", &WiderRow::Layout(), &wider, keys},
      {"a field renamed", &RenamedRow::Layout(), &renamed, keys},
      {"a field fewer", &ShortRow::Layout(), &shorter, keys},
      {"a key no longer NOCASE",
       &Row::Layout(),
       &row,
       {Key({{kName, false}, {kNumber, false}}, false, false)}},
      {"a key component descending",
       &Row::Layout(),
       &row,
       {Key({{kName, false}, {kNumber, true}}, false, true)}},
      {"a key with duplicates",
       &Row::Layout(),
       &row,
       {Key({{kName, false}, {kNumber, false}}, true, true)}},
      {"a key more", &Row::Layout(), &row, {keys[0], Key({{kNote, false}}, true, false)}},
      {"no keys", &Row::Layout(), &row, {}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    auto owned = keyed_test::KeyedFile(path, *c.layout, c.record, c.keys);
    File& file = *owned;
    EXPECT_FALSE(file.Open(kReadWrite | kDenyNone));
    EXPECT_EQ(ErrorCode(), 47);
    EXPECT_EQ(Error(), "Invalid Record Declaration");
    EXPECT_FALSE(file.is_open());
  }
  // The same declaration with another key label still fits.
  std::vector<FileKey> relabelled = keys;
  relabelled[0].label = "ROW:OTHERNAME";
  auto same = RowFile(path, row, relabelled);
  EXPECT_TRUE(same->Open()) << Error();
}

// What the style manager does on 47: keep the old file as ".bak" and start anew.
TEST(KeyedFile, CopyToBakThenCreateAnew) {
  ScratchDir dir;
  const std::string path = dir / "ZOVConditional";
  Row row;
  {
    auto old_file = RowFile(path, row, {Key({{kName, false}}, false, false)});
    ASSERT_TRUE(old_file->Open());
    ASSERT_TRUE(AddRow(*old_file, row, "old", 1, std::string("n\0l", 3)));
    ASSERT_TRUE(AddRow(*old_file, row, "older", 2));
  }
  WiderRow wide;
  auto owned = keyed_test::KeyedFile(path, WiderRow::Layout(), &wide, {});
  File& file = *owned;
  ASSERT_FALSE(file.Open(kReadWrite | kDenyNone));
  ASSERT_EQ(ErrorCode(), 47);
  ASSERT_TRUE(Copy(file, path + ".bak")) << Error() << FileError();
  ASSERT_TRUE(file.Create()) << Error() << FileError();
  ASSERT_TRUE(file.Open(kReadWrite | kDenyNone)) << Error();
  EXPECT_EQ(file.Records(), 0);  // nothing of the old file is carried over
  wide.NAME = "new";
  ASSERT_TRUE(file.Add());

  // The copy is the old file, whole, under the old declaration.
  auto bak = RowFile(path + ".bak", row, {Key({{kName, false}}, false, false)}, false);
  ASSERT_TRUE(bak->Open()) << Error();
  ASSERT_TRUE(bak->SetKey(0, false));
  EXPECT_EQ(ReadOn(*bak, row), (Tags{"old1", "older2"}));
  row.NAME = "old";
  ASSERT_TRUE(bak->Get(0));
  EXPECT_EQ(row.NOTE.str(), std::string("n\0l", 3));

  // A missing file has nothing to copy: 2, and no ".bak" is made.
  EXPECT_FALSE(Copy(dir / "ZOVNothing", dir / "ZOVNothing.bak"));
  EXPECT_EQ(ErrorCode(), 2);
  EXPECT_FALSE(Exists(dir / "ZOVNothing.bak"));
}

TEST(KeyedFile, CreateReplacesAnExistingFileAndLeavesNoTemporaryFile) {
  ScratchDir dir;
  Row row;
  auto file = RowFile(dir / "AGNTSET", row, {});
  ASSERT_TRUE(file->Open());
  ASSERT_TRUE(AddRow(*file, row, "a", 1));
  EXPECT_FALSE(file->Create());
  EXPECT_EQ(ErrorCode(), 52);
  ASSERT_TRUE(file->Close());
  ASSERT_TRUE(file->Create());
  ASSERT_TRUE(file->Open());
  EXPECT_EQ(file->Records(), 0);
  ASSERT_TRUE(file->Close());
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir / "")) {
    names.push_back(e.path().filename().string());
  }
  EXPECT_EQ(names, std::vector<std::string>{"AGNTSET"});
}

TEST(KeyedFile, CopyOfAPlainFileIsByteForByte) {
  ScratchDir dir;
  const std::string bytes("plain\0bytes\r\n", 13);
  std::ofstream(dir / "plain.txt", std::ios::binary) << bytes;
  ASSERT_TRUE(Copy(dir / "plain.txt", dir / "plain.bak"));
  std::ifstream in(dir / "plain.bak", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), bytes);
  EXPECT_FALSE(Copy(dir / "plain.txt", dir / "nodir/plain.bak"));
  EXPECT_EQ(ErrorCode(), 3);
}

TEST(KeyedFile, RemoveDeletesAClosedFile) {
  ScratchDir dir;
  Row row;
  auto file = RowFile(dir / "GONE", row, {});
  ASSERT_TRUE(file->Open());
  EXPECT_FALSE(Remove(*file));
  EXPECT_EQ(ErrorCode(), 52);
  ASSERT_TRUE(file->Close());
  EXPECT_TRUE(Remove(*file));
  EXPECT_FALSE(Exists(dir / "GONE"));
  EXPECT_FALSE(Remove(*file));
  EXPECT_EQ(ErrorCode(), 2);
}

TEST(KeyedFile, FileNamePropertyChoosesTheFileBeforeOpen) {
  ScratchDir dir;
  Row row;
  auto file = RowFile(dir / "FIRST", row, {});
  file->SetProperty(kPropName, dir / "SECOND");
  EXPECT_EQ(file->GetProperty(kPropName), dir / "SECOND");
  ASSERT_TRUE(file->Open());
  EXPECT_TRUE(Exists(dir / "SECOND"));
  EXPECT_FALSE(Exists(dir / "FIRST"));
}

}  // namespace
}  // namespace platform::files
