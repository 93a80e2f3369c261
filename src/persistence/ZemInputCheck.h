#pragma once
// The trust boundary of the persistence layer. Every check of untrusted bytes (a packed block, a frame,
// a read from a loaded stream) goes through CheckInput, so `grep -n CheckInput` lists them all.
#include <string>

namespace zem {

enum class TInputFault {
    PastEnd, // "Попытка прочитать данные за пределами бинарного потока."
    Damaged, // "Данные в бинарном потоке испорчены и не могут быть прочитаны."
    WrongLength, // "Неправильная длина указана при создании бинарного потока."
    Overflow,    // a position or length past 2^31 - 1: EIntOverflow, "Переполнение целого"
    TooLarge, // "Данные в бинарном потоке превышают допустимый размер."
};

// The message shown for a fault.
const char* InputFaultMessage(TInputFault Fault);

// Raises EZemError with the message of Fault (EIntOverflow for Overflow).
[[noreturn]] void RaiseInputFault(TInputFault Fault);

// The one validation helper: raises EZemError with the message of Fault unless Ok.
inline void CheckInput(bool Ok, TInputFault Fault) {
    if (!Ok) [[unlikely]]
        RaiseInputFault(Fault);
}

// Raises EZemError for a missing (null) argument: "Параметр "Parameter", передаваемый в функцию
// "Function", не может быть равен nil."
[[noreturn]] void RaiseNilParameter(const std::string& Parameter, const std::string& Function);

} // namespace zem
