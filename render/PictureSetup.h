// What a picture command does before it draws: it loads its scene and, once the input is read,
// gets ready to write its output (prepare: the output opened, the process restricted to what
// is left to do) and sets up its drawing. A model in another format is read by its import
// child, and the process reads nothing of it itself: it prepares as soon as the child has
// started and sets up its drawing while the child reads, a stand-in frame included, so that the
// driver has made its shaders by the time the scene comes.
#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

#include "HeadlessRender.h"
#include "HeadlessToolkit.h"
#include "cli/RenderOptions.h"
#include "scene/FileOutcome.h"

struct PictureSetup {
    FileOutcome outcome;    // the load's
    bool prepared = false;  // prepare said yes
    std::unique_ptr<HeadlessToolkit> toolkit;
    // Null with error when no context could be made; else drawing scene in view, which is
    // RenderViewState of the options and the scene.
    std::unique_ptr<HeadlessPictures> pictures;
    std::string error;
};

// Loads options.file into scene (messages on err) and sets up the pictures, as above; stops
// after a failed load or a prepare that said no. The setup's pictures hold scene and view.
PictureSetup SetUpPictures(const RenderOptions& options, Scene& scene, ViewState& view,
                           std::ostream& err, const std::function<bool()>& prepare);
