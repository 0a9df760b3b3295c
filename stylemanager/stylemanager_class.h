// ZOVStylemanagerClass: the program's one style manager. It owns what every restyle object and
// configuration window shares: the opening of the restyle files, the restyle user and the
// current profile, the control types, the registry of restyle objects, the global settings
// (fading, current profile) and the translator of every text the restyle engine shows.
//
// Calling order: construct, bind the user and the four files, Init; then any use from any
// runtime thread; Shutdown; destruct.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/fixed_string.h"
#include "platform/core/message.h"
#include "platform/core/queue.h"
#include "platform/files/file.h"
#include "platform/ui/codes.h"
#include "platform/ui/translator.h"
#include "restyle/property_table.h"
#include "restyle/restyle_base.h"
#include "restyle/restyle_registry.h"
#include "restyle/stored_shapes.h"

namespace restyle {
class ZOVRestyleClass;
}

namespace platform::ui {
class Window;
}

namespace stylemanager {

// CONTROLTYPESQUEUE: the control types, by upper-case name.
struct ControlTypeRecord {
  platform::CString<64> CONTROLTYPE;
  uint8_t MARK = 0;               // for the windows that list it
  int32_t CONTROLTYPEEQUATE = 0;  // the runtime's control type; -1 the message boxes
  static const platform::RecordLayout& Layout();
};

struct RectGroup {
  int32_t LEFT = 0;
  int32_t TOP = 0;
  int32_t RIGHT = 0;
  int32_t BOTTOM = 0;
};

// The setting of fading, under no condition set.
inline constexpr int32_t kFadingSet = -7;
inline constexpr std::string_view kUseFading = "~Use Fading";

class ZOVStylemanagerClass : public restyle::ZOVRestyleBaseClass, public restyle::RestyleRegistry {
 public:
  // Empty queues and a translator not yet started.
  ZOVStylemanagerClass();
  ~ZOVStylemanagerClass() override;

  // ZOVPROPERTIESFILE, its key and the five fields of its record (borrowed, as the base's
  // binds are).
  void BindPropertyFile(platform::files::File& file, size_t key, int32_t& control_type,
                        int32_t& property_equate, restyle::FixedString<64>& property,
                        restyle::FixedString<255>& description, uint8_t& hide);
  // Starts the translator, fills the control types, opens the four files (creating one anew
  // where it must, asking first when its record layout changed) and loads the global
  // settings. `configure_key` is the style hot key. Declining the question ends the program.
  // Requires the runtime lock, on thread 1.
  void Init(platform::ui::KeyCode configure_key);
  // Stores the fading setting, writes the collected texts, commits a transaction still open
  // and closes the four files. Requires the runtime lock, on thread 1.
  void Shutdown();
  // The current profile, fading and the standard box's button captions.
  void LoadGlobalSettings();
  // Reads the pairs of ZOVRestyle.trn; without a readable file the translator collects.
  void LoadTranslations();
  void SaveUseFading();
  // A default image, kept in IMAGEFILE order; its IMAGEEQUATE is 0.
  void AddImage(const restyle::ImageQueueRecord& image);
  // The translation of `text`.
  std::string Translate(std::string_view text) { return TRANSLATOR->LookupText(text); }

  // Shows a MESSAGE in the styled message window; answers the chosen button's number.
  int32_t ShowMessage(const platform::MessageRequest& request);
  // Binds `restyle` (borrowed) to this style manager for the message windows and attaches
  // `window` (open) to it, which lists it and styles the window.
  void RestyleMessageWindow(platform::ui::Window& window, restyle::ZOVRestyleClass& restyle);
  // Opens the main configuration window for the window of `restyle` (borrowed).
  void ConfigureMain(restyle::ZOVRestyleClass& restyle) override;
  // Restores and restyles every registered window in turn, showing the progress window,
  // faded in and out through `caller` (the calling window's object) when fading is on. The
  // windows of every thread are reached; other threads run between windows. Requires the
  // runtime lock.
  void RestyleAllWindows(restyle::ZOVRestyleClass& caller);
  // The same without fading.
  void RestyleAllWindows();

