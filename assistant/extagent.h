// ZOVAgentClass: the program's one assistant object. The main program starts it and gives it
// its four keys; every window tells it when the window opens and closes and hands it every
// event first; the frame opens its topic chooser. It keeps its settings and authored steps in
// two keyed files (agent_files.h) and drives the character on an agent thread of its own.
//
// The object has no lock: the runtime runs one thread at a time, and every operation requires
// the runtime lock. Cross-thread waits poll a field of the object.
//
// The window hooks (window_hooks.cpp) report their call to the call trace; ChooseSubject, Train
// and OpenPlayControl still stand in and only report theirs. Construction, Init, Shutdown and
// destruction report themselves too, so the main program's order of start-up and shut-down
// can be followed.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "assistant/agent_files.h"
#include "assistant/agent_queues.h"
#include "platform/core/fixed_string.h"
#include "platform/core/queue.h"
#include "platform/ui/codes.h"

namespace platform::ui {
class Window;
}  // namespace platform::ui

namespace assistant {

using platform::CString;
using platform::Queue;

// The number of request records in the ring.
inline constexpr int32_t kRingSize = 100;

// The layout of a window placement record: the normal (restored) rectangle and the show state.
struct WindowPlacementGroup {
  int32_t LENGTH = 0;
  int32_t FLAGS = 0;
  int32_t SHOWCMD = 0;
  struct Point {
    int32_t X = 0;
    int32_t Y = 0;
  };
  Point PTMINPOSITION;
  Point PTMAXPOSITION;
  struct Rect {
    int32_t LEFT = 0;
    int32_t TOP = 0;
    int32_t RIGHT = 0;
    int32_t BOTTOM = 0;
  };
  Rect RCNORMALPOSITION;
};

class ZOVAgentClass {
 public:
  // `files` must outlive the object; its record buffers are the program's one AGF and AGS.
  explicit ZOVAgentClass(AgentFiles& files);
  ~ZOVAgentClass();
  ZOVAgentClass(const ZOVAgentClass&) = delete;
  ZOVAgentClass& operator=(const ZOVAgentClass&) = delete;

  // Opens the two files, creating a missing one, and reads the settings; shows "Create:" or
  // "Open:" with the errors when a file cannot be made or opened. Does nothing once it ran.
  void Init();
  // Closes the step file, unloads the character and ends the agent thread; nothing when the
  // agent thread is not running.
  void Shutdown();
  // Stores `value` (cut to 80 characters) under `setting` in the settings file.
  void SaveSetting(std::string_view setting, std::string_view value);
  void SetProcedure(std::string_view procedure_name, platform::ui::WindowHandle window);
  // WINDOWPOSX, WINDOWPOSY := the top-left corner of the window's screen rectangle.
  void StoreWindowPos(platform::ui::WindowHandle window);
  // Remembers the frame window and its origin on the screen.
  void SetApplicationWindow(platform::ui::WindowHandle window);

  // The window hooks (window_hooks.cpp), each on the thread of the window that calls it.
  // After opening: notes the window's thread, alerts the four keys, and gives a window of a
  // procedure with a topic the assistant button.
  void ProcedureOpened(std::string_view procedure_name);
  // The per-event hook, before the window's own handling; answers non-zero when it replayed
  // a stored event.
  int32_t HandleEvent(std::string_view procedure_name, platform::ui::WindowHandle window);
  void HandleAlertKey(std::string_view procedure_name, platform::ui::WindowHandle window);
  void ProcedureClosed(std::string_view procedure_name);
  void ChooseSubject(uint8_t test_mode);
  void Train();
  void OpenPlayControl();

  // Playback (playback.cpp). PlaySubject plays the topic that AGF.PROCEDURENAME and
  // AGF.ONDERWERP name, from a copy of its steps read when it starts; StartTopic plays one
  // on a thread of its own. A step 0 first is the topic's header and is not played.
  void PlaySubject(int32_t unused);
  void PlayTopic(std::string_view procedure, std::string_view topic);
  platform::ui::ThreadId StartTopic(std::string procedure, std::string topic);
  // Plays the step in the AGF record buffer; or the given step.
  void PlayStep();
  void PlayStep(const AgentFileRecord& step);
  // The event's name as the replay messages show it; Timer leaves `text` as it was.
  void EventName(int32_t event, std::string& text) const;
  // The glides (event_replay.cpp): the mouse cursor to (x, y) pixels from WINDOWPOSX,
  // WINDOWPOSY; the current window to (x, y) in its own units.
  void MoveMouseCursor(int32_t x, int32_t y);
  void AnimateMove(int32_t x, int32_t y);

