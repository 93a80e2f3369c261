#include "ui/ZemDirectoriesDialog.h"

#include "base/ZemText.h"
#include "ui/ZemMessageBox.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <QTabWidget>
#include <QTextDocument>
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
            if (Apply())
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
    // The raw text keeps non-breaking spaces; its paragraphs are the lines.
    QString Text = FBoxes[Page]->document()->toRawText();
    Text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'))
        .replace(QChar::LineSeparator, QLatin1Char('\n'));
    Text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList Parts = Text.split(QLatin1Char('\n'));
    if (!Parts.isEmpty() && Parts.back().isEmpty())
        Parts.removeLast(); // a final line break adds no line
    TZemDirectory Lines;
    Lines.reserve(static_cast<std::size_t>(Parts.size()));
    for (const QString& Line : Parts) {
        const auto It = FShownAs[Page].find(Line);
        Lines.push_back(It != FShownAs[Page].end() ? It->second : FromUtf8(Line.toStdString()));
    }
    return Lines;
}

void TfrmZemSpravDialog::ShowLines(TZemDirectoryPage Page, const TZemDirectory& Lines) {
    for (const ZemString& Line : Lines)
        FShownAs[Page].emplace(QString::fromStdString(ToUtf8(Line)), Line);
    FBoxes[Page]->setPlainText(QString::fromStdString(ToUtf8(DirectoryText(Lines))));
}

namespace {

QString ObjectsWord(std::int32_t n) {
    const std::int32_t Last2 = n % 100, Last = n % 10;
    if (Last == 1 && Last2 != 11)
        return QStringLiteral("объект");
    if (Last >= 2 && Last <= 4 && (Last2 < 12 || Last2 > 14))
        return QStringLiteral("объекта");
    return QStringLiteral("объектов");
}

// "Удаляемые строки используются: ..." with one line per deleted line in use, at most kListed of them.
std::string InUseQuestion(const std::vector<TZemLineInUse>& InUse) {
    constexpr std::size_t kListed = 15;
    QString Text = QStringLiteral("Удаляемые строки справочников используются объектами:\n");
    for (std::size_t i = 0; i < InUse.size() && i < kListed; ++i) {
        const TZemLineInUse& L = InUse[i];
        Text +=
            QStringLiteral("\n«%1» (%2) — %3 %4")
                .arg(QString::fromStdString(ToUtf8(L.Line)), QString::fromUtf8(kPageNames[L.Page].Caption))
                .arg(L.Objects)
                .arg(ObjectsWord(L.Objects));
    }
    if (InUse.size() > kListed)
        Text += QStringLiteral("\n… и ещё %1").arg(InUse.size() - kListed);
    Text += QStringLiteral("\n\nУдалить эти строки? У объектов пропадут ссылки на них.");
    return Text.toStdString();
}

} // namespace

void TfrmZemSpravDialog::Load() {
    for (auto& Shown : FShownAs)
        Shown.clear();
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

bool TfrmZemSpravDialog::Apply() {
    TZemDirectoryPages Lines;
    TZemDirectoryTrails Trails{};
    for (std::size_t p = 0; p < kDirectoryPages; ++p) {
        Lines[p] = BoxLines(static_cast<TZemDirectoryPage>(p));
        Trails[p] = FTrails[p].get();
    }
    CheckTransportPage(FMap, Lines, Trails);
    const std::vector<TZemLineInUse> InUse = DeletedLinesInUse(FMap, Lines, Trails);
    if (!InUse.empty() && AskMessage(this, InUseQuestion(InUse), "Справочники", TZemMsgButtons::mbYesNo) !=
                              TZemMsgResult::mrYes)
        return false;
    ApplyDirectoryPages(FMap, Lines, Trails);
    return true;
}

bool TfrmZemSpravDialog::Execute(TZemMap& Map, QWidget* Parent) {
    auto* Dialog = Parent->findChild<TfrmZemSpravDialog*>(QString(), Qt::FindDirectChildrenOnly);
    if (!Dialog)
        Dialog = new TfrmZemSpravDialog(Map, Parent); // owned by Parent
    Dialog->Load();
    return Dialog->exec() == QDialog::Accepted;
}

} // namespace zem
