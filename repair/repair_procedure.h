#pragma once
// One press of "実行": server check, confirmation, the repair batch as one command, the report.
#include "core/user_interface.h"
#include "db/data_source.h"
#include "db/registry.h"

namespace tavora {

inline constexpr char16_t kDataSourceName[] = u"tavoratosho";
inline constexpr char16_t kServerValueName[] = u"Servername";

// A failure of the registry lookup is not handled here: it reaches the default error box.
void RunRepair(UserInterface& ui, RegistryApi& registry, Connection& conTavora, Query& qry);

}  // namespace tavora
