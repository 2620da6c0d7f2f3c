#include "fuzz/PlayHarness.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <locale>
#include <random>
#include <sstream>

#include "TarnSchedule/DayRanges.h"
#include "TarnSchedule/TimeProperties.h"

namespace tarn::fuzz {

namespace {

/// Draws from mt19937_64, whose sequence the standard fixes, by remainder (the standard's
/// distributions differ between libraries): the same seed gives the same script everywhere.
class Random {
public:
    explicit Random(std::uint64_t seed) : engine_(seed) {}
    /// 0 to n - 1.
    int Below(int n) { return static_cast<int>(engine_() % static_cast<std::uint64_t>(n)); }
    int Between(int least, int most) { return least + Below(most - least + 1); }
    bool Chance(int percent) { return Below(100) < percent; }
    template <typename T>
    T Pick(std::initializer_list<T> choices) {
        return choices.begin()[Below(static_cast<int>(choices.size()))];
    }

private:
    std::mt19937_64 engine_;
};

/// A number as a script writes it ("12", "5.5", "-0.125").
std::string Decimal(double value) {
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << value;
    return text.str();
}

class Generator {
public:
    explicit Generator(std::uint64_t seed) : random_(seed) {}

    std::string Script(int lines) {
        if (random_.Chance(75)) Emit("tick");
        while (count_ < lines)
            Step();
        return script_;
    }

private:
    void Emit(const std::string& line) {
        script_ += line;
        script_ += '\n';
        ++count_;
    }

    void Step() {
        if (random_.Chance(20)) return Keyboard();
        const int roll = random_.Below(100);
        if (roll < 12) return Emit("tick");
        if (roll < 15) return Emit("paint");
        if (roll < 23) return Resize();
        if (roll < 36) return Drag();
        if (roll < 44) return LoneMouse();
        if (roll < 59) return Click();
        if (roll < 64) return Emit(SetTime());
        if (roll < 67) return Emit(WholeDay());
        if (roll < 72) return Emit(SetSwitch());
        if (roll < 75) return Emit(random_.Chance(30) ? "call Reset" : "call Refresh");
        if (roll < 90) return Emit(Look());
        if (roll < 96) return Emit("on ScheduleUpdated " + ListenerCommand());
        if (roll < 98) return Emit("on ScheduleUpdated");
        return Emit(Get());
    }

    // The window system.

    void Resize() {
        const int roll = random_.Below(5);  // 0: the size it has, still a resize event
        if (roll == 1) width_ = 679, height_ = 361;
        if (roll == 2) {  // sizes whose scaled geometry rounds at a half
            width_ = random_.Pick({611, 678, 680, 339, 340, 1018, 1358, 97, 96, 573});
            height_ = random_.Pick({361, 360, 362, 180, 181, 542, 722, 35, 36});
        }
        if (roll == 3) {  // degenerate and the largest
            width_ = random_.Pick({0, 1, 2, 8, 88, 679, 32767});
            height_ = random_.Pick({0, 1, 2, 32, 361, 32767});
        }
        if (roll == 4) width_ = random_.Between(0, 1500), height_ = random_.Between(0, 900);
        Emit("resize " + std::to_string(width_) + " " + std::to_string(height_));
    }

    // The user.

    /// An X on a bar: mostly inside a block at some fraction, sometimes off the bar's ends.
    std::string X(int block) {
        const double inner = std::max(1.0, 573.0 * width_ / 679.0);
        if (random_.Chance(5)) return Decimal(random_.Pick({-1.0, -0.5, inner, inner + 3.25}));
        const double fraction = random_.Pick({0.0, 0.5, 0.25, 0.999, random_.Below(1000) / 1000.0});
        return Decimal(inner * (block + fraction) / 96.0);
    }

    int Bar() { return random_.Chance(15) ? 7 : random_.Below(8); }

    /// A press, moves and a release: mostly on one bar, sometimes crossing to others.
    void Drag() {
        const int bar = Bar();
        int block = random_.Below(96);
        Emit("press " + std::to_string(bar) + " " + X(block));
        const int moves = random_.Between(0, 5);
        for (int i = 0; i < moves; ++i) {
            block = std::clamp(block + random_.Between(-12, 12), 0, 95);
            const int over = random_.Chance(15) ? Bar() : bar;
            const std::string held =
                random_.Chance(85) ? "" : " " + std::to_string(random_.Below(8));
            Emit("move " + std::to_string(over) + " " + X(block) + held);
        }
        const int at = random_.Chance(10) ? Bar() : bar;
        Emit("release " + std::to_string(at) + " " + X(block));
    }

    void LoneMouse() {
        const std::string bar = std::to_string(Bar()) + " " + X(random_.Below(96));
        const std::string button = " " + std::to_string(random_.Pick({1, 1, 2, 4}));
        const std::string held = " " + std::to_string(random_.Below(8));
        const int roll = random_.Below(3);
        Emit(roll == 0   ? "press " + bar + button + held
             : roll == 1 ? "move " + bar + held
                         : "release " + bar + button);
    }

    void Click() {
        const int roll = random_.Below(10);
        if (roll < 4) return Emit("click cmdEnable");
        if (roll < 6) return Emit("click cmdDisable");
        Emit("click cmdDay(" + std::to_string(Bar()) + ")");
    }

    // The keyboard: mostly keys, in runs, with the focus put somewhere first now and then.

