#include "platform/ZemHeadlessHost.h"

#include <gtest/gtest.h>

using namespace zem;

TEST(HeadlessHost, TimersFireOnlyWhenTheClockAdvancesAndStopWhenStopped) {
    HeadlessHost Host;
    int Ticks = 0;
    int Id = Host.StartTimer(25, [&] { ++Ticks; });
    Host.AdvanceTime(24);
    EXPECT_EQ(Ticks, 0);
    Host.AdvanceTime(1);
    EXPECT_EQ(Ticks, 1);
    Host.AdvanceTime(50);
    EXPECT_EQ(Ticks, 3);
    Host.StopTimer(Id);
    Host.AdvanceTime(100);
    EXPECT_EQ(Ticks, 3);
    EXPECT_FALSE(Host.TimerRunning(Id));
}

TEST(HeadlessHost, ScriptedAnswersAreTakenInOrderThenDefaultsApply) {
    HeadlessHost Host;
    Host.MessageAnswers = {TZemMsgResult::mrNo};
    EXPECT_EQ(Host.ShowMessage("a", "", TZemMsgButtons::mbYesNo), TZemMsgResult::mrNo);
    EXPECT_EQ(Host.ShowMessage("b", "", TZemMsgButtons::mbYesNo), TZemMsgResult::mrYes);
    EXPECT_EQ(Host.Messages, (std::vector<std::string>{"a", "b"}));
    std::vector<int> Checked;
    EXPECT_FALSE(Host.AskTransportKinds("Выбор", {}, Checked));
    EXPECT_TRUE(Host.AskTransportKinds("Выбор", {"Пешком", "Автобус"}, Checked));
    EXPECT_EQ(Checked, (std::vector<int>{0, 1}));
}
