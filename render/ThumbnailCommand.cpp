#include "ThumbnailCommand.h"

#include <filesystem>
#include <ostream>

#include "HeadlessRender.h"
#include "HeadlessToolkit.h"
#include "PictureFile.h"
#include "cli/CommandLine.h"
#include "cli/CommandSandbox.h"
#include "cli/RenderOptions.h"
#include "scene/InPlaceFile.h"
#include "scene/SceneMessages.h"

namespace {

// A file manager logs what its thumbnailers say; the line names the file it was about.
int Fail(std::ostream& err, const std::string& file, const std::string& message) {
    err << "zemvora: no preview of " << file << ": " << message << "\n";
    return kExitFileError;
}

std::string CannotWrite(const std::string& file, int errorCode) {
    const std::string reason = messages::SystemReason(errorCode);
    return "can not write " + file + ": " +
           (reason.empty() ? std::string("the file could not be written") : reason);
}

}  // namespace

int RunThumbnailCommand(const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
    RenderOptions options;
    std::string error;
    if (!ParseThumbnailOptions(args, options, error)) {
        err << "zemvora: " << error << "\n";
        return kExitUsage;
    }
    // Opening a pipe or a device could wait forever; only plain files are read.
    std::error_code ec;
    const std::filesystem::file_type type = std::filesystem::status(options.file, ec).type();
    if (type != std::filesystem::file_type::regular &&
        type != std::filesystem::file_type::not_found)
        return Fail(err, options.file, "not a plain file");
    Scene scene;
    const FileOutcome outcome = LoadSceneForCommandLine(options.file, scene, err);
    if (!outcome.ok) return Fail(err, options.file, outcome.message);

    // The service that asked reads the file through the handle it opened before the run. It is
    // opened now, as the only file the rest of the run may write.
    InPlaceFile picture;
    int errorCode = 0;
    if (!picture.Open(options.output, errorCode))
        return Fail(err, options.file, CannotWrite(options.output, errorCode));
    RestrictAfterReading(options.file);

    const HeadlessToolkit toolkit;
    ViewState view = RenderViewState(options, scene);
    const QImage image = RenderSceneImage(scene, view, options.width, options.height, error);
    if (image.isNull()) return Fail(err, options.file, error);
    if (!SavePngPicture(image, picture, error))
        return Fail(err, options.file, "can not write " + options.output + ": " + error);
    return kExitOk;
}
