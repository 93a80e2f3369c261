// The main menu, the map's two context menus and the window-wide shortcuts.
#include "model/ZemErrors.h"
#include "transport/ZemGeneticSearch.h"
#include "ui/ZemAddressDialog.h"
#include "ui/ZemDirectoriesDialog.h"
#include "ui/ZemFindWindow.h"
#include "ui/ZemGAParams.h"
#include "ui/ZemMainWindow.h"
#include "ui/ZemMapWidget.h"
#include "ui/ZemNetworkPage.h"
#include "ui/ZemObjectPage.h"
#include "ui/ZemOptions.h"
#include "ui/ZemOrganisationWindow.h"
#include "ui/ZemPrintCommands.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

namespace zem {

QAction* TfrmMain::AddAction(const char* Name, const QString& Text, const QKeySequence& Key) {
    auto* A = new QAction(Text, this);
    A->setObjectName(QString::fromLatin1(Name));
    if (!Key.isEmpty())
        A->setShortcut(Key);
    FActions[A->objectName()] = A;
    return A;
}

void TfrmMain::CreateActions() {
    auto Checkable = [](QAction* A, bool Checked) {
        A->setCheckable(true);
        A->setChecked(Checked);
        return A;
    };
    auto Disabled = [](QAction* A) {
        A->setEnabled(false);
        return A;
    };

    // "Файл"
    connect(AddAction("actNew", QStringLiteral("Новый"), QKeySequence::New), &QAction::triggered, this,
            [this] { CommandNew(); });
    connect(AddAction("actOpen", QStringLiteral("Открыть..."), QKeySequence::Open), &QAction::triggered, this,
            [this] { CommandOpen(); });
    connect(AddAction("actSave", QStringLiteral("Сохранить..."), QKeySequence::Save), &QAction::triggered,
            this, [this] { CommandSave(); });
    connect(AddAction("actExportText", QStringLiteral("Экспорт в текстовый файл...")), &QAction::triggered,
            this, [this] { CommandExportText(); });
    connect(AddAction("actExportBmp", QStringLiteral("в BMP...")), &QAction::triggered, this,
            [this] { CommandExportImage(false); });
    connect(AddAction("actExportPng", QStringLiteral("в PNG...")), &QAction::triggered, this,
            [this] { CommandExportImage(true); });
    connect(AddAction("actPrintPreview", QStringLiteral("Предварительный просмотр..."), QKeySequence::Print),
            &QAction::triggered, this,
            [this] { Guarded([this] { CommandPrintPreview(*FMap, FFileName, this); }); });
    connect(AddAction("actPrintSettings", QStringLiteral("Параметры печати...")), &QAction::triggered, this,
            [this] { CommandPrintSettings(this); });
    connect(AddAction("actExportPdf", QStringLiteral("в PDF...")), &QAction::triggered, this,
            [this] { Guarded([this] { CommandExportPdf(*FMap, FFileName, this); }); });
    connect(AddAction("actExit", QStringLiteral("Выход")), &QAction::triggered, this, &QWidget::close);

    // "Правка"
    connect(AddAction("actUndo", QStringLiteral("Отменить"), QKeySequence(Qt::CTRL | Qt::Key_Z)),
            &QAction::triggered, this, [this] { Guarded([this] { FMap->Undo(); }); });
    QAction* Redo = AddAction("actRedo", QStringLiteral("Повторить"));
    Redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    connect(Redo, &QAction::triggered, this, [this] { Guarded([this] { FMap->Redo(); }); });
    QAction* Copy = AddAction("actCopyStyle", QStringLiteral("Скопировать стиль"),
                              QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_C));
    Copy->setToolTip(
        QStringLiteral("Скопировать карандаш, кисть, шрифт и адрес объекта в память\n(Shift+Ctrl+C)"));
    connect(Copy, &QAction::triggered, this, [this] { FObjectPage->CopyStyle(); });
    QAction* Paste = AddAction("actPasteStyle", QStringLiteral("Вставить стиль"),
                               QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_V));
    Paste->setToolTip(
        QStringLiteral("Вставить из памяти карандаш, кисть, шрифт и адрес объекта,\nкроме номера "
                       "дома, в текущий выделенный объект\n(Shift+Ctrl+V)"));
    connect(Paste, &QAction::triggered, this, [this] { Guarded([this] { FObjectPage->PasteStyle(); }); });
    connect(AddAction("actFindObject", QStringLiteral("Поиск объекта..."), QKeySequence(Qt::CTRL | Qt::Key_F)),
            &QAction::triggered, this, [this] {
                ShowFindObject(*this, *FMap, [this] {
                    FObjectPage->Refresh();
                    UpdateObjectActions();
                });
            });

    // "Дополнительно"
    connect(AddAction("actOptions", QStringLiteral("Показать окно опций"), QKeySequence(Qt::Key_F11)),
            &QAction::triggered, this, [this] {
                FOptions->show();
                FOptions->raise();
                FOptions->activateWindow();
            });
    connect(AddAction("actGAParams", QStringLiteral("Параметры генетического алгоритма")), &QAction::triggered,
            this, [this] { TfrmGAParametrs::Execute(FMap->TransportTask(), this); });
    AddAction("actIconArchive", QStringLiteral("Ахрив иконок"));
    AddAction("actPictureArchive", QStringLiteral("Архив изображений"));
    connect(AddAction("actDirectories", QStringLiteral("Справочники")), &QAction::triggered, this, [this] {
        Guarded([this] {
            if (TfrmZemSpravDialog::Execute(*FMap, this))
                FNetworkPage->ReloadDirectories();
        });
    });
    connect(Disabled(AddAction("actAddress", QStringLiteral("Показать адресную информацию - F2"),
                               QKeySequence(Qt::Key_F2))),
            &QAction::triggered, this, [this] {
                if (HasCurrentObject())
                    Guarded([this] { TfrmAdr::Edit(*FMap, this); });
            });
    connect(Disabled(AddAction("actOrganisations", QStringLiteral("Показать информацию о фирмах - F3"),
                               QKeySequence(Qt::Key_F3))),
            &QAction::triggered, this, [this] {
                if (HasCurrentObject())
                    TfrmOrganisation::Execute(this);
            });
    connect(Disabled(AddAction("actTransportInfo", QStringLiteral("Характеристика транспорта"),
                               QKeySequence(Qt::Key_F4))),
            &QAction::triggered, this, [this] {
                if (HasCurrentObject())
                    FObjectPage->TransportClicked();
            });
    QAction* ShowBack =
        Disabled(Checkable(AddAction("actShowBackground", QStringLiteral("Показывать подложку"),
                                     QKeySequence(Qt::CTRL | Qt::Key_Q)),
                           false));
    connect(ShowBack, &QAction::toggled, this, [this] { FMap->Refresh(); });
    Flips(Checkable(AddAction("actHideObjects", QStringLiteral("Спрятать объекты"),
                              QKeySequence(Qt::CTRL | Qt::Key_W)),
                    false),
          [this] { ToggleOption(moHideObjects); });
    connect(AddAction("actLoadBackground", QStringLiteral("Загрузить подложку..."),
                      QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_L)),
            &QAction::triggered, this, [this] { CommandLoadBackground(); });
    connect(AddAction("actUnloadBackground", QStringLiteral("Выгрузить подложку"),
                      QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_U)),
            &QAction::triggered, this, [this] { CommandUnloadBackground(); });
    auto* Filters = new QActionGroup(this);
    const std::pair<const char*, TStretchFilter> FilterItems[] = {{"Nearest", TStretchFilter::sfNearest},
                                                                  {"Linear", TStretchFilter::sfLinear},
                                                                  {"Spline", TStretchFilter::sfSpline}};
    for (const auto& [Text, Filter] : FilterItems) {
        const QByteArray Name = QByteArray("actFilter") + Text;
        QAction* A = Checkable(AddAction(Name.constData(), QString::fromLatin1(Text)),
                               Filter == TStretchFilter::sfNearest);
        Filters->addAction(A);
        connect(A, &QAction::triggered, this, [this, F = Filter] { SetFilter(F); });
    }

    // "Вид"
    QAction* MiniMap = Disabled(Checkable(AddAction("actShowMiniMap", QStringLiteral("Показывать мини-карту"),
                                                    QKeySequence(Qt::CTRL | Qt::Key_QuoteLeft)),
                                          true));
    connect(MiniMap, &QAction::triggered, this, [this](bool On) { ShowMiniMap(On); });
    Flips(Checkable(AddAction("actShowGrid", QStringLiteral("Показывать координатную сетку"),
                              QKeySequence(Qt::CTRL | Qt::Key_Apostrophe)),
                    false),
          [this] { FMap->SetShowGrid(!FMap->Doc.ShowGrid); });
    Flips(Checkable(AddAction("actAntiAlias", QStringLiteral("Антиалиасинг")), false), [this] {
        FMap->View.AntiAlias = !FMap->View.AntiAlias;
        FMap->Refresh();
    });
    Flips(Checkable(AddAction("actShow3D", QStringLiteral("Отображать 3D объекты")), true),
          [this] { ToggleOption(moShow3D); });
    Flips(Checkable(AddAction("actNoEditing", QStringLiteral("Запретить редактирование")), false),
          [this] { ToggleOption(moEditable); });
    const char* NetNames[] = {"actShowNet", "actShowNetDirections", "actShowNetCrosses", "actShowOnlyNet"};
    const char* NetTexts[] = {"Показывать транспортную сеть", "Показывать направления в транспортной сети",
                              "Показывать вершины в транспортной сети",
                              "Показывать только транспортную сеть"};
    for (int i = 0; i < 4; ++i) {
        QAction* A = Checkable(AddAction(NetNames[i], QString::fromUtf8(NetTexts[i]),
                                         i == 0 ? QKeySequence(Qt::CTRL | Qt::Key_T) : QKeySequence()),
                               i != 3);
        Flips(A, [this, i] { FlipNetworkDisplay(i); });
    }

    // "Помощь"
    connect(AddAction("actHelp", QStringLiteral("Помощь"), QKeySequence(Qt::Key_F1)), &QAction::triggered,
            this, [this] { ShowHelp(); });

    // The route search and the connection kind (Alt+1, Alt+2, Alt+3 reach the window before the map).
    QAction* Find = AddAction("actFindPath", QStringLiteral("Поиск кратчайшего пути"));
    connect(Find, &QAction::triggered, this, [this] { CommandFindPath(); });
    for (int i = 0; i < 3; ++i) {
        const QByteArray Name = "actConnectionKind" + QByteArray::number(i + 1);
        QAction* A = AddAction(Name.constData(), QString(),
                               QKeySequence(Qt::ALT | static_cast<Qt::Key>(Qt::Key_1 + i)));
        addAction(A);
        connect(A, &QAction::triggered, this, [this, i] { FNetworkPage->SelectConnectionKind(i); });
    }

    // Context menus of the map.
    connect(Checkable(AddAction("actLockObject", QStringLiteral("Защита объекта")), false),
            &QAction::triggered, this, [this] {
                const std::int32_t ID = FMap->CurrentObject();
                if (ID < 0 || !FMap->ObjectExists(ID))
                    return;
                Guarded(
                    [&] { FActions.at(QStringLiteral("actLockObject"))->setChecked(FMap->ToggleLock(ID)); });
            });
    auto OnCurrent = [this](const char* Name, const QString& Text, void (*Do)(TZemMap&, std::int32_t)) {
        connect(AddAction(Name, Text), &QAction::triggered, this, [this, Do] {
            const std::int32_t ID = FMap->CurrentObject();
            if (ID < 0 || !FMap->ObjectExists(ID))
                return;
            Guarded([&] {
                TZemChange Step(*FMap);
                Do(*FMap, ID);
            });
        });
    };
    OnCurrent("actDuplicate", QStringLiteral("Дублировать объект"),
              [](TZemMap& M, std::int32_t ID) { M.DuplicateObject(ID); });
    OnCurrent("actDelete", QStringLiteral("Удалить объект"),
              [](TZemMap& M, std::int32_t ID) { M.DeleteObject(ID); });
    OnCurrent("actToFront", QStringLiteral("На передний план"),
              [](TZemMap& M, std::int32_t ID) { M.BringToFront(ID); });
    OnCurrent("actToBack", QStringLiteral("На задний план"),
              [](TZemMap& M, std::int32_t ID) { M.SendToBack(ID); });
    Disabled(AddAction("actLoadPicture", QStringLiteral("Загрузить рисунок")));
    Disabled(AddAction("actLoadIcon", QStringLiteral("Загрузить иконку")));
    connect(AddAction("actAddVertex", QStringLiteral("Добавить точку")), &QAction::triggered, this,
            [this] { Guarded([this] { FMap->AddVertexAtMenuPoint(); }); });
    connect(AddAction("actDeleteVertex", QStringLiteral("Удалить точку")), &QAction::triggered, this,
            [this] { Guarded([this] { FMap->DeleteVertexAtMenuPoint(); }); });
    CreateLibraryCommands();
}

