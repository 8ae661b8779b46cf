// tavora-scramble: prints the value of TAVORA_SCRAMBLED_PASSWORD for a site's password, or with
// --descramble the password that a stored value stands for.
#include <cstdio>
#include <cstring>
#include <string>

#include "core/text.h"
#include "db/connection_string.h"

namespace {

int Usage() {
  std::fputs(
      "usage: tavora-scramble PASSWORD        print the value for TAVORA_SCRAMBLED_PASSWORD\n"
      "       tavora-scramble --descramble VALUE   print the password a stored value gives\n",
      stderr);
  return 2;
}

bool PrintableAscii(const std::u16string& s) {
  for (const char16_t c : s) {
    if (c < 0x20 || c > 0x7e) return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const bool descramble = argc == 3 && std::strcmp(argv[1], "--descramble") == 0;
  if (argc != 2 && !descramble) return Usage();
  const auto input = tavora::ToU16(argv[argc - 1]);
  const auto output = descramble ? tavora::Descramble(input) : tavora::Scramble(input);
  if (!descramble) {
    if (input.size() != 10 || !PrintableAscii(input) || !PrintableAscii(output)) {
      std::fputs(
          "tavora-scramble: the password must be 10 printable ASCII characters whose "
          "scrambled form is printable too\n",
          stderr);
      return 1;
    }
    if (input.find(u';') != std::u16string::npos || input[0] == u'"' || input[0] == u'\'') {
      std::fputs(
          "tavora-scramble: a password with ';' or a leading quotation mark would change "
          "the meaning of the connection string\n",
          stderr);
      return 1;
    }
  }
  std::printf("%s\n", tavora::ToUtf8(output).c_str());
  return 0;
}
