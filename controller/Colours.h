// The bars' colours taken from a Qt palette, and the keyboard cursor's colour over them.
#pragma once

#include <QColor>
#include <QPalette>

#include "render/Theme.h"

namespace tarn::qt {

/// Colours for the bars taken from palette: band backgrounds from Base, marks and ticks from Text,
/// labels from WindowText, enabled blocks from Highlight turned toward green and disabled ones from
/// Base turned toward red. Light palettes give light blocks, dark palettes dark ones; enabled and
/// disabled blocks always differ in hue and lightness, and marks stand out from every fill.
render::Theme ThemeFromPalette(const QPalette& palette);

/// The colour of the keyboard cursor's frame over bars drawn in theme: a blue, far in hue from the
/// green and red of the blocks, dark over light bands and light over dark ones, so that it stands
/// out from the bands, the marks and both kinds of block.
QColor CursorColourOf(const render::Theme& theme);

}  // namespace tarn::qt
