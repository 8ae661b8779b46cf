#include "core/dialog_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "core/dialog_layout.h"
#include "core/text.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace tavora {
namespace {

DialogButtons Set(std::initializer_list<DialogButton> buttons) {
  DialogButtons set = 0;
  for (const auto b : buttons) set = static_cast<DialogButtons>(set | ButtonBit(b));
  return set;
}

TEST(DialogModel, ButtonSetsAreBitsByValue) {
  EXPECT_EQ(mbOK, 4);
  EXPECT_EQ(mbYesNo, 3);
  EXPECT_EQ(InfoOf(DialogButton::No).caption, u"いいえ(&N)");
  EXPECT_EQ(InfoOf(DialogButton::Help).result, 0);
  EXPECT_EQ(InfoOf(DialogButton::Close).result, 8);
}

TEST(DialogModel, DefaultAndCancelButtons) {
  using B = DialogButton;
  struct Case {
    DialogButtons set;
    B defaultButton, cancelButton;
  } cases[] = {
      {mbOK, B::OK, B::OK},
      {mbYesNo, B::Yes, B::No},
      {Set({B::Yes, B::No, B::Cancel}), B::Yes, B::Cancel},
      {Set({B::OK, B::Yes, B::Cancel}), B::OK, B::Cancel},
      {Set({B::Abort, B::Retry, B::Ignore}), B::Retry, B::OK},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DefaultButton(c.set), c.defaultButton) << c.set;
    EXPECT_EQ(CancelButton(c.set), c.cancelButton) << c.set;
  }
}

TEST(DialogModel, FocusNameIgnoresOnlyAsciiCase) {
  EXPECT_EQ(FocusButton(mbYesNo, u"NO"), DialogButton::No);
  EXPECT_EQ(FocusButton(mbYesNo, u"yes"), DialogButton::Yes);
  EXPECT_EQ(FocusButton(mbOK, u"OK"), DialogButton::OK);
  EXPECT_EQ(FocusButton(mbYesNo, u"NO "), std::nullopt);
  EXPECT_EQ(FocusButton(mbYesNo, u"Ｎｏ"), std::nullopt);
  EXPECT_EQ(FocusButton(mbYesNo, u""), std::nullopt);
  EXPECT_EQ(FocusButton(mbYesNo, u"OK"), std::nullopt);  // not among the requested buttons
}

TEST(DialogModel, AccessKeysInEitherCase) {
  EXPECT_EQ(AccessKeyButton(mbYesNo, u'y'), DialogButton::Yes);
  EXPECT_EQ(AccessKeyButton(mbYesNo, u'N'), DialogButton::No);
  EXPECT_EQ(AccessKeyButton(mbYesNo, u'O'), std::nullopt);
  EXPECT_EQ(AccessKeyButton(mbOK, u'O'), std::nullopt);  // "OK" has no access key
}

TEST(DialogModel, TitlesAndProgramTitle) {
  EXPECT_EQ(ProgramTitle(u"C:\\Tools\\TavoraRepair.exe"), u"Tavorarepair");
  EXPECT_EQ(ProgramTitle(u"Z:/a.b/REPAIR.V2.EXE"), u"Repair");
  EXPECT_EQ(ProgramTitle(u"tool"), u"tool");
  EXPECT_EQ(ProgramTitle(u".exe"), u"");
  // Every letter after the first, not only ASCII, as the platform lower-cases them.
  const std::pair<std::u16string, std::u16string> renamed[] = {
      {u"C:\\ÉCOLE-RÉPARATION.exe", u"École-réparation"},
      {u"ＴＡＶＯＲＡ.exe", u"Ｔａｖｏｒａ"},
      {u"ŁÓDŹ.exe", u"Łódź"},
      {u"ΣΧΟΛΕΙΟ.exe", u"Σχολειο"},
      {u"ШКОЛА.exe", u"Школа"},
      {u"修復ツールA.exe", u"修復ツールa"},
  };
  for (const auto& [path, title] : renamed) {
    EXPECT_EQ(ProgramTitle(path), title) << ToUtf8(path);
  }
  EXPECT_EQ(DialogTitle(DialogKind::Warning, u"X"), u"警告");
  EXPECT_EQ(DialogTitle(DialogKind::Error, u"X"), u"エラー");
  EXPECT_EQ(DialogTitle(DialogKind::Information, u"X"), u"情報");
  EXPECT_EQ(DialogTitle(DialogKind::Confirmation, u"X"), u"確認");
  EXPECT_EQ(DialogTitle(DialogKind::Custom, u"Tavorarepair"), u"Tavorarepair");
}

