// The map file: a 64-byte text header, then one frame of the binary stream container holding the whole
// document. Saving builds everything in memory and replaces the file in one piece; loading reads the
// whole file, and any failure ends in one message.
#include "base/ZemFileWrite.h"
#include "base/ZemInputCheck.h"
#include "base/ZemRound.h"
#include "images/ZemBmpList.h"
#include "images/ZemIcoFile.h"
#include "images/ZemIcoList.h"
#include "model/ZemMap.h"
#include "model/ZemSettings.h"
#include "model/ZemSpatialIndex.h"
#include "persistence/ZemBinaryStream.h"
#include "persistence/ZemMapContent.h"
#include "platform/ZemHost.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <new>
#include <type_traits>
#include <unordered_set>

namespace zem {

namespace {

const char* const kMsgBadFile = "Файл поврежден или не является файлом карты!";
const char* const kMsgNoMemory = "Недостаточно памяти для загрузки карты.";

constexpr size_t kHeaderSize = 64;

// The largest map file: the header, the frame's length, checksum and H, and content of the most a frame
// holds, stored (packing never makes a frame larger than that).
constexpr size_t kMaxMapFileBytes = kHeaderSize + 12 + kMaxFrameContent;

// An object record without points and with empty strings.
constexpr std::int64_t kMinRecordBytes = 132;
// Its ID in the order, and a record with a few points and short strings.
constexpr std::int64_t kUsualRecordBytes = 4 + kMinRecordBytes + 64;

// The header is for people who open the file in a text viewer; the reader never looks at it.
std::array<std::uint8_t, kHeaderSize> FileHeader() {
    std::array<std::uint8_t, kHeaderSize> H{};
    const char Text[] = "ZemMap vector map file\r\n\x1A";
    std::memcpy(H.data(), Text, sizeof Text - 1);
    return H;
}

// round(i * 100 / n) of the entry just handled, halves to even.
std::int32_t Percent(std::int32_t i, std::int32_t n) {
    return n > 0 ? Round(static_cast<long double>(i) * 100 / n) : 0;
}

// View values no window can show: a world coordinate or extent beyond this, a scale beyond the last.
// A damaged file may hold anything in them; the objects are worth keeping, the view is not.
constexpr float kMaxViewCoordinate = 1e12f;
constexpr float kMaxViewScale = 1e7f;

bool Usable(float V, float Limit) {
    return std::isfinite(V) && std::fabs(V) <= Limit;
}

// Replaces the view values a window cannot show by the defaults of a new map (the extent derived from
// the scale, or the scale from the extent, when only one of them is lost). Sound values stay untouched,
// so a sound file saves back byte for byte.
void NeutraliseView(TZemViewState& View, TZemDocument& Doc, std::int32_t Width, std::int32_t Height) {
    const TZemViewState Fresh;
    const TZemDocument Defaults;
    auto Extent = [](float V) { return Usable(V, kMaxViewCoordinate) && V > 0; };
    const bool ScaleOk = Usable(View.Scale, kMaxViewScale) && View.Scale > 0;
    const bool ExtentOk = Extent(View.ViewWidthHeight.X) && Extent(View.ViewWidthHeight.Y);
    const long double W = Width > 0 ? Width : 400, H = Height > 0 ? Height : 400;
    if (!ScaleOk && ExtentOk) {
        const float S = static_cast<float>(W * 100 / View.ViewWidthHeight.X);
        View.Scale = S > 0 && S <= kMaxViewScale ? S : Fresh.Scale;
    } else if (!ScaleOk) {
        View.Scale = Fresh.Scale;
    }
    if (!ExtentOk)
        View.ViewWidthHeight =
            TXYPoint{static_cast<float>(W * 100 / View.Scale), static_cast<float>(H * 100 / View.Scale)};
    if (!Usable(View.LeftTop.X, kMaxViewCoordinate) || !Usable(View.LeftTop.Y, kMaxViewCoordinate))
        View.LeftTop = Fresh.LeftTop;
    // Coordinate by coordinate: the extent grows with objects that may lie beyond the view's range, and a
    // file saved with one such side must load to the same extent on the other.
    if (!Usable(View.GlobalLeftTop.X, kMaxViewCoordinate))
        View.GlobalLeftTop.X = View.LeftTop.X;
    if (!Usable(View.GlobalLeftTop.Y, kMaxViewCoordinate))
        View.GlobalLeftTop.Y = View.LeftTop.Y;
    if (!Usable(View.GlobalWidthHeight.X, 2 * kMaxViewCoordinate))
        View.GlobalWidthHeight.X = View.ViewWidthHeight.X;
    if (!Usable(View.GlobalWidthHeight.Y, 2 * kMaxViewCoordinate))
        View.GlobalWidthHeight.Y = View.ViewWidthHeight.Y;
    if (!Usable(View.MaxScale, kMaxViewScale) || !(View.MaxScale > 0))
        View.MaxScale = Fresh.MaxScale;
    if (!Usable(View.ScaleStep, kMaxViewScale) || !(View.ScaleStep > 0))
        View.ScaleStep = Fresh.ScaleStep;
    if (Doc.DirectLineX <= 0)
        Doc.DirectLineX = Defaults.DirectLineX;
    if (Doc.DirectLineY <= 0)
        Doc.DirectLineY = Defaults.DirectLineY;
    if (!std::isfinite(Doc.Pseudo3DAngle))
        Doc.Pseudo3DAngle = Defaults.Pseudo3DAngle;
    if (!std::isfinite(Doc.MinScaleAddress))
        Doc.MinScaleAddress = Defaults.MinScaleAddress;
    if (!std::isfinite(Doc.MeasureScale))
        Doc.MeasureScale = Defaults.MeasureScale;
}

struct TDirectoryRef {
    TZemDirectory TZemDocument::*Field;
    const char* SaveMsg;
    const char* LoadMsg;
};

const TDirectoryRef Directories[] = {
    {&TZemDocument::Streets, "Записываем справочник улиц", "Читаем справочник улиц"},
    {&TZemDocument::Indexes, "Записываем справочник индексов", "Читаем справочник индексов"},
    {&TZemDocument::Cities, "Записываем справочник городов", "Читаем справочник городов"},
    {&TZemDocument::Areas, "Записываем справочник районов", "Читаем справочник районов"},
    {&TZemDocument::ObjectTypes, "Записываем справочник типов объектов", "Читаем справочник типов объектов"},
    {&TZemDocument::TransportTypes, "Записываем справочник типов транспорта",
     "Читаем справочник типов транспорта"},
};

void WriteColorBytes(TBinaryWriter& W, TColor C) {
    const auto v = static_cast<std::uint32_t>(C);
    W.WriteByte(static_cast<std::uint8_t>(v & 0xFF));
    W.WriteByte(static_cast<std::uint8_t>((v >> 8) & 0xFF));
    W.WriteByte(static_cast<std::uint8_t>((v >> 16) & 0xFF));
}

TColor ReadColorBytes(TBinaryReader& R) {
    const std::uint32_t r = R.ReadByte(), g = R.ReadByte(), b = R.ReadByte();
    return static_cast<TColor>(r + g * 256 + b * 65536);
}

void WriteBlob(TBinaryWriter& W, const std::vector<std::uint8_t>& Blob) {
    W.WriteInteger(static_cast<std::int32_t>(Blob.size()));
    W.WriteBytes(Blob.data(), static_cast<std::int32_t>(Blob.size()));
}

std::vector<std::uint8_t> ReadBlob(TBinaryReader& R) {
    const std::int32_t n = R.ReadInteger();
    // A count larger than what is left cannot be real: refuse before allocating it.
    CheckInput(n >= 0 && n <= R.Size() - R.Position(), TInputFault::PastEnd);
    std::vector<std::uint8_t> Blob(static_cast<size_t>(n));
    R.ReadBytes(Blob.data(), n);
    return Blob;
}

// The settings of the header, in the list's order (model/ZemSettings.h), each by the width of its type.
void WriteSettings(TBinaryWriter& W, const TZemMap& Map) {
    ForEachSetting([&](const auto& Row) {
        if (!Row.Has(kFile))
            return;
        using T = TZemSettingType<decltype(Row)>;
        const T& V = Row.In(Map);
        if constexpr (std::is_same_v<T, bool>)
            W.WriteBoolean(V);
        else if constexpr (std::is_same_v<T, std::uint8_t>)
            W.WriteByte(V);
        else if constexpr (std::is_same_v<T, std::int32_t>)
            W.WriteInteger(V);
        else if constexpr (std::is_same_v<T, float>)
            W.WriteSingle(V);
        else if constexpr (std::is_same_v<T, ZemString>)
            W.WriteString(V);
        else {
            static_assert(std::is_same_v<T, TXYPoint>, "a setting of a type the map file cannot hold");
            W.WriteSingle(V.X);
            W.WriteSingle(V.Y);
        }
    });
}

// Each value is stored as soon as it is read, so a header that breaks off keeps what came before. The
// header's strings are cut to 255 characters.
void ReadSettings(TBinaryReader& R, TZemMap& Map) {
    ForEachSetting([&](const auto& Row) {
        if (!Row.Has(kFile))
            return;
        using T = TZemSettingType<decltype(Row)>;
        T& V = Row.In(Map);
        if constexpr (std::is_same_v<T, bool>)
            V = R.ReadBoolean() != 0;
        else if constexpr (std::is_same_v<T, std::uint8_t>)
            V = R.ReadByte();
        else if constexpr (std::is_same_v<T, std::int32_t>)
            V = R.ReadInteger();
        else if constexpr (std::is_same_v<T, float>)
            V = R.ReadSingle();
        else if constexpr (std::is_same_v<T, ZemString>)
            V = R.ReadString().substr(0, 255);
        else {
            static_assert(std::is_same_v<T, TXYPoint>, "a setting of a type the map file cannot hold");
            V.X = R.ReadSingle();
            V.Y = R.ReadSingle();
        }
    });
}

void ResetCountedSettings(TZemMap& Map) {
    ForEachSetting([&](const auto& Row) {
        if (Row.Has(kCounted))
            Row.In(Map) = {};
    });
}

// A count of entries each needing at least MinBytes must fit in what is left of the stream.
std::int32_t ReadCount(TBinaryReader& R, std::int32_t MinBytes) {
    const std::int32_t n = R.ReadInteger();
    CheckInput(n >= 0 && static_cast<std::int64_t>(n) * MinBytes <= R.Size() - R.Position(),
               TInputFault::PastEnd);
    return n;
}

} // namespace

std::unique_ptr<TBinaryWriter> SaveMapContent(TZemMap& Map, bool Report, std::int32_t SizeHint) {
    // Room for records of a usual size from the start: growing a buffer of a hundred megabytes copies
    // it, and room never written costs nothing (see TBinaryWriter).
    const std::int64_t Usual = 65536 + static_cast<std::int64_t>(Map.Doc.Order.Count()) * kUsualRecordBytes;
    const auto Capacity = static_cast<std::int32_t>(
        std::min<std::int64_t>(std::max<std::int64_t>(SizeHint, Usual), kMaxFrameContent));
    auto Content = std::make_unique<TBinaryWriter>(Capacity);
    TBinaryWriter& W = *Content;
    const TZemDocument& Doc = Map.Doc;
    const TZemNetworkState& Net = Map.Net;
    Report = Report && Map.OnMapProgress;
    auto Progress = [&Map, Report](std::int32_t P, TStage S, const char* Msg) {
        if (Report)
            Map.OnMapProgress(Map, P, S, Msg);
    };
    // The percentage is worked out only for a listener: unreported, it would cost a copy a tenth of its time.
    auto Step = [&Map, Report](std::int32_t i, std::int32_t n, const char* Msg) {
        if (Report)
            Map.OnMapProgress(Map, Percent(i, n), sRunning, Msg);
    };
    Progress(0, sStarting, "Записываем опции");
    WriteSettings(W, Map);

    {
        std::vector<std::uint8_t> Blob;
        Doc.Icons->WriteData(Blob);
        WriteBlob(W, Blob);
        Blob.clear();
        Doc.Bitmaps->WriteData(Blob);
        WriteBlob(W, Blob);
    }

    for (const TDirectoryRef& D : Directories) {
        const TZemDirectory& Dir = Doc.*(D.Field);
        const auto n = static_cast<std::int32_t>(Dir.size());
        W.WriteInteger(n);
        for (std::int32_t i = 0; i < n; ++i) {
            W.WriteString(Dir[static_cast<size_t>(i)]);
            Step(i, n, D.SaveMsg);
        }
    }

    W.WriteInteger(Net.RoutePoints.Count());
    for (std::int32_t i = 0; i < Net.RoutePoints.Count(); ++i) {
        W.WriteSingle(Net.RoutePoints[i].X);
        W.WriteSingle(Net.RoutePoints[i].Y);
    }

    for (std::int32_t ID : Doc.Order)
        W.WriteInteger(ID);

    const std::int32_t n = Doc.Order.Count();
    for (std::int32_t i = 0; i < n; ++i) {
        const TZemObject& O = Map.ObjectByID(Doc.Order[i]);
        W.WriteInteger(O.ID);
        W.WriteSmallInt(static_cast<std::int16_t>(O.Kind));
        W.WriteSingle(O.LeftTop.X);
        W.WriteSingle(O.LeftTop.Y);
        W.WriteSingle(O.RightBottom.X);
        W.WriteSingle(O.RightBottom.Y);
        W.WriteInteger(O.PointCount());
        for (std::int32_t p = 0; p < O.PointCount(); ++p) {
            W.WriteSingle(O.Point(p).X);
            W.WriteSingle(O.Point(p).Y);
        }
        W.WriteByte(O.Pen.Style);
        WriteColorBytes(W, O.Pen.Color);
        W.WriteInteger(O.Pen.Flags);
        W.WriteInteger(O.Pen.Width);
        W.WriteByte(O.Brush.Style);
        WriteColorBytes(W, O.Brush.Color);
        const TZemAddress& A = O.Address();
        W.WriteBoolean(A.Empty);
        W.WriteInteger(A.Index);
        W.WriteInteger(A.City);
        W.WriteInteger(A.Street);
        W.WriteInteger(A.Street2);
        W.WriteInteger(A.Area);
        W.WriteString(A.Number);
        W.WriteString(A.Number2);
        W.WriteString(A.Corpus);
        W.WriteByte(O.Font.Charset);
        W.WriteInteger(O.Font.Color);
        W.WriteString(O.Font.Name);
        W.WriteByte(O.Font.Reserved);
        W.WriteInteger(O.Font.Size);
        W.WriteByte(O.Font.Style);
        W.WriteInteger(O.Font.Reserved2);
        W.WriteInteger(O.Category());
        W.WriteBoolean(O.Ctl3D());
        W.WriteSingle(O.Height3D());
        W.WriteSingle(O.Angle());
        W.WriteString(O.Text());
        W.WriteBoolean(O.Lock);
        W.WriteBoolean(O.Visible);
        W.WriteInteger(O.Plane());
        W.WriteBoolean(O.Blink());
        W.WriteInteger(O.BlinkInterval());
        W.WriteInteger(O.Reserved);
        W.WriteInteger(O.IconIndex());
        W.WriteInteger(O.BitmapIndex);
        W.WriteInteger(O.StartCrossID);
        W.WriteInteger(O.EndCrossID);
        W.WriteByte(O.Direction());
        W.WriteInteger(O.TransportType());
        Step(i, n, "Записываем объекты");
    }
    Progress(0, sEnding, "Сохраняем данные");
    return Content;
}

std::vector<std::uint8_t> PackMapFile(const TBinaryWriter& Content, std::uint8_t Level) {
    const auto H = FileHeader();
    std::vector<std::uint8_t> File(H.begin(), H.end());
    if (!Content.SaveToStream(File, Level))
        throw EZemError("Не удалось построить содержимое файла карты.");
    return File;
}

std::vector<std::uint8_t> TZemMap::SaveToBytes() {
    // The boxes and the extent are written as loading works them out again, so the file reads back to
    // the same bytes: each box from its object's points and pen, the extent from the boxes.
    for (std::int32_t ID : Doc.Order)
        ObjectByID(ID).UpdateBounds();
    RecalcGlobalExtent();
    return PackMapFile(*SaveMapContent(*this, true), Doc.Compression);
}

void TZemMap::SaveToFile(const std::string& FileName) {
    const std::vector<std::uint8_t> File = SaveToBytes();
    WriteFileAtomically(FileName, std::string_view(reinterpret_cast<const char*>(File.data()), File.size()));
    MarkSaved();
}

void TZemMap::ReadMapContent(TBinaryReader& R) {
    // The counted settings are the records' to give again: the stored Count says how many follow, the
    // stored MaxID is not trusted. They start from 0 even when the header breaks off.
    std::int32_t N = 0;
    try {
        ReadSettings(R, *this);
        N = Doc.Count;
    } catch (...) {
        ResetCountedSettings(*this);
        throw;
    }
    ResetCountedSettings(*this);

    Doc.Icons->ReadData(ReadBlob(R));
    Doc.Bitmaps->ReadData(ReadBlob(R));

    for (const TDirectoryRef& D : Directories) {
        TZemDirectory& Dir = Doc.*(D.Field);
        Dir.clear();
        const std::int32_t n = ReadCount(R, 1);
        for (std::int32_t i = 0; i < n; ++i) {
            Dir.push_back(R.ReadString());
            if (OnMapProgress)
                OnMapProgress(*this, Percent(i, n), sRunning, D.LoadMsg);
        }
    }

    const std::int32_t nPoints = ReadCount(R, 8);
    for (std::int32_t i = 0; i < nPoints; ++i) {
        const float X = R.ReadSingle();
        const float Y = R.ReadSingle();
        Net.RoutePoints.Add(TXYPoint{X, Y});
    }

    // N IDs and N records must fit in what is left: refuse a hostile count before allocating for it.
    CheckInput(N >= 0 && static_cast<std::int64_t>(N) * (4 + kMinRecordBytes) <= R.Size() - R.Position(),
               TInputFault::PastEnd);
    Doc.Order.Clear();
    for (std::int32_t i = 0; i < N; ++i)
        Doc.Order.Add(R.ReadInteger());

    FIndex->Reserve(N);
    Doc.Objects.Reserve(Doc.Objects.Count() + N);
    std::vector<TXYPoint> Points; // one buffer for every record's points
    bool AllInOrder = true;
    for (std::int32_t i = 0; i < N; ++i) {
        auto O = std::make_unique<TZemObject>();
        O->ClearPoints();
        O->ID = R.ReadInteger();
        Doc.MaxID = O->ID;
        O->Kind = static_cast<TObjectKind>(R.ReadSmallInt() & 0xFF);
        O->LeftTop.X = R.ReadSingle();
        O->LeftTop.Y = R.ReadSingle();
        O->RightBottom.X = R.ReadSingle();
        O->RightBottom.Y = R.ReadSingle();
        const std::int32_t nP = ReadCount(R, 8);
        Points.resize(static_cast<size_t>(nP));
        for (TXYPoint& P : Points) {
            P.X = R.ReadSingle();
            P.Y = R.ReadSingle();
        }
        O->Pen.Style = R.ReadByte();
        const TColor PenColor = ReadColorBytes(R);
        O->Pen.Flags = R.ReadInteger();
        O->Pen.Width = R.ReadInteger();
        O->Brush.Style = R.ReadByte();
        const TColor BrushColor = ReadColorBytes(R);
        TZemAddress A;
        A.Empty = R.ReadBoolean() != 0;
        A.Index = R.ReadInteger();
        A.City = R.ReadInteger();
        A.Street = R.ReadInteger();
        A.Street2 = R.ReadInteger();
        A.Area = R.ReadInteger();
        A.Number = R.ReadString();
        A.Number2 = R.ReadString();
        A.Corpus = R.ReadString();
        O->SetAddress(A);
        O->Font.Charset = R.ReadByte();
        O->Font.Color = R.ReadInteger();
        O->Font.Name = R.ReadString();
        O->Font.Reserved = R.ReadByte();
        O->Font.Size = R.ReadInteger();
        O->Font.Style = R.ReadByte();
        O->Font.Reserved2 = R.ReadInteger();
        O->SetCategory(R.ReadInteger());
        O->SetCtl3D(R.ReadBoolean() != 0);
        O->SetHeight3D(R.ReadSingle());
        O->SetAngle(R.ReadSingle());
        O->SetText(R.ReadString());
        O->Lock = R.ReadBoolean() != 0;
        O->Visible = R.ReadBoolean() != 0;
        O->SetPlane(static_cast<std::int8_t>(R.ReadInteger() & 0xFF));
        // Blink goes before the pen and brush colours, so a blinking object saves their defaults; switching
        // it off leaves the colours alone, so those saved defaults are never put back.
        O->SetBlink(R.ReadBoolean() != 0);
        O->SetBlinkInterval(R.ReadInteger());
        O->Reserved = R.ReadInteger();
        O->SetIconIndex(R.ReadInteger());
        O->BitmapIndex = R.ReadInteger();
        O->StartCrossID = R.ReadInteger();
        O->EndCrossID = R.ReadInteger();
        O->SetDirection(R.ReadByte());
        O->SetTransportType(R.ReadInteger());
        O->Pen.Color = PenColor;
        O->Brush.Color = BrushColor;
        // The points go in last, once the pen is known: the box is worked out as every edit works it
        // out (half the pen wide around the points, a junction's point), not taken from the file, so
        // selecting or drawing the object finds it right and changes nothing, and a map that was only
        // looked at saves what it loaded. Records without points keep the stored box.
        O->AddPoints(Points);
        // Records come in the drawing order (the writer's): each one's place in it is then known here.
        const bool InOrder = Doc.Order[i] == O->ID;
        AllInOrder = AllInOrder && InOrder;
        StoreLoaded(std::move(O), InOrder ? i : -1);
        if (Doc.MaxID < INT32_MAX) // an object at the top of the range leaves no next ID; AddObject says so
            ++Doc.MaxID;
        if (OnMapProgress)
            OnMapProgress(*this, Percent(i, N), sRunning, "Читаем данные объектов");
    }
    if (AllInOrder) { // every record has its place, so the order names each stored object once
        FIndex->RankedStamp = Doc.Order.Stamp();
        FIndex->RanksValid = true;
    }
}

void TZemMap::ClearAfterFailedLoad() {
    Clear();
    for (const TDirectoryRef& D : Directories)
        TZemDirectory().swap(Doc.*(D.Field));
    Doc.Icons->Clear();
    Doc.Bitmaps->Clear();
}

void TZemMap::StoreLoaded(std::unique_ptr<TZemObject> Object, std::int32_t Rank) {
    const std::int32_t ID = Object->ID;
    Adopt(*Object, true);
    if (Rank >= 0)
        FIndex->SetRank(*Object, Rank);
    Doc.Objects.Add(ID, std::move(Object)); // a duplicate ID raises, storing nothing
    ++Doc.Count;
}

bool TZemMap::RepairOrder() {
    // The drawing order must name every stored object once and nothing else: a damaged file may disagree.
    Doc.Count = Doc.Objects.Count();
    std::vector<std::int32_t> Sorted(Doc.Order.begin(), Doc.Order.end());
    std::sort(Sorted.begin(), Sorted.end());
    bool Sound = static_cast<std::int32_t>(Sorted.size()) == Doc.Objects.Count();
    for (std::int32_t i = 0; Sound && i < Doc.Objects.Count(); ++i)
        Sound = Sorted[static_cast<size_t>(i)] == Doc.Objects.Keys(i); // both ascending: equal as sets
    if (Sound)
        return false;
    std::unordered_set<std::int32_t> Seen;
    TIntegerList Fixed;
    for (std::int32_t ID : Doc.Order)
        if (Doc.Objects.Contains(ID) && Seen.insert(ID).second)
            Fixed.Add(ID);
    for (std::int32_t i = 0; i < Doc.Objects.Count(); ++i)
        if (Seen.insert(Doc.Objects.Keys(i)).second)
            Fixed.Add(Doc.Objects.Keys(i));
    Doc.Order.Assign(Fixed);
    return true;
}

bool TZemMap::LoadFromFile(const std::string& FileName) {
    // Read first: a file that cannot be read leaves the open map alone (LoadFromBytes clears it).
    std::string Bytes;
    try {
        Bytes = ReadWholeFile(FileName, kMaxMapFileBytes);
    } catch (const std::bad_alloc&) {
        FHost.ShowMessage(kMsgNoMemory, "Ошибка", TZemMsgButtons::mbOk);
        return false;
    }
    return LoadFromBytes(
        std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(Bytes.data()), Bytes.size()));
}

