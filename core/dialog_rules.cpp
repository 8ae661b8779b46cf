#include "core/dialog_rules.h"

#include <algorithm>

#include "core/text.h"

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

}  // namespace

const ButtonInfo& InfoOf(DialogButton b) { return kButtons[static_cast<std::size_t>(b)]; }

namespace {

char16_t LowerCaseOf(char16_t c) {
  const auto between = [c](char16_t first, char16_t last) { return c >= first && c <= last; };
  const auto shifted = [c](int by) { return static_cast<char16_t>(c + by); };
  if (between(u'A', u'Z')) return shifted(0x20);
  if (between(u'\u00C0', u'\u00DE') && c != u'\u00D7') return shifted(0x20);
  if (c == u'\u0178') return u'\u00FF';
  // Latin Extended-A: pairs, capital first; the pairs change parity at U+0139 and U+0179.
  if ((between(u'\u0100', u'\u012F') || between(u'\u0132', u'\u0137') ||
       between(u'\u014A', u'\u0177')) &&
      c % 2 == 0) {
    return shifted(1);
  }
  if ((between(u'\u0139', u'\u0148') || between(u'\u0179', u'\u017E')) && c % 2 == 1) {
    return shifted(1);
  }
  if (between(u'\u0391', u'\u03AB') && c != u'\u03A2') return shifted(0x20);
  if (c == u'\u0386') return u'\u03AC';  // Greek capitals with tonos
  if (between(u'\u0388', u'\u038A')) return shifted(0x25);
  if (c == u'\u038C') return u'\u03CC';
  if (between(u'\u038E', u'\u038F')) return shifted(0x3F);
  if (between(u'\u0400', u'\u040F')) return shifted(0x50);
  if (between(u'\u0410', u'\u042F')) return shifted(0x20);
  if (between(u'\uFF21', u'\uFF3A')) return shifted(0x20);  // full-width Latin
  return c;
}

}  // namespace

void LowerCaseTable(std::u16string& text) {
  for (auto& c : text) c = LowerCaseOf(c);
}

std::u16string ProgramTitle(std::u16string_view programPath, LowerCaseRule lower) {
  const auto slash = programPath.find_last_of(u"\\/:");
  auto name = slash == std::u16string_view::npos ? programPath : programPath.substr(slash + 1);
  name = name.substr(0, name.find(u'.'));
  if (name.empty()) return {};
  std::u16string rest(name.substr(1));
  lower(rest);
  return std::u16string(name.substr(0, 1)) + rest;
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

namespace {

DialogButton Neighbour(DialogButtons buttons, DialogButton from, bool forward) {
  const auto order = ButtonsOf(buttons);
  if (order.empty()) return from;
  const auto count = static_cast<int>(order.size());
  int index = 0;
  while (index < count && order[static_cast<std::size_t>(index)] != from) ++index;
  if (index == count) return order.front();
  const int next = (index + (forward ? 1 : count - 1)) % count;
  return order[static_cast<std::size_t>(next)];
}

}  // namespace

std::vector<DialogButton> ButtonsOf(DialogButtons buttons) {
  std::vector<DialogButton> order;
  for (int i = 0; i < kDialogButtonCount; ++i) {
    const auto b = static_cast<DialogButton>(i);
    if (Has(buttons, b)) order.push_back(b);
  }
  return order;
}

DialogButton InitialFocus(DialogButtons buttons, std::u16string_view focusName) {
  if (const auto named = FocusButton(buttons, focusName)) return *named;
  const auto fallback = DefaultButton(buttons);
  const auto order = ButtonsOf(buttons);
  return Has(buttons, fallback) || order.empty() ? fallback : order.front();
}

DialogKeyAction ActionForKey(DialogButtons buttons, DialogButton focused, DialogKey key,
                             KeyModifiers modifiers) {
  using Kind = DialogKeyAction::Kind;
  const bool released = !modifiers.shift && !modifiers.ctrl && !modifiers.alt;
  const auto press = [&](DialogButton b) {
    return released && Has(buttons, b) ? DialogKeyAction{Kind::Press, b} : DialogKeyAction{};
  };
  switch (key) {
    case DialogKey::Enter:
      return press(focused);
    case DialogKey::Escape:
      return press(CancelButton(buttons));
    case DialogKey::Tab:
      if (modifiers.ctrl || modifiers.alt) return {};
      return {Kind::Focus, Neighbour(buttons, focused, !modifiers.shift)};
    case DialogKey::Left:
    case DialogKey::Up:
      return {Kind::Focus, Neighbour(buttons, focused, false)};
    case DialogKey::Right:
    case DialogKey::Down:
      return {Kind::Focus, Neighbour(buttons, focused, true)};
  }
  return {};
}

void AppPointer::Set(PointerShape shape) {
  shape_ = shape;
  ++sets_;
}

// The dialog's own arrow is not a setting of the pointer: only Set counts.
AppPointer::ModalSave AppPointer::EnterModal() {
  const ModalSave saved{shape_, sets_};
  shape_ = PointerShape::Default;
  return saved;
}

void AppPointer::LeaveModal(const ModalSave& saved) {
  if (sets_ == saved.sets) shape_ = saved.shape;
}

DialogIcon IconOf(DialogKind kind) {
  switch (kind) {
    case DialogKind::Warning:
      return DialogIcon::Warning;
    case DialogKind::Error:
      return DialogIcon::Error;
    case DialogKind::Information:
      return DialogIcon::Information;
    case DialogKind::Confirmation:
      return DialogIcon::Question;
    case DialogKind::Custom:
      break;
  }
  return DialogIcon::None;
}

}  // namespace tavora
