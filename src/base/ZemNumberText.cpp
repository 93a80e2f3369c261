#include "base/ZemNumberText.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace zem {

std::string GeneralFloatText(long double Value, char DecimalSeparator) {
    if (std::isnan(Value))
        return "NAN";
    if (std::isinf(Value))
        return Value < 0 ? "-INF" : "INF";
    if (Value == 0)
        return "0";
    // 15 significant digits, rounded to nearest: d.dddddddddddddde±x
    char Buf[64];
    std::snprintf(Buf, sizeof Buf, "%.14Le", std::fabs(Value));
    const char* E = std::strchr(Buf, 'e');
    const int Exponent = std::atoi(E + 1);
    std::string Digits;
    for (const char* p = Buf; p < E; ++p)
        if (*p >= '0' && *p <= '9')
            Digits += *p;
    while (Digits.size() > 1 && Digits.back() == '0')
        Digits.pop_back();

    std::string Out = Value < 0 ? "-" : "";
    if (Exponent >= -5 && Exponent <= 14) {
        if (Exponent < 0) {
            Out += '0';
            Out += DecimalSeparator;
            Out.append(static_cast<size_t>(-Exponent - 1), '0');
            Out += Digits;
        } else {
            const size_t IntLen = static_cast<size_t>(Exponent) + 1;
            if (Digits.size() <= IntLen) {
                Out += Digits;
                Out.append(IntLen - Digits.size(), '0');
            } else {
                Out += Digits.substr(0, IntLen);
                Out += DecimalSeparator;
                Out += Digits.substr(IntLen);
            }
        }
        return Out;
    }
    Out += Digits[0];
    if (Digits.size() > 1) {
        Out += DecimalSeparator;
        Out += Digits.substr(1);
    }
    Out += 'E';
    Out += std::to_string(Exponent);
    return Out;
}

char LocaleDecimalSeparator() {
    const std::lconv* L = std::localeconv();
    if (L && L->decimal_point && std::strlen(L->decimal_point) == 1)
        return L->decimal_point[0];
    return '.';
}

} // namespace zem
