#pragma once
// What a message dialog is: its kinds, its buttons and the rules that choose among them (which
// buttons, which texts, which focus, what a key does, which pointer). The Win32 dialog only
// carries these out.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// Lower-cases a text in place, code unit by code unit, as the platform does.
using LowerCaseRule = void (*)(std::u16string& text);
// The platform's rule for the letters a program file's name can hold: ASCII, Latin-1 and
// Latin Extended-A, modern Greek and Cyrillic capitals, full-width Latin. Windows passes its own
// (CharLowerBuffW), which agrees on all of these.
void LowerCaseTable(std::u16string& text);

// The program's title: the file name without its directory, cut before its first ".", every
// character after the first in lower case.
std::u16string ProgramTitle(std::u16string_view programPath, LowerCaseRule lower = LowerCaseTable);
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

// The requested buttons in enumeration order, which is also their order on screen.
std::vector<DialogButton> ButtonsOf(DialogButtons buttons);

// Keys the dialog acts on itself; Space and clicks reach the buttons as they are.
enum class DialogKey : std::uint8_t { Enter, Escape, Tab, Left, Right, Up, Down };

struct KeyModifiers {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
};

struct DialogKeyAction {
  enum class Kind : std::uint8_t { None, Press, Focus } kind = Kind::None;
  DialogButton button = DialogButton::OK;  // the button pressed or focused
  friend bool operator==(const DialogKeyAction&, const DialogKeyAction&) = default;
};

// The button that has the focus when the dialog opens: the one the focus name names, else the
// default button, else (for a set without OK, Yes and Retry) the first button of the set.
DialogButton InitialFocus(DialogButtons buttons, std::u16string_view focusName);

// What a key does; a button outside the set is never pressed.
DialogKeyAction ActionForKey(DialogButtons buttons, DialogButton focused, DialogKey key,
                             KeyModifiers modifiers);

// The application-wide mouse pointer. A modal dialog shows the arrow and, when it closes, brings
// back the shape that was in force before, unless someone set the pointer while it was open.
enum class PointerShape : std::uint8_t { Default, Wait };

class AppPointer {
 public:
  struct ModalSave {
    PointerShape shape;
    unsigned sets;
  };

  PointerShape Shape() const { return shape_; }
  void Set(PointerShape shape);
  ModalSave EnterModal();
  void LeaveModal(const ModalSave& saved);

 private:
  PointerShape shape_ = PointerShape::Default;
  unsigned sets_ = 0;
};

// The stock icon that each kind shows; Custom shows none.
enum class DialogIcon : std::uint8_t { None, Warning, Error, Information, Question };
DialogIcon IconOf(DialogKind kind);

}  // namespace tavora
