#include "db/data_source.h"

namespace tavora {

std::u16string Query::CommandText() const {
  std::u16string text;
  for (const auto& line : SQL) {
    text += line;
    text += u"\r\n";
  }
  return text;
}

}  // namespace tavora
