#include "base/ZemFileWrite.h"
#include "base/ZemNumberText.h"
#include "model/ZemMap.h"
#include "platform/ZemHeadlessHost.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sstream>
#include <sys/resource.h>
#include <unistd.h>

using namespace zem;

namespace fs = std::filesystem;

namespace {

std::vector<std::string> SplitCrLf(const std::string& S) {
    std::vector<std::string> Lines;
    size_t Start = 0;
    while (Start < S.size()) {
        size_t End = S.find("\r\n", Start);
        EXPECT_NE(End, std::string::npos) << "line without CR LF";
        if (End == std::string::npos)
            break;
        Lines.push_back(S.substr(Start, End - Start));
        Start = End + 2;
    }
    return Lines;
}

struct TempDir {
    fs::path Path;
    TempDir() {
        Path = fs::temp_directory_path() / ("zemtest-" + std::to_string(::getpid()) + "-" +
                                            std::to_string(reinterpret_cast<std::uintptr_t>(this)));
        fs::create_directories(Path);
    }
    ~TempDir() { fs::remove_all(Path); }
};

} // namespace

TEST(GeneralFloatText, FixedScientificAndSeparator) {
    EXPECT_EQ(zem::GeneralFloatText(100.0L, ','), "100");
    EXPECT_EQ(zem::GeneralFloatText(0.5L, ','), "0,5");
    EXPECT_EQ(zem::GeneralFloatText(-2.25L, '.'), "-2.25");
    EXPECT_EQ(zem::GeneralFloatText(0.0L, '.'), "0");
    EXPECT_EQ(zem::GeneralFloatText(static_cast<long double>(0.1f), '.'), "0.100000001490116");
    EXPECT_EQ(zem::GeneralFloatText(0.00001L, '.'), "0.00001");
    EXPECT_EQ(zem::GeneralFloatText(0.000001L, '.'), "1E-6");
    EXPECT_EQ(zem::GeneralFloatText(1.5e-7L, '.'), "1.5E-7");
    EXPECT_EQ(zem::GeneralFloatText(123456789012345.0L, '.'), "123456789012345");
    EXPECT_EQ(zem::GeneralFloatText(1e15L, '.'), "1E15");
    EXPECT_EQ(zem::GeneralFloatText(static_cast<long double>(4.712389f), '.'), "4.71238899230957");
    EXPECT_EQ(zem::GeneralFloatText(999999999999999.9L, '.'), "1E15"); // rounding carries into a 16th digit
}

TEST(TextExport, NewMapWritesHeaderOptionsAndSettingsOnly) {
    HeadlessHost Host;
    TZemMap Map(Host);
    auto Lines = SplitCrLf(Map.ObjectsText('.'));
    std::vector<std::string> Expected = {
        "document Untitled map",
        "  object Options: TZemMapOptions",
        "    Option = 0",
        "    Option = 1",
        "    Option = 2",
        "    Option = 4",
        "    MaxID = 0",
        "    BackColor = 32768",
        "    Count = 0",
        "    DirectLineColor = 12632256",
        "    DirectLineX = 50",
        "    DirectLineY = 50",
        "    MaxPenWidth = 50",
        "    Scale = 100",
        "    LeftTop.X = 0",
        "    LeftTop.Y = 0",
        "    MaxScale = 10000",
        "    GlobalLeftTop.X = 0",
        "    GlobalLeftTop.Y = 0",
        "    GlobalWidthHeight.X = 400",
        "    GlobalWidthHeight.Y = 400",
        "    MeasureScale = 100",
        "    MinScaleAddress = 100",
        "end",
    };
    EXPECT_EQ(Lines, Expected);
}

TEST(TextExport, ObjectBlockLineByLine) {
    HeadlessHost Host;
    TZemMap Map(Host);
    TZemObject T;
    T.Kind = otLine;
    T.AddPoint(0.5f, -3);
    T.AddPoint(10, 20);
    T.Pen.Color = -16777201; // a system colour: the full 32-bit value is written
    T.Pen.Width = 2;
    T.Brush.Style = 0;
    TZemAddress A;
    A.Empty = false;
    A.Street = 3;
    A.Number = "12\xE0"; // "12а"
    T.SetAddress(A);
    Map.AddObject(T);
    Map.ObjectByID(0).SetText("\xD2\xE5\xEA\xF1\xF2"); // "Текст"
    Map.ObjectByID(0).SetCategory(2);
    Map.ObjectByID(0).Lock = false;
    // A line takes no font from its template: set it on the stored object.
    Map.ObjectByID(0).Font.Style = fsItalic | fsStrikeOut;
    Map.ObjectByID(0).Font.Name = "Arial";

    const int Before = Host.ProcessMessagesCount;
    auto Lines = SplitCrLf(Map.ObjectsText(','));
    EXPECT_EQ(Host.ProcessMessagesCount, Before + 1);
    auto Begin = std::find(Lines.begin(), Lines.end(), "  object 0: otLine");
    ASSERT_NE(Begin, Lines.end());
    std::vector<std::string> Block(Begin, Lines.end());
    std::vector<std::string> Expected = {
        "  object 0: otLine",
        "    Text = \xD2\xE5\xEA\xF1\xF2",
        "    PointCount = 2",
        "    BlinkInterval = 500",
        "    Angle = 0",
        "    Height3D = 0",
        "    Category = 2",
        "    LeftTop.X = -0,5",
        "    LeftTop.Y = -4",
        "    RightBottom.X = 11",
        "    RightBottom.Y = 21",
        "    Visible = -1",
        "    Lock = 0",
        "    property Points: TXYPoints",
        "      X[0] = 0,5",
        "      Y[0] = -3",
        "      X[1] = 10",
        "      Y[1] = 20",
        "    end",
        "    property Pen: TZemPen",
        "      Color = -16777201",
        "      Style = 0",
        "      Flags = 0",
        "      Width = 2",
        "    end",
        "    property Brush: TZemBrush",
        "      Color = 0",
        "      Style = 0",
        "    end",
        "    property Font: TZemFont",
        "      Color = 16777215",
        "      Size = 16",
        "      Charset = 0",
        "      Name = Arial",
        "      Bold = 0",
        "      Italic = -1",
        "      Underline = 0",
        "      StrikeOut = -1",
        "    end",
        "    property Address: TZemAddress",
        "      Index = -1",
        "      City = -1",
        "      Street = 3",
        "      Street2 = -1",
        "      Area = -1",
        "      Number = 12\xE0",
        "      Number2 = ",
        "    end",
        "  end",
        "end",
    };
    ASSERT_EQ(Block.size(), Expected.size());
    for (size_t i = 0; i < Expected.size(); ++i)
        EXPECT_EQ(Block[i], Expected[i]) << "line " << i;
}

