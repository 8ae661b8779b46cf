#include "tests/db/db_fixture.h"

#ifdef _WIN32
#include <windows.h>
#endif
#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <thread>

#include "core/text.h"
#include "tests/db/schema_sql.h"

namespace tavora::testing {

namespace {

std::string DiagnosticOf(SQLSMALLINT type, SQLHANDLE handle) {
  SQLWCHAR state[6], message[1024];
  SQLINTEGER native = 0;
  SQLSMALLINT length = 0;
  if (SQLGetDiagRecW(type, handle, 1, state, &native, message, 1024, &length) != SQL_SUCCESS) {
    return "(no diagnostic)";
  }
  return ToUtf8(std::u16string(reinterpret_cast<char16_t*>(message),
                               std::min<std::size_t>(1023, static_cast<std::size_t>(length))));
}

void Check(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle, const std::string& what) {
  if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO && rc != SQL_NO_DATA) {
    throw std::runtime_error(what + ": " + DiagnosticOf(type, handle));
  }
}

SQLPOINTER IntAttr(std::uintptr_t value) { return reinterpret_cast<SQLPOINTER>(value); }

}  // namespace

std::string Getenv(const char* name) {
  const char* value = std::getenv(name);
  if (!value || !*value)
    throw std::runtime_error(std::string(name) + " is not set: start the fixtures");
  return value;
}

struct AdminSession::Handles {
  SQLHANDLE env = SQL_NULL_HANDLE, dbc = SQL_NULL_HANDLE;
  bool connected = false;
  ~Handles() {
    if (connected) SQLDisconnect(dbc);
    if (dbc) SQLFreeHandle(SQL_HANDLE_DBC, dbc);
    if (env) SQLFreeHandle(SQL_HANDLE_ENV, env);
  }
};

AdminSession::AdminSession(bool autocommit) : h_(std::make_unique<Handles>()) {
  SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &h_->env);
  SQLSetEnvAttr(h_->env, SQL_ATTR_ODBC_VERSION, IntAttr(SQL_OV_ODBC3), 0);
  SQLAllocHandle(SQL_HANDLE_DBC, h_->env, &h_->dbc);
  // The superuser over the server's own socket: the fixture trusts local connections.
  auto connect = ToU16("Driver={PostgreSQL Unicode};Servername=" + Getenv("PGHOST") +
                       ";Port=" + Getenv("PGPORT") + ";Database=tavora;UID=postgres;PWD=;");
  Check(SQLDriverConnectW(h_->dbc, nullptr, reinterpret_cast<SQLWCHAR*>(connect.data()),
                          static_cast<SQLSMALLINT>(connect.size()), nullptr, 0, nullptr,
                          SQL_DRIVER_NOPROMPT),
        SQL_HANDLE_DBC, h_->dbc, "admin connect");
  h_->connected = true;
  if (!autocommit) {
    Check(SQLSetConnectAttr(h_->dbc, SQL_ATTR_AUTOCOMMIT, IntAttr(SQL_AUTOCOMMIT_OFF), 0),
          SQL_HANDLE_DBC, h_->dbc, "autocommit off");
  }
}

AdminSession::~AdminSession() = default;

void AdminSession::Exec(const std::string& sql) { Rows(sql); }

