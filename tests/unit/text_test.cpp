#include "core/text.h"

#include <gtest/gtest.h>

namespace tavora {
namespace {

TEST(Text, Utf8RoundTripKeepsJapaneseAndSurrogates) {
  const std::string utf8 = "復旧ツール：？ 𠮷";
  EXPECT_EQ(ToUtf8(ToU16(utf8)), utf8);
  EXPECT_EQ(ToU16("𠮷").size(), 2u);
}

TEST(Text, SameTextAsciiIgnoresOnlyAsciiCase) {
  EXPECT_TRUE(SameTextAscii(u"NO", u"No"));
  EXPECT_TRUE(SameTextAscii(u"ver_KAKU", u"VER_kaku"));
  EXPECT_FALSE(SameTextAscii(u"NO ", u"No"));
  EXPECT_FALSE(SameTextAscii(u"Ａ", u"ａ"));  // full-width letters are not ASCII
}

TEST(Text, FormatTextFillsEveryMarker) {
  EXPECT_EQ(FormatText(u"'%s' のデータ型が不正です", u"Servername"),
            u"'Servername' のデータ型が不正です");
}

}  // namespace
}  // namespace tavora
