// Any value type, any bytes, any size, and data that changes between the size query and the
// read: the text reading never touches memory outside the value, and fails only as it should.
#include <cstddef>
#include <cstdint>

#include "core/exception.h"
#include "tests/unit/fake_registry.h"

using namespace tavora;
using namespace tavora::testing;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::uint32_t type = data[0] % 12;
  const bool changes = data[1] & 1;
  const std::size_t split = changes ? (size - 2) / 2 : size - 2;
  FakeValue first{type, {}};
  FakeValue second{type, {}};
  for (std::size_t i = 2; i < 2 + split; ++i) first.data.push_back(std::byte{data[i]});
  for (std::size_t i = 2 + split; i < size; ++i) second.data.push_back(std::byte{data[i]});

  FakeRegistry r;
  r.Set(kX86DataSourcePath, u"Servername", first);
  if (changes) r.betweenQueries = [&] { r.Set(kX86DataSourcePath, u"Servername", second); };
  try {
    const ReadOnlyKey key(r, kX86DataSourcePath);
    const auto text = key.ReadText(u"Servername");
    if (text.size() * 2 > first.data.size() + second.data.size()) __builtin_trap();
    if (text.find(u'\0') != std::u16string::npos) __builtin_trap();
  } catch (const Exception&) {
  }
  if (!r.openKeys.empty()) __builtin_trap();
  return 0;
}
