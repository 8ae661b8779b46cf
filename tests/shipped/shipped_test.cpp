// The shipped program itself: the 32-bit bytes that scripts/release writes, started by this 64-bit
// driver in the same Wine prefix, so that it runs as a WoW64 process and reads the registry
// through the 32-bit view, as on a 64-bit Windows workstation. A start of a 32-bit process can
// take a minute where the kernel needs an emulator for it, so each test starts the program once
// and works through every press that the program allows before it ends.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <string_view>

#include "core/text.h"
#include "repair/repair_batch.h"
#include "tests/e2e/e2e_support.h"

namespace tavora::ui {
namespace {

using tavora::testing::AdminSession;
using tavora::testing::ServerLog;

// The same data source as 64-bit programs see it (the fixture sets Servername there too); on a
// 32-bit machine the one that the program reads.
constexpr wchar_t kNativeViewKey[] = L"HKLM\\SOFTWARE\\ODBC\\ODBC.INI\\tavoratosho";
const std::wstring kNoServer = L"Tavora ODBC設定がありません。";

// Whether the registry view of this 64-bit driver holds the value (reg.exe exits with 0).
bool RegHas(const std::wstring& key, const std::wstring& value) {
  Process reg(L"reg.exe query " + QuoteArgument(key) + L" /v " + value, true);
  return reg.WaitForExit() == 0u;
}

std::string RegQuery(const std::wstring& key, const std::wstring& value) {
  Process reg(L"reg.exe query " + QuoteArgument(key) + L" /v " + value, true);
  reg.WaitForExit();
  return reg.Output();
}

bool IsWow64(DWORD processId) {
  const UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  BOOL wow64 = FALSE;
  return process && IsWow64Process(process.get(), &wow64) && wow64;
}

// Statement logging for the whole test, off again however the test ends.
struct StatementLogging {
  StatementLogging() { tavora::testing::LogStatements(true); }
  ~StatementLogging() { tavora::testing::LogStatements(false); }
  StatementLogging(const StatementLogging&) = delete;
  StatementLogging& operator=(const StatementLogging&) = delete;
};

// Whether the program's role sent anything: every session line of the log names its user.
bool SentByTheProgram(const std::string& log) {
  return log.find("tavora_user@") != std::string::npos;
}

constexpr wchar_t kEnvironmentKey[] =
    L"HKLM\\SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";

class Shipped : public ProgramTest {
 protected:
  // Under qemu a 32-bit start takes 50 to 80 seconds and every step is slower.
  Shipped() { patience_ = std::chrono::minutes(4); }

  static std::string Architecture() { return RegQuery(kEnvironmentKey, L"PROCESSOR_ARCHITECTURE"); }