void TfrmMain::CreateMenus() {
    auto A = [this](const char* Name) { return FActions.at(QString::fromLatin1(Name)); };
    QMenuBar* Bar = menuBar();
    Bar->setObjectName(QStringLiteral("MainMenu"));

    QMenu* File = Bar->addMenu(QStringLiteral("&Файл"));
    File->addAction(A("actNew"));
    File->addAction(A("actOpen"));
    File->addAction(A("actImport"));
    FRecentMenu = File->addMenu(QStringLiteral("Последние файлы"));
    FRecentMenu->setObjectName(QStringLiteral("RecentMenu"));
    File->addAction(A("actSave"));
    File->addSeparator();
    File->addAction(A("actExportText"));
    QMenu* Export = File->addMenu(QStringLiteral("Экспорт"));
    Export->addAction(A("actExportBmp"));
    Export->addAction(A("actExportPng"));
    Export->addAction(A("actExportPdf"));
    File->addSeparator();
    File->addAction(A("actPrintPreview"));
    File->addAction(A("actPrintSettings"));
    File->addSeparator();
    File->addAction(A("actExit"));
    RebuildRecentMenu();

    QMenu* Edit = Bar->addMenu(QStringLiteral("&Правка"));
    Edit->addAction(A("actUndo"));
    Edit->addAction(A("actRedo"));
    Edit->addSeparator();
    Edit->addAction(A("actCopyStyle"));
    Edit->addAction(A("actPasteStyle"));
    Edit->addSeparator();
    Edit->addAction(A("actFindObject"));
    Edit->addSeparator();
    for (const char* Name : {"actLockObject", "actDuplicate", "actDelete", "actToFront", "actToBack"})
        Edit->addAction(A(Name));

    QMenu* More = Bar->addMenu(QStringLiteral("&Дополнительно"));
    for (const char* Name :
         {"actOptions", "actGAParams", "actIconArchive", "actPictureArchive", "actDirectories"})
        More->addAction(A(Name));
    More->addSeparator();
    for (const char* Name : {"actAddress", "actOrganisations", "actTransportInfo"})
        More->addAction(A(Name));
    More->addSeparator();
    for (const char* Name :
         {"actShowBackground", "actHideObjects", "actLoadBackground", "actUnloadBackground"})
        More->addAction(A(Name));
    QMenu* Filter = More->addMenu(QStringLiteral("Сглаживающий фильтр подложки"));
    for (const char* Name : {"actFilterNearest", "actFilterLinear", "actFilterSpline"})
        Filter->addAction(A(Name));

    QMenu* View = Bar->addMenu(QStringLiteral("&Вид"));
    for (const char* Name : {"actShowMiniMap", "actShowGrid", "actAntiAlias", "actShow3D", "actNoEditing"})
        View->addAction(A(Name));
    View->addSeparator();
    for (const char* Name : {"actShowNet", "actShowNetDirections", "actShowNetCrosses", "actShowOnlyNet"})
        View->addAction(A(Name));

    QMenu* Help = Bar->addMenu(QStringLiteral("По&мощь"));
    Help->addAction(A("actHelp"));
}

