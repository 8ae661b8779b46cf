#include "db/registry_win32.h"

#include <windows.h>

#include <string>

namespace tavora {

namespace {

std::wstring Wide(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }

HKEY AsHkey(RegKey key) { return reinterpret_cast<HKEY>(key); }

}  // namespace

long Advapi32Registry::OpenKey(std::u16string_view subKey, std::uint32_t access, RegKey& key) {
  HKEY opened = nullptr;
  const LSTATUS status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, Wide(subKey).c_str(), 0,
                                       static_cast<REGSAM>(access), &opened);
  if (status == ERROR_SUCCESS) key = reinterpret_cast<RegKey>(opened);
  return static_cast<long>(status);
}

long Advapi32Registry::QueryValue(RegKey key, std::u16string_view name, std::uint32_t& type,
                                  std::byte* data, std::uint32_t& size) {
  DWORD valueType = 0;
  DWORD valueSize = size;
  const LSTATUS status = RegQueryValueExW(AsHkey(key), Wide(name).c_str(), nullptr, &valueType,
                                          reinterpret_cast<BYTE*>(data), &valueSize);
  type = valueType;
  size = valueSize;
  return static_cast<long>(status);
}

long Advapi32Registry::CloseKey(RegKey key) { return static_cast<long>(RegCloseKey(AsHkey(key))); }

}  // namespace tavora
