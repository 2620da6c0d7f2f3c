// The child widgets the control works with: day buttons, Enable and Disable, the day bars, the
// redraw timer and the control's own surface. Geometry is in pixels of the control's surface;
// every operation may throw PlatformError.
#pragma once

#include <string>

#include "platform/Gdi.h"

namespace tarn::platform {

/// Position and size of a child widget, as single-precision pixels.
class WidgetGeometry {
public:
    virtual ~WidgetGeometry() = default;

    virtual float Left() = 0;
    virtual float Top() = 0;
    virtual float Width() = 0;
    virtual float Height() = 0;
    /// A widget rejects a value it cannot take (not finite, negative size, beyond 16 bits) by
    /// throwing PlatformError and keeps its old value.
    virtual void SetLeft(float value) = 0;
    virtual void SetTop(float value) = 0;
    virtual void SetWidth(float value) = 0;
    virtual void SetHeight(float value) = 0;
    /// Repaints the widget now.
    virtual void Refresh() = 0;
};

/// A command button.
class CommandButton : public WidgetGeometry {
public:
    virtual std::string Caption() = 0;
    virtual void SetCaption(const std::string& caption) = 0;
    virtual bool Enabled() = 0;
    virtual void SetEnabled(bool enabled) = 0;
};

/// A day bar: a framed box whose inner area holds the pixels the control draws.
class PictureBox : public WidgetGeometry {
public:
    /// Inner width and height in pixels.
    virtual float ScaleWidth() = 0;
    virtual float ScaleHeight() = 0;
    /// The bar's device context, valid during the current event.
    virtual DeviceContext& hDC() = 0;
    /// Clears the inner area to the bar's background colour.
    virtual void Cls() = 0;
    /// Removes any picture assigned to the bar.
    virtual void ClearPicture() = 0;
};

/// The one-shot redraw timer; Enabled is its armed state.
class Timer {
public:
    virtual ~Timer() = default;
    virtual bool Enabled() = 0;
    virtual void SetEnabled(bool enabled) = 0;
    /// Milliseconds between ticks while enabled.
    virtual int Interval() = 0;
};

/// The control's own surface, under the children: where the time labels are written.
class ControlSurface {
public:
    virtual ~ControlSurface() = default;
    virtual DeviceContext& hDC() = 0;
    /// Erases everything drawn on the surface.
    virtual void Clear() = 0;
    /// The control's current size in pixels, as the host reports it.
    virtual double Width() = 0;
    virtual double Height() = 0;
};

}  // namespace tarn::platform
