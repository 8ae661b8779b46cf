// The start-up check and one press of "実行", with the user interface, the registry and the
// data-source component replaced by recorders; every outcome as the user meets it.
#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>

#include "core/exception.h"
#include "core/text.h"
#include "db/connection_string.h"
#include "db/version_check.h"
#include "repair/repair_batch.h"
#include "repair/repair_procedure.h"
#include "tests/unit/fake_registry.h"
#include "tests/unit/recording_ui.h"

namespace tavora {
namespace {

using namespace tavora::testing;
class ScriptedConnection : public Connection {
 public:
  explicit ScriptedConnection(World& w) : world_(w) {}
  bool failConnect = false;
  bool connected = false;

  bool Connected() const override { return connected; }
  void SetConnected(bool value) override {
    if (!value) {
      if (connected) world_.Add("disconnect");
      connected = false;
      return;
    }
    world_.Add("connect");
    if (failConnect) throw Exception(u"could not connect to server");
    connected = true;
  }
  const std::u16string& ConnectionString() const override { return string_; }
  void SetConnectionString(const std::u16string& value) override { string_ = value; }

 private:
  World& world_;
  std::u16string string_;
};

class ScriptedQuery : public Query {
 public:
  explicit ScriptedQuery(World& w) : world_(w) {}
  std::optional<std::u16string> version = u"2025";  // none: no rows or NULL
  bool failOpen = false;
  bool failExecWithMessage = false;
  bool failExecOtherwise = false;
  std::u16string executed;

  void Close() override {}
  void Open() override {
    world_.Add("open " + ToUtf8(CommandText()));
    if (failOpen) throw Exception(u"ERROR: relation \"env\" does not exist");
  }
  Field FieldByName(const std::u16string& name) const override {
    if (name != u"ver_kaku") throw Exception(u"qry: no field");
    return Field(version.value_or(u""));
  }
  long ExecSQL() override {
    world_.Add("exec");
    executed = CommandText();
    if (failExecWithMessage)
      throw Exception(u"ERROR: relation \"tmp_user_file_data\" does not exist");
    if (failExecOtherwise) throw std::runtime_error("not a provider failure");
    return 0;
  }

