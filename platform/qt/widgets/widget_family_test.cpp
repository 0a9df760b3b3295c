// A control family the Qt backend has never heard of reaches the screen through one widget
// family and its registration: the mirror makes its widget, shows its properties and posts
// its input, with nothing else of the backend changed.
#include "platform/qt/widgets/widget_family.h"

#include <atomic>

#include <QCoreApplication>
#include <QDial>
#include <gtest/gtest.h>

#include "platform/qt/qt_backend.h"
#include "platform/qt/settle.h"
#include "platform/qt/widgets/widget_support.h"
#include "platform/qt/window_mirror.h"
#include "platform/ui/control_family.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"
#include "platform/ui/thread.h"
#include "platform/ui/window.h"

namespace platform::qt {
namespace {

using ui::ControlType;
using ui::Prop;

// A dial only this test knows: its Progress is where it points, and turning it presses it.
constexpr ControlType kDial = static_cast<ControlType>(201);
constexpr ControlType kDialTypes[] = {kDial};
constexpr ui::ControlFamily kDialControls{.name = "dial",
                                          .types = kDialTypes,
                                          .properties = ui::ControlProperties,
                                          .takes_focus = true,
                                          .click = ui::ClickAction::kPress};

class DialWidgets final : public WidgetFamily {
 public:
  std::span<const ControlType> types() const override { return kDialTypes; }
  QWidget* Make(WindowMirror& mirror, WidgetItem& item) const override {
    auto* w = MakeChild<QDial>(mirror.client());
    const ui::FieldId field = item.view.field;
    QObject::connect(w, &QDial::actionTriggered, w,
                     [&mirror, field] { PostClicked(mirror, field); });
    return w;
  }
  void Apply(WindowMirror& /*mirror*/, WidgetItem& item, const QRect& /*rect*/) const override {
    static_cast<QDial*>(item.widget.data())
        ->setValue(static_cast<int>(Number(item.view.properties, Prop::Progress, 0)));
  }
};

constexpr ui::ControlDecl kControls[] = {
    ui::Decl(kDial, "?Dial", {}, {4, 4, 40, 40}),
};
constexpr ui::WindowStructure kWindow{"test$dial", "P1$WINDOW",     ui::WindowKind::kPlain,
                                      "Dial",      {0, 0, 100, 60}, kControls};
constexpr ui::FieldId kDialField = kWindow.Equate("?Dial");

TEST(WidgetFamily, ANewFamilyIsOneFileAndItsRegistration) {
  ui::RegisterControlFamily(kDialControls);
  static const DialWidgets dial_widgets;  // registered for the rest of the process
  RegisterWidgetFamily(dial_widgets);
  QtBackend display;
  display.SetProgramEndedHandler([] {});
  ui::Runtime runtime{display};
  std::atomic<int> accepted = 0;
  runtime.StartMain([&accepted] {
    ui::Window window(kWindow);
    window.Open();
    ui::SetProp(kDialField, Prop::Progress, 30);
    while (window.Accept()) {
      if (ui::Event() == ui::kEventAccepted && ui::Field() == kDialField) {
        ++accepted;
        ui::SetProp(kDialField, Prop::Progress, 70);
      }
    }
  });
  Settle(runtime);
  WindowMirror* m = display.Mirror(display.FindWindow("Dial"));
  ASSERT_NE(m, nullptr);
  auto* dial = qobject_cast<QDial*>(m->widget(kDialField));
  ASSERT_NE(dial, nullptr);
  EXPECT_EQ(dial->value(), 30);

  // Turned by the user, it is pressed: Accepted, and the program's answer shows.
  dial->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  Settle(runtime);
  EXPECT_EQ(accepted, 1);
  EXPECT_EQ(dial->value(), 70);

  m->CloseBoxPressed();
  Settle(runtime);
  runtime.Join();
  QCoreApplication::sendPostedEvents();
}

}  // namespace
}  // namespace platform::qt
