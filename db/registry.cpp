#include "db/registry.h"

#include <algorithm>
#include <vector>

#include "core/exception.h"
#include "core/messages.h"
#include "core/text.h"

namespace tavora {

namespace {

constexpr std::u16string_view kEnvironmentKey =
    u"\\SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
constexpr std::u16string_view kOdbcIniKey = u"\\SOFTWARE\\ODBC\\ODBC.INI\\";
constexpr std::u16string_view kWow64OdbcIniKey = u"\\SOFTWARE\\Wow6432Node\\ODBC\\ODBC.INI\\";

std::u16string_view Relative(std::u16string_view path) {
  if (!path.empty() && path.front() == u'\\') path.remove_prefix(1);
  return path;
}

// The stored characters up to the first NUL or the end; a lone odd byte at the end is no
// character and is left out.
std::u16string TextOf(const std::vector<std::byte>& data, std::size_t size) {
  std::u16string text;
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    const auto c = static_cast<char16_t>(std::to_integer<unsigned>(data[i]) |
                                         (std::to_integer<unsigned>(data[i + 1]) << 8));
    if (c == u'\0') break;
    text += c;
  }
  return text;
}

}  // namespace

ReadOnlyKey::ReadOnlyKey(RegistryApi& api, std::u16string_view path) : api_(&api) {
  for (const auto access : {kKeyRead, kKeyReadNoNotify, kKeyQueryValue}) {
    RegKey key = 0;
    if (api.OpenKey(Relative(path), access, key) == kRegSuccess) {
      key_ = key;
      return;
    }
  }
}

ReadOnlyKey::~ReadOnlyKey() {
  if (key_) api_->CloseKey(*key_);
}

std::u16string ReadOnlyKey::ReadText(std::u16string_view valueName) const {
  if (!key_) return {};
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  if (api_->QueryValue(*key_, valueName, type, nullptr, size) != kRegSuccess || size == 0) {
    return {};
  }
  std::vector<std::byte> data(size);
  if (api_->QueryValue(*key_, valueName, type, data.data(), size) != kRegSuccess) {
    throw Exception(FormatText(kValueReadFailure, valueName));
  }
  if (type != kRegSz && type != kRegExpandSz) {
    throw Exception(FormatText(kValueTypeFailure, valueName));
  }
  // The second query reports the bytes it wrote; never read past the buffer whatever it says.
  return TextOf(data, std::min<std::size_t>(size, data.size()));
}

std::u16string GetProcessorArchitecture(RegistryApi& api) {
  const ReadOnlyKey key(api, kEnvironmentKey);
  return key.ReadText(u"PROCESSOR_ARCHITECTURE");
}

std::u16string GetOdbcValue(RegistryApi& api, std::u16string_view dataSource,
                            std::u16string_view valueName) {
  const auto architecture = GetProcessorArchitecture(api);
  std::u16string path;
  if (SameTextExact(architecture, u"x86")) {
    path = std::u16string(kOdbcIniKey) + std::u16string(dataSource);
  } else if (SameTextExact(architecture, u"AMD64")) {
    path = std::u16string(kWow64OdbcIniKey) + std::u16string(dataSource);
  } else {
    return {};  // no branch belongs to any other architecture
  }
  const ReadOnlyKey key(api, path);
  return key.ReadText(valueName);
}

}  // namespace tavora
