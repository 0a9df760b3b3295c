#include "restyle/restyle_class.h"

#include <string>

#include "platform/core/call_trace.h"
#include "platform/core/number.h"
#include "platform/core/text.h"
#include "platform/ui/codes.h"
#include "platform/ui/statements.h"
#include "platform/ui/thread.h"
#include "platform/ui/window.h"

namespace restyle {
namespace {

using platform::TraceCall;
using platform::ui::FieldId;
using platform::ui::Prop;

constexpr std::string_view kImagesGroup = "~Images~";
constexpr std::string_view kControlGroup = "Control ";
constexpr std::string_view kControlTypeGroup = "ControlType ";
constexpr int32_t kWindowType = static_cast<int32_t>(platform::ui::ControlType::kWindow);
// The alert slot that carries the style hot key.
constexpr int32_t kHotKeySlot = 255;

std::string PropertyName(int32_t property) { return "property " + std::to_string(property); }

template <class T>
T AsNumber(std::string_view text) {
  return static_cast<T>(platform::TextToNumber(text));
}

}  // namespace

void ZOVRestyleClass::SetCreatorsInitialValues() {
  // Colours are stored values: 80000000h + n is system colour n, -1 none.
  constexpr int32_t kMenuTreeItemHeight = 8;
  constexpr int64_t kMenuTreeItemColor = 0x80000012;               // button text
  constexpr int64_t kMenuTreeItemBackgroundColor = -1;             // none
  constexpr int64_t kMenuTreeItemSelectedColor = 0x8000000E;       // highlight text
  constexpr int64_t kMenuTreeItemSelectedBackground = 0x80000002;  // active caption
  MENUTREEITEMHEIGHT = kMenuTreeItemHeight;
  MENUTREEITEMCOLOR = kMenuTreeItemColor;
  MENUTREEITEMBACKGROUNDCOLOR = kMenuTreeItemBackgroundColor;
  MENUTREEITEMSELECTEDCOLOR = kMenuTreeItemSelectedColor;
  MENUTREEITEMSELECTEDBACKGROUND = kMenuTreeItemSelectedBackground;
}

ZOVRestyleClass::ZOVRestyleClass()
    : CONFIGUREMENUSTRUCTUREQUEUE(std::make_unique<platform::Queue<ConfigureMenuItemRecord>>()),
      MENUSTRUCTUREICONQUEUE(std::make_unique<platform::Queue<MenuStructureIconRecord>>()),
      MENUSTRUCTUREFONTQUEUE(std::make_unique<platform::Queue<MenuStructureFontRecord>>()),
      MENUSTRUCTUREQUEUE(std::make_unique<platform::Queue<MenuStructureRecord>>()) {
  // The rest in the order the object makes them.
  IMAGEBUTTONQUEUE = std::make_unique<platform::Queue<ImageButtonRecord>>();
  EXCLUDEMENUITEMQUEUE = std::make_unique<platform::Queue<ImageButtonRecord>>();
  IMAGEEQUATEQUEUE = std::make_unique<platform::Queue<ImageEquateRecord>>();
  CONTROLPROPERTIESQUEUE = std::make_unique<platform::Queue<ControlSnapshotRecord>>();
  RESIZEQUEUE = std::make_unique<platform::Queue<ResizeRecord>>();
  IMAGEQUEUE = std::make_unique<platform::Queue<ImageQueueRecord>>();
  PROPERTIESQUEUE = std::make_unique<platform::Queue<TypePropertyRecord>>();
  TraceCall("ZOVRestyleClass.Construct");
}

ZOVRestyleClass::~ZOVRestyleClass() {
  // The tree window reads this object's queues and saves its settings as it ends.
  if (running_tree_ != 0) {
    platform::ui::Post(kEventEndMenuTree, 0, running_tree_);
    WaitForMenuTreeEnd();
  }
  if (listed_) Unregister();
  DisposeQueue(CONFIGUREMENUSTRUCTUREQUEUE);
  DisposeQueue(MENUSTRUCTUREICONQUEUE);
  DisposeQueue(MENUSTRUCTUREFONTQUEUE);
  DisposeQueue(MENUSTRUCTUREQUEUE);
  DisposeQueue(IMAGEBUTTONQUEUE);
  DisposeQueue(EXCLUDEMENUITEMQUEUE);
  DisposeQueue(IMAGEEQUATEQUEUE);
  DisposeQueue(CONTROLPROPERTIESQUEUE);
  DisposeQueue(RESIZEQUEUE);
  DisposeQueue(IMAGEQUEUE);
  DisposeQueue(PROPERTIESQUEUE);
  TraceCall("ZOVRestyleClass.Destruct " + PROCEDURENAME.str());
}

int32_t ZOVRestyleClass::Init(RestyleRegistry& manager, std::string_view procedure_name) {
  STYLEMANAGER = &manager;
  PROCEDURENAME = platform::Clip(procedure_name);
  // Tests may refuse the start through the call trace.
  if (TraceCall("ZOVRestyleClass.Init " + PROCEDURENAME.str()) != 0) return 1;
  const ZOVRestyleBaseClass& store = manager.Store();
  ShareBindsOf(store);
  REFCHANGEGLOBALPROPERTIES = store.REFCHANGEGLOBALPROPERTIES;
  REFCURRENTPROFILE = store.REFCURRENTPROFILE;
  CLARIONCONTROLPROPERTIESQUEUE = &manager.PropertyTable();

  ControlPropertyGroup limit;
  if (GetPropertyValue(0, kLimitProcedureStart, kWindowType, 0, limit) == 0) return 0;
  const int64_t allowed = platform::TextToNumber(limit.VALUE.view());
  if (allowed == 0) return 0;
  int64_t open = 0;
  ZOVRestyleClass* first = nullptr;
  for (ZOVRestyleClass* other : manager.RegisteredRestyles()) {
    if (other == nullptr || other->PROCEDURENAME != PROCEDURENAME) continue;
    if (first == nullptr) first = other;
    ++open;
  }
  if (open < allowed) return 0;
  if (first->PROCEDUREWINDOW != nullptr) first->PROCEDUREWINDOW->Set(0, Prop::Active, "1");
  return 1;
}

bool ZOVRestyleClass::FindSnapshot(FieldId field) {
  platform::Queue<ControlSnapshotRecord>& controls = *CONTROLPROPERTIESQUEUE;
  controls.ClearBuffer();
  controls.buffer.CONTROLEQUATE = field;
  return controls.GetByKey({controls.Asc(&ControlSnapshotRecord::CONTROLEQUATE)});
}

void ZOVRestyleClass::AddControl(FieldId field, int32_t flag, std::string_view equate,
                                 std::string_view description) {
  TraceCall("ZOVRestyleClass.AddControl " + std::to_string(field) + " " + std::to_string(flag) +
            " " + std::string(equate) + " " + std::string(description));
  if (FindSnapshot(field)) return;
  platform::Queue<ControlSnapshotRecord>& controls = *CONTROLPROPERTIESQUEUE;
  controls.ClearBuffer();
  ControlSnapshotRecord& s = controls.buffer;
  // The window is open on this thread and is the target of the runtime's statements.
  const auto text = [field](Prop p) { return platform::ui::GetProp(field, p); };
  const auto number = [field](Prop p) { return platform::ui::GetPropNumber(field, p); };
  s.CONTROLEQUATE = field;
  s.CONTROLEQUATESTRING = platform::Upper(platform::Clip(equate));
  s.CONTROLDESCRIPTION = description;
  s.CONTROLTYPEEQUATE = static_cast<int32_t>(number(Prop::Type));
  s.PROP_STD = static_cast<uint8_t>(number(Prop::Std));
  s.PROP_TEXT = text(Prop::Text);
  s.PROP_XPOS = static_cast<int16_t>(number(Prop::Xpos));
  s.PROP_YPOS = static_cast<int16_t>(number(Prop::Ypos));
  s.PROP_WIDTH = static_cast<int16_t>(number(Prop::Width));
  s.PROP_HEIGHT = static_cast<int16_t>(number(Prop::Height));
  s.PROP_FONT = static_cast<int16_t>(number(Prop::Font));
  s.PROP_FONTNAME = text(Prop::Font);
  s.PROP_FONTSIZE = static_cast<int16_t>(number(Prop::FontSize));
  s.PROP_FONTCOLOR = static_cast<int32_t>(number(Prop::FontColor));
  s.PROP_FONTSTYLE = static_cast<int32_t>(number(Prop::FontStyle));
  s.PROP_COLOR = static_cast<int32_t>(number(Prop::Color));
  s.PROP_BACKGROUND = s.PROP_COLOR;
  s.PROP_FILLCOLOR = s.PROP_COLOR;
  s.PROP_SELECTEDCOLOR = static_cast<int32_t>(number(Prop::SelectedColor));
  s.PROP_SELECTEDFILLCOLOR = static_cast<int32_t>(number(Prop::SelectedFillColor));
  s.PROP_DISABLE = static_cast<uint8_t>(number(Prop::Disable));
  s.PROP_FLAT = static_cast<uint8_t>(number(Prop::Flat));
  s.PROP_TRN = static_cast<uint8_t>(number(Prop::Trn));
  s.PROP_MAXIMIZE = static_cast<uint8_t>(number(Prop::Maximize));
  s.PROP_ICON = text(Prop::Icon);
  s.PROP_WALLPAPER = text(Prop::WallPaper);
  controls.AddByKey({controls.Asc(&ControlSnapshotRecord::CONTROLTYPEEQUATE)});
}

void ZOVRestyleClass::SetWindow(platform::ui::Window& window, uint8_t selection) {
  CONTROLSELECTION = selection;
  PROCEDUREWINDOW = &window;
  PROCEDURETHREAD = platform::ui::Thread();
  PROCEDUREHANDLE = window.handle();
  LoadWindowOptions();
  window.Set(0, Prop::Imm, "1");
  const platform::ui::KeyCode hot_key = STYLEMANAGER ? STYLEMANAGER->ConfigureHotKey() : 0;
  window.Set(0, Prop::Alrt, std::to_string(hot_key), kHotKeySlot);
  if (STYLEMANAGER != nullptr) {
    STYLEMANAGER->RegisterRestyle(*this);
    listed_ = true;
  }
  WINDOWAPISTYLE = 0;
  FillResizeQueue();
  if (!window.Get(0, Prop::Maximize).empty()) {
    window.Set(0, Prop::Maximize, "");
    ORGINALWIDTH = AsNumber<int16_t>(window.Get(0, Prop::Width));
    ORGINALHEIGHT = AsNumber<int16_t>(window.Get(0, Prop::Height));
    window.Set(0, Prop::Maximize, "1");
  } else {
    ORGINALWIDTH = AsNumber<int16_t>(window.Get(0, Prop::Width));
    ORGINALHEIGHT = AsNumber<int16_t>(window.Get(0, Prop::Height));
  }
  PREVIOUSRATIO = 1.0;
  Restyle(/*reload=*/0, /*keep=*/1);
  ControlPropertyGroup fade;
  if (GetPropertyValue(0, kFadeWindows, 0, /*read_type=*/1, fade) == 1 &&
      platform::TextToNumber(fade.VALUE.view().substr(0, 1)) != 0) {
    FadeWindow(window, /*fade_in=*/1, /*region_mode=*/0, /*reserved=*/1, /*default_end=*/1,
               /*end=*/0, /*default_start=*/1, /*start=*/0);
  }
  TraceCall("ZOVRestyleClass.SetWindow " + std::to_string(selection));
}

void ZOVRestyleClass::FillResizeQueue() {
  platform::Queue<ResizeRecord>& geometry = *RESIZEQUEUE;
  const platform::ui::Window& window = *PROCEDUREWINDOW;
  FieldId field = 0;
  do {
    geometry.ClearBuffer();
    geometry.buffer.CONTROLEQUATE = field;
    geometry.buffer.XPOS = AsNumber<int16_t>(window.Get(field, Prop::Xpos));
    geometry.buffer.YPOS = AsNumber<int16_t>(window.Get(field, Prop::Ypos));
    geometry.buffer.WIDTH = AsNumber<int16_t>(window.Get(field, Prop::Width));
    geometry.buffer.HEIGHT = AsNumber<int16_t>(window.Get(field, Prop::Height));
    geometry.buffer.FONTNAME = window.Get(field, Prop::Font);
    geometry.buffer.FONTSIZE = AsNumber<uint8_t>(window.Get(field, Prop::FontSize));
    geometry.AddByKey({geometry.Asc(&ResizeRecord::CONTROLEQUATE)});
    RecordColumnWidths(field);
    field = AsNumber<FieldId>(window.Get(0, Prop::NextField, field));
  } while (field != 0);
}

uint8_t ZOVRestyleClass::GetPropertyValue(FieldId control, int32_t property, int32_t type,
                                          uint8_t read_type, ControlPropertyGroup& value) {
  platform::ClearRecord(ControlPropertyGroup::Layout(), &value);
  if (!IsBound()) return 0;
  if (read_type == 1) {
    type =
        AsNumber<int32_t>(PROCEDUREWINDOW != nullptr ? PROCEDUREWINDOW->Get(control, Prop::Type)
                                                     : platform::ui::GetProp(control, Prop::Type));
  }
  const std::string name = PropertyName(property);
  const auto found_in = [&](bool global, const std::string& group) {
    const int32_t set = PassSetId(global, group, kUnconditionalSet);
    if (set == 0) return false;
    if (!pass_cache_.active) return LoadGroup(value, set, name) == 1 && value.ENABLED == 1;
    const ControlPropertyGroup* kept = PassValue(set, name);
    if (kept != nullptr) value = *kept;
    return kept != nullptr;
  };
  if (FindSnapshot(control) &&
      found_in(false, std::string(kControlGroup) +
                          CONTROLPROPERTIESQUEUE->buffer.CONTROLEQUATESTRING.str())) {
    return 1;
  }
  const std::string type_group = std::string(kControlTypeGroup) + std::to_string(type);
  if (found_in(false, type_group) || found_in(true, type_group)) return 1;
  return 0;
}

int64_t ZOVRestyleClass::WindowOption(int32_t property) {
  ControlPropertyGroup value;
  if (GetPropertyValue(0, property, 0, /*read_type=*/1, value) == 0) return 0;
  return platform::TextToNumber(value.VALUE.view());
}

void ZOVRestyleClass::LoadWindowOptions() {
  STYLEPROPERTIES.WINDOWROUNDNESS = 0;
  IMAGEQUEUE->Free();
  STYLEPROPERTIES.DISABLERESTYLE = static_cast<uint8_t>(WindowOption(kDisableStyling));
  if (STYLEPROPERTIES.DISABLERESTYLE != 0) {
    STYLEPROPERTIES.AUTOMAXIMIZE = 0;
    STYLEPROPERTIES.WINDOWSAVEPOSITION = 0;
    STYLEPROPERTIES.WINDOWCHECKPOSITION = 0;
    STYLEPROPERTIES.CENTERCONTROLS = 0;
    STYLEPROPERTIES.RESIZEWINDOW = 0;
    return;
  }
  STYLEPROPERTIES.AUTOMAXIMIZE = static_cast<uint8_t>(WindowOption(kMaximizeAutomatic));
  STYLEPROPERTIES.WINDOWSAVEPOSITION = static_cast<uint8_t>(WindowOption(kSaveWindowPosition));
  STYLEPROPERTIES.WINDOWCHECKPOSITION = static_cast<uint8_t>(WindowOption(kCheckWindowPosition));
  STYLEPROPERTIES.CENTERCONTROLS = static_cast<uint8_t>(WindowOption(kCenterControls));
  STYLEPROPERTIES.RESIZEWINDOW = static_cast<uint8_t>(WindowOption(kDynamicSizing));
  if (IsBound()) LoadImages();
}

void ZOVRestyleClass::LoadImages() {
  const std::string profile = REFCURRENTPROFILE ? platform::Clip(REFCURRENTPROFILE->view()) : "";
  const std::string settings = "~" + profile + ":Images";
  platform::ClearRecord(ImagePropertyGroup::Layout(), &IMAGEPROPERTYGROUP);
  int32_t set = GetConditionSetId(/*global=*/0, /*follow_switch=*/0, kImagesGroup);
  const bool own = set != 0 && LoadGroup(IMAGEPROPERTYGROUP, set, settings) == 1 &&
                   IMAGEPROPERTYGROUP.CHANGEIMAGESETTINGS != 0;
  if (!own) {
    platform::ClearRecord(ImagePropertyGroup::Layout(), &IMAGEPROPERTYGROUP);
    set = GetConditionSetId(/*global=*/1, /*follow_switch=*/0, kImagesGroup);
    if (set != 0) static_cast<void>(LoadGroup(IMAGEPROPERTYGROUP, set, settings));
  }
  if (IMAGEPROPERTYGROUP.DONOTUSEIMAGES != 0 || OVERRIDEDONOTADDIMAGES != 0) return;
  platform::Queue<ImageQueueRecord>& images = *IMAGEQUEUE;
  const platform::QueueKey by_order = {images.Asc(&ImageQueueRecord::IMAGEORDER)};
  if (!own && IMAGEPROPERTYGROUP.NUMBEROFIMAGES == 0) {
    if (STYLEMANAGER == nullptr) return;
    const platform::Queue<ImageQueueRecord>& defaults = STYLEMANAGER->DefaultImages();
    for (size_t i = 1; i <= defaults.Records(); ++i) {
      images.buffer = defaults.entry(i);
      images.Add();
    }
    return;
  }
  if (set == 0) return;
  for (int n = 1; n <= IMAGEPROPERTYGROUP.NUMBEROFIMAGES; ++n) {
    images.ClearBuffer();
    if (LoadQueue(images, set, "~" + profile + ":Image " + std::to_string(n)) == 1) {
      images.AddByKey(by_order);
    }
  }
}

void ZOVRestyleClass::Unregister() {
  if (STYLEMANAGER != nullptr) STYLEMANAGER->UnregisterRestyle(*this);
  listed_ = false;
}

}  // namespace restyle
