// The driver of the control on the in-memory platform: every call into the control passes through
// the host's delivery. Its focus, timer and buttons are played by the examples on both backends.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "frontends/memory/MemoryDriver.h"
#include "model/Arithmetic.h"
#include "platform/PlatformError.h"
#include "tests/support/FaultInjector.h"

namespace tarn {
namespace {

using platform::memory::HostCallbacks;
using platform::memory::MemoryDriver;

/// A host that lets no error of the control stop it, and counts the ones it dropped.
struct ForgivingHost {
    MemoryDriver driver{HostCallbacks{}, [this](const std::function<void()>& call) {
                            try {
                                call();
                            } catch (const platform::PlatformError&) {
                                ++dropped;
                            } catch (const RuntimeError&) {
                                ++dropped;
                            }
                        }};
    int dropped = 0;
};

TEST(MemoryDriver, EveryEventReachesTheControlThroughTheHostsDelivery) {
    // With every platform call failing, an event whose handler escaped the delivery would throw
    // here instead of being dropped by the host.
    platform::FaultInjector faults;
    ForgivingHost host;
    host.driver.Initialize();
    host.driver.Platform().AttachFaults(&faults);
    faults.Fail(std::string(platform::FaultInjector::kAnyOperation));
    EXPECT_NO_THROW({
        host.driver.Tick();
        host.driver.Redraw();
        host.driver.Resize(900, 400);
        host.driver.Paint();
        host.driver.Press(2, 30, 1);
        host.driver.Move(2, 60, 1);
        host.driver.Release(2, 60, 1);
        host.driver.PressKey(Key::Right);
        host.driver.PressKey(Key::Down);
        host.driver.Click(8);
        host.driver.PressKey(Key::Space);
        host.driver.Click(3);
        host.driver.Terminate();
    });
    EXPECT_GT(host.dropped, 0);

    // Without a delivery the errors reach the caller, as the core's tests expect.
    MemoryDriver plain;
    plain.Initialize();
    plain.Platform().AttachFaults(&faults);
    faults.Clear();
    faults.Fail("SetTimerEnabled");
    EXPECT_THROW(plain.Tick(), platform::PlatformError);
}

}  // namespace
}  // namespace tarn
