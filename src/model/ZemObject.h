#pragma once
// One vector object of a map: kind, points, pen, brush, font, text, address, flags, plane and, for
// transport segments, the junctions they join.
#include "base/ZemText.h"
#include "base/ZemXYArray.h"
#include "model/ZemFontStyle.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>

namespace zem {

class TZemMap;
class TZemSpatialIndex;
class TZemStateReader;
class TZemStateWriter;

enum TObjectKind : std::uint8_t {
    otLine = 0,
    otPolygon = 1,
    otEllipse = 2,
    otText = 3,
    otBezier = 4,
    otRectangle = 5,
    otFillBezier = 6,
    otBmp = 7,
    otIco = 8,
    otRoadCross = 9,
    otRoadCrossLine = 10,
};

// Names of the kinds as the text export writes them; "" for a code outside the enumeration.
const char* ObjectKindName(std::uint8_t Kind);

// The transport network is drawn over everything else: junctions and segments keep planes of their own.
constexpr std::int8_t kJunctionPlane = 127;
constexpr std::int8_t kSegmentPlane = 126;
constexpr bool HasFixedPlane(TObjectKind Kind) {
    return Kind == otRoadCross || Kind == otRoadCrossLine;
}
// Kinds whose Rotate turns their own Angle; the others are turned by their points alone.
constexpr bool TracksAngle(TObjectKind Kind) {
    return Kind == otEllipse || Kind == otBmp || Kind == otText;
}

// Colours are platform colour values 0x00BBGGRR.
using TColor = std::int32_t;

constexpr TColor RGBColor(int R, int G, int B) {
    return R | (G << 8) | (B << 16);
}

struct TZemPen {
    std::uint8_t Style = 0; // 0 solid
    TColor Color = RGBColor(255, 255, 255);
    std::int32_t Flags = 0;
    std::int32_t Width = 0;
    friend bool operator==(const TZemPen&, const TZemPen&) = default;
};

struct TZemBrush {
    TColor Color = 0;
    std::uint8_t Style = 1; // 0 solid fill, 1 no fill, higher: hatches
    friend bool operator==(const TZemBrush&, const TZemBrush&) = default;
};

struct TZemFont {
    std::uint8_t Charset = 0;
    TColor Color = RGBColor(255, 255, 255);
    ZemString Name;
    std::uint8_t Reserved = 0;
    std::int32_t Size = 16;
    std::uint8_t Style = 0; // set of TFontStyle bits
    std::int32_t Reserved2 = 0;
    friend bool operator==(const TZemFont&, const TZemFont&) = default;
};

struct TZemAddress {
    bool Empty = true;
    std::int32_t Index = -1;
    std::int32_t City = -1;
    std::int32_t Street = -1;
    std::int32_t Street2 = -1;
    std::int32_t Area = -1;
    ZemString Number;
    ZemString Number2;
    ZemString Corpus;
    friend bool operator==(const TZemAddress&, const TZemAddress&) = default;
    // Whether no part refers to a directory and no text is set but the house numbers.
    bool NoParts() const {
        return Index == -1 && City == -1 && Street == -1 && Street2 == -1 && Area == -1 && Corpus.empty();
    }
};

class TZemObject {
public:
    TZemObject() = default;
    ~TZemObject();
    TZemObject(const TZemObject&) = delete;
    TZemObject& operator=(const TZemObject&) = delete;

    // Fields whose setters only store.
    TObjectKind Kind = otLine;
    bool Lock = false;
    bool Visible = true; // stored and exported; drawing does not consult it
    std::int32_t ID = 0;
    std::int32_t Reserved = -1;
    std::int32_t BitmapIndex = -1;
    std::int32_t StartCrossID = -1;
    std::int32_t EndCrossID = -1;
    TXYPoint LeftTop{0.0f, 0.0f};
    TXYPoint RightBottom{100.0f, 100.0f};
    TZemPen Pen;
    TZemBrush Brush;
    TZemFont Font;

    // The owning map (not owned) and its change callback, called with the ID after most setters.
    TZemMap* Owner = nullptr;
    std::function<void(std::int32_t ID)> OnObjectChange;

    // Fields whose setters store and then notify.
    bool Ctl3D() const { return FCtl3D; }
    bool Blink() const { return FBlink; }
    std::uint8_t Direction() const { return FDirection; }
    std::int32_t BlinkInterval() const { return FBlinkInterval; }
    std::int32_t Category() const { return FCategory; }
    std::int8_t Plane() const { return FPlane; }
    std::int32_t IconIndex() const { return FIconIndex; }
    std::int32_t TransportType() const { return FTransportType; }
    float Height3D() const { return FHeight3D; }
    float Angle() const { return FAngle; }
    const ZemString& Text() const { return FText; }
    const TZemAddress& Address() const { return FAddress; }

