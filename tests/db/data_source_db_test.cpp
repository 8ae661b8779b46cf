// The data-source component against the fixture server through the real ODBC stack.
#include <gtest/gtest.h>

#include "core/exception.h"
#include "core/text.h"
#include "db/connection_string.h"
#include "db/odbc_data_source.h"
#include "tests/db/db_fixture.h"

namespace tavora {
namespace {

using namespace tavora::testing;

class DataSource : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ResetSchema(); }

  void Connect() {
    ConnectTavora(conTavora);
    ASSERT_TRUE(conTavora.Connected());
  }

  std::u16string FailureOf(const std::function<void()>& action) {
    try {
      action();
    } catch (const Exception& e) {
      return e.Message();
    }
    ADD_FAILURE() << "no failure";
    return {};
  }

  std::u16string OpenAndRead(const std::u16string& sql, const std::u16string& column) {
    qry.Close();
    qry.SQL = {sql};
    qry.Open();
    return qry.FieldByName(column).AsString();
  }

  OdbcConnection conTavora;
  OdbcQuery qry{conTavora};
};

TEST_F(DataSource, DisconnectWhenClosedDoesNothing) {
  conTavora.SetConnected(false);
  EXPECT_FALSE(conTavora.Connected());
  Connect();
  conTavora.SetConnected(false);
  conTavora.SetConnected(false);
  EXPECT_FALSE(conTavora.Connected());
}

TEST_F(DataSource, OpenReadsTheFirstRowAsText) {
  Connect();
  EXPECT_EQ(OpenAndRead(u" SELECT ver_kaku FROM env;  ", u"ver_kaku"), u"2025");
  EXPECT_EQ(OpenAndRead(u"SELECT '進級' AS Name, 2 AS n", u"NAME"), u"進級");
  EXPECT_EQ(OpenAndRead(u"SELECT NULL::text AS v", u"v"), u"");
  EXPECT_EQ(OpenAndRead(u"SELECT ver_kaku FROM env WHERE false", u"ver_kaku"), u"");
  EXPECT_EQ(OpenAndRead(u"SELECT repeat('x', 3000) AS long", u"long"), std::u16string(3000, u'x'));
  EXPECT_EQ(OpenAndRead(u"SELECT v FROM (VALUES ('first'), ('second')) t(v)", u"v"), u"first");
}

TEST_F(DataSource, AMissingColumnIsTheStatementObjectsOwnFailure) {
  Connect();
  qry.SQL = {u"SELECT ver_kaku FROM env"};
  qry.Open();
  EXPECT_EQ(FailureOf([&] { qry.FieldByName(u"version"); }),
            u"qry: フィールド 'version' が見つかりません");
}

TEST_F(DataSource, TheCommandTextReachesTheServerUnchanged) {
  Connect();
  // A question mark and an escape-like brace stay as they are: nothing scans for parameters.
  qry.SQL = {u"SELECT '?' || ' {fn x} :p' AS v,", u"  length(E'a\\r\\nb') AS n  "};
  qry.Open();
  EXPECT_EQ(qry.FieldByName(u"v").AsString(), u"? {fn x} :p");
  EXPECT_EQ(qry.CommandText(),
            u"SELECT '?' || ' {fn x} :p' AS v,\r\n  length(E'a\\r\\nb') AS n  \r\n");
}

TEST_F(DataSource, ExecSqlRunsEveryStatementOfOneCommand) {
  Connect();
  qry.SQL = {u" CREATE TEMP TABLE t1 (n int);  ", u" INSERT INTO t1 VALUES (1), (2);  ",
             u" UPDATE t1 SET n = n + 1;  "};
  qry.ExecSQL();
  EXPECT_EQ(OpenAndRead(u"SELECT sum(n)::text AS s FROM t1", u"s"), u"5");
}

TEST_F(DataSource, AFailingStatementFailsTheWholeCommandWithTheServersText) {
  const std::u16string bad = u" INSERT INTO no_such_table VALUES (1);  ";
  const std::u16string good1 = u" UPDATE env SET ver_kaku = 'X1';  ";
  const std::u16string good2 = u" ALTER TABLE tmp_user_file_data ADD IF NOT EXISTS extra int2;  ";
  const std::vector<std::vector<std::u16string>> commands = {
      {bad, good1, good2}, {good1, bad, good2}, {good1, good2, bad}};
  for (const auto& command : commands) {
    Connect();
    qry.SQL = command;
    const auto message = FailureOf([&] { qry.ExecSQL(); });
    EXPECT_NE(message.find(u"no_such_table"), std::u16string::npos) << ToUtf8(message);
    ASSERT_FALSE(message.empty());
    EXPECT_NE(message.back(), u'.');
    EXPECT_GT(message.back(), u' ');
    conTavora.SetConnected(false);

    AdminSession admin;
    EXPECT_EQ(admin.Scalar("SELECT ver_kaku FROM env"), "2025");
    EXPECT_EQ(admin.Scalar("SELECT count(*) FROM information_schema.columns WHERE column_name = "
                           "'extra'"),
              "0");
  }
}

TEST_F(DataSource, ConnectFailuresCarryTheProvidersTextAndLeaveItClosed) {
  const auto password = Descramble(StoredScrambledPassword());
  struct Case {
    const char* what;
    std::u16string connectionString;
  } cases[] = {
      {"wrong password",
       u"Provider=MSDASQL.1;Password=wrong" + password +
           u";Persist Security Info=True;User ID=tavora_user;Data Source=tavoratosho;"},
      {"unknown data source",
       u"Provider=MSDASQL.1;Password=" + password +
           u";Persist Security Info=True;User ID=tavora_user;Data Source=no_such_dsn;"},
      {"other provider",
       u"Provider=SQLOLEDB.1;Password=" + password +
           u";Persist Security Info=True;User ID=tavora_user;Data Source=tavoratosho;"},
  };
  for (const auto& c : cases) {
    conTavora.SetConnectionString(c.connectionString);
    const auto message = FailureOf([&] { conTavora.SetConnected(true); });
    EXPECT_FALSE(message.empty()) << c.what;
    EXPECT_EQ(message.find(password), std::u16string::npos) << c.what;
    EXPECT_FALSE(conTavora.Connected()) << c.what;
    std::printf("%s: %s\n", c.what, ToUtf8(message).c_str());
  }
}

}  // namespace
}  // namespace tavora
