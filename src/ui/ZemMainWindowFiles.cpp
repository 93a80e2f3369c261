// Map files, exports, the background image and the recent-files list.
#include "images/ZemImageFile.h"
#include "model/ZemErrors.h"
#include "ui/ZemMainWindow.h"
#include "ui/ZemMapWidget.h"
#include "ui/ZemNetworkPage.h"
#include "ui/ZemObjectPage.h"
#include "ui/ZemOptions.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QMenu>
#include <QProgressBar>
#include <QSettings>

namespace zem {

namespace {
constexpr auto kMapFilter = "Файлы карт (*.mp);;Все файлы (*)";
constexpr auto kRecentKey = "RecentFiles";
constexpr int kRecentMax = 8;

std::string LocalPath(const QString& FileName) {
    return QFile::encodeName(FileName).toStdString();
}

// The recent files live in the user's settings of the program (QSettings), not in any map.
QSettings RecentSettings() {
    return QSettings(QStringLiteral("ZemMap"), QStringLiteral("ZemMap"));
}
} // namespace

bool TfrmMain::ConfirmDiscard() {
    if (!FMap->Modified())
        return true;
    const TZemMsgResult Answer =
        FMapWidget->ShowMessage("Сохранить изменения в карте?", "ZemMap", TZemMsgButtons::mbYesNoCancel);
    if (Answer == TZemMsgResult::mrNo)
        return true;
    if (Answer != TZemMsgResult::mrYes)
        return false;
    // "Да": the map is saved first; a save that fails or is cancelled keeps everything as it is.
    QString Name = FFileName;
    if (Name.isEmpty()) {
        Name = QFileDialog::getSaveFileName(this, QStringLiteral("Сохранить карту"),
                                            FUntitledName.isEmpty() ? QStringLiteral("Карта города.mp") : FUntitledName,
                                            QString::fromUtf8(kMapFilter));
        if (Name.isEmpty())
            return false;
        if (QFileInfo(Name).suffix().isEmpty())
            Name += QStringLiteral(".mp");
    }
    return SaveMap(Name);
}

void TfrmMain::NewMap() {
    FMap->Clear(); // which also starts a new, clean history and redraws both views
    FFileName.clear();
    FUntitledName.clear();
    ForgetRecoveryCopy();
    AfterDocumentReplaced();
}

bool TfrmMain::OpenMap(const QString& FileName) {
    bool Loaded = false;
    bool Read = false;
    Guarded([&] {
        Loaded = FMap->LoadFromFile(LocalPath(FileName));
        Read = true;
    });
    // Refused before anything was read (not a regular file, too large): the open map, its name and its
    // history stay as they were.
    if (!Read)
        return false;
    // The loader has drawn both views and started a clean history. A map that failed to load is kept as far
    // as it was read, but without a file to save it over.
    FFileName = Loaded ? QFileInfo(FileName).absoluteFilePath() : QString();
    FUntitledName.clear();
    if (Loaded)
        AddRecentFile(FFileName);
    ForgetRecoveryCopy();
    AfterDocumentReplaced();
    return Loaded;
}

bool TfrmMain::SaveMap(const QString& FileName) {
    bool Saved = false;
    Guarded([&] {
        // The view goes back to the background image's scale before the map is written (so that a
        // background laid under the map matches it when the map is opened again).
        FMap->SetScale(FBackgroundScale); // which redraws the view and the mini-map's frame
        FMap->SaveToFile(LocalPath(FileName));
        Saved = true;
    });
    FProgress->hide();
    if (!Saved)
        return false;
    FFileName = QFileInfo(FileName).absoluteFilePath();
    FUntitledName.clear();
    ForgetRecoveryCopy();
    AddRecentFile(FFileName);
    UpdateCaption();
    return true;
}

void TfrmMain::AfterDocumentReplaced() {
    FProgress->hide();
    FObjectPage->Reload();
    FNetworkPage->ReloadDirectories();
    SyncViewMenu();
    ShowScale(FMap->View.Scale);
    UpdateCaption();
    UpdateHistoryActions();
    emit documentChanged();
}

void TfrmMain::CommandNew() {
    if (ConfirmDiscard())
        NewMap();
}

void TfrmMain::CommandOpen() {
    if (!ConfirmDiscard())
        return;
    QFileDialog Dialog(this, QStringLiteral("Загрузить карту"), QFileInfo(FFileName).absolutePath(),
                       QString::fromUtf8(kMapFilter));
    Dialog.setFileMode(QFileDialog::ExistingFile);
    Dialog.setAcceptMode(QFileDialog::AcceptOpen);
    Dialog.setOption(QFileDialog::ReadOnly);
    Dialog.setDefaultSuffix(QStringLiteral("mp"));
    if (Dialog.exec() == QDialog::Accepted && !Dialog.selectedFiles().isEmpty())
        OpenMap(Dialog.selectedFiles().constFirst());
}

void TfrmMain::CommandSave() {
    QFileDialog Dialog(this, QStringLiteral("Сохранить карту"), QString(), QString::fromUtf8(kMapFilter));
    Dialog.setAcceptMode(QFileDialog::AcceptSave);
    Dialog.setDefaultSuffix(QStringLiteral("mp"));
    if (FFileName.isEmpty())
        Dialog.selectFile(FUntitledName.isEmpty() ? QStringLiteral("Карта города.mp") : FUntitledName);
    else
        Dialog.selectFile(FFileName);
    if (Dialog.exec() == QDialog::Accepted && !Dialog.selectedFiles().isEmpty())
        SaveMap(Dialog.selectedFiles().constFirst());
}

void TfrmMain::CommandExportText() {
    const QString Folder =
        QFileDialog::getExistingDirectory(this, QStringLiteral("Please specify a directory"));
    if (Folder.isEmpty())
        return;
    const char Separator = QLocale().decimalPoint().at(0).toLatin1();
    Guarded([&] { FMap->ExportText(LocalPath(Folder), Separator ? Separator : '.'); });
    FProgress->hide();
}

void TfrmMain::CommandExportImage(bool Png) {
    QFileDialog Dialog(this, Png ? QStringLiteral("Экспорт в PNG") : QStringLiteral("Экспорт в BMP"),
                       QString(),
                       Png ? QStringLiteral("PNG (*.PNG *.png)") : QStringLiteral("BMP (*.BMP *.bmp)"));
    Dialog.setAcceptMode(QFileDialog::AcceptSave);
    Dialog.setDefaultSuffix(Png ? QStringLiteral("png") : QStringLiteral("bmp"));
    if (Dialog.exec() != QDialog::Accepted || Dialog.selectedFiles().isEmpty())
        return;
    const QString Name = Dialog.selectedFiles().constFirst();
    Guarded([&] { FMap->ExportBmp(LocalPath(Name)); });
    FProgress->hide();
}

bool TfrmMain::LoadBackground(const QString& FileName) {
    // A picture that cannot be read says why and leaves the previous background as it was.
    auto Next = std::make_unique<TZemBackgroundImage>();
    bool Read = false;
    Guarded([&] {
        Next->Image = ReadImageFile(LocalPath(FileName));
        Read = true;
    });
    if (!Read)
        return false;
    // The scale is what the options window's field holds now; a field that is no scale says so.
    const std::optional<float> Scale = FOptions->ReadBackgroundScale();
    if (!Scale)
        return false;
    FBackgroundScale = *Scale;
    Next->Scale = FBackgroundScale;
    for (const auto& [Name, Filter] : {std::pair{"actFilterNearest", TStretchFilter::sfNearest},
                                       std::pair{"actFilterLinear", TStretchFilter::sfLinear},
                                       std::pair{"actFilterSpline", TStretchFilter::sfSpline}})
        if (FActions.at(QString::fromLatin1(Name))->isChecked())
            Next->Filter = Filter;
    FBackgroundFolder = QFileInfo(FileName).absolutePath();
    FMap->SetScale(FBackgroundScale); // one picture pixel shows as one screen pixel
    FBackground = std::move(Next);
    QAction* Show = FActions.at(QStringLiteral("actShowBackground"));
    Show->setEnabled(true);
    {
        const QSignalBlocker Block(Show);
        Show->setChecked(true);
    }
    FMap->UpdateVisibleList();
    FMap->Refresh();
    FMap->UpdateMiniMapContent();
    return true;
}

void TfrmMain::CommandLoadBackground() {
    const QString Name =
        QFileDialog::getOpenFileName(this, QStringLiteral("Загрузить подложку"), FBackgroundFolder,
                                     QStringLiteral("BMP (*.bmp *.BMP);;PNG (*.png *.PNG);;"
                                                    "Все файлы (*)"));
    if (!Name.isEmpty())
        LoadBackground(Name);
}

void TfrmMain::CommandUnloadBackground() {
    FBackground.reset();
    QAction* Show = FActions.at(QStringLiteral("actShowBackground"));
    {
        const QSignalBlocker Block(Show);
        Show->setChecked(false);
    }
    Show->setEnabled(false);
    FMap->Refresh();
}

void TfrmMain::AddRecentFile(const QString& FileName) {
    QSettings Settings = RecentSettings();
    QStringList List = Settings.value(QString::fromLatin1(kRecentKey)).toStringList();
    List.removeAll(FileName);
    List.prepend(FileName);
    while (List.size() > kRecentMax)
        List.removeLast();
    Settings.setValue(QString::fromLatin1(kRecentKey), List);
    RebuildRecentMenu();
}

void TfrmMain::RebuildRecentMenu() {
    FRecentMenu->clear();
    const QStringList List = RecentSettings().value(QString::fromLatin1(kRecentKey)).toStringList();
    int Number = 1;
    for (const QString& Name : List) {
        QAction* A =
            FRecentMenu->addAction(QStringLiteral("&%1 %2").arg(Number++).arg(QFileInfo(Name).fileName()));
        A->setToolTip(Name);
        A->setStatusTip(Name);
        connect(A, &QAction::triggered, this, [this, Name] {
            if (!QFileInfo::exists(Name)) {
                ShowError(QStringLiteral("Файл не найден: %1").arg(Name));
                return;
            }
            if (ConfirmDiscard())
                OpenMap(Name);
        });
    }
    FRecentMenu->setEnabled(!List.isEmpty());
}

} // namespace zem
