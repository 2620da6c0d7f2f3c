#include "controller/QtTimer.h"

#include <QTimer>

namespace tarn::qt {

bool QtTimer::Enabled() {
    return manual_ ? manualArmed_ : timer_.isActive();
}

void QtTimer::SetEnabled(bool enabled) {
    if (manual_) {
        manualArmed_ = enabled;
    } else if (!enabled) {
        timer_.stop();
    } else if (!timer_.isActive()) {
        // Starting an active QTimer would restart its interval; an armed timer stays as it is.
        timer_.start();
    }
}

int QtTimer::Interval() {
    return timer_.interval();
}

void QtTimer::SetManual(bool manual) {
    if (manual == manual_) return;
    const bool armed = Enabled();
    SetEnabled(false);
    manual_ = manual;
    SetEnabled(armed);
}

}  // namespace tarn::qt
