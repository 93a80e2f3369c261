#include "platform/ZemHeadlessHost.h"

#include <vector>

namespace zem {

void HeadlessHost::Log(const char* What) {
    if (FTrace)
        FTrace->push_back(FTraceName + "." + What);
}

void HeadlessHost::Present(const TBitmap32& Frame) {
    ++PresentCount;
    LastFrame = Frame;
    Log("present");
}

void HeadlessHost::Invalidate() {
    ++InvalidateCount;
    Log("invalidate");
}

int HeadlessHost::StartTimer(int IntervalMs, std::function<void()> Callback) {
    int Id = FNextTimerId++;
    FTimers[Id] = TTimer{IntervalMs > 0 ? IntervalMs : 1, 0, std::move(Callback)};
    return Id;
}

void HeadlessHost::StopTimer(int TimerId) {
    FTimers.erase(TimerId);
}

void HeadlessHost::AdvanceTime(int Milliseconds) {
    // Fire in id order; a callback may stop or start timers, so look each one up again.
    std::vector<int> Ids;
    for (auto& [Id, T] : FTimers)
        Ids.push_back(Id);
    for (int Id : Ids) {
        auto It = FTimers.find(Id);
        if (It == FTimers.end())
            continue;
        It->second.Elapsed += Milliseconds;
        while (true) {
            It = FTimers.find(Id);
            if (It == FTimers.end() || It->second.Elapsed < It->second.Interval)
                break;
            It->second.Elapsed -= It->second.Interval;
            auto Callback = It->second.Callback;
            if (Callback)
                Callback();
        }
    }
}

TZemMsgResult HeadlessHost::ShowMessage(const std::string& Text, const std::string&, TZemMsgButtons Buttons) {
    Messages.push_back(Text);
    Log("message");
    if (!MessageAnswers.empty()) {
        TZemMsgResult R = MessageAnswers.front();
        MessageAnswers.pop_front();
        return R;
    }
    return Buttons == TZemMsgButtons::mbYesNo || Buttons == TZemMsgButtons::mbYesNoCancel
               ? TZemMsgResult::mrYes
               : TZemMsgResult::mrOk;
}

bool HeadlessHost::AskText(TZemTextAnswer& Answer,
                           const std::function<void(const TZemTextAnswer&)>& OnChange) {
    if (TextAnswers.empty())
        return false;
    Answer = TextAnswers.front();
    TextAnswers.pop_front();
    if (OnChange)
        OnChange(Answer);
    return true;
}

bool HeadlessHost::AskTransportKinds(const std::string&, const std::vector<std::string>& Names,
                                     std::vector<int>& Checked) {
    if (Names.empty())
        return false; // OK is only possible when there is something to choose
    Checked.clear();
    if (!TransportAnswers.empty()) {
        Checked = TransportAnswers.front();
        TransportAnswers.pop_front();
        return true;
    }
    for (int i = 0; i < static_cast<int>(Names.size()); ++i)
        Checked.push_back(i);
    return true;
}

bool HeadlessHost::AskRouteSearch(const std::string& Caption, const std::vector<std::string>& Names,
                                  std::vector<int>& Checked, TZemRouteMethod& Method) {
    if (!AskTransportKinds(Caption, Names, Checked))
        return false;
    if (!MethodAnswers.empty()) {
        Method = MethodAnswers.front();
        MethodAnswers.pop_front();
    }
    return true;
}

void HeadlessHost::ProcessMessages() {
    ++ProcessMessagesCount;
    if (OnProcessMessages)
        OnProcessMessages();
}

} // namespace zem
