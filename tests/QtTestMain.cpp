// The test runner for tests that need the toolkit's fonts and images: a QGuiApplication on the
// offscreen platform unless the tests set a platform of their own, with settings in a temporary
// folder.
#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>
#include "SurfaceFormat.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QByteArray runtime = QByteArray("/tmp/zemvora-tests-") + QByteArray::number(getuid());
        mkdir(runtime.constData(), 0700);
        qputenv("XDG_RUNTIME_DIR", runtime);
    }
    UseViewSurfaceFormat();
    QApplication app(argc, argv);
    // The settings the window keeps (its recent files) go to a folder of the run's own, never
    // to the user's.
    QTemporaryDir config;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
