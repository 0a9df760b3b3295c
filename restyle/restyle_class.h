// ZOVRestyleClass: the per-window restyle object. Every window procedure creates one, asks
// it whether the procedure may start, registers its window and controls with it, attaches
// the window, and hands it every event first (after the assistant):
//
//   ZOVRestyleClass restyle;
//   if (restyle.Init(style_manager, "Pexolind") == 1) return;   // the limit is reached
//   window.Open();
//   restyle.AddControl(0, 0, "Window", "Window");
//   restyle.AddControl(field, 0, "?TableList", "?TableList");
//   restyle.SetWindow(window, 1);                               // listed from here on
//
// The object keeps the unstyled look of every registered control, the window's initial
// geometry and its window options, and it is listed in the style manager's registry from
// SetWindow until it is destroyed, so it must be destroyed before its window closes.
//
// The tree-menu windows and the end of configure-directly mode stand in until they are built:
// they report each call to the call trace, whose observer may answer otherwise in tests. Every
// operation requires the runtime lock; a fade by opacity, and waiting for a tree-menu thread
// to end, let other threads run meanwhile.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "platform/core/fixed_string.h"
#include "platform/core/queue.h"
#include "platform/ui/forward.h"
#include "restyle/property_table.h"
#include "restyle/restyle_base.h"
#include "restyle/restyle_queues.h"
#include "restyle/restyle_registry.h"
#include "restyle/stored_shapes.h"

namespace platform::ui {
class Window;
}

namespace restyle {

// The state of configure-directly mode.
struct ConfigureDirectlyGroup {
  platform::ui::ThreadId THREAD = 0;  // 0: the mode is off
  int16_t XPOS = 0;
  int16_t YPOS = 0;
  int32_t ACTIVECONTROLEQUATE = 0;
  uint16_t RESTORETIMER = 0;
  uint8_t WINDOWIMM = 0;
  CString<255> WINDOWTEXT;
};

// The window options.
struct StylePropertiesGroup {
  int32_t CONFIGUREHOTKEY = 0;  // not used: the style manager's is
  uint8_t ENABLEMENUTREE = 0;
  uint8_t DISABLERESTYLE = 0;
  uint8_t MARKSELECTEDCONTROLACTIVE = 0;
  uint8_t MARKSELECTEDCONTROLCONFIGURATION = 0;
  int32_t MARKSELECTEDCONTROLCOLOR = 0;      // a stored colour: -1 none
  int32_t MARKSELECTEDCONTROLSYMBOL = 0;     // a character code; 0: the arrow
  CString<512> MENUOPENICON;                 // not used
  CString<512> MENUCLOSEICON;                // not used
  int16_t MESSAGEBOXUSEBACKGROUNDCOLOR = 0;  // not used, nor the three below
  int16_t MESSAGEBOXUSEIMAGES = 0;
  int16_t MESSAGEBOXUSETEXTCOLOR = 0;
  int16_t MESSAGEBOXUSEWALLPAPER = 0;
  uint8_t NUMBEROFIMAGES = 0;  // not used
  uint8_t RESIZEWINDOW = 0;
  uint8_t CENTERCONTROLS = 0;
  uint8_t AUTOMAXIMIZE = 0;
  uint8_t WINDOWCHECKPOSITION = 0;
  int16_t WINDOWROUNDNESS = 0;
  uint8_t WINDOWSAVEPOSITION = 0;
};

// The user events of the tree-menu thread: its window ends; the structure was built anew.
inline constexpr platform::ui::EventId kEventEndMenuTree = 0x501;
inline constexpr platform::ui::EventId kEventMenuStructureBuilt = 0x505;

// The tree-menu thread's entry, started by StartMenuTree with the menu look value and the
// decimal address of the restyle object, which waits for the thread to end before it goes:
// the XP look's window when the look begins with "1", else the internal look's.
void MenuTreeThread(std::string_view look, std::string_view address);

class ZOVRestyleClass : public ZOVRestyleBaseClass {
 public:
  // Creates the eleven queues.
  ZOVRestyleClass();
  // Ends the tree-menu thread this object started and waits for it (its window saves its
  // settings while the files are open), leaves the registry when still listed, then disposes
  // the queues in the order they were made.
  ~ZOVRestyleClass() override;

