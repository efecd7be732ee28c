// Where the characters of a UTF-8 text begin: the one rule by which the readers cut a long name and
// the tree marks the bytes R could not read.
#pragma once

#include <cstddef>
#include <string_view>

namespace korvelan {

// Length (1 to 4) of the well-formed UTF-8 sequence that starts at byte `at`: one character from
// U+0000 to U+10FFFF in its shortest form, not a surrogate. 0 when the byte there starts none (a
// Latin-1 letter, a stray continuation byte, an overlong form, a sequence cut short by the end of
// the text), and at or past the end.
std::size_t utf8SequenceAt(std::string_view text, std::size_t at);

}  // namespace korvelan
