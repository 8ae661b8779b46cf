// Whatever the connection string holds, reading it either fails cleanly or yields an ODBC string
// in which the password cannot add a key.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/exception.h"
#include "core/text.h"
#include "db/provider_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto text = tavora::ToU16(std::string(reinterpret_cast<const char*>(data), size));
  try {
    const auto login = tavora::ReadConnectionString(text);
    const auto odbc = tavora::OdbcConnectString(login);
    // The password is the last value: braced, and every "}" inside it doubled.
    const auto pwd = odbc.find(u";PWD={");
    if (pwd == std::u16string::npos || odbc.substr(odbc.size() - 2) != u"};") __builtin_trap();
    const auto inner = odbc.substr(pwd + 6, odbc.size() - pwd - 8);
    std::u16string undoubled;
    for (std::size_t i = 0; i < inner.size(); ++i) {
      undoubled += inner[i];
      if (inner[i] == u'}') {
        if (i + 1 >= inner.size() || inner[i + 1] != u'}') __builtin_trap();
        ++i;
      }
    }
    if (undoubled != login.password) __builtin_trap();
  } catch (const tavora::Exception&) {
  }
  return 0;
}