  // The values every creator of a restyle object gives it before anything else (a window
  // procedure, the styled message window): the tree menu's font size and colours.
  void SetCreatorsInitialValues();
  // Binds the object to the style manager (borrowed; it outlives this object) and answers 1
  // when the procedure may not start: "Limit procedure start" allows no further window of
  // it, and the first one open has been activated. Else 0. Called before the window opens.
  int32_t Init(RestyleRegistry& manager, std::string_view procedure_name);
  // Registers a control (field 0: the window) with its equate text and description and
  // takes its snapshot; a field already registered keeps its first. `flag` is not used.
  void AddControl(platform::ui::FieldId field, int32_t flag, std::string_view equate,
                  std::string_view description);
  // Registers an entry of the frame's menu for the tree menu: kind 0 stays in the menu bar
  // only, 1 goes to the tree and leaves the bar, 2 goes to neither, any other (the frame's 3)
  // to both. Appended: an entry registered twice keeps its first row.
  void AddMenuItem(platform::ui::FieldId field, int32_t kind);
  // Adds menu entry `field` at `level` to MENUSTRUCTUREQUEUE, then its children (at most 255)
  // one level deeper, hiding in the frame's menu bar what its kind hides. An entry hidden at
  // the first build, or hidden and not registered, stays out with its children.
  void AddMenuStructureItem(platform::ui::FieldId field, uint8_t level);
  // Reads the menu look value (custom property -10) into the tree menu's fields, fills the
  // structure from the frame's menu (top-level entries in menu-bar order) and starts the
  // tree-menu thread when the structure has rows and no tree runs. MENUBUILD is 1 after it.
  void StartMenuTree(std::string_view look);
  // Attaches the open window (borrowed; it outlives this object), reads the window options,
  // enters the registry, keeps the initial geometry and styles the window. `selection` 0
  // styles only the registered controls in the first pass, else all.
  void SetWindow(platform::ui::Window& window, uint8_t selection);
  // Reads the window options and the window's images from the restyle files. Opening a
  // window creates the procedure's "~Images~" set when it has none.
  void LoadWindowOptions();
  // Leaves the style manager's registry; nothing before Init.
  void Unregister();

  // Whether a value of custom or runtime property `property` applies to `control` through an
  // "-Unconditional-" set: of the control itself, else of its control type (`type`, or the
  // control's Type with `read_type` 1) in the procedure, else in "~Global settings". The
  // value found goes to `value` (cleared first), never to a buffer others share. Creates no
  // set.
  uint8_t GetPropertyValue(platform::ui::FieldId control, int32_t property, int32_t type,
                           uint8_t read_type, ControlPropertyGroup& value);

  // One styling pass: the window options read again when `reload` is 1 and `keep` 0, the
  // window sized, every control styled level by level and set by set, and placed; with
  // styling off, the look of the registered controls restored from their snapshots.
  void Restyle(uint8_t reload, uint8_t keep);
  // 0 when "No property styling for this controltype" holds a value that is not blank for
  // `control` (type read from it); else 1.
  uint8_t IsStylingAllowed(platform::ui::FieldId control);
  // Fills CONDITIONQUEUE with the conditions of `set_id` in CONDITIONALID order.
  void LoadConditions(int32_t set_id);

