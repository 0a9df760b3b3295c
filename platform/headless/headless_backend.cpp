#include "platform/headless/headless_backend.h"

#include <algorithm>

#include "platform/core/number.h"
#include "platform/image/picture_name.h"
#include "platform/ui/control_family.h"

namespace platform::headless {
namespace {

using Properties = std::map<std::pair<int32_t, int32_t>, std::string>;

std::string PropOf(const Properties& props, ui::Prop p) {
  const auto it = props.find({static_cast<int32_t>(p), 0});
  return it != props.end() ? it->second : std::string();
}

// `shown` made to show `name` in `mode`; the file is read again only for another name.
void Show(std::optional<ShownPicture>& shown, const std::string& name, ui::PictureMode mode) {
  if (name.empty()) {
    shown.reset();
    return;
  }
  if (!shown || shown->name != name)
    shown = ShownPicture{name, mode, image::ProbeNamedPicture(name)};
  shown->mode = mode;
}

void Show(std::optional<ShownCursor>& shown, const std::string& name) {
  if (name.empty()) {
    shown.reset();
    return;
  }
  if (shown && shown->name == name) return;
  shown = ShownCursor{name, std::nullopt};
  if (const std::optional<image::Picture> p = image::LoadNamedPicture(name)) {
    shown->hot_spot = p->hot_spot.value_or(image::HotSpot{p->width / 2, p->height / 2});
  }
}

template <class T>
void Keep(std::map<FieldId, T>& map, FieldId field, std::optional<T> value) {
  if (value) {
    map[field] = std::move(*value);
  } else {
    map.erase(field);
  }
}

template <class T>
std::optional<T> Take(const std::map<FieldId, T>& map, FieldId field) {
  const auto it = map.find(field);
  if (it == map.end()) return std::nullopt;
  return it->second;
}

}  // namespace

void HeadlessBackend::RecordPictures(MirrorWindow& w, const ControlView& control) {
  const Properties& props = control.properties;
  const ui::PictureMode mode = ui::PictureModeOf(props);
  if (control.type == ui::ControlType::kImage) {
    std::optional<ShownPicture> picture = Take(w.pictures, control.field);
    Show(picture, control.text, mode);
    Keep(w.pictures, control.field, std::move(picture));
  }
  std::optional<ShownPicture> wallpaper = Take(w.wallpapers, control.field);
  Show(wallpaper, PropOf(props, ui::Prop::WallPaper), mode);
  Keep(w.wallpapers, control.field, std::move(wallpaper));
  std::optional<ShownCursor> cursor = Take(w.cursors, control.field);
  Show(cursor, PropOf(props, ui::Prop::Cursor));
  Keep(w.cursors, control.field, std::move(cursor));
}

void HeadlessBackend::RecordPictures(MirrorWindow& w) {
  const Properties& props = w.view.properties;
  Show(w.wallpaper, PropOf(props, ui::Prop::WallPaper), ui::PictureModeOf(props));
  Show(w.cursor, PropOf(props, ui::Prop::Cursor));
}

HeadlessBackend::HeadlessBackend() = default;

HeadlessBackend::~HeadlessBackend() = default;

void HeadlessBackend::SetDialogs(ui::DisplayDialogs* dialogs) {
  std::lock_guard lock(mutex_);
  dialogs_ = dialogs;
}

ui::DisplayDialogs* HeadlessBackend::dialogs() const {
  std::lock_guard lock(mutex_);
  return dialogs_;
}

std::vector<MirrorWindow> HeadlessBackend::Windows() const {
  std::lock_guard lock(mutex_);
  std::vector<MirrorWindow> out;
  for (WindowHandle h : order_) out.push_back(windows_.at(h));
  return out;
}

std::optional<MirrorWindow> HeadlessBackend::FindWindow(WindowHandle handle) const {
  std::lock_guard lock(mutex_);
  const auto it = windows_.find(handle);
  if (it == windows_.end()) return std::nullopt;
  return it->second;
}

std::optional<MirrorWindow> HeadlessBackend::FindWindow(std::string_view name) const {
  std::lock_guard lock(mutex_);
  for (auto it = order_.rbegin(); it != order_.rend(); ++it) {
    const MirrorWindow& w = windows_.at(*it);
    if (w.view.title == name || w.view.label == name) return w;
  }
  return std::nullopt;
}

ui::Cursor HeadlessBackend::CursorOf(ui::ThreadId thread) const {
  std::lock_guard lock(mutex_);
  const auto it = cursors_.find(thread);
  return it != cursors_.end() ? it->second : ui::Cursor::kNormal;
}

int32_t HeadlessBackend::beeps() const {
  std::lock_guard lock(mutex_);
  return beeps_;
}

bool HeadlessBackend::program_ended() const {
  std::lock_guard lock(mutex_);
  return program_ended_;
}

void HeadlessBackend::SetUserScreenText(WindowHandle window, FieldId field, std::string_view text) {
  std::lock_guard lock(mutex_);
  const auto it = windows_.find(window);
  if (it == windows_.end()) return;
  const auto c = it->second.controls.find(field);
  if (c != it->second.controls.end()) c->second.screen_text = text;
}

void HeadlessBackend::SetUserPlacement(WindowHandle window, const ui::RectDu& at) {
  std::lock_guard lock(mutex_);
  const auto it = windows_.find(window);
  if (it != windows_.end()) it->second.view.at = at;
}

void HeadlessBackend::MergeControl(MirrorWindow& w, const ControlView& control) {
  auto it = w.controls.find(control.field);
  RecordPictures(w, control);
  if (it == w.controls.end()) {
    w.controls[control.field] = control;
    return;
  }
  // As a real widget does: the program's screen text replaces the user's only when the
  // program set it.
  const bool program_set = control.screen_serial != it->second.screen_serial;
  const std::string users = it->second.screen_text;
  it->second = control;
  if (!program_set) it->second.screen_text = users;
}

void HeadlessBackend::CreateWindow(const WindowView& window,
                                   const std::vector<ControlView>& controls) {
  std::lock_guard lock(mutex_);
  MirrorWindow& w = windows_[window.handle];
  w.view = window;
  RecordPictures(w);
  for (const ControlView& c : controls) {
    w.controls[c.field] = c;
    RecordPictures(w, c);
  }
  order_.push_back(window.handle);
}

void HeadlessBackend::UpdateWindow(const WindowView& window) {
  std::lock_guard lock(mutex_);
  const auto it = windows_.find(window.handle);
  if (it == windows_.end()) return;
  it->second.view = window;
  RecordPictures(it->second);
}

void HeadlessBackend::CreateControl(WindowHandle window, const ControlView& control) {
  std::lock_guard lock(mutex_);
  const auto it = windows_.find(window);
  if (it == windows_.end()) return;
  it->second.controls[control.field] = control;
  RecordPictures(it->second, control);
}

void HeadlessBackend::UpdateControl(WindowHandle window, const ControlView& control) {
  std::lock_guard lock(mutex_);
  const auto it = windows_.find(window);
  if (it != windows_.end()) MergeControl(it->second, control);
}

void HeadlessBackend::DestroyControl(WindowHandle window, FieldId field) {
  std::lock_guard lock(mutex_);
  const auto it = windows_.find(window);
  if (it == windows_.end()) return;
  it->second.controls.erase(field);
  it->second.lists.erase(field);
  it->second.pictures.erase(field);
  it->second.wallpapers.erase(field);
  it->second.cursors.erase(field);
}

void HeadlessBackend::PushListSnapshot(WindowHandle window, FieldId field,
                                       std::shared_ptr<const ListSnapshot> snapshot) {
  std::lock_guard lock(mutex_);
  const auto it = windows_.find(window);
  if (it != windows_.end()) it->second.lists[field] = std::move(snapshot);
}

void HeadlessBackend::DestroyWindow(WindowHandle window) {
  std::lock_guard lock(mutex_);
  if (move_.window == window) move_ = {};
  if (system_menu_ == window) system_menu_ = 0;
  windows_.erase(window);
  order_.erase(std::remove(order_.begin(), order_.end(), window), order_.end());
}

int32_t HeadlessBackend::SystemMetric(int32_t index) const {
  switch (index) {
    case 4:  // caption height
      return 19;
    case 32:  // frame width
    case 33:  // frame height
      return 4;
    case 45:  // edge width
    case 46:  // edge height
      return 2;
    default:
      return 0;
  }
}

ui::SizePx HeadlessBackend::NaturalSize(WindowHandle /*window*/, const ControlView& control) const {
  // Characters shown: UTF-8 lead bytes, less the "&" that marks a mnemonic ("&&" shows one).
  int32_t shown = 0;
  const std::string& text = control.text;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if ((byte & 0xC0) == 0x80) continue;
    if (text[i] == '&' && i + 1 < text.size()) {
      if (text[i + 1] == '&')
        ++i;
      else
        continue;
    }
    ++shown;
  }
  ui::SizePx size{shown * kMetrics.average_char_width_px, kMetrics.char_height_px};
  if (control.type == ui::ControlType::kButton) {
    size.width += 16;
    size.height += 12;
  }
  return size;
}

