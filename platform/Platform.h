// Everything the control's core reaches outside itself, in one place: the widgets created from
// the design data, the drawing calls and the host's services.
#pragma once

#include "platform/Gdi.h"
#include "platform/Host.h"
#include "platform/Widgets.h"

namespace tarn::platform {

inline constexpr int kDayCount = 8;

class Platform {
public:
    virtual ~Platform() = default;

    /// cmdDay(index); an index outside 0 to 7 throws PlatformError.
    virtual CommandButton& DayButton(int index) = 0;
    virtual CommandButton& EnableButton() = 0;
    virtual CommandButton& DisableButton() = 0;
    /// Schedule(index), the day bar; an index outside 0 to 7 throws PlatformError.
    virtual PictureBox& DayBar(int index) = 0;
    virtual Timer& InitTimer() = 0;
    virtual ControlSurface& Surface() = 0;
    virtual Gdi& Drawing() = 0;
    virtual HostServices& Host() = 0;
};

}  // namespace tarn::platform
