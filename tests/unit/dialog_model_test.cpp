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
