// The control's redraw timer on a QTimer, for every Qt frontend: its armed state is the running
// state of the QTimer, or, when the host delivers the ticks itself, a flag.
#pragma once

#include "platform/Widgets.h"

class QTimer;

namespace tarn::qt {

class QtTimer final : public platform::Timer {
public:
    explicit QtTimer(QTimer& timer) : timer_(timer) {}

    bool Enabled() override;
    void SetEnabled(bool enabled) override;
    int Interval() override;

    /// Switches between the QTimer and ticks delivered by the host; the armed state stays.
    void SetManual(bool manual);
    bool manual() const { return manual_; }

private:
    QTimer& timer_;
    bool manual_ = false;
    bool manualArmed_ = false;
};

}  // namespace tarn::qt
