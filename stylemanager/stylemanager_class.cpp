#include "stylemanager/stylemanager_class.h"

#include <algorithm>
#include <string>

#include "platform/core/call_trace.h"
#include "platform/core/error_codes.h"
#include "platform/core/error_state.h"
#include "platform/core/number.h"
#include "platform/core/text.h"
#include "platform/files/keyed/file_system.h"
#include "platform/files/keyed/transaction.h"
#include "platform/ui/desktop.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/statements.h"
#include "platform/ui/thread.h"
#include "platform/ui/window.h"
#include "restyle/restyle_class.h"

namespace stylemanager {
namespace {

using platform::TraceCall;
using platform::files::File;

constexpr std::string_view kTranslationFile = "ZOVRestyle.trn";
// The default profile is stored under this name; it is translated for display only.
constexpr std::string_view kDefaultProfile = "DEFAULT";
constexpr uint32_t kOpenMode = platform::files::kReadWrite | platform::files::kDenyNone;
constexpr std::string_view kCurrentProfileGroup = "~Current selected profile";

struct ControlTypeRow {
  std::string_view name;
  int32_t number;
};
// In the order they are added; there is no type 23 or 36, and -1 is the message boxes.
constexpr ControlTypeRow kControlTypes[] = {
    {"Message boxes", -1}, {"sstring", 1}, {"string", 2},    {"image", 3},        {"region", 4},
    {"line", 5},           {"box", 6},     {"ellipse", 7},   {"entry", 8},        {"button", 9},
    {"prompt", 10},        {"option", 11}, {"check", 12},    {"group", 13},       {"list", 14},
    {"combo", 15},         {"spin", 16},   {"text", 17},     {"custom", 18},      {"menu", 19},
    {"item", 20},          {"radio", 21},  {"menubar", 22},  {"application", 24}, {"window", 25},
    {"report", 26},        {"header", 27}, {"footer", 28},   {"break", 29},       {"form", 30},
    {"detail", 31},        {"ole", 32},    {"droplist", 33}, {"dropcombo", 34},   {"progress", 35},
    {"sheet", 37},         {"tab", 38},    {"panel", 39},    {"sublist", 270},    {"toolbar", 128},
};
static_assert(std::size(kControlTypes) == 40);

// The captions of the standard box's buttons, in CLABUTTON's order.
constexpr std::string_view kButtonCaptions[] = {"OK",     "&Yes",    "&No",     "&Abort",
                                                "&Retry", "&Ignore", "&Cancel", "&Help"};

}  // namespace

const platform::RecordLayout& ControlTypeRecord::Layout() {
  using R = ControlTypeRecord;
  static const platform::RecordLayout layout = platform::MakeLayout<R>(
      "CTQ", platform::Field<&R::CONTROLTYPE>("CONTROLTYPE"), platform::Field<&R::MARK>("MARK"),
      platform::Field<&R::CONTROLTYPEEQUATE>("CONTROLTYPEEQUATE"));
  return layout;
}

ZOVStylemanagerClass::ZOVStylemanagerClass()
    : CLARIONCONTROLPROPERTIESQUEUE(std::make_unique<restyle::PropertyTableQueue>()),
      CONTROLTYPESQUEUE(std::make_unique<platform::Queue<ControlTypeRecord>>()),
      IMAGEQUEUE(std::make_unique<platform::Queue<restyle::ImageQueueRecord>>()),
      TRANSLATOR(std::make_unique<platform::ui::Translator>()) {
  REFCHANGEGLOBALPROPERTIES = &CHANGEGLOBALPROPERTIES;
  REFCURRENTPROFILE = &CURRENTPROFILE;
  TraceCall("ZOVStylemanagerClass.Construct");
}

ZOVStylemanagerClass::~ZOVStylemanagerClass() {
  RESTYLECLASSLIST.clear();
  DisposeQueue(CLARIONCONTROLPROPERTIESQUEUE);
  DisposeQueue(CONTROLTYPESQUEUE);
  DisposeQueue(IMAGEQUEUE);
  TraceCall("ZOVStylemanagerClass.Destruct");
}

void ZOVStylemanagerClass::BindPropertyFile(File& file, size_t key, int32_t& control_type,
                                            int32_t& property_equate,
                                            restyle::FixedString<64>& property,
                                            restyle::FixedString<255>& description, uint8_t& hide) {
  PROPERTYFILE = &file;
  PROPERTYFILEPRIMARYKEY = key;
  PROPERTYFILECONTROLTYPEEQUATEFIELD = &control_type;
  PROPERTYFILEPROPERTYEQUATEFIELD = &property_equate;
  PROPERTYFILEPROPERTYFIELD = &property;
  PROPERTYFILEPROPERTYDESCRIPTIONFIELD = &description;
  PROPERTYFILEHIDEFROMENDUSER = &hide;
  TraceCall("ZOVStylemanagerClass.BindPropertyFile " + file.label());
}

void ZOVStylemanagerClass::Init(platform::ui::KeyCode configure_key) {
  TraceCall("ZOVStylemanagerClass.Init " + std::to_string(configure_key));
  TRANSLATOR->Init();
  TRANSLATOR->file_name = kTranslationFile;
  LoadTranslations();
  PROCEDURENAME = Translate("<Unknown>");
  BuildPropertyTable();
  CURRENTPROFILE = kDefaultProfile;
  CONFIGUREHOTKEY = configure_key;
  platform::region::Rect desktop;
  if (platform::ui::GetWindowRect(platform::ui::GetDesktopWindow(), &desktop)) {
    DESKTOPRECT = {desktop.left, desktop.top, desktop.right, desktop.bottom};
  }
  FillControlTypes();
  // The questions below go to the standard box.
  const uint8_t use_clarion_message_box = USECLARIONMESSAGEBOX;
  USECLARIONMESSAGEBOX = 1;
  for (File* file : {PROPERTYFILE, condition_set_file(), condition_file(), restyle_file()}) {
    if (file != nullptr && !OpenRestyleFile(*file)) return;
  }
  USECLARIONMESSAGEBOX = use_clarion_message_box;
  platform::ui::SetSystemProp(platform::ui::Prop::Buffer, "1");
  LoadGlobalSettings();
}

void ZOVStylemanagerClass::FillControlTypes() {
  platform::Queue<ControlTypeRecord>& types = *CONTROLTYPESQUEUE;
  const platform::QueueKey by_name = {types.Asc(&ControlTypeRecord::CONTROLTYPE)};
  for (const ControlTypeRow& row : kControlTypes) {
    types.ClearBuffer();
    types.buffer.CONTROLTYPE = platform::Upper(row.name);
    types.buffer.CONTROLTYPEEQUATE = row.number;
    types.AddByKey(by_name);
  }
}

bool ZOVStylemanagerClass::OpenRestyleFile(File& file) {
  // A missing file is created by OPEN itself (the files have the CREATE attribute).
  if (file.Open(kOpenMode)) return true;
  const std::string name = platform::Clip(file.name());
  const auto cannot_open = [&] {
    platform::Stop(Translate("ZOVStylemanagerClass: The file ") + name +
                   Translate(" can not be opend! ") + platform::Error());
  };
  switch (platform::ErrorCode()) {
    case platform::kInvalidRecordDeclaration: {
      const int32_t answer = platform::Message(
          Translate("The file structure of ") + name +
              Translate(" has changed|new file has to be created...|Continue?"),
          "ZOVRestyle", platform::kIconAsterisk, platform::kButtonYes | platform::kButtonNo);
      if (answer != platform::kButtonYes) {
        platform::ui::Halt(0);
        return false;
      }
      break;
    }
    case platform::kAccessDenied:
    case platform::kFileSystemError:
      // The file is intact but cannot be reached now (its mode, another process's lock):
      // replacing it would lose every stored style.
      cannot_open();
      return true;
    default:
      break;
  }
  // Nothing of the old file is carried over; it is kept as the one last backup.
  if (platform::files::Exists(name) && !platform::files::Copy(file, name + ".bak")) {
    cannot_open();
    return true;
  }
  if (!file.Create() || !file.Open(kOpenMode)) cannot_open();
  return true;
}

void ZOVStylemanagerClass::LoadGlobalSettings() {
  CHANGEGLOBALPROPERTIES = 1;
  const SetKey marker{std::string(restyle::kGlobalSettings), std::string(restyle::kGlobalSettings),
                      std::string(restyle::kGlobalSettings), std::string(kCurrentProfileGroup)};
  if (condition_set_file() != nullptr && FirstSetOf(marker)) {
    CURRENTPROFILE = platform::Clip(set_name());
  }
  if (restyle_file() != nullptr && LoadGroup(CONTROLPROPERTYGROUP, kFadingSet, kUseFading) &&
      CONTROLPROPERTYGROUP.ENABLED != 0) {
    USEFADING = static_cast<uint8_t>(platform::TextToNumber(CONTROLPROPERTYGROUP.VALUE.view()));
  } else {
    USEFADING = 1;
  }
  std::string captions;
  for (std::string_view caption : kButtonCaptions) {
    if (!captions.empty()) captions += ",";
    captions += Translate(caption);
  }
  platform::ui::SetLocale("CLABUTTON", captions);
}

void ZOVStylemanagerClass::SaveUseFading() {
  CONTROLPROPERTYGROUP.ENABLED = 1;
  CONTROLPROPERTYGROUP.VALUE = std::to_string(USEFADING);
  if (restyle_file() != nullptr) SaveGroup(CONTROLPROPERTYGROUP, kFadingSet, kUseFading);
}

void ZOVStylemanagerClass::Shutdown() {
  TraceCall("ZOVStylemanagerClass.Shutdown");
  SaveUseFading();
  TRANSLATOR->WriteCollectedTexts();
  // Ends a configuration transaction still open; without one only the error state is set.
  static_cast<void>(platform::files::Commit());
  for (File* file : {PROPERTYFILE, condition_set_file(), condition_file(), restyle_file()}) {
    if (file != nullptr) static_cast<void>(file->Close());
  }
}

void ZOVStylemanagerClass::AddImage(const restyle::ImageQueueRecord& image) {
  platform::Queue<restyle::ImageQueueRecord>& images = *IMAGEQUEUE;
  images.ClearBuffer();
  images.buffer = image;
  images.buffer.IMAGEEQUATE = 0;
  images.AddByKey({images.Asc(&restyle::ImageQueueRecord::IMAGEFILE)});
}

void ZOVStylemanagerClass::RegisterRestyle(restyle::ZOVRestyleClass& restyle) {
  RESTYLECLASSLIST.push_back(&restyle);
  platform::ui::Window* window = restyle.PROCEDUREWINDOW;
  if (window != nullptr && platform::TextToNumber(window->Get(0, platform::ui::Prop::Type)) ==
                               static_cast<int32_t>(platform::ui::ControlType::kApplication)) {
    APPLICATIONHANDLE = restyle.PROCEDUREHANDLE;
    APPLICATIONWINDOW = window;
  }
}

void ZOVStylemanagerClass::UnregisterRestyle(restyle::ZOVRestyleClass& restyle) {
  if (const auto pending = std::ranges::find(restyle_all_pending_, &restyle);
      pending != restyle_all_pending_.end()) {
    restyle_all_pending_.erase(pending);
  }
  const auto it = std::ranges::find(RESTYLECLASSLIST, &restyle);
  if (it == RESTYLECLASSLIST.end()) return;
  RESTYLECLASSLIST.erase(it);
  // The frame's window goes with its object; nothing may reach it through here afterwards.
  if (APPLICATIONWINDOW != nullptr && APPLICATIONWINDOW == restyle.PROCEDUREWINDOW &&
      std::ranges::find(RESTYLECLASSLIST, &restyle) == RESTYLECLASSLIST.end()) {
    APPLICATIONHANDLE = 0;
    APPLICATIONWINDOW = nullptr;
  }
}

void ZOVStylemanagerClass::ConfigureMain(restyle::ZOVRestyleClass& /*restyle*/) {
  TraceCall("ZOVStylemanagerClass.ConfigureMain");
}

}  // namespace stylemanager
