#pragma once
// The default error box: where a failure that escapes an event handler ends up.
#include <exception>
#include <string_view>

#include "core/exception.h"
#include "core/text.h"

namespace tavora {

// A platform message box owned by the main window (DialogOwner), titled with the program's title,
// with the error icon and one OK button.
void ShowErrorBox(std::u16string_view message);

// Runs an event handler and shows whatever escapes it in the default error box. Failures stop
// here: unwinding through the system's window-procedure frames is undefined.
template <typename Handler>
void RunHandler(Handler&& handler) noexcept {
  try {
    handler();
  } catch (const Exception& e) {
    ShowErrorBox(e.Message());
  } catch (const std::exception& e) {
    ShowErrorBox(ToU16(e.what()));
  } catch (...) {
    ShowErrorBox(u"");
  }
}

}  // namespace tavora
