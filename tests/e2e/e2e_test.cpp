// The real program against the real server under Wine: start-up refusals, one press of "実行"
// through every outcome, and what each leaves in the database. Registry values are changed with
// Wine's own reg.exe, as a site's administrator would.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "core/text.h"
#include "repair/repair_batch.h"
#include "tests/e2e/e2e_support.h"

namespace tavora::ui {
namespace {

using tavora::testing::AdminSession;

using EndToEnd = ProgramTest;

// Another program's window in front: a plain top-level window of this test process.
class OtherProgramWindow {
 public:
  OtherProgramWindow() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"TOtherProgram";
    RegisterClassExW(&windowClass);
    window_ = CreateWindowExW(0, L"TOtherProgram", L"Mail", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10,
                              10, 400, 300, nullptr, nullptr, windowClass.hInstance, nullptr);
  }
  ~OtherProgramWindow() { DestroyWindow(window_); }
  OtherProgramWindow(const OtherProgramWindow&) = delete;
  OtherProgramWindow& operator=(const OtherProgramWindow&) = delete;
  HWND Handle() const { return window_; }

 private:
  HWND window_;
};

// What a click on "実行" sends to the main window, without activating it.
void ClickWithoutActivating(HWND main) {
  for (HWND child : Children(main)) {
    if (HasClass(child, L"Button")) {
      PostMessageW(main, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(child), BN_CLICKED),
                   reinterpret_cast<LPARAM>(child));
    }
  }
}

TEST_F(EndToEnd, ARefusedVersionIsReportedBeforeAnyWindowAndEndsTheProgram) {
  AdminSession().Exec("UPDATE env SET ver_kaku = '2024'");
  Start();
  ASSERT_NE(WaitForDialog(), nullptr);
  EXPECT_EQ(VisibleWindow(program_->Id(), L"TfMain"), nullptr);
  ExpectOneDialog(L"情報", L"ご利用のバージョンでは実行できません。");
  EXPECT_EQ(program_->WaitForExit(), 0u);
}

TEST_F(EndToEnd, AFailedConnectionAtStartIsReportedAndEndsTheProgram) {
  AdminSession().Exec("ALTER ROLE tavora_user NOLOGIN");
  Start();
  ASSERT_NE(WaitForDialog(), nullptr);
  AdminSession().Exec("ALTER ROLE tavora_user LOGIN");
  EXPECT_EQ(VisibleWindow(program_->Id(), L"TfMain"), nullptr);
  ExpectOneDialog(L"エラー", kConnectionFailed);
  EXPECT_EQ(program_->WaitForExit(), 0u);
}

TEST_F(EndToEnd, ConfirmedRepairSucceedsAndEndsTheProgram) {
  HWND main = StartAndWaitForMainWindow();
  ASSERT_NE(main, nullptr);
  Press(main);
  HWND confirm = WaitForDialog();
  ASSERT_NE(confirm, nullptr);
  EXPECT_EQ(TextW(confirm), L"確認");
  EXPECT_EQ(DialogMessage(confirm), kConfirm);
  EXPECT_EQ(TextW(FocusOf(confirm)), L"いいえ(&N)");
  Answer(confirm, {"Y"});
  ExpectSuccessAndEnd();
}

TEST_F(EndToEnd, AConfirmationNotAnsweredYesSendsNothing) {
  HWND main = StartAndWaitForMainWindow();
  ASSERT_NE(main, nullptr);
  for (const std::string_view key : {"Enter", "Esc", "N", "Alt+F4"}) {
    PressAndAnswer(main, key);
    EXPECT_TRUE(program_->Running()) << key;
    EXPECT_EQ(VisibleWindow(program_->Id(), L"TMessageForm"), nullptr) << key;
  }
  ExpectUntouched();
}

TEST_F(EndToEnd, NoServerConfiguredIsReportedWithoutConnecting) {
  Reg(std::wstring(L"delete ") + kDataSourceKey + L" /v Servername /f");
  HWND main = StartAndWaitForMainWindow();
  ASSERT_NE(main, nullptr);
  Press(main);
  ExpectOneDialog(L"エラー", L"Tavora ODBC設定がありません。");
  EXPECT_TRUE(program_->Running());
  ExpectUntouched();
}

