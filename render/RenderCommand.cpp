#include "RenderCommand.h"

#include <QGuiApplication>
#include <ostream>

#include "HeadlessRender.h"
#include "QuietMessages.h"
#include "cli/CommandLine.h"
#include "cli/RenderOptions.h"

int RunRenderCommand(const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
    RenderOptions options;
    std::string error;
    if (!ParseRenderOptions(args, options, error)) {
        err << "zemvora: " << error << "\n";
        return kExitUsage;
    }
    Scene scene;
    const FileOutcome outcome = LoadSceneForCommandLine(options.file, scene);
    if (!outcome.ok) return ReportFileFailure(err, outcome);

    // The label font needs the toolkit's fonts, which need no display either.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QuietenToolkitMessages();
    int argc = 1;
    char name[] = "zemvora";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);

    ViewState view = RenderViewState(options, scene);
    const QImage image = RenderSceneImage(scene, view, options.width, options.height, error);
    if (image.isNull()) {
        err << "zemvora: " << error << "\n";
        return kExitFileError;
    }
    if (!image.save(QString::fromStdString(options.output), "PNG")) {
        err << "zemvora: can not write " << options.output << "\n";
        return kExitFileError;
    }
    return kExitOk;
}