region::Rect HeadlessBackend::WindowRect(WindowHandle window) const {
  std::lock_guard lock(mutex_);
  return WindowRectLocked(window);
}

region::Point HeadlessBackend::ClientOffset(const WindowView& view) const {
  if (view.structure != nullptr && (view.structure->attrs & ui::kAttrToolBox)) return {0, 0};
  return {SystemMetric(32), SystemMetric(32) + SystemMetric(4)};
}

region::Rect HeadlessBackend::WindowRectLocked(WindowHandle window) const {
  const auto it = windows_.find(window);
  if (it == windows_.end()) return {};
  const WindowView& view = it->second.view;
  if (view.structure != nullptr && (view.structure->attrs & ui::kAttrToolBox)) {
    const ui::RectDu px = ui::PixelsFromDialogUnits(view.at, kMetrics);
    const auto docked =
        static_cast<int32_t>(TextToNumber(PropOf(view.properties, ui::Prop::Docked)));
    const auto frame = std::find_if(windows_.begin(), windows_.end(), [](const auto& w) {
      return w.second.view.kind == ui::WindowKind::kFrame;
    });
    if (docked == ui::kDockFloat || docked == 0 || frame == windows_.end()) {
      return {px.x, px.y, px.x + px.width, px.y + px.height};
    }
    // Docked along a side of the frame's client area.
    const region::Rect outer = WindowRectLocked(frame->first);
    const region::Point offset = ClientOffset(frame->second.view);
    const region::Rect client{outer.left + offset.x, outer.top + offset.y,
                              outer.right - SystemMetric(32), outer.bottom - SystemMetric(32)};
    const int32_t left = docked == ui::kDockRight ? client.right - px.width : client.left;
    const int32_t top = docked == ui::kDockBottom ? client.bottom - px.height : client.top;
    return {left, top, left + px.width, top + px.height};
  }
  // A maximized window fills the desktop; an MDI child, its frame.
  if (!PropOf(it->second.view.properties, ui::Prop::Maximize).empty()) {
    if (it->second.view.kind == ui::WindowKind::kMdiChild && it->second.view.owner != window) {
      return WindowRectLocked(it->second.view.owner);
    }
    return desktop_;
  }
  const ui::RectDu px = ui::PixelsFromDialogUnits(it->second.view.at, kMetrics);
  const int32_t frame = SystemMetric(32);
  const int32_t caption = SystemMetric(4);
  return {px.x, px.y, px.x + px.width + 2 * frame, px.y + px.height + caption + 2 * frame};
}

