// The left tool bar of the tools and the top one of files, history, route search and the scale box.
#include "editing/ZemToolRegistry.h"
#include "ui/ZemMainWindow.h"
#include "ui/ZemMapWidget.h"
#include "ui/ZemToolIcons.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QToolBar>

namespace zem {

namespace {

constexpr double kMinTypedScale = 1.0; // per cent

constexpr const char* kScaleItems[] = {"5 %",    "10 %",   "15 %",   "25 %",  "50 %",   "100 %",
                                       "200 %",  "400 %",  "600 %",  "800 %", "1000 %", "1200 %",
                                       "1500 %", "1800 %", "2000 %", "3000 %"};

} // namespace

void TfrmMain::CreateToolBars() {
    FToolBar = new QToolBar(QStringLiteral("Инструменты"), this);
    FToolBar->setObjectName(QStringLiteral("ToolBarTools"));
    FToolBar->setIconSize(QSize(24, 24));
    FToolBar->setMovable(false);
    FToolGroup = new QActionGroup(this);
    FToolGroup->setExclusive(true);
    // One button per tool of the registry that has one, in its order; a separator between groups.
    TZemToolGroup Group = TZemToolGroup::tgNone;
    for (const TZemToolRow& R : ToolRows()) {
        if (!R.Icon)
            continue;
        if (Group != TZemToolGroup::tgNone && R.Group != Group)
            FToolBar->addSeparator();
        Group = R.Group;
        const QString Tip = QString::fromUtf8(R.Tip);
        QAction* A = AddAction(R.Icon, Tip);
        A->setIcon(ZemToolIcon(QString::fromLatin1(R.Icon)));
        A->setToolTip(Tip);
        A->setCheckable(true);
        FToolGroup->addAction(A);
        FToolActions[R.Key()] = A;
        connect(A, &QAction::triggered, this, [this, T = R.Key()] { ChooseTool(T); });
        FToolBar->addAction(A);
    }
    addToolBar(Qt::LeftToolBarArea, FToolBar);

    FTopBar = new QToolBar(QStringLiteral("Файлы и вид"), this);
    FTopBar->setObjectName(QStringLiteral("ToolBarMain"));
    FTopBar->setIconSize(QSize(24, 24));
    FTopBar->setMovable(false);
    auto Button = [this](const char* Action, const char* Icon, const QString& Hint) {
        QAction* A = FActions.at(QString::fromLatin1(Action));
        A->setIcon(ZemToolIcon(QString::fromLatin1(Icon)));
        A->setToolTip(Hint);
        FTopBar->addAction(A);
    };
    Button("actNew", "New", QStringLiteral("Новая карта (Ctrl+N)"));
    Button("actOpen", "Open", QStringLiteral("Открыть карту (Ctrl+O)"));
    Button("actSave", "Save", QStringLiteral("Сохранить карту (Ctrl+S)"));
    Button("actPrintPreview", "Preview", QStringLiteral("Предварительный просмотр"));
    FTopBar->addSeparator();
    Button("actUndo", "Undo", QStringLiteral("Отменить (Ctrl+Z)"));
    Button("actRedo", "Redo", QStringLiteral("Повторить (Ctrl+Y)"));
    FTopBar->addSeparator();
    Button("actFindPath", "FindPath", QStringLiteral("Поиск кратчайшего пути"));
    FTopBar->addSeparator();
    auto* Label = new QLabel(QStringLiteral(" Масштаб: "), FTopBar);
    FTopBar->addWidget(Label);
    FScaleBox = new QComboBox(FTopBar);
    FScaleBox->setObjectName(QStringLiteral("ScaleBox"));
    FScaleBox->setEditable(true);
    FScaleBox->setInsertPolicy(QComboBox::NoInsert);
    FScaleBox->setMinimumContentsLength(10);
    FScaleBox->setMaxVisibleItems(16);
    for (const char* Item : kScaleItems)
        FScaleBox->addItem(QString::fromLatin1(Item));
    FScaleBox->setCurrentText(QStringLiteral("100 %"));
    FScaleBox->setToolTip(QStringLiteral("Масштаб карты"));
    connect(FScaleBox, &QComboBox::textActivated, this,
            [this](const QString& Text) { OnScaleBoxActivated(Text); });
    // A typed number is the scale: no completion turns "12" into "1200 %". The box itself activates
    // only the texts of its items, and not even those when the item is still the current one; a typed
    // value is taken at Enter, and one left without Enter gives way to the scale the map has.
    FScaleBox->setCompleter(nullptr);
    connect(FScaleBox->lineEdit(), &QLineEdit::returnPressed, this,
            [this] { OnScaleBoxActivated(FScaleBox->lineEdit()->text()); });
    connect(FScaleBox->lineEdit(), &QLineEdit::editingFinished, this,
            [this] { ShowScale(FMap->View.Scale); });
    FTopBar->addWidget(FScaleBox);
    addToolBar(Qt::TopToolBarArea, FTopBar);
}

void TfrmMain::OnScaleBoxActivated(const QString& Text) {
    // The items end in " %"; a typed value may leave it out and use either decimal separator.
    QString Number = Text.trimmed();
    if (Number.endsWith(QLatin1Char('%')))
        Number.chop(1);
    Number = Number.trimmed();
    Number.replace(QLatin1Char(','), QLatin1Char('.'));
    bool Ok = false;
    const double Value = Number.toDouble(&Ok);
    if (!Ok) {
        ShowScale(FMap->View.Scale);
        ShowError(QStringLiteral("«%1» не является числом.").arg(Text));
        return;
    }
    // From the 1 % the zoom-out tool stops at to the largest scale the zoom rectangle gives.
    const double Largest = FMap->View.MaxScale;
    if (!(Value >= kMinTypedScale && Value <= Largest)) {
        ShowScale(FMap->View.Scale); // the box shows the real scale under the message already
        ShowError(QStringLiteral("Масштаб должен быть от %1 до %2 %.")
                      .arg(QString::number(kMinTypedScale), QString::number(Largest, 'f', 0)));
        return;
    }
    // The same value from both Enter and the item's activation changes the view once.
    if (static_cast<float>(Value) != FMap->View.Scale)
        Guarded([&] { FMap->SetScale(static_cast<float>(Value)); });
    ShowScale(FMap->View.Scale);
    FMapWidget->setFocus();
}

void TfrmMain::ShowScale(float Scale) {
    QString S = QString::number(static_cast<double>(Scale), 'f', 4);
    S.replace(QLatin1Char('.'), QLocale().decimalPoint());
    FScaleBox->setCurrentText(S + QStringLiteral(" %"));
}

} // namespace zem