    void SetText(const ZemString& Value);
    void SetAngle(float Value);
    void SetHeight3D(float Value);
    void SetCategory(std::int32_t Value);
    void SetDirection(std::uint8_t Value);
    void SetPlane(std::int8_t Value);
    void SetTransportType(std::int32_t Value);
    void SetIconIndex(std::int32_t Value);
    void SetCtl3D(bool Value);
    // On: saves the pen, brush and font colours first. Off: the colours stay as they are.
    void SetBlink(bool Value);
    void SetBlinkInterval(std::int32_t Value);
    void SetAddress(const TZemAddress& Value);

    // The colours saved when blinking was switched on.
    TColor SavedPenColor() const { return FSavedPenColor; }
    TColor SavedBrushColor() const { return FSavedBrushColor; }
    TColor SavedFontColor() const { return FSavedFontColor; }

    // Points.
    const TZemXYArray& Points() const { return FPoints; }
    void AddPoint(float X, float Y) { AddPoint(TXYPoint{X, Y}); }
    void AddPoint(const TXYPoint& P);
    // Appends all of Points, then recomputes and notifies once: the same end state as adding them one
    // by one.
    void AddPoints(std::span<const TXYPoint> Points);
    void InsertPoint(std::int32_t Index, const TXYPoint& P);
    void DeletePoint(std::int32_t Index); // no notification
    void ClearPoints();                   // notifies; the bounds stay as they were
    std::int32_t PointCount() const { return FPoints.Count(); }
    void GetPoint(std::int32_t Index, TXYPoint& P) const { FPoints.GetPoint(Index, P); }
    TXYPoint Point(std::int32_t Index) const { return FPoints[Index]; }
    void SetPoint(std::int32_t Index, const TXYPoint& P) { // callers recompute
        FPoints.SetPoint(Index, P);
        GeometryChanged();
    }

    void UpdateBounds();
    // Tells the map's spatial index that the points or the bounds changed; the setters of points and
    // UpdateBounds do it, code that writes LeftTop or RightBottom itself must.
    void GeometryChanged();
    TXYPoint MinCorner() const;
    TXYPoint MaxCorner() const;

    // Copies what a new object built on a template takes from it.
    void Assign(const TZemObject& Source);

    // ---- Snapshots of the undo history (model/ZemObject.cpp) ----
    // An exact copy of every stored field, the saved blink colours, the bounds and the ID; the copy has no
    // owner and notifies nobody.
    std::unique_ptr<TZemObject> Clone() const;
    // True when every field Clone copies is equal, floats bit for bit.
    bool SameState(const TZemObject& Other) const;
    // What Clone copies as a flat byte image, and a copy made from one: the history keeps its copies so,
    // in memory of its own rather than in many small blocks among the document's objects.
    void WriteState(TZemStateWriter& W) const;
    static std::unique_ptr<TZemObject> ReadState(TZemStateReader& R);

    // ---- Editing (editing/ZemHitTest.cpp, editing/ZemObjectEdit.cpp) ----
    // True when the world point lies on the object at the given scale (percent).
    bool HitTest(float X, float Y, float Scale) const;
    // Each of these three ends with UpdateBounds and the change notification.
    void Rotate(float Angle);
    void MoveTo(const TXYPoint& Target);
    void StretchToBox(const TXYPoint& NewLeftTop, const TXYPoint& NewRightBottom);
    // Turns the object to Angle. Kinds that keep their own angle (TracksAngle) turn from it; the others
    // keep none and turn from Shown, the angle their control last showed.
    void TurnTo(float Angle, float Shown);
    // The pen, brush, address and font every drawing tool starts from.
    void ApplyDefaultStyle();

private:
    friend class TZemSpatialIndex;
    void Changed();

    TZemSpatialIndex* FIndex = nullptr; // the index following this object, while it is stored
    std::int32_t FIndexSlot = -1;

    bool FCtl3D = false;
    bool FBlink = false;
    std::uint8_t FDirection = 255;
    std::int32_t FBlinkInterval = 500;
    std::int32_t FCategory = -1;
    std::int8_t FPlane = 0;
    std::int32_t FIconIndex = -1;
    std::int32_t FTransportType = -1;
    float FHeight3D = 0.0f;
    float FAngle = 0.0f;
    ZemString FText;
    TZemXYArray FPoints;
    TColor FSavedPenColor = 0;
    TColor FSavedBrushColor = 0;
    TColor FSavedFontColor = 0;
    TZemAddress FAddress;
};

} // namespace zem
