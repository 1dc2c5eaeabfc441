#pragma once

#include <optional>
#include <string_view>

namespace movrek {

// Moves `cursor` past whitespace (a NUL byte stops it, as the end of the text
// does) and leaves it there even when nothing is taken; then takes up to
// `limit` consecutive bytes that are neither whitespace nor NUL. A longer word
// comes out in pieces: the cursor stays inside the word and the next call
// continues it. A limit of 0 or less takes nothing.
//
// Returns a view into the cursor's text, or nothing when no byte was taken.
std::optional<std::string_view> take_word(std::string_view& cursor, long limit);

// Moves `cursor` past whitespace; a NUL byte stops it.
void skip_space(std::string_view& cursor);

}  // namespace movrek