TEST(TextExport, WritesTheSixFilesIntoANewFolder) {
    TempDir Dir;
    HeadlessHost Host;
    TZemMap Map(Host);
    Map.Doc.Streets = {"\xC0", "B"};
    Map.Doc.ObjectTypes = {"House"};
    const fs::path Folder = Dir.Path / "export";
    Map.ExportText(Folder.string(), '.');
    EXPECT_EQ(zem::ReadWholeFile((Folder / "DBStreets.txt").string()), "\xC0\r\nB\r\n");
    EXPECT_EQ(zem::ReadWholeFile((Folder / "DBObjects.txt").string()), "House\r\n");
    for (const char* Empty : {"DBIndexes.txt", "DBCitys.txt", "DBAreas.txt"})
        EXPECT_EQ(fs::file_size(Folder / Empty), 0u) << Empty;
    EXPECT_EQ(zem::ReadWholeFile((Folder / "Objects.txt").string()).rfind("end\r\n"),
              fs::file_size(Folder / "Objects.txt") - 5);
    // Exporting again replaces the files.
    Map.Doc.Streets = {"C"};
    Map.ExportText(Folder.string(), '.');
    EXPECT_EQ(zem::ReadWholeFile((Folder / "DBStreets.txt").string()), "C\r\n");
    // A folder that cannot be created raises and writes nothing.
    EXPECT_THROW(Map.ExportText((Dir.Path / "missing" / "deeper").string(), '.'), EZemError);
}

TEST(TextExport, WritesTheGivenDecimalSeparator) {
    TempDir Dir;
    const fs::path Folder = Dir.Path / "export";
    HeadlessHost Host;
    TZemMap Map(Host);
    TZemObject T;
    T.Kind = otLine;
    T.AddPoint(0.5f, 1);
    T.AddPoint(2, 3);
    Map.AddObject(T);
    Map.ExportText(Folder.string(), ',');
    const std::string Objects = zem::ReadWholeFile((Folder / "Objects.txt").string());
    EXPECT_NE(Objects.find("      X[0] = 0,5\r\n"), std::string::npos);
    EXPECT_NE(Objects.find("    Scale = 100\r\n"), std::string::npos);
}

TEST(AtomicWrite, FailedWriteLeavesTheTargetAndNoTemporaryFile) {
    TempDir Dir;
    const fs::path Target = Dir.Path / "map.mp";
    zem::WriteFileAtomically(Target.string(), "good");

    // Make the write itself fail half-way: files may not grow past 1000 bytes for a moment.
    struct rlimit Old;
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &Old), 0);
    auto OldSignal = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit Small = Old;
    Small.rlim_cur = 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &Small), 0);
    bool Threw = false;
    try {
        zem::WriteFileAtomically(Target.string(), std::string(5000, 'x'));
    } catch (const EZemError&) {
        Threw = true;
    }
    ::setrlimit(RLIMIT_FSIZE, &Old);
    std::signal(SIGXFSZ, OldSignal);
    EXPECT_TRUE(Threw);
    EXPECT_EQ(zem::ReadWholeFile(Target.string()), "good");
    EXPECT_EQ(std::distance(fs::directory_iterator(Dir.Path), fs::directory_iterator()), 1);

    // A target that is a folder cannot be replaced: the temporary file goes away too.
    fs::create_directory(Dir.Path / "folder");
    fs::create_directory(Dir.Path / "folder" / "inside");
    EXPECT_THROW(zem::WriteFileAtomically((Dir.Path / "folder").string(), "x"), EZemError);
    EXPECT_EQ(std::distance(fs::directory_iterator(Dir.Path), fs::directory_iterator()), 2);
    EXPECT_THROW(zem::ReadWholeFile((Dir.Path / "nothing").string()), EZemError);
}
