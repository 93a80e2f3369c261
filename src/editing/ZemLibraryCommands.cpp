// The picture and icon libraries as the document changes them, and the assignment of an entry to an
// object: each an undo step.
#include "images/ZemBmpList.h"
#include "images/ZemIcoList.h"
#include "model/ZemMap.h"

namespace zem {

namespace {

template <class TList, class TEntries>
void SetEntries(TZemMap& Map, TList& List, TEntries Entries, void (TZemMap::*Touch)(), const char* Name) {
    if (List.Holds(Entries))
        return;
    {
        TZemChange Step(Map, Name);
        (Map.*Touch)();
        List.Restore(std::move(Entries));
    }
    Map.Refresh();
}

} // namespace

void TZemMap::SetPictureEntries(TZemPictureEntries Entries) {
    SetEntries(*this, *Doc.Bitmaps, std::move(Entries), &TZemMap::TouchPictures, "библиотека рисунков");
}

void TZemMap::SetIconEntries(TZemIconEntries Entries) {
    SetEntries(*this, *Doc.Icons, std::move(Entries), &TZemMap::TouchIcons, "библиотека иконок");
}

bool TZemMap::AssignPicture(std::int32_t ID, std::int32_t Index) {
    if (!ObjectExists(ID) || ObjectByID(ID).Kind != otBmp || ObjectByID(ID).PointCount() < 1 || Index < 0 ||
        Index >= Doc.Bitmaps->Count())
        return false;
    const TZemImage* Picture = Doc.Bitmaps->Get(Index);
    const float W = Picture ? static_cast<float>(Picture->Width) : 0.0f;
    const float H = Picture ? static_cast<float>(Picture->Height) : 0.0f;
    ChangeObject(
        ID,
        [&, Index](TZemObject& O) {
            O.BitmapIndex = Index;
            // The frame takes the picture's size from its first corner, square to the axes: corners 1, 2, 3
            // run clockwise from corner 0. An empty entry keeps the frame.
            if (W <= 0.0f || H <= 0.0f)
                return;
            const TXYPoint P0 = O.Point(0);
            const TXYPoint Corners[3] = {{P0.X + W, P0.Y}, {P0.X + W, P0.Y + H}, {P0.X, P0.Y + H}};
            for (std::int32_t i = 1; i <= 3; ++i) {
                if (i < O.PointCount())
                    O.SetPoint(i, Corners[i - 1]);
                else
                    O.AddPoint(Corners[i - 1]);
            }
            O.SetAngle(0.0f);
        },
        {}, "загрузка рисунка");
    ResetEditState(); // and draws the map without the object's handles
    return true;
}

bool TZemMap::AssignIcon(std::int32_t ID, std::int32_t Index) {
    if (!ObjectExists(ID) || ObjectByID(ID).Kind != otIco || Index < 0 || Index >= Doc.Icons->Count())
        return false;
    ChangeObject(
        ID, [Index](TZemObject& O) { O.SetIconIndex(Index); }, {}, "загрузка иконки");
    return true;
}

} // namespace zem
