// Tree lists and row styles under Qt offscreen, by pixel probes: each level moves its icon
// in, open and closed rows show their buttons, rows below a closed one are hidden, styles
// paint their colours (the chosen row its selected background), and a press on a button
// opens the row through the runtime.
#include <filesystem>
#include <string>

#include <QImage>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/core/queue.h"
#include "platform/core/record.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/settle.h"
#include "platform/qt/snapshot_model.h"
#include "platform/qt/tree_column.h"
#include "platform/qt/window_mirror.h"
#include "platform/testing/bitmap_file.h"
#include "platform/testing/pixel_probe.h"
#include "platform/testing/qt_window_test.h"
#include "platform/testing/tree_lists.h"
#include "platform/testing/window_test.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"
#include "platform/ui/window.h"

namespace platform::qt {
namespace {

namespace fs = std::filesystem;
using testing::Shows;
using ui::FieldId;
using ui::Prop;

constexpr FieldId kTree = testing::kTreeListWindow.Equate("?Tree");
constexpr FieldId kPanel = testing::kTreeListWindow.Equate("?Panel");
constexpr FieldId kTips = testing::kTreeListWindow.Equate("?Tips");

// File (open) holds Open and Save, which is closed over a.txt; Help is closed.
constexpr testing::TreeListRow kRows[] = {
    {"File", 2, 1, 1},  {"Open", 2, 2, 2},  {"Save", 0, -2, 3},
    {"a.txt", 2, 3, 1}, {"Help", 2, -1, 1},
};

// Stored colours are 00BBGGRRh.
constexpr int32_t kStoredRed = 0x0000FF;
constexpr int32_t kStoredBlue = 0xFF0000;
constexpr int32_t kStoredYellow = 0x00FFFF;
constexpr int32_t kStoredWhite = 0xFFFFFF;
const QColor kGreen(0, 255, 0);
const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kYellow(255, 255, 0);

class QtListTreeTest : public testing::QtWindowTest {
 protected:
  testing::Log log;
  fs::path dir_;