// The box is owned by the main window and disables it while open; afterwards the window takes
// the next press.
TEST_F(EndToEnd, AServerValueOfTheWrongTypeGoesToTheDefaultErrorBox) {
  SetServer(L"REG_DWORD", L"1");
  HWND main = StartAndWaitForMainWindow();
  ASSERT_NE(main, nullptr);
  for (int press = 1; press <= 2; ++press) {
    SCOPED_TRACE(press);
    Press(main);
    HWND box = WaitForDialog(L"#32770");
    ASSERT_NE(box, nullptr);
    std::wstring text;
    for (HWND child : Children(box)) {
      if (HasClass(child, L"Static") && !TextW(child).empty()) text = TextW(child);
    }
    EXPECT_EQ(text, L"'Servername' のデータ型が不正です.");
    EXPECT_EQ(GetWindow(box, GW_OWNER), main);
    EXPECT_FALSE(IsWindowEnabled(main));
    Answer(box, {"Enter"});
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(main) != FALSE; }));
  }
  EXPECT_TRUE(program_->Running());
  EXPECT_NE(VisibleWindow(program_->Id(), L"TfMain"), nullptr);
  ExpectUntouched();
}

// While another program is in front, a dialog of this one is still owned by its main window,
// which is disabled while it is open, and enabled and active again after it closes.
TEST_F(EndToEnd, ADialogOpenedWhileAnotherProgramIsInFrontBelongsToTheMainWindow) {
  Reg(std::wstring(L"delete ") + kDataSourceKey + L" /v Servername /f");
  HWND main = StartAndWaitForMainWindow();
  ASSERT_NE(main, nullptr);
  const OtherProgramWindow other;
  ASSERT_TRUE(BringToFront(other.Handle()));
  ClickWithoutActivating(main);
  HWND dialog = WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(DialogMessage(dialog), L"Tavora ODBC設定がありません。");
  EXPECT_EQ(GetWindow(dialog, GW_OWNER), main);
  EXPECT_FALSE(IsWindowEnabled(main));
  Answer(dialog, {"Enter"});
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(main) && ActiveWindowOf(main) == main; }))
      << "after the dialog, the main window is not enabled and active";
  EXPECT_TRUE(program_->Running());
}

TEST_F(EndToEnd, AFailedBatchLeavesTheWindowOpenAndASecondPressSucceeds) {
  AdminSession().Exec("DROP TABLE tmp_user_file_data");
  HWND main = StartAndWaitForMainWindow();
  ASSERT_NE(main, nullptr);
  PressIntoARefusedBatch(main);

  tavora::testing::ResetSchema();
  PressAndAnswer(main, "Y");
  ExpectSuccessAndEnd();
}

TEST_F(EndToEnd, TheServersLogShowsThePressedCommandOnceAndNothingForANo) {
  tavora::testing::LogStatements(true);
  HWND main = StartAndWaitForMainWindow();
  ASSERT_NE(main, nullptr);

  const tavora::testing::ServerLog answeredNo;
  PressAndAnswer(main, "N");
  EXPECT_EQ(answeredNo.Since().find("tmp_user_file"), std::string::npos);

  std::string command;
  for (const auto& line : tavora::RepairBatchLines()) command += tavora::ToUtf8(line) + "\r\n";
  const auto logged = tavora::testing::LoggedStatement(command);
  const tavora::testing::ServerLog answeredYes;
  PressAndAnswer(main, "Y");
  ExpectSuccessAndEnd();
  const auto log = answeredYes.Since();
  tavora::testing::LogStatements(false);
  const auto first = log.find(logged);
  EXPECT_NE(first, std::string::npos) << log;
  EXPECT_EQ(log.find(logged, first + 1), std::string::npos);
}

}  // namespace
}  // namespace tavora::ui
