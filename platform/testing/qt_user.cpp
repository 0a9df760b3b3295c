#include "platform/testing/qt_user.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPixmap>
#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <QWidget>

#include "platform/qt/settle.h"
#include "platform/ui/control_family.h"
#include "platform/ui/structure.h"

namespace platform::testing {
namespace {

using platform::qt::WindowMirror;
using platform::ui::FieldId;

FieldId FieldOf(const WindowMirror& w, std::string_view equate) {
  const platform::ui::WindowStructure* s = w.view().structure;
  return s == nullptr ? platform::ui::kNoField : s->FindEquate(equate);
}

// The declaration of the control `equate`; null when there is none.
const platform::ui::ControlDecl* Decl(const WindowMirror& w, std::string_view equate) {
  const platform::ui::WindowStructure* s = w.view().structure;
  if (s == nullptr) return nullptr;
  for (const platform::ui::ControlDecl& d : s->controls) {
    if (d.equate == equate) return &d;
  }
  return nullptr;
}

// The number of the tab `tab` among the tabs of its sheet, from 1; 0 when it is no tab.
int32_t TabNumber(const WindowMirror& w, const platform::ui::ControlDecl& tab) {
  if (!platform::ui::FamilyOf(tab.type).page) return 0;
  int32_t n = 0;
  for (const platform::ui::ControlDecl& d : w.view().structure->controls) {
    if (!platform::ui::FamilyOf(d.type).page || d.parent != tab.parent) continue;
    ++n;
    if (d.equate == tab.equate) return n;
  }
  return 0;
}

}  // namespace

void QtUser::Settle() { platform::qt::Settle(runtime_, /*rounds=*/4); }

WindowMirror* QtUser::Frame() {
  // The splash window may open a moment after the program starts; the frame follows it.
  for (int round = 0; round < 100; ++round) {
    Settle();
    if (const platform::ui::WindowHandle h = display_.FindWindow("P1$APPFRAME"); h != 0) {
      return display_.Mirror(h);
    }
    for (platform::ui::WindowHandle h : display_.Windows()) {
      WindowMirror* m = display_.Mirror(h);
      if (m == nullptr || m->view().module != "zovsplash") continue;
      platform::ui::Input timer;
      timer.kind = platform::ui::Input::Kind::kTimer;
      m->Post(timer);
    }
    if (!runtime_.running()) break;
  }
  return nullptr;
}

WindowMirror* QtUser::Window(std::string_view name) {
  Settle();
  const platform::ui::WindowHandle h = display_.FindWindow(name);
  return h == 0 ? nullptr : display_.Mirror(h);
}

QWidget* QtUser::Widget(WindowMirror& w, std::string_view equate) {
  const FieldId f = FieldOf(w, equate);
  return f == platform::ui::kNoField ? nullptr : w.widget(f);
}

QTableView* QtUser::List(WindowMirror& w, std::string_view equate) {
  return qobject_cast<QTableView*>(Widget(w, equate));
}

void QtUser::ChooseMenu(WindowMirror& w, std::string_view equate) {
  const FieldId f = FieldOf(w, equate);
  if (QAction* a = f == platform::ui::kNoField ? nullptr : w.action(f)) a->trigger();
  Settle();
}

void QtUser::PressKey(WindowMirror& w, int key, Qt::KeyboardModifiers modifiers) {
  // The keys go to the window the user works in, which is the active one; a display without
  // a window manager activates nothing by itself.
  if (QWidget* window = w.top() != nullptr ? w.top()->window() : nullptr;
      window != nullptr && !window->isActiveWindow()) {
    window->activateWindow();
    (void)QTest::qWaitForWindowActive(window, 1000);
  }
  QWidget* target = QApplication::focusWidget();
  if (target == nullptr) target = w.top();
  if (target != nullptr) QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
  Settle();
}

void QtUser::Click(WindowMirror& w, std::string_view equate) {
  const platform::ui::ControlDecl* d = Decl(w, equate);
  if (const int32_t tab = d == nullptr ? 0 : TabNumber(w, *d); tab > 0) {
    // A tab is one entry of its sheet's tab bar.
    QWidget* sheet = Widget(w, d->parent);
    if (auto* bar = sheet == nullptr ? nullptr : sheet->findChild<QTabBar*>()) {
      QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab - 1).center());
    }
  } else if (auto* button = qobject_cast<QAbstractButton*>(Widget(w, equate))) {
    // Near the left edge, where a check box has its box: a wide one has no label under its
    // middle.
    QTest::mouseClick(button, Qt::LeftButton, {},
                      QPoint(std::min(8, button->width() / 2), button->height() / 2));
  }
  Settle();
}

void QtUser::Type(WindowMirror& w, std::string_view equate, std::string_view text) {
  QWidget* widget = Widget(w, equate);
  QLineEdit* edit = qobject_cast<QLineEdit*>(widget);
  if (auto* combo = qobject_cast<QComboBox*>(widget)) edit = combo->lineEdit();
  if (edit == nullptr) return;
  edit->setFocus();
  edit->selectAll();
  QTest::keyClicks(edit, QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
  Settle();
}

bool QtUser::ClickRow(WindowMirror& w, std::string_view equate, int32_t column,
                      std::string_view text, bool double_click) {
  QTableView* view = List(w, equate);
  if (view == nullptr || view->model() == nullptr) return false;
  const QString wanted = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  for (int row = 0; row < view->model()->rowCount(); ++row) {
    const QModelIndex at = view->model()->index(row, column - 1);
    if (!at.data(Qt::DisplayRole).toString().startsWith(wanted)) continue;
    view->scrollTo(at);
    const QPoint point = view->visualRect(at).center();
    if (double_click) {
      QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, point);
    } else {
      QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, point);
    }
    Settle();
    return true;
  }
  return false;
}

int32_t QtUser::Rows(WindowMirror& w, std::string_view equate) {
  QTableView* view = List(w, equate);
  return view == nullptr || view->model() == nullptr ? -1 : view->model()->rowCount();
}

std::string QtUser::Cell(WindowMirror& w, std::string_view equate, int32_t row, int32_t column) {
  QTableView* view = List(w, equate);
  if (view == nullptr || view->model() == nullptr) return "";
  return view->model()->index(row - 1, column - 1).data(Qt::DisplayRole).toString().toStdString();
}

void QtUser::CloseProgram() {
  if (WindowMirror* frame = display_.frame()) frame->CloseBoxPressed();
  // The frame closes its children, each on its own thread, then ends the program.
  while (!display_.program_ended() && runtime_.running()) Settle();
  Settle();
}

bool QtUser::Screenshot(QWidget* widget, std::string_view file) {
  const char* dir = std::getenv("PEX_SCREENSHOT_DIR");
  if (dir == nullptr) return true;
  if (widget == nullptr) return false;
  const std::filesystem::path path = std::filesystem::path(dir) / file;
  return widget->grab().save(QString::fromStdString(path.string()));
}

}  // namespace platform::testing
