#include "ui/ZemRecoveryPrompt.h"

#include "persistence/ZemAutosave.h"
#include "ui/ZemMainWindow.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>

#include <cstdlib>

namespace zem {

namespace {

QString When(std::int64_t Time) {
    return QDateTime::fromSecsSinceEpoch(Time).toString(QStringLiteral("dd.MM.yyyy HH:mm"));
}

QString MapName(const TRecoveryCopy& Copy) {
    if (Copy.Original.empty())
        return QStringLiteral("«без имени» (она ещё не сохранялась)");
    return QStringLiteral("«%1»").arg(
        QDir::toNativeSeparators(QFile::decodeName(QByteArray::fromStdString(Copy.Original))));
}

enum class TAnswer { Restore, Delete, Later };

TAnswer Ask(QWidget* Parent, const TRecoveryCopy& Copy) {
    QMessageBox Box(Parent);
    Box.setWindowTitle(QStringLiteral("ZemMap"));
    QPushButton* Restore = nullptr;
    if (Copy.Damaged()) {
        QString Problem = QString::fromStdString(Copy.Problem);
        if (Problem.endsWith(QLatin1Char('.')))
            Problem.chop(1);
        Box.setIcon(QMessageBox::Warning);
        Box.setText(
            QStringLiteral("Найдена повреждённая копия карты от %1: %2. Восстановить её нельзя. Удалить?")
                .arg(When(Copy.Time), Problem));
    } else {
        Box.setIcon(QMessageBox::Question);
        Box.setText(QStringLiteral("Найдена несохранённая копия карты %1 от %2. Восстановить?")
                        .arg(MapName(Copy), When(Copy.Time)));
        Restore = Box.addButton(QStringLiteral("Восстановить"), QMessageBox::AcceptRole);
    }
    QPushButton* Delete = Box.addButton(QStringLiteral("Удалить"), QMessageBox::DestructiveRole);
    QPushButton* Later = Box.addButton(QStringLiteral("Позже"), QMessageBox::RejectRole);
    Box.setInformativeText(
        QStringLiteral("Файл копии: %1")
            .arg(QDir::toNativeSeparators(QFile::decodeName(QByteArray::fromStdString(Copy.Path)))));
    // Closing the box keeps the copy: nothing is lost by a stray Escape.
    Box.setEscapeButton(Later);
    Box.setDefaultButton(Restore ? Restore : Later);
    Box.exec();
    if (Restore && Box.clickedButton() == Restore)
        return TAnswer::Restore;
    if (Box.clickedButton() == Delete)
        return TAnswer::Delete;
    return TAnswer::Later;
}

} // namespace

QString RecoveryFolder() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("recovery"));
}

int AutosaveInterval() {
    if (const char* Ms = std::getenv("ZEMMAP_AUTOSAVE_MS")) {
        const int Value = std::atoi(Ms);
        if (Value > 0)
            return Value;
    }
    return TZemAutosave::kDefaultInterval;
}

bool OfferRecoveryCopies(TfrmMain& Window) {
    const TZemAutosave* Autosave = Window.Autosave();
    if (!Autosave)
        return false;
    for (const TRecoveryCopy& Copy : Autosave->Folder().Orphans()) {
        switch (Ask(&Window, Copy)) {
        case TAnswer::Restore:
            if (Window.RestoreCopy(Copy))
                return true;
            break;
        case TAnswer::Delete:
            TZemRecoveryFolder::Remove(Copy);
            break;
        case TAnswer::Later:
            break;
        }
    }
    return false;
}

} // namespace zem
