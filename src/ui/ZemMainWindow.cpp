#include "ui/ZemMainWindow.h"
#include "ui/ZemImportJob.h"

#include "model/ZemErrors.h"
#include "persistence/ZemAutosave.h"
#include "ui/ZemAddressPage.h"
#include "ui/ZemAppIcon.h"
#include "ui/ZemCursors.h"
#include "ui/ZemFontDialog.h"
#include "ui/ZemMapWidget.h"
#include "ui/ZemMessageBox.h"
#include "ui/ZemMiniMapWindow.h"
#include "ui/ZemNetworkPage.h"
#include "ui/ZemObjectPage.h"
#include "ui/ZemOptions.h"
#include "ui/ZemPageTabs.h"
#include <QSlider>

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>
#include <new>

namespace zem {

namespace {
constexpr auto kCaption = "Векторный редактор ZemMap";
constexpr int kPagesWidth = 245;

// Numbers in the status bar: two decimals with the user's decimal separator.
QString Fixed2(double Value) {
    QString S = QString::number(Value, 'f', 2);
    return S.replace(QLatin1Char('.'), QLocale().decimalPoint());
}
} // namespace

TfrmMain::TfrmMain(QWidget* Parent) : QMainWindow(Parent) {
    setObjectName(QStringLiteral("frmMain"));
    resize(1200, 800);

    auto* Central = new QSplitter(Qt::Horizontal, this);
    Central->setChildrenCollapsible(false);
    FMapWidget = new ZemMapWidget(Central);
    FMapWidget->setObjectName(QStringLiteral("MapPanel"));
    FMap = std::make_unique<TZemMap>(*FMapWidget);
    FMapWidget->SetMap(FMap.get());

    FCursors = std::make_unique<TZemCursorTable>();
    FMapWidget->CursorOf = [this](int Number) { return (*FCursors)[Number]; };
    FMapWidget->TextDialog = [this](TZemTextAnswer& Answer,
                                    const std::function<void(const TZemTextAnswer&)>& OnChange) {
        // One text dialog for the map: a new text starts with the last one's font, size, angle and style.
        if (FTextValues) {
            Answer = *FTextValues;
            Answer.Text.clear();
        }
        const bool Ok = TZemFontDialogForm::Ask(this, Answer, OnChange, TextBoxOnScreen());
        if (Ok)
            FTextValues = Answer;
        return Ok;
    };
    setWindowIcon(ZemAppIcon());

    // The right-hand pages.
    auto* Pages = new TZemPageControl(Central);
    FPages = Pages;
    FPages->setObjectName(QStringLiteral("PageControl"));
    // At least the classic 245 pixels, wider when the inspector's controls need it.
    FPages->setMinimumWidth(kPagesWidth);
    FObjectPage = new TZemObjectPage(*FMap, FPages);
    FPages->addTab(FObjectPage, QStringLiteral("Инспектор объектов"));
    FNetworkPage = new TZemNetworkPage(*FMap, FPages);
    FPages->addTab(FNetworkPage, QStringLiteral("Дорожная сеть"));
    // Both page titles stay readable, without scroll arrows, when the style's font needs more than 245.
    FPages->setMinimumWidth(std::max(kPagesWidth, FPages->tabBar()->sizeHint().width() + 8));
    // With all four pages the titles go on two lines in a column of usual width, which is widened to
    // show them whole; each tab's tool tip holds its title as well.
    FAddressPage = new TZemAddressPage(*FMap, FPages);
    FPages->insertTab(1, FAddressPage, QStringLiteral("Типы и адреса"));
    CreateRoutePage();
    FPages->setMinimumWidth(std::max(FPages->minimumWidth(), Pages->TitlesWidth()));
    for (int i = 0; i < FPages->count(); ++i)
        FPages->setTabToolTip(i, FPages->tabText(i));
    FOptions = new TfrmOptions(*FMap, this);
    FOptions->OnBackgroundScale = [this](float Percent) {
        FBackgroundScale = Percent;
        if (FBackground)
            FBackground->Scale = Percent;
        FMap->Refresh();
    };
    FObjectPage->SetPseudo3DAngleSource([this] { return FOptions->Pseudo3DAngleTrackBar->value(); });
    Central->addWidget(FMapWidget);
    Central->addWidget(FPages);
    Central->setStretchFactor(0, 1);
    Central->setStretchFactor(1, 0);
    // The column starts at its minimum width rather than at the width all titles would need in full.
    Central->setSizes({std::numeric_limits<int>::max() / 2, FPages->minimumWidth()});
    setCentralWidget(Central);

    CreateActions();
    CreateImportCommand();
    CreateContextMenus();
    CreateMenus();
    CreateToolBars();
    CreateStatusBar();
    ConnectMapEvents();

    FMap->SetCurrentTool(tSelectObject);
    ChooseTool(tSelectObject);
    SyncViewMenu();
    UpdateCaption();
    UpdateHistoryActions();
    ShowScale(FMap->View.Scale);
    FMapWidget->setFocus();
}

TfrmMain::~TfrmMain() {
    // The map's timers and events point into this window and its control: it goes first, after the copy
    // of its unsaved work (which a clean end removes).
    FAutosave.reset();
    FMapWidget->SetMap(nullptr);
    FMap.reset();
}

void TfrmMain::ConnectMapEvents() {
    TZemMap& M = *FMap;
    M.OnMouseMove = [this](TZemMap&, TZemShiftState, std::int32_t X, std::int32_t Y) { OnPointerMove(X, Y); };
    M.OnVisibleCount = [this](TZemMap&, std::int32_t Visible, std::int32_t Count) {
        FPanels[1]->setText(QStringLiteral("Объектов = %1 (%2)").arg(Visible).arg(Count));
    };
    // The map tells of a new current object by these two; the items that need one follow.
    M.OnMouseDown = [this](TZemMap&, TZemMouseButton, TZemShiftState, std::int32_t, std::int32_t) {
        FObjectPage->Refresh();
        FAddressPage->Refresh();
        UpdateObjectActions();
    };
    FMapWidget->AfterInput = [this] {
        UpdateObjectActions();
        ShowToolHint();
    };
    M.OnChangeCurrentTool = [this](TZemMap&, TObjectTool Tool) { OnToolChanged(Tool); };
    M.OnDebug = [](TZemMap&, const std::string&) {};
    M.OnScale = [this](TZemMap&, float Scale) { ShowScale(Scale); };
    M.OnMeasure = [this](TZemMap&, float Total, float Current) { OnMeasure(Total, Current); };
    M.OnPaintBackground = [this](TZemMap& Map, TBitmap32& Bitmap) {
        const QAction* Show = FActions.at(QStringLiteral("actShowBackground"));
        if (FBackground && Show->isChecked())
            PaintBackgroundImage(Map, *FBackground, Bitmap);
    };
    M.OnChangeCurrentObject = [this](TZemMap& Map, std::int32_t ID) {
        const bool Exists = ID >= 0 && Map.ObjectExists(ID);
        UpdateLibraryActions();
        if (Exists)
            FActions.at(QStringLiteral("actLockObject"))->setChecked(Map.ObjectByID(ID).Lock);
    };
    M.OnMapProgress = [this](TZemMap&, std::int32_t Percent, TStage Stage, const std::string& Msg) {
        OnProgress(Percent, Stage, Msg);
    };
    M.OnModifiedChange = [this](TZemMap&, bool) {
        UpdateCaption();
        if (FAutosave)
            FAutosave->DocumentChanged();
    };
    // One notification per change: the caption follows the modified flag, the page the object.
    M.OnHistoryChange = [this](TZemMap&) {
        if (FAutosave)
            FAutosave->DocumentChanged();
        UpdateHistoryActions();
        SyncViewMenu();
        FObjectPage->Reload();
        FAddressPage->Refresh();
        emit documentChanged();
    };
    connect(FNetworkPage, &TZemNetworkPage::networkChanged, this, [this] { UpdateCaption(); });
    ConnectRouteEvents();
}

void TfrmMain::UpdateCaption() {
    QString Title = QString::fromUtf8(kCaption);
    if (!FFileName.isEmpty())
        Title += QStringLiteral(" [%1]").arg(QFileInfo(FFileName).fileName());
    else if (!FUntitledName.isEmpty())
        Title += QStringLiteral(" [%1]").arg(FUntitledName);
    if (FMap->Modified())
        Title += QStringLiteral(" *");
    setWindowTitle(Title);
}

void TfrmMain::UpdateHistoryActions() {
    FActions.at(QStringLiteral("actUndo"))->setEnabled(FMap->CanUndo());
    FActions.at(QStringLiteral("actRedo"))->setEnabled(FMap->CanRedo());
}

void TfrmMain::OnPointerMove(std::int32_t X, std::int32_t Y) {
    const TXYPoint P = FMap->View.CursorPos;
    FPanels[0]->setText(QStringLiteral("Курсор (%1; %2)").arg(Fixed2(P.X), Fixed2(P.Y)));
    // The context menu a right click will open: the vertex commands over a vertex handle (a junction
    // keeps the object menu), the object menu over anything else while an object is current.
    switch (FMap->MenuAt(X, Y)) {
    case TZemMenuKind::mkNone:
        FMapWidget->SetPopupMenu(nullptr);
        break;
    case TZemMenuKind::mkObject:
        FMapWidget->SetPopupMenu(FObjectMenu);
        break;
    case TZemMenuKind::mkVertex:
        FMapWidget->SetPopupMenu(FVertexMenu);
        break;
    }
}

void TfrmMain::OnToolChanged(TObjectTool Tool) {
    const auto It = FToolActions.find(Tool);
    if (It != FToolActions.end() && !It->second->isChecked())
        It->second->setChecked(true);
    ShowToolHint();
}

void TfrmMain::ChooseTool(TObjectTool Tool) {
    const auto It = FToolActions.find(Tool);
    if (It == FToolActions.end())
        return;
    if (!It->second->isEnabled())
        return;
    It->second->setChecked(true);
    if (Tool == tSelectObject)
        FObjectPage->ResetPlane();
    FMap->SetCurrentTool(Tool);
    FMapWidget->setFocus();
}

void TfrmMain::ShowError(const QString& Text) {
    ShowErrorBox(this, Text);
}

void TfrmMain::Guarded(const std::function<void()>& Command) {
    try {
        Command();
    } catch (const std::bad_alloc&) {
        ShowError(QStringLiteral("Недостаточно памяти для выполнения команды."));
    } catch (const std::exception& E) {
        ShowError(QString::fromUtf8(E.what()));
    }
}

void TfrmMain::ShowHelp() {
    // The help file lives beside the program, whatever the current folder is.
    const QString Path = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Help.hlp"));
    if (!QFileInfo::exists(Path)) {
        ShowError(QStringLiteral("Файл справки не найден: %1").arg(QDir::toNativeSeparators(Path)));
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(Path)))
        ShowError(QStringLiteral("Не удалось открыть файл справки: %1").arg(QDir::toNativeSeparators(Path)));
}

