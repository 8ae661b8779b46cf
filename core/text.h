#pragma once
// UTF-16 text helpers shared by every layer.
#include <string>
#include <string_view>

namespace tavora {

std::u16string ToU16(std::string_view utf8);
std::string ToUtf8(std::u16string_view text);

// Equal when ASCII letters are ignored for case; every other code unit must match exactly.
bool SameTextAscii(std::u16string_view a, std::u16string_view b);

// The whole text, code unit by code unit: the only comparison for texts read from outside.
inline bool SameTextExact(std::u16string_view a, std::u16string_view b) { return a == b; }

// Replaces each "%s" in the pattern with the argument.
std::u16string FormatText(std::u16string_view pattern, std::u16string_view argument);

}  // namespace tavora
