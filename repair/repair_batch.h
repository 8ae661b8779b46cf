#pragma once
// The statements that repair the tables of the grade-promotion screen.
#include <string>
#include <vector>

namespace tavora {

// The 61 lines of the repair batch, in the order they are added to qry.
std::vector<std::u16string> RepairBatchLines();

}  // namespace tavora
