// The style manager as a restyle object sees it: the store whose files, record buffers and
// settings every restyle object shares, the property table, the style hot key, the default
// images, and the registry of restyle objects, in which each is listed from the moment its
// window is attached until it is destroyed. The style manager implements this interface; the
// restyle engine knows only the interface.
#pragma once

#include <string>
#include <vector>

#include "platform/core/queue.h"
#include "platform/region/region.h"
#include "platform/ui/codes.h"
#include "platform/ui/forward.h"
#include "restyle/property_table.h"
#include "restyle/stored_shapes.h"

namespace restyle {

class ZOVRestyleBaseClass;
class ZOVRestyleClass;

// A row of the properties file: a property listed for a control type.
struct TypePropertyRow {
  std::string property;  // PROPERTY, clipped ("FONT", "FONTNAME", "COLOR")
  int32_t number = 0;    // PROPERTYEQUATE
};

class RestyleRegistry {
 public:
  RestyleRegistry(const RestyleRegistry&) = delete;
  RestyleRegistry& operator=(const RestyleRegistry&) = delete;

  // The store whose binds, user, profile and switch a restyle object takes over in its Init.
  virtual ZOVRestyleBaseClass& Store() = 0;
  // CLARIONCONTROLPROPERTIESQUEUE, built by the style manager's Init. A reader may set MARK.
  virtual PropertyTableQueue& PropertyTable() = 0;
  // The properties listed for control type `type` in the properties file, in key order (by
  // PROPERTY); none when the file is not bound or open.
  virtual std::vector<TypePropertyRow> TypeProperties(int32_t type) = 0;
  // The key that opens the style configuration in every window.
  virtual platform::ui::KeyCode ConfigureHotKey() const = 0;
  // The default images (IMAGEQUEUE), for a window whose image settings name none.
  virtual const platform::Queue<ImageQueueRecord>& DefaultImages() const = 0;

  // Appends `restyle` (borrowed; it leaves before it is destroyed); listing it twice gives
  // two rows. The application frame's object becomes the APPLICATIONWINDOW. Requires the
  // runtime lock.
  virtual void RegisterRestyle(ZOVRestyleClass& restyle) = 0;
  // Takes the first row of `restyle` off; nothing when it is not listed. Requires the runtime
  // lock.
  virtual void UnregisterRestyle(ZOVRestyleClass& restyle) = 0;
  // RESTYLECLASSLIST: the listed objects in the order they were listed. Requires the runtime
  // lock.
  virtual const std::vector<ZOVRestyleClass*>& RegisteredRestyles() const = 0;

  // APPLICATIONWINDOW: the application frame's window while its restyle object is listed;
  // null when no frame is known.
  virtual platform::ui::Window* ApplicationWindow() const = 0;
  // DESKTOPRECT: the desktop's rectangle in pixels, as the style manager took it at its start.
  virtual platform::region::Rect DesktopRect() const = 0;

  // Gives `window` (null: none) rounded corners of `roundness`; 0FFh removes them.
  virtual void RoundWindow(platform::ui::Window* window, uint8_t roundness) = 0;
  // Called by the styling pass before and after it styles a styled message window.
  virtual void BeforeMessageRestyle(ZOVRestyleClass& restyle) = 0;
  virtual void AfterMessageRestyle(ZOVRestyleClass& restyle) = 0;

  // Opens the main configuration window for the window of `restyle` and returns when it has
  // closed. Runs on the window's thread.
  virtual void ConfigureMain(ZOVRestyleClass& restyle) = 0;
  // MENUTREETHREAD: the tree-menu thread, 0 when none runs. The one number that decides
  // whether a tree runs in the program. Requires the runtime lock.
  virtual platform::ui::ThreadId MenuTreeThread() const = 0;
  virtual void SetMenuTreeThread(platform::ui::ThreadId thread) = 0;
  // APPLICATIONCLIENTWIDTH and APPLICATIONCLIENTHEIGHT: the frame's size as the tree menu
  // reads it.
  virtual void SetApplicationClientSize(int16_t width, int16_t height) = 0;

 protected:
  RestyleRegistry() = default;
  ~RestyleRegistry() = default;
};

}  // namespace restyle
