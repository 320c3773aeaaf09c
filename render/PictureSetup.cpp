#include "PictureSetup.h"

#include "cli/CommandLine.h"
#include "view/FrameBasis.h"

namespace {

// Whether the picture's view depends on the scene's settings and cameras alone, not on its
// objects, so that a frame can start before they are all in: one picture, not fitted to them.
bool DrawnAsItComes(const RenderOptions& options) {
    return options.turntable == 0 && !options.fit && !options.fitModels;
}

// The scene as the options stand it and the view they give of it.
void MakeReadyToDraw(const RenderOptions& options, Scene& scene, ViewState& view) {
    if (options.up) scene.m_settings.upAxis = *options.up;
    view = RenderViewState(options, scene);
}

// The context the pictures are drawn in; a single picture is drawn from the scene's own lists.
std::unique_ptr<HeadlessPictures> MakePictures(const RenderOptions& options, Scene& scene,
                                               ViewState& view, std::string& error) {
    std::unique_ptr<HeadlessPictures> pictures =
        HeadlessPictures::Create(scene, view, options.width, options.height, error);
    if (pictures && options.turntable == 0) pictures->DrawOnePicture();
    return pictures;
}

}  // namespace

PictureSetup SetUpPictures(const RenderOptions& options, Scene& scene, ViewState& view,
                           std::ostream& err, const std::function<bool()>& prepare) {
    PictureSetup setup;
    const auto ready = [&] {
        setup.prepared = prepare();
        if (setup.prepared) setup.toolkit = std::make_unique<HeadlessToolkit>();
        return setup.prepared;
    };
    SceneLoad load(options.file, err);
    std::vector<uint8_t> drawnBasis;  // of the scene the frame begun as it came draws
    if (load.ReadInChild() && ready()) {
        setup.pictures = MakePictures(options, scene, view, setup.error);
        if (setup.pictures) setup.pictures->WarmUp(RenderViewState(options, scene));
        // The objects are drawn as they come, while the child still reads, once it has said
        // what the scene will be.
        if (setup.pictures && DrawnAsItComes(options))
            load.ShowAsItComes(scene, [&](bool announced) {
                HeadlessPictures& pictures = *setup.pictures;
                if (!announced) return;
                if (!pictures.Coming()) {
                    // As the import will leave the scene once it is whole.
                    scene.m_strImageBase = options.file;
                    MakeFirstRecordsCurrent(scene);
                    MakeReadyToDraw(options, scene, view);
                    pictures.ViewReplaced();
                    drawnBasis = FrameBasis(scene);
                    pictures.BeginComing();
                }
                pictures.DrawComing();
            });
    }
    setup.outcome = load.Finish(scene);
    if (!setup.outcome.ok || (!setup.prepared && !ready())) return setup;

    ViewState whole;
    MakeReadyToDraw(options, scene, whole);
    // The frame begun goes on where the whole scene is the one it began to draw.
    if (setup.pictures && setup.pictures->Coming() && FrameBasis(scene) != drawnBasis)
        setup.pictures->DropComing();
    if (!setup.pictures || !setup.pictures->Coming()) view = whole;
    if (setup.pictures)
        setup.pictures->ViewReplaced();
    else
        setup.pictures = MakePictures(options, scene, view, setup.error);
    return setup;
}