void TfrmMain::CreateContextMenus() {
    auto A = [this](const char* Name) { return FActions.at(QString::fromLatin1(Name)); };
    FObjectMenu = new QMenu(this);
    FObjectMenu->setObjectName(QStringLiteral("ZemPopupMenu"));
    for (const char* Name : {"actLockObject", "actDuplicate", "actDelete", "actToFront", "actToBack"})
        FObjectMenu->addAction(A(Name));
    FObjectMenu->addSeparator();
    FObjectMenu->addAction(A("actLoadPicture"));
    FObjectMenu->addAction(A("actLoadIcon"));
    FVertexMenu = new QMenu(this);
    FVertexMenu->setObjectName(QStringLiteral("ZemPopupMenuAddDelPoint"));
    FVertexMenu->addAction(A("actAddVertex"));
    FVertexMenu->addAction(A("actDeleteVertex"));
}

void TfrmMain::Flips(QAction* Item, const std::function<void()>& Flip) {
    // The item's own checked state may be stale (an undo changed the map since): the map's value is flipped
    // and the menu then shows what the map holds.
    connect(Item, &QAction::triggered, this, [this, Flip] {
        Guarded(Flip);
        SyncViewMenu();
    });
}

void TfrmMain::ToggleOption(TZemMapOption Bit) {
    FMap->SetOption(static_cast<std::uint8_t>(FMap->Doc.Option ^ (1u << Bit)));
    FMap->Refresh();
}

