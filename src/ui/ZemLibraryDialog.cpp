#include "ui/ZemLibraryDialog.h"

#include "model/ZemMap.h"
#include "ui/ZemMessageBox.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSettings>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include <new>

namespace zem {

namespace {

constexpr auto kFolderKey = "Libraries/Folder";
const QColor kSelection(0, 0, 128); // navy

class TLibraryDelegate : public QStyledItemDelegate {
public:
    TLibraryDelegate(const TZemLibraryDialog& Dialog, QObject* Parent)
        : QStyledItemDelegate(Parent), FDialog(Dialog) {}
    void paint(QPainter* P, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override {
        FDialog.PaintItem(*P, Option.rect, Index.row(), Option.state & QStyle::State_Selected);
    }
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
        return {0, FDialog.ItemHeight()};
    }

private:
    const TZemLibraryDialog& FDialog;
};

QPushButton* Button(QWidget* Parent, const QString& Text, const char* Name) {
    auto* B = new QPushButton(Text, Parent);
    B->setObjectName(QString::fromLatin1(Name));
    B->setAutoDefault(false);
    return B;
}

} // namespace

TZemLibraryDialog::TZemLibraryDialog(TZemMap& Map, QWidget* Parent, const QString& Caption,
                                     const QString& Filters, const QString& Suffix, const QString& Entry)
    : QDialog(Parent), FMap(Map), FFilters(Filters), FSuffix(Suffix), FEntry(Entry) {
    setWindowTitle(Caption);
    setModal(true);
    setSizeGripEnabled(true);
    resize(560, 460);

    FList = new QListWidget(this);
    FList->setObjectName(QStringLiteral("ListBox"));
    FList->setItemDelegate(new TLibraryDelegate(*this, FList));
    FList->setUniformItemSizes(true);
    FList->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    FList->setSelectionMode(QAbstractItemView::SingleSelection);
    FInfo = new QLabel(this);
    FInfo->setObjectName(QStringLiteral("InfoLabel"));

    QPushButton* Add = Button(this, QStringLiteral("Добавить"), "AddButton");
    Add->setToolTip(QStringLiteral("Добавить записи из файлов в конец библиотеки"));
    QPushButton* Insert = Button(this, QStringLiteral("Вставить"), "InsertButton");
    Insert->setToolTip(QStringLiteral("Вставить записи из файлов перед выбранной"));
    QPushButton* Delete = Button(this, QStringLiteral("Удалить"), "DeleteButton");
    QPushButton* Clear = Button(this, QStringLiteral("Очистить"), "ClearButton");
    QPushButton* Apply = Button(this, QStringLiteral("Применить"), "ApplyButton");
    Apply->setDefault(true);
    QPushButton* Cancel = Button(this, QStringLiteral("Отмена"), "CancelButton");

    auto* Side = new QVBoxLayout;
    for (QPushButton* B : {Add, Insert, Delete, Clear})
        Side->addWidget(B);
    Side->addStretch(1);
    Side->addWidget(Apply);
    Side->addWidget(Cancel);
    auto* Left = new QVBoxLayout;
    Left->addWidget(FList, 1);
    Left->addWidget(FInfo);
    auto* Top = new QHBoxLayout(this);
    Top->addLayout(Left, 1);
    Top->addLayout(Side);

    connect(Add, &QPushButton::clicked, this, [this] { AddFiles(false); });
    connect(Insert, &QPushButton::clicked, this, [this] { AddFiles(true); });
    connect(Delete, &QPushButton::clicked, this, [this] { DeleteSelected(); });
    connect(Clear, &QPushButton::clicked, this, [this] { ClearAll(); });
    connect(Apply, &QPushButton::clicked, this, [this] { TryApply(); });
    connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(FList, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(FList, &QListWidget::currentRowChanged, this, [this] { ShowSelection(); });
}

bool TZemLibraryDialog::Execute(const std::function<void(std::int32_t)>& Chosen) {
    FChoosing = static_cast<bool>(Chosen);
    FChanged = false;
    TakeFromMap();
    Rebuild(-1);
    const bool Applied = exec() == QDialog::Accepted;
    FChosen = Applied && FList->currentRow() < EntryCount() ? FList->currentRow() : -1;
    if (Applied) {
        // The library and what the caller does with the chosen entry are one step to undo.
        TZemChange Step(FMap);
        PutIntoMap();
        if (Chosen)
            Chosen(FChosen);
    }
    // Hidden, the dialog keeps no pictures of its own.
    RemoveAll();
    Rebuild(-1);
    return Applied;
}

void TZemLibraryDialog::PaintItem(QPainter& P, const QRect& Rect, int Index, bool Selected) const {
    P.fillRect(Rect, Selected ? kSelection : palette().color(QPalette::Base));
    if (Index < 0 || Index >= EntryCount())
        return;
    const QImage Picture = Preview(Index);
    P.save();
    P.setClipRect(Rect);
    if (!Picture.isNull())
        P.drawImage(PictureRect(Rect, Picture.size()), Picture);
    // The position an object refers to, in the corner.
    P.setPen(Selected ? Qt::white : palette().color(QPalette::Text));
    P.drawText(Rect.adjusted(4, 2, -4, -2), Qt::AlignLeft | Qt::AlignTop, QString::number(Index));
    P.restore();
}

void TZemLibraryDialog::TryApply() {
    if (FChoosing && (FList->currentRow() < 0 || FList->currentRow() >= EntryCount())) {
        AskMessage(this,
                   (EntryCount() == 0 ? QStringLiteral("Библиотека пуста: добавьте %1 кнопкой «Добавить».")
                                      : QStringLiteral("Выберите %1 в списке."))
                       .arg(FEntry)
                       .toStdString(),
                   windowTitle().toStdString(), TZemMsgButtons::mbOk);
        return;
    }
    accept();
}

void TZemLibraryDialog::reject() {
    if (FChanged && AskMessage(this, "Изменения библиотеки не применены. Отказаться от них?",
                               windowTitle().toStdString(), TZemMsgButtons::mbYesNo) != TZemMsgResult::mrYes)
        return;
    QDialog::reject();
}

QStringList TZemLibraryDialog::AskFiles() {
    if (FAskFiles)
        return FAskFiles();
    QSettings Settings(QStringLiteral("ZemMap"), QStringLiteral("ZemMap"));
    QFileDialog Dialog(this, windowTitle(), Settings.value(QString::fromLatin1(kFolderKey)).toString(),
                       FFilters);
    Dialog.setFileMode(QFileDialog::ExistingFiles);
    Dialog.setAcceptMode(QFileDialog::AcceptOpen);
    Dialog.setOption(QFileDialog::ReadOnly);
    Dialog.setDefaultSuffix(FSuffix);
    if (Dialog.exec() != QDialog::Accepted || Dialog.selectedFiles().isEmpty())
        return {};
    Settings.setValue(QString::fromLatin1(kFolderKey), Dialog.directory().absolutePath());
    return Dialog.selectedFiles();
}

void TZemLibraryDialog::AddFiles(bool Insert) {
    const QStringList Files = AskFiles();
    if (Files.isEmpty())
        return;
    const int Selected = FList->currentRow();
    const std::int32_t At = Insert && Selected >= 0 ? Selected : EntryCount();
    std::vector<std::string> Names;
    for (const QString& F : Files)
        Names.push_back(QFile::encodeName(F).toStdString());
    // A file that cannot be read changes nothing: the files go in all together or not at all.
    try {
        ReadFiles(Names, At);
    } catch (const std::bad_alloc&) {
        ShowErrorBox(this, QStringLiteral("Недостаточно памяти, чтобы добавить рисунок."));
        return;
    } catch (const std::exception& E) {
        ShowErrorBox(this, QString::fromUtf8(E.what()));
        return;
    }
    FChanged = true;
    Rebuild(At + static_cast<int>(Names.size()) - 1);
}

void TZemLibraryDialog::DeleteSelected() {
    const int Selected = FList->currentRow();
    if (Selected < 0 || Selected >= EntryCount())
        return;
    RemoveEntry(Selected);
    FChanged = true;
    Rebuild(std::min(Selected, EntryCount() - 1));
}

void TZemLibraryDialog::ClearAll() {
    FChanged = FChanged || EntryCount() > 0;
    RemoveAll();
    Rebuild(-1);
}

void TZemLibraryDialog::Rebuild(int Select) {
    FItemHeight = EntryHeight();
    FList->clear();
    for (std::int32_t i = 0; i < EntryCount(); ++i)
        FList->addItem(QString());
    FList->setCurrentRow(Select);
    if (Select >= 0)
        FList->scrollToItem(FList->item(Select));
    ShowSelection();
}

void TZemLibraryDialog::ShowSelection() {
    const int Selected = FList->currentRow();
    if (Selected >= 0 && Selected < EntryCount())
        FInfo->setText(Describe(Selected));
    else
        FInfo->setText(QStringLiteral("Записей в библиотеке: %1").arg(EntryCount()));
}

} // namespace zem
