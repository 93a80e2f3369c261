#pragma once
// The trust boundary of the loaders. Every check of untrusted bytes (a packed block, a frame, a read from
// a loaded stream, a count or a size in a map file or a picture library) goes through CheckInput, so
// `grep -n CheckInput` lists them all. A failed check reports what is wrong as a code; the map-file
// boundary (TBinaryReader, the map loader) decides what the user reads for it.
#include "base/ZemErrors.h"

#include <string>

namespace zem {

enum class TInputFault {
    PastEnd,     // the data ends before what it describes
    Damaged,     // the data cannot be valid
    WrongLength, // a frame whose stored block does not fill it exactly
    Overflow,    // a position or length past 2^31 - 1
    TooLarge,    // more content than the caller accepts
};

// A failed check. It is an EZemError, so that a fault meeting a caller outside the boundary is still an
// ordinary error; its text only names the code, for logs and fuzzers.
class EInputFault : public EZemError {
public:
    explicit EInputFault(TInputFault Fault);
    TInputFault Fault() const noexcept { return FFault; }

private:
    TInputFault FFault;
};

// Raises EInputFault with Fault.
[[noreturn]] void RaiseInputFault(TInputFault Fault);

// The one validation helper: raises EInputFault with Fault unless Ok.
inline void CheckInput(bool Ok, TInputFault Fault) {
    if (!Ok) [[unlikely]]
        RaiseInputFault(Fault);
}

// Raises EZemError for a missing (null) argument: "Параметр "Parameter", передаваемый в функцию
// "Function", не может быть равен nil."
[[noreturn]] void RaiseNilParameter(const std::string& Parameter, const std::string& Function);

} // namespace zem
