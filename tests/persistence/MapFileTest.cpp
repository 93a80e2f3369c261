#include "base/ZemFileWrite.h"
#include "images/ZemBmpList.h"
#include "model/ZemMap.h"
#include "persistence/CodecTestFormat.h"
#include "persistence/MemoryLimit.h"
#include "persistence/ZemAdler32.h"
#include "persistence/ZemBinaryStream.h"
#include "platform/ZemHeadlessHost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using namespace zem;

namespace fs = std::filesystem;

namespace {

const char* const BadFile = "Файл поврежден или не является файлом карты!";

struct TempDir {
    fs::path Path;
    TempDir() {
        Path = fs::temp_directory_path() / ("zemmap-" + std::to_string(::getpid()) + "-" +
                                            std::to_string(reinterpret_cast<std::uintptr_t>(this)));
        fs::create_directories(Path);
    }
    ~TempDir() { fs::remove_all(Path); }
};

std::vector<std::uint8_t> Bytes(TZemMap& Map) {
    return Map.SaveToBytes();
}

// Fills an object with values that differ from every default.
void Distinctive(TZemObject& O, int Seed) {
    O.Pen = TZemPen{static_cast<std::uint8_t>(1 + Seed % 3), RGBColor(10 + Seed, 20, 30), 1, 2 + Seed};
    O.Brush = TZemBrush{RGBColor(40, 50 + Seed, 60), static_cast<std::uint8_t>(Seed % 8)};
    O.Font = TZemFont{204, RGBColor(70, 80, 90 + Seed), "Arial", 7, 18 + Seed, fsBold | fsUnderline, 99};
    TZemAddress A;
    A.Empty = false;
    A.Index = Seed;
    A.City = 1;
    A.Street = 2;
    A.Street2 = 3;
    A.Area = 4;
    A.Number = "1" + std::to_string(Seed);
    A.Number2 = "\xE0";
    A.Corpus = "\xC1";
    O.SetAddress(A);
    O.SetCategory(5 + Seed);
    O.SetCtl3D(true);
    O.SetHeight3D(12.5f + Seed);
    O.SetAngle(0.25f * Seed);
    O.SetText("\xD2\xE5\xEA\xF1\xF2 " + std::to_string(Seed));
    O.Lock = Seed % 2 == 0;
    O.Visible = Seed % 3 != 0;
    O.SetPlane(static_cast<std::int8_t>(-5 + Seed));
    O.SetBlinkInterval(700 + Seed);
    O.Reserved = 1000 + Seed;
    O.SetIconIndex(Seed);
    O.BitmapIndex = 2 * Seed;
    O.StartCrossID = 3 * Seed;
    O.EndCrossID = 4 * Seed;
    O.SetDirection(static_cast<std::uint8_t>(Seed % 3));
    O.SetTransportType(Seed % 4);
}

void ExpectSameObject(const TZemObject& A, const TZemObject& B) {
    EXPECT_EQ(A.ID, B.ID);
    EXPECT_EQ(A.Kind, B.Kind);
    EXPECT_EQ(A.Points(), B.Points());
    EXPECT_EQ(A.Pen, B.Pen);
    EXPECT_EQ(A.Brush, B.Brush);
    EXPECT_EQ(A.Font, B.Font);
    EXPECT_EQ(A.Address(), B.Address());
    EXPECT_EQ(A.Category(), B.Category());
    EXPECT_EQ(A.Ctl3D(), B.Ctl3D());
    EXPECT_EQ(A.Height3D(), B.Height3D());
    EXPECT_EQ(A.Angle(), B.Angle());
    EXPECT_EQ(A.Text(), B.Text());
    EXPECT_EQ(A.Lock, B.Lock);
    EXPECT_EQ(A.Visible, B.Visible);
    EXPECT_EQ(A.Plane(), B.Plane());
    EXPECT_EQ(A.Blink(), B.Blink());
    EXPECT_EQ(A.BlinkInterval(), B.BlinkInterval());
    EXPECT_EQ(A.Reserved, B.Reserved);
    EXPECT_EQ(A.IconIndex(), B.IconIndex());
    EXPECT_EQ(A.BitmapIndex, B.BitmapIndex);
    EXPECT_EQ(A.StartCrossID, B.StartCrossID);
    EXPECT_EQ(A.EndCrossID, B.EndCrossID);
    EXPECT_EQ(A.Direction(), B.Direction());
    EXPECT_EQ(A.TransportType(), B.TransportType());
}

struct MapFileFixture : ::testing::Test {
    TempDir Dir;
    HeadlessHost Host, Host2;
    TZemMap Map{Host};
    TZemMap Loaded{Host2};
    std::string File() const { return (Dir.Path / "Карта города.mp").string(); }
};

} // namespace

