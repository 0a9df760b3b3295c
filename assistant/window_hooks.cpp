// The window hooks of ZOVAgentClass: every procedure window tells the assistant when it
// opens and closes, hands it its alert keys and passes it every event first. A window of a
// procedure that has a topic gets the assistant button in its top-right corner.
#include <string>

#include "assistant/extagent.h"
#include "assistant/leading_integer.h"
#include "platform/core/call_trace.h"
#include "platform/core/text.h"
#include "platform/files/file.h"
#include "platform/ui/statements.h"
#include "platform/ui/thread.h"

namespace assistant {
namespace {

using platform::Clip;
using platform::TraceCall;
namespace ui = platform::ui;

// The assistant button: 10 by 10 window units, 12 from the right edge, at the top.
constexpr int32_t kButtonRightOffset = 12;
constexpr int32_t kButtonSize = 10;
constexpr std::string_view kButtonIcon = "~ExtAgentButton.ico";
constexpr std::string_view kButtonTip = "Open de Assistent (F12)";

// The alert slots the hooks may take; the last one is the restyle object's hot key.
constexpr int32_t kLastAlertSlot = 254;

bool ModalOpen() { return LeadingInteger(ui::GetSystemProp(ui::Prop::Modal)) != 0; }

// Adds `key` to the current window's alert keys unless it is there already or is 0.
void AlertOnWindow(ui::KeyCode key) {
  if (key == 0) return;
  int32_t free_slot = 0;
  for (int32_t slot = 1; slot <= kLastAlertSlot; ++slot) {
    const int64_t held = ui::GetPropNumber(ui::kNoField, ui::Prop::Alrt, slot);
    if (held == key) return;
    if (held == 0 && free_slot == 0) free_slot = slot;
  }
  if (free_slot != 0)
    ui::SetProp(ui::kNoField, ui::Prop::Alrt, static_cast<int64_t>(key), free_slot);
}

// Writes `entry` over the entry of its procedure name, or adds it when there is none.
template <class R>
void StoreByName(Queue<R>& q, const R& entry) {
  q.buffer.PROCEDURENAME = entry.PROCEDURENAME;
  const bool found = q.GetByKey({q.Asc(&R::PROCEDURENAME)});
  q.buffer = entry;
  if (found) {
    q.Put();
  } else {
    q.Add();
  }
}

void PlaceButton(ui::FieldId button) {
  const auto width = static_cast<int32_t>(ui::GetPropNumber(ui::kNoField, ui::Prop::Width));
  ui::SetPosition(button, width - kButtonRightOffset, 0, kButtonSize, kButtonSize);
}

}  // namespace

bool ZOVAgentClass::HasTopic(std::string_view procedure_name) {
  // A lookup of its own: the shared record buffer and read position belong to a topic that
  // may be playing meanwhile.
  AgentFiles lookup;
  if (!Clip(OWNERVARIABELE).empty()) lookup.AGNTFILE.set_owner(OWNERVARIABELE);
  if (!lookup.AGNTFILE.Open(platform::files::kReadOnly | platform::files::kDenyNone)) return false;
  const std::string name = Clip(procedure_name);
  lookup.AGF.PROCEDURENAME = name;
  if (!lookup.AGNTFILE.SetKey(kAgentFileProcedureKey)) return false;
  return lookup.AGNTFILE.Next() && lookup.AGF.PROCEDURENAME.str() == name;
}

void ZOVAgentClass::SetProcedureThread(std::string_view procedure_name, int32_t thread) {
  ProcedureThreadRecord entry;
  entry.PROCEDURENAME = Clip(procedure_name);
  entry.THREAD = thread;
  StoreByName(*PROCEDURETHREADQUEUE, entry);
}

int32_t ZOVAgentClass::ProcedureThread(std::string_view procedure_name) {
  Queue<ProcedureThreadRecord>& q = *PROCEDURETHREADQUEUE;
  q.buffer.PROCEDURENAME = Clip(procedure_name);
  return q.GetByKey({q.Asc(&ProcedureThreadRecord::PROCEDURENAME)}) ? q.buffer.THREAD : 0;
}

ui::FieldId ZOVAgentClass::ButtonOf(std::string_view procedure_name) {
  Queue<AgentButtonRecord>& q = *EXTAGENTBUTTONQUEUE;
  q.buffer.PROCEDURENAME = Clip(procedure_name);
  return q.GetByKey({q.Asc(&AgentButtonRecord::PROCEDURENAME)}) ? q.buffer.CONTROLEQUATE : 0;
}

void ZOVAgentClass::ProcedureOpened(std::string_view procedure_name) {
  TraceCall("ZOVAgentClass.ProcedureOpened " + std::string(procedure_name));
  PROCEDURENAME = Clip(procedure_name);
  SetProcedureThread(procedure_name, ui::Thread());
  for (ui::KeyCode key : {TRAINMODEKEY, ACTIVATEALERTKEY, PLAYAGENTALERTKEY, PLAYCONTROLKEY}) {
    AlertOnWindow(key);
  }
  // Sized events then arrive while the user drags, so the button follows the corner.
  if (ui::GetPropNumber(ui::kNoField, ui::Prop::Resize) != 0) {
    ui::SetProp(ui::kNoField, ui::Prop::Imm, 1);
  }
  if (TRAINFILEOPEN == 0) Init();
  if (USEEXTAGENTBUTTON != 1 || ModalOpen() || !HasTopic(procedure_name)) return;

  const ui::FieldId button = ui::Create(ui::kNoField, ui::ControlType::kButton);
  EXTAGENTBUTTONCONTROL = button;
  if (button == ui::kNoField) return;
  PlaceButton(button);
  ui::SetProp(button, ui::Prop::Text, "");
  ui::SetProp(button, ui::Prop::Icon, kButtonIcon);
  ui::SetProp(button, ui::Prop::Msg, kButtonTip);
  ui::SetProp(button, ui::Prop::Tip, kButtonTip);
  ui::SetProp(button, ui::Prop::Scroll, 1);
  ui::SetProp(button, ui::Prop::Skip, 1);
  ui::SetProp(button, ui::Prop::Flat, 1);
  ui::Unhide(button);

  AgentButtonRecord entry;
  entry.PROCEDURENAME = Clip(procedure_name);
  entry.CONTROLEQUATE = button;
  StoreByName(*EXTAGENTBUTTONQUEUE, entry);
}

void ZOVAgentClass::ProcedureClosed(std::string_view procedure_name) {
  TraceCall("ZOVAgentClass.ProcedureClosed " + std::string(procedure_name));
  SetProcedureThread(procedure_name, 0);
  if (INITIALIZED == 1) {
    StopAll("");
    HideAgent(/*fast=*/0);
  }
}

void ZOVAgentClass::HandleAlertKey(std::string_view procedure_name, ui::WindowHandle window) {
  TraceCall("ZOVAgentClass.HandleAlertKey " + std::string(procedure_name));
  if (ACTIVATERECORDEVENTS != 0 || ModalOpen()) return;
  const ui::KeyCode key = ui::CurrentKeyCode();
  if (key == 0) return;
  if (key == TRAINMODEKEY || key == ACTIVATEALERTKEY) {
    SetProcedure(procedure_name, window);
    Train();
  } else if (key == PLAYAGENTALERTKEY) {
    SetProcedure(procedure_name, window);
    ChooseSubject(/*test_mode=*/0);
  } else if (key == PLAYCONTROLKEY) {
    SetProcedure(procedure_name, window);
    OpenPlayControl();
  } else {
    return;
  }
  ui::SetKeyCode(0);
}

int32_t ZOVAgentClass::HandleEvent(std::string_view procedure_name, ui::WindowHandle window) {
  TraceCall("ZOVAgentClass.HandleEvent " + std::string(procedure_name));
  if (PLAYBACKEVENTS == 1) return Replay(procedure_name, window);
  if (USEEXTAGENTBUTTON != 1) return 0;
  switch (ui::Event()) {
    case ui::kEventAccepted: {
      const ui::FieldId button = ButtonOf(procedure_name);
      if (button != ui::kNoField && ui::Accepted() == button) {
        SetProcedure(procedure_name, window);
        ChooseSubject(/*test_mode=*/0);
      }
      break;
    }
    case ui::kEventSized: {
      const ui::FieldId button = ButtonOf(procedure_name);
      if (button != ui::kNoField) PlaceButton(button);
      break;
    }
    default:
      break;
  }
  return 0;
}

void ZOVAgentClass::Train() { TraceCall("ZOVAgentClass.Train"); }

void ZOVAgentClass::OpenPlayControl() { TraceCall("ZOVAgentClass.OpenPlayControl"); }

}  // namespace assistant
