#pragma once
// This thread's processor time. On a busy machine it leaves out the time other programs had the core,
// so two pieces of work timed back to back in one run compare fairly.
#include <ctime>

namespace zem::bench {

inline double ThreadSeconds() {
    timespec T{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &T);
    return static_cast<double>(T.tv_sec) + 1e-9 * static_cast<double>(T.tv_nsec);
}

// Seconds of this thread's time that Work took.
template <class F> double TimeOf(F&& Work) {
    const double T0 = ThreadSeconds();
    Work();
    return ThreadSeconds() - T0;
}

} // namespace zem::bench
