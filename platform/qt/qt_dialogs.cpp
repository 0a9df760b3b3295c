// The runtime's dialogs as Qt dialogs, run on the GUI thread for QtBackend.
#include <string>
#include <utility>
#include <vector>

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QCursor>
#include <QDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QWindow>

#include "platform/qt/qt_backend.h"
#include "platform/qt/stored_style.h"
#include "platform/ui/dialogs.h"

namespace platform::qt {
namespace {

// The standard buttons, each with its place among ui::StandardButtonCaptions(). Qt's own
// button gives the role (Yes, No, Reject for Cancel, ...); the caption is the runtime's.
struct StandardButton {
  MessageButton value;
  QMessageBox::StandardButton qt;
  size_t caption;
};
constexpr StandardButton kButtons[] = {
    {kButtonOk, QMessageBox::Ok, 0},         {kButtonYes, QMessageBox::Yes, 1},
    {kButtonNo, QMessageBox::No, 2},         {kButtonAbort, QMessageBox::Abort, 3},
    {kButtonRetry, QMessageBox::Retry, 4},   {kButtonIgnore, QMessageBox::Ignore, 5},
    {kButtonCancel, QMessageBox::Cancel, 6}, {kButtonHelp, QMessageBox::Help, 7},
};

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

// `|` is a line break in the runtime's texts.
QString Lines(std::string_view text) {
  return Q(text).replace(QLatin1Char('|'), QLatin1Char('\n'));
}

QMessageBox::Icon IconOf(std::string_view icon) {
  if (icon == kIconExclamation) return QMessageBox::Warning;
  if (icon == kIconQuestion) return QMessageBox::Question;
  if (icon == kIconAsterisk) return QMessageBox::Information;
  if (icon == kIconHand) return QMessageBox::Critical;
  return QMessageBox::NoIcon;
}

// Adds the standard button `value` to `box` with its caption from the locale setting.
QPushButton* AddStandardButton(QMessageBox& box, MessageButton value,
                               const std::vector<std::string>& captions) {
  for (const StandardButton& b : kButtons) {
    if (b.value != value) continue;
    QPushButton* button = box.addButton(b.qt);
    if (b.caption < captions.size()) button->setText(Q(captions[b.caption]));
    return button;
  }
  return nullptr;
}

// Closing a message box with its close box or Escape chooses no button: the box ends with
// nothing clicked, whatever buttons it has.
class CloseWithoutButton final : public QObject {
 public:
  explicit CloseWithoutButton(QDialog& box) : box_(box) { box.installEventFilter(this); }
  bool closed() const { return closed_; }

  bool eventFilter(QObject* object, QEvent* e) override {
    if (object != &box_) return false;
    const bool close =
        e->type() == QEvent::Close ||
        (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape);
    if (!close || closed_) return false;
    closed_ = true;
    box_.done(0);
    return true;
  }

 private:
  QDialog& box_;
  bool closed_ = false;
};

// Qt's filter text from the runtime's "Text files|*.txt|All files|*.*".
QString FilterOf(std::string_view extensions) {
  const QStringList parts = Q(extensions).split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString pattern = parts[i + 1];
    pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
    filters << QStringLiteral("%1 (%2)").arg(parts[i], pattern);
  }
  return filters.join(QStringLiteral(";;"));
}

constexpr int32_t kFileSave = 1;
constexpr int32_t kFileDirectory = 2;

}  // namespace

int QtBackend::RunDialog(QDialog& dialog) {
  // The dialog shows over the active window without being its Qt child: that window may
  // belong to another runtime thread, which can close it while the dialog runs, and a child
  // would be deleted with it under the call that runs the dialog.
  if (QWidget* over = DialogParent(); over != nullptr && over->window()->windowHandle()) {
    dialog.winId();  // the dialog's own native window, to give it a transient parent
    dialog.windowHandle()->setTransientParent(over->window()->windowHandle());
    dialog.adjustSize();
    dialog.move(over->window()->frameGeometry().center() - dialog.rect().center());
  }
  if (dialog_hook_) dialog_hook_(dialog);
  return dialog.exec();
}