region::Rect HeadlessBackend::DesktopRect() const {
  std::lock_guard lock(mutex_);
  return desktop_;
}

void HeadlessBackend::TEST_SetDesktopRect(const region::Rect& desktop) {
  std::lock_guard lock(mutex_);
  desktop_ = desktop;
}

bool HeadlessBackend::ShowsOpacity() const {
  std::lock_guard lock(mutex_);
  return shows_opacity_;
}

void HeadlessBackend::TEST_SetShowsOpacity(bool shows) {
  std::lock_guard lock(mutex_);
  shows_opacity_ = shows;
}

region::Point HeadlessBackend::MousePosition() const {
  std::lock_guard lock(mutex_);
  return mouse_;
}

void HeadlessBackend::SetMousePosition(int32_t x, int32_t y) {
  ui::Input moved;
  WindowHandle target = 0;
  {
    std::lock_guard lock(mutex_);
    mouse_ = {x, y};
    if (move_.window == 0) return;
    if (windows_.count(move_.window) == 0) {
      move_ = {};
      return;
    }
    moved.kind = ui::Input::Kind::kMoved;
    moved.at = move_.at;
    moved.at.x += (x - move_.mouse.x) * 4 / kMetrics.average_char_width_px;
    moved.at.y += (y - move_.mouse.y) * 8 / kMetrics.char_height_px;
    target = move_.window;
    windows_[target].view.at = moved.at;
  }
  ui::PostInput(target, std::move(moved));
}

