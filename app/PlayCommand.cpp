#include "app/PlayCommand.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>

#include "app/HostedControl.h"
#include "app/ScriptRunner.h"

#ifdef TARN_HAVE_QT
#include <QApplication>
#include <QtGlobal>

#include "app/ToolkitMessages.h"
#endif

namespace tarn::app {

namespace {

#ifdef TARN_HAVE_QT
constexpr std::string_view kDefaultBackend = "qt";
#else
constexpr std::string_view kDefaultBackend = "memory";
#endif

constexpr const char* kUsage = "usage: tarn-schedule play [--backend qt|memory] [FILE]";

int UsageError(const std::string& what) {
    std::cerr << "play: " << what << '\n' << kUsage << '\n';
    return 2;
}

int Play(std::istream& in, std::string_view backend) {
    std::ios::sync_with_stdio(false);
#ifdef TARN_HAVE_QT
    if (backend == "qt") {
        // No display is needed: the widget runs on the off-screen platform unless the user
        // chose another one.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        InstallToolkitMessageHandler("play");
        static int qtArgc = 1;
        static char programName[] = "tarn-schedule";
        static char* qtArgv[] = {programName, nullptr};
        QApplication application(qtArgc, qtArgv);
        return PlayScript(in, std::cout, std::cerr, MakeQtControl, true);
    }
#endif
    (void)backend;
    return PlayScript(in, std::cout, std::cerr, MakeMemoryControl, false);
}

}  // namespace

int RunPlay(int argc, char** argv) {
    std::string backend(kDefaultBackend);
    std::string file;
    bool haveFile = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            std::cout << kUsage << '\n';
            return 0;
        }
        if (argument == "--backend" || argument.starts_with("--backend=")) {
            if (argument == "--backend") {
                if (++i == argc) return UsageError("--backend needs qt or memory");
                backend = argv[i];
            } else {
                backend = argument.substr(std::strlen("--backend="));
            }
            if (backend != "qt" && backend != "memory")
                return UsageError("unknown backend \"" + backend + "\" (qt or memory)");
#ifndef TARN_HAVE_QT
            if (backend == "qt") return UsageError("the qt backend is not available in this build");
#endif
            continue;
        }
        if (argument.size() > 1 && argument[0] == '-')
            return UsageError("unknown option \"" + std::string(argument) + "\"");
        if (haveFile) return UsageError("only one FILE can be played");
        file = argument;
        haveFile = true;
    }

    if (!haveFile || file == "-") return Play(std::cin, backend);

    std::error_code error;
    if (std::filesystem::is_directory(file, error)) {
        std::cerr << "play: cannot read " << file << ": " << std::strerror(EISDIR) << '\n';
        return 1;
    }
    std::ifstream in(file);
    if (!in) {
        std::cerr << "play: cannot read " << file << ": " << std::strerror(errno) << '\n';
        return 1;
    }
    return Play(in, backend);
}

}  // namespace tarn::app
