#pragma once
// Document strings are Windows-1251 bytes; conversion to and from UTF-8 happens only at the edges.
#include <string>

namespace zem {

using ZemString = std::string; // Windows-1251 bytes, compared and stored as bytes

// Windows-1251 -> UTF-8. Every byte has a meaning in 1251 except 0x98, which becomes U+FFFD.
std::string ToUtf8(const ZemString& Cp1251);

// UTF-8 -> Windows-1251. Letters typed in decomposed form (a letter and a combining mark) are composed
// first; characters without a 1251 form become '?', invalid UTF-8 sequences too.
ZemString FromUtf8(const std::string& Utf8);

// Case-insensitive comparison of two 1251 strings (Latin and Cyrillic letters), as the directories use.
bool SameText(const ZemString& A, const ZemString& B);

// Upper case of a 1251 string (Latin and Cyrillic letters).
ZemString UpperCase(const ZemString& S);

} // namespace zem
