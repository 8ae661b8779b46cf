#include "repair/repair_batch.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "db/data_source.h"

namespace tavora {
namespace {

class TextOnlyQuery : public Query {
 public:
  void Close() override {}
  void Open() override {}
  Field FieldByName(const std::u16string&) const override { return Field(u""); }
  long ExecSQL() override { return 0; }
};

TEST(RepairBatch, CommandTextHasTheExactShape) {
  TextOnlyQuery qry;
  qry.SQL = RepairBatchLines();
  ASSERT_EQ(qry.SQL.size(), 61u);
  const auto text = qry.CommandText();
  EXPECT_EQ(text.size(), 2376u);
  EXPECT_EQ(text.substr(text.size() - 2), u"\r\n");
  EXPECT_EQ(std::count(text.begin(), text.end(), u';'), 12);
  EXPECT_EQ(std::count(text.begin(), text.end(), u'\n'), 61);
}

TEST(RepairBatch, LinesAsWritten) {
  const auto lines = RepairBatchLines();
  EXPECT_EQ(lines[0], u" ALTER TABLE tmp_user_file_select ADD IF NOT EXISTS select_44 int2;  ");
  EXPECT_EQ(lines[8],
            u" ALTER TABLE tmp_user_file_data ADD IF NOT EXISTS value_46 varchar(255);  ");
  EXPECT_EQ(lines[9], u" DROP TABLE IF EXISTS tmp_user_file_select_out;  ");
  EXPECT_EQ(lines[10], u" CREATE TABLE  IF NOT EXISTS tmp_user_file_select_out (  ");
  EXPECT_EQ(lines[11], u"   client_key varchar(255) NOT NULL,  ");
  EXPECT_EQ(lines[12], u"   select_1 int2 DEFAULT 0,  ");
  EXPECT_EQ(lines[21], u"   select_10 int2 DEFAULT 0,  ");
  EXPECT_EQ(lines[54], u"   select_43 int2 DEFAULT 0,  ");
  EXPECT_EQ(lines[55], u"   select_44 int2,  ");
  EXPECT_EQ(lines[58], u"   CONSTRAINT tmp_user_file_select_out_pkey PRIMARY KEY (client_key)  ");
  EXPECT_EQ(lines[59], u" );  ");
  EXPECT_EQ(lines[60], u" ALTER TABLE tmp_user_file_select_out OWNER to tavora_user;  ");
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const bool columnLine = i >= 11 && i <= 58;
    EXPECT_EQ(lines[i].rfind(columnLine ? u"   " : u" ", 0), 0u) << i;
    EXPECT_NE(lines[i][columnLine ? 3 : 1], u' ') << i;
    EXPECT_EQ(lines[i].substr(lines[i].size() - 3).find_first_not_of(u' '), 0u) << i;
    EXPECT_EQ(lines[i].substr(lines[i].size() - 2), u"  ") << i;
  }
}

}  // namespace
}  // namespace tavora
