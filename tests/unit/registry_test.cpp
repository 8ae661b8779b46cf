#include "db/registry.h"

#include <gtest/gtest.h>

#include "core/exception.h"
#include "core/text.h"
#include "tests/unit/fake_registry.h"

namespace tavora {
namespace {

using namespace tavora::testing;

// A machine with the data source configured in both branches, told apart by their servers.
FakeRegistry MachineWithArchitecture(std::optional<std::u16string> architecture) {
  FakeRegistry r;
  if (architecture) r.Set(kEnvironmentPath, u"PROCESSOR_ARCHITECTURE", Sz(*architecture));
  r.Set(kX86DataSourcePath, u"Servername", Sz(u"x86-server"));
  r.Set(kAmd64DataSourcePath, u"Servername", Sz(u"wow64-server"));
  return r;
}

TEST(GetOdbcValue, ChoosesTheBranchByTheExactArchitecture) {
  struct Case {
    std::optional<std::u16string> architecture;
    std::u16string expected;
  } cases[] = {
      {u"x86", u"x86-server"}, {u"AMD64", u"wow64-server"},
      {u"ARM64", u""},         {u"amd64", u""},
      {u"AMD64 ", u""},        {u"", u""},
      {std::nullopt, u""},
  };
  for (const auto& c : cases) {
    auto r = MachineWithArchitecture(c.architecture);
    EXPECT_EQ(GetOdbcValue(r, u"tavoratosho", u"Servername"), c.expected)
        << ToUtf8(c.architecture.value_or(u"(none)"));
    EXPECT_TRUE(r.openKeys.empty());
  }
}

TEST(GetOdbcValue, OpensNoDataSourceKeyForAnUnknownArchitecture) {
  auto r = MachineWithArchitecture(u"ARM64");
  GetOdbcValue(r, u"tavoratosho", u"Servername");
  for (const auto& [path, access] : r.openAttempts) EXPECT_EQ(path, kEnvironmentPath);
}

TEST(GetOdbcValue, AMissingEnvironmentKeyOpensNothingElse) {
  FakeRegistry r;
  r.Set(kX86DataSourcePath, u"Servername", Sz(u"x86-server"));
  EXPECT_EQ(GetOdbcValue(r, u"tavoratosho", u"Servername"), u"");
  ASSERT_EQ(r.openAttempts.size(), 3u);  // the three rights, all for the environment key
}

TEST(GetOdbcValue, AmdMachineIgnoresTheNativeBranch) {
  FakeRegistry r;
  r.Set(kEnvironmentPath, u"PROCESSOR_ARCHITECTURE", Sz(u"AMD64"));
  r.Set(kX86DataSourcePath, u"Servername", Sz(u"x86-server"));
  EXPECT_EQ(GetOdbcValue(r, u"tavoratosho", u"Servername"), u"");
}

TEST(ReadOnlyKey, TriesTheAccessRightsInOrder) {
  struct Case {
    std::set<std::uint32_t> granted;
    std::vector<std::uint32_t> attempts;
    std::u16string expected;
  } cases[] = {
      {{kKeyRead, kKeyReadNoNotify, kKeyQueryValue}, {kKeyRead}, u"srv"},
      {{kKeyReadNoNotify}, {kKeyRead, kKeyReadNoNotify}, u"srv"},
      {{kKeyQueryValue}, {kKeyRead, kKeyReadNoNotify, kKeyQueryValue}, u"srv"},
      {{}, {kKeyRead, kKeyReadNoNotify, kKeyQueryValue}, u""},
  };
  for (const auto& c : cases) {
    FakeRegistry r;
    r.Set(kX86DataSourcePath, u"Servername", Sz(u"srv"));
    r.keys[kX86DataSourcePath].grantedAccess = c.granted;
    const ReadOnlyKey key(r, u"\\" + kX86DataSourcePath);
    EXPECT_EQ(key.ReadText(u"Servername"), c.expected);
    std::vector<std::uint32_t> attempts;
    for (const auto& a : r.openAttempts) {
      EXPECT_EQ(a.first, kX86DataSourcePath);  // the leading "\" is dropped
      attempts.push_back(a.second);
    }
    EXPECT_EQ(attempts, c.attempts);
  }
}

std::vector<std::byte> RawBytes(std::initializer_list<int> bytes) {
  std::vector<std::byte> out;
  for (const int b : bytes) out.push_back(static_cast<std::byte>(b));
  return out;
}

TEST(ReadOnlyKey, ReadsTextValuesAsStored) {
  struct Case {
    const char* what;
    std::optional<FakeValue> value;
    std::u16string expected;
  } cases[] = {
      {"absent", std::nullopt, u""},
      {"empty text", Sz(u""), u""},
      {"a single blank", Sz(u" "), u" "},
      {"untrimmed", Sz(u" db01\t"), u" db01\t"},
      {"expandable, unexpanded", Sz(u"%SERVER%", kRegExpandSz), u"%SERVER%"},
      {"NUL inside", Sz(std::u16string(u"ab\0cd", 5)), u"ab"},
      {"no terminating NUL", Bytes(kRegSz, RawBytes({'h', 0, 'i', 0})), u"hi"},
      {"odd byte count", Bytes(kRegSz, RawBytes({'h', 0, 'i', 0, 'x'})), u"hi"},
      {"one byte", Bytes(kRegSz, RawBytes({'x'})), u""},
      {"DWORD without data", Bytes(kRegDword, {}), u""},
      {"multi-string without data", Bytes(kRegMultiSz, {}), u""},
  };
  for (const auto& c : cases) {
    FakeRegistry r;
    r.keys[kX86DataSourcePath];
    if (c.value) r.Set(kX86DataSourcePath, u"Servername", *c.value);
    {
      const ReadOnlyKey key(r, kX86DataSourcePath);
      EXPECT_EQ(key.ReadText(u"Servername"), c.expected) << c.what;
    }
    EXPECT_TRUE(r.openKeys.empty()) << c.what;
  }
}

TEST(ReadOnlyKey, NonTextDataIsADataTypeFailure) {
  for (const auto& value : {Bytes(kRegDword, RawBytes({1, 0, 0, 0})), Sz(u"a", kRegMultiSz)}) {
    FakeRegistry r;
    r.Set(kEnvironmentPath, u"PROCESSOR_ARCHITECTURE", Sz(u"x86"));
    r.Set(kX86DataSourcePath, u"Servername", value);
    try {
      GetOdbcValue(r, u"tavoratosho", u"Servername");
      ADD_FAILURE() << "no failure";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), u"'Servername' のデータ型が不正です");
    }
    EXPECT_TRUE(r.openKeys.empty());
  }
}

