#pragma once
// The registry, reached through three primitives of the platform (advapi32 on Windows: open a
// key below HKEY_LOCAL_MACHINE, query a value, close). Every decision on top of them is here.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavora {

using RegKey = std::uintptr_t;

// The platform's status codes and value types that the lookup looks at.
inline constexpr long kRegSuccess = 0;            // ERROR_SUCCESS
inline constexpr long kRegMoreData = 234;         // ERROR_MORE_DATA
inline constexpr std::uint32_t kRegSz = 1;        // REG_SZ
inline constexpr std::uint32_t kRegExpandSz = 2;  // REG_EXPAND_SZ

// Access rights tried in order until one open succeeds.
inline constexpr std::uint32_t kKeyRead = 0x20019;
inline constexpr std::uint32_t kKeyReadNoNotify = 0x20009;
inline constexpr std::uint32_t kKeyQueryValue = 0x0001;

class RegistryApi {
 public:
  virtual ~RegistryApi() = default;
  // RegOpenKeyExW(HKEY_LOCAL_MACHINE, subKey, 0, access, &key), no registry-view flag.
  virtual long OpenKey(std::u16string_view subKey, std::uint32_t access, RegKey& key) = 0;
  // RegQueryValueExW(key, name, nullptr, &type, data, &size): data null asks for type and size.
  virtual long QueryValue(RegKey key, std::u16string_view name, std::uint32_t& type,
                          std::byte* data, std::uint32_t& size) = 0;
  virtual long CloseKey(RegKey key) = 0;
};

// A key opened read-only below HKEY_LOCAL_MACHINE (the leading "\" of the path dropped), or
// none when every access right was refused; closed when it goes out of scope.
class ReadOnlyKey {
 public:
  ReadOnlyKey(RegistryApi& api, std::u16string_view path);
  ReadOnlyKey() = default;
  ~ReadOnlyKey();
  ReadOnlyKey(const ReadOnlyKey&) = delete;
  ReadOnlyKey& operator=(const ReadOnlyKey&) = delete;

  bool IsOpen() const { return key_.has_value(); }
  // The value's text: empty when no key is open, the value is absent or has no data. Fails with
  // a data-type failure for data of a type other than text, and with a data-read failure when
  // the data cannot be read after its size was learned.
  std::u16string ReadText(std::u16string_view valueName) const;

 private:
  RegistryApi* api_ = nullptr;
  std::optional<RegKey> key_;
};

std::u16string GetProcessorArchitecture(RegistryApi& api);
std::u16string GetOdbcValue(RegistryApi& api, std::u16string_view dataSource,
                            std::u16string_view valueName);

}  // namespace tavora
