// The main window's side of the recovery copies: it tells the autosave what the map belongs to and when it
// was saved or dropped, reports a copy that cannot be written, and opens a copy the user restores.
#include "editing/ZemHistory.h"
#include "persistence/ZemAutosave.h"
#include "ui/ZemMainWindow.h"
#include "ui/ZemMapWidget.h"

#include <QFile>
#include <QStatusBar>

namespace zem {

void TfrmMain::EnableRecovery(const QString& Folder, int IntervalMs) {
    FAutosave = std::make_unique<TZemAutosave>(
        *FMap, TZemRecoveryFolder(QFile::encodeName(Folder).toStdString()), IntervalMs);
    FAutosave->SetOriginal(QFile::encodeName(FFileName).toStdString());
    // Not a message box: it would come back every minute while the disk stays full. Said once a failure,
    // in the status bar, where a user who keeps drawing sees it.
    FAutosave->OnWriteFailed = [this](const std::string& Error) {
        statusBar()->showMessage(QStringLiteral("Не удалось записать копию карты для восстановления: %1")
                                     .arg(QString::fromStdString(Error)),
                                 30000);
    };
}

void TfrmMain::ForgetRecoveryCopy() {
    if (!FAutosave)
        return;
    FAutosave->Discard();
    FAutosave->SetOriginal(QFile::encodeName(FFileName).toStdString());
}

bool TfrmMain::RestoreCopy(const TRecoveryCopy& Copy) {
    if (!FAutosave)
        return false;
    std::vector<std::uint8_t> Bytes;
    bool Taken = false;
    Guarded([&] {
        Bytes = FAutosave->Folder().TakeOver(Copy);
        Taken = true;
    });
    if (!Taken)
        return false;
    // The copy is now this program's own copy: it stays until the map is saved or dropped.
    const bool Loaded = FMap->LoadFromBytes(Bytes);
    FFileName = Loaded ? QFile::decodeName(QByteArray::fromStdString(Copy.Original)) : QString();
    FAutosave->SetOriginal(Loaded ? Copy.Original : std::string());
    if (Loaded)
        FMap->History()
            .MarkUnsaved(); // what it holds is in no file yet; "Сохранить" puts it into the original
    AfterDocumentReplaced();
    return Loaded;
}

} // namespace zem