TEST(ReadOnlyKey, TheArchitectureValueIsCheckedToo) {
  FakeRegistry r;
  r.Set(kEnvironmentPath, u"PROCESSOR_ARCHITECTURE", Bytes(kRegDword, RawBytes({1, 0, 0, 0})));
  try {
    GetOdbcValue(r, u"tavoratosho", u"Servername");
    ADD_FAILURE() << "no failure";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), u"'PROCESSOR_ARCHITECTURE' のデータ型が不正です");
  }
  EXPECT_TRUE(r.openKeys.empty());
}

TEST(ReadOnlyKey, DataThatChangesAfterItsSizeWasLearned) {
  struct Case {
    const char* what;
    std::function<void(FakeRegistry&)> change;
    std::optional<std::u16string> expected;  // none: the read fails
  } cases[] = {
      {"vanishes", [](FakeRegistry& r) { r.keys[kX86DataSourcePath].values.clear(); }, {}},
      {"grows",
       [](FakeRegistry& r) { r.Set(kX86DataSourcePath, u"Servername", Sz(u"longer")); },
       {}},
      {"shrinks", [](FakeRegistry& r) { r.Set(kX86DataSourcePath, u"Servername", Sz(u"a")); },
       u"a"},
  };
  for (const auto& c : cases) {
    FakeRegistry r;
    r.Set(kX86DataSourcePath, u"Servername", Sz(u"srv"));
    r.betweenQueries = [&] { c.change(r); };
    {
      const ReadOnlyKey key(r, kX86DataSourcePath);
      if (c.expected) {
        EXPECT_EQ(key.ReadText(u"Servername"), *c.expected) << c.what;
      } else {
        try {
          key.ReadText(u"Servername");
          ADD_FAILURE() << c.what;
        } catch (const Exception& e) {
          EXPECT_EQ(e.Message(), u"'Servername' の取得に失敗しました") << c.what;
        }
      }
    }
    EXPECT_TRUE(r.openKeys.empty()) << c.what;
  }
}

TEST(GetOdbcValue, SeesAChangeBetweenTwoCalls) {
  auto r = MachineWithArchitecture(u"x86");
  EXPECT_EQ(GetOdbcValue(r, u"tavoratosho", u"Servername"), u"x86-server");
  r.Set(kX86DataSourcePath, u"Servername", Sz(u""));
  EXPECT_EQ(GetOdbcValue(r, u"tavoratosho", u"Servername"), u"");
}

}  // namespace
}  // namespace tavora
