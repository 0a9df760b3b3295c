// Boxes, lines and ellipses: drawn with the stored colours. A box lies under the controls and
// its Color is its line, not a background.
#include <algorithm>

#include <QPainter>

#include "platform/qt/stored_style.h"
#include "platform/qt/widgets/widget_family.h"
#include "platform/qt/widgets/widget_support.h"
#include "platform/qt/window_mirror.h"

namespace platform::qt {
namespace {

using ui::ControlType;
using ui::Prop;

constexpr ControlType kTypes[] = {ControlType::kBox, ControlType::kLine, ControlType::kEllipse};

class ShapeWidget final : public QWidget {
 public:
  ShapeWidget(ControlType type, QWidget* parent) : QWidget(parent), type_(type) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
  }
  void SetColors(QColor line, QColor fill, int width) {
    line_ = line;
    fill_ = fill;
    width_ = std::max(1, width);
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const QColor line = line_.isValid() ? line_ : palette().color(QPalette::Mid);
    p.setPen(QPen(line, width_));
    p.setBrush(fill_.isValid() ? QBrush(fill_) : Qt::NoBrush);
    const QRect r = rect().adjusted(width_ / 2, width_ / 2, -(width_ + 1) / 2, -(width_ + 1) / 2);
    switch (type_) {
      case ControlType::kEllipse:
        p.setRenderHint(QPainter::Antialiasing);
        p.drawEllipse(r);
        break;
      case ControlType::kLine:
        p.drawLine(r.topLeft(), r.bottomRight());
        break;
      default:
        p.drawRect(r);
        break;
    }
  }

 private:
  const ControlType type_;
  QColor line_;
  QColor fill_;
  int width_ = 1;
};

bool IsBox(const WidgetItem& item) { return item.view.type == ControlType::kBox; }

class ShapeFamily final : public WidgetFamily {
 public:
  std::span<const ControlType> types() const override { return kTypes; }

  QWidget* Make(WindowMirror& mirror, WidgetItem& item) const override {
    return MakeChild<ShapeWidget>(item.view.type, mirror.client());
  }

  void Apply(WindowMirror& /*mirror*/, WidgetItem& item, const QRect& /*rect*/) const override {
    QWidget* w = item.widget;
    const auto& props = item.view.properties;
    static_cast<ShapeWidget*>(w)->SetColors(
        ColorFromStored(Number(props, Prop::Color, kNoColor), w->palette()),
        ColorFromStored(Number(props, Prop::Fill, kNoColor), w->palette()),
        static_cast<int>(Number(props, Prop::LineWidth, 1)));
  }

  bool FillsBackground(const WidgetItem& item) const override { return !IsBox(item); }
  bool LiesUnder(const WidgetItem& item) const override { return IsBox(item); }
};

}  // namespace

const WidgetFamily& ShapeWidgets() {
  static const ShapeFamily family;
  return family;
}

}  // namespace platform::qt
