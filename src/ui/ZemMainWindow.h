#pragma once
// TfrmMain: the one main window. It owns the map and its control, and turns menus, tool bars, the
// scale box and the status bar into the map's operations; it holds no logic of its own.
#include "model/ZemMap.h"
#include "platform/ZemHost.h"
#include "view/ZemBackgroundImage.h"

#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QActionGroup;
class QComboBox;
class QLabel;
class QMenu;
class QProgressBar;
class QShortcut;
class QTabWidget;
class QToolBar;

namespace zem {

class TfrmMiniMap;
class TZemAddressPage;
class TZemAutosave;
struct TRecoveryCopy;
class TZemCursorTable;
class TZemImportJob;
class TZemObjectPage;
class TZemNetworkPage;
class TZemRoutePage;
class TfrmOptions;
class ZemMapWidget;

class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TfrmMain(QWidget* Parent = nullptr);
    ~TfrmMain() override;

    TZemMap& Map() { return *FMap; }
    ZemMapWidget* MapWidget() const { return FMapWidget; }
    QComboBox* ScaleBox() const { return FScaleBox; }
    QTabWidget* Pages() const { return FPages; }
    QLabel* StatusPanel(int Index) const { return FPanels[Index]; }
    QLabel* HintPanel() const { return FHint; }
    QMenu* ObjectMenu() const { return FObjectMenu; }
    QMenu* VertexMenu() const { return FVertexMenu; }
    TZemObjectPage* ObjectPage() const { return FObjectPage; }
    TZemNetworkPage* NetworkPage() const { return FNetworkPage; }
    TZemRoutePage* RoutePage() const { return FRoutePage; }
    QLabel* RouteCostPanel() const { return FCostPanel; }
    TfrmOptions* Options() const { return FOptions; }
    TfrmMiniMap* MiniMapWindow() const { return FMiniMap; }
    const QString& FileName() const { return FFileName; }
    const TZemBackgroundImage* Background() const { return FBackground.get(); }

    // The file commands without their dialogs; each reports a failure in a message box and returns false.
    bool OpenMap(const QString& FileName);
    bool SaveMap(const QString& FileName);
    void NewMap();
    bool LoadBackground(const QString& FileName);
    // Asks "Сохранить изменения в карте?" when the document is modified: true when the caller may go on.
    bool ConfirmDiscard();
    // "Импорт...": starts importing Files off the window thread (ZemMainWindowImport.cpp); the result
    // replaces the map when it is done, unsaved and named after the first file. When a timetable is
    // among the files and a map is open, asks first whether to add them to that map instead.
    void StartImport(const QStringList& Files);
    bool ImportRunning() const;
    // Presses the tool button of a tool, as a click on it does.
    void ChooseTool(TObjectTool Tool);

