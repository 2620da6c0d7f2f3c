// tarn-schedule: the scripted host (`play`) and, with the Qt widget, an interactive demo (`demo`).
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QStringList>
#include <csignal>
#include <iostream>
#include <string>

#include "app/PlayCommand.h"
#ifdef TARN_HAVE_STORE
#include "app/StoreCommand.h"
#endif
#ifdef TARN_HAVE_DEMO
#include "app/Demo.h"
#endif

namespace {

void PrintUsage(std::ostream& out) {
    out << "usage: tarn-schedule play [--backend qt|memory|quick] [--scale F] [FILE]\n"
           "       tarn-schedule store [--db PATH] COMMAND ...\n"
           "       tarn-schedule demo [--db PATH]\n";
}

int UsageError(const std::string& what) {
    std::cerr << "tarn-schedule: " << what << '\n';
    PrintUsage(std::cerr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    // A write past the user's file-size limit then fails with EFBIG, which every writer reports
    // and cleans up after, instead of killing the program with a temporary file left behind.
    std::signal(SIGXFSZ, SIG_IGN);
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    // Options up to the command are the tool's; everything after it belongs to the command.
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("usage"));
    parser.addOption(helpOption);
    if (!parser.parse(arguments)) {
        return UsageError(tarn::app::OptionError(parser, arguments));
    }
    if (parser.isSet(helpOption)) {
        PrintUsage(std::cout);
        std::cout.flush();
        return std::cout ? 0 : 1;
    }
    const QStringList words = parser.positionalArguments();
    if (words.isEmpty()) {
        PrintUsage(std::cerr);
        return 2;
    }
    // The command and its arguments are the last words of the command line.
    const int first = argc - static_cast<int>(words.size());
    const QString& command = words.first();
    if (command == QStringLiteral("play")) return tarn::app::RunPlay(argc - first, argv + first);
#ifdef TARN_HAVE_STORE
    if (command == QStringLiteral("store")) return tarn::app::RunStore(argc - first, argv + first);
#endif
    if (command == QStringLiteral("demo")) {
#ifdef TARN_HAVE_DEMO
        return tarn::app::RunDemo(argc - first, argv + first);
#else
        std::cerr << "tarn-schedule: demo needs the Qt widget, which this build does not have\n";
        return 2;
#endif
    }
    return UsageError("unknown command \"" + std::string(argv[first]) + "\"");
}
