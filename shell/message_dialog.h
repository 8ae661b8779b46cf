#pragma once
// The message dialog (window class "TMessageForm") that the program builds itself: stock icon,
// message, one button per requested member, modal over the program's other windows.
#include <string>

#include "shell/dialog_model.h"

namespace tavora {

// Control IDs of the dialog's static controls; each button is ControlIdOf(button).
inline constexpr int kDialogIconId = 100;
inline constexpr int kDialogMessageId = 101;

// Beeps, shows the dialog modally and returns the result of the button that closed it (2 when
// it was closed through its frame). The dialog is destroyed on every path.
ModalResult ShowMessageDialog(const std::u16string& message, DialogKind kind, DialogButtons buttons,
                              const std::u16string& focusName);

}  // namespace tavora
