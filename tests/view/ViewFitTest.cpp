// The first view of an opened map: the file's scale and LeftTop, the extent of the control's size at that
// scale, so that both axes show Scale / 100 pixels per world unit.
#include "PaintTestUtil.h"

#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace zem;
using namespace painttest;

TEST(ViewFit, ASquareIsSquareRightAfterLoadingInPanelsOfEverySize) {
    const std::string File =
        (std::filesystem::temp_directory_path() / ("zemviewfit_" + std::to_string(::getpid()) + ".mp"))
            .string();
    for (float Scale : {100.0f, 25.0f, 200.0f}) {
        { // a 100 x 100 outline at (50, 50), saved at Scale from a 400 x 400 control
            HeadlessHost Host;
            TZemMap Map(Host);
            TZemObject O;
            O.Kind = otPolygon;
            O.Pen.Color = Red;
            O.AddPoints(std::vector<TXYPoint>{{50, 50}, {150, 50}, {150, 150}, {50, 150}});
            Map.AddObject(O);
            Map.SetScale(Scale);
            Map.View.LeftTop = {0, 0};
            Map.SaveToFile(File);
        }
        for (TPoint Size : {TPoint{1269, 913}, TPoint{400, 400}, TPoint{300, 700}}) {
            HeadlessHost Host(Size.X, Size.Y);
            TZemMap Map(Host);
            Map.Resize(Size.X, Size.Y);
            ASSERT_TRUE(Map.LoadFromFile(File));
            SCOPED_TRACE(std::to_string(Size.X) + "x" + std::to_string(Size.Y) + " at " +
                         std::to_string(Scale));
            EXPECT_EQ(Map.View.Scale, Scale);
            EXPECT_EQ(Map.View.LeftTop, (TXYPoint{0, 0}));
            const TPoint a = Map.WorldToScreen(50, 50), b = Map.WorldToScreen(150, 150);
            EXPECT_NEAR(b.X - a.X, Scale, 1);
            EXPECT_NEAR(b.Y - a.Y, Scale, 1);
            // And so the load's own frame draws it (a small square's outline adds up to two pixels).
            int X1 = Size.X, X2 = -1, Y1 = Size.Y, Y2 = -1;
            for (int Y = 0; Y < Size.Y; ++Y)
                for (int X = 0; X < Size.X; ++X)
                    if (Map.BackBuffer.GetPixel(X, Y) == C32(Red))
                        X1 = std::min(X1, X), X2 = std::max(X2, X), Y1 = std::min(Y1, Y),
                        Y2 = std::max(Y2, Y);
            EXPECT_NEAR(X2 - X1 + 1, Scale, Scale == 100.0f ? 1 : 2);
            EXPECT_NEAR(X2 - X1, Y2 - Y1, 1);
        }
    }
    std::filesystem::remove(File);
}
