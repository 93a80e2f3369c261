#pragma once
// TfrmZemSpravDialog, "Справочники": the six directories of the map as editable pages of text.
#include "address/ZemDirectories.h"

#include <QDialog>

#include <array>
#include <map>
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
    // "Применить": the pages become the directories, the references following their lines. Refuses (raises)
    // to move the transport types the route search knows by place, and asks before deleting lines that
    // objects use; false when the user said no.
    bool Apply();

    QTabWidget* Pages() const { return FPages; }
    QPlainTextEdit* Box(TZemDirectoryPage Page) const { return FBoxes[Page]; }
    QPushButton* ApplyButton() const { return FApply; }
    QPushButton* CancelButton() const { return FCancel; }
    QPushButton* SortButton() const { return FSort; }

private:
    TZemDirectory BoxLines(TZemDirectoryPage Page) const;
    void ShowLines(TZemDirectoryPage Page, const TZemDirectory& Lines);

    TZemMap& FMap;
    // The lines as shown, by their text on screen: a line nobody touched goes back byte for byte (the
    // widget cannot hold every byte of the code page, and the text it gives back turns non-breaking
    // spaces into ordinary ones).
    std::array<std::map<QString, ZemString>, kDirectoryPages> FShownAs;
    QTabWidget* FPages;
    std::array<QPlainTextEdit*, kDirectoryPages> FBoxes{};
    std::array<std::unique_ptr<TZemDirectoryTrail>, kDirectoryPages> FTrails;
    QPushButton* FApply;
    QPushButton* FCancel;
    QPushButton* FSort;
};

} // namespace zem