  // The character (agent_thread.cpp). Each action asks the agent thread through a request
  // event and returns at once; Start, LoadAgent, UnloadAgent, GetXPos and GetYPos wait for
  // its answer, each at most TIMEOUTMOUSEEVENT seconds. After Shutdown every action returns
  // at once.
  void Start(std::string_view agent_name, std::string_view file_name = {});
  // 1 when the character file exists.
  uint8_t SetAgent(std::string_view agent_name, std::string_view file_name);
  void LoadAgent(std::string_view agent_name, std::string_view file_name);
  void UnloadAgent();
  void ShowAgent(uint8_t fast);
  void HideAgent(uint8_t fast);
  void Speak(std::string_view text);
  void Think(std::string_view text);
  void MoveTo(int32_t x, int32_t y, int32_t speed);
  // (x, y) in the current window's own units, to the `corner` of the character.
  void MoveToClarionPos(int32_t x, int32_t y, int32_t speed, std::string_view corner);
  void GestureAt(int32_t x, int32_t y);
  void SetSize(int32_t height, int32_t width);
  void Play(std::string_view animation);
  void Activate(uint8_t state);
  void Wait(std::string_view request);
  void Interrupt(std::string_view request);
  void Stop(std::string_view request);
  void StopAll(std::string_view type);
  void ShowDefaultCharacterProperties();
  uint8_t GetVisible() const { return VISIBLE; }
  int32_t GetXPos();
  int32_t GetYPos();
  // Adds the 71 animation names to `queue` (whose first field is a text), in their order.
  static void FillAnimationList(platform::QueueBase& queue);

  // Agent thread and character.
  uint8_t INITIALIZED = 0;  // 1 while the agent thread's window is open
  int32_t AGENTWINDOWTHREAD = 0;
  platform::ui::Window* PARENTWINDOW = nullptr;  // owner of the agent window; null: none
  CString<255> AGENTSERVER;
  CString<20> AGENTNAME;
  CString<255> AGENTFILENAME;
  uint8_t AGENTLOADED = 0;
  std::string OWNERVARIABELE;  // the step file's owner when not blank
  int32_t LANGUAGEID = 0;
  int32_t XPOS = 0;
  int32_t YPOS = 0;
  int32_t HEIGHT = 0;
  int32_t WIDTH = 0;

  // The application frame.
  platform::ui::WindowHandle ACTIVEWINDOW = 0;
  int32_t APPLICATIONPOSX = 0;
  int32_t APPLICATIONPOSY = 0;

  // Requests.
  uint8_t REQUESTSINBUFFER = 0;
  std::array<CString<21>, 256> REQUESTTOBECOMPLETED;
  CString<21> AGENTREQUEST;
  CString<21> STOPREQUEST;
  std::array<AgentRequestRecord, kRingSize> BUFFERAGENTEVENT;  // element n at [n - 1]
  std::unique_ptr<Queue<AgentRequestRecord>> BUFFERAGENTEVENTQUE;
  int32_t BUFFERINDEX = 1;  // consumer, 1 to 100
  int32_t BUFFERPOS = 1;    // producer, 1 to 100
  CString<14> STOPTYPE;
  uint8_t FASTANIMATIONS = 0;
  uint8_t ACTIVATESTATUS = 0;
  uint8_t NOVOICE = 0;
  uint8_t VISIBLE = 0;

  // Current procedure and step.
  CString<81> PROCEDURENAME;
  CString<50> ONDERWERP;
  int32_t STEPNR = 0;
  platform::ui::WindowHandle PROCEDUREWINDOWHANDLE = 0;

  // Training and positions.
  uint8_t TRAINMODEON = 0;
  uint8_t TRAINFILEOPEN = 0;  // 1 once Init opened the files
  int32_t WINDOWPOSX = 0;
  int32_t WINDOWPOSY = 0;
  WindowPlacementGroup WINDOWPLACEMENT;
  WindowPlacementGroup::Rect DESKTOPPLACEMENT;  // the desktop in pixels

  // Play control.
  uint8_t PLAYCONTROLACTIVE = 0;
  uint8_t PLAYCONTROLINITIALIZED = 0;
  int32_t PLAYCONTROLWINDOWTHREAD = 0;
  uint8_t AGENTPAUZE = 0;
  uint8_t TRACEDMOUSECLICK = 0;
  uint8_t IDLETIME = 0;