    std::string Widget() {
        const int roll = random_.Below(10);
        if (roll < 6) return "Schedule(" + std::to_string(Bar()) + ")";
        if (roll < 8) return "cmdDay(" + std::to_string(Bar()) + ")";
        return roll == 8 ? "cmdEnable" : "cmdDisable";
    }

    std::string Key() {
        std::string name = random_.Pick<std::string>(
            {"Left", "Right", "Left", "Right", "Up", "Down", "Home", "End", "Return", "Enter",
             "Space", "Delete", "Backspace", "Escape", "Tab", "Tab", "A"});
        const std::string both = random_.Chance(50) ? "Ctrl+Shift+" : "Shift+Ctrl+";
        return random_.Pick<std::string>(
                   {"Shift+", "Shift+", "Shift+", "Ctrl+", "Ctrl+", both, "", "", "", ""}) +
               name;
    }

    void Keyboard() {
        const int roll = random_.Below(100);
        if (roll < 20) return Emit("focus " + Widget());
        if (roll < 75) {
            for (int count = random_.Between(1, 6); count > 0; --count)
                Emit("key " + Key());
            return;
        }
        if (roll < 85) return Emit("focused");
        if (roll < 93) return Emit("hint");
        Emit("accessible " + std::to_string(Bar()));
    }

    // The host.

    std::string TimeName() { return TimePropertyName(random_.Below(kTimePropertyCount)); }

    std::string SetTime() {
        int value = 0;
        if (random_.Chance(75)) {
            value = random_.Between(0, 24) * 100 + random_.Below(4) * 15;
        } else {
            value = random_.Pick({0, 5, 59, 60, 99, 1261, 2359, 2400, 2415, 2500, 9999, 10000, -1,
                                  -5, -100, -32768, 32767});
        }
        return "set " + TimeName() + " " + std::to_string(value);
    }

    std::string Range() {
        const int start = random_.Below(96);
        int startMinutes = start * 15, stopMinutes = (start + 1 + random_.Below(96 - start)) * 15;
        if (random_.Chance(10)) stopMinutes = random_.Pick({startMinutes, 1440 + 15, 1500, 5999});
        if (random_.Chance(10)) startMinutes += random_.Pick({1, 5, 10});
        char text[32];  // times of day as HH:MM, past the day's end too
        std::snprintf(text, sizeof text, "%02d:%02d-%02d:%02d", startMinutes / 60,
                      startMinutes % 60, stopMinutes / 60, stopMinutes % 60);
        return text;
    }

    std::string WholeDay() {
        const auto day = [&] { return std::string(DayName(random_.Below(8))); };
        const int roll = random_.Below(4);
        if (roll == 0) return "day " + day();
        if (roll == 1)
            return "copyday " + day() + " " + day() + (random_.Chance(40) ? " " + day() : "");
        std::string line = "setday " + day();
        for (int count = random_.Below(6); count > 0; --count)
            line += " " + Range();
        return line;
    }

    std::string SetSwitch() {
        const int roll = random_.Below(4);
        if (roll == 0) return std::string("set Enable ") + (random_.Chance(75) ? "True" : "False");
        if (roll < 3)
            return std::string("set SpecialDayEnabled ") + (random_.Chance(60) ? "True" : "False");
        return random_.Pick<std::string>(
            {"set SpecialDayCaption \"Holiday\"", "set SpecialDayCaption \"\"",
             "set SpecialDayCaption \"A \\\"long\\\" caption for a narrow button\""});
    }

    std::string Get() {
        if (random_.Chance(70)) return "get " + TimeName();
        return "get " +
               random_.Pick<std::string>({"Enable", "SpecialDayEnabled", "SpecialDayCaption"});
    }

    // Looking.

    /// `rows`: whether the bar's height is known, so a `row` line may be drawn.
    std::string Look(bool rows = true) {
        const std::string bar = std::to_string(Bar());
        const int roll = random_.Below(9);
        if (roll == 0) return "schedule";
        if (roll < 3) return "state " + bar;
        if (roll < 5) return "marks " + bar;
        if (roll == 6) return random_.Pick<std::string>({"buttons", "bars"});
        if (roll == 7) return "labels";
        if (roll == 8) return "redraws";
        // Rows inside the bar (a listener runs at a size not known here); a row below it would
        // end the script. The bar is 35 of the control's 361 pixels high, its frame takes 4 of
        // them, and its height may round down by one.
        const int inside = rows ? 35 * height_ / 361 - 5 : 0;
        return inside < 1 ? "bars" : "row " + bar + " " + std::to_string(random_.Below(inside));
    }

    std::string ListenerCommand() {
        if (random_.Chance(10)) return random_.Chance(50) ? "key " + Key() : "focused";
        const int roll = random_.Below(9);
        if (roll == 0) return Get();
        if (roll == 1) return SetTime();
        if (roll == 2) return random_.Pick<std::string>({"call Reset", "call Refresh", "tick"});
        if (roll == 3) return "click cmdEnable";
        if (roll == 4) return "click cmdDay(" + std::to_string(Bar()) + ")";
        if (roll == 5) return random_.Chance(20) ? "click cmdDisable" : "schedule";
        return roll == 7 ? WholeDay() : Look(false);
    }

    Random random_;
    std::string script_;
    int count_ = 0;
    int width_ = 679;
    int height_ = 361;
};

}  // namespace

std::string GenerateScript(std::uint64_t seed, int lines) {
    return Generator(seed).Script(lines);
}

}  // namespace tarn::fuzz
