#include "db/version_check.h"

#include "core/messages.h"
#include "core/text.h"
#include "db/connection_string.h"

namespace tavora {

namespace {

std::u16string ReadSchemaVersion(Connection& conTavora, Query& qry) {
  ConnectTavora(conTavora);
  qry.Close();
  qry.SQL.clear();
  qry.SQL.push_back(kVersionStatement);
  qry.Open();
  auto version = qry.FieldByName(u"ver_kaku").AsString();
  qry.Close();
  conTavora.SetConnected(false);
  return version;
}

// Asks the application to end when it goes out of scope: after the dialog has closed, and also
// when showing the dialog fails, so that no path opens the main window on a database this tool
// must not touch.
class TerminateOnExit {
 public:
  explicit TerminateOnExit(UserInterface& ui) : ui_(ui) {}
  ~TerminateOnExit() { ui_.Terminate(); }
  TerminateOnExit(const TerminateOnExit&) = delete;
  TerminateOnExit& operator=(const TerminateOnExit&) = delete;

 private:
  UserInterface& ui_;
};

void Refuse(UserInterface& ui, const char16_t* message, DialogKind kind) {
  const TerminateOnExit terminate(ui);
  ui.ShowMessageDialog(message, kind, mbOK, u"OK");
}

}  // namespace

void CheckSchemaVersion(UserInterface& ui, Connection& conTavora, Query& qry) {
  conTavora.SetConnected(false);
  bool accepted = false;
  try {
    accepted = SameTextExact(ReadSchemaVersion(conTavora, qry), kAcceptedVersion);
  } catch (...) {
    // The failure's own text is not shown, and an open connection stays open until the end.
    Refuse(ui, kConnectionFailedMessage, DialogKind::Error);
    return;
  }
  if (!accepted) Refuse(ui, kWrongVersionMessage, DialogKind::Information);
}

}  // namespace tavora
