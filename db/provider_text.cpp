#include "db/provider_text.h"

#include <cstdio>
#include <vector>

#include "core/exception.h"
#include "core/text.h"

namespace tavora {

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

std::u16string_view TrimBlanks(std::u16string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

struct Pair {
  std::u16string key;
  std::u16string value;
};

// Reads a quoted value starting at text[pos] (the quote); returns the position after it.
std::size_t ReadQuoted(std::u16string_view text, std::size_t pos, std::u16string& value) {
  const char16_t quote = text[pos++];
  for (;;) {
    if (pos >= text.size()) throw Exception(u"接続文字列の引用符が閉じていません");
    if (text[pos] == quote) {
      if (pos + 1 < text.size() && text[pos + 1] == quote) {
        value += quote;
        pos += 2;
        continue;
      }
      return pos + 1;
    }
    value += text[pos++];
  }
}

std::vector<Pair> ReadPairs(std::u16string_view text) {
  std::vector<Pair> pairs;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const auto eq = text.find(u'=', pos);
    const auto semi = text.find(u';', pos);
    if (eq == std::u16string_view::npos || (semi != std::u16string_view::npos && semi < eq)) {
      // A piece without "=" is allowed only when it is blank (for example ";;").
      const auto end = semi == std::u16string_view::npos ? text.size() : semi;
      if (!TrimBlanks(text.substr(pos, end - pos)).empty()) {
        throw Exception(u"接続文字列の形式が不正です");
      }
      pos = end + 1;
      continue;
    }
    Pair pair;
    pair.key = std::u16string(TrimBlanks(text.substr(pos, eq - pos)));
    pos = eq + 1;
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
    if (pos < text.size() && (text[pos] == u'"' || text[pos] == u'\'')) {
      pos = ReadQuoted(text, pos, pair.value);
      while (pos < text.size() && IsBlank(text[pos])) ++pos;
      if (pos < text.size() && text[pos] != u';') throw Exception(u"接続文字列の形式が不正です");
    } else {
      const auto end = text.find(u';', pos);
      const auto stop = end == std::u16string_view::npos ? text.size() : end;
      pair.value = std::u16string(TrimBlanks(text.substr(pos, stop - pos)));
      pos = stop;
    }
    ++pos;  // past ";"
    pairs.push_back(std::move(pair));
  }
  return pairs;
}

void AppendBraced(std::u16string& out, std::u16string_view value) {
  out += u'{';
  for (const char16_t c : value) {
    out += c;
    if (c == u'}') out += u'}';
  }
  out += u'}';
}

// The driver reads data-source and user names as they stand, so a name that could end its value
// or add a key is refused rather than passed on.
void AppendName(std::u16string& out, std::u16string_view key, std::u16string_view value) {
  const bool plain = value.find_first_of(u";{}=") == std::u16string_view::npos &&
                     (value.empty() || (value.front() != u' ' && value.back() != u' '));
  if (!plain) {
    throw Exception(std::u16string(key) + u" に使用できない文字が含まれています");
  }
  out += key;
  out += u'=';
  out += value;
  out += u';';
}

}  // namespace

OdbcLogin ReadConnectionString(std::u16string_view text) {
  OdbcLogin login;
  std::u16string provider;
  for (auto& pair : ReadPairs(text)) {
    // The last occurrence of a key counts, as in OLE DB.
    if (SameTextAscii(pair.key, u"Provider")) {
      provider = std::move(pair.value);
    } else if (SameTextAscii(pair.key, u"Data Source")) {
      login.dataSource = std::move(pair.value);
    } else if (SameTextAscii(pair.key, u"User ID")) {
      login.user = std::move(pair.value);
    } else if (SameTextAscii(pair.key, u"Password")) {
      login.password = std::move(pair.value);
    }
  }
  if (!SameTextAscii(provider, u"MSDASQL.1")) {
    throw Exception(u"プロバイダー '" + provider + u"' には対応していません (MSDASQL.1 のみ)");
  }
  if (login.dataSource.empty()) throw Exception(u"接続文字列にデータソースがありません");
  return login;
}

std::u16string OdbcConnectString(const OdbcLogin& login) {
  std::u16string s;
  AppendName(s, u"DSN", login.dataSource);
  AppendName(s, u"UID", login.user);
  s += u"PWD=";
  AppendBraced(s, login.password);
  s += u";";
  return s;
}

std::u16string TrimFailureText(std::u16string_view text) {
  while (!text.empty() && (text.back() <= u' ' || text.back() == u'.')) text.remove_suffix(1);
  return std::u16string(text);
}

std::u16string ProviderFailureText(std::u16string_view description, std::u16string_view systemText,
                                   std::uint32_t code) {
  auto text = TrimFailureText(description);
  if (!text.empty()) return text;
  text = TrimFailureText(systemText);
  if (!text.empty()) return text;
  char hex[16];
  std::snprintf(hex, sizeof hex, "%.8x", static_cast<unsigned>(code));
  return u"OLE エラー " + ToU16(hex);
}

}  // namespace tavora
