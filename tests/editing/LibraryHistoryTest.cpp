// The libraries as the document changes them: undo and redo give back the same file, an assignment goes
// with them, and the history counts the pictures only it keeps alive.
#include "editing/ZemHistory.h"
#include "images/ZemBmpList.h"
#include "images/ZemIcoFile.h"
#include "images/ZemIcoList.h"
#include "model/ZemMap.h"
#include "platform/ZemHeadlessHost.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <span>
#include <vector>

using namespace zem;

namespace {

using TBytes = std::vector<std::uint8_t>;

std::shared_ptr<const TZemImage> Picture(int W, int H, TColor32 C) {
    return std::make_shared<const TZemImage>(
        TZemImage{W, H, std::vector<TColor32>(static_cast<std::size_t>(W) * H, C)});
}

std::shared_ptr<const TZemIcon> Icon(TColor32 C) {
    const TBytes Ico = EncodeIco32(*Picture(8, 8, C));
    return std::make_shared<const TZemIcon>(std::span(Ico));
}

struct LibraryHistory : ::testing::Test {
    HeadlessHost Host;
    TZemMap Map{Host};

    std::int32_t AddObject(TObjectKind Kind) {
        TZemObject T;
        T.Kind = Kind;
        const int Points = Kind == otBmp ? 4 : 1;
        for (int i = 0; i < Points; ++i)
            T.AddPoint(10.0f + static_cast<float>(i % 2) * 5, 20.0f + static_cast<float>(i / 2) * 5);
        Map.AddObject(T);
        return Map.Doc.MaxID - 1;
    }
};

TEST_F(LibraryHistory, AddingAndAssigningInOneStepUndoesBoth) {
    const std::int32_t Pic = AddObject(otBmp);
    Map.MarkSaved();
    const std::size_t Steps = Map.History().Position();
    const TBytes Before = Map.SaveToBytes();
    {
        TZemChange Step(Map);
        TZemPictureEntries E = Map.Doc.Bitmaps->Snapshot();
        E.push_back(Picture(30, 120, 0xFF102030));
        Map.SetPictureEntries(E);
        ASSERT_TRUE(Map.AssignPicture(Pic, 0));
    }
    EXPECT_TRUE(Map.Modified());
    EXPECT_EQ(Map.History().Position(), Steps + 1);
    const TZemObject& O = Map.ObjectByID(Pic);
    EXPECT_EQ(O.BitmapIndex, 0);
    // The frame is the picture's size from corner 0, clockwise.
    EXPECT_EQ(O.Point(1).X, 40.0f);
    EXPECT_EQ(O.Point(2).Y, 140.0f);
    EXPECT_EQ(O.Point(3).X, 10.0f);
    EXPECT_EQ(O.Point(3).Y, 140.0f);
    EXPECT_EQ(Map.CurrentObject(), -1);
    const TBytes After = Map.SaveToBytes();

    Map.Undo();
    EXPECT_EQ(Map.Doc.Bitmaps->Count(), 0);
    EXPECT_EQ(Map.ObjectByID(Pic).BitmapIndex, -1);
    EXPECT_EQ(Map.SaveToBytes(), Before);
    EXPECT_FALSE(Map.Modified());
    Map.Redo();
    EXPECT_EQ(Map.SaveToBytes(), After);
}

TEST_F(LibraryHistory, RefusesWhatItCannotAssign) {
    const std::int32_t Pic = AddObject(otBmp), Ico = AddObject(otIco);
    Map.SetPictureEntries({Picture(2, 2, 0xFF000000)});
    Map.SetIconEntries({Icon(0xFFFF0000)});
    const std::size_t Steps = Map.History().Position();
    EXPECT_FALSE(Map.AssignPicture(Pic, -1));
    EXPECT_FALSE(Map.AssignPicture(Pic, 1));
    EXPECT_FALSE(Map.AssignPicture(Ico, 0));
    EXPECT_FALSE(Map.AssignIcon(Pic, 0));
    EXPECT_FALSE(Map.AssignIcon(Ico, 1));
    EXPECT_FALSE(Map.AssignIcon(12345, 0));
    // The same entries again change nothing.
    Map.SetPictureEntries(Map.Doc.Bitmaps->Snapshot());
    EXPECT_EQ(Map.History().Position(), Steps);
    EXPECT_TRUE(Map.AssignIcon(Ico, 0));
    EXPECT_EQ(Map.ObjectByID(Ico).IconIndex(), 0);
}

// Random library edits and assignments; every position of the history gives back its own file.
TEST_F(LibraryHistory, RandomEditsUndoAndRedoToTheSameFiles) {
    for (unsigned Seed = 1; Seed <= 12; ++Seed) {
        Map.Clear();
        Map.SetPictureEntries({});
        Map.SetIconEntries({});
        const std::int32_t Pic = AddObject(otBmp), Ico = AddObject(otIco);
        Map.ClearHistory();
        std::mt19937 Rng(Seed);
        auto Pick = [&Rng](std::size_t n) { return static_cast<std::size_t>(Rng() % (n + 1)); };
        std::vector<TBytes> Files{Map.SaveToBytes()};
        for (int Step = 0; Step < 25; ++Step) {
            const std::size_t Was = Map.History().Position();
            TZemPictureEntries P = Map.Doc.Bitmaps->Snapshot();
            TZemIconEntries I = Map.Doc.Icons->Snapshot();
            switch (Rng() % 6) {
            case 0:
                P.insert(P.begin() + static_cast<long>(Pick(P.size())),
                         Picture(1 + static_cast<int>(Rng() % 9), 1 + static_cast<int>(Rng() % 9), Rng()));
                Map.SetPictureEntries(P);
                break;
            case 1:
                if (!P.empty())
                    P.erase(P.begin() + static_cast<long>(Pick(P.size() - 1)));
                Map.SetPictureEntries(P);
                break;
            case 2:
                I.insert(I.begin() + static_cast<long>(Pick(I.size())), Icon(Rng() | 0xFF000000u));
                Map.SetIconEntries(I);
                break;
            case 3:
                Map.SetIconEntries({});
                break;
            case 4:
                Map.AssignPicture(Pic, static_cast<std::int32_t>(Pick(P.size())));
                break;
            default:
                Map.AssignIcon(Ico, static_cast<std::int32_t>(Pick(I.size())));
                break;
            }
            if (Map.History().Position() != Was)
                Files.push_back(Map.SaveToBytes());
        }
        ASSERT_EQ(Files.size(), Map.History().Position() + 1) << "seed " << Seed;
        for (std::size_t i = Files.size() - 1; i-- > 0;) {
            Map.Undo();
            ASSERT_EQ(Map.SaveToBytes(), Files[i]) << "seed " << Seed << " undo to " << i;
        }
        for (std::size_t i = 1; i < Files.size(); ++i) {
            Map.Redo();
            ASSERT_EQ(Map.SaveToBytes(), Files[i]) << "seed " << Seed << " redo to " << i;
        }
    }
}

TEST_F(LibraryHistory, CountsOnlyThePicturesAStepKeepsAlive) {
    const std::int32_t Pic = AddObject(otBmp);
    constexpr std::size_t kPictureBytes = 512 * 512 * sizeof(TColor32); // 1 MB
    Map.SetPictureEntries({Picture(512, 512, 0xFF000000)});
    const std::size_t Added = Map.History().Bytes();
    EXPECT_GE(Added, kPictureBytes);
    EXPECT_LT(Added, kPictureBytes + 4096);
    // Assigning it, and adding a small one beside it, do not count it again.
    Map.AssignPicture(Pic, 0);
    TZemPictureEntries E = Map.Doc.Bitmaps->Snapshot();
    E.push_back(Picture(1, 1, 0xFF000000));
    Map.SetPictureEntries(E);
    EXPECT_LT(Map.History().Bytes(), Added + 4096);

    // Megabyte pictures under a three-megabyte budget: the oldest steps go, the newest stay undoable.
    Map.History().SetBudget(3 * kPictureBytes + 8192);
    for (int i = 0; i < 8; ++i) {
        E = Map.Doc.Bitmaps->Snapshot();
        E.push_back(Picture(512, 512, 0xFF000000u + static_cast<TColor32>(i)));
        Map.SetPictureEntries(E);
    }
    EXPECT_LE(Map.History().Bytes(), Map.History().Budget());
    EXPECT_GE(Map.History().StepCount(), 2u);
    const std::int32_t Count = Map.Doc.Bitmaps->Count();
    Map.Undo();
    EXPECT_EQ(Map.Doc.Bitmaps->Count(), Count - 1);
}

} // namespace
