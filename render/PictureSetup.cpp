#include "PictureSetup.h"

#include "cli/CommandLine.h"

PictureSetup SetUpPictures(const RenderOptions& options, Scene& scene, ViewState& view,
                           std::ostream& err, const std::function<bool()>& prepare) {
    PictureSetup setup;
    const auto ready = [&] {
        setup.prepared = prepare();
        if (setup.prepared) setup.toolkit = std::make_unique<HeadlessToolkit>();
        return setup.prepared;
    };
    SceneLoad load(options.file, err);
    if (load.ReadInChild() && ready()) {
        setup.pictures =
            HeadlessPictures::Create(scene, view, options.width, options.height, setup.error);
        if (setup.pictures) setup.pictures->WarmUp(RenderViewState(options, scene));
    }
    setup.outcome = load.Finish(scene);
    if (!setup.outcome.ok || (!setup.prepared && !ready())) return setup;

    if (options.up) scene.m_settings.upAxis = *options.up;
    view = RenderViewState(options, scene);
    if (setup.pictures)
        setup.pictures->ViewReplaced();
    else
        setup.pictures =
            HeadlessPictures::Create(scene, view, options.width, options.height, setup.error);
    return setup;
}
