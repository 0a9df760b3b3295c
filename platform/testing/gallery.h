// Sample windows with every control type the window model has, written as the program's own
// windows are: a frame with menus, two MDI children (a connection form and a list of tables
// over a queue) and a plain options window with nested sheets. The offscreen tests drive
// them, and the gallery program shows them for scripts/screenshot.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/ui/structure.h"
#include "platform/ui/thread.h"

namespace platform::testing::gallery {

using namespace platform::ui;  // the window structures read as the program's do

inline constexpr KeyCode kDeleteKey = 0x2E;

inline constexpr ControlDecl kFrameControls[] = {
    Menubar(),
    Menu("?FileMenu", "&File"),
    Item("?FileNew", "&New connection\tF2", "?FileMenu")
        .Key(kF2Key)
        .Msg("Opens another connection window")
        .Icon("~ZOVMenuItem.ico"),
    Item("?FileOptions", "&Options...\tF3", "?FileMenu")
        .Key(kF3Key)
        .Msg("Changes the options")
        .Icon("~ZOVConfigProperties.ico"),
    Item("?FileTables", "&Tables\tF4", "?FileMenu")
        .Key(kF4Key)
        .Msg("Shows the tables")
        .Icon("~ZOVConfigRestyle.ico"),
    Item("?FileWallpaper", "&Wallpaper", "?FileMenu").Msg("Shows a tiled wallpaper"),
    Separator("?FileMenu"),
    Item("?FileExit", "E&xit\tAlt+F4", "?FileMenu")
        .Std(StdAction::kClose)
        .Msg("Ends the program")
        .Icon("~ZOVClose.ico"),
    Menu("?EditMenu", "&Edit"),
    Item("?EditUndo", "&Undo", "?EditMenu").Disabled(),
    Separator("?EditMenu"),
    Item("?EditCut", "Cu&t", "?EditMenu").Std(StdAction::kCut),
    Item("?EditCopy", "&Copy", "?EditMenu").Std(StdAction::kCopy),
    Item("?EditPaste", "&Paste", "?EditMenu").Std(StdAction::kPaste),
    Menu("?WindowMenu", "&Window"),
    Item("?WindowTile", "&Tile", "?WindowMenu").Std(StdAction::kTile),
    Item("?WindowCascade", "&Cascade", "?WindowMenu").Std(StdAction::kCascade),
    Item("?WindowArrange", "&Arrange icons", "?WindowMenu").Std(StdAction::kArrange),
    Separator("?WindowMenu"),
    Item("?WindowList", "&Windows", "?WindowMenu").Std(StdAction::kWindowList),
    Menu("?HelpMenu", "&Help"),
    Item("?HelpAbout", "&About...", "?HelpMenu").Msg("Who made this program").Icon("~ZOVAbout.ico"),
};
inline constexpr WindowStructure kFrameWindow{"gallery$frame",    "AppFrame",
                                              WindowKind::kFrame, "Pexolind gallery",
                                              {0, 0, 480, 300},   kFrameControls};

inline constexpr ControlDecl kConnectionControls[] = {
    Prompt("?Source:Prompt", "&Data source:", {8, 10, 56, 10}),
    Decl(ControlType::kDropList, "?Source", {}, {68, 8, 140, 12})
        .From("Sample (SQLite)|Orders (PostgreSQL)|Archive"),
    Prompt("?Username:Prompt", "&User name:", {8, 28, 56, 10}),
    Entry("?Username", {68, 26, 140, 12}).Picture("@s40").Msg("The user to connect as"),
    Prompt("?Password:Prompt", "&Password:", {8, 46, 56, 10}),
    Entry("?Password", {68, 44, 140, 12}).Picture("@s40").Attrs(kAttrPassword),
    Prompt("?Driver:Prompt", "Dri&ver:", {8, 64, 56, 10}),
    // Rarely changed, so the tab key passes it by.
    Decl(ControlType::kDropCombo, "?Driver", {}, {68, 62, 140, 12}).Skip(),
    Check("?SavePassword", "&Save the password", {68, 80, 140, 10}),
    Button("?ConnectButton", "&Connect", {98, 100, 52, 14}).Default(),
    Button("?CancelButton", "Cancel", {156, 100, 52, 14}).Std(StdAction::kClose),
};
inline constexpr WindowStructure kConnectionWindow{"gallery$connect",     "P1$WINDOW",
                                                   WindowKind::kMdiChild, "Connection",
                                                   {4, 4, 216, 122},      kConnectionControls};

inline constexpr ControlDecl kTablesControls[] = {
    Prompt("?TableList:Prompt", "&Tables:", {8, 6, 60, 10}),
    String("?Count", "", {160, 6, 60, 10}).Attrs(kAttrNone),
    List("?TableList", {8, 18, 212, 96})
        .Format("60L(2)|M~Owner~@s40@80L(2)|M~Table~@s60@40R(2)~Rows~@n9@0L~Id~@n5@")
        .Alrt(kMouseLeft2)
        .Alrt(kMouseLeftUp)
        .Alrt(kDeleteKey)
        .Attrs(kAttrMark | kAttrVScroll),
    // Edits a table's name in place, over its cell, after a double click.
    Entry("?CellEdit", {8, 18, 80, 10}).Picture("@s60").Hidden(),
    Button("?RefreshButton", "&Refresh", {112, 120, 52, 14}),
    Button("?CloseButton", "&Close", {168, 120, 52, 14}).Std(StdAction::kClose),
};
inline constexpr WindowStructure kTablesWindow{"gallery$tables",      "P2$WINDOW",
                                               WindowKind::kMdiChild, "Tables",
                                               {232, 40, 228, 142},   kTablesControls};

inline constexpr ControlDecl kOptionsControls[] = {
    Sheet("?Sheet", {6, 6, 228, 142}),
    Tab("?GeneralTab", "&General", "?Sheet"),
    Prompt("?RowCount:Prompt", "&Rows to read:", {16, 28, 64, 10}).Parent("?GeneralTab"),
    Spin("?RowCount", {84, 26, 50, 12}).Parent("?GeneralTab"),
    Prompt("?Month:Prompt", "&Month:", {16, 46, 64, 10}).Parent("?GeneralTab"),
    Spin("?Month", {84, 44, 80, 12})
        .From("January|February|March|April|May|June")
        .Parent("?GeneralTab"),
    Prompt("?Notes:Prompt", "&Notes:", {16, 64, 64, 10}).Parent("?GeneralTab"),
    TextBox("?Notes", {84, 62, 136, 44}).Parent("?GeneralTab"),
    Check("?Quote", "&Quote names in SQL", {84, 112, 136, 10}).Parent("?GeneralTab"),
    Tab("?LayoutTab", "&Layout", "?Sheet"),
    Sheet("?InnerSheet", {14, 26, 212, 112}).Parent("?LayoutTab"),
    Tab("?InnerFirst", "&First", "?InnerSheet"),
    Prompt("?Indent:Prompt", "&Indent:", {24, 48, 56, 10}).Parent("?InnerFirst"),
    Entry("?Indent", {84, 46, 40, 12}).Picture("@n3").Parent("?InnerFirst"),
    Option("?Align", "Alignment", {24, 66, 192, 34}).Parent("?InnerFirst"),
    Radio("?AlignLeft", "L&eft", {32, 80, 50, 10}, "?Align").Value("L"),
    Radio("?AlignRight", "Ri&ght", {90, 80, 50, 10}, "?Align").Value("R"),
    Tab("?InnerSecond", "&Second", "?InnerSheet"),
    Prompt("?Width:Prompt", "&Width:", {24, 48, 56, 10}).Parent("?InnerSecond"),
    Entry("?Width", {84, 46, 40, 12}).Picture("@n3").Parent("?InnerSecond"),
    Prompt("?Separator:Prompt", "Se&parator:", {24, 66, 56, 10}).Parent("?InnerSecond"),
    Combo("?Separator", {84, 64, 80, 12})
        .Picture("@s20")
        .From("Comma|Semicolon|Tab|Blank")
        .Parent("?InnerSecond"),
    Tab("?LooksTab", "L&ooks", "?Sheet"),
    Decl(ControlType::kImage, "?Logo", "~logo.png", {16, 28, 48, 48}).Parent("?LooksTab"),
    Decl(ControlType::kBox, "?ColourBox", {}, {76, 28, 60, 24}).Parent("?LooksTab"),
    Decl(ControlType::kPanel, "?Panel", {}, {148, 28, 72, 48}).Parent("?LooksTab"),
    String("?Panel:Text", "Sunken panel", {152, 46, 64, 10}).Parent("?LooksTab"),
    Prompt("?Progress:Prompt", "Progress:", {16, 90, 48, 10}).Parent("?LooksTab"),
    Decl(ControlType::kProgress, "?Progress", {}, {76, 90, 144, 10}).Parent("?LooksTab"),
    // Pages that the program turns: a sheet without its tab strip.
    Sheet("?Pages", {16, 108, 204, 32}).NoSheet().Parent("?LooksTab"),
    Tab("?PageOne", "Page one", "?Pages"),
    String("?PageOne:Text", "A sheet without tabs: the program turns its pages.",
           {24, 119, 188, 10})
        .Parent("?PageOne"),
    Tab("?PageTwo", "Page two", "?Pages"),
    String("?PageTwo:Text", "Its second page.", {24, 119, 188, 10}).Parent("?PageTwo"),
    Tab("?HiddenTab", "Hidden", "?Sheet").Hidden(),
    Button("?OkButton", "OK", {126, 154, 52, 14}).Default().Std(StdAction::kClose),
    Button("?CancelButton", "Cancel", {182, 154, 52, 14}).Std(StdAction::kClose),
    // An object with no face of its own: no widget, nothing on the form.
    Ole("?Agent", "Agent.Control.2", {0, 0, 0, 0}).Hidden().Skip(),
};
inline constexpr WindowStructure kOptionsWindow{"gallery$options",  "P3$WINDOW",
                                                WindowKind::kPlain, "Options",
                                                {0, 0, 240, 174},   kOptionsControls};

// A window on a tiled wallpaper ("~tile.png"), with a flat button over a picture.
inline constexpr ControlDecl kWallpaperControls[] = {
    String("?Caption", "Controls over a tiled wallpaper", {10, 8, 160, 10}),
    Prompt("?Name:Prompt", "&Name:", {10, 26, 40, 10}),
    Entry("?Name", {54, 24, 110, 12}).Picture("@s40"),
    Decl(ControlType::kImage, "?Brand", "~ZOVLogo.png", {10, 46, 40, 30}),
    Button("?FlatButton", "", {10, 46, 40, 30}),
    Button("?CloseButton", "&Close", {122, 62, 52, 14}).Std(StdAction::kClose),
};
inline constexpr WindowStructure kWallpaperWindow{"gallery$wallpaper", "P4$WINDOW",
                                                  WindowKind::kPlain,  "Wallpaper",
                                                  {40, 40, 184, 84},   kWallpaperControls};

// Every event a gallery window's loop delivers, as "<window> <event>@<field>" and what the
// window adds (the entry's variable, the list's choice and marks, the key code). Tests set
// it; it is called on the runtime threads with the runtime lock held. Empty removes it.
void SetEventLog(std::function<void(std::string)> log);

// The tables the tables window lists; 0 keeps the default (120). For the long-list test.
void SetTableRows(int32_t rows);

// The window procedures. Each runs its window on the calling runtime thread until it closes.
void ConnectionProcedure();
void TablesProcedure();
void OptionsProcedure();
void WallpaperProcedure();
// The frame: opens it, starts `children` each on a thread of its own, and runs it; its menu
// opens more windows. The gallery program runs it with every child.
void FrameProcedure(std::vector<Procedure> children);
void GalleryMain();

}  // namespace platform::testing::gallery
