#include "db/provider_text.h"

#include <gtest/gtest.h>

#include "core/exception.h"
#include "core/text.h"
#include "db/connection_string.h"
#include "db/odbc_data_source.h"
#include "db/system_text.h"

namespace tavora {
namespace {

TEST(ReadConnectionString, TakesTheComposedStringApart) {
  const auto login = ReadConnectionString(ComposeConnectionString());
  EXPECT_EQ(login.dataSource, u"tavoratosho");
  EXPECT_EQ(login.user, u"tavora_user");
  EXPECT_EQ(login.password, Descramble(StoredScrambledPassword()));
}

TEST(ReadConnectionString, ReadsQuotedValuesAndIgnoresKeyCase) {
  const auto login = ReadConnectionString(
      u"provider = msdasql.1 ; PASSWORD=\"a;b\"\"c\"; user id='x''y';DATA SOURCE=dsn");
  EXPECT_EQ(login.password, u"a;b\"c");
  EXPECT_EQ(login.user, u"x'y");
  EXPECT_EQ(login.dataSource, u"dsn");
}

TEST(ReadConnectionString, RefusesWhatItCannotConnectWith) {
  for (const std::u16string text : {
           u"Provider=SQLOLEDB.1;Data Source=tavoratosho;",
           u"Data Source=tavoratosho;",
           u"Provider=MSDASQL.1;",
           u"Provider=MSDASQL.1;Password=\"open;Data Source=x;",
           u"Provider=MSDASQL.1;garbage;Data Source=x;",
       }) {
    EXPECT_THROW(ReadConnectionString(text), Exception) << ToUtf8(text);
  }
}

TEST(OdbcConnectString, NoCharacterOfAValueCanAddAKey) {
  EXPECT_EQ(OdbcConnectString({u"tavoratosho", u"tavora_user", u"p}w;x={"}),
            u"DSN=tavoratosho;UID=tavora_user;PWD={p}}w;x={};");
  EXPECT_THROW(OdbcConnectString({u"dsn;DRIVER=x", u"u", u"p"}), Exception);
  EXPECT_THROW(OdbcConnectString({u"dsn", u"{u}", u"p"}), Exception);
}

TEST(ProviderFailureText, TrimsAndFallsBack) {
  struct Case {
    std::u16string description, systemText;
    std::u16string expected;
  } cases[] = {
      {u"ERROR: relation \"x\" does not exist;\nError while executing the query.\r\n .", u"",
       u"ERROR: relation \"x\" does not exist;\nError while executing the query"},
      {u" \t.\n", u"Unspecified error.\r\n", u"Unspecified error"},
      {u"", u"", u"OLE エラー 80004005"},
      {u"中止しました。", u"", u"中止しました。"},  // a full-width period is no period
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ProviderFailureText(c.description, c.systemText, 0x80004005), c.expected);
  }
}

}  // namespace
}  // namespace tavora

namespace tavora {
namespace {

// A failure that the driver manager gives no words for still reads as a sentence where the
// system has one (Windows), and as the numbered generic form only where it has none.
TEST(OdbcFailureText, WithoutTheDriversWordsTheSystemsSentence) {
  constexpr short kError = -1;          // SQL_ERROR
  constexpr short kInvalidHandle = -2;  // SQL_INVALID_HANDLE
  EXPECT_EQ(OdbcFailureText(kError, u"ERROR: relation \"env\" does not exist.\r\n"),
            u"ERROR: relation \"env\" does not exist");
  EXPECT_EQ(OdbcFailureText(kInvalidHandle, u""), u"無効なハンドルです");
  const auto text = OdbcFailureText(kError, u"");
#ifdef _WIN32
  EXPECT_EQ(text.find(u"OLE エラー"), std::u16string::npos) << ToUtf8(text);
  EXPECT_FALSE(text.empty());
  EXPECT_EQ(text, TrimFailureText(SystemErrorText(kProviderFailureCode)));
#else
  EXPECT_EQ(text, u"OLE エラー 80004005");
#endif
}

}  // namespace
}  // namespace tavora
