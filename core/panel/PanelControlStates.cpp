#include "panel/PanelControlStates.h"

#include "panel/PanelLayout.h"
#include "panel/SliderMapping.h"

namespace panel {

bool HasRecordFor(int id, const SelectedRecords& records) {
    if (IsMaterialSlider(id)) return records.material;
    if (IsLightSlider(id)) return records.light;
    switch (id) {
        case kSmoothFlat:
        case kSetColor:
        case kApplyNote:
            return records.object;
        case kLightOnOff:
            return records.light;
        case kApplyMaterial:
            return records.object && records.material;
        default:
            return true;
    }
}

}  // namespace panel