void HeadlessBackend::StartSystemMove(WindowHandle window) {
  std::lock_guard lock(mutex_);
  const auto it = windows_.find(window);
  if (it == windows_.end()) return;
  move_ = {window, mouse_, it->second.view.at};
}

WindowHandle HeadlessBackend::moving() const {
  std::lock_guard lock(mutex_);
  return move_.window;
}

void HeadlessBackend::ShowSystemMenu(WindowHandle window) {
  std::lock_guard lock(mutex_);
  if (windows_.count(window) != 0) system_menu_ = window;
}

WindowHandle HeadlessBackend::system_menu() const {
  std::lock_guard lock(mutex_);
  return system_menu_;
}

bool HeadlessBackend::ChooseSystemMenu(ui::SystemMenuEntry entry) {
  WindowHandle window = 0;
  {
    std::lock_guard lock(mutex_);
    const auto it = windows_.find(system_menu_);
    if (it == windows_.end()) {
      system_menu_ = 0;
      return false;
    }
    if (!ui::SystemMenuEntryEnabled(entry, it->second.view)) return false;
    window = system_menu_;
    system_menu_ = 0;
  }
  ui::PostInput(window, ui::SystemMenuInput(entry));
  return true;
}

void HeadlessBackend::SynthesizeMouseButton(int32_t button, bool down) {
  {
    std::lock_guard lock(mutex_);
    buttons_.emplace_back(button, down);
  }
  ButtonAtMouse(button, down);
}

void HeadlessBackend::PressMouseButton(int32_t button, bool down) { ButtonAtMouse(button, down); }

void HeadlessBackend::ButtonAtMouse(int32_t button, bool down) {
  WindowHandle target = 0;
  ui::Input at;
  {
    std::lock_guard lock(mutex_);
    // A button ends a system move where the mouse is; it clicks nothing, and the press that
    // started the move has been answered.
    if (move_.window != 0) {
      move_ = {};
      if (!down) pressed_.erase(button);
      return;
    }
    const auto pressed = pressed_.find(button);
    if (!down && pressed != pressed_.end()) {
      // The release goes where the press went, wherever the mouse is now.
      target = pressed->second.first;
      at.kind = ui::Input::Kind::kMouseUp;
      at.field = pressed->second.second;
      at.key = button == 1   ? ui::kMouseLeftUp
               : button == 2 ? ui::kMouseRightUp
                             : ui::kMouseCenterUp;
      pressed_.erase(pressed);
    } else {
      target = HitLocked(at);
      if (target == 0) return;
      const auto& controls = windows_.at(target).controls;
      const auto c = controls.find(at.field);
      // A region acts on the left press; any other control is clicked by the release.
      const bool acts = c != controls.end() && ui::FamilyOf(c->second.type).acts_on_press;
      if (button == 1 && !acts) {
        if (down || at.field == ui::kNoField) return;
        at.kind = ui::Input::Kind::kClick;
        at.key = ui::kMouseLeft;
      } else if (down) {
        at.kind = ui::Input::Kind::kMouseDown;
        at.key = button == 1 ? ui::kMouseLeft : button == 2 ? ui::kMouseRight : ui::kMouseCenter;
        pressed_[button] = {target, at.field};
      } else {
        return;  // a release of nothing pressed
      }
    }
  }
  ui::PostInput(target, std::move(at));
}

