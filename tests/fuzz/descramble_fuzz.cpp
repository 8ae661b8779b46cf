// Descramble keeps the length and undoes Scramble for every UTF-16 text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "db/connection_string.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::u16string text;
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    text += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
  }
  const auto plain = tavora::Descramble(text);
  if (plain.size() != text.size()) __builtin_trap();
  if (tavora::Scramble(plain) != text) __builtin_trap();
  if (tavora::Descramble(tavora::Scramble(text)) != text) __builtin_trap();
  return 0;
}
