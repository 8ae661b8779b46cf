// Reads stored password values, one a line, and prints for each the password that the connection
// string composed with it hands to the ODBC driver, or "refused: " and the reason.
#include <iostream>
#include <string>

#include "core/exception.h"
#include "core/text.h"
#include "db/connection_string.h"
#include "db/provider_text.h"

int main() {
  std::string stored;
  while (std::getline(std::cin, stored)) {
    try {
      const auto login =
          tavora::ReadConnectionString(tavora::ComposeConnectionString(tavora::ToU16(stored)));
      std::cout << tavora::ToUtf8(login.password) << '\n';
    } catch (const tavora::Exception& e) {
      std::cout << "refused: " << e.what() << '\n';
    }
  }
  return 0;
}