WindowHandle HeadlessBackend::HitLocked(ui::Input& at) const {
  // The topmost window under the mouse, then the smallest shown control there (a control on
  // a tab lies inside its sheet). A window with an outline is only where its outline is:
  // elsewhere the mouse falls through.
  for (auto it = order_.rbegin(); it != order_.rend(); ++it) {
    // A hidden window is nowhere on the screen.
    if (windows_.at(*it).view.hidden) continue;
    const region::Rect outer = WindowRectLocked(*it);
    if (mouse_.x < outer.left || mouse_.x >= outer.right || mouse_.y < outer.top ||
        mouse_.y >= outer.bottom) {
      continue;
    }
    const std::shared_ptr<const region::Region>& shape = windows_.at(*it).view.shape;
    if (shape && !shape->Contains(mouse_.x - outer.left, mouse_.y - outer.top)) continue;
    const region::Point offset = ClientOffset(windows_.at(*it).view);
    const int32_t x = mouse_.x - outer.left - offset.x;
    const int32_t y = mouse_.y - outer.top - offset.y;
    // MOUSEX and MOUSEY are in the window's units.
    const bool pixels = !PropOf(windows_.at(*it).view.properties, ui::Prop::Pixels).empty();
    at.mouse_x = pixels ? x : x * 4 / kMetrics.average_char_width_px;
    at.mouse_y = pixels ? y : y * 8 / kMetrics.char_height_px;
    at.field = ui::kNoField;
    int64_t best_area = -1;
    for (const auto& [field, c] : windows_.at(*it).controls) {
      if (field <= 0 || !c.visible || !c.enabled) continue;
      const ui::RectDu px = ui::PixelsFromDialogUnits(c.at, kMetrics);
      if (x < px.x || x >= px.x + px.width || y < px.y || y >= px.y + px.height) continue;
      const int64_t area = int64_t{px.width} * px.height;
      if (best_area < 0 || area < best_area) {
        best_area = area;
        at.field = field;
      }
    }
    return *it;
  }
  return 0;
}

std::vector<std::pair<int32_t, bool>> HeadlessBackend::synthesized_buttons() const {
  std::lock_guard lock(mutex_);
  return buttons_;
}

void HeadlessBackend::ActivateWindow(WindowHandle window) {
  std::lock_guard lock(mutex_);
  activated_ = window;
}

void HeadlessBackend::PerformStdAction(WindowHandle window, ui::StdAction action) {
  std::lock_guard lock(mutex_);
  std_actions_.emplace_back(window, action);
}

WindowHandle HeadlessBackend::activated() const {
  std::lock_guard lock(mutex_);
  return activated_;
}

std::vector<ui::StdAction> HeadlessBackend::std_actions() const {
  std::lock_guard lock(mutex_);
  std::vector<ui::StdAction> out;
  for (const auto& [w, action] : std_actions_) out.push_back(action);
  return out;
}

std::vector<ui::StdAction> HeadlessBackend::std_actions(WindowHandle window) const {
  std::lock_guard lock(mutex_);
  std::vector<ui::StdAction> out;
  for (const auto& [w, action] : std_actions_) {
    if (w == window) out.push_back(action);
  }
  return out;
}

void HeadlessBackend::SetCursor(ui::ThreadId thread, ui::Cursor cursor) {
  std::lock_guard lock(mutex_);
  cursors_[thread] = cursor;
}

void HeadlessBackend::Beep(int32_t /*sound*/) {
  std::lock_guard lock(mutex_);
  ++beeps_;
}

void HeadlessBackend::ProgramEnded() {
  std::lock_guard lock(mutex_);
  program_ended_ = true;
}

// The answering side runs without the mirror's mutex: it may wait for other threads, which
// send commands meanwhile.
int32_t HeadlessBackend::ShowMessage(const MessageRequest& request) {
  ui::DisplayDialogs* d = dialogs();
  return d ? d->ShowMessage(request) : 0;
}

bool HeadlessBackend::ShowStop(std::string_view text) {
  ui::DisplayDialogs* d = dialogs();
  return d ? d->ShowStop(text) : false;
}

int32_t HeadlessBackend::ShowPopup(const ui::PopupRequest& request) {
  ui::DisplayDialogs* d = dialogs();
  return d ? d->ShowPopup(request) : 0;
}

bool HeadlessBackend::ShowFileDialog(ui::FileDialogRequest& request) {
  ui::DisplayDialogs* d = dialogs();
  return d ? d->ShowFileDialog(request) : false;
}

bool HeadlessBackend::ShowFontDialog(std::string_view title, ui::FontChoice& font) {
  ui::DisplayDialogs* d = dialogs();
  return d ? d->ShowFontDialog(title, font) : false;
}

bool HeadlessBackend::ShowColorDialog(std::string_view title, int32_t& color) {
  ui::DisplayDialogs* d = dialogs();
  return d ? d->ShowColorDialog(title, color) : false;
}

}  // namespace platform::headless
