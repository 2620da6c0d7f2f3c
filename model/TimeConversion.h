// Conversions between time values (the decimal number HHMM) and 15-minute block quantities. Both
// work on the decimal text of the number, so malformed values convert the way their text reads:
// 960 is 9 hours and 60 minutes. Both throw RuntimeError where the text does not convert.
#pragma once

#include <cstdint>

namespace tarn {

/// The time value at the start of block quantity q (0 to 96): 33 gives 815, 96 gives 2400.
std::int16_t BlockQuantityToTime(std::int16_t blockQuantity);

/// The block a time value begins (isStart) or the last block it ends (not isStart):
/// 815 gives 33 as a start and 32 as a stop; 0 as a stop gives -1.
std::int16_t TimeToBlockQuantity(bool isStart, std::int16_t timeValue);

}  // namespace tarn
