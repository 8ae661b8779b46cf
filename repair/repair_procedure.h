#pragma once
// One press of "実行": server check, confirmation, the repair batch as one command, the report.
#include "db/data_source.h"
#include "db/registry.h"
#include "shell/user_interface.h"

namespace tavora {

inline constexpr char16_t kDataSourceName[] = u"tavoratosho";
inline constexpr char16_t kServerValueName[] = u"Servername";
inline constexpr char16_t kNoServerMessage[] = u"Tavora ODBC設定がありません。";
inline constexpr char16_t kConfirmMessage[] =
    u"進級処理画面のエラー復旧を行います。よろしいですか？";
inline constexpr char16_t kBatchFailedPrefix[] = u"処理に失敗しました。：";
inline constexpr char16_t kRepairDoneMessage[] =
    u"エラー復旧が正常に完了しました。\r\nこの画面を閉じてTavoraで年次更新を進めてください。";

// A failure of the registry lookup is not handled here: it reaches the default error box.
void RunRepair(UserInterface& ui, RegistryApi& registry, Connection& conTavora, Query& qry);

}  // namespace tavora