TEST_F(MapFileFixture, EveryKindAndFieldRoundTrips) {
    Map.Doc.Streets = {"\xD3\xEB\xE8\xF6\xE0", "B"};
    Map.Doc.Indexes = {"127000"};
    Map.Doc.Cities = {"\xCC\xEE\xF1\xEA\xE2\xE0"};
    Map.Doc.Areas = {"A1", "A2"};
    Map.Doc.ObjectTypes = {"T"};
    Map.Doc.TransportTypes = {"\xCF\xE5\xF8\xEA\xEE\xEC", "Bus"};
    Map.Net.RoutePoints.Add({1.5f, 2.5f});
    Map.Net.RoutePoints.Add({-3, 4});
    TBitmap32 Pic(3, 2);
    Pic.Clear(0xFF112233);
    const zem::TZemImage Picture = zem::ImageOf(Pic.View());
    Map.Doc.Bitmaps->Add(&Picture);
    Map.Doc.Bitmaps->Add(nullptr);
    Map.Doc.DocumentName = "Doc";
    Map.Doc.MeasureStr = "km";
    Map.Doc.MeasureScale = 33;
    Map.Doc.MinScaleAddress = 150;
    Map.Doc.MinObjectView = 5;
    Map.Doc.Option =
        (1 << moShow3D) | (1 << moEditable) | (1 << 3) | (1 << moHideObjects); // bit 3 kept as is
    Map.Doc.Compression = 2;
    Map.Doc.BackColor = RGBColor(1, 2, 3);
    Map.Doc.ShowGrid = true;
    Map.Net.ShowTransportNet = true;
    Map.Net.ShowUndefinedRoutes = false;
    Map.View.ScaleStep = 7;
    Map.SetScale(250);

    for (int Kind = otLine; Kind <= otRoadCrossLine; ++Kind) {
        TZemObject T;
        T.Kind = static_cast<TObjectKind>(Kind);
        T.AddPoint(10.0f * Kind, 5);
        T.AddPoint(10.0f * Kind + 7, 9);
        if (Kind == otRoadCross)
            T.ClearPoints(), T.AddPoint(1, 1);
        Map.AddObject(T);
        Distinctive(Map.ObjectByID(Map.Doc.MaxID - 1), Kind);
    }
    Map.SendToBack(4);
    Map.SaveToFile(File());

    ASSERT_TRUE(Loaded.LoadFromFile(File()));
    EXPECT_TRUE(Host2.Messages.empty());
    ASSERT_EQ(Loaded.Count(), Map.Count());
    EXPECT_EQ(std::vector<int>(Loaded.Doc.Order.begin(), Loaded.Doc.Order.end()),
              std::vector<int>(Map.Doc.Order.begin(), Map.Doc.Order.end()));
    for (std::int32_t ID : Map.Doc.Order) {
        SCOPED_TRACE(ID);
        ExpectSameObject(Map.ObjectByID(ID), Loaded.ObjectByID(ID));
    }
    EXPECT_EQ(Loaded.Doc.Streets, Map.Doc.Streets);
    EXPECT_EQ(Loaded.Doc.Indexes, Map.Doc.Indexes);
    EXPECT_EQ(Loaded.Doc.Cities, Map.Doc.Cities);
    EXPECT_EQ(Loaded.Doc.Areas, Map.Doc.Areas);
    EXPECT_EQ(Loaded.Doc.ObjectTypes, Map.Doc.ObjectTypes);
    EXPECT_EQ(Loaded.Doc.TransportTypes, Map.Doc.TransportTypes);
    EXPECT_EQ(Loaded.Net.RoutePoints, Map.Net.RoutePoints);
    EXPECT_EQ(Loaded.Doc.Bitmaps->Count(), 2);
    EXPECT_EQ(Loaded.Doc.Bitmaps->Get(0)->Pixel(1, 1), 0xFF112233u);
    EXPECT_EQ(Loaded.Doc.DocumentName, "Doc");
    EXPECT_EQ(Loaded.Doc.MeasureStr, "km");
    EXPECT_EQ(Loaded.Doc.Option, Map.Doc.Option);
    EXPECT_EQ(Loaded.Doc.Compression, 2);
    EXPECT_EQ(Loaded.Doc.BackColor, Map.Doc.BackColor);
    EXPECT_EQ(Loaded.Doc.MinObjectView, 5);
    EXPECT_TRUE(Loaded.Doc.ShowGrid);
    EXPECT_TRUE(Loaded.Net.ShowTransportNet);
    EXPECT_FALSE(Loaded.Net.ShowUndefinedRoutes);
    EXPECT_EQ(Loaded.View.Scale, Map.View.Scale);
    EXPECT_EQ(Loaded.View.LeftTop, Map.View.LeftTop);
    EXPECT_EQ(Loaded.View.ViewWidthHeight, Map.View.ViewWidthHeight);
    EXPECT_EQ(Loaded.View.ScaleStep, 7);
    EXPECT_EQ(Loaded.Net.VisibleTransportTypes.Count(), 2);
    // The last record read is the front-most object; the next ID comes after it.
    EXPECT_EQ(Loaded.Doc.MaxID, Map.Doc.Order[Map.Doc.Order.Count() - 1] + 1);
    // Saving the loaded map again gives the same file.
    EXPECT_EQ(Loaded.SaveToBytes(), Map.SaveToBytes());
}

