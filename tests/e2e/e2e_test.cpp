// The real program against the real server under Wine: start-up refusals, one press of "実行"
// through every outcome, and what each leaves in the database. Registry values are changed with
// Wine's own reg.exe, as a site's administrator would.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "db/text.h"
#include "e2e_support.h"
#include "repair/repair_batch.h"

namespace tavora::ui {
namespace {

using tavora::testing::AdminSession;
using tavora::testing::ResetSchema;

using EndToEnd = ProgramTest;

int ColumnCount(const char* table) {
  return static_cast<int>(tavora::testing::ColumnsOf(table).size());
}

TEST_F(EndToEnd, ARefusedVersionIsReportedBeforeAnyWindowAndEndsTheProgram) {
  AdminSession().Exec("UPDATE env SET ver_kaku = '2024'");
  Start();
  HWND dialog = WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(TextW(dialog), L"情報");
  EXPECT_EQ(DialogMessage(dialog), L"ご利用のバージョンでは実行できません。");
  EXPECT_EQ(VisibleWindow(program_->Id(), L"TfMain"), nullptr);
  Answer(dialog, {"Enter"});
  EXPECT_EQ(program_->WaitForExit(), 0u);
}

TEST_F(EndToEnd, AFailedConnectionAtStartIsReportedAndEndsTheProgram) {
  AdminSession().Exec("ALTER ROLE tavora_user NOLOGIN");
  Start();
  HWND dialog = WaitForDialog();
  AdminSession().Exec("ALTER ROLE tavora_user LOGIN");
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(TextW(dialog), L"エラー");
  EXPECT_EQ(DialogMessage(dialog), kConnectionFailed);
  Answer(dialog, {"Enter"});
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
  HWND done = WaitForDialog();
  ASSERT_NE(done, nullptr);
  EXPECT_EQ(TextW(done), L"情報");
  EXPECT_EQ(DialogMessage(done), kDone);
  Answer(done, {"Enter"});
  EXPECT_EQ(program_->WaitForExit(), 0u);
  ExpectRepaired();
}

TEST_F(EndToEnd, AConfirmationNotAnsweredYesSendsNothing) {
  HWND main = StartAndWaitForMainWindow();
  ASSERT_NE(main, nullptr);
  for (const auto& keys : {std::vector<std::string_view>{"Enter"}, {"Esc"}, {"N"}, {"Alt+F4"}}) {
    Press(main);
    HWND confirm = WaitForDialog();
    ASSERT_NE(confirm, nullptr) << keys[0];
    Answer(confirm, {keys[0]});
    EXPECT_TRUE(program_->Running()) << keys[0];
    EXPECT_EQ(VisibleWindow(program_->Id(), L"TMessageForm"), nullptr) << keys[0];
  }
  ExpectUntouched();
}

TEST_F(EndToEnd, NoServerConfiguredIsReportedWithoutConnecting) {
  Reg(std::wstring(L"delete ") + kDataSourceKey + L" /v Servername /f");
  HWND main = StartAndWaitForMainWindow();
  ASSERT_NE(main, nullptr);
  Press(main);
  HWND dialog = WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(TextW(dialog), L"エラー");
  EXPECT_EQ(DialogMessage(dialog), L"Tavora ODBC設定がありません。");
  Answer(dialog, {"Enter"});
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
  Press(main);
  HWND confirm = WaitForDialog();
  ASSERT_NE(confirm, nullptr);
  Answer(confirm, {"Y"});
  HWND failed = WaitForDialog();
  ASSERT_NE(failed, nullptr);
  EXPECT_EQ(TextW(failed), L"エラー");
  const auto message = DialogMessage(failed);
  EXPECT_EQ(message.rfind(L"処理に失敗しました。：", 0), 0u) << Narrow(message);
  EXPECT_NE(message.find(L"tmp_user_file_data"), std::wstring::npos) << Narrow(message);
  Answer(failed, {"Enter"});
  EXPECT_TRUE(program_->Running());
  EXPECT_EQ(ColumnCount("tmp_user_file_select"), 87);  // nothing of the command stayed

  ResetSchema();
  Press(main);
  HWND confirmAgain = WaitForDialog();
  ASSERT_NE(confirmAgain, nullptr);
  Answer(confirmAgain, {"Y"});
  HWND done = WaitForDialog();
  ASSERT_NE(done, nullptr);
  EXPECT_EQ(DialogMessage(done), kDone);
  Answer(done, {"Enter"});
  EXPECT_EQ(program_->WaitForExit(), 0u);
  ExpectRepaired();
}

std::string LogSince(long offset) {
  std::FILE* f = std::fopen(tavora::testing::Getenv("TAVORA_PGLOG").c_str(), "rb");
  std::fseek(f, offset, SEEK_SET);
  std::string text;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
  std::fclose(f);
  return text;
}

long LogSize() { return static_cast<long>(LogSince(0).size()); }

TEST_F(EndToEnd, TheServersLogShowsThePressedCommandOnceAndNothingForANo) {
  FixturePg("log-statements on");
  HWND main = StartAndWaitForMainWindow();
  ASSERT_NE(main, nullptr);

  const long beforeNo = LogSize();
  Press(main);
  HWND confirm = WaitForDialog();
  ASSERT_NE(confirm, nullptr);
  Answer(confirm, {"N"});
  EXPECT_EQ(LogSince(beforeNo).find("tmp_user_file"), std::string::npos);

  // The log writes a statement after "statement: " and indents its further lines by a tab.
  std::string logged = "statement: ";
  for (const auto& line : tavora::RepairBatchLines()) {
    logged += tavora::ToUtf8(line) + "\r\n\t";
  }
  logged += "\n";
  const long beforeYes = LogSize();
  Press(main);
  confirm = WaitForDialog();
  ASSERT_NE(confirm, nullptr);
  Answer(confirm, {"Y"});
  ExpectOneDialog(L"情報", kDone);
  EXPECT_EQ(program_->WaitForExit(), 0u);
  FixturePg("log-statements off");
  const auto log = LogSince(beforeYes);
  const auto first = log.find(logged);
  EXPECT_NE(first, std::string::npos) << log;
  EXPECT_EQ(log.find(logged, first + 1), std::string::npos);
}

}  // namespace
}  // namespace tavora::ui
