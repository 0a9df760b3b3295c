#include "platform/testing/scripted_user.h"

#include <gtest/gtest.h>

#include "platform/ui/control_family.h"
#include "platform/ui/list_tree.h"

namespace platform::testing {

using ui::Input;

WindowHandle ScriptedUser::Window(std::string_view name) {
  WaitUntilIdle();
  std::optional<MirrorWindow> w = display_.FindWindow(name);
  if (!w) {
    ADD_FAILURE() << "no open window " << name;
    return 0;
  }
  return w->view.handle;
}

FieldId ScriptedUser::Field(WindowHandle window, std::string_view equate) {
  std::optional<MirrorWindow> w = display_.FindWindow(window);
  if (w) {
    for (const auto& [field, c] : w->controls) {
      if (c.equate == equate) return field;
    }
  }
  ADD_FAILURE() << "no control " << equate;
  return 0;
}

void ScriptedUser::Send(WindowHandle window, Input input) {
  ui::PostInput(window, std::move(input));
  WaitUntilIdle();
}

void ScriptedUser::Type(WindowHandle window, FieldId field, std::string_view text) {
  std::string typed;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i > 0) typed.push_back(text[i - 1]);
    if (i == 0 && !text.empty()) continue;  // an empty text still clears the control
    display_.SetUserScreenText(window, field, typed);
    Input in;
    in.kind = Input::Kind::kTyped;
    in.field = field;
    in.text = typed;
    ui::PostInput(window, std::move(in));
  }
  WaitUntilIdle();
}

void ScriptedUser::Click(WindowHandle window, FieldId field) {
  // A radio shows itself chosen in its option at once, as its widget would.
  const ControlView c = Control(window, field);
  if (ui::FamilyOf(c.type).click == ui::ClickAction::kChooseOption) {
    const auto value = c.properties.find({static_cast<int32_t>(ui::Prop::Value), 0});
    if (value != c.properties.end()) display_.SetUserScreenText(window, c.parent, value->second);
  }
  Input in;
  in.kind = Input::Kind::kClick;
  in.field = field;
  in.key = ui::kMouseLeft;
  Send(window, std::move(in));
}

void ScriptedUser::Focus(WindowHandle window, FieldId field) {
  Input in;
  in.kind = Input::Kind::kFocus;
  in.field = field;
  Send(window, std::move(in));
}

void ScriptedUser::PressKey(WindowHandle window, ui::KeyCode key) {
  Input in;
  in.kind = Input::Kind::kKey;
  in.key = key;
  Send(window, std::move(in));
}

void ScriptedUser::SelectRow(WindowHandle window, FieldId list, int32_t row, int32_t column) {
  // A combo, drop list or spin shows the chosen entry at once, as its widget would; a list
  // shows no text.
  if (ui::FamilyOf(Control(window, list).type).takes_text) {
    std::shared_ptr<const ListSnapshot> rows = Rows(window, list);
    if (rows && row >= 1 && static_cast<size_t>(row) <= rows->rows.size() &&
        !rows->rows[row - 1].empty()) {
      display_.SetUserScreenText(window, list, rows->rows[row - 1][0]);
    }
  }
  Input in;
  in.kind = Input::Kind::kSelectRow;
  in.field = list;
  in.row = row;
  in.column = column;
  in.key = ui::kMouseLeft;
  Send(window, std::move(in));
}

void ScriptedUser::DoubleClickRow(WindowHandle window, FieldId list, int32_t row, int32_t column) {
  Input in;
  in.kind = Input::Kind::kDoubleClick;
  in.field = list;
  in.row = row;
  in.column = column;
  in.key = ui::kMouseLeft2;
  Send(window, std::move(in));
}

void ScriptedUser::ClickHeader(WindowHandle window, FieldId list, int32_t column) {
  Input in;
  in.kind = Input::Kind::kHeaderClick;
  in.field = list;
  in.column = column;
  in.key = ui::kMouseLeft;
  Send(window, std::move(in));
}

