#pragma once
// Numbers as the program's text files write them.
#include <string>

namespace zem {

// General format with at most 15 significant digits and no trailing zeros: fixed notation from 0.00001
// upwards while the integer part has at most 15 digits, scientific ("1.5E20", "1E-7") otherwise.
// The value is taken exactly (a single widened to extended precision), so 0.1f gives 0.100000001490116.
std::string GeneralFloatText(long double Value, char DecimalSeparator);

// The decimal separator of the user's regional settings (the C library's numeric locale), or '.' when it
// is not a single byte.
char LocaleDecimalSeparator();

} // namespace zem
