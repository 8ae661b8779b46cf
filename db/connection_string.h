#pragma once
// The connection string of the Tavora data source and the password kept in scrambled form.
#include <string>
#include <string_view>

#include "db/data_source.h"

namespace tavora {

// Shifts each character down by 1, 2, 3, 4, 1, 2, ... (modulo 65536).
std::u16string Descramble(std::u16string_view text);
// The inverse of Descramble: how a site turns its password into the stored value.
std::u16string Scramble(std::u16string_view password);

std::u16string StoredScrambledPassword();

// Provider, password, user and data source, composed anew with the password descrambled afresh.
std::u16string ComposeConnectionString();
// The same with another stored value, for a site's value to be checked before it is built in.
std::u16string ComposeConnectionString(std::u16string_view storedScrambledPassword);

// Steps 2 to 4 of the connect sequence; step 1, the disconnect, is the caller's, outside its
// failure handling.
void ConnectTavora(Connection& con);

}  // namespace tavora
