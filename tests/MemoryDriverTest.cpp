// The driver of the control on the in-memory platform: every call into the control passes through
// the host's delivery, the mouse with and without the focus, the timer only when armed, and the
// guard on disabled buttons.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "model/Arithmetic.h"
#include "platform/PlatformError.h"
#include "platform/memory/MemoryDriver.h"
#include "tests/ScheduleFixture.h"

namespace tarn {
namespace {

using platform::memory::BarWidget;
using platform::memory::ButtonWidget;
using platform::memory::FocusWidget;
using platform::memory::HostCallbacks;
using platform::memory::MemoryDriver;

/// The centre of a block of a bar at the design size, in the bar's inner pixels.
double BlockCentre(MemoryDriver& driver, int bar, int block) {
    return (block + 0.5) * driver.Platform().Bar(bar).innerWidth() / 96.0;
}

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
    ForgivingHost host;
    host.driver.Initialize();
    host.driver.Platform().Faults().Fail(std::string(platform::FaultInjector::kAnyOperation));
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
    plain.Platform().Faults().Fail("SetTimerEnabled");
    EXPECT_THROW(plain.Tick(), platform::PlatformError);
}

TEST(MemoryDriver, APressFocusesTheBarFirstAndAMouseDownLeavesTheFocusAlone) {
    MemoryDriver driver;
    driver.Initialize();
    driver.Tick();
    // The bare handler call selects as a press does, with no focus anywhere.
    driver.MouseDown(3, BlockCentre(driver, 3, 10), 1);
    driver.Release(3, BlockCentre(driver, 3, 10), 1);
    EXPECT_FALSE(driver.Focused().has_value());
    EXPECT_EQ(driver.Control().FocusedBar(), -1);
    EXPECT_TRUE(driver.Control().State().SelectionBlocks[10]);

    // The user's press gives the bar the focus, and the control hears of it.
    driver.Press(4, BlockCentre(driver, 4, 20), 1);
    driver.Release(4, BlockCentre(driver, 4, 20), 1);
    EXPECT_EQ(driver.Focused(), BarWidget(4));
    EXPECT_EQ(driver.Control().FocusedBar(), 4);
    EXPECT_TRUE(driver.Control().State().SelectionBlocks[20]);

    // A bar that cannot take the focus is still pressed, and the focus stays where it was.
    driver.SetSpecialDayEnabled(false);
    driver.Press(7, BlockCentre(driver, 7, 5), 1);
    driver.Release(7, BlockCentre(driver, 7, 5), 1);
    EXPECT_EQ(driver.Focused(), BarWidget(4));
}

TEST(MemoryDriver, TheTimerTicksOnlyWhenArmedAndARedrawIsOneFullRedraw) {
    MemoryDriver driver;
    EXPECT_FALSE(driver.Tick()) << "nothing arms the timer before Initialize";
    driver.Initialize();
    EXPECT_TRUE(driver.Tick());
    EXPECT_FALSE(driver.Tick()) << "the first redraw disarmed it";
    const auto before = driver.Control().CompletedRedraws();
    EXPECT_TRUE(driver.Redraw());
    EXPECT_EQ(driver.Control().CompletedRedraws(), before + 1);
    EXPECT_FALSE(driver.Tick());
}

TEST(MemoryDriver, ADisabledButtonIgnoresTheClickAndAButtonOfNoSizeKeepsTheFocusAway) {
    int updates = 0;
    MemoryDriver driver(HostCallbacks{{}, {}, [&] { ++updates; }});
    driver.Initialize();
    driver.Tick();
    driver.Press(1, BlockCentre(driver, 1, 40), 1);
    driver.Release(1, BlockCentre(driver, 1, 40), 1);
    ASSERT_EQ(driver.Focused(), BarWidget(1));

    // Enable would save the selection; switched off, its click is refused whole: no save, and the
    // focus does not go to it.
    driver.Platform().Button(8).SetEnabled(false);
    EXPECT_FALSE(driver.Click(8));
    EXPECT_EQ(updates, 0);
    EXPECT_EQ(driver.Focused(), BarWidget(1));
    EXPECT_FALSE(driver.Focus(ButtonWidget(8)));
    driver.Platform().Button(8).SetEnabled(true);

    // Laid out to no size, it is clicked where the focus is: the bar keeps it.
    driver.Platform().Button(8).SetWidth(0);
    EXPECT_TRUE(driver.Click(8));
    EXPECT_EQ(updates, 1);
    EXPECT_EQ(driver.Focused(), BarWidget(1));
    EXPECT_TRUE(driver.Click(3));
    EXPECT_EQ(driver.Focused(), ButtonWidget(3));
    EXPECT_EQ(driver.Control().FocusedBar(), -1) << "the bar heard that it lost the focus";
}

TEST(MemoryDriver, TheSharedFixturesPressLeavesTheFocusTheTestGave) {
    Drawn f;
    f.schedule.Schedule_GotFocus(2);
    f.Drag(5, 10, 12);
    EXPECT_EQ(f.schedule.FocusedBar(), 2);
    EXPECT_FALSE(f.driver.Focused().has_value());
    EXPECT_EQ(f.Flags(), BlockRun(10, 12));
}

}  // namespace
}  // namespace tarn