TEST_F(MapFileFixture, EmptyMapLayoutAndSettings) {
    Map.Doc.Compression = 0;
    const auto F = Bytes(Map);
    ASSERT_GT(F.size(), 72u);
    // After the 64-byte header: L, the checksum, then H = -length of a stored block.
    std::int32_t L, H;
    std::memcpy(&L, &F[64], 4);
    std::memcpy(&H, &F[72], 4);
    EXPECT_EQ(static_cast<size_t>(L), F.size() - 68);
    ASSERT_LT(H, 0);
    const std::uint8_t* Content = &F[76];
    TBinaryReader R;
    ASSERT_TRUE(R.LoadFromStream(std::span(F).subspan(64)));
    EXPECT_EQ(R.Size(), -H);
    EXPECT_EQ(std::memcmp(R.Data(), Content, static_cast<size_t>(-H)), 0);
    EXPECT_EQ(R.ReadInteger(), 0); // Count
    EXPECT_EQ(R.ReadInteger(), 0); // MaxID
    EXPECT_EQ(R.ReadByte(), 23);   // Option
    // The tail: two empty libraries, six zero counts, no route points, no IDs.
    std::vector<std::uint8_t> Tail(static_cast<size_t>(R.Size()) - size_t{9} * 4 - size_t{4} * 4, 0);
    const std::vector<std::uint8_t> Expected = {4, 0, 0, 0, 0, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0};
    std::vector<std::uint8_t> End(R.Data() + R.Size() - 44, R.Data() + R.Size());
    EXPECT_EQ(std::vector<std::uint8_t>(End.begin(), End.begin() + 16), Expected);
    EXPECT_EQ(std::vector<std::uint8_t>(End.begin() + 16, End.end()), std::vector<std::uint8_t>(28, 0));

    ASSERT_TRUE(Loaded.LoadFromBytes(F));
    EXPECT_EQ(Loaded.Count(), 0);
    EXPECT_EQ(Loaded.Doc.Option, 23);
    EXPECT_EQ(Loaded.Doc.DocumentName, "Untitled map");
    EXPECT_EQ(Loaded.Doc.Compression, 0);
}

TEST_F(MapFileFixture, LevelThreeCompressesAndLoadsTheSame) {
    for (int i = 0; i < 50; ++i) {
        TZemObject T;
        T.AddPoint(static_cast<float>(i), 0);
        T.AddPoint(static_cast<float>(i), 100);
        Map.AddObject(T);
    }
    Map.Doc.Compression = 3;
    const auto Packed = Bytes(Map);
    std::int32_t H;
    std::memcpy(&H, &Packed[72], 4);
    EXPECT_GT(H, 0);
    Map.Doc.Compression = 0;
    const auto Stored = Bytes(Map);
    EXPECT_LT(Packed.size(), Stored.size());
    ASSERT_TRUE(Loaded.LoadFromBytes(Packed));
    HeadlessHost H3;
    TZemMap Other(H3);
    ASSERT_TRUE(Other.LoadFromBytes(Stored));
    EXPECT_EQ(Loaded.Count(), 50);
    for (std::int32_t ID : Loaded.Doc.Order)
        EXPECT_EQ(Loaded.ObjectByID(ID).Points(), Other.ObjectByID(ID).Points());
}