void TfrmMain::showEvent(QShowEvent* Event) {
    QMainWindow::showEvent(Event);
    if (FMiniMap)
        return;
    FMiniMap = new TfrmMiniMap(this);
    FMiniMap->Attach(*FMap);
    QAction* Show = FActions.at(QStringLiteral("actShowMiniMap"));
    Show->setEnabled(true);
    // Closed from its own title bar, the window can be brought back by the item, which shows it closed.
    connect(FMiniMap, &TfrmMiniMap::closed, this, [Show] { Show->setChecked(false); });
    // Once the window has its final (maximised) layout, so that the map panel's corner is known.
    QTimer::singleShot(0, this, [this, Show] {
        if (Show->isChecked())
            ShowMiniMap(true);
    });
}

void TfrmMain::ShowMiniMap(bool Show) {
    if (!FMiniMap)
        return;
    if (Show) {
        FMiniMap->PlaceOnMap(QRect(FMapWidget->mapToGlobal(QPoint(0, 0)), FMapWidget->size()));
        FMiniMap->show();
    } else {
        FMiniMap->hide();
    }
}

void TfrmMain::closeEvent(QCloseEvent* Event) {
    if (!ConfirmDiscard()) {
        Event->ignore();
        return;
    }
    ForgetRecoveryCopy(); // saved, or its changes dropped with "Нет"
    if (FMiniMap)
        FMiniMap->close();
    Event->accept();
}

QRect TfrmMain::TextBoxOnScreen() const {
    const TZemObject& Box = FMap->NewObject;
    if (Box.PointCount() == 0)
        return QRect();
    const double Ratio = FMapWidget->PixelRatio();
    QRect R;
    for (std::int32_t i = 0; i < Box.PointCount(); ++i) {
        const TPoint P = FMap->WorldToScreen(Box.Point(i));
        const QPoint Local(static_cast<int>(P.X / Ratio), static_cast<int>(P.Y / Ratio));
        R = R.united(QRect(FMapWidget->mapToGlobal(Local), QSize(1, 1)));
    }
    return R;
}

} // namespace zem
