#include "dialog_model.h"

#include "db/text.h"

namespace tavora {

namespace {

constexpr std::array<ButtonInfo, kDialogButtonCount> kButtons{{
    {u"Yes", u"はい(&Y)", 6},
    {u"No", u"いいえ(&N)", 7},
    {u"OK", u"OK", 1},
    {u"Cancel", u"キャンセル", 2},
    {u"Abort", u"中止(&A)", 3},
    {u"Retry", u"再試行(&R)", 4},
    {u"Ignore", u"無視(&I)", 5},
    {u"All", u"すべて(&A)", 12},
    {u"NoToAll", u"すべていいえ(&O)", 13},
    {u"YesToAll", u"すべてはい(&A)", 14},
    {u"Help", u"ヘルプ(&H)", 0},
    {u"Close", u"閉じる(&C)", 8},
}};

char16_t AsciiUpper(char16_t c) { return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c; }
char16_t AsciiLower(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c; }

}  // namespace

const ButtonInfo& InfoOf(DialogButton b) { return kButtons[static_cast<std::size_t>(b)]; }

std::u16string ProgramTitle(std::u16string_view programPath) {
  const auto slash = programPath.find_last_of(u"\\/:");
  auto name = slash == std::u16string_view::npos ? programPath : programPath.substr(slash + 1);
  name = name.substr(0, name.find(u'.'));
  std::u16string title(name);
  for (std::size_t i = 1; i < title.size(); ++i) title[i] = AsciiLower(title[i]);
  return title;
}

std::u16string DialogTitle(DialogKind kind, std::u16string_view programTitle) {
  switch (kind) {
    case DialogKind::Warning:
      return u"警告";
    case DialogKind::Error:
      return u"エラー";
    case DialogKind::Information:
      return u"情報";
    case DialogKind::Confirmation:
      return u"確認";
    case DialogKind::Custom:
      break;
  }
  return std::u16string(programTitle);
}

DialogButton DefaultButton(DialogButtons buttons) {
  if (Has(buttons, DialogButton::OK)) return DialogButton::OK;
  if (Has(buttons, DialogButton::Yes)) return DialogButton::Yes;
  return DialogButton::Retry;
}

DialogButton CancelButton(DialogButtons buttons) {
  if (Has(buttons, DialogButton::Cancel)) return DialogButton::Cancel;
  if (Has(buttons, DialogButton::No)) return DialogButton::No;
  return DialogButton::OK;
}

std::optional<DialogButton> FocusButton(DialogButtons buttons, std::u16string_view focusName) {
  for (int i = 0; i < kDialogButtonCount; ++i) {
    const auto b = static_cast<DialogButton>(i);
    if (Has(buttons, b) && SameTextAscii(InfoOf(b).name, focusName)) return b;
  }
  return std::nullopt;
}

std::optional<DialogButton> AccessKeyButton(DialogButtons buttons, char16_t letter) {
  for (int i = 0; i < kDialogButtonCount; ++i) {
    const auto b = static_cast<DialogButton>(i);
    if (!Has(buttons, b)) continue;
    const auto caption = InfoOf(b).caption;
    const auto amp = caption.find(u'&');
    if (amp != std::u16string_view::npos && amp + 1 < caption.size() &&
        AsciiUpper(caption[amp + 1]) == AsciiUpper(letter)) {
      return b;
    }
  }
  return std::nullopt;
}

std::u16string ErrorBoxText(std::u16string_view message) {
  std::u16string text(message);
  if (!text.empty() && text.back() > u'.') text += u'.';
  return text;
}

}  // namespace tavora
