#pragma once
// What a message dialog is: its kinds, its buttons and the rules that choose among them.
// The Win32 dialog only carries these out.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavora {

enum class DialogKind : std::uint8_t { Warning, Error, Information, Confirmation, Custom };

enum class DialogButton : std::uint8_t {
  Yes,
  No,
  OK,
  Cancel,
  Abort,
  Retry,
  Ignore,
  All,
  NoToAll,
  YesToAll,
  Help,
  Close
};
inline constexpr int kDialogButtonCount = 12;

using DialogButtons = std::uint16_t;  // bit n stands for the button with value n
using ModalResult = std::uint16_t;    // 0 while open

inline constexpr ModalResult mrNone = 0;
inline constexpr ModalResult mrOk = 1;
inline constexpr ModalResult mrCancel = 2;  // also the frame's close
inline constexpr ModalResult mrYes = 6;
inline constexpr ModalResult mrNo = 7;

constexpr DialogButtons ButtonBit(DialogButton b) {
  return static_cast<DialogButtons>(1u << static_cast<unsigned>(b));
}
constexpr bool Has(DialogButtons set, DialogButton b) { return (set & ButtonBit(b)) != 0; }

inline constexpr DialogButtons mbOK = ButtonBit(DialogButton::OK);
inline constexpr DialogButtons mbYesNo = ButtonBit(DialogButton::Yes) | ButtonBit(DialogButton::No);

struct ButtonInfo {
  std::u16string_view name;
  std::u16string_view caption;  // "&" marks the access key
  ModalResult result;
};

const ButtonInfo& InfoOf(DialogButton b);

// The program's title: the file name without its directory, cut before its first ".", every
// character after the first in lower case.
std::u16string ProgramTitle(std::u16string_view programPath);
std::u16string DialogTitle(DialogKind kind, std::u16string_view programTitle);

DialogButton DefaultButton(DialogButtons buttons);
DialogButton CancelButton(DialogButtons buttons);
// The requested button whose name equals the focus name, ignoring ASCII case; none otherwise.
std::optional<DialogButton> FocusButton(DialogButtons buttons, std::u16string_view focusName);
// The button whose access key is the letter (either case), if it is in the set.
std::optional<DialogButton> AccessKeyButton(DialogButtons buttons, char16_t letter);

// The text of the default error box: "." appended when the message is not empty and the code of
// its last character is greater than that of ".".
std::u16string ErrorBoxText(std::u16string_view message);

}  // namespace tavora
