#include "history/StepLabels.h"

#include "panel/PanelLayout.h"

std::string steplabel::Slider(int sliderId) {
    using namespace panel;
    switch (sliderId) {
        case kShininess:
            return "Shininess";
        case kTransparency:
            return "Transparency";
        case kAmbientRed:
            return "Ambient red";
        case kAmbientGreen:
            return "Ambient green";
        case kAmbientBlue:
            return "Ambient blue";
        case kDiffuseRed:
            return "Diffuse red";
        case kDiffuseGreen:
            return "Diffuse green";
        case kDiffuseBlue:
            return "Diffuse blue";
        case kSpecularRed:
            return "Specular red";
        case kSpecularGreen:
            return "Specular green";
        case kSpecularBlue:
            return "Specular blue";
        case kLightRed:
            return "Light red";
        case kLightGreen:
            return "Light green";
        case kLightBlue:
            return "Light blue";
        default:
            return "";
    }
}

std::string UndoItemText(const std::string& stepName) {
    return stepName.empty() ? "&Undo" : "&Undo " + stepName;
}

std::string RedoItemText(const std::string& stepName) {
    return stepName.empty() ? "&Redo" : "&Redo " + stepName;
}
