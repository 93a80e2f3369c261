#pragma once
// TfrmZemSpravDialog, "Справочники": the six directories of the map as editable pages of text.
#include "address/ZemDirectories.h"

#include <QDialog>

#include <array>
#include <memory>

class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace zem {

class TfrmZemSpravDialog : public QDialog {
    Q_OBJECT
public:
    TfrmZemSpravDialog(TZemMap& Map, QWidget* Parent);
    ~TfrmZemSpravDialog() override;

    // Shows Parent's one editor modally, made on first use so that it keeps the page last used. True when
    // the directories were applied.
    static bool Execute(TZemMap& Map, QWidget* Parent);

    // Fills the pages with the directories as they are.
    void Load();
    // "Сортировать": every page but the transport types, in its box only.
    void SortPages();
    // "Применить": the pages become the directories, the references following their lines.
    void Apply();

    QTabWidget* Pages() const { return FPages; }
    QPlainTextEdit* Box(TZemDirectoryPage Page) const { return FBoxes[Page]; }
    QPushButton* ApplyButton() const { return FApply; }
    QPushButton* CancelButton() const { return FCancel; }
    QPushButton* SortButton() const { return FSort; }

private:
    TZemDirectory BoxLines(TZemDirectoryPage Page) const;
    void ShowLines(TZemDirectoryPage Page, const TZemDirectory& Lines);

    TZemMap& FMap;
    QTabWidget* FPages;
    std::array<QPlainTextEdit*, kDirectoryPages> FBoxes{};
    std::array<std::unique_ptr<TZemDirectoryTrail>, kDirectoryPages> FTrails;
    QPushButton* FApply;
    QPushButton* FCancel;
    QPushButton* FSort;
};

} // namespace zem
