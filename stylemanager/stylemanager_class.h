// ZOVStylemanagerClass: the program's one style manager. The main program binds it to the
// restyle user name and files, starts it with the style hot key, routes every MESSAGE
// through it and shuts it down last.
//
// These bodies stand in until the style manager is built: ShowMessage falls through to the
// runtime's standard message box, the others only report their call to the call trace.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/core/message.h"
#include "platform/ui/codes.h"
#include "restyle/restyle_base.h"
#include "restyle/restyle_registry.h"

namespace restyle {
class ZOVRestyleClass;
}

namespace stylemanager {

class ZOVStylemanagerClass : public restyle::ZOVRestyleBaseClass, public restyle::RestyleRegistry {
 public:
  ZOVStylemanagerClass();
  ~ZOVStylemanagerClass() override;

  void BindPropertyFile(const restyle::RestyleFileRef& file);
  // Opens the restyle files (creating them anew where needed) and takes `configure_key` as the
  // style hot key.
  void Init(platform::ui::KeyCode configure_key);
  // Commits what is pending and closes the restyle files.
  void Shutdown();
  // Shows a MESSAGE in the styled message window; answers the chosen button's number.
  int32_t ShowMessage(const platform::MessageRequest& request);
  // Opens the main configuration window for the window of `restyle` (borrowed).
  void ConfigureMain(restyle::ZOVRestyleClass& restyle);

  // The registry of restyle objects.
  void AddRestyle(restyle::ZOVRestyleClass& restyle) override;
  void RemoveRestyle(restyle::ZOVRestyleClass& restyle) override;
  // The listed restyle objects, in the order they were listed. Requires the runtime lock.
  const std::vector<restyle::ZOVRestyleClass*>& restyle_objects() const { return restyles_; }

  // The system message hook that was set before the program set its own.
  platform::MessageHook MESSAGEHOOK;

 private:
  std::vector<restyle::ZOVRestyleClass*> restyles_;  // borrowed; each leaves before it goes
};

}  // namespace stylemanager
