// The headless display backend: no screen, fixed text metrics. It keeps a mirror of what a
// screen would show (windows, controls, list rows, cursors) from the runtime's commands, so
// tests can look at it, and hands its dialogs to whoever answers them (a test's script,
// platform/testing/scripted_display.h); with no one to answer, every dialog is dismissed.
//
//   HeadlessBackend display;
//   Runtime runtime(display);
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/headless/character_mirror.h"
#include "platform/image/picture.h"
#include "platform/ui/backend.h"
#include "platform/ui/picture_mode.h"
#include "platform/ui/system_menu.h"

namespace platform::headless {

using ui::ControlView;
using ui::FieldId;
using ui::ListSnapshot;
using ui::WindowHandle;
using ui::WindowView;

// A picture as a screen would show it: the name, how it fills its place and its natural size
// in pixels; no size when the picture cannot be read, and then nothing shows.
struct ShownPicture {
  std::string name;
  ui::PictureMode mode = ui::PictureMode::kStretched;
  std::optional<image::PictureSize> natural;
};

// A cursor as a screen would show it: the name, and the hot spot of a picture that can be
// read (none for an unreadable one, which leaves the ordinary pointer).
struct ShownCursor {
  std::string name;
  std::optional<image::HotSpot> hot_spot;
};

// What the mirror holds of one window.
struct MirrorWindow {
  WindowView view;
  std::map<FieldId, ControlView> controls;
  std::map<FieldId, std::shared_ptr<const ListSnapshot>> lists;
  // What the image controls show, and the wallpapers of the window and its controls.
  std::map<FieldId, ShownPicture> pictures;
  std::optional<ShownPicture> wallpaper;
  std::map<FieldId, ShownPicture> wallpapers;
  // The cursors the window and its controls set.
  std::optional<ShownCursor> cursor;
  std::map<FieldId, ShownCursor> cursors;
};

class HeadlessBackend : public ui::DisplayBackend {
 public:
  // 8 by 16 pixels a character: one dialog unit is 2 pixels either way.
  static constexpr ui::TextMetrics kMetrics{8, 16};

  HeadlessBackend();
  ~HeadlessBackend() override;

  // Who answers the dialogs (not owned; must outlive its installation). Null, as at the
  // start, dismisses every dialog: a message answers 0, a stop box goes on, the other
  // dialogs choose nothing. Any thread.
  void SetDialogs(ui::DisplayDialogs* dialogs);

  // The mirror. Any thread.
  std::vector<MirrorWindow> Windows() const;
  std::optional<MirrorWindow> FindWindow(WindowHandle handle) const;
  // The open window whose title or label is `name`, the last opened when several are.
  std::optional<MirrorWindow> FindWindow(std::string_view name) const;
  ui::Cursor CursorOf(ui::ThreadId thread) const;
  int32_t beeps() const;
  // The window activated last by the program, 0 for none.
  WindowHandle activated() const;
  // Every synthesized mouse button as (button, down), in order.
  std::vector<std::pair<int32_t, bool>> synthesized_buttons() const;
  // Every standard action performed, in order; and those performed on `window`.
  std::vector<ui::StdAction> std_actions() const;
  // The window in a system move (StartSystemMove): while it lasts, every move of the mouse
  // moves the window as far, and a press or release of a button ends it. 0 for none.
  WindowHandle moving() const;
  // The window whose system menu is open, 0 for none.
  WindowHandle system_menu() const;
  // The user chooses the entry of the open system menu, which closes; false, and the menu
  // left open, when the entry cannot be chosen (system_menu.h), false when none is open.
  bool ChooseSystemMenu(ui::SystemMenuEntry entry);
  std::vector<ui::StdAction> std_actions(WindowHandle window) const;
  bool program_ended() const;
  // What the agent server's characters showed, and the texts it did not know. Any thread.
  const CharacterMirror& characters() const { return characters_; }
  // The screen text a user typing into the control sees: the user's own text while they
  // type, the program's when the program set it.
  void SetUserScreenText(WindowHandle window, FieldId field, std::string_view text);
  // Where the user put the window (dialog units): the screen shows it there before the
  // program hears of it.
  void SetUserPlacement(WindowHandle window, const ui::RectDu& at);