int32_t QtBackend::RunMessageBox(const MessageRequest& request) {
  QMessageBox box;
  box.setWindowTitle(Q(request.caption));
  box.setText(Lines(request.text));
  const QMessageBox::Icon icon = IconOf(request.icon);
  if (icon != QMessageBox::NoIcon) {
    box.setIcon(icon);
  } else if (const QPixmap own = LoadPicture(request.icon); !own.isNull()) {
    box.setIconPixmap(own);
  }
  std::vector<std::pair<QAbstractButton*, int32_t>> answers;
  if (!request.captions.empty()) {
    int32_t n = 0;
    for (const QString& caption : Q(request.captions).split(QLatin1Char('|'))) {
      QPushButton* b = box.addButton(caption, QMessageBox::AcceptRole);
      answers.emplace_back(b, ++n);
      if (n == request.default_button) box.setDefaultButton(b);
    }
  } else {
    const int32_t mask = request.button_mask != 0 ? request.button_mask : kButtonOk;
    const std::vector<std::string> captions = ui::StandardButtonCaptions();
    for (const StandardButton& standard : kButtons) {
      if ((mask & standard.value) == 0) continue;
      QPushButton* b = AddStandardButton(box, standard.value, captions);
      answers.emplace_back(b, standard.value);
      if (standard.value == request.default_button) box.setDefaultButton(b);
    }
  }
  CloseWithoutButton closer(box);
  RunDialog(box);
  if (closer.closed()) return 0;
  for (const auto& [button, value] : answers) {
    if (box.clickedButton() == button) return value;
  }
  return 0;
}

bool QtBackend::RunStopBox(std::string_view text) {
  QMessageBox box;
  box.setWindowTitle(QStringLiteral("STOP"));
  box.setIcon(QMessageBox::Critical);
  box.setText(Lines(text));
  const std::vector<std::string> captions = ui::StandardButtonCaptions();
  QPushButton* abort = AddStandardButton(box, kButtonAbort, captions);
  AddStandardButton(box, kButtonIgnore, captions);
  CloseWithoutButton closer(box);
  RunDialog(box);
  // Closing the box goes on, as Ignore does.
  return !closer.closed() && box.clickedButton() == abort;
}

int32_t QtBackend::RunPopup(const ui::PopupRequest& request) {
  QMenu top;
  std::vector<QMenu*> open{&top};
  for (const ui::PopupEntry& e : ui::ParsePopup(request.text)) {
    while (static_cast<int32_t>(open.size()) > e.depth + 1) open.pop_back();
    QMenu* into = open.back();
    if (e.separator) {
      into->addSeparator();
      continue;
    }
    QString text = Q(e.text);
    // "~" greys an entry out, "+" ticks it.
    const bool disabled = text.startsWith(QLatin1Char('~'));
    if (disabled) text.remove(0, 1);
    const bool checked = text.startsWith(QLatin1Char('+'));
    if (checked) text.remove(0, 1);
    if (e.submenu) {
      open.push_back(into->addMenu(text));
      open.back()->setEnabled(!disabled);
      continue;
    }
    QAction* a = into->addAction(text);
    a->setData(e.number);
    a->setEnabled(!disabled);
    if (checked) {
      a->setCheckable(true);
      a->setChecked(true);
    }
  }
  QPoint at = QCursor::pos();
  if (request.x >= 0 && request.y >= 0) {
    QWidget* parent = DialogParent();
    at = parent != nullptr ? parent->mapToGlobal(QPoint(request.x, request.y))
                           : QPoint(request.x, request.y);
  }
  if (dialog_hook_) dialog_hook_(top);
  QAction* chosen = top.exec(at);
  return chosen != nullptr ? chosen->data().toInt() : 0;
}

bool QtBackend::RunFileDialog(ui::FileDialogRequest& request) {
  QFileDialog dialog(nullptr, Q(request.title), QString(), FilterOf(request.extensions));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  if (request.flags & kFileDirectory) {
    dialog.setFileMode(QFileDialog::Directory);
  } else if (request.flags & kFileSave) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
  } else {
    dialog.setFileMode(QFileDialog::ExistingFile);
  }
  if (!request.file.empty()) dialog.selectFile(Q(request.file));
  if (RunDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  request.file = dialog.selectedFiles().front().toStdString();
  return true;
}

bool QtBackend::RunFontDialog(std::string_view title, ui::FontChoice& font) {
  QFontDialog dialog(FontFromStored(QApplication::font(), font.typeface, font.size, font.style));
  dialog.setOption(QFontDialog::DontUseNativeDialog);
  if (!title.empty()) dialog.setWindowTitle(Q(title));
  if (RunDialog(dialog) != QDialog::Accepted) return false;
  const QFont chosen = dialog.selectedFont();
  font.typeface = chosen.family().toStdString();
  font.size = chosen.pointSize();
  font.style = StoredStyleFromFont(chosen);
  // Texts are Unicode here: the dialog offers no character set, so the one given stays.
  return true;
}

bool QtBackend::RunColorDialog(std::string_view title, int32_t& color) {
  QColorDialog dialog(ColorFromStored(color, QApplication::palette()));
  dialog.setOption(QColorDialog::DontUseNativeDialog);
  if (!title.empty()) dialog.setWindowTitle(Q(title));
  if (RunDialog(dialog) != QDialog::Accepted) return false;
  color = static_cast<int32_t>(StoredFromColor(dialog.selectedColor()));
  return true;
}

}  // namespace platform::qt
