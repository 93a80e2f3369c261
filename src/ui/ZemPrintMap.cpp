#include "ui/ZemPrintMap.h"

#include "base/ZemErrors.h"
#include "model/ZemMap.h"
#include "platform/ZemHeadlessHost.h"
#include "ui/ZemPagePreview.h"
#include "ui/ZemPreviewWindow.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>

#include <cmath>
#include <cstdio>

namespace zem {

namespace {

// The wait cursor while a page is composed: a few dozen frames at print resolution take a moment.
class TBusy {
public:
    TBusy() {
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~TBusy() {
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            QGuiApplication::restoreOverrideCursor();
    }
    TBusy(const TBusy&) = delete;
    TBusy& operator=(const TBusy&) = delete;
};

// The surface's pixels as an image, without a copy; the surface must outlive it.
QImage AsImage(const TBitmap32& B) {
    return QImage(reinterpret_cast<const uchar*>(B.Bits()), B.Width(), B.Height(),
                  static_cast<qsizetype>(B.Width()) * 4, QImage::Format_RGB32);
}

// The map's picture of W x H screen pixels from View, at Factor output pixels per screen pixel.
TBitmap32 ComposeAt(TZemMap& Map, const TZemPageView& View, double W, double H, double Factor) {
    TBitmap32 Image;
    Image.SetSize(static_cast<int>(std::ceil(W * Factor)), static_cast<int>(std::ceil(H * Factor)));
    ComposeMapImage(Map, View, Factor, Image);
    return Image;
}

TZemPageSize PaperPageSize(const QPageSize& Paper, TZemPageOrientation Orientation) {
    const QSizeF Points = Paper.size(QPageSize::Point);
    return PageSizeFromPrinter(72, 72, Points.width(), Points.height(), Orientation);
}

} // namespace

void ComposeMapPreview(TZemMap& Map, TZemPagePreview& Preview) {
    TBusy Busy;
    Preview.Clear();
    QPainter* Canvas = Preview.NewPage();
    const TZemPageSize Page = Preview.PageSize();
    const int W = Page.Width - Preview.MarginRight - Preview.MarginLeft;
    const int H = Page.Height - Preview.MarginTop - Preview.MarginBottom;
    if (W > 0 && H > 0) {
        const TBitmap32 Image = ComposeAt(Map, CurrentPageView(Map), W, H, 1.0);
        Canvas->drawImage(QPoint(Preview.MarginLeft, Preview.MarginTop), AsImage(Image));
    }
    Preview.EndPage();
}

void PaintMapPage(QPainter& P, TZemMap& Map, const TZemPageView& View, TZemPageSize Page,
                  const TZemPageMargins& Margins, const QRectF& Target) {
    const int W = Page.Width - Margins.Right - Margins.Left;
    const int H = Page.Height - Margins.Top - Margins.Bottom;
    if (W <= 0 || H <= 0 || Target.isEmpty())
        return;
    TBusy Busy;
    // Device pixels per page pixel, the same across and down: a page composed for other paper is not
    // stretched, it keeps its shape from the paper's top-left corner.
    const double SX = std::min(Target.width() / Page.Width, Target.height() / Page.Height), SY = SX;
    const double Factor = PrintFactor(SX * kScreenDpi, W, H);
    const TBitmap32 Image = ComposeAt(Map, View, W, H, Factor);
    // Exactly the part of the world the preview shows, over exactly its place on the page.
    P.save();
    P.setRenderHint(QPainter::SmoothPixmapTransform);
    P.setRenderHint(QPainter::LosslessImageRendering);
    P.drawImage(QRectF(Target.left() + Margins.Left * SX, Target.top() + Margins.Top * SY, W * SX, H * SY),
                AsImage(Image), QRectF(0, 0, W * Factor, H * Factor));
    P.restore();
}

void PrintPreview(TZemMap& Map, QPrinter& Printer, const QString& Title, QWidget* Parent) {
    TfrmZemPreview Window(Printer, Parent);
    TZemPagePreview& Preview = *Window.Preview();
    Preview.Title = Title;
    Preview.SetPrinter(&Printer);
    // The page shows the view as it is now; printing renders the same part of the world again, finer.
    const TZemPageView View = CurrentPageView(Map);
    Preview.OnPrintPage = [&](QPainter& P, int, const QRectF& Target, double) {
        const TZemPageMargins Margins{Preview.MarginLeft, Preview.MarginTop, Preview.MarginRight,
                                      Preview.MarginBottom};
        PaintMapPage(P, Map, View, Preview.PageSize(), Margins, Target);
    };
    Window.OnOrientation = [&](TZemPageOrientation Orientation) {
        Preview.SetPageOrientation(Orientation);
        ComposeMapPreview(Map, Preview);
        Window.RefreshStatus();
    };
    Window.SetOrientation(Printer.pageLayout().orientation() == QPageLayout::Landscape
                              ? TZemPageOrientation::poLandscape
                              : TZemPageOrientation::poPortrait);
    Preview.ZoomActualSize();
    Window.RefreshStatus();
    // Maximised by its state: a window shown before exec would not be modal.
    Window.setWindowState(Window.windowState() | Qt::WindowMaximized);
    Window.exec();
}

QPageSize PrinterPaper(const QPrinter* Printer) {
    if (Printer)
        return Printer->pageLayout().pageSize();
    const QPrinter Default;
    return Default.pageLayout().pageSize();
}

void WriteMapPdf(TZemMap& Map, const TZemPageView& View, const QString& FileName,
                 const TZemPdfOptions& Options) {
    constexpr int kPdfDpi = 300;
    const auto Fail = [&](const QString& Why) {
        throw EZemError(("Не удалось записать PDF \"" + FileName + "\": " + Why).toStdString());
    };
    QSaveFile File(FileName);
    if (!File.open(QIODevice::WriteOnly))
        Fail(File.errorString());
    {
        QPdfWriter Writer(&File);
        Writer.setResolution(kPdfDpi);
        Writer.setTitle(Options.Title);
        Writer.setCreator(QStringLiteral("ZemMap"));
        const bool Landscape = Options.Orientation == TZemPageOrientation::poLandscape;
        Writer.setPageLayout(QPageLayout(Options.Paper,
                                         Landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                         QMarginsF(0, 0, 0, 0)));
        QPainter P;
        if (!P.begin(&Writer))
            Fail(QStringLiteral("PDF не создаётся"));
        const QRectF Target(0, 0, Writer.width(), Writer.height());
        const TZemPageSize Page = PaperPageSize(Options.Paper, Options.Orientation);
        const TZemPageMargins Margins;
        if (!Options.Fit) {
            PaintMapPage(P, Map, View, Page, Margins, Target);
        } else {
            // The control's view, as large as the page inside its margins allows, centred there.
            const double SX = Target.width() / Page.Width, SY = Target.height() / Page.Height;
            const QRectF Inner(Margins.Left * SX, Margins.Top * SY,
                               (Page.Width - Margins.Left - Margins.Right) * SX,
                               (Page.Height - Margins.Top - Margins.Bottom) * SY);
            const double W = Map.Width(), H = Map.Height();
            if (W > 0 && H > 0 && !Inner.isEmpty()) {
                const double Fit = std::min(Inner.width() / W, Inner.height() / H); // device px per screen px
                const double Factor = std::min(Fit, std::sqrt(static_cast<double>(kMaxPagePixels) / (W * H)));
                TBusy Busy;
                const TBitmap32 Image = ComposeAt(Map, View, W, H, Factor);
                const QSizeF Size(W * Fit, H * Fit);
                const QRectF Place(Inner.center() - QPointF(Size.width() / 2, Size.height() / 2), Size);
                P.setRenderHint(QPainter::SmoothPixmapTransform);
                P.setRenderHint(QPainter::LosslessImageRendering);
                P.drawImage(Place, AsImage(Image), QRectF(0, 0, W * Factor, H * Factor));
            }
        }
        if (!P.end())
            Fail(QStringLiteral("PDF не дописан"));
    }
    if (!File.commit())
        Fail(File.errorString());
}

namespace {

const char* const kPrintPdfUsage = "Использование: zemmap --print-pdf ВЫХОД.pdf [--fit] ФАЙЛ.mp\n"
                                   "  Печатает страницу карты в PDF, как команда печати, без окна.\n"
                                   "  --fit   вписать вид карты в страницу вместо печати в масштабе карты\n";

int Usage(const QString& Why) {
    std::fprintf(stderr, "zemmap: %s\n%s", Why.toUtf8().constData(), kPrintPdfUsage);
    return 2;
}

} // namespace

int PrintPdfCommand(const QStringList& Args) {
    QString Out, MapFile;
    bool Fit = false;
    for (qsizetype i = 0; i < Args.size(); ++i) {
        const QString& A = Args[i];
        if (A == QLatin1String("--help") || A == QLatin1String("-h")) {
            std::fputs(kPrintPdfUsage, stdout);
            return 0;
        } else if (A == QLatin1String("--print-pdf")) {
            if (i + 1 >= Args.size() || !Out.isEmpty())
                return Usage(QStringLiteral("параметру \"--print-pdf\" нужно одно имя файла PDF"));
            Out = Args[++i];
        } else if (A == QLatin1String("--fit")) {
            Fit = true;
        } else if (A.startsWith(QLatin1Char('-'))) {
            return Usage(QStringLiteral("неизвестный параметр \"%1\"").arg(A));
        } else if (!MapFile.isEmpty()) {
            return Usage(QStringLiteral("лишний аргумент \"%1\"").arg(A));
        } else {
            MapFile = A;
        }
    }
    if (MapFile.isEmpty())
        return Usage(QStringLiteral("не указан аргумент ФАЙЛ.mp"));
    HeadlessHost Host;
    TZemMap Map(Host);
    const QByteArray Local = QFile::encodeName(MapFile);
    bool Loaded = false;
    try {
        Map.SetAutoUpdate(false); // one frame at the end, once the view is set
        Loaded = Map.LoadFromFile(Local.toStdString());
    } catch (const std::exception& E) {
        Host.Messages.emplace_back(E.what());
    }
    if (!Loaded) {
        for (const std::string& M : Host.Messages)
            std::fprintf(stderr, "zemmap: \"%s\": %s\n", Local.constData(), M.c_str());
        if (Host.Messages.empty())
            std::fprintf(stderr, "zemmap: \"%s\": не удалось прочитать карту\n", Local.constData());
        return 1;
    }
    // The window the map was saved from: its view at its scale, that many pixels.
    const TZemPageView Saved = CurrentPageView(Map);
    auto Side = [&](float Extent) {
        const double Pixels = std::round(static_cast<double>(Extent) * Saved.Scale / 100);
        return std::isfinite(Pixels) && Pixels >= 1 ? static_cast<int>(std::min(Pixels, 4096.0)) : 800;
    };
    Map.Resize(Side(Saved.ViewWidthHeight.X), Side(Saved.ViewWidthHeight.Y));
    Map.SetView(TXYPoint{Saved.LeftTop.X + Saved.ViewWidthHeight.X / 2,
                         Saved.LeftTop.Y + Saved.ViewWidthHeight.Y / 2},
                Saved.Scale > 0 ? Saved.Scale : 100.0f);
    Map.SetAutoUpdate(true);
    TZemPdfOptions Options;
    Options.Paper = PrinterPaper(nullptr);
    Options.Fit = Fit;
    Options.Title = QFileInfo(MapFile).completeBaseName();
    try {
        WriteMapPdf(Map, CurrentPageView(Map), Out, Options);
    } catch (const std::exception& E) {
        std::fprintf(stderr, "zemmap: %s\n", E.what());
        return 1;
    }
    return 0;
}

} // namespace zem
