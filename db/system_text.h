#pragma once
// The system's own text for an error code, as the platform words it.
#include <cstdint>
#include <string>

namespace tavora {

// Windows: FormatMessageW's sentence for the code (an HRESULT or a Win32 error). Elsewhere there
// is no such table, and the text is empty, so that callers fall back to their generic form.
std::u16string SystemErrorText(std::uint32_t code);

}  // namespace tavora
