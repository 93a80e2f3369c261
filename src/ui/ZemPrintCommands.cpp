#include "ui/ZemPrintCommands.h"

#include "model/ZemMap.h"
#include "ui/ZemMessageBox.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPageSetupDialog>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <exception>
#include <vector>

namespace zem {

namespace {

const QPageSize::PageSizeId kPapers[] = {QPageSize::A4, QPageSize::A3, QPageSize::A5, QPageSize::Letter,
                                         QPageSize::Legal};

QString JobTitle(const QString& DocumentFile) {
    const QString Name =
        DocumentFile.isEmpty() ? QStringLiteral("Карта города") : QFileInfo(DocumentFile).completeBaseName();
    return QStringLiteral("ZemMap: ") + Name;
}

} // namespace

TZemPrintSetup::TZemPrintSetup(QObject* Parent)
    : QObject(Parent), FPrinter(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    setObjectName(QStringLiteral("PrintSetup"));
    Pdf.Paper = PrinterPaper(FPrinter.get());
}

TZemPrintSetup::~TZemPrintSetup() = default;

TZemPrintSetup& TZemPrintSetup::Of(QWidget* Window) {
    if (auto* Setup =
            Window->findChild<TZemPrintSetup*>(QStringLiteral("PrintSetup"), Qt::FindDirectChildrenOnly))
        return *Setup;
    return *new TZemPrintSetup(Window); // owned by the window
}

TfrmPdfExport::TfrmPdfExport(const TZemPdfOptions& Options, QWidget* Parent)
    : QDialog(Parent), FBase(Options) {
    setObjectName(QStringLiteral("frmPdfExport"));
    setWindowTitle(QStringLiteral("Экспорт в PDF"));

    FPaper = new QComboBox(this);
    FPaper->setObjectName(QStringLiteral("PaperBox"));
    for (QPageSize::PageSizeId Id : kPapers) {
        const QPageSize Size(Id);
        FPaper->addItem(Size.name(), static_cast<int>(Id));
        if (Size.isEquivalentTo(Options.Paper))
            FPaper->setCurrentIndex(FPaper->count() - 1);
    }

    auto Group = [this](const QString& Title, const QStringList& Items, int Checked, QButtonGroup*& Buttons) {
        auto* Box = new QGroupBox(Title, this);
        auto* Column = new QVBoxLayout(Box);
        Buttons = new QButtonGroup(Box);
        for (int i = 0; i < Items.size(); ++i) {
            auto* B = new QRadioButton(Items[i], Box);
            B->setChecked(i == Checked);
            Buttons->addButton(B, i);
            Column->addWidget(B);
        }
        return Box;
    };
    const bool Landscape = Options.Orientation == TZemPageOrientation::poLandscape;
    QGroupBox* OrientationBox =
        Group(QStringLiteral("Ориентация"), {QStringLiteral("Книжная"), QStringLiteral("Альбомная")},
              Landscape ? 1 : 0, FOrientation);
    QGroupBox* ModeBox =
        Group(QStringLiteral("Карта на странице"),
              {QStringLiteral("Как при печати: в масштабе карты, от левого верхнего угла вида"),
               QStringLiteral("Вписать вид карты в страницу")},
              Options.Fit ? 1 : 0, FMode);

    auto* Form = new QFormLayout;
    Form->addRow(QStringLiteral("Размер бумаги:"), FPaper);
    auto* Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    Buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Сохранить..."));
    Buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
    connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* Layout = new QVBoxLayout(this);
    Layout->addLayout(Form);
    Layout->addWidget(OrientationBox);
    Layout->addWidget(ModeBox);
    Layout->addWidget(Buttons);
}

TZemPdfOptions TfrmPdfExport::Options() const {
    TZemPdfOptions O = FBase;
    O.Paper = QPageSize(static_cast<QPageSize::PageSizeId>(FPaper->currentData().toInt()));
    O.Orientation =
        FOrientation->checkedId() == 1 ? TZemPageOrientation::poLandscape : TZemPageOrientation::poPortrait;
    O.Fit = FMode->checkedId() == 1;
    return O;
}

void CommandPrintPreview(TZemMap& Map, const QString& DocumentFile, QWidget* Window) {
    // Windows that stay on top (the mini-map) would cover the preview, and have nothing to do meanwhile.
    std::vector<QPointer<QWidget>> Hidden;
    for (QWidget* W : QApplication::topLevelWidgets()) {
        if (W != Window && W->isVisible() && W->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
            W->hide();
            Hidden.emplace_back(W);
        }
    }
    struct TShowAgain {
        std::vector<QPointer<QWidget>>& List;
        ~TShowAgain() {
            for (const QPointer<QWidget>& W : List)
                if (W)
                    W->show();
        }
    } ShowAgain{Hidden};
    PrintPreview(Map, TZemPrintSetup::Of(Window).Printer(), JobTitle(DocumentFile), Window);
}

void CommandPrintSettings(QWidget* Window) {
    QPageSetupDialog Dialog(&TZemPrintSetup::Of(Window).Printer(), Window);
    Dialog.setWindowTitle(QStringLiteral("Параметры печати"));
    Dialog.exec();
}

bool CommandExportPdf(TZemMap& Map, const QString& DocumentFile, QWidget* Window) {
    TZemPrintSetup& Setup = TZemPrintSetup::Of(Window);
    TfrmPdfExport Choice(Setup.Pdf, Window);
    if (Choice.exec() != QDialog::Accepted)
        return false;
    Setup.Pdf = Choice.Options();
    const QString Base =
        DocumentFile.isEmpty() ? QStringLiteral("Карта города") : QFileInfo(DocumentFile).completeBaseName();
    const QString Folder = !Setup.PdfFolder.isEmpty() ? Setup.PdfFolder
                           : DocumentFile.isEmpty()   ? QDir::homePath()
                                                      : QFileInfo(DocumentFile).absolutePath();
    QFileDialog Dialog(Window, QStringLiteral("Экспорт в PDF"),
                       QDir(Folder).filePath(Base + QStringLiteral(".pdf")),
                       QStringLiteral("PDF (*.pdf *.PDF)"));
    Dialog.setAcceptMode(QFileDialog::AcceptSave);
    Dialog.setDefaultSuffix(QStringLiteral("pdf"));
    if (Dialog.exec() != QDialog::Accepted || Dialog.selectedFiles().isEmpty())
        return false;
    const QString Name = Dialog.selectedFiles().constFirst();
    Setup.PdfFolder = QFileInfo(Name).absolutePath();
    TZemPdfOptions Options = Setup.Pdf;
    Options.Title = JobTitle(DocumentFile);
    try {
        WriteMapPdf(Map, CurrentPageView(Map), Name, Options);
    } catch (const std::exception& E) {
        ShowErrorBox(Window, QString::fromStdString(E.what()));
        return false;
    }
    return true;
}

} // namespace zem
