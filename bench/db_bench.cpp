// Figures for the database side, printed, never asserted:
//  - the repair as the program runs it (connect sequence, batch, disconnect) through the
//    data-source component, against a bare libpq client doing the same;
//  - the start-up check (connect, the version query, disconnect), the same way;
//  - the repair on tables of 1,000,000 rows each against the same on empty tables.
// Runs are interleaved, in alternating order, and the medians compared, since these machines
// are noisy. Needs the fixture server (scripts/fixtures/up pg odbc).
#include <libpq-fe.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/text.h"
#include "db/connection_string.h"
#include "db/odbc_data_source.h"
#include "db/version_check.h"
#include "repair/repair_batch.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  if (!v) throw std::runtime_error(std::string(name) + " not set: start the fixtures");
  return v;
}

std::string Password() {
  std::ifstream in(Env("TAVORA_DB_PASSWORD_FILE"));
  std::string pw;
  std::getline(in, pw);
  return pw;
}

// Quoting for a libpq conninfo value.
std::string Quoted(const std::string& value) {
  std::string out = "'";
  for (const char c : value) {
    if (c == '\'' || c == '\\') out += '\\';
    out += c;
  }
  return out + "'";
}

std::string Conninfo(const std::string& database, const std::string& user, bool tcp) {
  std::string s = "dbname=" + Quoted(database) + " user=" + Quoted(user) + " port=" + Env("PGPORT");
  s += tcp ? " host=127.0.0.1 password=" + Quoted(Password()) : " host=" + Quoted(Env("PGHOST"));
  return s;
}

void Check(PGresult* r, PGconn* c) {
  const auto status = PQresultStatus(r);
  PQclear(r);
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
    throw std::runtime_error(PQerrorMessage(c));
  }
}

void IgnoreNotice(void*, const char*) {}  // "already exists, skipping" on every repeated run

PGconn* Connect(const std::string& conninfo) {
  PGconn* c = PQconnectdb(conninfo.c_str());
  if (PQstatus(c) != CONNECTION_OK) throw std::runtime_error(PQerrorMessage(c));
  PQsetNoticeProcessor(c, IgnoreNotice, nullptr);
  return c;
}

void AdminExec(const std::string& database, const std::string& sql) {
  PGconn* c = Connect(Conninfo(database, "postgres", false));
  PGresult* r = PQexec(c, sql.c_str());
  const auto status = PQresultStatus(r);
  PQclear(r);
  const std::string error = PQerrorMessage(c);
  PQfinish(c);
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) throw std::runtime_error(error);
}

