// Panels: drawn on the window's surface, under the windowed controls. A panel with a fill
// colour (Fill, else FillColor) is a flat area of that colour, as a coloured header is; one
// without stays a sunken frame.
#include <QFrame>
#include <QPainter>

#include "platform/qt/stored_style.h"
#include "platform/qt/widgets/widget_family.h"
#include "platform/qt/widgets/widget_support.h"
#include "platform/qt/window_mirror.h"

namespace platform::qt {
namespace {

using ui::ControlType;
using ui::Prop;

constexpr ControlType kTypes[] = {ControlType::kPanel};

class PanelWidget final : public QFrame {
 public:
  explicit PanelWidget(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    // Drawn on the window's surface: the mouse reaches what lies beneath (a region).
    setAttribute(Qt::WA_TransparentForMouseEvents);
  }
  void SetFill(QColor fill) {
    if (fill == fill_) return;
    fill_ = fill;
    update();
  }

 protected:
  void paintEvent(QPaintEvent* e) override {
    if (!fill_.isValid()) return QFrame::paintEvent(e);
    QPainter(this).fillRect(rect(), fill_);
  }

 private:
  QColor fill_;
};

class PanelFamily final : public WidgetFamily {
 public:
  std::span<const ControlType> types() const override { return kTypes; }

  QWidget* Make(WindowMirror& mirror, WidgetItem& /*item*/) const override {
    return MakeChild<PanelWidget>(mirror.client());
  }

  void Apply(WindowMirror& /*mirror*/, WidgetItem& item, const QRect& /*rect*/) const override {
    auto* w = static_cast<PanelWidget*>(item.widget.data());
    const auto& props = item.view.properties;
    const int64_t fill = Number(props, Prop::Fill, kNoColor);
    // FillColor is the panel's Color.
    const int64_t stored = fill != kNoColor ? fill : Number(props, Prop::Color, kNoColor);
    w->SetFill(ColorFromStored(stored, w->palette()));
  }

  // The panel paints its fill itself, over the whole of its place.
  bool FillsBackground(const WidgetItem& /*item*/) const override { return false; }
  bool Windowless(const WidgetItem& /*item*/) const override { return true; }
};

}  // namespace

const WidgetFamily& PanelWidgets() {
  static const PanelFamily family;
  return family;
}

}  // namespace platform::qt