bool TZemMap::LoadFromBytes(std::span<const std::uint8_t> Bytes) {
    // A caller that has switched drawing off (the command-line tool) gets no frame from the load.
    const bool Drawing = View.AutoUpdate;
    View.AutoUpdate = false;
    Clear();
    if (OnMapProgress)
        OnMapProgress(*this, 0, sStarting, "Читаем данные");
    bool Ok = true;
    std::string Msg = kMsgBadFile;
    try {
        TBinaryReader R;
        if (Bytes.size() > kHeaderSize)
            R.LoadFromStream(Bytes.subspan(kHeaderSize));
        R.Reset();
        ReadMapContent(R);
    } catch (const std::bad_alloc&) {
        // Not damage: the file may be sound. Whatever was read is dropped rather than shown half-loaded.
        Ok = false;
        Msg = kMsgNoMemory;
        ClearAfterFailedLoad();
    } catch (const EIconTooLarge& E) {
        // A sound file, refused for what it holds: say what.
        Ok = false;
        Msg = E.what();
    } catch (const std::exception&) {
        Ok = false;
    }
    // Also after a failure: the values read before it stay, and the frame below uses them.
    NeutraliseView(View, Doc, Width(), Height());
    FitExtentToSize(); // the file's scale and LeftTop, undistorted in this control
    if (RepairOrder())
        Ok = false;
    FillBlinkSet(); // the records set their flags before the objects were the map's
    if (OnMapProgress)
        OnMapProgress(*this, 0, sEnding, "");
    // Every kind of transport is shown, before the visible list is built: filled after it, the first
    // frame of a loaded map would leave out every segment that has a kind.
    Net.VisibleTransportTypes.Clear();
    for (std::int32_t i = 0; i < static_cast<std::int32_t>(Doc.TransportTypes.size()); ++i)
        Net.VisibleTransportTypes.Add(i);
    View.AutoUpdate = Drawing;
    UpdateVisibleList();
    RecalcGlobalExtent();
    Redraw();
    UpdateMiniMapContent();
    ClearHistory(); // what was read is the clean state, even after a failure
    // Over the map as far as it was read, with the progress already gone.
    if (!Ok)
        FHost.ShowMessage(Msg, "Ошибка", TZemMsgButtons::mbOk);
    return Ok;
}

} // namespace zem
