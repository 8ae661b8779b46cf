#pragma once
// How the data-source component reads its OLE DB style connection string and forms the texts of
// provider failures. Portable, so that both are tested and fuzzed natively.
#include <cstdint>
#include <string>
#include <string_view>

namespace tavora {

struct OdbcLogin {
  std::u16string dataSource;
  std::u16string user;
  std::u16string password;
};

// Reads "Key=Value;..." pairs (keys ignore ASCII case and surrounding blanks; a value may be
// quoted with " or ', a doubled quote standing for itself). Requires the provider MSDASQL.1 and
// a data source; Persist Security Info and unknown keys are ignored. Fails with Exception.
OdbcLogin ReadConnectionString(std::u16string_view text);

// The ODBC connection string. The password is brace-quoted with "}" doubled, so that no
// character of it can end its value or add a key; names that could are refused.
std::u16string OdbcConnectString(const OdbcLogin& login);

// Trailing control characters, blanks and periods removed.
std::u16string TrimFailureText(std::u16string_view text);

// The provider's description; without one the system's text for the code; failing that
// "OLE エラー %.8x".
std::u16string ProviderFailureText(std::u16string_view description, std::u16string_view systemText,
                                   std::uint32_t code);

}  // namespace tavora