  // Places and sizes one control for the current scale (RATIO) from its geometry record
  // (a RESIZEQUEUE entry, or the pass's copy carrying a styled face and size) shifted by the
  // images' room and the centring offset (cx, cy), by its resize strategy (custom property
  // -17). Its font returns to the record's at RATIO 1.0, else an unscalable face becomes
  // "Arial" and the record's size is scaled; a list's or combo's columns follow a change of
  // RATIO from PREVIOUSRATIO. Widths and heights never go below 0.
  void ResizeControl(platform::ui::FieldId control, const ResizeRecord& initial, int16_t cx,
                     int16_t cy);
  // Sets the columns of list or combo `control` to the widths they had when the window was
  // attached times `ratio` (1.0 gives them back). Nothing for a control without recorded
  // columns.
  void SetColumnWidths(platform::ui::FieldId control, double ratio);
  // Shows the mark of the selected control when MARKSELECTEDCONTROLACTIVE is set: made once
  // (MARKSELECTEDCONTROLEQUATE) as a STRING of "»", "«" or the symbol's character in the
  // mark's colour, or as a BOX filled with it, as MARKSELECTEDCONTROLCONFIGURATION says; then
  // shown out of sight at (-999, -999) with its size, until a control is selected.
  void MarkControl();
  // Creates, places and shows the window's images, or removes them when images or styling
  // are off.
  void PlaceImages();
  // Moves the window back inside the application frame, or the desktop when there is none.
  void CheckWindowPosition();
  // Fades `window` in (`fade_in` 1) or out: by its opacity on its timer, in a second event
  // loop that takes only the timer's events, or by a square outline where opacity cannot be
  // shown. Every caller passes region mode 0, reserved 1, default end 1, end 0, default
  // start 1, start 0.
  void FadeWindow(platform::ui::Window& window, uint8_t fade_in, uint8_t region_mode,
                  uint8_t reserved, uint8_t default_end, uint8_t end, uint8_t default_start,
                  uint8_t start);
  // At the start of every styling pass: starts, refreshes or stops the tree menu, for the
  // application frame (Type 24) only. Stopping it gives the frame its menu bar back. A tree
  // still ending is waited for before a new one starts.
  void ApplyMenuTree();
  // The window's share of the current event (EVENT, FIELD, KEYCODE, MOUSEX, MOUSEY), on the
  // window's thread: answers 5 when it consumed the event, 0 when the window goes on with it.
  // In configure-directly mode it forwards the window's events to the mode's thread and keeps
  // them from the controls. Otherwise it opens the style configuration on the hot key, styles
  // the window again after a resize (deferred while a modal window or dialog is open), saves
  // the window's position and size and fades it out on close, and moves the mark to the
  // selected control.
  int32_t HandleEvent();
  // Ends configure-directly mode: the mode's thread is told (510h) and THREAD cleared.
  // TODO(configure directly): stands in for giving the window's title, Imm, Timer and
  // controls back.
  void EndConfigureDirectly();
  // Refreshes the rows of the tree menu while a tree runs: texts, icons and styles from the
  // frame's menu (it adds no rows; a row's expanded state stays), the tree window's list when
  // it has one, and 505h to the tree thread in the XP look.
  void BuildMenuStructure();
  // The tree-menu windows, on the tree-menu thread, until 501h or their own end.
  // TODO(tree-menu windows): both stand in with a window that records the events it gets.
  void XPMenuTreeWindow(std::string_view look);
  void InternalMenuTreeWindow(std::string_view look);

