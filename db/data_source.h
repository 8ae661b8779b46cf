#pragma once
// The data-source component: the connection conTavora and the statement object qry bound to it.
// The procedures see only these interfaces; OdbcConnection and OdbcQuery carry them out.
#include <string>
#include <vector>

namespace tavora {

class Connection {
 public:
  virtual ~Connection() = default;
  virtual bool Connected() const = 0;
  // false closes the connection (nothing when closed); true opens it with ConnectionString.
  virtual void SetConnected(bool value) = 0;
  virtual const std::u16string& ConnectionString() const = 0;
  virtual void SetConnectionString(const std::u16string& value) = 0;
};

// One column of the current row.
class Field {
 public:
  explicit Field(std::u16string value) : value_(std::move(value)) {}
  const std::u16string& AsString() const { return value_; }

 private:
  std::u16string value_;
};

class Query {
 public:
  virtual ~Query() = default;
  virtual void Close() = 0;
  // Runs a statement that returns rows; the first row becomes current.
  virtual void Open() = 0;
  // The column of the current row; empty for NULL and for a result without rows.
  virtual Field FieldByName(const std::u16string& name) const = 0;
  // Sends the command text as one command; returns the number of affected rows.
  virtual long ExecSQL() = 0;

  // The statement's lines; the command text is each line followed by CR LF, the last one too.
  std::vector<std::u16string> SQL;
  std::u16string CommandText() const;
};

}  // namespace tavora
