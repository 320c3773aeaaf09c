// What each kind of edit is called in the Edit menu ("Undo Diffuse red"), and the Edit menu's
// item texts.
#pragma once

#include <string>

namespace steplabel {
constexpr char kApplyMaterial[] = "Apply material";
constexpr char kSmoothFlat[] = "Smooth/Flat";
constexpr char kLightOnOff[] = "Light On/Off";
constexpr char kCurrentCamera[] = "Current camera";
constexpr char kNoteText[] = "Note text";
constexpr char kNoteColor[] = "Note color";
constexpr char kNotePosition[] = "Note position";
constexpr char kLabelFont[] = "Label font";
constexpr char kBackground[] = "Background color";
constexpr char kCameraLens[] = "Camera lens";
constexpr char kCameraPosition[] = "Camera position";
constexpr char kFitWholeScene[] = "Fit whole scene";
constexpr char kHideObject[] = "Hide object";
constexpr char kShowAllObjects[] = "Show all objects";
constexpr char kUpAxis[] = "Up axis";

// The name of a panel slider's edit ("Diffuse red", "Light blue", "Shininess"); "" for an id
// that is no slider.
std::string Slider(int sliderId);
}  // namespace steplabel

// "&Undo NAME" and "&Redo NAME"; "&Undo" and "&Redo" alone when there is no step.
std::string UndoItemText(const std::string& stepName);
std::string RedoItemText(const std::string& stepName);
