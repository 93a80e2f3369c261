#include "model/ZemObject.h"

#include "model/ZemSpatialIndex.h"
#include "model/ZemStatePack.h"

#include <algorithm>
#include <bit>
#include <cstdint>

namespace zem {

const char* ObjectKindName(std::uint8_t Kind) {
    static constexpr const char* Names[] = {"otLine",   "otPolygon",   "otEllipse",      "otText",
                                            "otBezier", "otRectangle", "otFillBezier",   "otBmp",
                                            "otIco",    "otRoadCross", "otRoadCrossLine"};
    return Kind < std::size(Names) ? Names[Kind] : "";
}

TZemObject::~TZemObject() {
    if (FIndex)
        FIndex->Remove(*this);
    // Nobody is told about the points going away.
    Owner = nullptr;
    OnObjectChange = nullptr;
    FPoints.Clear();
}

void TZemObject::GeometryChanged() {
    if (FIndex)
        FIndex->Touch(FIndexSlot);
}

void TZemObject::Changed() {
    if (OnObjectChange)
        OnObjectChange(ID);
}

void TZemObject::SetText(const ZemString& Value) {
    FText = Value;
    Changed();
}

void TZemObject::SetAngle(float Value) {
    FAngle = Value;
    Changed();
}

void TZemObject::SetHeight3D(float Value) {
    FHeight3D = Value;
    Changed();
}

void TZemObject::SetCategory(std::int32_t Value) {
    FCategory = Value;
    Changed();
}

void TZemObject::SetDirection(std::uint8_t Value) {
    FDirection = Value;
    Changed();
}

void TZemObject::SetPlane(std::int8_t Value) {
    FPlane = Value;
    Changed();
}

void TZemObject::SetTransportType(std::int32_t Value) {
    FTransportType = Value;
    Changed();
}

void TZemObject::SetIconIndex(std::int32_t Value) {
    FIconIndex = Value;
    Changed();
}

void TZemObject::SetCtl3D(bool Value) {
    FCtl3D = Value;
    Changed();
}

void TZemObject::SetBlink(bool Value) {
    if (Value) {
        FSavedPenColor = Pen.Color;
        FSavedBrushColor = Brush.Color;
        FSavedFontColor = Font.Color;
    }
    // Blinking shows only in the frame and never changes the colours, so switching it off puts nothing
    // back: the saved colours would undo a colour chosen while blinking, and a loaded or copied object
    // saved none but the defaults.
    FBlink = Value;
    Changed();
}

void TZemObject::SetBlinkInterval(std::int32_t Value) {
    FBlinkInterval = Value;
    Changed();
}

void TZemObject::SetAddress(const TZemAddress& Value) {
    FAddress = Value;
    Changed();
}

void TZemObject::AddPoint(const TXYPoint& P) {
    FPoints.Add(P);
    UpdateBounds();
    Changed();
}

void TZemObject::AddPoints(std::span<const TXYPoint> Points) {
    if (Points.empty())
        return;
    FPoints.Append(Points);
    UpdateBounds();
    Changed();
}

void TZemObject::InsertPoint(std::int32_t Index, const TXYPoint& P) {
    FPoints.Insert(Index, P);
    UpdateBounds();
    Changed();
}

void TZemObject::DeletePoint(std::int32_t Index) {
    FPoints.Delete(Index);
    GeometryChanged(); // an ellipse or a junction keeps its bounds
    UpdateBounds();
}

void TZemObject::ClearPoints() {
    FPoints.Clear();
    GeometryChanged();
    Changed();
}

TXYPoint TZemObject::MinCorner() const {
    TXYPoint P = LeftTop;
    if (FPoints.Empty())
        return P;
    FPoints.MinPoint(P);
    const std::int32_t HalfPen = Pen.Width / 2; // whole units, as the bounds are kept
    const float w = static_cast<float>(HalfPen);
    return TXYPoint{P.X - w, P.Y - w};
}

TXYPoint TZemObject::MaxCorner() const {
    TXYPoint P = RightBottom;
    if (FPoints.Empty())
        return P;
    FPoints.MaxPoint(P);
    const std::int32_t HalfPen = Pen.Width / 2; // whole units, as the bounds are kept
    const float w = static_cast<float>(HalfPen);
    return TXYPoint{P.X + w, P.Y + w};
}

void TZemObject::UpdateBounds() {
    GeometryChanged();
    switch (Kind) {
    case otEllipse: {
        if (FPoints.Count() < 2)
            return; // an ellipse without its two corners has no box yet
        const TXYPoint p0 = FPoints[0], p1 = FPoints[1];
        const float mx = (p0.X + p1.X) / 2, my = (p0.Y + p1.Y) / 2;
        const float hx = std::abs(p0.X - p1.X) / 2, hy = std::abs(p0.Y - p1.Y) / 2;
        const float r = hx > hy ? hx : hy;
        LeftTop = TXYPoint{mx - r, my + r};
        RightBottom = TXYPoint{mx + r, my - r};
        return;
    }
    case otRoadCross:
        // The box is the junction's point: what the pointer catches around it depends on the zoom, and
        // is worked out when hit testing (HitTest), never stored.
        if (FPoints.Count() > 0)
            LeftTop = RightBottom = FPoints[0];
        return;
    default:
        LeftTop = MinCorner();
        RightBottom = MaxCorner();
    }
}

void TZemObject::Assign(const TZemObject& Source) {
    if (&Source == this)
        return;
    FPoints.Clear();
    FPoints.AddArray(Source.FPoints);
    Kind = Source.Kind;
    Pen = Source.Pen;
    Brush = Source.Brush;
    FAddress = Source.FAddress;
    if (Kind == otEllipse || Kind == otText)
        FAngle = Source.FAngle;
    if (Kind == otText) {
        FText = Source.FText;
        Font.Size = Source.Font.Size;
        Font.Name = Source.Font.Name;
        Font.Style = Source.Font.Style;
        Font.Color = Source.Pen.Color;
    }
    if (Kind == otRoadCrossLine) {
        StartCrossID = Source.StartCrossID;
        EndCrossID = Source.EndCrossID;
        FDirection = Source.FDirection;
        FTransportType = Source.FTransportType;
    }
    Lock = Source.Lock;
    FCtl3D = Source.FCtl3D;
    FBlink = Source.FBlink;
    FPlane = Source.FPlane;
    if (Kind == otRoadCross)
        FPlane = 127;
    else if (Kind == otRoadCrossLine)
        FPlane = 126;
    FHeight3D = Source.FHeight3D;
    SetBlinkInterval(Source.FBlinkInterval);
    FIconIndex = Source.FIconIndex;
    BitmapIndex = Source.BitmapIndex;
    UpdateBounds();
}

std::unique_ptr<TZemObject> TZemObject::Clone() const {
    auto C = std::make_unique<TZemObject>();
    C->Kind = Kind;
    C->Lock = Lock;
    C->Visible = Visible;
    C->ID = ID;
    C->Reserved = Reserved;
    C->BitmapIndex = BitmapIndex;
    C->StartCrossID = StartCrossID;
    C->EndCrossID = EndCrossID;
    C->LeftTop = LeftTop;
    C->RightBottom = RightBottom;
    C->Pen = Pen;
    C->Brush = Brush;
    C->Font = Font;
    C->FCtl3D = FCtl3D;
    C->FBlink = FBlink;
    C->FDirection = FDirection;
    C->FBlinkInterval = FBlinkInterval;
    C->FCategory = FCategory;
    C->FPlane = FPlane;
    C->FIconIndex = FIconIndex;
    C->FTransportType = FTransportType;
    C->FHeight3D = FHeight3D;
    C->FAngle = FAngle;
    C->FText = FText;
    C->FPoints = FPoints;
    C->FSavedPenColor = FSavedPenColor;
    C->FSavedBrushColor = FSavedBrushColor;
    C->FSavedFontColor = FSavedFontColor;
    C->FAddress = FAddress;
    return C;
}

bool TZemObject::SameState(const TZemObject& O) const {
    if (Kind != O.Kind || Lock != O.Lock || Visible != O.Visible || ID != O.ID || Reserved != O.Reserved ||
        BitmapIndex != O.BitmapIndex || StartCrossID != O.StartCrossID || EndCrossID != O.EndCrossID ||
        !SameBits(LeftTop, O.LeftTop) || !SameBits(RightBottom, O.RightBottom) || !(Pen == O.Pen) ||
        !(Brush == O.Brush) || !(Font == O.Font) || FCtl3D != O.FCtl3D || FBlink != O.FBlink ||
        FDirection != O.FDirection || FBlinkInterval != O.FBlinkInterval || FCategory != O.FCategory ||
        FPlane != O.FPlane || FIconIndex != O.FIconIndex || FTransportType != O.FTransportType ||
        !SameBits(FHeight3D, O.FHeight3D) || !SameBits(FAngle, O.FAngle) || FText != O.FText ||
        FSavedPenColor != O.FSavedPenColor || FSavedBrushColor != O.FSavedBrushColor ||
        FSavedFontColor != O.FSavedFontColor || !(FAddress == O.FAddress) ||
        FPoints.Count() != O.FPoints.Count())
        return false;
    for (std::int32_t i = 0; i < FPoints.Count(); ++i)
        if (!SameBits(FPoints[i], O.FPoints[i]))
            return false;
    return true;
}

void TZemObject::WriteState(TZemStateWriter& W) const {
    W.Put(Kind);
    W.Put(Lock);
    W.Put(Visible);
    W.Put(ID);
    W.Put(Reserved);
    W.Put(BitmapIndex);
    W.Put(StartCrossID);
    W.Put(EndCrossID);
    W.Put(LeftTop);
    W.Put(RightBottom);
    W.Put(Pen);
    W.Put(Brush);
    W.Put(Font.Charset);
    W.Put(Font.Color);
    W.PutString(Font.Name);
    W.Put(Font.Reserved);
    W.Put(Font.Size);
    W.Put(Font.Style);
    W.Put(Font.Reserved2);
    W.Put(FCtl3D);
    W.Put(FBlink);
    W.Put(FDirection);
    W.Put(FBlinkInterval);
    W.Put(FCategory);
    W.Put(FPlane);
    W.Put(FIconIndex);
    W.Put(FTransportType);
    W.Put(FHeight3D);
    W.Put(FAngle);
    W.PutString(FText);
    W.PutPoints(FPoints);
    W.Put(FSavedPenColor);
    W.Put(FSavedBrushColor);
    W.Put(FSavedFontColor);
    W.Put(FAddress.Empty);
    W.Put(FAddress.Index);
    W.Put(FAddress.City);
    W.Put(FAddress.Street);
    W.Put(FAddress.Street2);
    W.Put(FAddress.Area);
    W.PutString(FAddress.Number);
    W.PutString(FAddress.Number2);
    W.PutString(FAddress.Corpus);
}

std::unique_ptr<TZemObject> TZemObject::ReadState(TZemStateReader& R) {
    auto C = std::make_unique<TZemObject>();
    C->Kind = R.Get<TObjectKind>();
    C->Lock = R.Get<bool>();
    C->Visible = R.Get<bool>();
    C->ID = R.Get<std::int32_t>();
    C->Reserved = R.Get<std::int32_t>();
    C->BitmapIndex = R.Get<std::int32_t>();
    C->StartCrossID = R.Get<std::int32_t>();
    C->EndCrossID = R.Get<std::int32_t>();
    C->LeftTop = R.Get<TXYPoint>();
    C->RightBottom = R.Get<TXYPoint>();
    C->Pen = R.Get<TZemPen>();
    C->Brush = R.Get<TZemBrush>();
    C->Font.Charset = R.Get<std::uint8_t>();
    C->Font.Color = R.Get<TColor>();
    C->Font.Name = R.GetString();
    C->Font.Reserved = R.Get<std::uint8_t>();
    C->Font.Size = R.Get<std::int32_t>();
    C->Font.Style = R.Get<std::uint8_t>();
    C->Font.Reserved2 = R.Get<std::int32_t>();
    C->FCtl3D = R.Get<bool>();
    C->FBlink = R.Get<bool>();
    C->FDirection = R.Get<std::uint8_t>();
    C->FBlinkInterval = R.Get<std::int32_t>();
    C->FCategory = R.Get<std::int32_t>();
    C->FPlane = R.Get<std::int8_t>();
    C->FIconIndex = R.Get<std::int32_t>();
    C->FTransportType = R.Get<std::int32_t>();
    C->FHeight3D = R.Get<float>();
    C->FAngle = R.Get<float>();
    C->FText = R.GetString();
    C->FPoints = R.GetPoints();
    C->FSavedPenColor = R.Get<TColor>();
    C->FSavedBrushColor = R.Get<TColor>();
    C->FSavedFontColor = R.Get<TColor>();
    C->FAddress.Empty = R.Get<bool>();
    C->FAddress.Index = R.Get<std::int32_t>();
    C->FAddress.City = R.Get<std::int32_t>();
    C->FAddress.Street = R.Get<std::int32_t>();
    C->FAddress.Street2 = R.Get<std::int32_t>();
    C->FAddress.Area = R.Get<std::int32_t>();
    C->FAddress.Number = R.GetString();
    C->FAddress.Number2 = R.GetString();
    C->FAddress.Corpus = R.GetString();
    return C;
}

} // namespace zem