 private:
  World& world_;
};

const std::string kConnectionFailed = "dialog Error 4 OK Tavoraデータベースの接続に失敗しました。";

struct VersionCase {
  const char* what;
  std::optional<std::u16string> version;
  bool failConnect, failOpen;
  Log expected;
};

TEST(CheckSchemaVersion, EveryOutcome) {
  const std::string open = "open  SELECT ver_kaku FROM env;  \r\n";
  const std::string refused = "dialog Information 4 OK ご利用のバージョンでは実行できません。";
  const VersionCase cases[] = {
      {"2025", u"2025", false, false, {"connect", open, "disconnect"}},
      {"2024", u"2024", false, false, {"connect", open, "disconnect", refused, "terminate"}},
      {"blank before",
       u" 2025",
       false,
       false,
       {"connect", open, "disconnect", refused, "terminate"}},
      {"blank after",
       u"2025 ",
       false,
       false,
       {"connect", open, "disconnect", refused, "terminate"}},
      {"no rows or NULL",
       std::nullopt,
       false,
       false,
       {"connect", open, "disconnect", refused, "terminate"}},
      {"connect fails", u"2025", true, false, {"connect", kConnectionFailed, "terminate"}},
      // The connection stays open after a failure: no disconnect before the dialog.
      {"statement rejected",
       u"2025",
       false,
       true,
       {"connect", open, kConnectionFailed, "terminate"}},
  };
  for (const auto& c : cases) {
    World w;
    RecordingUi ui(w);
    ScriptedConnection con(w);
    ScriptedQuery qry(w);
    con.failConnect = c.failConnect;
    qry.failOpen = c.failOpen;
    qry.version = c.version;
    CheckSchemaVersion(ui, con, qry);
    EXPECT_EQ(w.log, c.expected) << c.what;
    EXPECT_EQ(con.ConnectionString(), ComposeConnectionString()) << c.what;
  }
}

// A user interface whose dialog cannot be shown, as when the system is out of resources.
class FailingDialogUi : public RecordingUi {
 public:
  using RecordingUi::RecordingUi;
  ModalResult ShowMessageDialog(const std::u16string&, DialogKind, DialogButtons,
                                const std::u16string&) override {
    throw Exception(u"dialog failed");
  }
};

// A refusal ends the program even when its dialog fails: the failure goes on to the default
// error box, and the quit request has been made on the way.
TEST(CheckSchemaVersion, ARefusalEndsTheProgramEvenWhenItsDialogFails) {
  struct Case {
    const char* what;
    std::u16string version;
    bool failConnect;
  } cases[] = {{"wrong version", u"2024", false}, {"connect fails", u"2025", true}};
  for (const auto& c : cases) {
    World w;
    FailingDialogUi ui(w);
    ScriptedConnection con(w);
    ScriptedQuery qry(w);
    con.failConnect = c.failConnect;
    qry.version = c.version;
    EXPECT_THROW(CheckSchemaVersion(ui, con, qry), Exception) << c.what;
    ASSERT_FALSE(w.log.empty()) << c.what;
    EXPECT_EQ(w.log.back(), "terminate") << c.what;
  }
}

struct RepairCase {
  const char* what;
  std::optional<FakeValue> server;
  std::vector<ModalResult> answers;
  bool failConnect, failExecWithMessage, failExecOtherwise;
  Log expected;
  bool connectedAfter;
};

const std::string kConfirm =
    "dialog Confirmation 3 NO 進級処理画面のエラー復旧を行います。よろしいですか？";

TEST(RunRepair, EveryOutcome) {
  const std::string noServer = "dialog Error 4 OK Tavora ODBC設定がありません。";
  const std::string done =
      "dialog Information 4 OK エラー復旧が正常に完了しました。\r\n"
      "この画面を閉じてTavoraで年次更新を進めてください。";
  const std::string batchFailed =
      "dialog Error 4 OK 処理に失敗しました。：ERROR: relation \"tmp_user_file_data\" does not "
      "exist";
  const RepairCase cases[] = {
      {"no server value", std::nullopt, {}, false, false, false, {noServer}, false},
      {"empty server", Sz(u""), {}, false, false, false, {noServer}, false},
      {"answered No",
       Sz(u"db"),
       {mrNo},
       false,
       false,
       false,
       {"pointer wait", kConfirm, "pointer default"},
       false},
      {"frame closed",
       Sz(u"db"),
       {mrCancel},
       false,
       false,
       false,
       {"pointer wait", kConfirm, "pointer default"},
       false},
      {"connection fails",
       Sz(u"db"),
       {mrYes},
       true,
       false,
       false,
       {"pointer wait", kConfirm, "connect", kConnectionFailed, "pointer default"},
       false},
      {"batch fails",
       Sz(u"db"),
       {mrYes},
       false,
       true,
       false,
       {"pointer wait", kConfirm, "connect", "exec", batchFailed, "pointer default"},
       true},
      {"batch fails without a message",
       Sz(u"db"),
       {mrYes},
       false,
       false,
       true,
       {"pointer wait", kConfirm, "connect", "exec", kConnectionFailed, "pointer default"},
       true},
      {"single blank is a server",
       Sz(u" "),
       {mrYes},
       false,
       false,
       false,
       {"pointer wait", kConfirm, "connect", "exec", "disconnect", done, "close main window",
        "pointer default"},
       false},
  };
  for (const auto& c : cases) {
    World w;
    RecordingUi ui(w);
    ui.answers = c.answers;
    ScriptedConnection con(w);
    con.failConnect = c.failConnect;
    ScriptedQuery qry(w);
    qry.failExecWithMessage = c.failExecWithMessage;
    qry.failExecOtherwise = c.failExecOtherwise;
    FakeRegistry registry;
    registry.Set(kEnvironmentPath, u"PROCESSOR_ARCHITECTURE", Sz(u"AMD64"));
    registry.keys[kAmd64DataSourcePath];
    if (c.server) registry.Set(kAmd64DataSourcePath, u"Servername", *c.server);
    RunRepair(ui, registry, con, qry);
    EXPECT_EQ(w.log, c.expected) << c.what;
    EXPECT_EQ(con.Connected(), c.connectedAfter) << c.what;
    EXPECT_TRUE(registry.openKeys.empty()) << c.what;
    if (!qry.executed.empty()) {
      Query& q = qry;
      q.SQL = RepairBatchLines();
      EXPECT_EQ(qry.executed, q.CommandText());
    }
  }
}

TEST(RunRepair, ALookupFailureEscapesBeforeAnythingElse) {
  World w;
  RecordingUi ui(w);
  ScriptedConnection con(w);
  ScriptedQuery qry(w);
  FakeRegistry registry;
  registry.Set(kEnvironmentPath, u"PROCESSOR_ARCHITECTURE", Sz(u"x86"));
  registry.Set(kX86DataSourcePath, u"Servername",
               Bytes(kRegDword, {std::byte{1}, std::byte{0}, std::byte{0}, std::byte{0}}));
  EXPECT_THROW(RunRepair(ui, registry, con, qry), Exception);
  EXPECT_TRUE(w.log.empty());
  EXPECT_TRUE(registry.openKeys.empty());
}

TEST(RunRepair, AConnectionLeftOpenIsClosedOnlyByAConfirmedPress) {
  World w;
  RecordingUi ui(w);
  ScriptedConnection con(w);
  ScriptedQuery qry(w);
  FakeRegistry registry;
  registry.Set(kEnvironmentPath, u"PROCESSOR_ARCHITECTURE", Sz(u"x86"));
  registry.Set(kX86DataSourcePath, u"Servername", Sz(u"db"));

  qry.failExecWithMessage = true;
  ui.answers = {mrYes};
  RunRepair(ui, registry, con, qry);
  ASSERT_TRUE(con.Connected());

  w.log.clear();
  ui.answers = {mrNo};
  RunRepair(ui, registry, con, qry);
  EXPECT_TRUE(con.Connected());

  w.log.clear();
  qry.failExecWithMessage = false;
  ui.answers = {mrYes};
  RunRepair(ui, registry, con, qry);
  const Log expected = {"pointer wait", kConfirm, "disconnect", "connect", "exec", "disconnect"};
  EXPECT_EQ(Log(w.log.begin(), w.log.begin() + 6), expected);
  EXPECT_FALSE(con.Connected());
}

}  // namespace
}  // namespace tavora