TEST(DialogModel, ErrorBoxAppendsAPeriodAfterCharactersAboveIt) {
  EXPECT_EQ(ErrorBoxText(u"'Servername' のデータ型が不正です"),
            u"'Servername' のデータ型が不正です.");
  EXPECT_EQ(ErrorBoxText(u""), u"");
  EXPECT_EQ(ErrorBoxText(u"done."), u"done.");
  EXPECT_EQ(ErrorBoxText(u"(x)"), u"(x)");  // ")" is below "."
  EXPECT_EQ(ErrorBoxText(u"a/"), u"a/.");   // "/" is above "."
}

#ifdef _WIN32
// The table claims to lower-case as Windows does in the blocks it covers: every code unit of
// those blocks against CharLowerBuffW.
TEST(DialogModel, TheLowerCaseTableAgreesWithThePlatform) {
  const std::pair<char16_t, char16_t> blocks[] = {{u'\u0000', u'\u017F'},
                                                  {u'\u0380', u'\u03CE'},
                                                  {u'\u0400', u'\u045F'},
                                                  {u'\uFF00', u'\uFF5F'}};
  for (const auto& [first, last] : blocks) {
    for (char32_t c = first; c <= last; ++c) {
      std::u16string ours(1, static_cast<char16_t>(c));
      LowerCaseTable(ours);
      wchar_t platform = static_cast<wchar_t>(c);
      CharLowerBuffW(&platform, 1);
      EXPECT_EQ(static_cast<unsigned>(ours[0]), static_cast<unsigned>(platform))
          << "U+" << std::hex << static_cast<unsigned>(c);
    }
  }
}
#endif

}  // namespace
}  // namespace tavora

