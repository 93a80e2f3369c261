// "Файл → Импорт…": OpenStreetMap extracts and timetables become a new, unsaved map, or a timetable is
// added to the open map as one undo step. The import runs off the window thread; the status bar shows
// its phase and percentage, Escape cancels, and the window stays live.
#include "editing/ZemHistory.h"
#include "base/ZemErrors.h"
#include "base/ZemText.h"
#include "import/ZemImportStep.h"
#include "platform/ZemHeadlessHost.h"
#include "ui/ZemImportJob.h"
#include "ui/ZemMainWindow.h"
#include "ui/ZemMapWidget.h"
#include "ui/ZemNetworkPage.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QProgressBar>
#include <QSettings>
#include <QShortcut>
#include <QStatusBar>

#include <algorithm>

namespace zem {

namespace {
// A timetable kept as a folder is chosen by any of its tables.
constexpr auto kImportFilter = "Данные OpenStreetMap и расписания GTFS (*.pbf *.osm *.gz *.bz2 *.zip *.txt);;"
                               "Все файлы (*)";
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
    QFileDialog Dialog(this, QStringLiteral("Импорт данных OpenStreetMap и расписаний GTFS"),
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

namespace {

bool IsFeed(const std::filesystem::path& Path) {
    try {
        return std::string(RecogniseInput(Path).Name) == "GTFS";
    } catch (const EZemError&) {
        return false;
    }
}

} // namespace

std::vector<std::int64_t> TfrmMain::MapStamp() const {
    return {FMap->Doc.MaxID, FMap->Count(), static_cast<std::int64_t>(FMap->History().Position()),
            static_cast<std::int64_t>(FMap->History().StepCount()), FMap->Modified()};
}

void TfrmMain::StartImport(const QStringList& Files) {
    if (FImport || Files.isEmpty())
        return;
    std::vector<std::filesystem::path> Inputs;
    bool Feed = false;
    for (const QString& F : Files) {
        std::filesystem::path P = QFile::encodeName(F).toStdString();
        // A table of a timetable kept as a folder stands for its folder.
        if (P.extension() == ".txt")
            P = P.parent_path();
        if (std::find(Inputs.begin(), Inputs.end(), P) != Inputs.end())
            continue;
        Feed = Feed || IsFeed(P);
        Inputs.push_back(std::move(P));
    }
    FImportAdds = false;
    std::vector<std::uint8_t> Base;
    if (Feed && FMap->Count() > 0) {
        const TZemMsgResult Answer = FMapWidget->ShowMessage(
            "Добавить расписание в открытую карту?\n\n«Да» — в эту карту, на её план (это можно будет "
            "отменить одним шагом), «Нет» — в новую карту.",
            "Импорт", TZemMsgButtons::mbYesNoCancel);
        if (Answer != TZemMsgResult::mrYes && Answer != TZemMsgResult::mrNo)
            return;
        FImportAdds = Answer == TZemMsgResult::mrYes;
    }
    if (FImportAdds) {
        // The copy travels unpacked: it is read back at once.
        const std::uint8_t Level = FMap->Doc.Compression;
        FMap->Doc.Compression = 0;
        Guarded([&] { Base = FMap->SaveToBytes(); });
        FMap->Doc.Compression = Level;
        if (Base.empty())
            return;
        FImportStamp = MapStamp();
    }
    FImportName = QFileInfo(Files.constFirst()).fileName();
    const QSize View = FMapWidget->size();
    FImport =
        std::make_unique<TZemImportJob>(std::move(Inputs), View.width(), View.height(), std::move(Base));
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
    if (FImportAdds) {
        // The import went into a copy of the map as it was; had the map changed meanwhile, the copy's
        // new objects could take IDs the map has given since.
        if (MapStamp() != FImportStamp) {
            ShowError(QStringLiteral("Карта изменилась, пока шёл импорт: расписание не добавлено. "
                                     "Повторите импорт."));
            return;
        }
        std::int32_t Added = 0;
        Guarded([&] {
            HeadlessHost Host;
            TZemMap Imported(Host);
            if (!Imported.LoadFromBytes(Bytes))
                throw EZemError("Не удалось прочитать результат импорта");
            Added = AddImportedAsStep(*FMap, Imported);
        });
        FNetworkPage->ReloadDirectories();
        SyncViewMenu();
        UpdateCaption();
        statusBar()->showMessage(QStringLiteral("Импорт: добавлено объектов %1. ").arg(Added) +
                                     QString(Summary).replace(QLatin1Char('\n'), QLatin1Char(' ')),
                                 30000);
        return;
    }
    // The map that is open now may have changed while the import ran.
    if (!ConfirmDiscard())
        return;
    if (!FMap->LoadFromBytes(Bytes))
        return;
    // The transfer went unpacked; the map is saved at the usual level. Not an undo step: it is part of
    // what was loaded.
    FMap->Doc.Compression = 3;
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
