// The agent thread of ZOVAgentClass: the hidden window that hosts the character control, the
// request events 500h to 520h with their automation texts, and the ring of request records.
#include <cstdio>
#include <string>

#include "assistant/extagent.h"
#include "assistant/leading_integer.h"
#include "assistant/speech_text.h"
#include "platform/agent/character.h"
#include "platform/core/message.h"
#include "platform/core/paths.h"
#include "platform/core/text.h"
#include "platform/files/keyed/file_system.h"
#include "platform/ui/desktop.h"
#include "platform/ui/ole_control.h"
#include "platform/ui/poll_wait.h"
#include "platform/ui/runtime_lock.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"
#include "platform/ui/thread.h"
#include "platform/ui/window.h"

namespace assistant {
namespace {

using platform::Clip;
using platform::ui::ControlDecl;
using platform::ui::PollTurn;
using platform::ui::PollUntil;

constexpr std::string_view kAgentServer = "Agent.Control.2";
constexpr ControlDecl kAgentControls[] = {
    platform::ui::Ole("?AGENTOLECONTROL", kAgentServer, {0, 0, 0, 0}).Hidden().Skip(),
};
constexpr platform::ui::WindowStructure kAgentWindow{
    "extagent", "P22$AGENTWINDOW",  platform::ui::WindowKind::kPlain,
    "",         {-100, -100, 0, 0}, kAgentControls};
constexpr platform::ui::FieldId kAgentOleControl = kAgentWindow.Equate("?AGENTOLECONTROL");
static_assert(kAgentOleControl == 1);

// The request events.
constexpr int32_t kLoad = 0x500;
constexpr int32_t kUnload = 0x501;
constexpr int32_t kShow = 0x502;
constexpr int32_t kHide = 0x503;
constexpr int32_t kSpeak = 0x504;
constexpr int32_t kThink = 0x505;
constexpr int32_t kMoveTo = 0x506;
constexpr int32_t kGestureAt = 0x507;
constexpr int32_t kHeight = 0x508;
constexpr int32_t kWidth = 0x509;
constexpr int32_t kPlay = 0x510;
constexpr int32_t kActivate = 0x511;
constexpr int32_t kWait = 0x512;
constexpr int32_t kInterrupt = 0x513;
constexpr int32_t kStop = 0x514;
constexpr int32_t kStopAll = 0x515;
constexpr int32_t kShowProperties = 0x516;
constexpr int32_t kLeft = 0x518;
constexpr int32_t kTop = 0x519;
constexpr int32_t kLanguage = 0x520;

constexpr std::string_view kDefaultAgentName = "Merlin";
constexpr std::string_view kNoAgentGiven = "U heeft geen MS Agent opgegeven";
constexpr std::string_view kNoAcsFile1 = "Er kan van MS Agent ";
constexpr std::string_view kNoAcsFile2 = " geen bijhorend ACS bestand gevonden worden!";
// The texts below keep their slips ("Microft", "unavaible").
constexpr std::string_view kFileMissing1 = "The Microft Agent file ";
constexpr std::string_view kFileMissing2 = " for the agent ";
constexpr std::string_view kFileMissingSet =
    " can not be found!|Microsoft agents will be unavaible (Set)!";
constexpr std::string_view kFileMissingLoad =
    " can not be found!|Microsoft agents will be unavaible (LOAD)!";

bool IsMedia(int32_t event) { return (event >= kShow && event <= kGestureAt) || event == kPlay; }

// The character file of `name` under the data directory.
std::string CharacterFile(std::string_view name) {
  using platform::JoinPath;
  return JoinPath(JoinPath(JoinPath(platform::DataDirectory(), "Msagent"), "CHARS"),
                  std::string(name) + ".ACS");
}

platform::ui::OleControl* AgentControl(platform::ui::Window& window) {
  return dynamic_cast<platform::ui::OleControl*>(window.control(kAgentOleControl));
}

// The control of the agent window on the calling thread; set while its loop runs.
thread_local platform::ui::OleControl* t_control = nullptr;

std::string Read(std::string_view text) { return t_control->Read(text); }

}  // namespace

int64_t ZOVAgentClass::TimeoutMs() const { return int64_t{TIMEOUTMOUSEEVENT} * 1000; }

std::string ZOVAgentClass::Character() const { return "Characters(\"" + Clip(AGENTNAME) + "\")"; }

void ZOVAgentClass::Start(std::string_view agent_name, std::string_view /*file_name*/) {
  platform::ui::AssertRuntimeLockHeld();
  if (INITIALIZED == 1 || shut_down_) return;
  TRAINMODEON = 1;
  if (!Clip(agent_name).empty()) AGENTNAME = agent_name;
  Init();
  for (AgentRequestRecord& r : BUFFERAGENTEVENT) r = AgentRequestRecord{};
  BUFFERINDEX = 1;
  BUFFERPOS = 1;
  ring_waiting_ = 0;
  position_questions_ = position_answers_ = 0;
  BUFFERAGENTEVENTQUE->Free();
  if (AGENTWINDOWTHREAD == 0) {
    AGENTWINDOWTHREAD = platform::ui::Start([this] { AgentThread(); });
    if (AGENTWINDOWTHREAD == 0) return;
  }
  // Only the agent window's OpenWindow sets INITIALIZED; a window that never opens ends the
  // wait at its time-out, as if the thread were not running.
  PollUntil([&] { return INITIALIZED == 1 || AGENTWINDOWTHREAD == 0; }, TimeoutMs(),
            PollTurn::kReleaseLock);
  if (INITIALIZED == 0) return;
  LoadAgent("", "");
}

void ZOVAgentClass::AgentThread() {
  platform::ui::Window window(kAgentWindow);
  window.Open(PARENTWINDOW);
  AGENTSERVER = kAgentServer;
  platform::ui::OleControl* control = AgentControl(window);
  if (!control->holds_object()) (void)control->Create(Clip(AGENTSERVER));
  control->SetMember("Connected", 1);
  platform::ui::Display();
  // Every event of the character is accepted and has no further effect.
  control->SetEventHandler([](const platform::ui::OleEvent&) {});
  t_control = control;
  while (window.Accept()) {
    const int32_t event = platform::ui::Event();
    if (event == platform::ui::kEventOpenWindow) INITIALIZED = 1;
    if (event >= kLoad && event <= kLanguage) Serve(event);
  }
  t_control = nullptr;
  INITIALIZED = 0;
  AGENTWINDOWTHREAD = 0;
  window.Close();
}

void ZOVAgentClass::Serve(int32_t event) {
  if (AGENTPAUZE == 1 && IsMedia(event)) {
    // They wait here, in their order; a ring request's record waits in the ring meanwhile.
    deferred_.push_back(event);
    return;
  }
  if (AGENTPAUZE == 0) {
    std::vector<int32_t> deferred;
    deferred.swap(deferred_);
    for (int32_t e : deferred) Serve(e);
  }
  const std::string c = Character();
  switch (event) {
    case kLoad:
      Read("Characters.Load(\"" + Clip(AGENTNAME) + "\", " + Clip(AGENTFILENAME) + ")");
      t_control->Assign(c + ".LanguageID", LANGUAGEID);
      HEIGHT = static_cast<int32_t>(LeadingInteger(Read(c + ".Height")));
      WIDTH = static_cast<int32_t>(LeadingInteger(Read(c + ".Width")));
      AGENTREQUEST =
          Read(SPEAKSPEED > 0 ? c + ".Speak(\"\\Rst\\\\spd=" + std::to_string(SPEAKSPEED) + "\\\")"
                              : c + ".Speak(\"\\Rst\\\")");
      AGENTLOADED = 1;
      break;
    case kUnload:
      Read("Characters.UnLoad(\"" + Clip(AGENTNAME) + "\")");
      AGENTLOADED = 0;
      break;
    case kShow:
      Read(c + (FASTANIMATIONS == 1 ? ".Show(True)" : ".Show(False)"));
      FASTANIMATIONS = 0;
      break;
    case kHide:
      Read(c + (FASTANIMATIONS == 1 ? ".Hide(True)" : ".Hide"));
      FASTANIMATIONS = 0;
      break;
    case kSpeak:
    case kThink:
    case kMoveTo:
    case kGestureAt:
    case kPlay:
      ServeRing();
      break;
    case kHeight:
      t_control->Assign(c + ".Height", HEIGHT);
      break;
    case kWidth:
      t_control->Assign(c + ".Width", WIDTH);
      break;
    case kActivate:
      t_control->Call(c + ".Activate(" + std::to_string(ACTIVATESTATUS) + ")");
      break;
    case kWait:
      t_control->Call(c + ".Wait " + STOPREQUEST.str());
      break;
    case kInterrupt:
      t_control->Call(c + ".Interrupt(" + STOPREQUEST.str() + ")");
      break;
    case kStop:
      t_control->Call(c + ".Stop(" + STOPREQUEST.str() + ")");
      if (AGENTPAUZE == 1) DropWaitingMedia();
      break;
    case kStopAll:
      if (Clip(STOPTYPE).empty()) {
        Read(c + ".StopAll");
        Read(c + ".Play(\"RestPose\")");
      } else {
        Read(c + ".StopAll(\"" + STOPTYPE.str() + "\")");
      }
      if (AGENTPAUZE == 1) DropWaitingMedia();
      break;
    case kShowProperties:
      Read("ShowDefaultCharacterProperties");
      break;
    case kLeft:
      XPOS = static_cast<int32_t>(LeadingInteger(Read(c + ".Left")));
      ++position_answers_;
      break;
    case kTop:
      YPOS = static_cast<int32_t>(LeadingInteger(Read(c + ".Top")));
      ++position_answers_;
      break;
    case kLanguage:
      t_control->Assign(c + ".LanguageID", LANGUAGEID);
      break;
    default:
      break;
  }
}

// Carries out every waiting ring request in order: a posted ring event only wakes the
// thread, so the ring and the events cannot get out of step.
void ZOVAgentClass::ServeRing() {
  // One ring record per ring event, so the character gets every request in the order it
  // was asked, showing and hiding among them.
  if (ring_waiting_ > 0 && AGENTPAUZE == 0) {
    AgentRequestRecord& r = BUFFERAGENTEVENT[BUFFERINDEX - 1];
    const std::string c = Character();
    std::string answer;
    switch (r.EVENT) {
      case kSpeak: {
        const std::string text = PrepareSpeech(r.STRINGVALUE.str(), SPEAKDELAY);
        answer = Read(NOVOICE == 1 ? c + ".Speak(\"\\Vol=1\\\r" + text + "\")"
                                   : c + ".Speak(\"" + text + "\")");
        break;
      }
      case kThink:
        answer = Read(c + ".Think(\"" + r.STRINGVALUE.str() + "\")");
        break;
      case kMoveTo:
        Clamp(r);
        answer = Read(c + ".MoveTo(" + std::to_string(r.XPOS) + "," + std::to_string(r.YPOS) +
                      (r.SPEED < 0 ? ")" : "," + std::to_string(r.SPEED) + ")"));
        break;
      case kGestureAt:
        answer =
            Read(c + ".GestureAt(" + std::to_string(r.XPOS) + "," + std::to_string(r.YPOS) + ")");
        break;
      case kPlay:
        answer = Read(c + ".Play(\"" + r.STRINGVALUE.str() + "\")");
        break;
      default:
        break;
    }
    AGENTREQUEST = answer;
    CompleteRing(AGENTREQUEST.str());
  }
}

void ZOVAgentClass::CompleteRing(const std::string& answer) {
  AgentRequestRecord& r = BUFFERAGENTEVENT[BUFFERINDEX - 1];
  Queue<AgentRequestRecord>& waiting = *BUFFERAGENTEVENTQUE;
  for (size_t i = 1; i <= waiting.Records(); ++i) {
    if (waiting.entry(i).EVENT == r.EVENT) {
      waiting.Get(i);
      waiting.Delete();
      break;
    }
  }
  r.REQUEST = answer;
  r.DONE = 1;
  BUFFERINDEX = BUFFERINDEX == kRingSize ? 1 : BUFFERINDEX + 1;
  --ring_waiting_;
}

void ZOVAgentClass::DropWaitingMedia() {
  while (ring_waiting_ > 0) CompleteRing("");
  deferred_.clear();
}

void ZOVAgentClass::Clamp(AgentRequestRecord& move) const {
  if (ASSISTENTBINNENBUREAUBLAD != 1) return;
  if (move.XPOS < 0) move.XPOS = 0;
  if (DESKTOPPLACEMENT.RIGHT > 0 && move.XPOS > DESKTOPPLACEMENT.RIGHT - WIDTH) {
    move.XPOS = DESKTOPPLACEMENT.RIGHT - WIDTH;
  }
  if (move.YPOS < 0) move.YPOS = 0;
  if (DESKTOPPLACEMENT.BOTTOM > 0 && move.YPOS > DESKTOPPLACEMENT.BOTTOM - HEIGHT) {
    move.YPOS = DESKTOPPLACEMENT.BOTTOM - HEIGHT;
  }
}

bool ZOVAgentClass::Ready(bool need_loaded) {
  platform::ui::AssertRuntimeLockHeld();
  if (shut_down_) return false;
  if (INITIALIZED == 0) Start(AGENTNAME.str());
  if (INITIALIZED == 0) return false;
  return !need_loaded || AGENTLOADED == 1;
}

void ZOVAgentClass::PostRequest(int32_t event) {
  platform::ui::Post(event, platform::ui::kNoField, AGENTWINDOWTHREAD);
}

void ZOVAgentClass::RingRequest(const AgentRequestRecord& request, std::string_view name) {
  if (ring_waiting_ > 0 && request.EVENT == kMoveTo && request.SPEED == 0) {
    // A picking timer asks for a move every hundredth of a second: a speed-0 move after a
    // waiting one only changes where that one goes.
    const int32_t newest = BUFFERPOS == 1 ? kRingSize : BUFFERPOS - 1;
    AgentRequestRecord& last = BUFFERAGENTEVENT[newest - 1];
    Queue<AgentRequestRecord>& waiting = *BUFFERAGENTEVENTQUE;
    if (last.EVENT == kMoveTo && last.SPEED == 0 && last.DONE == 0 && waiting.Records() > 0) {
      last.XPOS = request.XPOS;
      last.YPOS = request.YPOS;
      waiting.Get(waiting.Records());
      waiting.buffer.XPOS = request.XPOS;
      waiting.buffer.YPOS = request.YPOS;
      waiting.Put();
      return;
    }
  }
  if (ring_waiting_ >= kRingSize) {
    if (!refusing_) {
      std::fprintf(stderr, "assistant: %d requests wait for the character; %s dropped\n", kRingSize,
                   std::string(name).c_str());
      refusing_ = true;
    }
    return;
  }
  refusing_ = false;
  AgentRequestRecord& r = BUFFERAGENTEVENT[BUFFERPOS - 1];
  r.EVENT = request.EVENT;
  r.DONE = 0;
  switch (request.EVENT) {
    case kSpeak:
    case kThink:
    case kPlay:
      r.STRINGVALUE = request.STRINGVALUE.view();
      break;
    case kMoveTo:
      r.XPOS = request.XPOS;
      r.YPOS = request.YPOS;
      r.SPEED = request.SPEED;
      break;
    default:
      r.XPOS = request.XPOS;
      r.YPOS = request.YPOS;
      break;
  }
  Queue<AgentRequestRecord>& waiting = *BUFFERAGENTEVENTQUE;
  waiting.buffer = r;
  waiting.buffer.REQUEST = name;
  waiting.Add();
  BUFFERPOS = BUFFERPOS == kRingSize ? 1 : BUFFERPOS + 1;
  ++ring_waiting_;
  PostRequest(request.EVENT);
}

uint8_t ZOVAgentClass::SetAgent(std::string_view agent_name, std::string_view file_name) {
  if (!Ready(/*need_loaded=*/false)) return 0;
  const std::string name = Clip(agent_name);
  const std::string file = Clip(file_name);
  if (name.empty() && !file.empty()) {
    platform::Message(kNoAgentGiven);
    return 0;
  }
  if (!name.empty()) AGENTNAME = name;
  AGENTFILENAME = !name.empty() && file.empty() ? CharacterFile(name) : file;
  if (Clip(AGENTFILENAME).empty()) {
    platform::Message(std::string(kNoAcsFile1) + Clip(AGENTNAME) + std::string(kNoAcsFile2));
    return 0;
  }
  if (platform::files::Exists(Clip(AGENTFILENAME))) return 1;
  platform::Message(std::string(kFileMissing1) + Clip(AGENTFILENAME) + std::string(kFileMissing2) +
                    Clip(AGENTNAME) + std::string(kFileMissingSet));
  AGENTFILENAME = "";
  return 0;
}

void ZOVAgentClass::LoadAgent(std::string_view agent_name, std::string_view file_name) {
  platform::ui::AssertRuntimeLockHeld();
  if (shut_down_) return;
  if (INITIALIZED == 0) Start(agent_name, file_name);
  if (INITIALIZED == 0) return;
  if (!Clip(agent_name).empty()) AGENTNAME = agent_name;
  if (!Clip(file_name).empty()) AGENTFILENAME = file_name;
  if (Clip(AGENTNAME).empty()) AGENTNAME = kDefaultAgentName;
  if (Clip(AGENTFILENAME).empty()) {
    if (SetAgent(AGENTNAME.str(), "") == 0) return;
  } else if (!platform::files::Exists(Clip(AGENTFILENAME))) {
    platform::Message(std::string(kFileMissing1) + Clip(AGENTFILENAME) +
                      std::string(kFileMissing2) + Clip(AGENTNAME) + std::string(kFileMissingLoad));
    return;
  }
  PostRequest(kLoad);
  PollUntil([&] { return AGENTLOADED == 1 || AGENTWINDOWTHREAD == 0; }, TimeoutMs(),
            PollTurn::kReleaseLock);
}

void ZOVAgentClass::UnloadAgent() {
  platform::ui::AssertRuntimeLockHeld();
  if (AGENTWINDOWTHREAD == 0) return;
  PostRequest(kUnload);
  PollUntil([&] { return AGENTLOADED == 0 || AGENTWINDOWTHREAD == 0; }, TimeoutMs());
}

void ZOVAgentClass::ShowAgent(uint8_t fast) {
  if (!Ready()) return;
  FASTANIMATIONS = fast;
  PostRequest(kShow);
}

void ZOVAgentClass::HideAgent(uint8_t fast) {
  if (!Ready()) return;
  FASTANIMATIONS = fast;
  PostRequest(kHide);
}

void ZOVAgentClass::Speak(std::string_view text) {
  if (!Ready()) return;
  AgentRequestRecord r;
  r.EVENT = kSpeak;
  r.STRINGVALUE = Clip(text);
  RingRequest(r, "Speak");
}

void ZOVAgentClass::Think(std::string_view text) {
  if (!Ready()) return;
  AgentRequestRecord r;
  r.EVENT = kThink;
  r.STRINGVALUE = Clip(text);
  RingRequest(r, "Think");
}

void ZOVAgentClass::MoveTo(int32_t x, int32_t y, int32_t speed) {
  if (!Ready()) return;
  AgentRequestRecord r;
  r.EVENT = kMoveTo;
  r.XPOS = x;
  r.YPOS = y;
  r.SPEED = speed;
  RingRequest(r, "MoveTo");
}

void ZOVAgentClass::MoveToClarionPos(int32_t x, int32_t y, int32_t speed, std::string_view corner) {
  if (!Ready()) return;
  using platform::ui::GetPropNumber;
  using platform::ui::Prop;
  const platform::ui::WindowHandle window = GetPropNumber(0, Prop::Handle);
  platform::ui::WindowPlacement placement;
  const bool read = platform::ui::GetWindowPlacement(window, &placement);
  if (read) {
    WINDOWPLACEMENT.SHOWCMD = placement.show_cmd;
    WINDOWPLACEMENT.RCNORMALPOSITION = {placement.normal.left, placement.normal.top,
                                        placement.normal.right, placement.normal.bottom};
  }
  const bool maximized_frame =
      read && placement.show_cmd == platform::ui::kSwShowMaximized &&
      GetPropNumber(0, Prop::Type) == static_cast<int32_t>(platform::ui::ControlType::kApplication);
  const double origin_x = read && !maximized_frame ? placement.normal.left : 0;
  const double origin_y = read && !maximized_frame ? placement.normal.top : 0;
  // A maximized frame's units are those of the desktop it fills, so its scale comes from
  // the desktop, not from the rectangle it is restored to.
  WindowPlacementGroup::Rect n = WINDOWPLACEMENT.RCNORMALPOSITION;
  if (platform::region::Rect desktop;
      maximized_frame && platform::ui::GetWindowRect(platform::ui::GetDesktopWindow(), &desktop)) {
    n = {desktop.left, desktop.top, desktop.right, desktop.bottom};
  }
  const int64_t width = GetPropNumber(0, Prop::Width);
  const int64_t height = GetPropNumber(0, Prop::Height);
  // A window of no width or height takes the position as pixels instead of dividing by 0.
  double px = origin_x + (width != 0 ? double{1} * x * (n.RIGHT - n.LEFT) / width : x);
  double py = origin_y + (height != 0 ? double{1} * y * (n.BOTTOM - n.TOP) / height : y);
  const std::string c = Clip(corner);
  if (c == "RB") {
    px -= WIDTH;
  } else if (c == "LO") {
    py -= HEIGHT;
  } else if (c == "RO") {
    px -= WIDTH;
    py -= HEIGHT;
  } else {
    px -= WIDTH / 2;
    py -= HEIGHT / 2;
  }
  AgentRequestRecord r;
  r.EVENT = kMoveTo;
  r.XPOS = static_cast<int32_t>(px);
  r.YPOS = static_cast<int32_t>(py);
  r.SPEED = speed;
  RingRequest(r, "MoveToClarionPos");
}

void ZOVAgentClass::GestureAt(int32_t x, int32_t y) {
  if (!Ready()) return;
  AgentRequestRecord r;
  r.EVENT = kGestureAt;
  r.XPOS = x;
  r.YPOS = y;
  RingRequest(r, "GestureAt");
}

void ZOVAgentClass::SetSize(int32_t height, int32_t width) {
  if (!Ready()) return;
  if (height != 0) {
    HEIGHT = height;
    PostRequest(kHeight);
  }
  if (width != 0) {
    WIDTH = width;
    PostRequest(kWidth);
  }
}

void ZOVAgentClass::Play(std::string_view animation) {
  if (!Ready()) return;
  AgentRequestRecord r;
  r.EVENT = kPlay;
  r.STRINGVALUE = animation;
  RingRequest(r, "Play");
}

void ZOVAgentClass::Activate(uint8_t state) {
  if (!Ready()) return;
  ACTIVATESTATUS = state;
  PostRequest(kActivate);
}

void ZOVAgentClass::Wait(std::string_view request) {
  if (!Ready()) return;
  STOPREQUEST = request;
  PostRequest(kWait);
}

void ZOVAgentClass::Interrupt(std::string_view request) {
  if (!Ready()) return;
  STOPREQUEST = request;
  PostRequest(kInterrupt);
}

void ZOVAgentClass::Stop(std::string_view request) {
  if (!Ready()) return;
  STOPREQUEST = request;
  PostRequest(kStop);
}

void ZOVAgentClass::StopAll(std::string_view type) {
  if (!Ready()) return;
  STOPTYPE = type;
  PostRequest(kStopAll);
}

void ZOVAgentClass::ShowDefaultCharacterProperties() {
  if (!Ready()) return;
  PostRequest(kShowProperties);
}

// The agent thread raises a counter once it has read the position, so a position of -9999
// is answered as it is and a thread that has ended cannot hold the caller for ever.
int32_t ZOVAgentClass::AskPosition(int32_t event, int32_t* field) {
  if (!Ready()) return 0;
  // The agent thread answers in the order it was asked: this one is answered once every
  // question before it is.
  const uint64_t ticket = ++position_questions_;
  PostRequest(event);
  PollUntil([&] { return position_answers_ >= ticket || AGENTWINDOWTHREAD == 0; }, TimeoutMs());
  return *field;
}

int32_t ZOVAgentClass::GetXPos() { return AskPosition(kLeft, &XPOS); }

int32_t ZOVAgentClass::GetYPos() { return AskPosition(kTop, &YPOS); }

void ZOVAgentClass::FillAnimationList(platform::QueueBase& queue) {
  for (const std::string_view name : platform::agent::kAnimationNames) {
    platform::SetFieldText(queue.layout().field(1), queue.buffer_address(), name);
    queue.Add();
  }
}

}  // namespace assistant
