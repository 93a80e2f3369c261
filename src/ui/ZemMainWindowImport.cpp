// "Файл → Импорт…": OpenStreetMap extracts become a new, unsaved map. The import runs off the window
// thread; the status bar shows its phase and percentage, Escape cancels, and the window stays live.
#include "editing/ZemHistory.h"
#include "model/ZemText.h"
#include "ui/ZemImportJob.h"
#include "ui/ZemMainWindow.h"
#include "ui/ZemMapWidget.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QProgressBar>
#include <QSettings>
#include <QShortcut>
#include <QStatusBar>

namespace zem {

namespace {
constexpr auto kImportFilter = "Данные OpenStreetMap (*.pbf *.osm *.gz *.bz2);;Все файлы (*)";
constexpr auto kImportFolderKey = "ImportFolder";
} // namespace

void TfrmMain::CreateImportCommand() {
    QAction* Import = AddAction("actImport", QStringLiteral("Импорт..."));
    connect(Import, &QAction::triggered, this, [this] { CommandImport(); });
    // Escape reaches the import only while one runs; otherwise it belongs to the map's tools.
    FImportEscape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    FImportEscape->setContext(Qt::WindowShortcut);
    FImportEscape->setEnabled(false);
    connect(FImportEscape, &QShortcut::activated, this, [this] {
        if (FImport)
            FImport->Cancel();
    });
}

void TfrmMain::CommandImport() {
    if (FImport)
        return;
    QSettings Settings(QStringLiteral("ZemMap"), QStringLiteral("ZemMap"));
    QFileDialog Dialog(this, QStringLiteral("Импорт данных OpenStreetMap"),
                       Settings.value(QString::fromLatin1(kImportFolderKey)).toString(),
                       QString::fromUtf8(kImportFilter));
    Dialog.setFileMode(QFileDialog::ExistingFiles);
    Dialog.setAcceptMode(QFileDialog::AcceptOpen);
    Dialog.setOption(QFileDialog::ReadOnly);
    if (Dialog.exec() != QDialog::Accepted || Dialog.selectedFiles().isEmpty())
        return;
    Settings.setValue(QString::fromLatin1(kImportFolderKey),
                      QFileInfo(Dialog.selectedFiles().constFirst()).absolutePath());
    StartImport(Dialog.selectedFiles());
}

void TfrmMain::StartImport(const QStringList& Files) {
    if (FImport || Files.isEmpty())
        return;
    std::vector<std::filesystem::path> Inputs;
    for (const QString& F : Files)
        Inputs.emplace_back(QFile::encodeName(F).toStdString());
    FImportName = QFileInfo(Files.constFirst()).fileName();
    const QSize View = FMapWidget->size();
    FImport = std::make_unique<TZemImportJob>(std::move(Inputs), View.width(), View.height());
    connect(FImport.get(), &TZemImportJob::progress, this, [this](const QString& Phase, int Percent) {
        FProgress->setFormat(Phase + QStringLiteral(" %p%"));
        FProgress->setValue(Percent);
        FProgress->show();
    });
    connect(FImport.get(), &TZemImportJob::finished, this, &TfrmMain::FinishImport);
    FActions.at(QStringLiteral("actImport"))->setEnabled(false);
    FImportEscape->setEnabled(true);
    FProgress->setFormat(QStringLiteral("Импорт %p%"));
    FProgress->setValue(0);
    FProgress->show();
    statusBar()->showMessage(QStringLiteral("Импорт %1... (Esc — отменить)").arg(FImportName));
}

bool TfrmMain::ImportRunning() const {
    return FImport && FImport->Running();
}

void TfrmMain::FinishImport(bool Ok, const QString& Error, const QString& Summary) {
    std::vector<std::uint8_t> Bytes = FImport->TakeMapBytes();
    FImport.reset(); // the thread has ended: it sent this
    FImportEscape->setEnabled(false);
    FActions.at(QStringLiteral("actImport"))->setEnabled(true);
    FProgress->hide();
    statusBar()->clearMessage();
    if (!Ok) {
        if (Error.isEmpty())
            statusBar()->showMessage(QStringLiteral("Импорт отменён"), 5000);
        else
            ShowError(Error);
        return;
    }
    // The map that is open now may have changed while the import ran.
    if (!ConfirmDiscard())
        return;
    if (!FMap->LoadFromBytes(Bytes))
        return;
    FMap->SetCompression(3); // the transfer went unpacked; a file is saved at the usual level
    FFileName.clear();
    ForgetRecoveryCopy();
    // The import named the map after its first file, without the extensions of its format.
    FUntitledName = QString::fromStdString(ToUtf8(FMap->Doc.DocumentName)) + QStringLiteral(".mp");
    FMap->History().MarkUnsaved(); // it is in no file yet
    AfterDocumentReplaced();
    statusBar()->showMessage(
        QStringLiteral("Импорт: ") + QString(Summary).replace(QLatin1Char('\n'), QLatin1Char(' ')), 30000);
}

} // namespace zem
