// `tarn-schedule play [--backend qt|memory] [FILE]`: chooses the backend, opens the script and
// plays it.
#pragma once

#include <QStringList>
#include <string>

class QCommandLineParser;

namespace tarn::app {

/// What is wrong with the command line `arguments` that `parser` refused, as the tool says it:
/// `unknown option "--name"` (the first unknown one), or the parser's own words.
std::string OptionError(const QCommandLineParser& parser, const QStringList& arguments);

/// argv[0] is "play"; returns the exit status.
int RunPlay(int argc, char** argv);

}  // namespace tarn::app
