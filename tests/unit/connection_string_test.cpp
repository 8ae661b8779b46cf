#include "db/connection_string.h"

#include <gtest/gtest.h>

#include "core/text.h"

namespace tavora {
namespace {

TEST(Descramble, ShiftsRunOneToFourAndRepeat) {
  EXPECT_EQ(Descramble(u"bdfhf"), u"abcde");
  EXPECT_EQ(Descramble(u""), u"");
  // Positions 5 and 9 are shifted by 1 again, like the first.
  EXPECT_EQ(Descramble(u"bbbbbbbbb"), u"a`_^a`_^a");
}

TEST(Descramble, WrapsBelowZeroToTheTopOfTheRange) {
  EXPECT_EQ(Descramble(std::u16string{u'\x01', u'\x01'}),
            (std::u16string{u'\0', char16_t(0xFFFF)}));
}

TEST(Descramble, ScrambleIsItsInverse) {
  for (const std::u16string password :
       {u"Tosho#2025", u"abcdefghij", u"~~~~~~~~~~", u"\uFFFF\u0000"}) {
    EXPECT_EQ(Descramble(Scramble(password)), password);
    EXPECT_EQ(Scramble(Descramble(password)), password);
  }
}

TEST(ConnectionString, IsComposedPieceByPiece) {
  const auto password = Descramble(StoredScrambledPassword());
  ASSERT_EQ(password.size(), 10u);
  EXPECT_EQ(ComposeConnectionString(),
            u"Provider=MSDASQL.1;Password=" + password +
                u";Persist Security Info=True;User ID=tavora_user;Data Source=tavoratosho;");
}

// Records what the connect sequence hands to the connection.
class RecordingConnection : public Connection {
 public:
  bool Connected() const override { return connected; }
  void SetConnected(bool value) override {
    connected = value;
    if (value) strings.push_back(connectionString);
  }
  const std::u16string& ConnectionString() const override { return connectionString; }
  void SetConnectionString(const std::u16string& value) override { connectionString = value; }
  bool connected = false;
  std::u16string connectionString;
  std::vector<std::u16string> strings;
};

TEST(ConnectionString, EveryConnectHandsTheSameStringAnew) {
  RecordingConnection con;
  ConnectTavora(con);
  con.SetConnected(false);
  con.SetConnectionString(u"something else");
  ConnectTavora(con);
  ASSERT_EQ(con.strings.size(), 2u);
  EXPECT_EQ(con.strings[0], con.strings[1]);
  EXPECT_EQ(con.strings[0], ComposeConnectionString());
}

}  // namespace
}  // namespace tavora
