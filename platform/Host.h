// What the control takes from its host: modal message boxes, pauses and the raising of its event.
#pragma once

#include <string_view>

namespace tarn::platform {

/// Message box styles the control uses.
inline constexpr int kStyleCritical = 16;     // critical icon, OK button
inline constexpr int kStyleExclamation = 48;  // exclamation icon, OK button

class HostServices {
public:
    virtual ~HostServices() = default;
    /// Shows a modal message box and returns when it is closed.
    virtual void MessageBox(std::string_view text, int style, std::string_view title) = 0;
    /// Pauses the user-interface thread; no event of the control is handled meanwhile.
    virtual void Sleep(int milliseconds) = 0;
    /// Raises ScheduleUpdated; every listener has run when this returns.
    virtual void RaiseScheduleUpdated() = 0;
};

}  // namespace tarn::platform
