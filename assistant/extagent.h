// ZOVAgentClass: the program's one assistant object. The main program starts it and gives it
// its four keys; every window tells it when the window opens and closes and hands it every
// event first; the frame opens its topic chooser.
//
// These bodies stand in until the assistant is built: they answer "go on" (0) and report each
// call to the call trace.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/ui/codes.h"

namespace assistant {

class ZOVAgentClass {
 public:
  ZOVAgentClass();
  ~ZOVAgentClass();
  ZOVAgentClass(const ZOVAgentClass&) = delete;
  ZOVAgentClass& operator=(const ZOVAgentClass&) = delete;

  // Opens or creates the assistant's files and loads its settings.
  void Init();
  void Shutdown();
  void ProcedureOpened(std::string_view procedure_name);
  // The per-event hook; answers non-zero when it replayed a stored event.
  int32_t HandleEvent(std::string_view procedure_name, platform::ui::WindowHandle window);
  void HandleAlertKey(std::string_view procedure_name, platform::ui::WindowHandle window);
  void ProcedureClosed(std::string_view procedure_name);
  void SetProcedure(std::string_view procedure_name, platform::ui::WindowHandle window);
  void ChooseSubject(uint8_t test_mode);
  void SetApplicationWindow(platform::ui::WindowHandle window);

  // The assistant keys, set by the main program after Init.
  platform::ui::KeyCode TRAINMODEKEY = 0;
  platform::ui::KeyCode ACTIVATEALERTKEY = 0;
  platform::ui::KeyCode PLAYAGENTALERTKEY = 0;
  platform::ui::KeyCode PLAYCONTROLKEY = 0;
  // The request ring buffer's positions.
  int32_t BUFFERINDEX = 1;
  int32_t BUFFERPOS = 1;
};

}  // namespace assistant
