#pragma once
// Driving the real program against the fixture server: starting it, pressing "実行", answering
// its dialogs, changing its registry with Wine's reg.exe and the server with the fixture script.
#include <gtest/gtest.h>
#include <windows.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "tests/db/db_fixture.h"
#include "tests/ui/ui_driver.h"

namespace tavora::ui {

inline constexpr wchar_t kDataSourceKey[] =
    L"HKLM\\SOFTWARE\\Wow6432Node\\ODBC\\ODBC.INI\\tavoratosho";

inline const std::wstring kConnectionFailed = L"Tavoraデータベースの接続に失敗しました。";
inline const std::wstring kConfirm = L"進級処理画面のエラー復旧を行います。よろしいですか？";
inline const std::wstring kBatchFailedPrefix = L"処理に失敗しました。：";
inline const std::wstring kDone =
    L"エラー復旧が正常に完了しました。\r\nこの画面を閉じてTavoraで年次更新を進めてください。";

void Reg(const std::wstring& arguments);
void SetServer(const std::wstring& type, const std::wstring& data);
// Runs the fixture script (scripts/fixtures/pg) on the host with the arguments and waits for it.
void FixturePg(const std::string& arguments);

// A window's text as UTF-16, to compare with the program's own texts.
inline std::wstring TextW(HWND window) { return Widen(Text(window)); }
std::wstring DialogMessage(HWND dialog);

// Before the repair every table has its 43-column shape; after it, the repaired one.
void ExpectUntouched();
void ExpectRepaired();

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  void Start();
  HWND StartAndWaitForMainWindow();
  // The visible dialog of the class (the message dialog, or "#32770" for the error box).
  // Waits patience_ unless told otherwise.
  HWND WaitForDialog(const wchar_t* className = L"TMessageForm",
                     std::optional<std::chrono::milliseconds> timeout = std::nullopt);
  // A left click on "実行" with the real mouse.
  void Press(HWND main);
  void Answer(HWND dialog, std::initializer_list<std::string_view> keys);
  // Presses "実行" and answers the confirmation with the key.
  void PressAndAnswer(HWND main, std::string_view key);
  // The success message, OK, the end of the program, and the repaired tables.
  void ExpectSuccessAndEnd();
  // The only dialog now open must be this one, with this title and message; answered with Enter.
  void ExpectOneDialog(const std::wstring& title, const std::wstring& message,
                       std::optional<std::chrono::milliseconds> timeout = std::nullopt);
  // With tmp_user_file_data dropped: press, confirm, the batch-failure message with the server's
  // text; the window stays open and nothing of the command stayed.
  void PressIntoARefusedBatch(HWND main);
  // Start, press, confirm, success, OK: the program ends with exit code 0.
  void RepairThroughTheProgram();

  std::optional<Process> program_;
  // How long the program may take to show a window, react or end. A 32-bit program that runs
  // under emulation needs minutes where the 64-bit twin needs seconds.
  std::chrono::milliseconds patience_ = kWindowTimeout;
};

}  // namespace tavora::ui
