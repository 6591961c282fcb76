// UTF-8 as the program meets it from outside: a file a person edited may be in another
// encoding, and text for a console may arrive a few bytes at a time.
#pragma once

#include <cstddef>
#include <string_view>

namespace talq::platform {

// Whether `text` is UTF-8 throughout: no stray or missing continuation byte, no overlong form,
// no surrogate, nothing past U+10FFFF.
bool IsUtf8(std::string_view text);

// The length of `text` without a character cut short at its end, whose rest is still to come.
std::size_t CompleteUtf8Length(std::string_view text);

}  // namespace talq::platform
