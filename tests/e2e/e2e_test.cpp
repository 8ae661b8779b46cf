// The real program against the real server under Wine: start-up refusals, one press of "実行"
// through every outcome, and what each leaves in the database. Registry values are changed with
// Wine's own reg.exe, as a site's administrator would.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>

#include "db_fixture.h"
#include "ui_driver.h"

namespace tavora::ui {
namespace {

using tavora::testing::AdminSession;
using tavora::testing::ResetSchema;

const wchar_t kDataSourceKey[] = L"HKLM\\SOFTWARE\\Wow6432Node\\ODBC\\ODBC.INI\\tavoratosho";

void Reg(const std::wstring& arguments) {
  Process reg(L"reg.exe " + arguments, true);
  ASSERT_EQ(reg.WaitForExit(), 0u) << Narrow(arguments) << ": " << reg.Output();
}

void SetServer(const std::wstring& type, const std::wstring& data) {
  Reg(std::wstring(L"add ") + kDataSourceKey + L" /v Servername /t " + type + L" /d " +
      QuoteArgument(data) + L" /f");
}

std::wstring DialogMessage(HWND dialog) {
  for (HWND child : Children(dialog)) {
    if (HasClass(child, L"Static") && (Style(child) & SS_TYPEMASK) != SS_ICON) return Text(child);
  }
  return {};
}

int ColumnCount(const char* table) {
  AdminSession admin;
  return std::stoi(admin.Scalar(
      std::string("SELECT count(*) FROM information_schema.columns WHERE table_name = '") + table +
      "'"));
}

// The shape before the repair: 1 + 43 + 43, 1 + 43, 1 + 43 columns.
void ExpectUntouched() {
  EXPECT_EQ(ColumnCount("tmp_user_file_select"), 87);
  EXPECT_EQ(ColumnCount("tmp_user_file_data"), 44);
  EXPECT_EQ(ColumnCount("tmp_user_file_select_out"), 44);
}

void ExpectRepaired() {
  EXPECT_EQ(ColumnCount("tmp_user_file_select"), 93);
  EXPECT_EQ(ColumnCount("tmp_user_file_data"), 47);
  EXPECT_EQ(ColumnCount("tmp_user_file_select_out"), 47);
}

const std::wstring kConnectionFailed = L"Tavoraデータベースの接続に失敗しました。";
const std::wstring kConfirm = L"進級処理画面のエラー復旧を行います。よろしいですか？";
const std::wstring kDone =
    L"エラー復旧が正常に完了しました。\r\nこの画面を閉じてTavoraで年次更新を進めてください。";

class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSchema();
    SetServer(L"REG_SZ", L"127.0.0.1");
  }
  void TearDown() override {
    if (program_ && program_->Running()) {
      if (HWND main = VisibleWindow(program_->Id(), L"TfMain")) {
        PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
      }
      program_->WaitForExit();
    }
    SetServer(L"REG_SZ", L"127.0.0.1");
  }

  void Start() { program_.emplace(QuoteArgument(TheSettings().program), false); }

  // The one visible dialog of the program (the message dialog or the default error box).
  HWND WaitForDialog(const wchar_t* className = L"TMessageForm") {
    HWND dialog = nullptr;
    WaitUntil([&] { return (dialog = VisibleWindow(program_->Id(), className)) != nullptr; });
    return dialog;
  }

  HWND StartAndWaitForMainWindow() {
    Start();
    HWND main = nullptr;
    EXPECT_TRUE(WaitUntil([&] { return (main = VisibleWindow(program_->Id(), L"TfMain")); }));
    return main;
  }

  void Press(HWND main) {
    ASSERT_TRUE(BringToFront(main));
    HWND button = nullptr;
    for (HWND child : Children(main)) {
      if (HasClass(child, L"Button")) button = child;
    }
    ASSERT_NE(button, nullptr);
    // The click must land on the button itself, not on a window still being drawn over it.
    const POINT centre = CentreOf(button);
    ASSERT_TRUE(WaitUntil([&] { return WindowFromPoint(centre) == button; }));
    Click(centre);
  }

  // Answers the dialog with the keys and waits until it has gone.
  void Answer(HWND dialog, std::initializer_list<std::string_view> keys) {
    ASSERT_TRUE(BringToFront(dialog));
    Type(keys);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }));
  }

  std::optional<Process> program_;
};

TEST_F(EndToEnd, ARefusedVersionIsReportedBeforeAnyWindowAndEndsTheProgram) {
  AdminSession().Exec("UPDATE env SET ver_kaku = '2024'");
  Start();
  HWND dialog = WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(Text(dialog), L"情報");
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
  EXPECT_EQ(Text(dialog), L"エラー");
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
  EXPECT_EQ(Text(confirm), L"確認");
  EXPECT_EQ(DialogMessage(confirm), kConfirm);
  EXPECT_EQ(Text(FocusOf(confirm)), L"いいえ(&N)");
  Answer(confirm, {"Y"});
  HWND done = WaitForDialog();
  ASSERT_NE(done, nullptr);
  EXPECT_EQ(Text(done), L"情報");
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
  EXPECT_EQ(Text(dialog), L"エラー");
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
    if (HasClass(child, L"Static") && !Text(child).empty()) text = Text(child);
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
  EXPECT_EQ(Text(failed), L"エラー");
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

}  // namespace
}  // namespace tavora::ui