// How the Win32 dialog lays itself out, reacts to keys and treats the pointer.
namespace tavora {
namespace {

TEST(DialogShell, ButtonsInEnumerationOrder) {
  EXPECT_EQ(ButtonsOf(mbYesNo), (std::vector{DialogButton::Yes, DialogButton::No}));
  const auto all = ButtonsOf(0x0FFF);
  ASSERT_EQ(all.size(), 12u);
  for (int i = 0; i < kDialogButtonCount; ++i) {
    EXPECT_EQ(all[static_cast<std::size_t>(i)], static_cast<DialogButton>(i));
  }
}

TEST(DialogShell, IconsByKind) {
  EXPECT_EQ(IconOf(DialogKind::Warning), DialogIcon::Warning);
  EXPECT_EQ(IconOf(DialogKind::Error), DialogIcon::Error);
  EXPECT_EQ(IconOf(DialogKind::Information), DialogIcon::Information);
  EXPECT_EQ(IconOf(DialogKind::Confirmation), DialogIcon::Question);
  EXPECT_EQ(IconOf(DialogKind::Custom), DialogIcon::None);
}

TEST(DialogShell, WrapsAtHalfTheScreenAndCentres) {
  EXPECT_EQ(MessageWrapWidth(1024), 512);
  EXPECT_EQ(MessageWrapWidth(1023), 511);
  EXPECT_EQ(CentredOffset(1024, 301), 362);  // half of each, each rounded down
  EXPECT_EQ(CentredOffset(768, 100), 334);
}

bool Inside(const PixelRect& r, int width, int height) {
  return r.left >= 0 && r.top >= 0 && r.left + r.width <= width && r.top + r.height <= height;
}

bool Overlap(const PixelRect& a, const PixelRect& b) {
  return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
         b.top < a.top + a.height;
}

// What the layout promises whatever its margins: icon top left with the text to its right, the
// icon-and-text area at least as high as the icon, one row of equal buttons below it, wide
// enough for the widest caption, equally spaced and centred, and nothing outside the dialog.
TEST(DialogShell, LayoutKeepsItsPromisesForEveryShapeOfContent) {
  const DialogContent contents[] = {
      {200, 13, true, 1, 20},   // short text beside the icon, one button
      {50, 40, false, 2, 120},  // the button row is wider than the text
      {512, 120, true, 2, 60},  // a long wrapped message
      {0, 0, false, 12, 90},    // every button, no text
      {300, 26, true, 3, 200},  // captions wider than the standard width
  };
  const DialogFontUnits fonts[] = {{6, 13}, {8, 16}, {11, 24}};
  for (const auto& font : fonts) {
    for (const auto& c : contents) {
      SCOPED_TRACE(::testing::Message()
                   << c.textWidth << "x" << c.textHeight << " icon " << c.hasIcon << " buttons "
                   << c.buttonCount << " font " << font.charWidth << "x" << font.charHeight);
      const auto l = LayOutDialog(c, font);
      EXPECT_EQ(l.text.width, c.textWidth);
      EXPECT_EQ(l.text.height, c.textHeight);
      EXPECT_TRUE(Inside(l.text, l.clientWidth, l.clientHeight));
      int areaBottom = l.text.top + l.text.height;
      if (c.hasIcon) {
        EXPECT_EQ(l.icon.width, kIconSize);
        EXPECT_EQ(l.icon.height, kIconSize);
        EXPECT_EQ(l.icon.top, l.text.top);
        EXPECT_GT(l.text.left, l.icon.left + l.icon.width);  // a gap between icon and text
        EXPECT_TRUE(Inside(l.icon, l.clientWidth, l.clientHeight));
        areaBottom = std::max(areaBottom, l.icon.top + l.icon.height);
      } else {
        EXPECT_EQ(l.icon, PixelRect{});
        auto withIcon = c;
        withIcon.hasIcon = true;
        EXPECT_LE(l.text.left + kIconSize, LayOutDialog(withIcon, font).text.left)
            << "the text begins at the left margin, where the icon would stand";
      }
      ASSERT_EQ(l.buttons.size(), static_cast<std::size_t>(c.buttonCount));
      for (std::size_t i = 0; i < l.buttons.size(); ++i) {
        const auto& b = l.buttons[i];
        EXPECT_TRUE(Inside(b, l.clientWidth, l.clientHeight));
        EXPECT_GT(b.top, areaBottom) << "below the icon-and-text area";
        EXPECT_GE(b.width, c.widestCaption);
        EXPECT_EQ(b.width, l.buttons[0].width);
        EXPECT_EQ(b.top, l.buttons[0].top);
        if (i > 0) {
          EXPECT_EQ(b.left - (l.buttons[i - 1].left + b.width),
                    l.buttons[1].left - (l.buttons[0].left + b.width))
              << "equal gaps";
          EXPECT_FALSE(Overlap(b, l.buttons[i - 1]));
        }
      }
      if (!l.buttons.empty()) {
        const int right = l.clientWidth - (l.buttons.back().left + l.buttons.back().width);
        EXPECT_LE(std::abs(l.buttons.front().left - right), 1) << "the row is centred";
      }
    }
  }
}

TEST(DialogShell, InitialFocus) {
  const DialogButtons abortIgnore = Set({DialogButton::Abort, DialogButton::Ignore});
  EXPECT_EQ(InitialFocus(mbYesNo, u"NO"), DialogButton::No);
  EXPECT_EQ(InitialFocus(mbYesNo, u"Nope"), DialogButton::Yes);
  EXPECT_EQ(InitialFocus(mbOK, u""), DialogButton::OK);
  EXPECT_EQ(InitialFocus(Set({DialogButton::Abort, DialogButton::Retry}), u""),
            DialogButton::Retry);
  EXPECT_EQ(InitialFocus(abortIgnore, u""), DialogButton::Abort);
}

TEST(DialogShell, Keys) {
  using Kind = DialogKeyAction::Kind;
  constexpr KeyModifiers none{};
  constexpr KeyModifiers shift{true, false, false};
  constexpr KeyModifiers ctrl{false, true, false};
  constexpr KeyModifiers alt{false, false, true};
  const DialogButtons abortRetryIgnore =
      Set({DialogButton::Abort, DialogButton::Retry, DialogButton::Ignore});
  const DialogButtons yesNoCancel =
      Set({DialogButton::Yes, DialogButton::No, DialogButton::Cancel});
  struct Case {
    DialogButtons buttons;
    DialogButton focused;
    DialogKey key;
    KeyModifiers modifiers;
    DialogKeyAction expected;
  };
  const Case cases[] = {
      {mbYesNo, DialogButton::No, DialogKey::Enter, none, {Kind::Press, DialogButton::No}},
      {mbYesNo, DialogButton::Yes, DialogKey::Enter, none, {Kind::Press, DialogButton::Yes}},
      {mbYesNo, DialogButton::No, DialogKey::Enter, shift, {}},
      {mbYesNo, DialogButton::No, DialogKey::Enter, ctrl, {}},
      {mbYesNo, DialogButton::No, DialogKey::Enter, alt, {}},
      {mbYesNo, DialogButton::Yes, DialogKey::Escape, none, {Kind::Press, DialogButton::No}},
      {mbYesNo, DialogButton::Yes, DialogKey::Escape, shift, {}},
      {mbOK, DialogButton::OK, DialogKey::Escape, none, {Kind::Press, DialogButton::OK}},
      {yesNoCancel,
       DialogButton::Yes,
       DialogKey::Escape,
       none,
       {Kind::Press, DialogButton::Cancel}},
      // No Cancel, No or OK in the set: Esc presses nothing.
      {abortRetryIgnore, DialogButton::Retry, DialogKey::Escape, none, {}},
      {mbYesNo, DialogButton::No, DialogKey::Tab, none, {Kind::Focus, DialogButton::Yes}},
      {mbYesNo, DialogButton::Yes, DialogKey::Tab, shift, {Kind::Focus, DialogButton::No}},
      {yesNoCancel, DialogButton::No, DialogKey::Right, none, {Kind::Focus, DialogButton::Cancel}},
      {yesNoCancel, DialogButton::No, DialogKey::Up, none, {Kind::Focus, DialogButton::Yes}},
      {yesNoCancel, DialogButton::Cancel, DialogKey::Down, none, {Kind::Focus, DialogButton::Yes}},
      {yesNoCancel, DialogButton::Yes, DialogKey::Left, none, {Kind::Focus, DialogButton::Cancel}},
      {mbOK, DialogButton::OK, DialogKey::Tab, none, {Kind::Focus, DialogButton::OK}},
  };
  for (const auto& c : cases) {
    const auto action = ActionForKey(c.buttons, c.focused, c.key, c.modifiers);
    EXPECT_TRUE(action == c.expected)
        << "key " << int(c.key) << " focused " << int(c.focused) << ": got kind "
        << int(action.kind) << " button " << int(action.button);
  }
}

TEST(DialogShell, PointerComesBackAfterAModalDialog) {
  AppPointer pointer;
  pointer.Set(PointerShape::Wait);
  const auto saved = pointer.EnterModal();
  EXPECT_EQ(pointer.Shape(), PointerShape::Default);  // the arrow while open
  pointer.LeaveModal(saved);
  EXPECT_EQ(pointer.Shape(), PointerShape::Wait);
}

TEST(DialogShell, PointerSetWhileADialogIsOpenStays) {
  AppPointer pointer;
  pointer.Set(PointerShape::Wait);
  const auto saved = pointer.EnterModal();
  pointer.Set(PointerShape::Default);
  pointer.LeaveModal(saved);
  EXPECT_EQ(pointer.Shape(), PointerShape::Default);
}

TEST(DialogShell, NestedDialogsRestoreInTurn) {
  AppPointer pointer;
  pointer.Set(PointerShape::Wait);
  const auto outer = pointer.EnterModal();
  const auto inner = pointer.EnterModal();
  pointer.LeaveModal(inner);
  EXPECT_EQ(pointer.Shape(), PointerShape::Default);
  pointer.LeaveModal(outer);
  EXPECT_EQ(pointer.Shape(), PointerShape::Wait);
}

}  // namespace
}  // namespace tavora
