#include "ui/ZemDirectoriesDialog.h"

#include "base/ZemText.h"
#include "ui/ZemMessageBox.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <exception>

namespace zem {

namespace {

struct TPageName {
    const char* Caption;
    const char* Name;
};
constexpr TPageName kPageNames[kDirectoryPages] = {
    {"Улицы", "Streets"},   {"Типы объектов", "Types"}, {"Районы", "Areas"},
    {"Индексы", "Indexes"}, {"Города", "Citys"},        {"Виды транспорта", "TypeTransport"},
};

} // namespace

TfrmZemSpravDialog::TfrmZemSpravDialog(TZemMap& Map, QWidget* Parent) : QDialog(Parent), FMap(Map) {
    setObjectName(QStringLiteral("frmZemSpravDialog"));
    setWindowTitle(QStringLiteral("Справочники"));
    FPages = new QTabWidget(this);
    FPages->setObjectName(QStringLiteral("PageControl"));
    FPages->setUsesScrollButtons(false); // all six page tabs in sight
    for (std::size_t p = 0; p < kDirectoryPages; ++p) {
        auto* Box = new QPlainTextEdit(FPages);
        Box->setObjectName(QString::fromLatin1(kPageNames[p].Name));
        Box->setLineWrapMode(QPlainTextEdit::NoWrap); // scroll bars both ways
        Box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        Box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        FPages->addTab(Box, QString::fromUtf8(kPageNames[p].Caption));
        FBoxes[p] = Box;
    }
    FPages->setCurrentIndex(dpTransport); // the first time; afterwards the page last used stays

    FApply = new QPushButton(QStringLiteral("Применить"), this);
    FApply->setObjectName(QStringLiteral("Button1"));
    FApply->setDefault(true);
    FCancel = new QPushButton(QStringLiteral("Отмена"), this);
    FCancel->setObjectName(QStringLiteral("Button2"));
    FSort = new QPushButton(QStringLiteral("Сортировать"), this);
    FSort->setObjectName(QStringLiteral("Button3"));
    FSort->setAutoDefault(false);
    FSort->setToolTip(QStringLiteral("Упорядочить строки по алфавиту (кроме видов транспорта)"));
    connect(FApply, &QPushButton::clicked, this, [this] {
        // Nothing may leave through the dialog's own event loop: a failure is said here and the boxes stay.
        try {
            Apply();
            accept();
        } catch (const std::exception& E) {
            ShowErrorBox(this, QString::fromUtf8(E.what()));
        }
    });
    connect(FCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(FSort, &QPushButton::clicked, this, &TfrmZemSpravDialog::SortPages);

    auto* Buttons = new QHBoxLayout;
    Buttons->addWidget(FSort);
    Buttons->addStretch(1);
    Buttons->addWidget(FApply);
    Buttons->addWidget(FCancel);
    auto* Column = new QVBoxLayout(this);
    Column->addWidget(FPages, 1);
    Column->addLayout(Buttons);
    resize(560, 460);
}

TfrmZemSpravDialog::~TfrmZemSpravDialog() = default;

TZemDirectory TfrmZemSpravDialog::BoxLines(TZemDirectoryPage Page) const {
    return DirectoryLines(FromUtf8(FBoxes[Page]->toPlainText().toStdString()));
}

void TfrmZemSpravDialog::ShowLines(TZemDirectoryPage Page, const TZemDirectory& Lines) {
    FBoxes[Page]->setPlainText(QString::fromStdString(ToUtf8(DirectoryText(Lines))));
}

void TfrmZemSpravDialog::Load() {
    for (std::size_t p = 0; p < kDirectoryPages; ++p) {
        const auto Page = static_cast<TZemDirectoryPage>(p);
        const TZemDirectory& Lines = DirectoryOf(FMap.Doc, Page);
        ShowLines(Page, Lines);
        FTrails[p] = std::make_unique<TZemDirectoryTrail>(Lines);
    }
}

void TfrmZemSpravDialog::SortPages() {
    for (std::size_t p = 0; p < kDirectoryPages; ++p) {
        const auto Page = static_cast<TZemDirectoryPage>(p);
        if (!PageSorts(Page))
            continue;
        TZemDirectory Lines = BoxLines(Page);
        FTrails[p]->Sort(Lines);
        ShowLines(Page, Lines);
    }
}

void TfrmZemSpravDialog::Apply() {
    TZemDirectoryPages Lines;
    std::array<const TZemDirectoryTrail*, kDirectoryPages> Trails{};
    for (std::size_t p = 0; p < kDirectoryPages; ++p) {
        Lines[p] = BoxLines(static_cast<TZemDirectoryPage>(p));
        Trails[p] = FTrails[p].get();
    }
    ApplyDirectoryPages(FMap, Lines, Trails);
}

bool TfrmZemSpravDialog::Execute(TZemMap& Map, QWidget* Parent) {
    auto* Dialog = Parent->findChild<TfrmZemSpravDialog*>(QString(), Qt::FindDirectChildrenOnly);
    if (!Dialog)
        Dialog = new TfrmZemSpravDialog(Map, Parent); // owned by Parent
    Dialog->Load();
    return Dialog->exec() == QDialog::Accepted;
}

} // namespace zem
