#pragma once
// The picture and icon library dialogs ("Библиотека картинок", "Библиотека иконок"). Each works on a copy
// of the map's library: "Добавить", "Вставить", "Удалить" and "Очистить" change the copy, "Применить" (or
// a double click) puts it into the map as one undo step together with what the caller does with the
// chosen entry, and "Отмена" leaves the map as it was. The copy shares the map's pictures.
#include "images/ZemLibraryEntries.h"

#include <QDialog>
#include <QImage>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;

namespace zem {

class TZemMap;

class TZemLibraryDialog : public QDialog {
    Q_OBJECT
public:
    // Shows the dialog on the map's library. On "Применить" the library goes into the map and Chosen
    // gets the selected position (-1 for none) within the same undo step; true then.
    bool Execute(const std::function<void(std::int32_t Chosen)>& Chosen = {});

    std::int32_t ChosenIndex() const { return FChosen; }
    QListWidget* List() const { return FList; }
    int ItemHeight() const { return FItemHeight; }
    // The file question of "Добавить" and "Вставить"; the standard dialog unless a test gives its own.
    void SetFileAsker(std::function<QStringList()> Asker) { FAskFiles = std::move(Asker); }

    // Draws item Index into Rect as the list shows it (the list's delegate calls it).
    void PaintItem(class QPainter& P, const QRect& Rect, int Index, bool Selected) const;

protected:
    TZemLibraryDialog(TZemMap& Map, QWidget* Parent, const QString& Caption, const QString& Filters,
                      const QString& Suffix, const QString& Entry);
    // "Отмена", Escape and the frame's close: changes made in the dialog are thrown away only when the
    // user says so.
    void reject() override;

    // The copy the dialog works on.
    virtual std::int32_t EntryCount() const = 0;
    // The picture of an entry at its own size, sharing the entry's pixels; null for an empty entry.
    virtual QImage Preview(std::int32_t Index) const = 0;
    // Reads a file into an entry (raises EZemError with the reason); Insert puts the entries at At.
    virtual void ReadFiles(const std::vector<std::string>& FileNames, std::int32_t At) = 0;
    virtual void RemoveEntry(std::int32_t Index) = 0;
    virtual void RemoveAll() = 0;
    virtual void TakeFromMap() = 0;
    virtual void PutIntoMap() = 0;
    // The item height for the entries now, and where a picture of Size is drawn in an item.
    virtual int EntryHeight() const = 0;
    virtual QRect PictureRect(const QRect& Item, QSize Size) const = 0;
    virtual QString Describe(std::int32_t Index) const = 0;

    TZemMap& FMap;

private:
    void AddFiles(bool Insert);
    void DeleteSelected();
    void ClearAll();
    // "Применить": while choosing for an object, an entry must be chosen.
    void TryApply();
    void Rebuild(int Select);
    void ShowSelection();
    QStringList AskFiles();

    QString FFilters;
    QString FSuffix;
    QString FEntry;         // what an entry is called in a sentence: "рисунок", "иконку"
    bool FChoosing = false; // shown for "Загрузить рисунок" / "Загрузить иконку"
    bool FChanged = false; // entries added or removed since shown
    std::function<QStringList()> FAskFiles;
    std::int32_t FChosen = -1;
    int FItemHeight = 32;
    QListWidget* FList = nullptr;
    QLabel* FInfo = nullptr;
};

// The copy of one library's entries, and all that does not depend on their kind.
template <class TEntry> class TZemLibraryDialogOf : public TZemLibraryDialog {
public:
    // How the dialog reaches its library: the file reader, the pixels the library may hold in all, the
    // map's entries and the map's command that replaces them.
    struct TLibrary {
        TEntry (*Read)(const std::string& FileName);
        std::size_t MaxPixels;
        const TZemLibraryEntries<TEntry>& (*Entries)(const TZemMap& Map);
        void (*Set)(TZemMap& Map, TZemLibraryEntries<TEntry> Entries);
        const char* Noun;       // "Рисунок %1 из %2", "Иконка %1 из %2"
        const char* Accusative; // "Выберите рисунок", "Выберите иконку"
    };

protected:
    TZemLibraryDialogOf(TZemMap& Map, QWidget* Parent, const QString& Caption, const QString& Filters,
                        const QString& Suffix, const TLibrary& Library)
        : TZemLibraryDialog(Map, Parent, Caption, Filters, Suffix, QString::fromUtf8(Library.Accusative)),
          FLibrary(Library) {}
    std::int32_t EntryCount() const override { return static_cast<std::int32_t>(FEntries.size()); }
    void RemoveEntry(std::int32_t Index) override { FEntries.erase(FEntries.begin() + Index); }
    void RemoveAll() override { FEntries.clear(); }
    void TakeFromMap() override { FEntries = FLibrary.Entries(FMap); }
    void PutIntoMap() override { FLibrary.Set(FMap, FEntries); }
    QImage Preview(std::int32_t Index) const override;
    void ReadFiles(const std::vector<std::string>& FileNames, std::int32_t At) override;
    QString Describe(std::int32_t Index) const override;

    TZemLibraryEntries<TEntry> FEntries;
    TLibrary FLibrary;
};

// "Библиотека картинок": the map's pictures, items as high as the tallest, each picture centred.
class TfrmZemBitamapDlg : public TZemLibraryDialogOf<TZemImage> {
public:
    TfrmZemBitamapDlg(TZemMap& Map, QWidget* Parent);

protected:
    int EntryHeight() const override;
    QRect PictureRect(const QRect& Item, QSize Size) const override;
};

// "Библиотека иконок": the map's icons, each drawn in a 32 x 32 cell as the map draws it.
class TfrmZemIconDlg : public TZemLibraryDialogOf<TZemIcon> {
public:
    TfrmZemIconDlg(TZemMap& Map, QWidget* Parent);

protected:
    int EntryHeight() const override;
    QRect PictureRect(const QRect& Item, QSize Size) const override;
};

} // namespace zem
