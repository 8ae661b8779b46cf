#include "db/connection_string.h"

#include "db/scrambled_password.h"

namespace tavora {

namespace {

char16_t Shift(std::size_t position) {  // position counted from 1
  const auto k = position % 4;
  return static_cast<char16_t>(k == 0 ? 4 : k);
}

}  // namespace

std::u16string Descramble(std::u16string_view text) {
  std::u16string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    result += static_cast<char16_t>(text[i] - Shift(i + 1));
  }
  return result;
}

std::u16string Scramble(std::u16string_view password) {
  std::u16string result;
  result.reserve(password.size());
  for (std::size_t i = 0; i < password.size(); ++i) {
    result += static_cast<char16_t>(password[i] + Shift(i + 1));
  }
  return result;
}

std::u16string StoredScrambledPassword() {
  return std::u16string(std::begin(kStoredScrambledPassword), std::end(kStoredScrambledPassword));
}

std::u16string ComposeConnectionString() {
  return ComposeConnectionString(StoredScrambledPassword());
}

std::u16string ComposeConnectionString(std::u16string_view storedScrambledPassword) {
  std::u16string s = u"Provider=MSDASQL.1;";
  s += u"Password=";
  s += Descramble(storedScrambledPassword);
  s += u";";
  s += u"Persist Security Info=True;User ID=";
  s += u"tavora_user";
  s += u";";
  s += u"Data Source=";
  s += u"tavoratosho";
  s += u";";
  return s;
}

void ConnectTavora(Connection& con) {
  con.SetConnectionString(ComposeConnectionString());
  con.SetConnected(true);
}

}  // namespace tavora
