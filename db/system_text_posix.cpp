#include "db/system_text.h"

namespace tavora {

std::u16string SystemErrorText(std::uint32_t) { return {}; }

}  // namespace tavora