std::vector<Row> AdminSession::Rows(const std::string& sql) {
  SQLHANDLE stmt = SQL_NULL_HANDLE;
  SQLAllocHandle(SQL_HANDLE_STMT, h_->dbc, &stmt);
  struct Free {
    SQLHANDLE s;
    ~Free() { SQLFreeHandle(SQL_HANDLE_STMT, s); }
  } free{stmt};
  auto text = ToU16(sql);
  Check(SQLExecDirectW(stmt, reinterpret_cast<SQLWCHAR*>(text.data()),
                       static_cast<SQLINTEGER>(text.size())),
        SQL_HANDLE_STMT, stmt, sql);
  std::vector<Row> rows;
  SQLSMALLINT columns = 0;
  SQLNumResultCols(stmt, &columns);
  while (columns > 0 && SQLFetch(stmt) == SQL_SUCCESS) {
    Row row;
    for (SQLUSMALLINT c = 1; c <= static_cast<SQLUSMALLINT>(columns); ++c) {
      char16_t buffer[2048];
      SQLLEN indicator = 0;
      SQLGetData(stmt, c, SQL_C_WCHAR, buffer, sizeof buffer, &indicator);
      if (indicator == SQL_NULL_DATA) {
        row.emplace_back();
      } else {
        row.emplace_back(ToUtf8(std::u16string(buffer, static_cast<std::size_t>(indicator) / 2)));
      }
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

std::string AdminSession::Scalar(const std::string& sql) {
  const auto rows = Rows(sql);
  return rows.empty() || rows[0].empty() ? "" : rows[0][0].value_or("");
}

void AdminSession::Rollback() {
  Check(SQLEndTran(SQL_HANDLE_DBC, h_->dbc, SQL_ROLLBACK), SQL_HANDLE_DBC, h_->dbc, "rollback");
}

void ResetSchema() {
  AdminSession admin;
  admin.Exec(
      "DROP TABLE IF EXISTS env, tmp_user_file_select, tmp_user_file_data, "
      "tmp_user_file_select_out; SET ROLE tavora_user;" +
      std::string(kSchemaSql) + "RESET ROLE;");
}

namespace {

std::vector<ColumnShape> NumberedColumns(const std::string& prefix, const std::string& type,
                                         int from, int to, const std::string& defaultValue = "") {
  std::vector<ColumnShape> columns;
  for (int n = from; n <= to; ++n) {
    columns.push_back({prefix + std::to_string(n), type, true, defaultValue});
  }
  return columns;
}

std::vector<ColumnShape> Concat(std::initializer_list<std::vector<ColumnShape>> parts) {
  std::vector<ColumnShape> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

const ColumnShape kClientKey{"client_key", "varchar(255)", false, ""};

}  // namespace

std::vector<ColumnShape> RepairedSelectOut() {
  return Concat({{kClientKey},
                 NumberedColumns("select_", "int2", 1, 43, "0"),
                 NumberedColumns("select_", "int2", 44, 46)});
}

std::vector<ColumnShape> RepairedSelect() {
  // The fixture's pairs select_n, width_n for 1 to 43, then the ones the repair adds, in the
  // same order.
  std::vector<ColumnShape> columns{kClientKey};
  for (int n = 1; n <= 46; ++n) {
    columns.push_back({"select_" + std::to_string(n), "int2", true, ""});
    columns.push_back({"width_" + std::to_string(n), "int2", true, ""});
  }
  return columns;
}

std::vector<ColumnShape> RepairedData() {
  return Concat({{kClientKey}, NumberedColumns("value_", "varchar(255)", 1, 46)});
}

namespace {

std::string ReadFrom(const std::string& path, long offset) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) throw std::runtime_error("cannot read " + path);
  std::fseek(f, offset, SEEK_SET);
  std::string text;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
  std::fclose(f);
  return text;
}

}  // namespace

ServerLog::ServerLog() : start_(static_cast<long>(ReadFrom(Getenv("TAVORA_PGLOG"), 0).size())) {}

std::string ServerLog::Since() const { return ReadFrom(Getenv("TAVORA_PGLOG"), start_); }

void LogStatements(bool on) {
  AdminSession admin;
  admin.Exec(std::string("ALTER SYSTEM SET log_statement = '") + (on ? "all" : "none") + "'");
  admin.Exec("SELECT pg_reload_conf()");
  // The reload is asynchronous: wait until a new session starts with the new setting.
  for (int i = 0; i < 200; ++i) {
    if (AdminSession().Scalar("SHOW log_statement") == (on ? "all" : "none")) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  throw std::runtime_error("the server did not take the new log setting");
}

std::string LoggedStatement(const std::string& commandText) {
  std::string logged = "statement: ";
  for (const char c : commandText) {
    logged += c;
    if (c == '\n') logged += '\t';
  }
  return logged + '\n';
}

std::vector<ColumnShape> ColumnsOf(const std::string& table) {
  AdminSession admin;
  std::vector<ColumnShape> columns;
  for (const auto& row : admin.Rows(
           "SELECT column_name, CASE WHEN data_type = 'character varying' THEN 'varchar(' || "
           "character_maximum_length || ')' ELSE udt_name END, is_nullable, "
           "coalesce(column_default, '') FROM information_schema.columns WHERE table_name = '" +
           table + "' ORDER BY ordinal_position")) {
    columns.push_back({*row[0], *row[1], *row[2] == "YES", *row[3]});
  }
  return columns;
}

std::string RowsDigest(const std::string& table, const std::string& columns) {
  AdminSession admin;
  return admin.Scalar("SELECT coalesce(string_agg(ROW(" + columns +
                      ")::text, '|' ORDER BY client_key), '') FROM " + table);
}

std::string OwnerOf(const std::string& table) {
  AdminSession admin;
  return admin.Scalar("SELECT tableowner FROM pg_tables WHERE tablename = '" + table + "'");
}

}  // namespace tavora::testing