TEST_F(MapFileFixture, ReadingAsymmetries) {
    TZemObject T;
    T.AddPoint(0, 0);
    T.AddPoint(10, 10);
    T.Pen.Width = 4;
    T.Pen.Color = static_cast<TColor>(0x80000005); // a system colour uses the fourth byte
    T.SetPlane(-5);
    Map.AddObject(T);
    Map.ObjectByID(0).SetBlink(true);
    Map.ObjectByID(0).Pen.Color = static_cast<TColor>(0x80000005);
    Map.Doc.DocumentName = std::string(300, 'x');
    ASSERT_TRUE(Loaded.LoadFromBytes(Bytes(Map)));
    const TZemObject& O = Loaded.ObjectByID(0);
    EXPECT_EQ(O.Pen.Color, 0x000005);
    // Bounds are worked out as every edit does, half the pen width around the points: selecting the
    // object later finds them right and changes nothing.
    EXPECT_EQ(O.LeftTop, (TXYPoint{-2, -2}));
    EXPECT_EQ(O.RightBottom, (TXYPoint{12, 12}));
    EXPECT_EQ(O.Plane(), -5);
    // Blink was applied before the colours: the saved pen colour is the default white.
    EXPECT_TRUE(O.Blink());
    EXPECT_EQ(O.SavedPenColor(), 0xFFFFFF);
    EXPECT_EQ(Loaded.Doc.DocumentName.size(), 255u);
}

TEST_F(MapFileFixture, FlippedByteGivesTheMessageAndKeepsThePreviousSettings) {
    TZemObject T;
    T.AddPoint(0, 0);
    T.AddPoint(10, 10);
    Map.AddObject(T);
    auto F = Bytes(Map);
    F[F.size() / 2] ^= 0x40;

    Loaded.Doc.Streets = {"old street"};
    Loaded.Doc.DocumentName = "previous";
    TZemObject Old;
    Old.AddPoint(1, 1);
    Loaded.AddObject(Old);
    std::vector<std::string> Stages;
    Loaded.OnMapProgress = [&](TZemMap&, int, TStage S, const std::string& Msg) {
        Stages.push_back(std::to_string(S) + ":" + Msg);
    };
    EXPECT_FALSE(Loaded.LoadFromBytes(F));
    EXPECT_EQ(Host2.Messages, (std::vector<std::string>{BadFile}));
    EXPECT_EQ(Loaded.Count(), 0);
    EXPECT_EQ(Loaded.Doc.Order.Count(), 0);
    EXPECT_EQ(Loaded.Doc.Streets, (TZemDirectory{"old street"}));
    EXPECT_EQ(Loaded.Doc.DocumentName, "previous");
    EXPECT_TRUE(Loaded.AutoUpdate());
    ASSERT_GE(Stages.size(), 2u);
    EXPECT_EQ(Stages.front(), "0:Читаем данные");
    EXPECT_EQ(Stages.back(), "2:");
}

TEST_F(MapFileFixture, ProgressReportsPercentOfEachStep) {
    Map.Doc.Streets = {"a", "b", "c"};
    for (int i = 0; i < 8; ++i) {
        TZemObject T;
        T.AddPoint(0, 0);
        Map.AddObject(T);
    }
    std::vector<std::pair<int, std::string>> Saved, Read;
    Map.OnMapProgress = [&](TZemMap&, int P, TStage, const std::string& M) { Saved.push_back({P, M}); };
    const auto F = Bytes(Map);
    Loaded.OnMapProgress = [&](TZemMap&, int P, TStage, const std::string& M) { Read.push_back({P, M}); };
    ASSERT_TRUE(Loaded.LoadFromBytes(F));
    std::vector<std::pair<int, std::string>> ExpectedSave = {{0, "Записываем опции"},
                                                             {0, "Записываем справочник улиц"},
                                                             {33, "Записываем справочник улиц"},
                                                             {67, "Записываем справочник улиц"}};
    // Objects: round(i * 100 / 8): 0, 12 (12.5 to even), 25, 38 (37.5), 50, 62 (62.5), 75, 88 (87.5).
    for (int P : {0, 12, 25, 38, 50, 62, 75, 88})
        ExpectedSave.push_back({P, "Записываем объекты"});
    ExpectedSave.push_back({0, "Сохраняем данные"});
    EXPECT_EQ(Saved, ExpectedSave);
    ASSERT_EQ(Read.size(), 1u + 3 + 8 + 1);
    EXPECT_EQ(Read[1], (std::pair<int, std::string>{0, "Читаем справочник улиц"}));
    EXPECT_EQ(Read[5], (std::pair<int, std::string>{12, "Читаем данные объектов"}));
    EXPECT_EQ(Read.back(), (std::pair<int, std::string>{0, ""}));
}