  // Settings.
  uint8_t SPEAKSPEED = 0;
  uint8_t SPEAKDELAY = 0;
  uint8_t ASSISTENTBINNENBUREAUBLAD = 0;
  CString<512> HELPFILELOCATIESTRING;

  // The assistant keys, set by the main program after Init.
  platform::ui::KeyCode TRAINMODEKEY = 0;
  platform::ui::KeyCode ACTIVATEALERTKEY = 0;
  platform::ui::KeyCode PLAYAGENTALERTKEY = 0;
  platform::ui::KeyCode PLAYCONTROLKEY = 0;

  // Windows and replay.
  uint8_t ACTIVATERECORDEVENTS = 0;
  std::unique_ptr<Queue<ProcedureThreadRecord>> PROCEDURETHREADQUEUE;
  std::unique_ptr<Queue<AgentEventRecord>> EVENTQUEUE;
  int32_t EVENTWINDOWTHREAD = 0;
  uint8_t PLAYBACKEVENTS = 0;
  int32_t PLAYBACKEVENTNUMBER = 0;
  struct {
    int32_t X = 0;
    int32_t Y = 0;
  } MOUSEPOS;
  uint8_t EVENTFINISHED = 0;
  int32_t EVENTTIME = 0;
  uint16_t SLOWDOWNMOUSEVENTS = 0;
  int32_t TIMEOUTMOUSEEVENT = 0;  // seconds
  uint8_t TYPESNELHEID = 0;
  uint8_t SKIPACTIVATEMENU = 0;

  // Assistant button.
  uint8_t USEEXTAGENTBUTTON = 0;
  int32_t EXTAGENTBUTTONCONTROL = 0;
  std::unique_ptr<Queue<AgentButtonRecord>> EXTAGENTBUTTONQUEUE;

  AgentFiles& files() { return files_; }

 private:
  // Opens `file`, creating it only when it is missing.
  void OpenOrCreate(platform::files::File& file);
  // The value of `setting` in `*value`; false when it has no record.
  bool ReadSetting(std::string_view setting, std::string* value);
  // The setting as a leading decimal integer, `fallback` when it has no record.
  int64_t ReadNumberSetting(std::string_view setting, int64_t fallback);

  // The agent thread (agent_thread.cpp).
  void AgentThread();
  void Serve(int32_t event);
  void ServeRing();
  bool Ready(bool need_loaded = true);
  void PostRequest(int32_t event);
  void RingRequest(const AgentRequestRecord& request, std::string_view name);
  void CompleteRing(const std::string& answer);
  void DropWaitingMedia();
  int32_t AskPosition(int32_t event, int32_t* field);
  int64_t TimeoutMs() const;
  std::string Character() const;
  void Clamp(AgentRequestRecord& move) const;

  // The window hooks (window_hooks.cpp).
  bool HasTopic(std::string_view procedure_name);
  void SetProcedureThread(std::string_view procedure_name, int32_t thread);
  int32_t ProcedureThread(std::string_view procedure_name);
  platform::ui::FieldId ButtonOf(std::string_view procedure_name);
  // Playback (playback.cpp). A topic stops, without messages, after Shutdown and once the
  // program ends.
  bool Stopped() const;
  std::vector<AgentFileRecord> ReadTopic(std::string_view procedure, std::string_view topic);
  void PlayAgentStep(const AgentFileRecord& step);
  void PlayAnimation(const AgentFileRecord& step, int32_t x, int32_t y);
  void PlayEventStep(const AgentFileRecord& step);
  // The replay side of HandleEvent (event_replay.cpp).
  int32_t Replay(std::string_view procedure_name, platform::ui::WindowHandle window);

  AgentFiles& files_;
  bool shut_down_ = false;
  int32_t ring_waiting_ = 0;         // ring requests posted and not yet done
  bool refusing_ = false;            // a run of refused ring requests is going on
  uint64_t position_questions_ = 0;  // GetXPos and GetYPos asked since the thread started
  uint64_t position_answers_ = 0;
  std::vector<int32_t> deferred_;
  // The menu-bar entry a menu replay highlighted, from 0, until its second half ends.
  static constexpr uint32_t kNoMenu = UINT32_MAX;
  uint32_t highlighted_menu_ = kNoMenu;  // media requests of no ring left waiting by a pause
};

}  // namespace assistant
