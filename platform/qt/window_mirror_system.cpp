// A window's system menu, a menu of our own: its entries act on the window as the system's
// would, and the program hears of the choice as the user's.
#include <QMenu>

#include "platform/qt/widgets/widget_support.h"
#include "platform/qt/window_mirror.h"

namespace platform::qt {

QMenu* WindowMirror::MakeSystemMenu() {
  if (!top_) return nullptr;
  auto* menu = MakeChild<QMenu>(top_.data());
  menu->setAttribute(Qt::WA_DeleteOnClose);
  for (const ui::SystemMenuEntry entry : ui::kSystemMenuEntries) {
    QAction* action = menu->addAction(Q(std::string(ui::SystemMenuText(entry))));
    action->setEnabled(ui::SystemMenuEntryEnabled(entry, view_));
    QObject::connect(action, &QAction::triggered, top_.data(),
                     [this, entry] { ChooseSystemMenu(entry); });
  }
  return menu;
}

void WindowMirror::ChooseSystemMenu(ui::SystemMenuEntry entry) {
  if (!top_) return;
  {
    // What Qt reports of the change is no input: the choice itself is.
    Applying applying(*this);
    switch (entry) {
      case ui::SystemMenuEntry::kRestore:
        // An iconized window comes back as it was, maximized or not.
        if (top_->isMinimized()) {
          top_->setWindowState(top_->windowState() & ~Qt::WindowMinimized);
        } else {
          top_->showNormal();
        }
        break;
      case ui::SystemMenuEntry::kMinimize:
        top_->showMinimized();
        break;
      case ui::SystemMenuEntry::kMaximize:
        top_->showMaximized();
        break;
      case ui::SystemMenuEntry::kClose:
        break;
    }
  }
  Post(ui::SystemMenuInput(entry));
}

}  // namespace platform::qt
