// Faults of the server and the network around one run of the real program: each ends in exactly
// one dialog with the right text, leaves the window usable where it should, and leaves the
// database either untouched or fully repaired, never in between.
#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/e2e_support.h"

namespace tavora::ui {
namespace {

using tavora::testing::AdminSession;

using Faults = ProgramTest;

// The tavora_user backend that waits for a lock, once the program's batch has reached it.
std::string BlockedBackend() {
  std::string pid;
  WaitUntil([&] {
    pid = AdminSession().Scalar(
        "SELECT pid FROM pg_stat_activity WHERE usename = 'tavora_user' AND wait_event_type = "
        "'Lock'");
    return !pid.empty();
  });
  return pid;
}

TEST_F(Faults, ServerStoppedBeforeStart) {
  FixturePg("pause");
  Start();
  ExpectOneDialog(L"エラー", kConnectionFailed);
  EXPECT_EQ(program_->WaitForExit(), 0u);
  FixturePg("resume");
  ExpectUntouched();
}

TEST_F(Faults, ServerStoppedBetweenStartAndPress) {
  HWND main = StartAndWaitForMainWindow();
  ASSERT_NE(main, nullptr);
  FixturePg("pause");
  PressAndAnswer(main, "Y");
  ExpectOneDialog(L"エラー", kConnectionFailed);
  EXPECT_TRUE(program_->Running());
  FixturePg("resume");
  ExpectUntouched();

  // With the server back, the same window repairs.
  PressAndAnswer(main, "Y");
  ExpectSuccessAndEnd();
}

TEST_F(Faults, BackendTerminatedWhileTheBatchRuns) {
  HWND main = StartAndWaitForMainWindow();
  ASSERT_NE(main, nullptr);
  {
    AdminSession holder(/*autocommit=*/false);
    holder.Exec("LOCK TABLE tmp_user_file_select IN ACCESS EXCLUSIVE MODE");
    PressAndAnswer(main, "Y");
    const auto pid = BlockedBackend();
    ASSERT_FALSE(pid.empty());
    AdminSession().Exec("SELECT pg_terminate_backend(" + pid + ")");
    holder.Rollback();
  }
  ExpectOneDialog(L"エラー", kBatchFailedPrefix);
  EXPECT_TRUE(program_->Running());
  ExpectUntouched();

  PressAndAnswer(main, "Y");
  ExpectSuccessAndEnd();
}

TEST_F(Faults, ALockHeldByAnotherSessionEndsInTheCommandTimeOut) {
  HWND main = StartAndWaitForMainWindow();
  ASSERT_NE(main, nullptr);
  {
    AdminSession holder(/*autocommit=*/false);
    holder.Exec("LOCK TABLE tmp_user_file_select IN ACCESS EXCLUSIVE MODE");
    PressAndAnswer(main, "Y");
    // The command time-out is 30 seconds; the dialog comes after it.
    ExpectOneDialog(L"エラー", kBatchFailedPrefix, 90s);
    holder.Rollback();
  }
  EXPECT_TRUE(program_->Running());
  ExpectUntouched();

  PressAndAnswer(main, "Y");
  ExpectSuccessAndEnd();
}

TEST_F(Faults, ALoginTheServerRefusesEndsTheStart) {
  struct Case {
    const char* what;
    std::string refuse, allow;
  } cases[] = {
      {"wrong password", "", ""},
      {"host-based rule", "hba-reject tavora_user on", "hba-reject tavora_user off"},
  };
  for (const auto& c : cases) {
    if (c.refuse.empty()) {
      AdminSession().Exec("ALTER ROLE tavora_user PASSWORD 'not the one the program knows'");
    } else {
      FixturePg(c.refuse);
    }
    Start();
    ExpectOneDialog(L"エラー", kConnectionFailed);
    EXPECT_EQ(program_->WaitForExit(), 0u) << c.what;
    // reset gives the role its password back; the rule goes with its own command.
    if (!c.allow.empty()) FixturePg(c.allow);
    FixturePg("reset");
    tavora::testing::ResetSchema();
  }
  ExpectUntouched();
}

TEST_F(Faults, TenRepairsInARow) {
  for (int run = 1; run <= 10; ++run) {
    SCOPED_TRACE("run " + std::to_string(run));
    RepairThroughTheProgram();
  }
}

}  // namespace
}  // namespace tavora::ui
