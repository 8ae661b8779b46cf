#pragma once
// conTavora and qry carried out over the ODBC API: unixODBC on Linux, odbc32 on Windows.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "db/data_source.h"

namespace tavora {

// Time-outs that callers of such a component rely on: a hung server or a lock held by another
// session ends in a failure with a message, not in a window frozen for good.
inline constexpr unsigned kConnectTimeoutSeconds = 15;
inline constexpr unsigned kCommandTimeoutSeconds = 30;

// The OLE DB code that ADO reports for a provider failure without a more precise one.
inline constexpr std::uint32_t kProviderFailureCode = 0x80004005;

// The message of a failed ODBC call (its return code and the first diagnostic's text, possibly
// empty), as the failure carries it.
std::u16string OdbcFailureText(short rc, std::u16string_view description);

class OdbcHandles;

class OdbcConnection final : public Connection {
 public:
  OdbcConnection();
  ~OdbcConnection() override;
  OdbcConnection(const OdbcConnection&) = delete;
  OdbcConnection& operator=(const OdbcConnection&) = delete;

  bool Connected() const override;
  void SetConnected(bool value) override;
  const std::u16string& ConnectionString() const override { return connectionString_; }
  void SetConnectionString(const std::u16string& value) override;

  unsigned ConnectionTimeout = kConnectTimeoutSeconds;
  unsigned CommandTimeout = kCommandTimeoutSeconds;

  OdbcHandles& Handles();  // for OdbcQuery; fails when closed

 private:
  std::u16string connectionString_;
  std::unique_ptr<OdbcHandles> handles_;
};

class OdbcQuery final : public Query {
 public:
  explicit OdbcQuery(OdbcConnection& connection) : connection_(connection) {}
  void Close() override;
  void Open() override;
  Field FieldByName(const std::u16string& name) const override;
  long ExecSQL() override;

 private:
  OdbcConnection& connection_;
  bool active_ = false;
  std::vector<std::u16string> columns_;
  std::vector<std::u16string> row_;  // the current row; empty when the result has no rows
};

}  // namespace tavora
