// The toolkit's own messages, as the tarn-schedule commands show them: notes and warnings are
// left out of the command's output, and a platform that cannot start ends the program with one
// clear line and exit status 1 instead of an abort.
#pragma once

namespace tarn::app {

/// Installs the message handler for the command named `command` ("play", "demo"); call it before
/// the application object is created. Debug notes and warnings are dropped (the platform's are
/// kept back as the reason should it fail to start); critical messages go to standard error as
/// "COMMAND: MESSAGE"; a fatal message prints "COMMAND: cannot start the Qt platform: REASON"
/// (or its own first line) and exits with status 1. `command` must outlive the program.
void InstallToolkitMessageHandler(const char* command);

}  // namespace tarn::app
