#pragma once
// Every message that the start-up check and the repair show the user, and the failure texts of
// the registry lookup that reach the default error box. Shown exactly as they stand here.
namespace tavora {

// The start-up check.
inline constexpr char16_t kWrongVersionMessage[] = u"ご利用のバージョンでは実行できません。";
inline constexpr char16_t kConnectionFailedMessage[] = u"Tavoraデータベースの接続に失敗しました。";

// The repair.
inline constexpr char16_t kNoServerMessage[] = u"Tavora ODBC設定がありません。";
inline constexpr char16_t kConfirmMessage[] =
    u"進級処理画面のエラー復旧を行います。よろしいですか？";
inline constexpr char16_t kBatchFailedPrefix[] = u"処理に失敗しました。：";
inline constexpr char16_t kRepairDoneMessage[] =
    u"エラー復旧が正常に完了しました。\r\nこの画面を閉じてTavoraで年次更新を進めてください。";

// The registry lookup; %s is the value's name.
inline constexpr char16_t kValueTypeFailure[] = u"'%s' のデータ型が不正です";
inline constexpr char16_t kValueReadFailure[] = u"'%s' の取得に失敗しました";

}  // namespace tavora
