#include "core/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace korvelan {
namespace {

// Which bytes start a well-formed character, and how long it is. A text that is cut short, a byte
// that cannot lead, an overlong form, a surrogate or a value above U+10FFFF starts none.
TEST(Utf8, SequenceLengths) {
  const struct {
    const char* what;
    std::string text;
    std::size_t at;
    std::size_t length;
  } cases[] = {
      {"ASCII letter", "a", 0, 1},
      {"NUL", std::string(1, '\0'), 0, 1},
      {"DEL", "\x7F", 0, 1},
      {"two bytes, lowest", "\xC2\x80", 0, 2},
      {"two bytes, e acute", "caf\xC3\xA9", 3, 2},
      {"two bytes, highest", "\xDF\xBF", 0, 2},
      {"three bytes, lowest", "\xE0\xA0\x80", 0, 3},
      {"three bytes, euro sign", "\xE2\x82\xAC", 0, 3},
      {"three bytes, last before the surrogates", "\xED\x9F\xBF", 0, 3},
      {"three bytes, first after the surrogates", "\xEE\x80\x80", 0, 3},
      {"four bytes, lowest", "\xF0\x90\x80\x80", 0, 4},
      {"four bytes, emoji", "\xF0\x9F\x98\x80", 0, 4},
      {"four bytes, U+10FFFF", "\xF4\x8F\xBF\xBF", 0, 4},
      {"Latin-1 e acute", "caf\xE9", 3, 0},
      {"lone continuation byte", "\x80y", 0, 0},
      {"overlong slash in two bytes", "\xC0\xAF", 0, 0},
      {"overlong two-byte lead C1", "\xC1\xBF", 0, 0},
      {"overlong three bytes", "\xE0\x80\xAF", 0, 0},
      {"overlong three bytes, highest", "\xE0\x9F\xBF", 0, 0},
      {"overlong four bytes", "\xF0\x8F\xBF\xBF", 0, 0},
      {"surrogate, first", "\xED\xA0\x80", 0, 0},
      {"surrogate, last", "\xED\xBF\xBF", 0, 0},
      {"above U+10FFFF", "\xF4\x90\x80\x80", 0, 0},
      {"lead F5", "\xF5\x80\x80\x80", 0, 0},
      {"byte FF", "\xFF", 0, 0},
      {"two bytes cut short", "x\xC3", 1, 0},
      {"three bytes cut short", "x\xE2\x82", 1, 0},
      {"four bytes cut short", "\xF0\x9F\x98", 0, 0},
      {"second byte not a continuation", "\xC3\x41", 0, 0},
      {"third byte not a continuation", "\xE2\x82\x41", 0, 0},
      {"fourth byte not a continuation", "\xF0\x9F\x98\x41", 0, 0},
      {"continuation inside a character", "\xC3\xA9", 1, 0},
      {"at the end", "ab", 2, 0},
      {"past the end", "ab", 5, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(utf8SequenceAt(c.text, c.at), c.length) << c.what;
}

}  // namespace
}  // namespace korvelan