  // The style manager (borrowed), null until Init.
  RestyleRegistry* STYLEMANAGER = nullptr;
  // The style manager's property table, shared; null until Init.
  PropertyTableQueue* CLARIONCONTROLPROPERTIESQUEUE = nullptr;
  ConfigureDirectlyGroup CONFIGUREDIRECTLYONWINDOW;
  std::unique_ptr<platform::Queue<ConfigureMenuItemRecord>> CONFIGUREMENUSTRUCTUREQUEUE;
  std::unique_ptr<platform::Queue<ControlSnapshotRecord>> CONTROLPROPERTIESQUEUE;
  uint8_t CONTROLSELECTION = 0;
  uint8_t DONOTRESTYLETHISPROCEDURE = 0;  // 1: styling is suspended
  std::unique_ptr<platform::Queue<ImageButtonRecord>> IMAGEBUTTONQUEUE;
  std::unique_ptr<platform::Queue<ImageButtonRecord>> EXCLUDEMENUITEMQUEUE;  // nothing fills it
  uint8_t EXPANDMENUTREEAUTOMATICALLY = 0;
  int16_t FRAMEDX = 0;  // not used, nor FRAMEDY and IMAGEEQUATE
  int16_t FRAMEDY = 0;
  int32_t IMAGEEQUATE = 0;
  std::unique_ptr<platform::Queue<ImageEquateRecord>> IMAGEEQUATEQUEUE;
  std::unique_ptr<platform::Queue<ImageQueueRecord>> IMAGEQUEUE;
  ImagePropertyGroup IMAGEPROPERTYGROUP;
  // The tree menu. Colours are stored values (80000000h + n is system colour n, -1 none).
  uint8_t MENUBUILD = 0;
  int32_t MARKSELECTEDCONTROLEQUATE = 0;
  std::unique_ptr<platform::Queue<MenuStructureIconRecord>> MENUSTRUCTUREICONQUEUE;
  std::unique_ptr<platform::Queue<MenuStructureFontRecord>> MENUSTRUCTUREFONTQUEUE;
  std::unique_ptr<platform::Queue<MenuStructureRecord>> MENUSTRUCTUREQUEUE;
  uint8_t MENUTREEACTIVE = 0;  // not used
  int32_t MENUTREEACTIVEDMENUITEM = 0;
  platform::FixedString<100> MENUTREEDEFAULTICON;
  platform::FixedString<40> MENUTREEFONT;
  int32_t MENUTREEITEMHEIGHT = 0;
  int64_t MENUTREEITEMCOLOR = 0;
  int64_t MENUTREEITEMBACKGROUNDCOLOR = 0;
  int64_t MENUTREEITEMSELECTEDCOLOR = 0;
  int64_t MENUTREEITEMSELECTEDBACKGROUND = 0;
  uint8_t MENUTREELASTSTARTEDMENUITEMS = 0;
  int32_t MENUTREELIST = 0;
  platform::ui::ThreadId MENUTREETHREAD = 0;
  uint8_t MENUTREETRACKMOUSE = 0;                  // not used
  platform::ui::Window* MENUTREEWINDOW = nullptr;  // borrowed
  int16_t OLDWINDOWWIDTH = 0;
  int16_t OLDWINDOWHEIGHT = 0;
  // The window's size when attached, maximizing undone.
  int16_t ORGINALHEIGHT = 0;
  int16_t ORGINALWIDTH = 0;
  uint8_t OVERRIDEDONOTADDIMAGES = 0;  // 1 would suppress the window's images
  double PREVIOUSRATIO = 0;
  platform::ui::WindowHandle PROCEDUREHANDLE = 0;
  platform::ui::ThreadId PROCEDURETHREAD = 0;
  platform::ui::Window* PROCEDUREWINDOW = nullptr;  // borrowed, null until SetWindow
  std::unique_ptr<platform::Queue<TypePropertyRecord>> PROPERTIESQUEUE;
  double RATIO = 0;
  std::unique_ptr<platform::Queue<ResizeRecord>> RESIZEQUEUE;
  int16_t SHIFTXPOS = 0;
  int16_t SHIFTYPOS = 0;
  StylePropertiesGroup STYLEPROPERTIES;
  int16_t TOOLBARHEIGHT = 0;
  int32_t WINDOWAPISTYLE = 0;  // the platform has no style bits: always 0
  uint8_t WINDOWRESTYLED = 0;

 private:
  // The snapshot of `field` into CONTROLPROPERTIESQUEUE's buffer; false when not registered.
  bool FindSnapshot(platform::ui::FieldId field);
  void FillResizeQueue();
  // Keeps the column widths of `control` when it is a list or a combo, for SetColumnWidths.
  void RecordColumnWidths(platform::ui::FieldId control);
  void LoadImages();
  // The value of `property` for the window (control 0, type read from it) read as a number,
  // 0 when none applies.
  int64_t WindowOption(int32_t property);
  // Of the procedure's "~Images~" set, or of "~Global settings": the set's number (created
  // when missing), 0 when none could be made.
  int32_t ImagesSet(uint8_t global);

  // The styling pass (styling_pass.cpp and beside it).
  // Sizes the window for the pass; the centring offsets to `cx`, `cy`.
  void SizeWindow(int16_t width, int16_t height, int16_t& cx, int16_t& cy);
  // Styles `control` of type `type` at the three levels; `geometry` is the pass's record of
  // the control (null for the window), which takes a styled font and -16's geometry.
  void StyleControl(platform::ui::FieldId control, int32_t type, ResizeRecord* geometry);
  // Evaluates and applies `sets` (names and numbers), in their order.
  void EvaluateSets(const std::vector<std::pair<std::string, int32_t>>& sets,
                    platform::ui::FieldId control, int32_t type, ResizeRecord* geometry);
  // Whether every condition of the set, joined by its connectors, holds for `control`.
  bool ConditionsHold(platform::ui::FieldId control, int32_t set_id);
  // Applies the enabled values of the set listed for the control's type.
  void ApplySet(int32_t set_id, platform::ui::FieldId control, int32_t type,
                ResizeRecord* geometry);
  void ApplyFontLayout(platform::ui::FieldId control, std::string_view layout,
                       ResizeRecord* geometry);
  void ApplyPosition(platform::ui::FieldId control, std::string_view value, ResizeRecord* geometry);
  void ApplyImageOnControl(platform::ui::FieldId control, std::string_view value);
  // Whether step 16 of the pass leaves `field` alone, in either pass.
  bool SkippedInPass(platform::ui::FieldId field);
  // Styling off: the registered look back, the overlays removed, the scale 1.
  void Restoring();

