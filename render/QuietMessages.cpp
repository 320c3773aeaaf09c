#include "QuietMessages.h"

#include <QString>
#include <QtGlobal>

namespace {

QtMessageHandler s_standardHandler = nullptr;

void Filter(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QLatin1String("QStandardPaths:"))) return;
    if (s_standardHandler) s_standardHandler(type, context, message);
}

}  // namespace

void QuietenToolkitMessages() {
    if (!s_standardHandler) s_standardHandler = qInstallMessageHandler(Filter);
}
