// Playback of a topic: its steps in order, on a thread of its own. An agent step makes the
// character show itself, walk, animate, point and speak; an event step has the live window
// of its procedure replay a stored event (event_replay.cpp) and waits for it.
#include <string>
#include <vector>

#include "assistant/extagent.h"
#include "platform/core/message.h"
#include "platform/core/text.h"
#include "platform/ui/poll_wait.h"
#include "platform/ui/thread.h"

namespace assistant {
namespace {

using platform::Clip;
namespace ui = platform::ui;

constexpr int32_t kReplayEvent = ui::kEventLast;  // 0FFFh: replay the stored event
constexpr int16_t kNoPosition = -32768;

// The corner of the character placed at a step's point: the offset to its top-left corner.
struct CornerOffset {
  std::string_view code;
  bool minus_width;
  bool minus_height;
  bool halves;
};
constexpr CornerOffset kCorners[] = {
    {"LB", false, false, false},  // upper left
    {"RB", true, false, false},   // upper right
    {"MM", true, true, true},     // centre
    {"LO", false, true, false},   // lower left
    {"RO", true, true, false},    // lower right
};

struct EventNameEntry {
  int32_t event;
  std::string_view name;
};
constexpr EventNameEntry kEventNames[] = {
    {0x01, "Accepted"},     {0x02, "NewSelection"}, {0x03, "ScrollUp"},     {0x04, "ScrollDown"},
    {0x05, "PageUp"},       {0x06, "PageDown"},     {0x07, "ScrollTop"},    {0x08, "ScrollBottom"},
    {0x09, "Locate"},       {0x0A, "MouseUp"},      {0x0B, "MouseIn"},      {0x0C, "MouseOut"},
    {0x0D, "MouseMove"},    {0x0E, "VBXEvent"},     {0x0F, "AlertKey"},     {0x10, "PreAlertKey"},
    {0x11, "Dragging"},     {0x12, "Drag"},         {0x13, "Drop"},         {0x14, "ScrollDrag"},
    {0x15, "TabChanging"},  {0x16, "Expanding"},    {0x17, "Contracting"},  {0x18, "Expanded"},
    {0x19, "Contracted"},   {0x1A, "Rejected"},     {0x1B, "DroppingDown"}, {0x1C, "DroppedDown"},
    {0x1D, "ScrollTrack"},  {0x1E, "ColumnResize"}, {0x1F, "Selecting"},    {0x101, "Selected"},
    {0x201, "CloseWindow"}, {0x202, "CloseDown"},   {0x204, "OpenFailed"},  {0x20C, "DDErequest"},
    {0x20D, "DDEadvise"},   {0x20E, "DDEdata"},     {0x20F, "DDEcommand"},  {0x210, "DDEpoke"},
    {0x211, "DDEclosed"},   {0x220, "Move"},        {0x221, "Size"},        {0x222, "Restore"},
    {0x223, "Maximize"},    {0x224, "Iconize"},     {0x225, "Completed"},   {0x230, "Moved"},
    {0x231, "Sized"},       {0x232, "Restored"},    {0x233, "Maximized"},   {0x234, "Iconized"},
    {0x235, "Docked"},      {0x236, "Undocked"},    {0x240, "BuildFile"},   {0x241, "BuildKey"},
    {0x242, "BuildDone"},
};
constexpr int32_t kOpenWindowEvent = 0x203;
constexpr std::string_view kOpenWindowName = "Open Window:";
constexpr std::string_view kUnknownEvent = "Onbekende gebeurtenis";

constexpr std::string_view kNotOpened1 = "Timeout!|Venster";
constexpr std::string_view kNotOpened2 = " is niet geopend!|Kan gebeurtenis niet afspelen...|";
constexpr std::string_view kNotReplayed1 = "Muis Timeout!|Een gebeurtenis op venster";
constexpr std::string_view kNotReplayed2 = " kan niet afgespeeld worden...|";

}  // namespace

void ZOVAgentClass::EventName(int32_t event, std::string& text) const {
  if (event == ui::kEventTimer) return;
  if (event == kOpenWindowEvent) {
    text = std::string(kOpenWindowName) + Clip(PROCEDURENAME.str());
    return;
  }
  for (const EventNameEntry& e : kEventNames) {
    if (e.event == event) {
      text = e.name;
      return;
    }
  }
  text = kUnknownEvent;
}

std::vector<AgentFileRecord> ZOVAgentClass::ReadTopic(std::string_view procedure,
                                                      std::string_view topic) {
  // A copy of its own: a window that a replayed step opens reads the step file too.
  AgentFiles own;
  if (!Clip(OWNERVARIABELE).empty()) own.AGNTFILE.set_owner(OWNERVARIABELE);
  std::vector<AgentFileRecord> steps;
  if (!own.AGNTFILE.Open(platform::files::kReadOnly | platform::files::kDenyNone)) return steps;
  const std::string name = Clip(procedure);
  const std::string subject = Clip(topic);
  own.AGF.PROCEDURENAME = name;
  own.AGF.ONDERWERP = subject;
  own.AGF.STEP = 0;
  if (!own.AGNTFILE.SetKey(kAgentFilePrimaryKey)) return steps;
  while (own.AGNTFILE.Next()) {
    if (platform::Upper(own.AGF.PROCEDURENAME.str()) != platform::Upper(name) ||
        platform::Upper(own.AGF.ONDERWERP.str()) != platform::Upper(subject)) {
      break;
    }
    steps.push_back(own.AGF);
  }
  return steps;
}

bool ZOVAgentClass::Stopped() const { return shut_down_ || ui::ProgramEnding(); }

void ZOVAgentClass::PlaySubject(int32_t /*unused*/) {
  PlayTopic(files_.AGF.PROCEDURENAME.str(), files_.AGF.ONDERWERP.str());
}

void ZOVAgentClass::PlayTopic(std::string_view procedure, std::string_view topic) {
  std::vector<AgentFileRecord> steps = ReadTopic(procedure, topic);
  if (steps.empty()) return;
  // The header record (step 0) is not played; a topic without one keeps its first step.
  size_t first = steps.front().STEP == 0 ? 1 : 0;
  Stop("");
  ui::Yield();
  for (size_t i = first; i < steps.size(); ++i) {
    if (Stopped()) return;
    PlayStep(steps[i]);
  }
}

ui::ThreadId ZOVAgentClass::StartTopic(std::string procedure, std::string topic) {
  return ui::Start(std::function<void(std::string_view, std::string_view)>(
                       [this](std::string_view p, std::string_view t) { PlayTopic(p, t); }),
                   0, std::move(procedure), std::move(topic));
}

void ZOVAgentClass::PlayStep() { PlayStep(files_.AGF); }

void ZOVAgentClass::PlayStep(const AgentFileRecord& step) {
  if (Clip(step.EVENTPROCEDURE.str()).empty()) {
    PlayAgentStep(step);
  } else {
    PlayEventStep(step);
  }
}

void ZOVAgentClass::PlayAgentStep(const AgentFileRecord& step) {
  if (VISIBLE == 0) {
    ShowAgent(0);
    ui::Yield();
  }
  int32_t x = step.POSITIONX;
  int32_t y = step.POSITIONY;
  if (step.DONNOTMOVE == 0) {
    const std::string corner = step.CURSORPOSTOVAGENT.str();
    for (const CornerOffset& c : kCorners) {
      if (c.code != corner) continue;
      const int32_t w = c.halves ? WIDTH / 2 : WIDTH;
      const int32_t h = c.halves ? HEIGHT / 2 : HEIGHT;
      if (c.minus_width) x -= w;
      if (c.minus_height) y -= h;
    }
    MoveTo(x + WINDOWPOSX, y + WINDOWPOSY, step.SPEED);
    ui::Yield();
  }
  const bool before = step.ANIBEFOREORAFTER.str() == "B";
  if (before) PlayAnimation(step, x, y);
  NOVOICE = step.ALLEENTEKST;
  if (!Clip(step.SPEAK.str()).empty()) {
    Speak(step.SPEAK.str());
    ui::Yield();
  }
  if (!before) PlayAnimation(step, x, y);
}

void ZOVAgentClass::PlayAnimation(const AgentFileRecord& step, int32_t x, int32_t y) {
  const std::string animation = Clip(step.ANIMATE.str());
  if (animation == "Hide") {
    HideAgent(0);
    ui::Yield();
    return;
  }
  if (!animation.empty()) {
    Play(animation);
    ui::Yield();
  }
  if (step.AANWIJSRICHTING == 1) {
    GestureAt(x + WINDOWPOSX, y + WINDOWPOSY);
    ui::Yield();
  }
}

void ZOVAgentClass::PlayEventStep(const AgentFileRecord& step) {
  AgentEventRecord& e = EVENTQUEUE->buffer;
  const std::string procedure = Clip(step.EVENTPROCEDURE.str());
  e.PROCEDURENAME = procedure;
  e.EVENT = step.EVENT;
  e.CONTROL = step.CONTROL;
  e.XPOS = step.POSITIONX;
  e.YPOS = step.POSITIONY;
  e.VALUE = step.SPEAK.str();
  std::string info = e.INFO.str();
  EventName(step.EVENT, info);
  e.INFO = info;
  const int64_t timeout_ms = static_cast<int64_t>(TIMEOUTMOUSEEVENT) * 1000;

  if (ProcedureThread(procedure) == 0) {
    if (step.EVENT == ui::kEventCloseWindow) return;  // nothing to close
    ui::PollUntil([&] { return shut_down_ || ProcedureThread(procedure) != 0; }, timeout_ms);
    if (Stopped()) return;
    if (ProcedureThread(procedure) == 0) {
      platform::Message(std::string(kNotOpened1) + procedure + std::string(kNotOpened2) + info);
      return;
    }
  }
  Wait("");
  PLAYBACKEVENTS = 1;
  EVENTFINISHED = 0;
  ui::Post(kReplayEvent, ui::kNoField, ProcedureThread(procedure));
  ui::Yield();
  const bool done = ui::PollUntil([&] { return shut_down_ || EVENTFINISHED == 1; }, timeout_ms);
  if (!done && !Stopped()) {
    platform::Message(std::string(kNotReplayed1) + procedure + std::string(kNotReplayed2) + info);
  }
  PLAYBACKEVENTS = 0;
}

}  // namespace assistant
