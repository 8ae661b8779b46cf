#include "db/odbc_data_source.h"

#ifdef _WIN32
#include <windows.h>  // odbc32's headers need the Windows types
#endif
#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <utility>

#include "core/exception.h"
#include "core/text.h"
#include "db/provider_text.h"
#include "db/system_text.h"

namespace tavora {

std::u16string OdbcFailureText(short rc, std::u16string_view description) {
  // Without the driver manager's words, the system's sentence for the failure; a number only
  // where the system has none.
  const auto systemText = rc == SQL_INVALID_HANDLE ? std::u16string(u"無効なハンドルです")
                                                   : SystemErrorText(kProviderFailureCode);
  return ProviderFailureText(description, systemText, kProviderFailureCode);
}

namespace {

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "ODBC wide characters must be UTF-16");

SQLWCHAR* W(std::u16string& s) { return reinterpret_cast<SQLWCHAR*>(s.data()); }

bool Succeeded(SQLRETURN rc) { return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO; }

// The first diagnostic record's message: the provider's description of the failure.
std::u16string Diagnostic(SQLSMALLINT type, SQLHANDLE handle) {
  SQLWCHAR state[6];
  SQLINTEGER native = 0;
  SQLSMALLINT length = 0;
  std::u16string message(1024, u'\0');
  SQLRETURN rc =
      SQLGetDiagRecW(type, handle, 1, state, &native, reinterpret_cast<SQLWCHAR*>(message.data()),
                     static_cast<SQLSMALLINT>(message.size()), &length);
  if (rc == SQL_SUCCESS_WITH_INFO && length >= static_cast<SQLSMALLINT>(message.size())) {
    message.assign(static_cast<std::size_t>(length) + 1, u'\0');
    rc =
        SQLGetDiagRecW(type, handle, 1, state, &native, reinterpret_cast<SQLWCHAR*>(message.data()),
                       static_cast<SQLSMALLINT>(message.size()), &length);
  }
  if (!Succeeded(rc)) return {};
  message.resize(std::min(message.size() - 1, static_cast<std::size_t>(length)));
  return message;
}

[[noreturn]] void Fail(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle) {
  const auto description = handle ? Diagnostic(type, handle) : std::u16string();
  throw Exception(OdbcFailureText(rc, description));
}

void Check(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle) {
  if (!Succeeded(rc)) Fail(rc, type, handle);
}

// An ODBC handle as a value: freed exactly once.
class Handle {
 public:
  Handle(SQLSMALLINT type, SQLHANDLE parent) : type_(type) {
    const SQLRETURN rc = SQLAllocHandle(type, parent, &handle_);
    if (!Succeeded(rc)) {
      handle_ = SQL_NULL_HANDLE;
      // The parent holds the diagnostics of a failed allocation.
      Fail(rc, type == SQL_HANDLE_STMT ? SQL_HANDLE_DBC : SQL_HANDLE_ENV, parent);
    }
  }
  ~Handle() {
    if (handle_ != SQL_NULL_HANDLE) SQLFreeHandle(type_, handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  SQLHANDLE get() const { return handle_; }

 private:
  SQLSMALLINT type_;
  SQLHANDLE handle_ = SQL_NULL_HANDLE;
};

}  // namespace

// An open connection: environment and connection handle; destroyed means disconnected.
class OdbcHandles {
 public:
  OdbcHandles(const std::u16string& connectionString, unsigned loginTimeout) {
    Check(SQLSetEnvAttr(env_.get(), SQL_ATTR_ODBC_VERSION,
                        reinterpret_cast<SQLPOINTER>(static_cast<std::uintptr_t>(SQL_OV_ODBC3)), 0),
          SQL_HANDLE_ENV, env_.get());
    dbc_ = std::make_unique<Handle>(SQL_HANDLE_DBC, env_.get());
    Check(SQLSetConnectAttrW(
              dbc_->get(), SQL_ATTR_LOGIN_TIMEOUT,
              reinterpret_cast<SQLPOINTER>(static_cast<std::uintptr_t>(loginTimeout)), 0),
          SQL_HANDLE_DBC, dbc_->get());
    auto odbc = OdbcConnectString(ReadConnectionString(connectionString));
    // LoginPrompt off: the login comes from the string, never from a driver dialog.
    SQLSMALLINT outLength = 0;
    const SQLRETURN rc =
        SQLDriverConnectW(dbc_->get(), nullptr, W(odbc), static_cast<SQLSMALLINT>(odbc.size()),
                          nullptr, 0, &outLength, SQL_DRIVER_NOPROMPT);
    // The string held the password: leave no copy of it behind.
    std::fill(odbc.begin(), odbc.end(), u'\0');
    Check(rc, SQL_HANDLE_DBC, dbc_->get());
  }
  ~OdbcHandles() { SQLDisconnect(dbc_->get()); }
  OdbcHandles(const OdbcHandles&) = delete;
  OdbcHandles& operator=(const OdbcHandles&) = delete;

  SQLHANDLE dbc() const { return dbc_->get(); }

