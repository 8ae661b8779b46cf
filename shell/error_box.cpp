#include "shell/error_box.h"

#include <windows.h>

#include "core/dialog_rules.h"
#include "shell/application.h"
#include "shell/win32_handles.h"

namespace tavora {

void ShowErrorBox(std::u16string_view message) {
  const auto text = ErrorBoxText(message);
  const auto title = TheProgramTitle();
  MessageBoxW(DialogOwner(), Wide(text), Wide(title), MB_ICONERROR | MB_OK);
}

}  // namespace tavora
