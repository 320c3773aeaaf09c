#include "commands/CommandTexts.h"

#include <map>

#include "commands/BuildInfo.h"
#include "commands/CommandIds.h"

CommandText TextOfCommand(int id) {
    static const std::map<int, CommandText> texts = {
        {cmd::kNewButton, {"Create new Zmv File", "Create new Zmv File"}},
        {cmd::kOpen, {"Open an existing document", "Open"}},
        {cmd::kSave, {"Save the active document", "Save"}},
        {cmd::kSaveAs, {"Save the active document with a new name", "Save As"}},
        {cmd::kPlay, {"Start or stop play scene", "Start or stop play scene"}},
        {cmd::kVertexMode, {"Vertex mode", "Vertex mode"}},
        {cmd::kLineMode, {"Line mode", "Line mode"}},
        {cmd::kFlatMode, {"Flat mode", "Flat mode"}},
        {cmd::kSmoothMode, {"Smooth mode", "Smooth mode"}},
        {cmd::kShowGrid, {"Show or hide grid", "Show or hide grid"}},
        {cmd::kShowLight, {"Show or hide light", "Show or hide light"}},
        {cmd::kShowBox, {"Show or hide object box", "Show or hide object box"}},
        {cmd::kShowTextures, {"Show or hide texture maps", "Show or hide textures"}},
        {cmd::kDefaultViewPoint, {"Default camera view point", "Default camera view point"}},
        {cmd::kTopView, {"Top view", "Top view"}},
        {cmd::kCameraView, {"Camera view", "Camera view"}},
        {cmd::kResetViewpoint, {"Reset viewpoint", "Reset viewpoint"}},
        {cmd::kFitWholeScene,
         {"Bring the whole scene into view from where the eye looks", "Fit whole scene"}},
        {cmd::kHideObject, {"Hide the current object", ""}},
        {cmd::kShowAllObjects, {"Show every hidden object again", ""}},
        {cmd::kUpAxisPlusZ, {"Stand the model's +Z axis up", ""}},
        {cmd::kUpAxisPlusY, {"Stand the model's +Y axis up", ""}},
        {cmd::kUpAxisMinusY, {"Stand the model's -Y axis up", ""}},
        {cmd::kUpAxisPlusX, {"Stand the model's +X axis up", ""}},
        {cmd::kUpAxisMinusX, {"Stand the model's -X axis up", ""}},
        {cmd::kSavePicture, {"Save the view as a picture", ""}},
        {cmd::kSetTextFont, {"Set text font", "Set text font"}},
        {cmd::kSimplifyWhileMoving,
         {"Draw lighter copies of large scenes while the view moves", "Simplify while moving"}},
        {cmd::kShowText, {"Show Object text", "Show Object text"}},
        {cmd::kShowPanel, {"Show or hide Set Object Dialog", "Show or hide Set Object Dialog"}},
        {cmd::kShowHidePanel, {"Show or hide object dialog", "Show or hide object dialog"}},
        {cmd::kAppAbout, {"Display program information, version number and copyright", "About"}},
        {cmd::kImport3ds, {"Import 3DS file", ""}},
        {cmd::kExport, {"Export the scene to a file in another format", ""}},
        {cmd::kAppExit, {"Quit the application; prompts to save documents", "Exit"}},
        {cmd::kHelp, {"Help", ""}},
        {cmd::kUndo, {"Undo the last action", "Undo"}},
        {cmd::kRedo, {"Redo the previously undone action", "Redo"}},
    };
    const auto it = texts.find(id);
    return it == texts.end() ? CommandText{} : it->second;
}

const std::vector<int>& ToolbarLayout() {
    static const std::vector<int> layout = {cmd::kNewButton,
                                            cmd::kOpen,
                                            cmd::kSave,
                                            cmd::kSaveAs,
                                            0,
                                            cmd::kPlay,
                                            0,
                                            cmd::kVertexMode,
                                            cmd::kLineMode,
                                            cmd::kFlatMode,
                                            cmd::kSmoothMode,
                                            0,
                                            cmd::kShowGrid,
                                            cmd::kShowLight,
                                            cmd::kShowBox,
                                            cmd::kShowTextures,
                                            0,
                                            cmd::kDefaultViewPoint,
                                            cmd::kTopView,
                                            cmd::kCameraView,
                                            cmd::kResetViewpoint,
                                            cmd::kFitWholeScene,
                                            0,
                                            cmd::kSetTextFont,
                                            cmd::kShowText,
                                            cmd::kShowPanel,
                                            0,
                                            cmd::kAppAbout};
    return layout;
}

const std::vector<Menu>& MainMenu() {
    // Every item has its underlined letter; a key after the tab is the item's shortcut. The
    // view's own keys (letters, comma, period, arrows, Tab) act with Ctrl and Shift held too, so
    // no shortcut here uses one of those letters.
    static const std::vector<Menu> menu = {
        {"&File",
         {{cmd::kNew, "&New\tCtrl+N"},
          {cmd::kOpen, "&Open... \tCtrl+O"},
          {cmd::kSave, "&Save\tCtrl+S"},
          {cmd::kSaveAs, "Save &As..."},
          {cmd::kImport3ds, "&Import 3DS file..."},
          {cmd::kExport, "&Export...\tCtrl+Shift+E"},
          {cmd::kSavePicture, "Save &picture...\tCtrl+Shift+S"},
          {0, ""},
          {cmd::kAppExit, "E&xit"}}},
        {"&View",
         {{cmd::kDefaultViewPoint, "&Default camera view point\tCtrl+D"},
          {cmd::kFitWholeScene, "Fit &whole scene\tCtrl+0"},
          {cmd::kHideObject, "H&ide object\tCtrl+K"},
          {cmd::kShowAllObjects, "Show &all objects\tCtrl+Shift+K"},
          {cmd::kUpAxisPlusZ, "+&Z", "&Up axis"},
          {cmd::kUpAxisPlusY, "+&Y", "&Up axis"},
          {cmd::kUpAxisMinusY, "-&Y", "&Up axis"},
          {cmd::kUpAxisPlusX, "+&X", "&Up axis"},
          {cmd::kUpAxisMinusX, "-&X", "&Up axis"},
          {cmd::kShowPanel, "&Set Object Dialog\tCtrl+H"},
          {cmd::kSetTextFont, "Set text &font...\tCtrl+J"},
          {cmd::kShowTextures, "&Textures\tCtrl+E"},
          {cmd::kSimplifyWhileMoving, "Si&mplify while moving"}}},
        {"&Help", {{cmd::kAppAbout, "&About Zemvora..."}, {cmd::kHelp, "&Help\tF1"}}},
    };
    return menu;
}

std::string MenuItemKey(const std::string& itemText) {
    const size_t tab = itemText.find('\t');
    return tab == std::string::npos ? std::string() : itemText.substr(tab + 1);
}

std::string HelpPagePath(const std::string& programFolder) {
    return programFolder + "/help/index.htm";
}

std::string InstalledHelpPagePath(const std::string& programFolder) {
    const std::string data = buildinfo::kInstalledDataFolder;
    return HelpPagePath(data.front() == '/' ? data : programFolder + "/" + data);
}
