// The licence agreement shown on the second page, line by line. Portable.
#pragma once

#include <string>
#include <vector>

namespace setup {

// English: 22 lines. The freeware flag picks the wording of the licence clause.
std::vector<std::u16string> EnglishAgreement(const std::u16string& displayName, bool isFreeware);
// Chinese: 16 lines for freeware, 18 otherwise (a commercial licence clause comes before the
// termination clause).
std::vector<std::u16string> ChineseAgreement(const std::u16string& displayName, bool isFreeware);

}  // namespace setup