  // The style manager as the restyle objects see it (restyle_registry.h).
  restyle::ZOVRestyleBaseClass& Store() override { return *this; }
  restyle::PropertyTableQueue& PropertyTable() override { return *CLARIONCONTROLPROPERTIESQUEUE; }
  std::vector<restyle::TypePropertyRow> TypeProperties(int32_t type) override;
  platform::ui::KeyCode ConfigureHotKey() const override { return CONFIGUREHOTKEY; }
  const platform::Queue<restyle::ImageQueueRecord>& DefaultImages() const override {
    return *IMAGEQUEUE;
  }
  void RegisterRestyle(restyle::ZOVRestyleClass& restyle) override;
  void UnregisterRestyle(restyle::ZOVRestyleClass& restyle) override;
  const std::vector<restyle::ZOVRestyleClass*>& RegisteredRestyles() const override {
    return RESTYLECLASSLIST;
  }
  platform::ui::Window* ApplicationWindow() const override { return APPLICATIONWINDOW; }
  platform::region::Rect DesktopRect() const override {
    return {DESKTOPRECT.LEFT, DESKTOPRECT.TOP, DESKTOPRECT.RIGHT, DESKTOPRECT.BOTTOM};
  }
  void RoundWindow(platform::ui::Window* window, uint8_t roundness) override;
  void BeforeMessageRestyle(restyle::ZOVRestyleClass& restyle) override;
  void AfterMessageRestyle(restyle::ZOVRestyleClass& restyle) override;
  platform::ui::ThreadId MenuTreeThread() const override { return MENUTREETHREAD; }
  void SetMenuTreeThread(platform::ui::ThreadId thread) override { MENUTREETHREAD = thread; }
  void SetApplicationClientSize(int16_t width, int16_t height) override {
    APPLICATIONCLIENTWIDTH = width;
    APPLICATIONCLIENTHEIGHT = height;
  }
  // Fills CONDITIONQUEUE with the conditions of set `set_id` for display: each with its text
  // (the control, property and operator clipped, then the value, cut to 255 bytes; a
  // connector its operator alone) and the property's name. MANUALVALUE stays 0.
  void LoadConditionList(int32_t set_id);
  // Fills CLARIONCONTROLPROPERTIESQUEUE: the custom properties with translated names, then
  // the runtime's, in PROPERTYDESCRIPTION order.
  void BuildPropertyTable();

  platform::files::File* property_file() const { return PROPERTYFILE; }

  // Fields, in the order the restyle engine knows them.
  // The frame's handle and window while its restyle object is listed; 0 and null otherwise.
  platform::ui::WindowHandle APPLICATIONHANDLE = 0;
  platform::ui::Window* APPLICATIONWINDOW = nullptr;  // borrowed
  int16_t APPLICATIONCLIENTWIDTH = 0;
  int16_t APPLICATIONCLIENTHEIGHT = 0;
  uint8_t CHANGEGLOBALPROPERTIES = 1;  // 1: the editors work on "~Global settings"
  std::unique_ptr<restyle::PropertyTableQueue> CLARIONCONTROLPROPERTIESQUEUE;
  platform::ui::KeyCode CONFIGUREHOTKEY = 0;
  restyle::ControlPropertyGroup CONTROLPROPERTYGROUP;
  std::unique_ptr<platform::Queue<ControlTypeRecord>> CONTROLTYPESQUEUE;
  platform::CString<256> CURRENTPROFILE;
  RectGroup DESKTOPRECT;  // pixels, taken once by Init
  std::unique_ptr<platform::Queue<restyle::ImageQueueRecord>> IMAGEQUEUE;
  platform::ui::ThreadId MENUTREETHREAD = 0;  // 0: no tree-menu thread
  // The system message hook that was set before the program set its own.
  platform::MessageHook MESSAGEHOOK;
  std::unique_ptr<platform::ui::Translator> TRANSLATOR;
  // RESTYLECLASSLIST: the listed restyle objects (borrowed; each leaves before it goes), in
  // the order they were listed.
  std::vector<restyle::ZOVRestyleClass*> RESTYLECLASSLIST;
  uint8_t USECLARIONMESSAGEBOX = 0;  // 1: ShowMessage uses the standard box
  uint8_t USEFADING = 1;
  RectGroup WINDOWRECT;

 private:
  // Opens one restyle file, creating it anew where the old one is of no use. False when the
  // program was ended (the question declined).
  bool OpenRestyleFile(platform::files::File& file);
  void FillControlTypes();
  void RestyleAll(restyle::ZOVRestyleClass* caller);
  // Whether restyle-all still has `restyle` to do: listed when the pass began and since, and
  // its window open.
  bool StillToRestyle(const restyle::ZOVRestyleClass* restyle) const;

  platform::files::File* PROPERTYFILE = nullptr;  // borrowed, as are the fields below
  size_t PROPERTYFILEPRIMARYKEY = 0;
  int32_t* PROPERTYFILECONTROLTYPEEQUATEFIELD = nullptr;
  int32_t* PROPERTYFILEPROPERTYEQUATEFIELD = nullptr;
  restyle::FixedString<64>* PROPERTYFILEPROPERTYFIELD = nullptr;
  restyle::FixedString<255>* PROPERTYFILEPROPERTYDESCRIPTIONFIELD = nullptr;
  uint8_t* PROPERTYFILEHIDEFROMENDUSER = nullptr;
  // The objects a running restyle-all has still to reach; each leaves as it is unregistered.
  std::vector<restyle::ZOVRestyleClass*> restyle_all_pending_;
};

}  // namespace stylemanager
