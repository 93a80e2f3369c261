#include "platform/ZemTimer.h"

#include "platform/ZemHost.h"

namespace zem {

TZemTimer::~TZemTimer() {
    Stop();
}

void TZemTimer::Start() {
    FTimerId = FHost.StartTimer(FInterval, [this] {
        if (OnTimer)
            OnTimer(*this);
    });
}

void TZemTimer::Stop() {
    if (FTimerId != 0) {
        FHost.StopTimer(FTimerId);
        FTimerId = 0;
    }
}

void TZemTimer::SetEnabled(bool Value) {
    if (Value == FEnabled)
        return;
    Stop();
    FEnabled = Value;
    if (Value)
        Start();
}

void TZemTimer::SetInterval(std::int32_t Ms) {
    bool WasEnabled = FEnabled;
    Stop();
    FEnabled = false;
    FInterval = Ms;
    SetEnabled(WasEnabled);
}

} // namespace zem