void TfrmMain::FlipNetworkDisplay(int Switch) {
    const TZemNetworkState& N = FMap->Net;
    TZemNetworkDisplay D{N.ShowTransportNet, N.ShowTransportDirections, N.ShowTransportCrosses,
                         N.ShowOnlyTransportNet};
    bool* Fields[] = {&D.ShowNet, &D.Directions, &D.Crosses, &D.OnlyNet};
    *Fields[Switch] = !*Fields[Switch];
    FMap->SetNetworkDisplay(D);
}

void TfrmMain::SetFilter(TStretchFilter Filter) {
    if (FBackground)
        FBackground->Filter = Filter;
    FMap->Refresh();
}

bool TfrmMain::HasCurrentObject() const {
    const std::int32_t ID = FMap->CurrentObject();
    return ID >= 0 && FMap->ObjectExists(ID);
}

void TfrmMain::UpdateObjectActions() {
    FActions.at(QStringLiteral("actTransportInfo"))->setEnabled(HasCurrentObject());
    FActions.at(QStringLiteral("actOrganisations"))->setEnabled(HasCurrentObject());
    UpdateLibraryActions();
    FActions.at(QStringLiteral("actAddress"))->setEnabled(HasCurrentObject());
}

void TfrmMain::SyncViewMenu() {
    auto Set = [this](const char* Name, bool On) {
        QAction* A = FActions.at(QString::fromLatin1(Name));
        const QSignalBlocker Block(A);
        A->setChecked(On);
    };
    const TZemDocument& D = FMap->Doc;
    Set("actShowGrid", D.ShowGrid);
    Set("actAntiAlias", FMap->View.AntiAlias);
    Set("actShow3D", D.HasOption(moShow3D));
    Set("actHideObjects", D.HasOption(moHideObjects));
    Set("actNoEditing", !D.HasOption(moEditable));
    Set("actShowNet", FMap->Net.ShowTransportNet);
    Set("actShowNetDirections", FMap->Net.ShowTransportDirections);
    Set("actShowNetCrosses", FMap->Net.ShowTransportCrosses);
    Set("actShowOnlyNet", FMap->Net.ShowOnlyTransportNet);
    UpdateObjectActions();
    ShowToolHint(); // editing may have been allowed or refused
    FNetworkPage->ShowConnectionKind();
    // Junctions and segments are drawn with the network shown only.
    for (TObjectTool T : {tRoadCross, tRoadCrossLine})
        if (const auto It = FToolActions.find(T); It != FToolActions.end())
            It->second->setEnabled(FMap->Net.ShowTransportNet);
    if (!FMap->Net.ShowTransportNet &&
        (FMap->CurrentTool() == tRoadCross || FMap->CurrentTool() == tRoadCrossLine))
        ChooseTool(tSelectObject);
}

} // namespace zem
