// A hung server and a lock held by another session end in failures with a message instead of
// a window frozen for good. Slow by nature: 15 and 30 seconds.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <winsock2.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <chrono>
#include <cstdio>

#include "core/exception.h"
#include "core/text.h"
#include "db/connection_string.h"
#include "db/odbc_data_source.h"
#include "tests/db/db_fixture.h"

namespace tavora {
namespace {

using namespace tavora::testing;

// A TCP port that completes the handshake (the kernel's backlog) but never says a word.
class SilentListener {
 public:
  explicit SilentListener(unsigned short port) {
#ifdef _WIN32
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
#endif
    socket_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const int one = 1;
    setsockopt(socket_, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&one), sizeof one);
    ok_ = ::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
          ::listen(socket_, 8) == 0;
  }
  ~SilentListener() {
#ifdef _WIN32
    closesocket(socket_);
    WSACleanup();
#else
    close(socket_);
#endif
  }
  bool ok() const { return ok_; }

 private:
#ifdef _WIN32
  SOCKET socket_;
#else
  int socket_;
#endif
  bool ok_ = false;
};

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST(Timeouts, AServerThatNeverAnswersFailsTheConnect) {
  const auto port = static_cast<unsigned short>(std::stoi(Getenv("TAVORA_SILENT_PORT")));
  SilentListener listener(port);
  ASSERT_TRUE(listener.ok());
  OdbcConnection conTavora;
  auto text = ComposeConnectionString();
  text.replace(text.find(u"tavoratosho"), 11, u"tavora_silent");
  conTavora.SetConnectionString(text);
  const auto start = std::chrono::steady_clock::now();
  try {
    conTavora.SetConnected(true);
    ADD_FAILURE() << "connected to a silent server";
  } catch (const Exception& e) {
    EXPECT_FALSE(e.Message().empty());
    std::printf("failed after %.1f s: %s\n", SecondsSince(start), ToUtf8(e.Message()).c_str());
  }
  EXPECT_FALSE(conTavora.Connected());
}

TEST(Timeouts, AStatementBlockedByAnotherSessionsLockFails) {
  ResetSchema();
  AdminSession holder(/*autocommit=*/false);
  holder.Exec("LOCK TABLE tmp_user_file_select IN ACCESS EXCLUSIVE MODE");

  OdbcConnection conTavora;
  OdbcQuery qry(conTavora);
  ConnectTavora(conTavora);
  qry.SQL = {u" UPDATE env SET ver_kaku = 'X';  ",
             u" ALTER TABLE tmp_user_file_select ADD IF NOT EXISTS select_44 int2;  "};
  const auto start = std::chrono::steady_clock::now();
  try {
    qry.ExecSQL();
    ADD_FAILURE() << "the blocked statement succeeded";
  } catch (const Exception& e) {
    EXPECT_FALSE(e.Message().empty());
    std::printf("failed after %.1f s: %s\n", SecondsSince(start), ToUtf8(e.Message()).c_str());
  }
  holder.Rollback();
  AdminSession admin;
  EXPECT_EQ(admin.Scalar("SELECT ver_kaku FROM env"), "2025");
  EXPECT_EQ(admin.Scalar("SELECT count(*) FROM information_schema.columns WHERE column_name = "
                         "'select_44' AND table_name = 'tmp_user_file_select'"),
            "0");
}

}  // namespace
}  // namespace tavora
