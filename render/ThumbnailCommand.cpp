#include "ThumbnailCommand.h"

#include <filesystem>
#include <ostream>

#include "PictureFile.h"
#include "PictureSetup.h"
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
    ViewState view;
    // The service that asked reads the file through the handle it opened before the run. It is
    // opened once the input is read (or its import child started), as the only file the rest of
    // the run may write, and left as it was when the input cannot be read.
    InPlaceFile picture;
    int errorCode = 0;
    const PictureSetup setup = SetUpPictures(options, scene, view, err, [&] {
        if (!picture.Open(options.output, errorCode)) return false;
        RestrictAfterReading(options.file);
        return true;
    });
    if (!setup.outcome.ok) return Fail(err, options.file, setup.outcome.message);
    if (!setup.prepared) return Fail(err, options.file, CannotWrite(options.output, errorCode));
    if (!setup.pictures) return Fail(err, options.file, setup.error);
    if (!SavePngPicture(setup.pictures->Draw(), picture, error))
        return Fail(err, options.file, "can not write " + options.output + ": " + error);
    return kExitOk;
}
