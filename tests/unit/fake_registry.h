#pragma once
// An in-memory registry below HKEY_LOCAL_MACHINE that behaves like advapi32 for the three
// primitives, and remembers which keys are open.
#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "db/registry.h"

namespace tavora::testing {

inline constexpr long kFileNotFound = 2;
inline constexpr long kAccessDenied = 5;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

struct FakeValue {
  std::uint32_t type = kRegSz;
  std::vector<std::byte> data;
};

// Text as stored by the registry: UTF-16LE with a terminating NUL.
inline FakeValue Sz(std::u16string_view text, std::uint32_t type = kRegSz) {
  FakeValue v{type, {}};
  for (const char16_t c : std::u16string(text) + u'\0') {
    v.data.push_back(static_cast<std::byte>(c & 0xFF));
    v.data.push_back(static_cast<std::byte>(c >> 8));
  }
  return v;
}

inline FakeValue Bytes(std::uint32_t type, std::vector<std::byte> data) { return {type, data}; }

struct FakeKey {
  std::map<std::u16string, FakeValue> values;
  std::set<std::uint32_t> grantedAccess = {kKeyRead, kKeyReadNoNotify, kKeyQueryValue};
};

class FakeRegistry final : public RegistryApi {
 public:
  std::map<std::u16string, FakeKey> keys;
  std::vector<std::pair<std::u16string, std::uint32_t>> openAttempts;
  std::set<RegKey> openKeys;
  // Runs between a value's size query and its read, to change the store meanwhile.
  std::function<void()> betweenQueries;

  void Set(const std::u16string& path, const std::u16string& name, FakeValue value) {
    keys[path].values[name] = std::move(value);
  }

  long OpenKey(std::u16string_view subKey, std::uint32_t access, RegKey& key) override {
    openAttempts.emplace_back(std::u16string(subKey), access);
    const auto it = keys.find(std::u16string(subKey));
    if (it == keys.end()) return kFileNotFound;
    if (!it->second.grantedAccess.count(access)) return kAccessDenied;
    key = nextHandle_++;
    handles_[key] = std::u16string(subKey);
    openKeys.insert(key);
    return kRegSuccess;
  }

  long QueryValue(RegKey key, std::u16string_view name, std::uint32_t& type, std::byte* data,
                  std::uint32_t& size) override {
    const auto& values = keys[handles_.at(key)].values;
    const auto it = values.find(std::u16string(name));
    if (it == values.end()) return kFileNotFound;
    const auto& value = it->second;
    type = value.type;
    const auto needed = static_cast<std::uint32_t>(value.data.size());
    if (data == nullptr) {
      size = needed;
      if (betweenQueries) std::exchange(betweenQueries, nullptr)();
      return kRegSuccess;
    }
    if (size < needed) {
      size = needed;
      return kRegMoreData;
    }
    if (needed) std::memcpy(data, value.data.data(), needed);
    size = needed;
    return kRegSuccess;
  }

  long CloseKey(RegKey key) override {
    openKeys.erase(key);
    return kRegSuccess;
  }

 private:
  RegKey nextHandle_ = 100;
  std::map<RegKey, std::u16string> handles_;
};

inline const std::u16string kEnvironmentPath =
    u"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
inline const std::u16string kX86DataSourcePath = u"SOFTWARE\\ODBC\\ODBC.INI\\tavoratosho";
inline const std::u16string kAmd64DataSourcePath =
    u"SOFTWARE\\Wow6432Node\\ODBC\\ODBC.INI\\tavoratosho";

}  // namespace tavora::testing
