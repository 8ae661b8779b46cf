// The start-up check and the repair against the fixture server: what they leave in the database.
#include <gtest/gtest.h>

#include "db/odbc_data_source.h"
#include "db/version_check.h"
#include "repair/repair_batch.h"
#include "repair/repair_procedure.h"
#include "tests/db/db_fixture.h"
#include "tests/unit/fake_registry.h"
#include "tests/unit/recording_ui.h"

namespace tavora {
namespace {

using namespace tavora::testing;

const char kSelectRows[] = "client_key, select_1, width_1, select_43, width_43";
const char kDataRows[] = "client_key, value_1, value_43";

class Procedures : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSchema();
    registry.Set(kEnvironmentPath, u"PROCESSOR_ARCHITECTURE", Sz(u"AMD64"));
    registry.Set(kAmd64DataSourcePath, u"Servername", Sz(u"127.0.0.1"));
    selectRows = RowsDigest("tmp_user_file_select", kSelectRows);
    dataRows = RowsDigest("tmp_user_file_data", kDataRows);
  }

  void PressAndConfirm() {
    ui.answers = {mrYes, mrOk};
    RunRepair(ui, registry, conTavora, qry);
  }

  void ExpectRepaired() {
    EXPECT_EQ(ColumnsOf("tmp_user_file_select_out"), RepairedSelectOut());
    EXPECT_EQ(ColumnsOf("tmp_user_file_select"), RepairedSelect());
    EXPECT_EQ(ColumnsOf("tmp_user_file_data"), RepairedData());
    EXPECT_EQ(OwnerOf("tmp_user_file_select_out"), "tavora_user");
    AdminSession admin;
    EXPECT_EQ(admin.Scalar("SELECT conname FROM pg_constraint WHERE contype = 'p' AND conrelid = "
                           "'tmp_user_file_select_out'::regclass"),
              "tmp_user_file_select_out_pkey");
    EXPECT_EQ(admin.Scalar("SELECT count(*) FROM tmp_user_file_select_out"), "0");
    EXPECT_EQ(RowsDigest("tmp_user_file_select", kSelectRows), selectRows);
    EXPECT_EQ(RowsDigest("tmp_user_file_data", kDataRows), dataRows);
  }

  World world;
  RecordingUi ui{world};
  FakeRegistry registry;
  OdbcConnection conTavora;
  OdbcQuery qry{conTavora};
  std::string selectRows, dataRows;
};

const std::string kDone =
    "dialog Information 4 OK エラー復旧が正常に完了しました。\r\n"
    "この画面を閉じてTavoraで年次更新を進めてください。";

TEST_F(Procedures, RepairGivesTheTablesTheirNewShapeAndCanRunAgain) {
  for (int run = 1; run <= 2; ++run) {
    world.log.clear();
    PressAndConfirm();
    ASSERT_EQ(world.log.size(), 5u) << run;
    EXPECT_EQ(world.log[2], kDone) << run;
    EXPECT_EQ(world.log[3], "close main window") << run;
    EXPECT_FALSE(conTavora.Connected());
    ExpectRepaired();
  }
}

TEST_F(Procedures, RepairOfAPartlyRepairedDatabaseCompletesIt) {
  AdminSession admin;
  admin.Exec(
      "ALTER TABLE tmp_user_file_select ADD select_44 int2, ADD width_44 int2;"
      "ALTER TABLE tmp_user_file_data ADD value_44 varchar(255);"
      "DROP TABLE tmp_user_file_select_out;");
  PressAndConfirm();
  EXPECT_EQ(world.log[2], kDone);
  ExpectRepaired();
}

TEST_F(Procedures, AMissingTableFailsTheBatchWithTheServersTextAndAppliesNothing) {
  AdminSession admin;
  admin.Exec("DROP TABLE tmp_user_file_data");
  const auto before = ColumnsOf("tmp_user_file_select");
  const auto outRows = RowsDigest("tmp_user_file_select_out", "client_key, select_1");
  PressAndConfirm();
  ASSERT_EQ(world.log.size(), 4u);
  EXPECT_EQ(world.log[2].rfind("dialog Error 4 OK 処理に失敗しました。：", 0), 0u) << world.log[2];
  EXPECT_NE(world.log[2].find("tmp_user_file_data"), std::string::npos) << world.log[2];
  EXPECT_TRUE(conTavora.Connected());  // left open until the next confirmed press
  EXPECT_EQ(ColumnsOf("tmp_user_file_select"), before);
  EXPECT_EQ(RowsDigest("tmp_user_file_select_out", "client_key, select_1"), outRows);

  // Restored, the next press succeeds.
  ResetSchema();
  world.log.clear();
  PressAndConfirm();
  EXPECT_EQ(world.log[2], kDone);
  ExpectRepaired();
}

TEST_F(Procedures, TheServersLogShowsTheBatchOnceAndNothingForANo) {
  LogStatements(true);
  qry.SQL = RepairBatchLines();
  const auto batch = LoggedStatement(ToUtf8(qry.CommandText()));

  const ServerLog answeredNo;
  ui.answers = {mrNo};
  RunRepair(ui, registry, conTavora, qry);
  EXPECT_EQ(answeredNo.Since().find("tmp_user_file"), std::string::npos) << answeredNo.Since();

  const ServerLog answeredYes;
  PressAndConfirm();
  const auto log = answeredYes.Since();
  LogStatements(false);
  const auto first = log.find(batch);
  EXPECT_NE(first, std::string::npos) << log;
  EXPECT_EQ(log.find(batch, first + 1), std::string::npos);
}

TEST_F(Procedures, VersionCheckAgainstTheServer) {
  struct Case {
    const char* what;
    const char* setup;
    bool accepted;
    bool failure;
  } cases[] = {
      {"2025", "", true, false},
      {"2024", "UPDATE env SET ver_kaku = '2024'", false, false},
      {"blank before", "UPDATE env SET ver_kaku = ' 2025'", false, false},
      {"NULL", "UPDATE env SET ver_kaku = NULL", false, false},
      {"no rows", "DELETE FROM env", false, false},
      {"several rows, first wins", "DELETE FROM env; INSERT INTO env VALUES ('2025'), ('2024')",
       true, false},
      {"several rows, first refused", "DELETE FROM env; INSERT INTO env VALUES ('2024'), ('2025')",
       false, false},
      {"missing table", "DROP TABLE env", false, true},
      {"missing column", "ALTER TABLE env RENAME ver_kaku TO version", false, true},
  };
  for (const auto& c : cases) {
    ResetSchema();
    if (*c.setup) AdminSession().Exec(c.setup);
    World w;
    RecordingUi checkUi(w);
    OdbcConnection con;
    OdbcQuery q(con);
    CheckSchemaVersion(checkUi, con, q);
    Log expected;
    if (c.failure) {
      expected = {"dialog Error 4 OK Tavoraデータベースの接続に失敗しました。", "terminate"};
    } else if (!c.accepted) {
      expected = {"dialog Information 4 OK ご利用のバージョンでは実行できません。", "terminate"};
    }
    EXPECT_EQ(w.log, expected) << c.what;
    EXPECT_EQ(con.Connected(), c.failure) << c.what;  // a failure leaves the connection open
  }
}

}  // namespace
}  // namespace tavora