TEST_F(MapFileFixture, SaveThatCannotWriteLeavesTheOldFile) {
    Map.SaveToFile(File());
    const std::string Before = zem::ReadWholeFile(File());
    TZemObject T;
    T.AddPoint(0, 0);
    Map.AddObject(T);
    // The target's folder is gone: nothing can be written, and nothing half-written appears.
    EXPECT_THROW(Map.SaveToFile((Dir.Path / "no such folder" / "x.mp").string()), EZemError);
    EXPECT_EQ(zem::ReadWholeFile(File()), Before);
    EXPECT_EQ(std::distance(fs::directory_iterator(Dir.Path), fs::directory_iterator()), 1);
}

TEST_F(MapFileFixture, HostileCountsEndInTheMessageWithoutAllocating) {
    // Builds a stored frame around content written by hand.
    auto FileOf = [](const std::function<void(TBinaryWriter&)>& Fill) {
        TBinaryWriter W(0);
        Fill(W);
        std::vector<std::uint8_t> F(64, ' ');
        W.SaveToStream(F, 0);
        return F;
    };
    auto Header = [](TBinaryWriter& W, std::int32_t Count) {
        HeadlessHost H;
        TZemMap M(H);
        W.WriteInteger(Count);
        W.WriteInteger(0);
        W.WriteByte(23);
        for (int i = 0; i < 3; ++i)
            W.WriteSingle(1);
        W.WriteBoolean(0);
        W.WriteBoolean(0);
        for (int i = 0; i < 4; ++i)
            W.WriteSingle(100);
        W.WriteInteger(0);
        W.WriteSingle(100);
        W.WriteSingle(10000);
        W.WriteString("n");
        W.WriteInteger(50);
        W.WriteInteger(50);
        W.WriteBoolean(0);
        W.WriteInteger(0);
        for (int i = 0; i < 4; ++i)
            W.WriteSingle(1);
        W.WriteString("m");
        W.WriteSingle(100);
        W.WriteByte(3);
        W.WriteSingle(20);
        W.WriteBoolean(1);
    };
    const std::vector<std::vector<std::uint8_t>> Files = {
        FileOf([&](TBinaryWriter& W) { Header(W, 0x7FFFFFFF); }),
        FileOf([&](TBinaryWriter& W) {
            Header(W, 0);
            W.WriteInteger(0x7FFFFFF0); // an icon library larger than the file
        }),
        FileOf([&](TBinaryWriter& W) {
            Header(W, 0);
            W.WriteInteger(4);
            W.WriteInteger(0);
            W.WriteInteger(4);
            W.WriteInteger(0);
            W.WriteInteger(1);
            W.WriteBytes("\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 7); // a street of 4 GB
        }),
        FileOf([&](TBinaryWriter& W) {
            Header(W, 0);
            W.WriteInteger(4);
            W.WriteInteger(0x7FFFFFFF); // 2^31 icons in four bytes
        }),
        std::vector<std::uint8_t>(30, 0), // shorter than the header
    };
    for (size_t i = 0; i < Files.size(); ++i) {
        SCOPED_TRACE(i);
        HeadlessHost H;
        TZemMap M(H);
        EXPECT_FALSE(M.LoadFromBytes(Files[i]));
        EXPECT_EQ(H.Messages, (std::vector<std::string>{BadFile}));
        EXPECT_EQ(M.Count(), 0);
    }
}

TEST_F(MapFileFixture, AnObjectAtTheTopIdLoadsAndAddingRefuses) {
    Map.Doc.MaxID = INT32_MAX;
    TZemObject T;
    T.AddPoint(1, 2);
    Map.AddObject(T);
    ASSERT_TRUE(Loaded.LoadFromBytes(Bytes(Map)));
    EXPECT_TRUE(Loaded.ObjectExists(INT32_MAX));
    EXPECT_EQ(Loaded.Doc.MaxID, INT32_MAX);
    EXPECT_THROW(Loaded.AddObject(T), EZemError);
    EXPECT_EQ(Loaded.Count(), 1);
    EXPECT_GE(*std::min_element(Loaded.Doc.Order.begin(), Loaded.Doc.Order.end()), 0);
}

TEST_F(MapFileFixture, RunningOutOfMemoryIsReportedAsSuchAndLeavesNoHalfMap) {
    // A frame of 500 MB of zeros in a few KB: a fixed block of a literal and long matches of about 1 MB.
    codectest::TBits B;
    codectest::FixedHeader(B);
    codectest::Fixed(B, 0);
    for (int k = 0; k < 500; ++k) {
        codectest::Fixed(B, 286);
        B.Value(127, 8);
        B.Value(127, 8);
        B.Value(60, 7);
        B.Value(0, 6);
    }
    const std::vector<std::uint8_t> Packed = B.Packed(1 + 500 * (145 + 127 + 127 * 128 + 60 * 16384));
    std::vector<std::uint8_t> F(64, ' ');
    for (std::uint32_t V :
         {static_cast<std::uint32_t>(Packed.size() + 4), zem::Adler32(Packed.data(), Packed.size())})
        for (int k = 0; k < 4; ++k)
            F.push_back(static_cast<std::uint8_t>(V >> (8 * k)));
    F.insert(F.end(), Packed.begin(), Packed.end());
    Map.Doc.Streets = {"a"};
    memtest::ExpectWithin(256 << 20, [&] {
        return !Map.LoadFromBytes(F) &&
               Host.Messages == std::vector<std::string>{"Недостаточно памяти для загрузки карты."} &&
               Map.Doc.Streets.empty() && Map.Count() == 0;
    });
}

TEST_F(MapFileFixture, OnlyRegularFilesOfAMapFilesSizeAreRead) {
    auto ErrorOf = [this](const std::string& Path) {
        try {
            Loaded.LoadFromFile(Path);
            return std::string();
        } catch (const EZemError& E) {
            return std::string(E.what());
        }
    };
    const std::string Fifo = (Dir.Path / "fifo.mp").string();
    ASSERT_EQ(::mkfifo(Fifo.c_str(), 0600), 0);
    TZemObject Kept;
    Kept.AddPoint(1, 1);
    Loaded.AddObject(Kept);
    for (const std::string& Path : {std::string("/dev/zero"), Fifo, Dir.Path.string()})
        EXPECT_EQ(ErrorOf(Path), "Не удалось открыть файл \"" + Path + "\": это не обычный файл");
    EXPECT_EQ(Loaded.Count(), 1); // a file refused before reading leaves the open map as it was
    Map.SaveToFile(File());
    EXPECT_EQ(ErrorOf(File()), "");
    EXPECT_EQ(zem::ReadWholeFile(File(), fs::file_size(File())), zem::ReadWholeFile(File()));
    EXPECT_THROW(zem::ReadWholeFile(File(), fs::file_size(File()) - 1), EZemError);
}

TEST_F(MapFileFixture, RecordsAndOrderThatDisagreeAreRepairedAndReported) {
    for (int i = 0; i < 3; ++i) {
        TZemObject T;
        T.AddPoint(0, 0);
        Map.AddObject(T);
    }
    auto F = Bytes(Map);
    // Make the map file's order name ID 7 instead of 1 by editing the stored content.
    Map.Doc.Compression = 0;
    F = Bytes(Map);
    TBinaryReader R;
    ASSERT_TRUE(R.LoadFromStream(std::span(F).subspan(64)));
    std::vector<std::uint8_t> Content(R.Data(), R.Data() + R.Size());
    // Order IDs are the 3 integers before the first record; the first record starts with ID 0.
    const size_t RecordStart = Content.size() - size_t{3} * 136;
    (void)RecordStart;
    // Find "0,1,2" as three little-endian integers followed by the ID 0 of the first record.
    const std::uint8_t Pattern[] = {0, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0};
    auto It = std::search(Content.begin(), Content.end(), std::begin(Pattern), std::end(Pattern));
    ASSERT_NE(It, Content.end());
    It[4] = 7;
    TBinaryWriter W(0);
    W.WriteBytes(Content.data(), static_cast<std::int32_t>(Content.size()));
    std::vector<std::uint8_t> Bad(64, ' ');
    W.SaveToStream(Bad, 0);
    EXPECT_FALSE(Loaded.LoadFromBytes(Bad));
    EXPECT_EQ(Host2.Messages, (std::vector<std::string>{BadFile}));
    // Every stored object is drawable: the order names each exactly once.
    EXPECT_EQ(Loaded.Count(), 3);
    EXPECT_EQ(Loaded.Doc.Order.Count(), 3);
    for (std::int32_t ID : Loaded.Doc.Order)
        EXPECT_TRUE(Loaded.ObjectExists(ID));
}
