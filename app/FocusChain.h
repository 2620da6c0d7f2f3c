// The keyboard focus rule of the scripted host's widgets. It lives with the in-memory platform,
// which applies it (frontends/memory/FocusChain.h); these names keep it reachable from the app,
// whose interface (HostedControl) and scripts name the widgets that hold the focus.
#pragma once

#include "frontends/memory/FocusChain.h"

namespace tarn::app {

using platform::memory::BarWidget;
using platform::memory::ButtonWidget;
using platform::memory::FocusWidget;
using platform::memory::FocusWidgetName;
using platform::memory::KeyRoute;
using platform::memory::NextInChain;
using platform::memory::PressInsideBar;
using platform::memory::RouteKey;
using platform::memory::TabChain;

}  // namespace tarn::app
