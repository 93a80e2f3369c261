#pragma once
// TZemTimer: an interval and a callback, driven by the host's timers.
#include <cstdint>
#include <functional>

namespace zem {

class TZemTimerHost;

class TZemTimer {
public:
    explicit TZemTimer(TZemTimerHost& Host, std::int32_t Interval = 1000)
        : FHost(Host), FInterval(Interval) {}
    ~TZemTimer();
    TZemTimer(const TZemTimer&) = delete;
    TZemTimer& operator=(const TZemTimer&) = delete;

    bool Enabled() const { return FEnabled; }
    std::int32_t Interval() const { return FInterval; }
    // No change if equal; a running timer is stopped first, then started anew when enabled.
    void SetEnabled(bool Value);
    // Stops, stores the interval, and restores the previous enabled state.
    void SetInterval(std::int32_t Ms);

    std::function<void(TZemTimer&)> OnTimer;

private:
    void Start();
    void Stop();

    TZemTimerHost& FHost;
    bool FEnabled = false;
    int FTimerId = 0;
    std::int32_t FInterval;
};

} // namespace zem
