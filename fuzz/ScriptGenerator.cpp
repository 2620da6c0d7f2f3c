#include "fuzz/ScriptGenerator.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <initializer_list>
#include <string_view>

#include "TarnSchedule/DayRanges.h"
#include "TarnSchedule/TimeProperties.h"

namespace tarn::fuzz {

namespace {

/// SplitMix64: a small generator whose sequence is the same on every platform and library.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}

    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    /// 0 to n - 1.
    int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }
    int Between(int least, int most) { return least + Below(most - least + 1); }
    bool Chance(int percent) { return Below(100) < percent; }
    template <typename T>
    T Pick(std::initializer_list<T> choices) {
        return choices.begin()[Below(static_cast<int>(choices.size()))];
    }

private:
    std::uint64_t state_;
};

/// A decimal number as a script writes it, to thousandths ("12", "5.5", "-0.125").
std::string Decimal(double value) {
    const long long thousandths = std::llround(value * 1000.0);
    const long long whole = std::llabs(thousandths) / 1000;
    long long fraction = std::llabs(thousandths) % 1000;
    std::string text = (thousandths < 0 ? "-" : "") + std::to_string(whole);
    if (fraction == 0) return text;
    std::string digits = std::to_string(fraction);
    digits.insert(0, 3 - digits.size(), '0');
    while (digits.back() == '0')
        digits.pop_back();
    return text + "." + digits;
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
        switch (random_.Below(5)) {
            case 0:  // the size it has: the control still gets its resize event
                break;
            case 1:
                width_ = 679, height_ = 361;
                break;
            case 2:  // sizes whose scaled geometry rounds at a half
                width_ = random_.Pick({611, 678, 680, 339, 340, 1018, 1358, 97, 96, 573});
                height_ = random_.Pick({361, 360, 362, 180, 181, 542, 722, 35, 36});
                break;
            case 3:  // degenerate and the largest
                width_ = random_.Pick({0, 1, 2, 8, 88, 679, 32767});
                height_ = random_.Pick({0, 1, 2, 32, 361, 32767});
                break;
            default:
                width_ = random_.Between(0, 1500);
                height_ = random_.Between(0, 900);
                break;
        }
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
        const std::string bar = std::to_string(Bar());
        const std::string x = X(random_.Below(96));
        const std::string button = std::to_string(random_.Pick({1, 1, 2, 4}));
        switch (random_.Below(3)) {
            case 0:
                Emit("press " + bar + " " + x + " " + button + " " +
                     std::to_string(random_.Below(8)));
                break;
            case 1:
                Emit("move " + bar + " " + x + " " + std::to_string(random_.Below(8)));
                break;
            default:
                Emit("release " + bar + " " + x + " " + button);
                break;
        }
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
        const int modifiers = random_.Below(10);
        if (modifiers < 3) return "Shift+" + name;
        if (modifiers < 5) return "Ctrl+" + name;
        if (modifiers < 6) return random_.Chance(50) ? "Ctrl+Shift+" + name : "Shift+Ctrl+" + name;
        return name;
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

    /// A time of day as HH:MM: mostly on a quarter hour within the day, sometimes not.
    static std::string Clock(int minutes) {
        const auto two = [](int n) { return std::string(n < 10 ? "0" : "") + std::to_string(n); };
        return two(minutes / 60) + ":" + two(minutes % 60);
    }

    std::string Range() {
        const int start = random_.Below(96);
        int stop = start + 1 + random_.Below(96 - start);
        int startMinutes = start * 15;
        int stopMinutes = stop * 15;
        if (random_.Chance(10)) stopMinutes = random_.Pick({startMinutes, 1440 + 15, 1500, 5999});
        if (random_.Chance(10)) startMinutes += random_.Pick({1, 5, 10});
        return Clock(startMinutes) + "-" + Clock(stopMinutes);
    }

    std::string WholeDay() {
        const auto day = [&] { return std::string(DayName(random_.Below(8))); };
        switch (random_.Below(4)) {
            case 0:
                return "day " + day();
            case 1:
                return "copyday " + day() + " " + day() + (random_.Chance(40) ? " " + day() : "");
            default: {
                std::string line = "setday " + day();
                for (int count = random_.Below(6); count > 0; --count)
                    line += " " + Range();
                return line;
            }
        }
    }

    std::string SetSwitch() {
        switch (random_.Below(4)) {
            case 0:
                return std::string("set Enable ") + (random_.Chance(75) ? "True" : "False");
            case 1:
            case 2:
                return std::string("set SpecialDayEnabled ") +
                       (random_.Chance(60) ? "True" : "False");
            default:
                return random_.Pick<std::string>(
                    {"set SpecialDayCaption \"Holiday\"", "set SpecialDayCaption \"\"",
                     "set SpecialDayCaption \"A \\\"long\\\" caption for a narrow button\""});
        }
    }

    std::string Get() {
        if (random_.Chance(70)) return "get " + TimeName();
        return "get " +
               random_.Pick<std::string>({"Enable", "SpecialDayEnabled", "SpecialDayCaption"});
    }

    // Looking.

    std::string Look() {
        const std::string bar = std::to_string(Bar());
        switch (random_.Below(9)) {
            case 0:
                return "schedule";
            case 1:
            case 2:
                return "state " + bar;
            case 3:
            case 4:
                return "marks " + bar;
            case 5: {
                // Rows inside the bar; a row below it would end the script. The bar is 35 of
                // the control's 361 pixels high, its frame takes 4 of them, and its height may
                // round down by one.
                const int rows = 35 * height_ / 361 - 5;
                if (rows < 1) return "bars";
                return "row " + bar + " " + std::to_string(random_.Below(rows));
            }
            case 6:
                return random_.Pick<std::string>({"buttons", "bars"});
            case 7:
                return "labels";
            default:
                return "redraws";
        }
    }

    std::string ListenerCommand() {
        if (random_.Chance(10)) return random_.Chance(50) ? "key " + Key() : "focused";
        switch (random_.Below(9)) {
            case 7:
                return WholeDay();
            case 0:
                return Get();
            case 1:
                return SetTime();
            case 2:
                return random_.Pick<std::string>({"call Reset", "call Refresh", "tick"});
            case 3:
                return "click cmdEnable";
            case 4:
                return "click cmdDay(" + std::to_string(Bar()) + ")";
            case 5:
                return random_.Chance(20) ? "click cmdDisable" : "schedule";
            default:
                return Look();
        }
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