  // ui::DisplayBackend.
  void CreateWindow(const WindowView& window, const std::vector<ControlView>& controls) override;
  void UpdateWindow(const WindowView& window) override;
  void CreateControl(WindowHandle window, const ControlView& control) override;
  void UpdateControl(WindowHandle window, const ControlView& control) override;
  void DestroyControl(WindowHandle window, FieldId field) override;
  void PushListSnapshot(WindowHandle window, FieldId field,
                        std::shared_ptr<const ListSnapshot> snapshot) override;
  void DestroyWindow(WindowHandle window) override;
  void ActivateWindow(WindowHandle window) override;
  void StartSystemMove(WindowHandle window) override;
  void ShowSystemMenu(WindowHandle window) override;
  void PerformStdAction(WindowHandle window, ui::StdAction action) override;
  void SetCursor(ui::ThreadId thread, ui::Cursor cursor) override;
  void Beep(int32_t sound) override;
  ui::TextMetrics Metrics() const override { return kMetrics; }
  // Frames 4 pixels wide, captions 19 high, edges 2.
  int32_t SystemMetric(int32_t index) const override;
  // A string or prompt: a character of kMetrics for every character of its text shown (the
  // "&" of a mnemonic is not); a button 16 pixels wider and 12 higher for its face.
  ui::SizePx NaturalSize(WindowHandle window, const ControlView& control) const override;
  // The window's position and size converted with kMetrics, with frames and a caption; a
  // tool window has neither, and docked it lies along its side of the frame's client area.
  region::Rect WindowRect(WindowHandle window) const override;
  // A screen of 1024 by 768 pixels, or the one a test set.
  region::Rect DesktopRect() const override;
  void TEST_SetDesktopRect(const region::Rect& desktop);
  // Whether the desktop composites windows: yes, until a test says no.
  bool ShowsOpacity() const override;
  void TEST_SetShowsOpacity(bool shows);
  region::Point MousePosition() const override;
  // Moves the window in a system move along.
  void SetMousePosition(int32_t x, int32_t y) override;
  // Recorded; a left press and release reach the control under the mouse as a click, found
  // in the mirror with the window rectangles above (the window opened last lies on top) and
  // the windows' outlines: outside its outline a window is not there. A right or middle
  // press, and a left press on a region, reach the control under the mouse (for the right
  // and middle buttons the window where there is none) as a press of their own, and the
  // release goes to the same place.
  void SynthesizeMouseButton(int32_t button, bool down) override;
  // The user's own button at the mouse: reaches the control under it as a synthesized one
  // does, and is not recorded among the synthesized buttons.
  void PressMouseButton(int32_t button, bool down);
  void ProgramEnded() override;
  agent::CharacterDisplay* Characters() override { return &characters_; }
  int32_t ShowMessage(const MessageRequest& request) override;
  bool ShowStop(std::string_view text) override;
  int32_t ShowPopup(const ui::PopupRequest& request) override;
  bool ShowFileDialog(ui::FileDialogRequest& request) override;
  bool ShowFontDialog(std::string_view title, ui::FontChoice& font) override;
  bool ShowColorDialog(std::string_view title, int32_t& color) override;

 private:
  void MergeControl(MirrorWindow& w, const ControlView& control);
  // Records what the control's or the window's pictures and cursor show.
  static void RecordPictures(MirrorWindow& w, const ControlView& control);
  static void RecordPictures(MirrorWindow& w);
  region::Rect WindowRectLocked(WindowHandle window) const;
  // Where the window's client area begins in its rectangle.
  region::Point ClientOffset(const WindowView& view) const;
  // As SynthesizeMouseButton says.
  void ButtonAtMouse(int32_t button, bool down);
  // The window under the mouse, 0 for none; `at` gets the control under it (0 for none) and
  // the mouse position in the window's units. Requires mutex_.
  WindowHandle HitLocked(ui::Input& at) const;
  ui::DisplayDialogs* dialogs() const;

  mutable std::mutex mutex_;  // guards the state below
  std::map<WindowHandle, MirrorWindow> windows_;
  std::vector<WindowHandle> order_;  // opening order of the open windows
  std::map<ui::ThreadId, ui::Cursor> cursors_;
  int32_t beeps_ = 0;
  WindowHandle activated_ = 0;
  std::vector<std::pair<WindowHandle, ui::StdAction>> std_actions_;
  region::Point mouse_;
  // The system move going on: the window, and the mouse and the window's place as it began.
  struct SystemMove {
    WindowHandle window = 0;
    region::Point mouse;
    ui::RectDu at;
  };
  SystemMove move_;
  WindowHandle system_menu_ = 0;
  std::vector<std::pair<int32_t, bool>> buttons_;
  std::map<int32_t, std::pair<WindowHandle, FieldId>> pressed_;  // a button held: where it went
  bool program_ended_ = false;
  region::Rect desktop_{0, 0, 1024, 768};
  bool shows_opacity_ = true;
  ui::DisplayDialogs* dialogs_ = nullptr;
  // Has a lock of its own.
  CharacterMirror characters_;
};

}  // namespace platform::headless
