#pragma once
// The message dialog (window class "TMessageForm") that the program builds itself: stock icon,
// message, one button per requested member, modal over the program's other windows.
#include <optional>
#include <string>

#include "core/dialog_rules.h"

namespace tavora {

// Control IDs of the dialog's controls: the static ones, and each button's base plus its value.
inline constexpr int kDialogIconId = 100;
inline constexpr int kDialogMessageId = 101;
inline constexpr int kButtonIdBase = 2000;
constexpr int ControlIdOf(DialogButton b) { return kButtonIdBase + static_cast<int>(b); }
constexpr std::optional<DialogButton> ButtonOfControlId(int id) {
  if (id < kButtonIdBase || id >= kButtonIdBase + kDialogButtonCount) return std::nullopt;
  return static_cast<DialogButton>(id - kButtonIdBase);
}

// Beeps, shows the dialog modally and returns the result of the button that closed it (2 when
// it was closed through its frame). The dialog is destroyed on every path.
ModalResult ShowMessageDialog(const std::u16string& message, DialogKind kind, DialogButtons buttons,
                              const std::u16string& focusName);

}  // namespace tavora
