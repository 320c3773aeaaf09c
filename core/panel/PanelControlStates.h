// Which of the panel's sliders, buttons and check boxes have a record to work on. A control
// without one is disabled and shows nothing, so that nothing seems to edit what is not there.
#pragma once

namespace panel {

// The records the panel's controls may work on: the scene's current object and the panel's
// selected material and light.
struct SelectedRecords {
    bool object = false;
    bool material = false;
    bool light = false;
};

// Whether the control of a template id has what it works on. Controls that need no record (the
// font and background buttons, the trees, the note box, the camera list) always have.
bool HasRecordFor(int id, const SelectedRecords& records);

}  // namespace panel
