// The program's message dialog, opened through DialogHarness.exe and driven like a user would:
// what it shows, where the focus and the emphasis are, and what each key answers.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tests/ui/ui_driver.h"

namespace tavora::ui {
namespace {

enum Kind { Warning, Error, Information, Confirmation, Custom };
enum Button { Yes, No, OK, Cancel, Abort, Retry, Ignore, All, NoToAll, YesToAll, Help, Close };

constexpr int Bit(Button b) { return 1 << b; }
constexpr int kOk = Bit(OK);
constexpr int kYesNo = Bit(Yes) | Bit(No);
constexpr int kEveryButton = (1 << 12) - 1;
constexpr int kButtonIdBase = 2000;

const std::vector<std::string> kCaptions = {"はい(&Y)",       "いいえ(&N)", "OK",
                                            "キャンセル",     "中止(&A)",   "再試行(&R)",
                                            "無視(&I)",       "すべて(&A)", "すべていいえ(&O)",
                                            "すべてはい(&A)", "ヘルプ(&H)", "閉じる(&C)"};

// Results as the harness returns them: its exit code is the dialog's ModalResult.
constexpr DWORD mrOk = 1;
constexpr DWORD mrCancel = 2;  // also the frame's close
constexpr DWORD mrYes = 6;
constexpr DWORD mrNo = 7;

// A dialog opened by the harness: its process and its window once it is shown with a focused
// button. The harness ends when the dialog closes, with the dialog's result as its exit code.
class HarnessDialog {
 public:
  HarnessDialog(Kind kind, int buttons, std::wstring_view focusName, std::wstring_view message,
                std::wstring_view options = {})
      : process_(CommandLine(kind, buttons, focusName, message, options), !options.empty()) {
    WaitUntil([this] {
      window_ = VisibleWindow(process_.Id(), L"TMessageForm");
      return window_ != nullptr && IsChild(window_, FocusOf(window_));
    });
  }

  // Null if the dialog did not appear.
  HWND Window() const { return window_; }
  // After this dialog has closed, the harness's next one (--next); false if none appeared.
  bool Next() {
    const HWND closed = window_;
    window_ = nullptr;
    if (!WaitUntil([closed] { return !IsWindow(closed); })) return false;
    return WaitUntil([this] {
      window_ = VisibleWindow(process_.Id(), L"TMessageForm");
      return window_ != nullptr && IsChild(window_, FocusOf(window_));
    });
  }
  Process& Harness() { return process_; }

  HWND Icon() const {
    for (HWND child : Children(window_)) {
      if (HasClass(child, L"Static") && (Style(child) & SS_TYPEMASK) == SS_ICON) return child;
    }
    return nullptr;
  }
  HWND MessageText() const {
    for (HWND child : Children(window_)) {
      if (HasClass(child, L"Static") && (Style(child) & SS_TYPEMASK) != SS_ICON) return child;
    }
    return nullptr;
  }
  // The buttons from left to right.
  std::vector<HWND> Buttons() const {
    std::vector<HWND> buttons;
    for (HWND child : Children(window_)) {
      if (HasClass(child, L"Button")) buttons.push_back(child);
    }
    std::sort(buttons.begin(), buttons.end(),
              [](HWND a, HWND b) { return BoundsInParent(a).left < BoundsInParent(b).left; });
    return buttons;
  }
  HWND ButtonOf(Button b) const { return GetDlgItem(window_, kButtonIdBase + b); }
  // The buttons drawn with the default-button emphasis.
  std::vector<HWND> Emphasized() const {
    auto buttons = Buttons();
    std::erase_if(buttons, [](HWND b) { return (Style(b) & BS_TYPEMASK) != BS_DEFPUSHBUTTON; });
    return buttons;
  }
  std::string FocusedCaption() const { return Text(FocusOf(window_)); }