  void SetUp() override {
    QtWindowTest::SetUp();
    std::string pattern = (fs::temp_directory_path() / "pexqttree.XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    QtWindowTest::TearDown();
    fs::remove_all(dir_);
  }

  // The rows of kRows: style 1 is chosen in yellow, style 2 is red, style 3 red on blue;
  // icon 2 is green.
  WindowMirror& Open() {
    const std::string green = (dir_ / "green.bmp").string();
    EXPECT_TRUE(testing::WriteBitmapFile(green, 8, 8, [](int, int) { return 0x00FF00u; }));
    WindowMirror* m = Start(
        [this, green] {
          Queue<testing::TreeListRecord> tree;
          testing::AddTreeRows(tree, kRows);
          Queue<testing::PanelListRecord> panel;
          for (int32_t style : {1, 2}) {
            panel.buffer.MENUITEM = style == 1 ? "New" : "Open";
            panel.buffer.ICON = 2;
            panel.buffer.STYLE = style;
            panel.Add();
          }
          Queue<testing::TipListRecord> tips;
          for (const char* tip : {"the tip", ""}) {
            tips.buffer.TEXT = "row";
            tips.buffer.TIP = tip;
            tips.Add();
          }
          ui::Window window(testing::kTreeListWindow);
          window.From(kTree, tree);
          window.From(kPanel, panel);
          window.From(kTips, tips);
          window.Open();
          for (FieldId list : {kTree, kPanel}) {
            ui::SetProp(list, Prop::LineHeight, 10);
            ui::SetProp(list, Prop::IconList, green, 2);
            ui::SetProp(list, Prop::SelectedFillColor, kStoredYellow, 1);
            ui::SetProp(list, Prop::Color, kStoredRed, 2);
            ui::SetProp(list, Prop::FontStyle, 0x2000 + 700, 2);
            ui::SetProp(list, Prop::Color, kStoredBlue, 3);
            ui::SetProp(list, Prop::FontColor, kStoredRed, 3);
            ui::SetProp(list, Prop::Color, kStoredWhite, 0);
          }
          while (window.Accept()) {
            if (ui::Event() == ui::kEventExpanding || ui::Event() == ui::kEventExpanded) {
              log.Add(std::to_string(ui::Event()) + " row " + ui::GetProp(kTree, Prop::TreeRow));
            }
          }
        },
        "Tree window");
    EXPECT_NE(m, nullptr);
    if (m == nullptr) std::abort();
    return *m;
  }

  QTableView* List(WindowMirror& m, FieldId field) {
    return static_cast<QTableView*>(m.widget(field));
  }
  // The cell of `row` (from 0) in the list's viewport, and the viewport as drawn.
  QRect Cell(WindowMirror& m, FieldId field, int row) {
    QTableView* list = List(m, field);
    return list->visualRect(list->model()->index(row, 0));
  }
  QImage Shot(WindowMirror& m, FieldId field) {
    return List(m, field)->viewport()->grab().toImage();
  }
};

TEST_F(QtListTreeTest, EachLevelMovesTheIconInAndRowsBelowAClosedOneAreHidden) {
  WindowMirror& m = Open();
  QTableView* list = List(m, kTree);
  EXPECT_FALSE(list->isRowHidden(2));
  EXPECT_TRUE(list->isRowHidden(3));  // a.txt, below the closed Save
  EXPECT_FALSE(list->isRowHidden(4));
  const QImage shot = Shot(m, kTree);
  // Open at level 2 and Help at level 1 (the chosen File shows its icon in the highlight).
  for (const auto& [row, depth] : {std::pair{1, 2}, std::pair{4, 1}}) {
    SCOPED_TRACE(row);
    const QRect cell = Cell(m, kTree, row);
    const int content = TreeContentLeft(cell, depth);
    EXPECT_EQ(content, cell.left() + depth * kTreeLevelPx);
    // The icon lies after the room of the row's levels, none of it before.
    EXPECT_TRUE(Shows(shot, QRect(content, cell.top(), 24, cell.height()), kGreen));
    EXPECT_FALSE(
        Shows(shot, QRect(cell.left(), cell.top(), content - cell.left(), cell.height()), kGreen));
  }
}

TEST_F(QtListTreeTest, OpenAndClosedRowsShowTheirButtons) {
  WindowMirror& m = Open();
  const QImage shot = Shot(m, kTree);
  const QColor ink = List(m, kTree)->palette().color(QPalette::Text);
  struct Case {
    int row;
    int32_t level;
    bool button;
    bool plus;  // the upright stroke of "+"
  };
  const Case kCases[] = {
      {0, 1, true, false},   // File, open with children: "-"
      {1, 2, false, false},  // Open, no children
      {4, -1, true, true},   // Help, closed without children yet: "+"
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.row);
    const QRect box = TreeButtonRect(Cell(m, kTree, c.row), c.level);
    EXPECT_EQ(Shows(shot, box, ink), c.button);
    const QPoint upright = box.center() - QPoint(0, 2);
    EXPECT_EQ(Shows(shot, QRect(upright, QSize(1, 1)), ink), c.plus);
  }
  // Save is drawn in its style's red on blue, its button too.
  const QRect save = TreeButtonRect(Cell(m, kTree, 2), -2);
  EXPECT_TRUE(Shows(shot, save, kRed));
  EXPECT_TRUE(Shows(shot, QRect(save.center() - QPoint(0, 2), QSize(1, 1)), kRed));
}

TEST_F(QtListTreeTest, StylesPaintTheirColoursAndFonts) {
  WindowMirror& m = Open();
  const QImage shot = Shot(m, kTree);
  // The right end of each cell holds no text: only its background, or its highlight.
  auto tail = [&](int row) {
    const QRect cell = Cell(m, kTree, row);
    return QRect(cell.left() + 70, cell.top() + 2, 10, cell.height() - 4);
  };
  EXPECT_TRUE(Shows(shot, tail(0), kYellow));  // File, chosen: style 1's selected background
  EXPECT_TRUE(Shows(shot, tail(1), kRed));     // Open: style 2
  EXPECT_TRUE(Shows(shot, tail(2), kBlue));    // Save: style 3
  EXPECT_TRUE(Shows(shot, tail(4), QColor(255, 255, 255)));  // Help: the list's own
  // The highlight of the chosen File begins at its icon: the room of its level is white.
  const QRect file = Cell(m, kTree, 0);
  const QRect room(file.left(), file.top() + 1, 2, file.height() - 2);
  EXPECT_TRUE(Shows(shot, room, QColor(255, 255, 255)));
  EXPECT_FALSE(Shows(shot, room, List(m, kTree)->palette().color(QPalette::Highlight)));
  // Save's text is red: style 3's text colour, between its button and the tail.
  const QRect save = Cell(m, kTree, 2);
  const int left = TreeContentLeft(save, -2);
  EXPECT_TRUE(Shows(shot, QRect(left, save.top(), 40, save.height()), kRed));
  // Style 2 underlines and makes bold; style 1 sets no font of its own.
  SnapshotModel* model = m.model(kTree);
  const QFont open = model->data(model->index(1, 0), Qt::FontRole).value<QFont>();
  EXPECT_TRUE(open.underline());
  EXPECT_EQ(open.weight(), QFont::Bold);
  EXPECT_FALSE(model->data(model->index(0, 0), Qt::FontRole).isValid());
}

TEST_F(QtListTreeTest, APanelsListShowsIconsAndStylesWithoutATree) {
  WindowMirror& m = Open();
  SnapshotModel* model = m.model(kPanel);
  ASSERT_EQ(model->rowCount(), 2);
  EXPECT_EQ(model->data(model->index(1, 0), Qt::DisplayRole).toString(), "Open");
  EXPECT_FALSE(model->data(model->index(0, 0), SnapshotModel::kTreeLevelRole).isValid());
  const QImage shot = Shot(m, kPanel);
  for (int row : {0, 1}) {
    SCOPED_TRACE(row);
    const QRect cell = Cell(m, kPanel, row);
    // The icon at the cell's start, with no room for levels before it (the chosen row shows
    // its icon in the highlight).
    if (row == 1) {
      EXPECT_TRUE(Shows(shot, QRect(cell.left(), cell.top(), 12, cell.height()), kGreen));
    }
    const QRect tail(cell.left() + 70, cell.top() + 2, 10, cell.height() - 4);
    EXPECT_TRUE(Shows(shot, tail, row == 0 ? kYellow : kRed));
  }
}

TEST_F(QtListTreeTest, ARowsTipIsItsCellsToolTip) {
  WindowMirror& m = Open();
  SnapshotModel* model = m.model(kTips);
  ASSERT_EQ(model->rowCount(), 2);
  EXPECT_EQ(model->data(model->index(0, 0), Qt::ToolTipRole).toString(), "the tip");
  // Without a tip of its own the row leaves the list's Tip to show.
  EXPECT_FALSE(model->data(model->index(1, 0), Qt::ToolTipRole).isValid());
}

TEST_F(QtListTreeTest, APressOnAButtonOpensTheRowThroughTheRuntime) {
  WindowMirror& m = Open();
  QTableView* list = List(m, kTree);
  const QRect box = TreeButtonRect(Cell(m, kTree, 2), -2);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, box.center());
  Settle(runtime);
  EXPECT_FALSE(list->isRowHidden(3));  // a.txt shows
  EXPECT_EQ(m.model(kTree)->snapshot()->levels[2], 2);
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"22 row 3", "24 row 3"}));
  // The press chose no row: File is still the chosen one.
  EXPECT_EQ(list->currentIndex().row(), 0);
}

}  // namespace
}  // namespace platform::qt
