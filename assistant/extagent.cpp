#include "assistant/extagent.h"

#include <string>

#include "assistant/leading_integer.h"
#include "platform/core/call_trace.h"
#include "platform/core/error_codes.h"
#include "platform/core/error_state.h"
#include "platform/core/message.h"
#include "platform/core/text.h"
#include "platform/region/region.h"
#include "platform/ui/desktop.h"
#include "platform/ui/poll_wait.h"
#include "platform/ui/runtime_lock.h"
#include "platform/ui/statements.h"

namespace assistant {
namespace {

using platform::Clip;
using platform::TraceCall;
using platform::files::File;

constexpr std::string_view kDefaultAgentName = "Merlin";
constexpr int32_t kWindowPlacementLength = 44;
constexpr uint32_t kOpenMode = platform::files::kReadWrite | platform::files::kDenyNone;

constexpr std::string_view kCreateFailed = "Create:";
constexpr std::string_view kOpenFailed = "Open:";

// The settings Init reads after the character's name, in this order.
constexpr std::string_view kSpeakDelay = "SpeakDelay";
constexpr std::string_view kSpeakSpeed = "SpeakSpeed";
constexpr std::string_view kLanguage = "Language";
constexpr std::string_view kInsideDesktop = "AssistentBinnenBureaublad";
constexpr std::string_view kSlowDownMouseEvents = "SlowDownMousEvents";  // kept as stored
constexpr std::string_view kTimeOutMouseEvent = "TimeOutMouseEvent";
constexpr std::string_view kTypingSpeed = "TypeSnelheid";
constexpr std::string_view kUseAgentButton = "UseExtAgentButton";
constexpr std::string_view kCharacterSetting = "~MSAgent.Character";

constexpr int32_t kDefaultLanguage = 0x413;

// The runtime's error texts after a failed statement, as the messages show them.
std::string Errors() { return platform::Error() + "|" + platform::FileError(); }

}  // namespace

ZOVAgentClass::ZOVAgentClass(AgentFiles& files)
    : BUFFERAGENTEVENTQUE(std::make_unique<Queue<AgentRequestRecord>>()),
      PROCEDURETHREADQUEUE(std::make_unique<Queue<ProcedureThreadRecord>>()),
      EVENTQUEUE(std::make_unique<Queue<AgentEventRecord>>()),
      EXTAGENTBUTTONQUEUE(std::make_unique<Queue<AgentButtonRecord>>()),
      files_(files) {
  TraceCall("ZOVAgentClass.Construct");
  WINDOWPLACEMENT.LENGTH = kWindowPlacementLength;
  AGENTNAME = kDefaultAgentName;
}

ZOVAgentClass::~ZOVAgentClass() {
  TraceCall("ZOVAgentClass.Destruct");
  BUFFERAGENTEVENTQUE.reset();
  PROCEDURETHREADQUEUE.reset();
  EVENTQUEUE.reset();
  EXTAGENTBUTTONQUEUE.reset();
}

void ZOVAgentClass::OpenOrCreate(File& file) {
  if (file.Open(kOpenMode)) return;
  // Only a missing file is made anew: one that exists but cannot be opened (damaged, of
  // another layout, out of reach) holds the stored steps or settings.
  if (platform::ErrorCode() != platform::kFileNotFound) {
    platform::Message(std::string(kOpenFailed) + Errors());
    return;
  }
  if (!file.Create()) platform::Message(std::string(kCreateFailed) + Errors());
  if (!file.Open(kOpenMode)) platform::Message(std::string(kOpenFailed) + Errors());
}

bool ZOVAgentClass::ReadSetting(std::string_view setting, std::string* value) {
  files_.AGS.SETTING = setting;
  if (!files_.AGNTSET.is_open() || !files_.AGNTSET.Get(kAgentSetPrimaryKey)) return false;
  *value = files_.AGS.VALUE.str();
  return true;
}

int64_t ZOVAgentClass::ReadNumberSetting(std::string_view setting, int64_t fallback) {
  std::string value;
  return ReadSetting(setting, &value) ? LeadingInteger(value) : fallback;
}

void ZOVAgentClass::Init() {
  platform::ui::AssertRuntimeLockHeld();
  TraceCall("ZOVAgentClass.Init");
  if (TRAINFILEOPEN == 1) return;
  if (!Clip(OWNERVARIABELE).empty()) files_.AGNTFILE.set_owner(OWNERVARIABELE);
  OpenOrCreate(files_.AGNTFILE);
  OpenOrCreate(files_.AGNTSET);

  std::string name;
  AGENTNAME = ReadSetting(kCharacterSetting, &name) ? Clip(name) : std::string();
  if (Clip(AGENTNAME).empty()) AGENTNAME = kDefaultAgentName;
  TRAINFILEOPEN = 1;

  // Each value is narrowed to its field as the runtime assigns: modulo the field's width.
  SPEAKDELAY = static_cast<uint8_t>(ReadNumberSetting(kSpeakDelay, 0));
  SPEAKSPEED = static_cast<uint8_t>(ReadNumberSetting(kSpeakSpeed, 0));
  LANGUAGEID = static_cast<int32_t>(ReadNumberSetting(kLanguage, kDefaultLanguage));
  ASSISTENTBINNENBUREAUBLAD = static_cast<uint8_t>(ReadNumberSetting(kInsideDesktop, 1));
  SLOWDOWNMOUSEVENTS = static_cast<uint16_t>(ReadNumberSetting(kSlowDownMouseEvents, 25));
  TIMEOUTMOUSEEVENT = static_cast<int32_t>(ReadNumberSetting(kTimeOutMouseEvent, 10));
  TYPESNELHEID = static_cast<uint8_t>(ReadNumberSetting(kTypingSpeed, 10));
  USEEXTAGENTBUTTON = static_cast<uint8_t>(ReadNumberSetting(kUseAgentButton, 1));

  platform::region::Rect desktop;
  if (platform::ui::GetWindowRect(platform::ui::GetDesktopWindow(), &desktop)) {
    DESKTOPPLACEMENT = {desktop.left, desktop.top, desktop.right, desktop.bottom};
  }
}

void ZOVAgentClass::SaveSetting(std::string_view setting, std::string_view value) {
  platform::ui::AssertRuntimeLockHeld();
  files_.AGS.SETTING = Clip(setting);
  const bool found = files_.AGNTSET.Get(kAgentSetPrimaryKey);
  files_.AGS.VALUE = Clip(value);  // a longer text is cut to the field's 80 characters
  // The result is not looked at: a setting that cannot be stored is read as its default.
  if (found) {
    files_.AGNTSET.Put();
  } else {
    files_.AGNTSET.Add();
  }
}

void ZOVAgentClass::SetProcedure(std::string_view procedure_name,
                                 platform::ui::WindowHandle window) {
  PROCEDURENAME = Clip(procedure_name);
  PROCEDUREWINDOWHANDLE = window;
}

void ZOVAgentClass::StoreWindowPos(platform::ui::WindowHandle window) {
  platform::region::Rect rect;
  if (!platform::ui::GetWindowRect(window, &rect)) return;
  WINDOWPOSX = rect.left;
  WINDOWPOSY = rect.top;
}

void ZOVAgentClass::SetApplicationWindow(platform::ui::WindowHandle window) {
  platform::ui::AssertRuntimeLockHeld();
  ACTIVEWINDOW = window;
  platform::ui::WindowPlacement placement;
  if (!platform::ui::GetWindowPlacement(window, &placement)) {
    APPLICATIONPOSX = 0;
    APPLICATIONPOSY = 0;
    return;
  }
  WINDOWPLACEMENT.SHOWCMD = placement.show_cmd;
  WINDOWPLACEMENT.RCNORMALPOSITION = {placement.normal.left, placement.normal.top,
                                      placement.normal.right, placement.normal.bottom};
  const bool maximized_frame =
      placement.show_cmd == platform::ui::kSwShowMaximized &&
      platform::ui::GetPropNumber(platform::ui::kNoField, platform::ui::Prop::Type) ==
          static_cast<int32_t>(platform::ui::ControlType::kApplication);
  APPLICATIONPOSX = maximized_frame ? 0 : placement.normal.left;
  APPLICATIONPOSY = maximized_frame ? 0 : placement.normal.top;
}

void ZOVAgentClass::Shutdown() {
  platform::ui::AssertRuntimeLockHeld();
  TraceCall("ZOVAgentClass.Shutdown");
  // From now on no action starts the agent thread again: a playback still running would
  // otherwise wait for a thread that nobody ends.
  shut_down_ = true;
  if (INITIALIZED == 0) return;
  if (TRAINFILEOPEN == 1) files_.AGNTFILE.Close();
  if (AGENTLOADED == 1) UnloadAgent();
  PostRequest(platform::ui::kEventCloseWindow);
  platform::ui::PollUntil([&] { return INITIALIZED == 0; }, TimeoutMs());
}

void ZOVAgentClass::ChooseSubject(uint8_t test_mode) {
  TraceCall("ZOVAgentClass.ChooseSubject " + std::to_string(test_mode));
}

}  // namespace assistant
