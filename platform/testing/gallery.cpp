#include "platform/testing/gallery.h"

#include <atomic>
#include <cstdio>
#include <mutex>

#include "platform/core/fixed_string.h"
#include "platform/core/message.h"
#include "platform/core/queue.h"
#include "platform/core/record.h"
#include "platform/ui/list_control.h"
#include "platform/ui/statements.h"
#include "platform/ui/window.h"

namespace platform::testing::gallery {
namespace {

constexpr FieldId kFileNew = kFrameWindow.Equate("?FileNew");
constexpr FieldId kFileOptions = kFrameWindow.Equate("?FileOptions");
constexpr FieldId kFileTables = kFrameWindow.Equate("?FileTables");
constexpr FieldId kFileWallpaper = kFrameWindow.Equate("?FileWallpaper");
constexpr FieldId kFlatButton = kWallpaperWindow.Equate("?FlatButton");
constexpr FieldId kHelpAbout = kFrameWindow.Equate("?HelpAbout");

constexpr FieldId kSource = kConnectionWindow.Equate("?Source");
constexpr FieldId kUsername = kConnectionWindow.Equate("?Username");
constexpr FieldId kPassword = kConnectionWindow.Equate("?Password");
constexpr FieldId kDriver = kConnectionWindow.Equate("?Driver");
constexpr FieldId kSavePassword = kConnectionWindow.Equate("?SavePassword");
constexpr FieldId kConnectButton = kConnectionWindow.Equate("?ConnectButton");

constexpr FieldId kCount = kTablesWindow.Equate("?Count");
constexpr FieldId kTableList = kTablesWindow.Equate("?TableList");
constexpr FieldId kRefreshButton = kTablesWindow.Equate("?RefreshButton");
constexpr FieldId kCellEdit = kTablesWindow.Equate("?CellEdit");
constexpr int32_t kTableColumn = 2;

constexpr FieldId kRowCount = kOptionsWindow.Equate("?RowCount");
constexpr FieldId kMonth = kOptionsWindow.Equate("?Month");
constexpr FieldId kNotes = kOptionsWindow.Equate("?Notes");
constexpr FieldId kQuote = kOptionsWindow.Equate("?Quote");
constexpr FieldId kIndent = kOptionsWindow.Equate("?Indent");
constexpr FieldId kAlign = kOptionsWindow.Equate("?Align");
constexpr FieldId kWidth = kOptionsWindow.Equate("?Width");
constexpr FieldId kSeparator = kOptionsWindow.Equate("?Separator");
constexpr FieldId kColourBox = kOptionsWindow.Equate("?ColourBox");
constexpr FieldId kProgress = kOptionsWindow.Equate("?Progress");

constexpr int32_t kDefaultTableRows = 120;
constexpr size_t kMarkField = 5;  // TableRecord::MARK

std::mutex g_log_mutex;
std::function<void(std::string)> g_log;
std::atomic<int32_t> g_table_rows{0};

void Log(std::string line) {
  std::function<void(std::string)> log;
  {
    std::lock_guard lock(g_log_mutex);
    log = g_log;
  }
  if (log) log(std::move(line));
}

std::string Describe(std::string_view window) {
  return std::string(window) + " " + std::to_string(Event()) + "@" + std::to_string(Field());
}

struct DriverRecord {
  CString<41> NAME;
  static const RecordLayout& Layout() {
    static const RecordLayout layout =
        MakeLayout<DriverRecord>("DRV", Field<&DriverRecord::NAME>("NAME"));
    return layout;
  }
};

struct TableRecord {
  CString<41> OWNER;
  CString<61> TABLENAME;
  int32_t ROWS = 0;
  int32_t ID = 0;
  int32_t MARK = 0;
  static const RecordLayout& Layout() {
    static const RecordLayout layout = MakeLayout<TableRecord>(
        "TBL", Field<&TableRecord::OWNER>("OWNER"), Field<&TableRecord::TABLENAME>("TABLENAME"),
        Field<&TableRecord::ROWS>("ROWS"), Field<&TableRecord::ID>("ID"),
        Field<&TableRecord::MARK>("MARK"));
    return layout;
  }
};

constexpr const char* kTableNames[] = {"customers", "orders",   "order_lines", "products",
                                       "suppliers", "invoices", "payments",    "employees"};

void FillTables(Queue<TableRecord>& tables, int32_t rows, int32_t seed) {
  tables.Free();
  for (int32_t i = 1; i <= rows; ++i) {
    tables.buffer.OWNER = i % 3 == 0 ? "sales" : "public";
    const char* base = kTableNames[(i - 1) % std::size(kTableNames)];
    char name[64];
    std::snprintf(name, sizeof name, "%s_%d", base,
                  (i - 1) / static_cast<int32_t>(std::size(kTableNames)) + 1);
    tables.buffer.TABLENAME = name;
    tables.buffer.ROWS = (i * 7919 + seed) % 100000;
    tables.buffer.ID = i;
    tables.buffer.MARK = 0;
    tables.Add();
  }
}

}  // namespace

void SetEventLog(std::function<void(std::string)> log) {
  std::lock_guard lock(g_log_mutex);
  g_log = std::move(log);
}

void SetTableRows(int32_t rows) { g_table_rows = rows; }

void ConnectionProcedure() {
  CString<41> source;
  CString<41> username;
  CString<41> password;
  CString<41> driver;
  int32_t save_password = 0;
  Queue<DriverRecord> drivers;
  for (const char* name : {"SQLite3", "PostgreSQL Unicode", "PostgreSQL ANSI"}) {
    drivers.buffer.NAME = name;
    drivers.Add();
  }
  source = "Sample (SQLite)";
  driver = "SQLite3";
  Window window(kConnectionWindow);
  window.Use(kSource, source);
  window.Use(kUsername, username);
  window.Use(kPassword, password);
  window.Use(kDriver, driver);
  window.Use(kSavePassword, save_password);
  window.From(kDriver, drivers);
  window.Open();
  while (window.Accept()) {
    std::string line = Describe("Connection");
    if (Event() == kEventAccepted) {
      line += " user=" + std::string(username.view()) + " source=" + std::string(source.view());
    }
    if (Event() == kEventAccepted && Field() == kConnectButton) {
      const int32_t answer =
          MessageWithCaptions("Connect to " + std::string(source.view()) + " as " +
                                  std::string(username.view()) + "?|The password is not kept.",
                              "Connection", kIconQuestion, "&Connect|&Not now");
      line += " answer=" + std::to_string(answer);
    }
    Log(line);
  }
}

void TablesProcedure() {
  const int32_t rows = g_table_rows > 0 ? g_table_rows.load() : kDefaultTableRows;
  Queue<TableRecord> tables;
  FillTables(tables, rows, 0);
  Window window(kTablesWindow);
  window.From(kTableList, tables);
  window.Mark(kTableList, kMarkField);
  window.Set(kCount, Prop::Text, std::to_string(rows) + " tables");
  window.Open();
  window.Select(kTableList, 1);
  int32_t refreshed = 0;
  CString<61> cell;
  window.Use(kCellEdit, cell);
  while (window.Accept()) {
    std::string line = Describe("Tables");
    if (Field() == kTableList && Event() == kEventAlertKey && CurrentKeyCode() == kMouseLeft2 &&
        Choice() >= 1) {
      // The chosen row's name is edited over its cell.
      tables.Get(static_cast<size_t>(Choice()));
      cell = tables.buffer.TABLENAME.view();
      SetProp(kTableList, Prop::EditControl, kCellEdit, kTableColumn);
      Unhide(kCellEdit);
      Display(kCellEdit);
      Select(kCellEdit);
    }
    if (Field() == kCellEdit && Event() == kEventAccepted) {
      const int32_t row = Choice(kTableList);
      if (row >= 1 && tables.Get(static_cast<size_t>(row))) {
        tables.buffer.TABLENAME = cell.view();
        tables.Put();
      }
      SetProp(kTableList, Prop::EditControl, 0, kTableColumn);
      Hide(kCellEdit);
      line += " name=" + std::string(cell.view());
    }
    if (Field() == kTableList) {
      line += " choice=" + std::to_string(Choice());
      if (Event() == kEventAlertKey || Event() == kEventPreAlertKey) {
        line += " key=" + std::to_string(CurrentKeyCode());
        line += " down=" + GetProp(kTableList, Prop::MouseDownRow) + "," +
                GetProp(kTableList, Prop::MouseDownField);
      }
      if (Event() == kEventNewSelection) {
        std::string marks;
        for (size_t r = 1; r <= std::min<size_t>(tables.Records(), 5); ++r) {
          marks += tables.EntryNumber(r, kMarkField) != 0 ? '1' : '0';
        }
        line += " marks=" + marks;
      }
    }
    if (Event() == kEventAccepted && Field() == kRefreshButton) {
      FillTables(tables, rows, ++refreshed);
      SetProp(kTableList, Prop::ColumnHeader, "Rows (" + std::to_string(refreshed) + ")", 3);
    }
    Log(line);
  }
}

void OptionsProcedure() {
  int32_t row_count = 500;
  CString<21> month;
  CString<256> notes;
  int32_t quote = 1;
  int32_t indent = 2;
  int32_t width = 80;
  CString<2> align;
  CString<21> separator;
  align = "L";
  separator = "Comma";
  month = "March";
  notes = "Names with blanks are quoted when the option is on.";
  Window window(kOptionsWindow);
  window.Use(kRowCount, row_count);
  window.Use(kMonth, month);
  window.Use(kNotes, notes);
  window.Use(kQuote, quote);
  window.Use(kIndent, indent);
  window.Use(kWidth, width);
  window.Use(kAlign, align);
  window.Use(kSeparator, separator);
  window.Set(kRowCount, Prop::RangeLow, "10");
  window.Set(kRowCount, Prop::RangeHigh, "10000");
  window.Set(kRowCount, Prop::Step, "10");
  window.Set(kColourBox, Prop::Color, "8421504");  // grey border
  window.Set(kColourBox, Prop::Fill, "12615744");  // 00C08040h: a light blue
  window.Set(kProgress, Prop::Progress, "60");
  window.Open();
  while (window.Accept()) {
    std::string line = Describe("Options");
    if (Event() == kEventAccepted && Field() == kAlign)
      line += " align=" + std::string(align.view());
    if (Event() == kEventAccepted && Field() == kSeparator)
      line += " separator=" + std::string(separator.view());
    Log(line);
  }
}

void WallpaperProcedure() {
  Window window(kWallpaperWindow);
  window.Set(kNoField, Prop::WallPaper, "~tile.png");
  window.Set(kNoField, Prop::Tiled, "1");
  window.Set(kFlatButton, Prop::Flat, "1");
  window.Set(kFlatButton, Prop::Tip, "A flat button over a picture");
  window.Open();
  while (window.Accept()) Log(Describe("Wallpaper"));
}

void FrameProcedure(std::vector<Procedure> children) {
  Window frame(kFrameWindow);
  frame.Open();
  for (Procedure& child : children) Start(std::move(child));
  while (frame.Accept()) {
    Log(Describe("Frame"));
    if (Event() != kEventAccepted) continue;
    switch (Field()) {
      case kFileNew:
        Start(ConnectionProcedure);
        break;
      case kFileOptions:
        Start(OptionsProcedure);
        break;
      case kFileTables:
        Start(TablesProcedure);
        break;
      case kFileWallpaper:
        Start(WallpaperProcedure);
        break;
      case kHelpAbout:
        Message("Pexolind gallery|Sample windows of the display backend.", "About", kIconAsterisk);
        break;
      default:
        break;
    }
  }
}

void GalleryMain() {
  FrameProcedure({ConnectionProcedure, TablesProcedure, OptionsProcedure, WallpaperProcedure});
}

}  // namespace platform::testing::gallery
