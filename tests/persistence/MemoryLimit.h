#pragma once
// Runs a test's body in a child process whose address space may grow by only so much, so that a test can
// tell an allocation the input does not justify (std::bad_alloc in the child) from a clear error. Under
// AddressSanitizer, whose shadow memory needs a huge address space, there is no such limit.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cstddef>
#include <cstdlib>
#include <fstream>

namespace zem {

namespace memtest {

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kCanLimit = false;
#else
inline constexpr bool kCanLimit = true;
#endif

// Lets the address space grow by Extra bytes from here on.
inline void LimitGrowth(std::size_t Extra) {
    std::ifstream Statm("/proc/self/statm");
    std::size_t Pages = 0;
    Statm >> Pages;
    const rlim_t Limit =
        static_cast<rlim_t>(Pages * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE)) + Extra);
    const rlimit R{Limit, Limit};
    ::setrlimit(RLIMIT_AS, &R);
}

// Runs Body (returning true for a pass) in a child limited to Extra more bytes; std::bad_alloc fails.
template <class FBody> void ExpectWithin(std::size_t Extra, FBody Body) {
    if (!kCanLimit)
        GTEST_SKIP() << "no address-space limit under AddressSanitizer";
    EXPECT_EXIT(
        {
            LimitGrowth(Extra);
            int Code = 1;
            try {
                Code = Body() ? 0 : 1;
            } catch (const std::bad_alloc&) {
                Code = 2;
            }
            std::_Exit(Code);
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace memtest

} // namespace zem
