#include "persistence/ZemInputCheck.h"

#include "model/ZemErrors.h"

namespace zem {

const char* InputFaultMessage(TInputFault Fault) {
    switch (Fault) {
    case TInputFault::PastEnd:
        return "Попытка прочитать данные за пределами бинарного потока.";
    case TInputFault::Damaged:
        return "Данные в бинарном потоке испорчены и не могут быть прочитаны.";
    case TInputFault::WrongLength:
        return "Неправильная длина указана при создании бинарного потока.";
    case TInputFault::Overflow:
        return "Переполнение целого";
    case TInputFault::TooLarge:
        return "Данные в бинарном потоке превышают допустимый размер.";
    }
    return "Данные в бинарном потоке испорчены и не могут быть прочитаны.";
}

void RaiseInputFault(TInputFault Fault) {
    throw EZemError(InputFaultMessage(Fault));
}

void RaiseNilParameter(const std::string& Parameter, const std::string& Function) {
    throw EZemError("Параметр \"" + Parameter + "\", передаваемый в функцию \"" + Function +
                    "\", не может быть равен nil.");
}

} // namespace zem
