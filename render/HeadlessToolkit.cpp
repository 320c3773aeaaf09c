#include "HeadlessToolkit.h"

#include "QuietMessages.h"

HeadlessToolkit::HeadlessToolkit() {
    // The fonts need no display either.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QuietenToolkitMessages();
    m_app = std::make_unique<QGuiApplication>(m_argc, m_argv);
}

HeadlessToolkit::~HeadlessToolkit() = default;
