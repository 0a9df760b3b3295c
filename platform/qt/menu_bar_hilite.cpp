#include "platform/qt/menu_bar_hilite.h"

#include <memory>

#include <QAction>
#include <QEvent>
#include <QMenuBar>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionMenuItem>
#include <QWidget>

namespace platform::qt {
namespace {

constexpr char kLayerName[] = "pex_menu_bar_hilite";

// Covers the whole bar, lets the mouse through, and paints only the highlighted entry.
class HiliteLayer final : public QWidget {
 public:
  explicit HiliteLayer(QMenuBar& bar) : QWidget(&bar), bar_(bar) {
    setObjectName(QLatin1String(kLayerName));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    bar.installEventFilter(this);
    setGeometry(bar.rect());
    show();
  }

  int64_t position() const { return position_; }
  void SetPosition(int64_t position) {
    position_ = position;
    raise();
    update();
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == &bar_ && event->type() == QEvent::Resize) setGeometry(bar_.rect());
    return false;
  }

 protected:
  void paintEvent(QPaintEvent* /*event*/) override {
    const QList<QAction*> actions = bar_.actions();
    if (position_ < 1 || position_ > actions.size()) return;
    QAction* action = actions[position_ - 1];
    const QRect at = bar_.actionGeometry(action);
    if (at.isEmpty()) return;
    QStyleOptionMenuItem option;
    option.initFrom(&bar_);
    option.rect = at;
    option.menuRect = bar_.rect();
    option.text = action->text();
    option.icon = action->icon();
    option.menuItemType = QStyleOptionMenuItem::Normal;
    option.checkType = QStyleOptionMenuItem::NotCheckable;
    // As the bar shows the entry whose menu is open.
    option.state |= QStyle::State_Selected | QStyle::State_Sunken;
    if (!action->isEnabled()) option.state &= ~QStyle::State_Enabled;
    QPainter painter(this);
    bar_.style()->drawControl(QStyle::CE_MenuBarItem, &option, &painter, &bar_);
  }

 private:
  QMenuBar& bar_;
  int64_t position_ = 0;
};

HiliteLayer* LayerOf(const QMenuBar& bar) {
  return bar.findChild<HiliteLayer*>(QLatin1String(kLayerName), Qt::FindDirectChildrenOnly);
}

}  // namespace

void ShowMenuBarHilite(QMenuBar& bar, int64_t position) {
  HiliteLayer* layer = LayerOf(bar);
  if (layer == nullptr) {
    if (position == 0) return;
    // The bar owns its layer as its Qt child from here on.
    layer = std::make_unique<HiliteLayer>(bar).release();
  }
  if (layer->position() != position) layer->SetPosition(position);
}

int64_t MenuBarHilite(const QMenuBar& bar) {
  const HiliteLayer* layer = LayerOf(bar);
  if (layer == nullptr) return 0;
  const int64_t position = layer->position();
  return position >= 1 && position <= bar.actions().size() ? position : 0;
}

}  // namespace platform::qt