void ScriptedUser::PressTreeButton(WindowHandle window, FieldId list, int32_t row) {
  // A person presses only a button the tree shows.
  std::shared_ptr<const ListSnapshot> rows = Rows(window, list);
  const bool shown = rows && row >= 1 && static_cast<size_t>(row) <= rows->levels.size() &&
                     !ui::HiddenTreeRows(rows->levels)[row - 1] &&
                     ui::TreeButtons(rows->levels)[row - 1] != ui::TreeButton::kNone;
  if (!shown) {
    ADD_FAILURE() << "row " << row << " of list " << list << " shows no tree button";
    return;
  }
  Input in;
  in.kind = Input::Kind::kTreeButton;
  in.field = list;
  in.row = row;
  in.key = ui::kMouseLeft;
  Send(window, std::move(in));
}

void ScriptedUser::RightClick(WindowHandle window, FieldId field) {
  MouseDown(window, field, 2);
  MouseUp(window, field, 2);
}

void ScriptedUser::MouseDown(WindowHandle window, FieldId field, int32_t button) {
  Input in;
  in.kind = Input::Kind::kMouseDown;
  in.field = field;
  in.key = button == 2 ? ui::kMouseRight : button == 3 ? ui::kMouseCenter : ui::kMouseLeft;
  Send(window, std::move(in));
}

void ScriptedUser::MouseUp(WindowHandle window, FieldId field, int32_t button) {
  Input in;
  in.kind = Input::Kind::kMouseUp;
  in.field = field;
  in.key = button == 2 ? ui::kMouseRightUp : button == 3 ? ui::kMouseCenterUp : ui::kMouseLeftUp;
  Send(window, std::move(in));
}

void ScriptedUser::CloseBox(WindowHandle window) {
  Input in;
  in.kind = Input::Kind::kCloseBox;
  Send(window, std::move(in));
}

void ScriptedUser::MoveMouse(WindowHandle window, int32_t x, int32_t y, FieldId list, int32_t row,
                             int32_t buttons) {
  Input in;
  in.kind = Input::Kind::kMouseMoved;
  in.field = list;
  in.row = row;
  in.key = buttons;
  in.mouse_x = x;
  in.mouse_y = y;
  Send(window, std::move(in));
}

void ScriptedUser::PressButton(int32_t button) {
  display_.PressMouseButton(button, /*down=*/true);
  WaitUntilIdle();
}

void ScriptedUser::ReleaseButton(int32_t button) {
  display_.PressMouseButton(button, /*down=*/false);
  WaitUntilIdle();
}

void ScriptedUser::Drag(int32_t x, int32_t y) {
  display_.SetMousePosition(x, y);
  WaitUntilIdle();
}

void ScriptedUser::SizeWindow(WindowHandle window, int32_t width, int32_t height) {
  std::optional<MirrorWindow> w = display_.FindWindow(window);
  if (!w) {
    ADD_FAILURE() << "no open window " << window;
    return;
  }
  Input in;
  in.kind = Input::Kind::kSized;
  in.at = {w->view.at.x, w->view.at.y, width, height};
  display_.SetUserPlacement(window, in.at);
  Send(window, std::move(in));
}

bool ScriptedUser::ChooseSystemMenu(ui::SystemMenuEntry entry) {
  const bool chosen = display_.ChooseSystemMenu(entry);
  WaitUntilIdle();
  return chosen;
}

void ScriptedUser::FireTimer(WindowHandle window) {
  Input in;
  in.kind = Input::Kind::kTimer;
  Send(window, std::move(in));
}

ControlView ScriptedUser::Control(WindowHandle window, FieldId field) {
  std::optional<MirrorWindow> w = display_.FindWindow(window);
  if (!w) return {};
  const auto it = w->controls.find(field);
  return it != w->controls.end() ? it->second : ControlView{};
}

std::shared_ptr<const ListSnapshot> ScriptedUser::Rows(WindowHandle window, FieldId list) {
  std::optional<MirrorWindow> w = display_.FindWindow(window);
  if (!w) return nullptr;
  const auto it = w->lists.find(list);
  return it != w->lists.end() ? it->second : nullptr;
}

}  // namespace platform::testing
