#include "model/TimeConversion.h"

#include <cmath>
#include <string>

#include "model/Arithmetic.h"

namespace tarn {

namespace {

/// A text piece as a 16-bit Integer: an optional minus sign and decimal digits, nothing else.
std::int16_t ParseInt16(const std::string& text) {
    std::size_t position = 0;
    bool negative = false;
    if (position < text.size() && text[position] == '-') {
        negative = true;
        ++position;
    }
    if (position == text.size()) throw TypeMismatch();
    long long value = 0;
    for (; position < text.size(); ++position) {
        const char c = text[position];
        if (c < '0' || c > '9') throw TypeMismatch();
        value = value * 10 + (c - '0');
        if (value > 100000) throw Overflow();
    }
    return ToInt16(negative ? -value : value);
}

}  // namespace

std::int16_t BlockQuantityToTime(std::int16_t blockQuantity) {
    const int minuteIndex = blockQuantity & 3;
    const long long hours = static_cast<long long>(std::trunc(blockQuantity / 4.0));
    std::string text = std::to_string(hours);
    text += minuteIndex == 0 ? std::string("00") : std::to_string(minuteIndex * 15);
    return ParseInt16(text);
}

std::int16_t TimeToBlockQuantity(bool isStart, std::int16_t timeValue) {
    const std::string text = std::to_string(timeValue);
    std::int16_t minutes = 0;
    std::int16_t hours = 0;
    switch (text.size()) {
        case 2:
            minutes = timeValue;
            break;
        case 3:
            minutes = ParseInt16(text.substr(1, 2));
            hours = ParseInt16(text.substr(0, 1));
            break;
        case 4:
            minutes = ParseInt16(text.substr(2, 2));
            hours = ParseInt16(text.substr(0, 2));
            break;
        default:
            break;
    }
    double blocks = minutes / 15.0 + ToInt16(static_cast<long long>(hours) * 4);
    if (!isStart) blocks -= 1.0;
    return RoundToInt16(blocks);
}

}  // namespace tarn
