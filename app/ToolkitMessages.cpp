#include "app/ToolkitMessages.h"

#include <QByteArray>
#include <QMessageLogContext>
#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>

namespace tarn::app {

namespace {

const char* commandName = "tarn-schedule";
QString* platformReason = nullptr;  // the first warning of the platform layer, kept for a failure

QString FirstLine(const QString& message) {
    return message.section(QLatin1Char('\n'), 0, 0).trimmed();
}

void PrintLine(const QString& text) {
    std::fprintf(stderr, "%s: %s\n", commandName, text.toLocal8Bit().constData());
    std::fflush(stderr);
}

void ToolkitMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    switch (type) {
        case QtDebugMsg:
        case QtInfoMsg:
            return;
        case QtWarningMsg:
            if (context.category && QByteArray(context.category).startsWith("qt.qpa") &&
                !platformReason)
                platformReason = new QString(FirstLine(message));
            return;
        case QtCriticalMsg:
            PrintLine(FirstLine(message));
            return;
        case QtFatalMsg:
            break;
    }
    // The only fatal message a command meets is the platform failing to start (no display, an
    // unknown QT_QPA_PLATFORM): say so once and end as a failure, not an abort.
    if (message.contains(QLatin1String("platform plugin")))
        PrintLine(QStringLiteral("cannot start the Qt platform: ") +
                  (platformReason ? *platformReason : FirstLine(message)));
    else
        PrintLine(FirstLine(message));
    std::fflush(stdout);
    std::_Exit(1);
}

}  // namespace

void InstallToolkitMessageHandler(const char* command) {
    commandName = command;
    qInstallMessageHandler(ToolkitMessage);
}

}  // namespace tarn::app
