// The text export: a readable dump of the map's settings and objects, and one list file per address and
// object-type directory. Windows-1251 text, every line ending in CR LF.
#include "base/ZemFileWrite.h"
#include "base/ZemNumberText.h"
#include "model/ZemMap.h"
#include "model/ZemSettings.h"
#include "platform/ZemHost.h"

#include <cerrno>
#include <string>
#include <sys/stat.h>
#include <type_traits>

namespace zem {

namespace {

class TLines {
public:
    explicit TLines(char Separator) : FSep(Separator) {}
    void Line(const std::string& S) {
        Text += S;
        Text += "\r\n";
    }
    void Int(const char* Name, long long V) { Line(Name + std::to_string(V)); }
    void Bool(const char* Name, bool V) { Line(std::string(Name) + (V ? "-1" : "0")); }
    void Float(const char* Name, float V) {
        Line(Name + GeneralFloatText(static_cast<long double>(V), FSep));
    }
    void Str(const char* Name, const ZemString& V) { Line(Name + V); }
    std::string Text;

private:
    char FSep;
};

void ExportObject(TLines& L, const TZemObject& O) {
    L.Line("  object " + std::to_string(O.ID) + ": " + ObjectKindName(O.Kind));
    L.Str("    Text = ", O.Text());
    L.Int("    PointCount = ", O.PointCount());
    L.Int("    BlinkInterval = ", O.BlinkInterval());
    L.Float("    Angle = ", O.Angle());
    L.Float("    Height3D = ", O.Height3D());
    L.Int("    Category = ", O.Category());
    L.Float("    LeftTop.X = ", O.LeftTop.X);
    L.Float("    LeftTop.Y = ", O.LeftTop.Y);
    L.Float("    RightBottom.X = ", O.RightBottom.X);
    L.Float("    RightBottom.Y = ", O.RightBottom.Y);
    L.Bool("    Visible = ", O.Visible);
    L.Bool("    Lock = ", O.Lock);
    L.Line("    property Points: TXYPoints");
    for (std::int32_t i = 0; i < O.PointCount(); ++i) {
        const std::string n = std::to_string(i);
        L.Float(("      X[" + n + "] = ").c_str(), O.Point(i).X);
        L.Float(("      Y[" + n + "] = ").c_str(), O.Point(i).Y);
    }
    L.Line("    end");
    L.Line("    property Pen: TZemPen");
    L.Int("      Color = ", O.Pen.Color);
    L.Int("      Style = ", O.Pen.Style);
    L.Int("      Flags = ", O.Pen.Flags);
    L.Int("      Width = ", O.Pen.Width);
    L.Line("    end");
    L.Line("    property Brush: TZemBrush");
    L.Int("      Color = ", O.Brush.Color);
    L.Int("      Style = ", O.Brush.Style);
    L.Line("    end");
    L.Line("    property Font: TZemFont");
    L.Int("      Color = ", O.Font.Color);
    L.Int("      Size = ", O.Font.Size);
    L.Int("      Charset = ", O.Font.Charset);
    L.Str("      Name = ", O.Font.Name);
    L.Bool("      Bold = ", O.Font.Style & fsBold);
    L.Bool("      Italic = ", O.Font.Style & fsItalic);
    L.Bool("      Underline = ", O.Font.Style & fsUnderline);
    L.Bool("      StrikeOut = ", O.Font.Style & fsStrikeOut);
    L.Line("    end");
    L.Line("    property Address: TZemAddress");
    const TZemAddress& A = O.Address();
    L.Int("      Index = ", A.Index);
    L.Int("      City = ", A.City);
    L.Int("      Street = ", A.Street);
    L.Int("      Street2 = ", A.Street2);
    L.Int("      Area = ", A.Area);
    L.Str("      Number = ", A.Number);
    L.Str("      Number2 = ", A.Number2);
    L.Line("    end");
    L.Line("  end");
}

// One setting of the options block: "    Name = value", a point as its X and Y lines, the option byte
// as one line per set bit 0 ... 5.
template <class TRow, class T> void ExportSetting(TLines& L, const TRow& Row, const T& V) {
    std::string Name = std::string("    ") + Row.Name;
    if constexpr (std::is_same_v<T, TXYPoint>) {
        L.Float((Name + ".X = ").c_str(), V.X);
        L.Float((Name + ".Y = ").c_str(), V.Y);
    } else {
        const char* Label = (Name += " = ").c_str();
        if constexpr (std::is_same_v<T, float>)
            L.Float(Label, V);
        else if constexpr (std::is_same_v<T, bool>)
            L.Bool(Label, V);
        else if constexpr (std::is_same_v<T, ZemString>)
            L.Str(Label, V);
        else if (Row.Has(kBits)) {
            for (int Bit = 0; Bit <= 5; ++Bit)
                if ((V >> Bit) & 1)
                    L.Int(Label, Bit);
        } else
            L.Int(Label, V);
    }
}

std::string DirectoryText(const TZemDirectory& D) {
    std::string S;
    for (const ZemString& E : D) {
        S += E;
        S += "\r\n";
    }
    return S;
}

std::string JoinPath(const std::string& Folder, const char* Name) {
    if (!Folder.empty() && Folder.back() == '/')
        return Folder + Name;
    return Folder + "/" + Name;
}

} // namespace

std::string TZemMap::ObjectsText(char DecimalSeparator) {
    TLines L(DecimalSeparator);
    L.Str("document ", Doc.DocumentName);
    L.Line("  object Options: TZemMapOptions");
    for (int Line = 1; Line <= kExportLines; ++Line)
        ForEachSetting([&](const auto& Row) {
            if (Row.ExportLine == Line)
                ExportSetting(L, Row, Row.In(*this));
        });
    for (std::int32_t ID : Doc.Order) {
        ExportObject(L, ObjectByID(ID));
        // A long export must not freeze the window.
        FHost.ProcessMessages();
    }
    L.Line("end");
    return std::move(L.Text);
}

void TZemMap::ExportText(const std::string& Folder, char DecimalSeparator) {
    const std::string Objects = ObjectsText(DecimalSeparator);
    if (::mkdir(Folder.c_str(), 0777) != 0 && errno != EEXIST)
        throw EZemError("Не удалось создать папку \"" + Folder + "\": " + SystemErrorText(errno));
    WriteFileAtomically(JoinPath(Folder, "Objects.txt"), Objects);
    WriteFileAtomically(JoinPath(Folder, "DBStreets.txt"), DirectoryText(Doc.Streets));
    WriteFileAtomically(JoinPath(Folder, "DBIndexes.txt"), DirectoryText(Doc.Indexes));
    WriteFileAtomically(JoinPath(Folder, "DBCitys.txt"), DirectoryText(Doc.Cities));
    WriteFileAtomically(JoinPath(Folder, "DBAreas.txt"), DirectoryText(Doc.Areas));
    WriteFileAtomically(JoinPath(Folder, "DBObjects.txt"), DirectoryText(Doc.ObjectTypes));
}

} // namespace zem
