// The colours a day bar is drawn in, by role. The classic theme is the control's own fixed
// palette; a frontend may derive another from its toolkit's palette.
#pragma once

#include "platform/Colour.h"

namespace tarn::render {

struct Theme {
    /// The middle band of an enabled block, and of a disabled one.
    platform::ColourRef enabledBlock;
    platform::ColourRef disabledBlock;
    /// The top and bottom bands of a selected block.
    platform::ColourRef selectionMark;
    /// The top and bottom bands of a block that is not selected.
    platform::ColourRef bandBackground;
    platform::ColourRef tickMark;
    /// The hour numbers and AM/PM written above the first bar.
    platform::ColourRef label;
    bool operator==(const Theme&) const = default;
};

/// Light green and light red blocks, black marks and ticks on white bands, black labels.
constexpr Theme ClassicTheme() {
    return Theme{platform::QBColor(platform::kPaletteLightGreen),
                 platform::QBColor(platform::kPaletteLightRed),
                 platform::QBColor(platform::kPaletteBlack),
                 platform::QBColor(platform::kPaletteBrightWhite),
                 platform::QBColor(platform::kPaletteBlack),
                 platform::QBColor(platform::kPaletteBlack)};
}

}  // namespace tarn::render
