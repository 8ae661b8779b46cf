#pragma once
// The registry primitives carried out by advapi32, root HKEY_LOCAL_MACHINE, read only.
#include "db/registry.h"

namespace tavora {

class Advapi32Registry final : public RegistryApi {
 public:
  long OpenKey(std::u16string_view subKey, std::uint32_t access, RegKey& key) override;
  long QueryValue(RegKey key, std::u16string_view name, std::uint32_t& type, std::byte* data,
                  std::uint32_t& size) override;
  long CloseKey(RegKey key) override;
};

}  // namespace tavora