  // Presses the keys one after the other; "CloseBox" stands for a click on the close box.
  void Press(const std::vector<std::string_view>& keys) const {
    for (const auto key : keys) {
      if (key == "CloseBox") {
        PostMessageW(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
      } else {
        Type({key});
      }
    }
  }

 private:
  static std::wstring CommandLine(Kind kind, int buttons, std::wstring_view focusName,
                                  std::wstring_view message, std::wstring_view options) {
    return QuoteArgument(TheSettings().harness) + L" " + std::to_wstring(kind) + L" " +
           std::to_wstring(buttons) + L" " + QuoteArgument(focusName) + L" " +
           QuoteArgument(message) + L" " + std::wstring(options);
  }

  Process process_;
  HWND window_ = nullptr;
};

std::vector<std::string> Captions(const std::vector<HWND>& buttons) {
  std::vector<std::string> captions;
  for (HWND b : buttons) captions.push_back(Text(b));
  return captions;
}

// ---------------------------------------------------------------------------------------------
// The three combinations that the system shows, as the user sees them.

struct Combination {
  const char* name;
  Kind kind;
  int buttons;
  const wchar_t* focusName;
  const wchar_t* message;
  std::string title;
  std::vector<std::string> captions;  // left to right
  std::string focused;
  DWORD enterResult;
  friend void PrintTo(const Combination& c, std::ostream* out) { *out << c.name; }
};

class MessageDialogCombinationTest : public testing::TestWithParam<Combination> {};

TEST_P(MessageDialogCombinationTest, LooksAndStartsAsTheUserMeetsIt) {
  const Combination& c = GetParam();
  HarnessDialog dialog(c.kind, c.buttons, c.focusName, c.message);
  HWND window = dialog.Window();
  ASSERT_NE(window, nullptr) << "no dialog appeared";

  EXPECT_EQ(Text(window), c.title);
  EXPECT_NE(dialog.Icon(), nullptr) << "no icon";
  ASSERT_NE(dialog.MessageText(), nullptr);
  EXPECT_EQ(Captions(dialog.Buttons()), c.captions);
  EXPECT_EQ(dialog.FocusedCaption(), c.focused);
  EXPECT_EQ(Captions(dialog.Emphasized()), std::vector<std::string>{c.focused});

  const DWORD style = Style(window);
  EXPECT_EQ(style & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
  EXPECT_TRUE(style & WS_SYSMENU) << "no close box";
  EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) << "a minimise or maximise box";
  EXPECT_FALSE(style & WS_THICKFRAME) << "resizable";
  EXPECT_TRUE(ExStyle(window) & WS_EX_DLGMODALFRAME) << "an icon in the title bar";
  // Owned (before a main window exists, by the hidden application window), so no taskbar button.
  HWND owner = GetWindow(window, GW_OWNER);
  ASSERT_NE(owner, nullptr);
  EXPECT_EQ(ClassName(owner), L"TApplication");
  EXPECT_FALSE(ExStyle(window) & WS_EX_APPWINDOW);

  RECT frame{};
  GetWindowRect(window, &frame);
  EXPECT_NEAR(frame.left, GetSystemMetrics(SM_CXSCREEN) / 2 - Width(frame) / 2, 1);
  EXPECT_NEAR(frame.top, GetSystemMetrics(SM_CYSCREEN) / 2 - Height(frame) / 2, 1);

  SaveScreenshot(window, L"dialog_" + Widen(c.name));
  ASSERT_TRUE(BringToFront(window));
  dialog.Press({"Enter"});
  EXPECT_EQ(dialog.Harness().WaitForExit(), c.enterResult);
}

INSTANTIATE_TEST_SUITE_P(
    System, MessageDialogCombinationTest,
    testing::Values(Combination{"information",
                                Information,
                                kOk,
                                L"OK",
                                L"データベースの復旧が完了しました。\\r\\n"
                                L"復旧ツールを終了して、処理を続けてください。",
                                "情報",
                                {"OK"},
                                "OK",
                                mrOk},
                    Combination{"error",
                                Error,
                                kOk,
                                L"OK",
                                L"Tavoraデータベースの接続に失敗しました。",
                                "エラー",
                                {"OK"},
                                "OK",
                                mrOk},
                    Combination{"confirmation",
                                Confirmation,
                                kYesNo,
                                L"NO",
                                L"進級処理画面のエラーを復旧します。よろしいですか？",
                                "確認",
                                {"はい(&Y)", "いいえ(&N)"},
                                "いいえ(&N)",
                                mrNo}),
    CaseName());

// ---------------------------------------------------------------------------------------------
// Every kind: its title, and its icon at the top left with the text to its right.

struct KindCase {
  const char* name;
  Kind kind;
  std::string title;
  bool icon;
  friend void PrintTo(const KindCase& c, std::ostream* out) { *out << c.name; }
};

class MessageDialogKindTest : public testing::TestWithParam<KindCase> {};

TEST_P(MessageDialogKindTest, HasItsTitleAndIcon) {
  const KindCase& c = GetParam();
  HarnessDialog dialog(c.kind, kOk, L"OK", L"メッセージ");
  ASSERT_NE(dialog.Window(), nullptr) << "no dialog appeared";
  EXPECT_EQ(Text(dialog.Window()), c.title);
  HWND text = dialog.MessageText();
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(Text(text), "メッセージ");
  HWND icon = dialog.Icon();
  ASSERT_EQ(icon != nullptr, c.icon) << (c.icon ? "no icon" : "an icon");
  if (icon != nullptr) {
    const RECT bounds = BoundsInParent(icon);
    EXPECT_EQ(Width(bounds), 32);
    EXPECT_EQ(Height(bounds), 32);
    EXPECT_GE(BoundsInParent(text).left, bounds.right) << "the text must begin right of the icon";
    EXPECT_GE(BoundsInParent(dialog.Buttons().at(0)).top, bounds.bottom)
        << "the buttons must stand below the icon";
  }
  dialog.Press({"CloseBox"});
  EXPECT_EQ(dialog.Harness().WaitForExit(), mrCancel);
}

INSTANTIATE_TEST_SUITE_P(Kinds, MessageDialogKindTest,
                         testing::Values(KindCase{"Warning", Warning, "警告", true},
                                         KindCase{"Error", Error, "エラー", true},
                                         KindCase{"Information", Information, "情報", true},
                                         KindCase{"Confirmation", Confirmation, "確認", true},
                                         // The program's title, from DialogHarness.exe.
                                         KindCase{"Custom", Custom, "Dialogharness", false}),
                         CaseName());

// ---------------------------------------------------------------------------------------------
// Buttons, focus and emphasis.

TEST(MessageDialogTest, ButtonsStandInTheirOrderInOneCentredRowOfEqualWidth) {
  HarnessDialog dialog(Information, kEveryButton, L"", L"ボタン");
  ASSERT_NE(dialog.Window(), nullptr) << "no dialog appeared";
  const auto buttons = dialog.Buttons();
  EXPECT_EQ(Captions(buttons), kCaptions);
  ASSERT_FALSE(buttons.empty());
  const RECT first = BoundsInParent(buttons.front());
  std::optional<LONG> gap;
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    SCOPED_TRACE(Text(buttons[i]));
    EXPECT_EQ(GetDlgCtrlID(buttons[i]), kButtonIdBase + static_cast<int>(i));
    const RECT bounds = BoundsInParent(buttons[i]);
    EXPECT_EQ(bounds.top, first.top);
    EXPECT_EQ(Width(bounds), Width(first));
    EXPECT_EQ(Height(bounds), Height(first));
    if (i > 0) {
      const LONG between = bounds.left - BoundsInParent(buttons[i - 1]).right;
      if (!gap) gap = between;
      EXPECT_EQ(between, *gap) << "unequal gap";
    }
  }
  const RECT last = BoundsInParent(buttons.back());
  EXPECT_NEAR(first.left, Width(ClientRect(dialog.Window())) - last.right, 1) << "not centred";
}

// The named button gets the focus, and the emphasis goes with the focus. One harness opens the
// dialogs of the table one after the other; each is closed through its frame.
TEST(MessageDialogTest, FocusAndEmphasisOnTheNamedOrTheDefaultButton) {
  struct FocusCase {
    int buttons;
    const wchar_t* focusName;
    Button focused;
  };
  const FocusCase cases[] = {
      // Names compare ASCII letters without regard to case, everything else exactly.
      {kYesNo, L"NO", No},
      {kYesNo, L"no", No},
      {kOk, L"ok", OK},
      {kYesNo, L"NO ", Yes},
      {kYesNo, L"Nö", Yes},
      {kYesNo, L"いいえ", Yes},
      {kYesNo, L"", Yes},
      {Bit(Yes) | Bit(No) | Bit(Cancel), L"CANCEL", Cancel},
      {Bit(Abort) | Bit(Retry) | Bit(Ignore), L"ignore", Ignore},
      // The default: OK before Yes, Yes before Retry.
      {Bit(Yes) | Bit(OK), L"", OK},
      {Bit(Abort) | Bit(Retry) | Bit(Ignore), L"", Retry},
  };
  std::wstring next;
  for (std::size_t i = 1; i < std::size(cases); ++i) {
    next +=
        L" --next " + std::to_wstring(cases[i].buttons) + L" " + QuoteArgument(cases[i].focusName);
  }
  HarnessDialog dialog(Confirmation, cases[0].buttons, cases[0].focusName, L"フォーカス", next);
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    SCOPED_TRACE(testing::Message()
                 << "buttons " << c.buttons << ", focus name \"" << Narrow(c.focusName) << "\"");
    if (i > 0) {
      ASSERT_TRUE(dialog.Next()) << "the next dialog did not appear";
    }
    ASSERT_NE(dialog.Window(), nullptr) << "no dialog appeared";
    const std::string& expected = kCaptions[c.focused];
    EXPECT_EQ(dialog.FocusedCaption(), expected);
    EXPECT_EQ(Captions(dialog.Emphasized()), std::vector<std::string>{expected});
    dialog.Press({"CloseBox"});
  }
  EXPECT_EQ(dialog.Harness().WaitForExit(), mrCancel);
}

TEST(MessageDialogTest, TabMovesTheFocusAndTheEmphasisTogether) {
  HarnessDialog dialog(Confirmation, kYesNo, L"NO", L"よろしいですか？");
  ASSERT_NE(dialog.Window(), nullptr) << "no dialog appeared";
  ASSERT_TRUE(BringToFront(dialog.Window()));
  for (const Button expected : {Yes, No}) {
    const std::string& caption = kCaptions[expected];
    SCOPED_TRACE(caption);
    dialog.Press({"Tab"});
    EXPECT_TRUE(WaitUntil([&] { return dialog.FocusedCaption() == caption; }, 10s));
    EXPECT_EQ(Captions(dialog.Emphasized()), std::vector<std::string>{caption});
  }
  dialog.Press({"Esc"});
  EXPECT_EQ(dialog.Harness().WaitForExit(), mrNo);
}

// ---------------------------------------------------------------------------------------------
// Keys and their results.

struct KeyCase {
  std::string name;
  Kind kind;
  int buttons;
  const wchar_t* focusName;
  std::vector<std::string_view> keys;
  DWORD result;
  friend void PrintTo(const KeyCase& c, std::ostream* out) { *out << c.name; }
};

// The system's three combinations.
KeyCase InformationCase(const char* name, std::vector<std::string_view> keys, DWORD result) {
  return {std::string("Information_") + name, Information, kOk, L"OK", std::move(keys), result};
}
KeyCase ErrorCase(const char* name, std::vector<std::string_view> keys, DWORD result) {
  return {std::string("Error_") + name, Error, kOk, L"OK", std::move(keys), result};
}
KeyCase ConfirmationCase(const char* name, std::vector<std::string_view> keys, DWORD result) {
  return {
      std::string("Confirmation_") + name, Confirmation, kYesNo, L"NO", std::move(keys), result};
}

class MessageDialogKeyTest : public testing::TestWithParam<KeyCase> {};

TEST_P(MessageDialogKeyTest, AnswersWithTheResultOfThePressedButton) {
  const KeyCase& c = GetParam();
  HarnessDialog dialog(c.kind, c.buttons, c.focusName, L"キー操作");
  ASSERT_NE(dialog.Window(), nullptr) << "no dialog appeared";
  ASSERT_TRUE(BringToFront(dialog.Window()));
  dialog.Press(c.keys);
  const auto result = dialog.Harness().WaitForExit();
  ASSERT_TRUE(result.has_value()) << "the dialog is still open";
  EXPECT_EQ(*result, c.result);
}

// A key that must do nothing is followed by one whose answer differs from what it would give.
INSTANTIATE_TEST_SUITE_P(
    Keys, MessageDialogKeyTest,
    testing::Values(
        InformationCase("Enter", {"Enter"}, mrOk), InformationCase("Esc", {"Esc"}, mrOk),
        InformationCase("Space", {"Space"}, mrOk),
        InformationCase("CloseBox", {"CloseBox"}, mrCancel),
        InformationCase("AltF4", {"Alt+F4"}, mrCancel),
        InformationCase("CtrlEnterThenAltF4", {"Ctrl+Enter", "Alt+F4"}, mrCancel),
        ErrorCase("Enter", {"Enter"}, mrOk), ErrorCase("Esc", {"Esc"}, mrOk),
        ErrorCase("CloseBox", {"CloseBox"}, mrCancel), ConfirmationCase("Enter", {"Enter"}, mrNo),
        ConfirmationCase("Esc", {"Esc"}, mrNo), ConfirmationCase("Space", {"Space"}, mrNo),
        ConfirmationCase("UpperY", {"Y"}, mrYes), ConfirmationCase("LowerY", {"y"}, mrYes),
        ConfirmationCase("UpperN", {"N"}, mrNo), ConfirmationCase("LowerN", {"n"}, mrNo),
        ConfirmationCase("TabThenEnter", {"Tab", "Enter"}, mrYes),
        ConfirmationCase("TabThenSpace", {"Tab", "Space"}, mrYes),
        ConfirmationCase("CloseBox", {"CloseBox"}, mrCancel),
        ConfirmationCase("AltF4", {"Alt+F4"}, mrCancel),
        ConfirmationCase("TabCtrlEnterThenEsc", {"Tab", "Ctrl+Enter", "Esc"}, mrNo),
        ConfirmationCase("TabShiftEnterThenEsc", {"Tab", "Shift+Enter", "Esc"}, mrNo),
        ConfirmationCase("TabShiftEscThenEnter", {"Tab", "Shift+Esc", "Enter"}, mrYes),
        // Esc presses Cancel when there is one, before No.
        KeyCase{"YesNoCancel_Esc",
                Confirmation,
                Bit(Yes) | Bit(No) | Bit(Cancel),
                L"",
                {"Esc"},
                mrCancel}),
    CaseName());

// ---------------------------------------------------------------------------------------------
// The message text.

TEST(MessageDialogTest, CrLfStartsASecondLineAndALongMessageWrapsAtHalfTheScreen) {
  struct Shown {
    RECT text;
    RECT client;
  };
  const auto show = [](std::wstring_view message) -> std::optional<Shown> {
    HarnessDialog dialog(Information, kOk, L"OK", message);
    if (dialog.Window() == nullptr || dialog.MessageText() == nullptr) return std::nullopt;
    Shown shown{BoundsInParent(dialog.MessageText()), ClientRect(dialog.Window())};
    dialog.Press({"CloseBox"});
    dialog.Harness().WaitForExit();
    return shown;
  };
  std::wstring longMessage;
  for (int i = 0; i < 12; ++i) longMessage += L"The repair tool adds the missing columns. ";

  const auto oneLine = show(L"一行目です。");
  const auto twoLines = show(L"一行目です。\\r\\n二行目です。");
  const auto wrapped = show(longMessage);
  ASSERT_TRUE(oneLine && twoLines && wrapped) << "a dialog did not appear";

  const LONG lineHeight = Height(oneLine->text);
  EXPECT_GE(Height(twoLines->text), 2 * lineHeight - 1) << "CR LF did not start a new line";
  EXPECT_LT(Height(twoLines->text), 3 * lineHeight);

  const int half = GetSystemMetrics(SM_CXSCREEN) / 2;
  EXPECT_LE(Width(wrapped->text), half);
  EXPECT_GT(Width(wrapped->text), half * 3 / 4) << "wrapped narrower than it may";
  EXPECT_GE(Height(wrapped->text), 3 * lineHeight) << "the long message was not wrapped";
  // No wider than the wrapped text, with its margin on the right as wide as what is on its left.
  EXPECT_LE(wrapped->client.right, wrapped->text.right + wrapped->text.left);
}

// ---------------------------------------------------------------------------------------------
// Modality and the pointer.

// The dialog is owned by the main window, which it disables while open and which is enabled and
// active again afterwards. Also while another program is in front, when no window of the
// program's thread is active (--inactive-owner): a dialog owned by anything else would not stay
// in front of the main window.
TEST(MessageDialogTest, IsOwnedByTheMainWindowWhichItDisablesWhileOpen) {
  struct Case {
    const wchar_t* option;
    std::string_view key;
    DWORD result;
  };
  for (const auto& c :
       {Case{L"--owner", "Enter", mrNo}, Case{L"--inactive-owner", "CloseBox", mrCancel}}) {
    SCOPED_TRACE(Narrow(c.option));
    HarnessDialog dialog(Confirmation, kYesNo, L"NO", L"オーナー", c.option);
    ASSERT_NE(dialog.Window(), nullptr) << "no dialog appeared";
    HWND owner = VisibleWindow(dialog.Harness().Id(), L"THarnessOwner");
    ASSERT_NE(owner, nullptr) << "the harness showed no main window";
    EXPECT_EQ(GetWindow(dialog.Window(), GW_OWNER), owner);
    EXPECT_FALSE(IsWindowEnabled(owner));
    EXPECT_TRUE(IsWindowEnabled(dialog.Window()));
    if (c.key == "Enter") {
      ASSERT_TRUE(BringToFront(dialog.Window()));
    }
    dialog.Press({c.key});
    EXPECT_EQ(dialog.Harness().WaitForExit(), c.result);
    EXPECT_EQ(dialog.Harness().Output().substr(0, 20), "owner=enabled active");
  }
}

// The default error box follows the same rule: owned by the main window, which it disables.
TEST(MessageDialogTest, TheDefaultErrorBoxIsOwnedByTheMainWindowAndDisablesIt) {
  Process harness(QuoteArgument(TheSettings().harness) +
                      L" 1 4 OK \"'Servername' のデータ型が不正です\" --inactive-owner --error-box",
                  true);
  HWND box = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (box = VisibleWindow(harness.Id(), L"#32770")) != nullptr; }))
      << "no error box appeared";
  HWND owner = VisibleWindow(harness.Id(), L"THarnessOwner");
  ASSERT_NE(owner, nullptr) << "the harness showed no main window";
  EXPECT_EQ(GetWindow(box, GW_OWNER), owner);
  EXPECT_FALSE(IsWindowEnabled(owner));
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(harness.WaitForExit(), 0u);
  EXPECT_EQ(harness.Output().substr(0, 13), "owner=enabled");
}

TEST(MessageDialogTest, ShowsTheArrowAndBringsTheWaitPointerBackAfterwards) {
  HarnessDialog dialog(Confirmation, kYesNo, L"NO", L"ポインター", L"--wait-pointer");
  ASSERT_NE(dialog.Window(), nullptr) << "no dialog appeared";
  ASSERT_TRUE(BringToFront(dialog.Window()));
  const POINT centre = CentreOf(dialog.Window());
  SetCursorPos(centre.x, centre.y);
  EXPECT_TRUE(WaitUntil([&] { return PointerOf(dialog.Window()) == Pointer::Arrow; }, 10s))
      << "the pointer over the dialog is not the arrow";
  dialog.Press({"Enter"});
  EXPECT_EQ(dialog.Harness().WaitForExit(), mrNo);
  // The harness reports the pointer shape in force after the dialog has closed.
  EXPECT_EQ(dialog.Harness().Output().substr(0, 12), "pointer=wait");
}

}  // namespace
}  // namespace tavora::ui
