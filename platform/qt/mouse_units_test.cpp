// MOUSEX and MOUSEY on the Qt display: a real click or list press, and a move between events,
// report the mouse in the window's units (dialog units of its client area, pixels while Pixels
// is set), as the headless display does.
#include <cstdio>
#include <string>
#include <vector>

#include <QApplication>
#include <QHeaderView>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

#include "platform/core/queue.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/settle.h"
#include "platform/qt/window_mirror.h"
#include "platform/testing/window_test.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"
#include "platform/ui/thread.h"
#include "platform/ui/window.h"

namespace platform::qt {
namespace {

using ui::FieldId;

constexpr ui::ControlDecl kControls[] = {
    ui::Button("?Go", "&Go", {40, 30, 50, 14}),
    ui::List("?Rows", {10, 60, 150, 60}).Format("80L(2)~Name~@s20@"),
};
constexpr ui::WindowStructure kWindow{"test$mouse", "P1$WINDOW",        ui::WindowKind::kPlain,
                                      "Mouse",      {20, 20, 200, 140}, kControls};
constexpr FieldId kGo = kWindow.Equate("?Go");
constexpr FieldId kRows = kWindow.Equate("?Rows");
constexpr ui::EventId kReport = ui::kEventUser + 1;
constexpr ui::EventId kPixels = ui::kEventUser + 2;

struct Row {
  CString<21> NAME;
  static const RecordLayout& Layout() {
    static const RecordLayout layout = MakeLayout<Row>("ROW", platform::Field<&Row::NAME>("NAME"));
    return layout;
  }
};

class MouseUnitsTest : public ::testing::Test {
 protected:
  QtBackend display;
  ui::Runtime runtime{display};
  testing::Log log;

  void SetUp() override {
    display.SetProgramEndedHandler([] {});
    runtime.StartMain([this] {
      Queue<Row> rows;
      for (const char* name : {"one", "two", "three"}) {
        rows.buffer.NAME = name;
        rows.Add();
      }
      ui::Window window(kWindow);
      window.From(kRows, rows);
      window.Open();
      while (window.Accept()) {
        if (ui::Event() == kPixels) ui::SetProp(0, ui::Prop::Pixels, 1);
        if (ui::Event() == ui::kEventAccepted || ui::Event() == ui::kEventNewSelection ||
            ui::Event() == kReport) {
          log.Add(std::to_string(ui::Event()) + " " + std::to_string(ui::MouseX()) + "," +
                  std::to_string(ui::MouseY()));
        }
      }
    });
    Settle(runtime);
    mirror = display.Mirror(display.FindWindow("Mouse"));
    ASSERT_NE(mirror, nullptr);
    mirror->top()->activateWindow();
    Settle(runtime);
  }

  void TearDown() override {
    if (mirror != nullptr) mirror->CloseBoxPressed();
    Settle(runtime);
    runtime.Join();
    QCoreApplication::sendPostedEvents();
  }

  // `local` of `widget` in the window's dialog units.
  std::string Units(QWidget* widget, QPoint local) const {
    const QPoint px = widget->mapTo(mirror->client(), local);
    const ui::TextMetrics m = display.Metrics();
    return std::to_string(px.x() * 4 / m.average_char_width_px) + "," +
           std::to_string(px.y() * 8 / m.char_height_px);
  }

  WindowMirror* mirror = nullptr;
};

TEST_F(MouseUnitsTest, AClickAndAListPressReportTheMouseInDialogUnits) {
  QWidget* go = mirror->widget(kGo);
  ASSERT_NE(go, nullptr);
  const QPoint on_go(30, 9);
  QTest::mouseClick(go, Qt::LeftButton, {}, on_go);
  Settle(runtime);
  auto* list = qobject_cast<QTableView*>(mirror->widget(kRows));
  ASSERT_NE(list, nullptr);
  const QPoint on_row = list->visualRect(list->model()->index(1, 0)).center();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, on_row);
  Settle(runtime);
  const std::vector<std::string> expected = {"1 " + Units(go, on_go),
                                             "2 " + Units(list->viewport(), on_row)};
  EXPECT_EQ(log.lines(), expected);
  // In units the click lies inside the button's 40, 30, 50 by 14, not at its pixels.
  int x = 0;
  int y = 0;
  ASSERT_EQ(std::sscanf(expected[0].c_str(), "1 %d,%d", &x, &y), 2);
  EXPECT_TRUE(x >= 40 && x < 90 && y >= 30 && y < 44) << expected[0];
}

TEST_F(MouseUnitsTest, AMoveIsReportedAtTheNextEventInUnitsOrPixels) {
  QWidget* client = mirror->client();
  QTest::mouseMove(client, QPoint(60, 45));
  Settle(runtime);
  ui::PostToWindow(mirror->handle(), kReport);
  Settle(runtime);
  ui::PostToWindow(mirror->handle(), kPixels);
  Settle(runtime);
  QTest::mouseMove(client, QPoint(61, 47));
  Settle(runtime);
  ui::PostToWindow(mirror->handle(), kReport);
  Settle(runtime);
  const std::string report = std::to_string(kReport) + " ";
  EXPECT_EQ(log.lines(),
            (std::vector<std::string>{report + Units(client, QPoint(60, 45)), report + "61,47"}));
}

}  // namespace
}  // namespace platform::qt
