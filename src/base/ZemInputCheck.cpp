#include "base/ZemInputCheck.h"

namespace zem {

namespace {

const char* FaultName(TInputFault Fault) {
    switch (Fault) {
    case TInputFault::PastEnd:
        return "input fault: the data ends too early";
    case TInputFault::Damaged:
        return "input fault: the data is damaged";
    case TInputFault::WrongLength:
        return "input fault: wrong length";
    case TInputFault::Overflow:
        return "input fault: integer overflow";
    case TInputFault::TooLarge:
        return "input fault: too large";
    }
    return "input fault";
}

} // namespace

EInputFault::EInputFault(TInputFault Fault) : EZemError(FaultName(Fault)), FFault(Fault) {}

void RaiseInputFault(TInputFault Fault) {
    throw EInputFault(Fault);
}

void RaiseNilParameter(const std::string& Parameter, const std::string& Function) {
    throw EZemError("Параметр \"" + Parameter + "\", передаваемый в функцию \"" + Function +
                    "\", не может быть равен nil.");
}

} // namespace zem
