// tarn-schedule: the scripted host (`play`) and, with the Qt widget, an interactive demo (`demo`).
#include <cstring>
#include <iostream>

#include "app/PlayCommand.h"
#ifdef TARN_HAVE_DEMO
#include "app/Demo.h"
#endif

namespace {

void PrintUsage(std::ostream& out) {
    out << "usage: tarn-schedule play [--backend qt|memory] [FILE]\n"
           "       tarn-schedule demo\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintUsage(std::cerr);
        return 2;
    }
    const char* command = argv[1];
    if (std::strcmp(command, "play") == 0) return tarn::app::RunPlay(argc - 1, argv + 1);
    if (std::strcmp(command, "demo") == 0) {
#ifdef TARN_HAVE_DEMO
        return tarn::app::RunDemo(argc - 1, argv + 1);
#else
        std::cerr << "tarn-schedule: demo needs the Qt widget, which this build does not have\n";
        return 2;
#endif
    }
    if (std::strcmp(command, "--help") == 0 || std::strcmp(command, "-h") == 0) {
        PrintUsage(std::cout);
        return 0;
    }
    std::cerr << "tarn-schedule: unknown command \"" << command << "\"\n";
    PrintUsage(std::cerr);
    return 2;
}
