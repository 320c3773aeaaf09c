#include "RunWindow.h"

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "MainFrame.h"
#include "QtPrompts.h"
#include "QuietMessages.h"
#include "RenderCommand.h"
#include "SurfaceFormat.h"
#include "cli/CommandLine.h"
#include "view/FrameClock.h"
#include "view/FrameLog.h"

namespace {

bool HasDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value && *value) return true;
    }
    return false;
}

// Without a display the file is drawn into a picture beside the working folder instead.
int RenderInstead(const std::string& file) {
    if (file.empty()) {
        std::cerr << "zemvora: no display is available, so the window cannot open.\n";
        return kExitFileError;
    }
    const std::string picture = std::filesystem::path(file).stem().string() + ".png";
    std::cerr << "zemvora: no display is available, so the window cannot open; drawing " << file
              << " into " << picture << " instead.\n";
    const int status = RunRenderCommand({file, "--output", picture}, std::cout, std::cerr);
    if (status == kExitOk) std::cerr << "zemvora: wrote " << picture << "\n";
    return status;
}

}  // namespace

int RunWindow(int argc, char** argv, const WindowRequest& request) {
    const std::string& file = request.file;
    if (!HasDisplay()) return RenderInstead(file);
    // Time in the log counts from here, before the toolkit starts.
    FrameLog log;
    std::string reason;
    if (!request.frameLog.empty() &&
        !log.Open(request.frameLog, SteadyFrameClock().Ticks(), reason)) {
        std::cerr << "zemvora: cannot write the frame log " << request.frameLog << "\n"
                  << reason << "\n";
        return kExitFileError;
    }

    UseViewSurfaceFormat();
    QuietenToolkitMessages();
    QApplication app(argc, argv);
    // Where the settings live: the File menu's recent files.
    QCoreApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    QCoreApplication::setApplicationName(QStringLiteral("Zemvora"));
    // The desktop entry the window belongs to, by the application id.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.zemvora.Creator"));
    QtPrompts prompts;
    CMainFrame frame(prompts);
    prompts.SetParent(&frame);
    if (log.IsOpen()) frame.View()->SetFrameLog(&log);
    frame.show();
    if (!file.empty()) frame.LoadFromOutside(file);
    return QApplication::exec();
}
