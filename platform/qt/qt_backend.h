// The Qt 6 display backend: mirrors the runtime's windows as Qt widgets on the process's
// main thread and sends the user's input back as posted runtime input.
//
// Runtime threads call the commands with the runtime lock held; each command is queued to
// the GUI thread and returns at once. The GUI thread never takes the runtime lock. Dialogs
// are called with the lock released: the thread waits until the GUI thread has an answer.
//
//   QApplication app(argc, argv);
//   QtBackend display;          // on the GUI thread, after the application
//   ui::Runtime runtime(display);
//   runtime.StartMain(ProgramMain);
//   app.exec();                 // ends when the program's last thread ended
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string_view>
#include <vector>

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QSize>

#include "platform/ui/backend.h"

namespace platform::agent {
class CharacterDisplay;
}  // namespace platform::agent

class QAction;
class QDialog;
class QWidget;

namespace platform::qt {

class CharacterStage;
class WindowMirror;

class QtBackend final : public ui::DisplayBackend {
 public:
  // On the GUI thread, with the QApplication made. Measures the application font.
  QtBackend();
  ~QtBackend() override;
  QtBackend(const QtBackend&) = delete;
  QtBackend& operator=(const QtBackend&) = delete;

  // For tests and the gallery; GUI thread only. Null or 0 when there is no such thing.
  WindowMirror* Mirror(ui::WindowHandle window) const;
  // The open windows in opening order.
  std::vector<ui::WindowHandle> Windows() const;
  // The open window whose title or label is `name`, the last opened when several are.
  ui::WindowHandle FindWindow(std::string_view name) const;
  WindowMirror* frame() const;
  bool program_ended() const { return program_ended_; }
  // Called on the GUI thread with every dialog (a QDialog, or the QMenu of a POPUP) right
  // before it runs; a test answers it from here with a queued click. Empty removes it.
  void SetDialogHook(std::function<void(QWidget&)> hook) { dialog_hook_ = std::move(hook); }
  // Runs when the program's last thread ended (by default: quits the application).
  void SetProgramEndedHandler(std::function<void()> handler) { ended_ = std::move(handler); }

  // ui::DisplayBackend commands: any runtime thread; queued to the GUI thread.
  void CreateWindow(const ui::WindowView& window,
                    const std::vector<ui::ControlView>& controls) override;
  void UpdateWindow(const ui::WindowView& window) override;
  void CreateControl(ui::WindowHandle window, const ui::ControlView& control) override;
  void UpdateControl(ui::WindowHandle window, const ui::ControlView& control) override;
  void DestroyControl(ui::WindowHandle window, ui::FieldId field) override;
  void PushListSnapshot(ui::WindowHandle window, ui::FieldId field,
                        std::shared_ptr<const ui::ListSnapshot> snapshot) override;
  void DestroyWindow(ui::WindowHandle window) override;
  void ActivateWindow(ui::WindowHandle window) override;
  void FocusControl(ui::WindowHandle window, ui::FieldId field) override;
  void PerformStdAction(ui::WindowHandle window, ui::StdAction action) override;
  void SetCursor(ui::ThreadId thread, ui::Cursor cursor) override;
  void Beep(int32_t sound) override;
  ui::TextMetrics Metrics() const override { return metrics_; }
  void ProgramEnded() override;
  // Where the character engines show and speak (character_stage.h). Any thread; constant
  // for the backend's life.
  agent::CharacterDisplay* Characters() override;
  // GUI thread; for tests and the screenshot tools.
  CharacterStage& character_stage() { return *characters_; }

  // Desktop services: any runtime thread. The answers come from what the GUI thread last
  // recorded, so they never wait for it, except WindowRect of a window whose creation the
  // GUI thread has not reached yet: that waits until it has, so a window is where it is from
  // the moment it opens.
  int32_t SystemMetric(int32_t index) const override;
  // The text measured in the control's stored font on the calling thread; a button adds the
  // room the style's push button takes around its text.
  ui::SizePx NaturalSize(ui::WindowHandle window, const ui::ControlView& control) const override;
  region::Rect WindowRect(ui::WindowHandle window) const override;
  // The primary screen's available area as it was when the backend was made.
  region::Rect DesktopRect() const override { return desktop_; }
  bool ShowsOpacity() const override;
  region::Point MousePosition() const override;
  void SetMousePosition(int32_t x, int32_t y) override;
  // A press or release sent to the widget of the program's windows under the mouse (see
  // WidgetAt).
  void SynthesizeMouseButton(int32_t button, bool down) override;
  // GUI thread: the widget of the program's windows at the screen point `global`: in the
  // topmost window there (those kept on top above the others, then the one opened last), the
  // innermost widget. A window with an outline is only where its outline is, elsewhere the
  // point falls through to the window behind it. Null over none of them.
  QWidget* WidgetAt(QPoint global) const;
  // GUI thread: records where a window is now (and that it exists), and where the mouse is.
  void NoteWindowRect(ui::WindowHandle window);
  void NoteMousePosition(int32_t x, int32_t y);

  // Dialogs: a runtime thread with the runtime lock released; waits for the user.
  int32_t ShowMessage(const MessageRequest& request) override;
  bool ShowStop(std::string_view text) override;
  int32_t ShowPopup(const ui::PopupRequest& request) override;
  bool ShowFileDialog(ui::FileDialogRequest& request) override;
  bool ShowFontDialog(std::string_view title, ui::FontChoice& font) override;
  bool ShowColorDialog(std::string_view title, int32_t& color) override;

  // The dialogs themselves, on the GUI thread (qt_dialogs.cpp).
  int32_t RunMessageBox(const MessageRequest& request);
  bool RunStopBox(std::string_view text);
  int32_t RunPopup(const ui::PopupRequest& request);
  bool RunFileDialog(ui::FileDialogRequest& request);
  bool RunFontDialog(std::string_view title, ui::FontChoice& font);
  bool RunColorDialog(std::string_view title, int32_t& color);
  // Runs `dialog` modally after the dialog hook; answers exec()'s result.
  int RunDialog(QDialog& dialog);

 private:
  // Queues `f` to the GUI thread.
  void OnGui(std::function<void()> f);
  // Runs `f` on the GUI thread and waits for its answer; `fallback` when the GUI thread no
  // longer runs.
  template <class T>
  T AskGui(std::function<T()> f, T fallback);
  QWidget* DialogParent() const;
  void ApplyCursor();

  // Constant after construction.
  const ui::TextMetrics metrics_;
  const int32_t caption_px_;
  const int32_t frame_px_;
  const region::Rect desktop_;
  const int32_t edge_px_;
  const QSize button_face_px_;  // what a push button adds around its text

  mutable std::mutex desktop_mutex_;  // guards the three below
  std::map<ui::WindowHandle, region::Rect> rects_;
  std::set<ui::WindowHandle> creating_;  // queued for the GUI thread, not yet made
  mutable std::condition_variable created_;
  region::Point mouse_;

  // State below belongs to the GUI thread.
  std::unique_ptr<QObject> context_;  // the receiver of queued commands
  std::unique_ptr<CharacterStage> characters_;
  std::map<ui::WindowHandle, std::unique_ptr<WindowMirror>> windows_;
  std::vector<ui::WindowHandle> order_;
  std::map<ui::ThreadId, ui::Cursor> cursors_;
  bool wait_cursor_shown_ = false;
  bool program_ended_ = false;
  std::function<void(QWidget&)> dialog_hook_;
  std::function<void()> ended_;
};

}  // namespace platform::qt
