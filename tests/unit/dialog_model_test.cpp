#include "shell/dialog_model.h"

#include <gtest/gtest.h>

#include "db/text.h"

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

}  // namespace
}  // namespace tavora

// How the Win32 dialog lays itself out, reacts to keys and treats the pointer.
namespace tavora {
namespace {

TEST(DialogShell, ButtonsInEnumerationOrderWithTheirControlIds) {
  EXPECT_EQ(ButtonsOf(mbYesNo), (std::vector{DialogButton::Yes, DialogButton::No}));
  const auto all = ButtonsOf(0x0FFF);
  ASSERT_EQ(all.size(), 12u);
  for (int i = 0; i < kDialogButtonCount; ++i) {
    EXPECT_EQ(all[static_cast<std::size_t>(i)], static_cast<DialogButton>(i));
    EXPECT_EQ(ControlIdOf(static_cast<DialogButton>(i)), 2000 + i);
    EXPECT_EQ(ButtonOfControlId(2000 + i), static_cast<DialogButton>(i));
  }
  EXPECT_EQ(ButtonOfControlId(1999), std::nullopt);
  EXPECT_EQ(ButtonOfControlId(2012), std::nullopt);
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

// Font units of 8 x 16 make one dialog unit two pixels both ways: margins 16, icon-to-text gap
// 20, text-to-buttons gap 20, buttons 100 x 28 at least, 8 apart, captions padded by 16.
constexpr DialogFontUnits kUnits{8, 16};

TEST(DialogShell, LayoutWithIconAndOneButton) {
  const auto layout = LayOutDialog({200, 13, true, 1, 20}, kUnits);
  EXPECT_EQ(layout.icon, (PixelRect{16, 16, 32, 32}));
  EXPECT_EQ(layout.text, (PixelRect{68, 16, 200, 13}));
  // The icon makes the area 32 high although the text is lower; the row is centred.
  ASSERT_EQ(layout.buttons.size(), 1u);
  EXPECT_EQ(layout.buttons[0], (PixelRect{92, 68, 100, 28}));
  EXPECT_EQ(layout.clientWidth, 284);
  EXPECT_EQ(layout.clientHeight, 112);
}

TEST(DialogShell, LayoutWithoutIconWhereTheButtonRowIsWiderThanTheText) {
  const auto layout = LayOutDialog({50, 40, false, 2, 120}, kUnits);
  EXPECT_EQ(layout.icon, PixelRect{});
  EXPECT_EQ(layout.text, (PixelRect{16, 16, 50, 40}));
  // Widened to the widest caption, all of one width, equal gaps, margin on both sides.
  ASSERT_EQ(layout.buttons.size(), 2u);
  EXPECT_EQ(layout.buttons[0], (PixelRect{16, 76, 136, 28}));
  EXPECT_EQ(layout.buttons[1], (PixelRect{160, 76, 136, 28}));
  EXPECT_EQ(layout.clientWidth, 312);
  EXPECT_EQ(layout.clientHeight, 120);
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
