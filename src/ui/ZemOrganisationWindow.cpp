#include "ui/ZemOrganisationWindow.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace zem {

namespace {

constexpr int kShortDescription = 300; // characters

QWidget* CheckPage(QWidget* Parent, std::initializer_list<const char*> Texts, QVBoxLayout*& Column) {
    auto* Page = new QWidget(Parent);
    Column = new QVBoxLayout(Page);
    for (const char* Text : Texts)
        Column->addWidget(new QCheckBox(QString::fromUtf8(Text), Page));
    return Page;
}

} // namespace

TfrmOrganisation::TfrmOrganisation(QWidget* Parent) : QDialog(Parent) {
    setObjectName(QStringLiteral("frmOrganisation"));
    setWindowTitle(QStringLiteral("Организации в указанном здании"));
    setWindowFlag(Qt::WindowStaysOnTopHint);

    auto* Names = new QTreeWidget(this);
    Names->setObjectName(QStringLiteral("OrganisationTree"));
    Names->setHeaderHidden(true);
    auto* NamesLabel = new QLabel(QStringLiteral("Названия организаций"), this);
    NamesLabel->setBuddy(Names);
    auto* Left = new QVBoxLayout;
    Left->addWidget(NamesLabel);
    Left->addWidget(Names, 1);

    auto* Pages = new QTabWidget(this);
    auto* Data = new QWidget(Pages);
    auto* Form = new QFormLayout(Data);
    Form->addRow(QStringLiteral("Название организации"), new QLineEdit(Data));
    for (const char* Field : {"Телефоны", "E-mail", "Сайты"})
        Form->addRow(QString::fromUtf8(Field), new QPlainTextEdit(Data));
    Pages->addTab(Data, QStringLiteral("Данные об организации"));

    auto* Advert = new QTabWidget(Pages);
    QVBoxLayout* Standard = nullptr;
    Advert->addTab(CheckPage(Advert,
                             {"Место в списке", "Баннер в списке организаций", "Баннер на карте",
                              "Выделение в списке", "Краткое описание (300 символов)"},
                             Standard),
                   QStringLiteral("Стандарт"));
    auto* Short = new QPlainTextEdit(Standard->parentWidget());
    Short->setObjectName(QStringLiteral("ShortDescription"));
    Short->setMaximumHeight(80);
    // A plain text box has no length limit of its own: typing or pasting past it is cut back.
    connect(Short, &QPlainTextEdit::textChanged, Short, [Short] {
        const QString Text = Short->toPlainText();
        if (Text.size() <= kShortDescription)
            return;
        Short->setPlainText(Text.left(kShortDescription));
        Short->moveCursor(QTextCursor::End);
    });
    Standard->addWidget(Short);
    Standard->addWidget(
        new QCheckBox(QStringLiteral("Полное описание (до 100 Кб)..."), Standard->parentWidget()));
    Standard->addStretch(1);
    QVBoxLayout* Exclusive = nullptr;
    Advert->addTab(CheckPage(Advert,
                             {"Логотип на здании", "Баннер в заголовке карты", "Первое место в поиске",
                              "Всплывающая подсказка над зданием"},
                             Exclusive),
                   QStringLiteral("Эксклюзив"));
    Exclusive->addStretch(1);
    Pages->addTab(Advert, QStringLiteral("Реклама"));

    // Nothing here is kept, so "Применить" has nothing to do; "Отмена" closes as Escape does.
    auto* Apply = new QPushButton(QStringLiteral("Применить"), this);
    Apply->setAutoDefault(false);
    auto* Cancel = new QPushButton(QStringLiteral("Отмена"), this);
    Cancel->setAutoDefault(false);
    connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* Buttons = new QHBoxLayout;
    Buttons->addStretch(1);
    Buttons->addWidget(Apply);
    Buttons->addWidget(Cancel);

    auto* Body = new QHBoxLayout;
    Body->addLayout(Left, 1);
    Body->addWidget(Pages, 2);
    auto* Column = new QVBoxLayout(this);
    Column->addLayout(Body, 1);
    Column->addLayout(Buttons);
    resize(640, 420);
}

void TfrmOrganisation::Clear() {
    for (auto* E : findChildren<QLineEdit*>())
        E->clear();
    for (auto* E : findChildren<QPlainTextEdit*>())
        E->clear();
    for (auto* B : findChildren<QCheckBox*>())
        B->setChecked(false);
}

void TfrmOrganisation::Execute(QWidget* Parent) {
    auto* Window = Parent->findChild<TfrmOrganisation*>(QString(), Qt::FindDirectChildrenOnly);
    if (!Window)
        Window = new TfrmOrganisation(Parent); // owned by Parent
    Window->Clear();
    Window->exec();
}

} // namespace zem