  // The event handling (handle_event.cpp).
  int32_t HandleConfigureDirectlyEvent();
  void OpenConfiguration();
  void Resized();
  void DeferredResize();
  void SaveWindowPosition();
  void MoveMark(platform::ui::FieldId control);
  // The rows of the properties file for `type`, read once per pass.
  const std::vector<TypePropertyRow>& TypeProperties(int32_t type);

  // During a pass the store's answers are kept (pass_cache.cpp): the pass neither yields nor
  // writes the restyle files, so what it read once holds until it ends, and every control of
  // a type reads the same sets.
  void StartPassCache();
  void EndPassCache();
  // FindSetId, from the group's sets.
  int32_t PassSetId(bool global, std::string_view group, std::string_view set_name);
  // The sets LoadConditionSets(0, global, 0, group) finds, names and numbers in name order.
  const std::vector<std::pair<std::string, int32_t>>& PassSets(uint8_t global,
                                                               std::string_view group);
  // The conditions of a set, in CONDITIONALID order.
  const std::vector<ConditionQueueRecord>& PassConditions(int32_t set_id);
  // The value of `property` in the set when it loads whole and is ENABLED; else null.
  const ControlPropertyGroup* PassValue(int32_t set_id, std::string_view property);

  // The tree menu (menu_tree.cpp).
  friend void MenuTreeThread(std::string_view look, std::string_view address);
  // The text a row shows for menu entry `field`.
  std::string MenuItemText(platform::ui::FieldId field) const;
  // Takes what the row of entry row.CONTROLEQUATE shows from the frame's entry now (its
  // parent, standard action, text, whether it has children), keeping its level.
  void ReadMenuRow(MenuStructureRecord& row) const;
  // Every registered entry hidden for the tree gets its Hide of the first build back.
  void RestoreMenuBar();
  // No tree runs any more: the numbers are cleared and the frame gets its bar back.
  void ForgetMenuTree();
  // The tree thread `thread` has ended its window: the tree's state is cleared when it is
  // still the tree that runs, which then was not stopped and the bar comes back.
  void MenuTreeEnded(platform::ui::ThreadId thread);
  // Waits until the tree thread this object started has ended. Releases the runtime lock
  // meanwhile.
  void WaitForMenuTreeEnd();
  // The stand-in tree window of operation `name`.
  void RecordingTreeWindow(std::string_view name, std::string_view look);

  // The tree-menu thread this object started until it has ended, whether or not it is still
  // the style manager's MENUTREETHREAD; 0 when none.
  platform::ui::ThreadId running_tree_ = 0;
  bool listed_ = false;  // in the style manager's registry
  // The pass's own value group, so no other window's editor sees its loads.
  ControlPropertyGroup pass_value_;
  std::map<int32_t, std::vector<TypePropertyRow>> type_properties_;
  struct PassCache {
    bool active = false;
    std::map<std::pair<uint8_t, std::string>, std::vector<std::pair<std::string, int32_t>>> sets;
    std::map<int32_t, std::vector<ConditionQueueRecord>> conditions;
    std::map<std::pair<int32_t, std::string>, std::optional<ControlPropertyGroup>> values;
  };
  PassCache pass_cache_;
  // The overlays (-18) whose value applied in the current pass.
  std::unordered_set<int32_t> overlays_applied_;
  // The room for images that the window's restored geometry holds: what the pass added when
  // it last sized the window unmaximized.
  int16_t restored_room_x_ = 0;
  int16_t restored_room_y_ = 0;
  // The column widths of every list and combo when the window was attached, by field.
  std::map<platform::ui::FieldId, std::vector<int32_t>> column_widths_;
};

}  // namespace restyle
