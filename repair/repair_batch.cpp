#include "repair/repair_batch.h"

namespace tavora {

namespace {

std::u16string Decimal(int n) {
  std::u16string digits;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + n % 10));
    n /= 10;
  } while (n > 0);
  return digits;
}

}  // namespace

std::vector<std::u16string> RepairBatchLines() {
  std::vector<std::u16string> lines = {
      u" ALTER TABLE tmp_user_file_select ADD IF NOT EXISTS select_44 int2;  ",
      u" ALTER TABLE tmp_user_file_select ADD IF NOT EXISTS width_44 int2;  ",
      u" ALTER TABLE tmp_user_file_select ADD IF NOT EXISTS select_45 int2;  ",
      u" ALTER TABLE tmp_user_file_select ADD IF NOT EXISTS width_45 int2;  ",
      u" ALTER TABLE tmp_user_file_select ADD IF NOT EXISTS select_46 int2;  ",
      u" ALTER TABLE tmp_user_file_select ADD IF NOT EXISTS width_46 int2;  ",
      u" ALTER TABLE tmp_user_file_data ADD IF NOT EXISTS value_44 varchar(255);  ",
      u" ALTER TABLE tmp_user_file_data ADD IF NOT EXISTS value_45 varchar(255);  ",
      u" ALTER TABLE tmp_user_file_data ADD IF NOT EXISTS value_46 varchar(255);  ",
      u" DROP TABLE IF EXISTS tmp_user_file_select_out;  ",
      u" CREATE TABLE  IF NOT EXISTS tmp_user_file_select_out (  ",
      u"   client_key varchar(255) NOT NULL,  ",
  };
  for (int n = 1; n <= 43; ++n) {
    lines.push_back(u"   select_" + Decimal(n) + u" int2 DEFAULT 0,  ");
  }
  lines.insert(lines.end(),
               {
                   u"   select_44 int2,  ",
                   u"   select_45 int2,  ",
                   u"   select_46 int2,  ",
                   u"   CONSTRAINT tmp_user_file_select_out_pkey PRIMARY KEY (client_key)  ",
                   u" );  ",
                   u" ALTER TABLE tmp_user_file_select_out OWNER to tavora_user;  ",
               });
  return lines;
}

}  // namespace tavora