 private:
  Handle env_{SQL_HANDLE_ENV, SQL_NULL_HANDLE};
  std::unique_ptr<Handle> dbc_;
};

OdbcConnection::OdbcConnection() = default;
OdbcConnection::~OdbcConnection() = default;

bool OdbcConnection::Connected() const { return handles_ != nullptr; }

void OdbcConnection::SetConnected(bool value) {
  if (!value) {
    handles_.reset();
    return;
  }
  if (handles_) return;
  // A failed connect leaves the connection closed.
  handles_ = std::make_unique<OdbcHandles>(connectionString_, ConnectionTimeout);
}

void OdbcConnection::SetConnectionString(const std::u16string& value) {
  if (handles_) throw Exception(u"接続中は接続文字列を変更できません");
  connectionString_ = value;
}

OdbcHandles& OdbcConnection::Handles() {
  if (!handles_) throw Exception(u"接続されていません");
  return *handles_;
}

namespace {

class Statement {
 public:
  Statement(SQLHANDLE dbc, unsigned timeout) : stmt_(SQL_HANDLE_STMT, dbc) {
    Check(SQLSetStmtAttrW(stmt_.get(), SQL_ATTR_QUERY_TIMEOUT,
                          reinterpret_cast<SQLPOINTER>(static_cast<std::uintptr_t>(timeout)), 0),
          SQL_HANDLE_STMT, stmt_.get());
    // ParamCheck off: the text goes to the server as it stands, never scanned for parameter
    // markers or escape sequences.
    SQLSetStmtAttrW(stmt_.get(), SQL_ATTR_NOSCAN,
                    reinterpret_cast<SQLPOINTER>(static_cast<std::uintptr_t>(SQL_NOSCAN_ON)), 0);
  }
  SQLHANDLE get() const { return stmt_.get(); }

  SQLRETURN Execute(std::u16string text) {
    return SQLExecDirectW(stmt_.get(), W(text), static_cast<SQLINTEGER>(text.size()));
  }

 private:
  Handle stmt_;
};

// Only the name, as the server's row description gives it: asking for more (SQLDescribeCol's
// nullability) makes the driver query the catalog on every Open.
std::u16string ColumnName(SQLHANDLE stmt, SQLUSMALLINT column) {
  std::u16string name(256, u'\0');
  SQLSMALLINT bytes = 0;
  Check(SQLColAttributeW(stmt, column, SQL_DESC_NAME, name.data(),
                         static_cast<SQLSMALLINT>(name.size() * sizeof(char16_t)), &bytes, nullptr),
        SQL_HANDLE_STMT, stmt);
  name.resize(std::min<std::size_t>(name.size() - 1, static_cast<std::size_t>(bytes) / 2));
  return name;
}

// The whole value as text, read in pieces; NULL gives the empty text.
std::u16string ColumnText(SQLHANDLE stmt, SQLUSMALLINT column) {
  std::u16string value;
  char16_t buffer[512];
  for (;;) {
    SQLLEN indicator = 0;
    const SQLRETURN rc = SQLGetData(stmt, column, SQL_C_WCHAR, buffer, sizeof buffer, &indicator);
    if (rc == SQL_NO_DATA) break;
    Check(rc, SQL_HANDLE_STMT, stmt);
    if (indicator == SQL_NULL_DATA) return {};
    const std::size_t capacity = sizeof buffer / sizeof buffer[0] - 1;
    const std::size_t got =
        (indicator == SQL_NO_TOTAL || static_cast<std::size_t>(indicator) / 2 > capacity)
            ? capacity
            : static_cast<std::size_t>(indicator) / 2;
    value.append(buffer, got);
    if (rc == SQL_SUCCESS) break;
  }
  return value;
}

}  // namespace

void OdbcQuery::Close() {
  active_ = false;
  columns_.clear();
  row_.clear();
}

void OdbcQuery::Open() {
  Close();
  Statement statement(connection_.Handles().dbc(), connection_.CommandTimeout);
  const SQLRETURN rc = statement.Execute(CommandText());
  if (!Succeeded(rc)) Fail(rc, SQL_HANDLE_STMT, statement.get());
  SQLSMALLINT count = 0;
  Check(SQLNumResultCols(statement.get(), &count), SQL_HANDLE_STMT, statement.get());
  if (count == 0) throw Exception(u"qry: コマンドは結果セットを返しませんでした");
  std::vector<std::u16string> columns;
  for (SQLUSMALLINT c = 1; c <= static_cast<SQLUSMALLINT>(count); ++c) {
    columns.push_back(ColumnName(statement.get(), c));
  }
  std::vector<std::u16string> row;
  const SQLRETURN fetched = SQLFetch(statement.get());
  if (fetched != SQL_NO_DATA) {
    Check(fetched, SQL_HANDLE_STMT, statement.get());
    for (SQLUSMALLINT c = 1; c <= static_cast<SQLUSMALLINT>(count); ++c) {
      row.push_back(ColumnText(statement.get(), c));
    }
  }
  columns_ = std::move(columns);
  row_ = std::move(row);
  active_ = true;
}

Field OdbcQuery::FieldByName(const std::u16string& name) const {
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    if (SameTextAscii(columns_[i], name)) return Field(row_.empty() ? u"" : row_[i]);
  }
  throw Exception(u"qry: フィールド '" + name + u"' が見つかりません");
}

long OdbcQuery::ExecSQL() {
  Close();
  Statement statement(connection_.Handles().dbc(), connection_.CommandTimeout);
  SQLRETURN rc = statement.Execute(CommandText());
  long affected = 0;
  // Every result of a command of several statements is read; the first error is the failure.
  for (;;) {
    if (rc != SQL_NO_DATA) {
      if (!Succeeded(rc)) Fail(rc, SQL_HANDLE_STMT, statement.get());
      SQLLEN rows = 0;
      if (Succeeded(SQLRowCount(statement.get(), &rows)) && rows > 0) {
        affected += static_cast<long>(rows);
      }
    }
    rc = SQLMoreResults(statement.get());
    if (rc == SQL_NO_DATA) break;
  }
  return affected;
}

}  // namespace tavora
