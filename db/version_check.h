#pragma once
// The start-up check: the program runs only against the schema version it was made for.
#include "core/user_interface.h"
#include "db/data_source.h"

namespace tavora {

inline constexpr char16_t kAcceptedVersion[] = u"2025";
inline constexpr char16_t kVersionStatement[] = u" SELECT ver_kaku FROM env;  ";

// Connects, reads env.ver_kaku, disconnects and compares exactly; on a refusal or any failure
// shows one dialog and then asks the application to end. Only the first disconnect, which does
// nothing on a closed connection, lies outside the failure handling.
void CheckSchemaVersion(UserInterface& ui, Connection& conTavora, Query& qry);

}  // namespace tavora
