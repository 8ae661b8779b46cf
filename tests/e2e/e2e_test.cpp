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

TEST_F(EndToEnd, AServerValueOfTheWrongTypeGoesToTheDefaultErrorBox) {
  SetServer(L"REG_DWORD", L"1");
  HWND main = StartAndWaitForMainWindow();
  ASSERT_NE(main, nullptr);
  Press(main);
  HWND box = WaitForDialog(L"#32770");
  ASSERT_NE(box, nullptr);
  std::wstring text;
  for (HWND child : Children(box)) {
    if (HasClass(child, L"Static") && !TextW(child).empty()) text = TextW(child);
  }
  EXPECT_EQ(text, L"'Servername' のデータ型が不正です.");
  Answer(box, {"Enter"});
  EXPECT_TRUE(program_->Running());
  EXPECT_NE(VisibleWindow(program_->Id(), L"TfMain"), nullptr);
  ExpectUntouched();
}

TEST_F(EndToEnd, AFailedBatchLeavesTheWindowOpenAndASecondPressSucceeds) {
  AdminSession().Exec("DROP TABLE tmp_user_file_data");
  HWND main = StartAndWaitForMainWindow();
  ASSERT_NE(main, nullptr);
  PressAndAnswer(main, "Y");
  HWND failed = WaitForDialog();
  ASSERT_NE(failed, nullptr);
  const auto message = DialogMessage(failed);
  EXPECT_NE(message.find(L"tmp_user_file_data"), std::wstring::npos) << Narrow(message);
  ExpectOneDialog(L"エラー", kBatchFailedPrefix);
  EXPECT_TRUE(program_->Running());
  // Nothing of the command stayed.
  EXPECT_EQ(tavora::testing::ColumnsOf("tmp_user_file_select").size(), 87u);

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
