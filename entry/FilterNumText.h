#pragma once
// The digits of a number written on a results page or in a title.

#include <string>
#include <string_view>

namespace tolvi {

// The bytes of `text` that are "0" to "9" or ".", in their order; "0" when `text` holds no
// digit at all. Thousands separators, blanks, "円" and the like fall away, so "1,234円" gives
// "1234", " 999" gives "999" and an empty text gives "0".
std::string filterNumText(std::string_view text);

}  // namespace tolvi