    // Recovery copies (ZemMainWindowRecovery.cpp). The program keeps copies of unsaved work in Folder,
    // one interval after the first change and then at most once an interval; a window without this keeps
    // none (the tests' windows).
    void EnableRecovery(const QString& Folder, int IntervalMs);
    TZemAutosave* Autosave() const { return FAutosave.get(); }
    // Opens a copy as a modified map that carries its original file's name; false, said in a message box,
    // when it cannot be taken.
    bool RestoreCopy(const TRecoveryCopy& Copy);

signals:
    // The document was changed, undone, redone or replaced: windows that list its contents follow.
    void documentChanged();

protected:
    void closeEvent(QCloseEvent* Event) override;
    void showEvent(QShowEvent* Event) override;

private:
    // ZemMainWindow.cpp
    void ConnectMapEvents();
    void UpdateCaption();
    void UpdateHistoryActions();
    void OnPointerMove(std::int32_t X, std::int32_t Y);
    void OnToolChanged(TObjectTool Tool);
    void ShowError(const QString& Text);
    // Runs a command; an exception becomes a message box and the program goes on.
    void Guarded(const std::function<void()>& Command);
    void ShowHelp();
    void ShowMiniMap(bool Show);
    // The screen rectangle of the text being placed (its anchor and the pointer), for the text dialog.
    QRect TextBoxOnScreen() const;
    // ZemMainWindowMenus.cpp
    void CreateActions();
    void CreateMenus();
    void CreateContextMenus();
    QAction* AddAction(const char* Name, const QString& Text, const QKeySequence& Key = {});
    // Connects a check item: Flip changes the map's value, then the menu shows the map's state.
    void Flips(QAction* Item, const std::function<void()>& Flip);
    void ToggleOption(TZemMapOption Bit);
    void FlipNetworkDisplay(int Switch); // 0 network, 1 directions, 2 junctions, 3 network only
    void SetFilter(TStretchFilter Filter);
    bool HasCurrentObject() const;
    void UpdateObjectActions(); // the items that need a current object
    // Checks, enabled items and tool buttons as the map's state is now; after every change.
    void SyncViewMenu();
    // ZemMainWindowLibraries.cpp: the library dialogs, and the items that open them
    void CreateLibraryCommands();
    void UpdateLibraryActions();
    // ZemMainWindowToolBars.cpp
    void CreateToolBars();
    void OnScaleBoxActivated(const QString& Text);
    void ShowScale(float Scale);
    // ZemMainWindowFiles.cpp
    void CommandNew();
    void CommandOpen();
    void CommandSave();
    void CommandExportText();
    void CommandExportImage(bool Png);
    void CommandLoadBackground();
    void CommandUnloadBackground();
    void AddRecentFile(const QString& FileName);
    void RebuildRecentMenu();
    void AfterDocumentReplaced();
    // ZemMainWindowImport.cpp
    void CreateImportCommand();
    void CommandImport();
    void FinishImport(bool Ok, const QString& Error, const QString& Summary);
    std::vector<std::int64_t> MapStamp() const; // what tells that the map changed
    // ZemMainWindowRecovery.cpp: the map was saved, replaced or dropped, so its copy goes.
    void ForgetRecoveryCopy();
    // ZemMainWindowRoute.cpp: the route search's page, progress, result and parameters.
    void CreateRoutePage();
    void ConnectRouteEvents();
    void CommandFindPath();
    void ShowRouteCost(long double Cost, const QString& Note = {});
    // ZemMainWindowStatus.cpp
    void CreateStatusBar();
    void OnProgress(std::int32_t PercentDone, TStage Stage, const std::string& Msg);
    void OnMeasure(float Total, float Current);
    void ShowToolHint();

    ZemMapWidget* FMapWidget = nullptr;
    std::unique_ptr<TZemMap> FMap;
    QString FFileName; // full path of the open map; empty for a new one
    QString FUntitledName; // the name a new map goes by until it is saved (an import's), or empty
    std::unique_ptr<TZemBackgroundImage> FBackground;
    QString FBackgroundFolder;
    float FBackgroundScale = 100.0f; // per cent: the background image's scale, also the save-time view scale

    std::optional<TZemTextAnswer> FTextValues; // of the last text created, for the next one
    std::unique_ptr<TZemCursorTable> FCursors;
    QTabWidget* FPages = nullptr;
    TZemObjectPage* FObjectPage = nullptr;
    TZemAddressPage* FAddressPage = nullptr;
    TZemNetworkPage* FNetworkPage = nullptr;
    TZemRoutePage* FRoutePage = nullptr;
    QLabel* FCostPanel = nullptr; // the cost of the route shown
    TfrmOptions* FOptions = nullptr; // not modal: shown and hidden, made once
    TfrmMiniMap* FMiniMap = nullptr; // a tool window of its own, made when this window is first shown
    QComboBox* FScaleBox = nullptr;
    QLabel* FPanels[6] = {};
    QLabel* FHint = nullptr;
    QProgressBar* FProgress = nullptr;
    QMenu* FObjectMenu = nullptr;
    QMenu* FVertexMenu = nullptr;
    QMenu* FRecentMenu = nullptr;
    QToolBar* FToolBar = nullptr;
    QToolBar* FTopBar = nullptr;
    QActionGroup* FToolGroup = nullptr;
    std::map<TObjectTool, QAction*> FToolActions;
    std::map<QString, QAction*> FActions; // by object name
    std::unique_ptr<TZemAutosave> FAutosave;
    std::unique_ptr<TZemImportJob> FImport; // the import running, if any
    QString FImportName;                    // its first file's name
    bool FImportAdds = false;               // it goes into the open map, as one undo step
    std::vector<std::int64_t> FImportStamp; // the open map's state when it started
    QShortcut* FImportEscape = nullptr;
};

} // namespace zem
