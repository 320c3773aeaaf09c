// The program's command identifiers: menu items, toolbar buttons and their texts share them.
#pragma once

namespace cmd {
constexpr int kImport3ds = 32771;
constexpr int kPlay = 32773;
constexpr int kLineMode = 32774;
constexpr int kVertexMode = 32775;
constexpr int kFlatMode = 32776;
constexpr int kSmoothMode = 32777;
constexpr int kDefaultViewPoint = 32778;
constexpr int kShowGrid = 32782;
constexpr int kShowHidePanel = 32786;
constexpr int kTopView = 32792;
constexpr int kCameraView = 32798;
constexpr int kSetTextFont = 32800;
constexpr int kShowText = 32801;
constexpr int kOpen = 32802;
constexpr int kSave = 32803;
constexpr int kSaveAs = 32804;
constexpr int kNew = 32806;
constexpr int kShowPanel = 32807;
constexpr int kNewButton = 32811;
constexpr int kShowLight = 32812;
constexpr int kShowBox = 32813;
constexpr int kResetViewpoint = 32815;
constexpr int kSimplifyWhileMoving = 32816;
constexpr int kShowTextures = 32817;
constexpr int kExport = 32818;
constexpr int kFitWholeScene = 32819;
constexpr int kHideObject = 32820;
constexpr int kShowAllObjects = 32821;
constexpr int kUpAxisPlusZ = 32822;
constexpr int kUpAxisPlusY = 32823;
constexpr int kUpAxisMinusY = 32824;
constexpr int kUpAxisPlusX = 32825;
constexpr int kUpAxisMinusX = 32826;
constexpr int kSavePicture = 32827;
constexpr int kUndo = 57643;
constexpr int kRedo = 57644;
constexpr int kAppAbout = 57664;
constexpr int kAppExit = 57665;
constexpr int kHelp = 57670;
}  // namespace cmd
