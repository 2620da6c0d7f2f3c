// The one rule every backend applies to a geometry value the control writes to a child widget:
// whole pixels within 16 bits, a size never negative, anything else refused as the widget
// interface promises.
#pragma once

#include <cmath>
#include <string>

#include "platform/PlatformError.h"

namespace tarn::platform {

/// value as whole pixels, rounded to the nearest, halves to even. Throws PlatformError naming
/// the property when the value is not finite, lies outside -32768 to 32767, or is a negative
/// size.
inline int AcceptGeometry(float value, bool isSize, const char* property) {
    if (!std::isfinite(value) || value < -32768.0f || value > 32767.0f || (isSize && value < 0.0f))
        throw PlatformError(std::string("Invalid property value for ") + property);
    return static_cast<int>(std::nearbyint(value));
}

}  // namespace tarn::platform