  // 実行, はい, the success message, the end, the repaired tables, and in the server's log the
  // whole batch exactly once.
  void RepairSeenInTheLog(HWND main) {
    std::string command;
    for (const auto& line : tavora::RepairBatchLines()) command += tavora::ToUtf8(line) + "\r\n";
    const auto logged = tavora::testing::LoggedStatement(command);
    const ServerLog repair;
    PressAndAnswer(main, "Y");
    ExpectSuccessAndEnd();
    const auto log = repair.Since();
    const auto first = log.find(logged);
    EXPECT_NE(first, std::string::npos) << log;
    EXPECT_EQ(log.find(logged, first + 1), std::string::npos);
  }
};

TEST_F(Shipped, RefusesAnotherSchemaVersionBeforeAnyWindow) {
  AdminSession().Exec("UPDATE env SET ver_kaku = '2024'");
  Start();
  ASSERT_NE(WaitForDialog(), nullptr);
  EXPECT_TRUE(IsWow64(program_->Id()));
  EXPECT_EQ(VisibleWindow(program_->Id(), L"TfMain"), nullptr);
  ExpectOneDialog(L"情報", L"ご利用のバージョンでは実行できません。");
  EXPECT_EQ(program_->WaitForExit(patience_), 0u);
}

TEST_F(Shipped, NoServerAtStartIsAConnectionFailure) {
  FixturePg("pause");
  Start();
  ExpectOneDialog(L"エラー", kConnectionFailed);
  EXPECT_EQ(program_->WaitForExit(patience_), 0u);
  FixturePg("resume");
  ExpectUntouched();
}

// One process through every press that leaves the window open, then the repair that ends it.
TEST_F(Shipped, OneWindowThroughEveryPressToTheRepair) {
  // The program takes the Wow6432Node branch only for "AMD64", which a WoW64 process must read.
  const std::string architecture = Architecture();
  ASSERT_NE(architecture.find("AMD64"), std::string::npos) << architecture;

  const StatementLogging logging;
  HWND main = StartAndWaitForMainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(IsWow64(program_->Id()));
  const ServerLog afterStart;

  {
    SCOPED_TRACE("a data source that only the 64-bit view holds");
    Reg(std::wstring(L"delete ") + kDataSourceKey + L" /f");
    ASSERT_TRUE(RegHas(kNativeViewKey, L"Servername"));
    Press(main);
    ExpectOneDialog(L"エラー", kNoServer);
    EXPECT_TRUE(program_->Running());
  }
  {
    SCOPED_TRACE("the data source without Servername");
    Reg(std::wstring(L"add ") + kDataSourceKey + L" /v Database /t REG_SZ /d tavora /f");
    Press(main);
    ExpectOneDialog(L"エラー", kNoServer);
    EXPECT_TRUE(program_->Running());
  }
  {
    SCOPED_TRACE("Servername of type REG_DWORD");
    SetServer(L"REG_DWORD", L"1");
    Press(main);
    HWND box = WaitForDialog(L"#32770");
    ASSERT_NE(box, nullptr);
    // The program's file name up to its first ".", all but the first letter in lower case.
    EXPECT_EQ(TextW(box), L"Tavorarepair");
    std::wstring text;
    for (HWND child : Children(box)) {
      if (HasClass(child, L"Static") && !TextW(child).empty()) text = TextW(child);
    }
    EXPECT_EQ(text, L"'Servername' のデータ型が不正です.");
    Answer(box, {"Enter"});
    EXPECT_TRUE(program_->Running());
  }
  {
    SCOPED_TRACE("the confirmation declined");
    SetServer(L"REG_SZ", L"127.0.0.1");
    for (const std::string_view key : {"Enter", "Esc", "N", "Alt+F4"}) {
      PressAndAnswer(main, key);
      EXPECT_TRUE(program_->Running()) << key;
      EXPECT_EQ(VisibleWindow(program_->Id(), L"TMessageForm"), nullptr) << key;
    }
  }
  // Nothing of all that reached the server: no statement of the program's role at all.
  const std::string quiet = afterStart.Since();
  EXPECT_FALSE(SentByTheProgram(quiet)) << quiet;
  ExpectUntouched();

  {
    SCOPED_TRACE("a batch that the server refuses");
    AdminSession().Exec("DROP TABLE tmp_user_file_data");
    // The server's own text, read through the 32-bit driver's diagnostics.
    PressIntoARefusedBatch(main);
    tavora::testing::ResetSchema();
  }

  SCOPED_TRACE("the repair");
  RepairSeenInTheLog(main);
}

// A pure 32-bit prefix (scripts/test -L x86): the machine is "x86" and the data source lives below
// SOFTWARE\ODBC\ODBC.INI; the Wow6432Node key that the test set-up writes is not read there.
using ShippedX86 = Shipped;

TEST_F(ShippedX86, ReadsTheX86BranchAndRepairs) {
  const std::string architecture = Architecture();
  ASSERT_NE(architecture.find("x86"), std::string::npos) << architecture;
  Reg(std::wstring(L"delete ") + kNativeViewKey + L" /v Servername /f");
  ASSERT_TRUE(RegHas(kDataSourceKey, L"Servername"));

  const StatementLogging logging;
  HWND main = StartAndWaitForMainWindow();
  ASSERT_NE(main, nullptr);
  EXPECT_FALSE(IsWow64(program_->Id()));
  const ServerLog afterStart;
  {
    SCOPED_TRACE("Servername only below Wow6432Node");
    Press(main);
    ExpectOneDialog(L"エラー", kNoServer);
    EXPECT_TRUE(program_->Running());
    EXPECT_FALSE(SentByTheProgram(afterStart.Since()));
  }
  SCOPED_TRACE("Servername below SOFTWARE\\ODBC\\ODBC.INI");
  Reg(std::wstring(L"add ") + kNativeViewKey + L" /v Servername /t REG_SZ /d 127.0.0.1 /f");
  RepairSeenInTheLog(main);
}

}  // namespace
}  // namespace tavora::ui
