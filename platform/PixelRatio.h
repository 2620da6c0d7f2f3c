// Device pixels per logical pixel: the ratio a platform keeps a bar's pixels at, and the size of a
// logical length in device pixels. The platforms size their buffers with it and the bar's geometry
// divides those buffers with it, so both agree on every device pixel.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tarn::platform {

/// The ratio a bar is drawn at: from 1 to 4, a ratio outside taken to the nearer end, one that is
/// not a number taken as 1.
inline double UsableRatio(double ratio) {
    return std::isnan(ratio) ? 1.0 : std::clamp(ratio, 1.0, 4.0);
}

/// Device pixels covering a logical length at ratio: the length itself at 1, else rounded half to
/// even. Never negative; a length beyond what a widget takes (16 bits) is held at that bound.
inline std::int32_t DeviceLength(double logical, double ratio) {
    if (!(logical > 0.0)) return 0;
    const double device = std::min(logical * UsableRatio(ratio), 4.0 * 32767.0);
    return static_cast<std::int32_t>(std::nearbyint(device));
}

}  // namespace tarn::platform
