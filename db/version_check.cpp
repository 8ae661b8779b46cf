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

}  // namespace

void CheckSchemaVersion(UserInterface& ui, Connection& conTavora, Query& qry) {
  conTavora.SetConnected(false);
  bool accepted = false;
  try {
    accepted = SameTextExact(ReadSchemaVersion(conTavora, qry), kAcceptedVersion);
  } catch (...) {
    // The failure's own text is not shown, and an open connection stays open until the end.
    ui.ShowMessageDialog(kConnectionFailedMessage, DialogKind::Error, mbOK, u"OK");
    ui.Terminate();
    return;
  }
  if (!accepted) {
    ui.ShowMessageDialog(kWrongVersionMessage, DialogKind::Information, mbOK, u"OK");
    ui.Terminate();
  }
}

}  // namespace tavora
