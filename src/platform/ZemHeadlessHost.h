#pragma once
// A host without a window system, for tests and the command-line tool: frames are captured, timers
// fire only when told to, and modal questions take scripted answers.
#include "platform/ZemHost.h"
#include "view/ZemRaster.h"

#include <deque>
#include <map>
#include <memory>

namespace zem {

class HeadlessHost : public TZemHost {
public:
    HeadlessHost(int Width = 400, int Height = 400) : FWidth(Width), FHeight(Height) {}

    // An optional shared log: every host call appends "<Name>.<call>", so that several hosts (the map
    // and its mini-map) and the map's events can be seen in one order.
    void SetTrace(std::shared_ptr<std::vector<std::string>> Log, std::string Name) {
        FTrace = std::move(Log);
        FTraceName = std::move(Name);
    }

    void SetClientSize(int Width, int Height) {
        FWidth = Width;
        FHeight = Height;
    }

    void Present(const TBitmap32& Frame) override;
    void Invalidate() override;
    int ClientWidth() const override { return FWidth; }
    int ClientHeight() const override { return FHeight; }
    void SetCursor(int Number) override { Cursor = Number; }
    void SetCapture(bool Captured) override { this->Captured = Captured; }
    void SetFocus() override { Focused = true; }
    int StartTimer(int IntervalMs, std::function<void()> Callback) override;
    void StopTimer(int TimerId) override;
    TZemMsgResult ShowMessage(const std::string& Text, const std::string& Caption,
                              TZemMsgButtons Buttons) override;
    bool AskText(TZemTextAnswer& Answer, const std::function<void(const TZemTextAnswer&)>& OnChange) override;
    bool AskTransportKinds(const std::string& Caption, const std::vector<std::string>& Names,
                           std::vector<int>& Checked) override;
    bool AskRouteSearch(const std::string& Caption, const std::vector<std::string>& Names,
                        std::vector<int>& Checked, TZemRouteMethod& Method) override;
    void ProcessMessages() override;

    // Fires every running timer whose interval has passed after advancing the manual clock.
    void AdvanceTime(int Milliseconds);
    bool TimerRunning(int TimerId) const { return FTimers.count(TimerId) != 0; }
    size_t RunningTimers() const { return FTimers.size(); }

    // What happened.
    int PresentCount = 0;
    int InvalidateCount = 0;
    int ProcessMessagesCount = 0;
    int Cursor = 0;
    bool Captured = false;
    bool Focused = false;
    TBitmap32 LastFrame;
    std::vector<std::string> Messages; // texts of ShowMessage, in order

    // Scripted answers, taken front first; when empty the defaults below apply.
    std::deque<TZemMsgResult> MessageAnswers;      // default: mrOk / mrYes
    std::deque<TZemTextAnswer> TextAnswers;        // default: cancel; each is shown once to OnChange
    std::deque<std::vector<int>> TransportAnswers; // default: every kind checked
    std::deque<TZemRouteMethod> MethodAnswers;     // default: the method offered
    std::function<void()> OnProcessMessages;       // e.g. a test that stops a search from "the window"

private:
    void Log(const char* What);

    struct TTimer {
        int Interval;
        int Elapsed;
        std::function<void()> Callback;
    };
    int FWidth, FHeight;
    int FNextTimerId = 1;
    std::map<int, TTimer> FTimers;
    std::shared_ptr<std::vector<std::string>> FTrace;
    std::string FTraceName;
};

} // namespace zem
