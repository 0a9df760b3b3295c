// Sheets and their tabs: a tab bar over a frame. A tab has no widget of its own; its controls
// are the window's, shown and hidden by the runtime, and the sheet's bar lists the tabs.
#include <algorithm>
#include <vector>

#include <QStyle>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QTabBar>

#include "platform/qt/widgets/widget_family.h"
#include "platform/qt/widgets/widget_support.h"
#include "platform/qt/window_mirror.h"

namespace platform::qt {
namespace {

using ui::ControlType;
using ui::FieldId;
using ui::Input;
using ui::Prop;

constexpr ControlType kSheetTypes[] = {ControlType::kSheet};
constexpr ControlType kTabTypes[] = {ControlType::kTab};

class SheetWidget final : public QWidget {
 public:
  explicit SheetWidget(QWidget* parent) : QWidget(parent), bar_(MakeChild<QTabBar>(this)) {
    bar_->setDrawBase(false);
    bar_->setExpanding(false);
  }
  QTabBar* bar() const { return bar_; }
  std::vector<FieldId>& tabs() { return tabs_; }
  void SetStripHidden(bool hidden) {
    bar_->setVisible(!hidden);
    Layout();
  }

 protected:
  void resizeEvent(QResizeEvent* e) override {
    QWidget::resizeEvent(e);
    Layout();
  }
  void paintEvent(QPaintEvent*) override {
    QStylePainter p(this);
    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    const int top = bar_->isVisible() ? bar_->height() - 1 : 0;
    frame.rect = rect().adjusted(0, top, 0, 0);
    frame.tabBarSize = bar_->isVisible() ? bar_->size() : QSize();
    frame.shape = QTabBar::RoundedNorth;
    frame.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    p.drawPrimitive(QStyle::PE_FrameTabWidget, frame);
  }

 private:
  void Layout() {
    const QSize hint = bar_->sizeHint();
    bar_->setGeometry(2, 0, std::min(hint.width(), width() - 4), hint.height());
    update();
  }

  QTabBar* bar_;
  std::vector<FieldId> tabs_;
};

// Lists the sheet's tabs on its bar, in field order, with the chosen one current.
void RebuildTabs(WindowMirror& mirror, FieldId sheet_field) {
  WidgetItem* sheet_item = mirror.Find(sheet_field);
  if (sheet_item == nullptr || sheet_item->view.type != ControlType::kSheet) return;
  auto* sheet = static_cast<SheetWidget*>(sheet_item->widget.data());
  QTabBar* bar = sheet->bar();
  const QSignalBlocker block(bar);
  while (bar->count() > 0) bar->removeTab(0);
  sheet->tabs().clear();
  for (const auto& [f, item] : mirror.items()) {
    if (item->view.type != ControlType::kTab || item->view.parent != sheet_field) continue;
    const int index = bar->addTab(Q(item->view.text));
    bar->setTabVisible(index, !Flag(item->view.properties, Prop::Hide));
    bar->setTabEnabled(index, item->view.enabled);
    sheet->tabs().push_back(f);
  }
  if (sheet_item->view.selected >= 1 && sheet_item->view.selected <= bar->count()) {
    bar->setCurrentIndex(sheet_item->view.selected - 1);
  }
  sheet->SetStripHidden(Flag(sheet_item->view.properties, Prop::NoSheet));
}

class SheetFamily final : public WidgetFamily {
 public:
  std::span<const ControlType> types() const override { return kSheetTypes; }

  QWidget* Make(WindowMirror& mirror, WidgetItem& item) const override {
    auto* w = MakeChild<SheetWidget>(mirror.client());
    QObject::connect(w->bar(), &QTabBar::tabBarClicked, w, [&mirror, w](int index) {
      if (mirror.applying() || index < 0 || static_cast<size_t>(index) >= w->tabs().size()) {
        return;
      }
      Input in;
      in.kind = Input::Kind::kClick;
      in.field = w->tabs()[index];
      in.key = ui::kMouseLeft;
      mirror.Post(in);
    });
    TagObject(w->bar(), mirror.handle(), item.view.field);
    return w;
  }

  void Apply(WindowMirror& /*mirror*/, WidgetItem& item, const QRect& /*rect*/) const override {
    auto* sheet = static_cast<SheetWidget*>(item.widget.data());
    const ui::ControlView& v = item.view;
    sheet->SetStripHidden(Flag(v.properties, Prop::NoSheet));
    if (v.selected >= 1 && v.selected <= sheet->bar()->count()) {
      sheet->bar()->setCurrentIndex(v.selected - 1);
    }
  }

  void Built(WindowMirror& mirror, WidgetItem& item) const override {
    RebuildTabs(mirror, item.view.field);
  }
  bool LiesUnder(const WidgetItem& /*item*/) const override { return true; }
};

class TabFamily final : public WidgetFamily {
 public:
  std::span<const ControlType> types() const override { return kTabTypes; }

  QWidget* Make(WindowMirror& /*mirror*/, WidgetItem& /*item*/) const override { return nullptr; }

  void Created(WindowMirror& mirror, WidgetItem& item) const override {
    if (mirror.Find(item.view.parent) != nullptr) RebuildTabs(mirror, item.view.parent);
  }
  void Updated(WindowMirror& mirror, WidgetItem& item,
               const ui::ControlView& before) const override {
    if (before.text != item.view.text ||
        Flag(before.properties, Prop::Hide) != Flag(item.view.properties, Prop::Hide)) {
      RebuildTabs(mirror, item.view.parent);
    }
  }
  void Destroyed(WindowMirror& mirror, const ui::ControlView& view) const override {
    RebuildTabs(mirror, view.parent);
  }

  // A tab's mnemonic chooses it, as a click on it does.
  bool PressMnemonic(WindowMirror& mirror, WidgetItem& item, bool press) const override {
    if (!item.view.enabled || Flag(item.view.properties, Prop::Hide)) return false;
    if (press) {
      Input in;
      in.kind = Input::Kind::kClick;
      in.field = item.view.field;
      in.key = ui::kMouseLeft;
      mirror.Post(in);
    }
    return true;
  }
};

}  // namespace

const WidgetFamily& SheetWidgets() {
  static const SheetFamily family;
  return family;
}

const WidgetFamily& TabWidgets() {
  static const TabFamily family;
  return family;
}

}  // namespace platform::qt