std::string BatchText() {
  std::string text;
  for (const auto& line : tavora::RepairBatchLines()) text += tavora::ToUtf8(line) + "\r\n";
  return text;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

double TimeMs(const std::function<void()>& f) {
  const auto start = Clock::now();
  f();
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Interleaves the two, alternating which goes first, after a few warm-up rounds.
void Compare(const char* what, int runs, double target, const std::function<void()>& prepare,
             const std::function<void()>& a, const char* aName, const std::function<void()>& b,
             const char* bName) {
  std::vector<double> ta, tb;
  for (int i = -3; i < runs; ++i) {
    double x, y;
    if (i % 2) {
      prepare();
      x = TimeMs(a);
      prepare();
      y = TimeMs(b);
    } else {
      prepare();
      y = TimeMs(b);
      prepare();
      x = TimeMs(a);
    }
    if (i >= 0) {
      ta.push_back(x);
      tb.push_back(y);
    }
  }
  const double ma = Median(ta), mb = Median(tb);
  std::printf("%-34s %-16s %8.2f ms | %-16s %8.2f ms | ratio %.3f (target <= %.2f) %s\n", what,
              aName, ma, bName, mb, ma / mb, target, ma / mb <= target ? "ok" : "MISSED");
}

void CreateBaseTables(const std::string& database) {
  std::string select =
      "CREATE TABLE tmp_user_file_select (client_key varchar(255) NOT NULL PRIMARY KEY";
  std::string data =
      "CREATE TABLE tmp_user_file_data (client_key varchar(255) NOT NULL PRIMARY KEY";
  for (int n = 1; n <= 43; ++n) {
    select += ", select_" + std::to_string(n) + " int2, width_" + std::to_string(n) + " int2";
    data += ", value_" + std::to_string(n) + " varchar(255)";
  }
  AdminExec(database,
            "SET ROLE tavora_user; DROP TABLE IF EXISTS tmp_user_file_select, tmp_user_file_data, "
            "tmp_user_file_select_out, env; CREATE TABLE env (ver_kaku varchar(10)); "
            "INSERT INTO env VALUES ('2025');" +
                select + ");" + data + ");");
}

const char kUndoRepair[] =
    "ALTER TABLE tmp_user_file_select DROP IF EXISTS select_44, DROP IF EXISTS width_44, "
    "DROP IF EXISTS select_45, DROP IF EXISTS width_45, DROP IF EXISTS select_46, "
    "DROP IF EXISTS width_46; ALTER TABLE tmp_user_file_data DROP IF EXISTS value_44, "
    "DROP IF EXISTS value_45, DROP IF EXISTS value_46;";

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::atoi(argv[1]) : 31;
  const long bigRows = argc > 2 ? std::atol(argv[2]) : 1000000;
  const std::string batch = BatchText();
  const std::string tcp = Conninfo("tavora", "tavora_user", true);
  std::printf("median of %d interleaved runs each\n", runs);

  CreateBaseTables("tavora");
  tavora::OdbcConnection conTavora;
  tavora::OdbcQuery qry(conTavora);

  auto componentRepair = [&] {
    conTavora.SetConnected(false);
    tavora::ConnectTavora(conTavora);
    qry.Close();
    qry.SQL = tavora::RepairBatchLines();
    qry.ExecSQL();
    conTavora.SetConnected(false);
  };
  auto libpqRepair = [&] {
    PGconn* c = Connect(tcp);
    Check(PQexec(c, batch.c_str()), c);
    PQfinish(c);
  };
  Compare(
      "repair (connect, batch, close)", runs, 1.15, [] {}, componentRepair, "component",
      libpqRepair, "libpq");

  auto componentCheck = [&] {
    conTavora.SetConnected(false);
    tavora::ConnectTavora(conTavora);
    qry.Close();
    qry.SQL = {tavora::kVersionStatement};
    qry.Open();
    if (qry.FieldByName(u"ver_kaku").AsString() != tavora::kAcceptedVersion) std::abort();
    qry.Close();
    conTavora.SetConnected(false);
  };
  auto libpqCheck = [&] {
    PGconn* c = Connect(tcp);
    PGresult* r = PQexec(c, " SELECT ver_kaku FROM env;  \r\n");
    if (PQresultStatus(r) != PGRES_TUPLES_OK || std::string(PQgetvalue(r, 0, 0)) != "2025") {
      std::abort();
    }
    PQclear(r);
    PQfinish(c);
  };
  Compare(
      "start-up check (connect, query)", runs, 1.15, [] {}, componentCheck, "component", libpqCheck,
      "libpq");
  // The same with the round trips that the ODBC driver itself makes on every connection and
  // statement: what is left is the component's own cost.
  auto libpqCheckAsDriver = [&] {
    PGconn* c = Connect(tcp);
    for (const char* sql :
         {"SET DateStyle = 'ISO';SET extra_float_digits = 2;show transaction_isolation",
          "select oid, typbasetype from pg_type where typname = 'lo'",
          "SET statement_timeout = 30000"}) {
      Check(PQexec(c, sql), c);
    }
    PGresult* r = PQexec(c, " SELECT ver_kaku FROM env;  \r\n");
    if (PQresultStatus(r) != PGRES_TUPLES_OK) std::abort();
    PQclear(r);
    PQfinish(c);
  };
  Compare(
      "start-up check, driver's trips", runs, 1.15, [] {}, componentCheck, "component",
      libpqCheckAsDriver, "libpq+driver");

  // A second database of the same shape, filled; the repair runs against each in turn.
  AdminExec("postgres", "DROP DATABASE IF EXISTS tavora_big");
  AdminExec("postgres", "CREATE DATABASE tavora_big OWNER tavora_user");
  CreateBaseTables("tavora_big");
  const auto load = TimeMs([&] {
    AdminExec("tavora_big",
              "INSERT INTO tmp_user_file_select (client_key, select_1, width_1, select_43, "
              "width_43) SELECT 'k' || g, 1, 2, 3, 4 FROM generate_series(1, " +
                  std::to_string(bigRows) +
                  ") g; INSERT INTO tmp_user_file_data (client_key, value_1, value_43) SELECT 'k' "
                  "|| g, '一年', 'x' FROM generate_series(1, " +
                  std::to_string(bigRows) + ") g;");
    AdminExec("tavora_big", "VACUUM ANALYZE");
  });
  std::printf("loaded %ld rows into each table in %.0f ms\n", bigRows, load);
  const std::string big = Conninfo("tavora_big", "tavora_user", true);
  auto repairOn = [&](const std::string& conninfo) {
    PGconn* c = Connect(conninfo);
    Check(PQexec(c, batch.c_str()), c);
    PQfinish(c);
  };
  auto undo = [&] {
    AdminExec("tavora", kUndoRepair);
    AdminExec("tavora_big", kUndoRepair);
  };
  Compare(
      "repair, 1,000,000 rows vs empty", runs, 1.2, undo, [&] { repairOn(big); }, "1,000,000 rows",
      [&] { repairOn(tcp); }, "empty");
  AdminExec("postgres", "DROP DATABASE tavora_big");
  return 0;
}
