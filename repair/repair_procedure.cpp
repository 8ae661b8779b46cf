#include "repair/repair_procedure.h"

#include "core/exception.h"
#include "core/messages.h"
#include "db/connection_string.h"
#include "repair/repair_batch.h"

namespace tavora {

namespace {

// Sets the pointer back to the default on every way out, a failure that escapes included.
class WaitPointer {
 public:
  explicit WaitPointer(UserInterface& ui) : ui_(ui) { ui_.SetWaitPointer(); }
  ~WaitPointer() { ui_.SetDefaultPointer(); }
  WaitPointer(const WaitPointer&) = delete;
  WaitPointer& operator=(const WaitPointer&) = delete;

 private:
  UserInterface& ui_;
};

void SendRepairBatch(Connection& conTavora, Query& qry) {
  qry.Close();
  qry.SQL.clear();
  for (auto& line : RepairBatchLines()) qry.SQL.push_back(std::move(line));
  qry.ExecSQL();
  conTavora.SetConnected(false);
}

void ShowError(UserInterface& ui, const std::u16string& message) {
  ui.ShowMessageDialog(message, DialogKind::Error, mbOK, u"OK");
}

}  // namespace

void RunRepair(UserInterface& ui, RegistryApi& registry, Connection& conTavora, Query& qry) {
  if (GetOdbcValue(registry, kDataSourceName, kServerValueName).empty()) {
    ShowError(ui, kNoServerMessage);
    return;
  }
  const WaitPointer wait(ui);
  if (ui.ShowMessageDialog(kConfirmMessage, DialogKind::Confirmation, mbYesNo, u"NO") != mrYes) {
    return;
  }
  // Closes a connection that an earlier failed batch left open; outside both handlers.
  conTavora.SetConnected(false);
  try {
    ConnectTavora(conTavora);
    try {
      SendRepairBatch(conTavora, qry);
    } catch (const Exception& e) {
      // The connection stays open until the next confirmed press or the end of the program.
      ShowError(ui, kBatchFailedPrefix + e.Message());
      return;
    }
  } catch (...) {
    ShowError(ui, kConnectionFailedMessage);
    return;
  }
  ui.ShowMessageDialog(kRepairDoneMessage, DialogKind::Information, mbOK, u"OK");
  ui.CloseMainWindow();
}

}  // namespace tavora
