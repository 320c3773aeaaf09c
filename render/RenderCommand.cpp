#include "RenderCommand.h"

#include <ostream>

#include "HeadlessRender.h"
#include "PictureFile.h"
#include "PictureSetup.h"
#include "cli/CommandLine.h"
#include "cli/CommandSandbox.h"
#include "cli/ProgressLine.h"
#include "cli/RenderOptions.h"
#include "view/FitWholeScene.h"
#include "view/Turntable.h"

namespace {

int CannotWrite(std::ostream& err, const std::string& file, const std::string& reason) {
    err << "zemvora: can not write " << file << "\n" << reason << "\n";
    return kExitFileError;
}

// Frame k of N is the scene turned k / N of a whole turn, as play turns it, saved as PREFIX-k.png.
int RenderTurntable(const RenderOptions& options, Scene& scene, HeadlessPictures& pictures,
                    ViewState& view, std::ostream& err) {
    Turntable turntable(scene, view, options.turntable);
    const SteadyFrameClock clock;
    ProgressLine progress(err, options.turntable, clock);
    for (int k = 0; k < options.turntable; ++k) {
        turntable.GoToFrame(k);
        const std::string file = TurntableFrameFile(options.output, k, options.turntable);
        std::string reason;
        if (!SavePngPicture(pictures.Draw(), file, reason)) {
            progress.Finish();
            return CannotWrite(err, file, reason);
        }
        progress.Done(k + 1);
    }
    progress.Finish();
    return kExitOk;
}

}  // namespace

int RunRenderCommand(const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
    RenderOptions options;
    std::string error;
    if (!ParseRenderOptions(args, options, error)) {
        err << "zemvora: " << error << "\n";
        return kExitUsage;
    }
    Scene scene;
    ViewState view;
    // What is left once the input is read: drawing the scene and writing its pictures where the
    // output goes.
    const PictureSetup setup = SetUpPictures(options, scene, view, err, [&options] {
        RestrictAfterReading(options.file, {FolderOf(options.output)});
        return true;
    });
    if (!setup.outcome.ok) return ReportFileFailure(err, setup.outcome);
    HeadlessPictures* const pictures = setup.pictures.get();
    if (!pictures) {
        err << "zemvora: " << setup.error << "\n";
        return kExitFileError;
    }
    // The whole scene in the picture, however a turntable turns it.
    if (options.fit) FitWholeScene(scene, view, options.turntable > 0);
    if (options.turntable) return RenderTurntable(options, scene, *pictures, view, err);
    // A picture that is there stays whole until the new one is.
    if (!SavePngPicture(pictures->Draw(), options.output, error))
        return CannotWrite(err, options.output, error);
    return kExitOk;
}
