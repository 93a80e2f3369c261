// "Архив изображений", "Ахрив иконок", "Загрузить рисунок" and "Загрузить иконку": the library dialogs,
// opened to manage a library or to give the current object one of its entries.
#include "model/ZemMap.h"
#include "ui/ZemLibraryDialog.h"
#include "ui/ZemMainWindow.h"
#include "ui/ZemObjectPage.h"

#include <QAction>

namespace zem {

namespace {

// Made once and reused; its list is rebuilt each time it is shown.
template <class TDialog> TDialog& LibraryDialog(QWidget* Window, TZemMap& Map, const char* Name) {
    auto* D = Window->findChild<TDialog*>(QString::fromLatin1(Name));
    if (!D)
        D = new TDialog(Map, Window);
    return *D;
}

} // namespace

void TfrmMain::CreateLibraryCommands() {
    auto Pictures = [this] { return &LibraryDialog<TfrmZemBitamapDlg>(this, *FMap, "frmZemBitamapDlg"); };
    auto Icons = [this] { return &LibraryDialog<TfrmZemIconDlg>(this, *FMap, "frmZemIconDlg"); };
    connect(FActions.at(QStringLiteral("actPictureArchive")), &QAction::triggered, this,
            [this, Pictures] { Guarded([&] { Pictures()->Execute(); }); });
    connect(FActions.at(QStringLiteral("actIconArchive")), &QAction::triggered, this,
            [this, Icons] { Guarded([&] { Icons()->Execute(); }); });
    // The object is the one current when the item was chosen; a chosen -1 assigns nothing.
    connect(FActions.at(QStringLiteral("actLoadPicture")), &QAction::triggered, this, [this, Pictures] {
        const std::int32_t ID = FMap->CurrentObject();
        if (HasCurrentObject() && FMap->ObjectByID(ID).Kind == otBmp)
            Guarded(
                [&] { Pictures()->Execute([&](std::int32_t Index) { FMap->AssignPicture(ID, Index); }); });
        UpdateObjectActions();
    });
    connect(FActions.at(QStringLiteral("actLoadIcon")), &QAction::triggered, this, [this, Icons] {
        const std::int32_t ID = FMap->CurrentObject();
        if (HasCurrentObject() && FMap->ObjectByID(ID).Kind == otIco)
            Guarded([&] { Icons()->Execute([&](std::int32_t Index) { FMap->AssignIcon(ID, Index); }); });
        UpdateObjectActions();
    });
    FObjectPage->SetLibraryActions(FActions.at(QStringLiteral("actLoadPicture")),
                                   FActions.at(QStringLiteral("actLoadIcon")));
}

void TfrmMain::UpdateLibraryActions() {
    // Assignment changes the object: only for its own kind, and only while editing is allowed.
    const bool Editable = FMap->Doc.HasOption(moEditable);
    const TObjectKind Kind = HasCurrentObject() ? FMap->ObjectByID(FMap->CurrentObject()).Kind : otLine;
    const bool Current = HasCurrentObject();
    FActions.at(QStringLiteral("actLoadPicture"))->setEnabled(Current && Editable && Kind == otBmp);
    FActions.at(QStringLiteral("actLoadIcon"))->setEnabled(Current && Editable && Kind == otIco);
}

} // namespace zem
