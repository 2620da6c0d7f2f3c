// Text from files and users as messages show it: abridged, with control characters escaped, so
// that a huge or hostile input neither floods a message nor acts on the user's terminal.
#pragma once

#include <QString>
#include <cstddef>
#include <limits>
#include <string>
#include <string_view>

namespace tarn::storage {

/// How many characters of an echoed text a message shows.
inline constexpr std::size_t kEchoedCharacters = 40;
/// For Echoed: escape the text but show all of it (for a message already made of echoed parts).
inline constexpr std::size_t kWholeText = std::numeric_limits<std::size_t>::max();

/// `text` as a message echoes it: whole up to `characters` characters, otherwise its first
/// `characters` characters followed by "...". A character is a well-formed UTF-8 sequence, never
/// cut in two; any other byte counts as one and shows as \xHH. Characters that act on a terminal
/// or reorder a line show escaped: \n, \r, \t, \xHH for the other C0 controls and DEL, \uHHHH
/// for the C1 controls, the line and paragraph separators and the bidirectional marks.
std::string Echoed(std::string_view text, std::size_t characters = kEchoedCharacters);
/// Whether `text` is well-formed UTF-8: no stray continuation bytes, no truncated, overlong or
/// surrogate sequences, nothing above U+10FFFF.
bool IsUtf8(std::string_view text);
QString Echoed(const QString& text, std::size_t characters = kEchoedCharacters);

}  // namespace tarn::storage
