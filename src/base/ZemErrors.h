#pragma once
// The program's exceptions. Messages are UTF-8 Russian texts shown to the user as they stand.
#include <stdexcept>
#include <string>

namespace zem {

// The generic exception: containers, stream container and every operation that cannot go on.
class EZemError : public std::runtime_error {
public:
    explicit EZemError(const std::string& Message) : std::runtime_error(Message) {}
};

// Raised by the route search.
class ETransportTaskError : public EZemError {
public:
    using EZemError::EZemError;
};

// Raised by the raster surface's transfers.
class ETransformError : public EZemError {
public:
    using EZemError::EZemError;
};

// Arithmetic overflow of a count or a capacity.
class EIntOverflow : public EZemError {
public:
    EIntOverflow() : EZemError("Переполнение целого") {}
};

// The reason behind a failed system call (an errno value) as a short Russian phrase, so that messages
// stay in the program's one language whatever the C library's own texts are.
std::string SystemErrorText(int Error);

} // namespace zem
