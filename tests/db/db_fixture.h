#pragma once
// Access to the fixture server for the database tests: an administrator's session through the
// same ODBC driver (over the server's socket, as the superuser), and the Tavora-like schema.
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tavora::testing {

using Row = std::vector<std::optional<std::string>>;  // none: NULL

class AdminSession {
 public:
  // autocommit off keeps a transaction, and the locks it takes, open until Rollback().
  explicit AdminSession(bool autocommit = true);
  ~AdminSession();
  AdminSession(const AdminSession&) = delete;
  AdminSession& operator=(const AdminSession&) = delete;

  void Exec(const std::string& sql);
  std::vector<Row> Rows(const std::string& sql);
  std::string Scalar(const std::string& sql);  // first column of the first row; "" for none
  void Rollback();

 private:
  struct Handles;
  std::unique_ptr<Handles> h_;
};

// Drops the Tavora tables and creates them in the shape before the repair (43 numbered columns),
// owned by tavora_user, with a few rows in each.
void ResetSchema();

struct ColumnShape {
  std::string name, type;
  bool nullable;
  std::string defaultValue;  // "" for none
  bool operator==(const ColumnShape&) const = default;
};
std::vector<ColumnShape> ColumnsOf(const std::string& table);
// The given columns of every row as one text, in key order.
std::string RowsDigest(const std::string& table, const std::string& columns);
std::string OwnerOf(const std::string& table);

// The server's log from the moment this object was made.
class ServerLog {
 public:
  ServerLog();
  std::string Since() const;

 private:
  long start_;
};
// Switches the logging of every statement on or off, for sessions started from now on.
void LogStatements(bool on);
// How the log shows a command: after "statement: ", each further line indented by a tab.
std::string LoggedStatement(const std::string& commandText);

// The columns that a successful repair leaves in each of the three tables.
std::vector<ColumnShape> RepairedSelectOut();
std::vector<ColumnShape> RepairedSelect();
std::vector<ColumnShape> RepairedData();

std::string Getenv(const char* name);

}  // namespace tavora::testing
