// Spin boxes over numbers (RangeLow..RangeHigh by Step) or over the rows of their FROM.
#include <algorithm>

#include <QAbstractSpinBox>
#include <QLineEdit>

#include "platform/qt/snapshot_model.h"
#include "platform/qt/widgets/widget_family.h"
#include "platform/qt/widgets/widget_support.h"
#include "platform/qt/window_mirror.h"

namespace platform::qt {
namespace {

using ui::ControlType;
using ui::FieldId;
using ui::Input;
using ui::Prop;

constexpr ControlType kTypes[] = {ControlType::kSpin};

class SpinWidget final : public QAbstractSpinBox {
 public:
  SpinWidget(WindowMirror& mirror, FieldId field, QWidget* parent)
      : QAbstractSpinBox(parent), mirror_(mirror), field_(field) {
    QObject::connect(lineEdit(), &QLineEdit::textEdited, this, [this](const QString& text) {
      Input in;
      in.kind = Input::Kind::kTyped;
      in.field = field_;
      in.text = text.toStdString();
      mirror_.Post(in);
    });
  }
  void SetModel(SnapshotModel* model) { model_ = model; }
  void SetRange(double low, double high, double step) {
    low_ = low;
    high_ = high;
    step_ = step > 0 ? step : 1;
  }
  void SetText(const QString& text) { lineEdit()->setText(text); }

  void stepBy(int steps) override {
    if (model_ != nullptr && model_->rowCount() > 0) {
      // Over the rows: the row after (or before) the one shown.
      int row = -1;
      for (int r = 0; r < model_->rowCount(); ++r) {
        if (model_->index(r, 0).data().toString() == text()) row = r;
      }
      row = std::clamp(row + steps, 0, model_->rowCount() - 1);
      lineEdit()->setText(model_->index(row, 0).data().toString());
      Input in;
      in.kind = Input::Kind::kSelectRow;
      in.field = field_;
      in.row = row + 1;
      in.column = 1;
      in.key = ui::kMouseLeft;
      mirror_.Post(in);
      return;
    }
    const double value =
        std::clamp(TextToNumber(text().toStdString()) + steps * step_, low_, high_);
    const std::string shown = NumberToText(value);
    lineEdit()->setText(QString::fromStdString(shown));
    Input in;
    in.kind = Input::Kind::kTyped;
    in.field = field_;
    in.text = shown;
    mirror_.Post(in);
  }

 protected:
  StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }

 private:
  WindowMirror& mirror_;
  const FieldId field_;
  SnapshotModel* model_ = nullptr;
  double low_ = 0;
  double high_ = 100;
  double step_ = 1;
};

// The number `p` holds, `fallback` when it is not set.
double Limit(const StoredProperties& props, Prop p, const char* fallback) {
  const std::string v = PropOf(props, p);
  return TextToNumber(v.empty() ? fallback : v);
}

class SpinFamily final : public WidgetFamily {
 public:
  std::span<const ControlType> types() const override { return kTypes; }
  bool takes_buddy() const override { return true; }

  QWidget* Make(WindowMirror& mirror, WidgetItem& item) const override {
    auto* w = MakeChild<SpinWidget>(mirror, item.view.field, mirror.client());
    item.model = MakeChild<SnapshotModel>(w);
    w->SetModel(item.model);
    return w;
  }

  void Apply(WindowMirror& /*mirror*/, WidgetItem& item, const QRect& /*rect*/) const override {
    const auto& props = item.view.properties;
    static_cast<SpinWidget*>(item.widget.data())
        ->SetRange(Limit(props, Prop::RangeLow, "0"), Limit(props, Prop::RangeHigh, "100"),
                   Limit(props, Prop::Step, "1"));
  }

  void ApplyScreenText(WindowMirror& /*mirror*/, WidgetItem& item) const override {
    static_cast<SpinWidget*>(item.widget.data())->SetText(Q(item.view.screen_text));
  }
};

}  // namespace

const WidgetFamily& SpinWidgets() {
  static const SpinFamily family;
  return family;
}

}  // namespace platform::qt
