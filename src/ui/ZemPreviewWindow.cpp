#include "ui/ZemPreviewWindow.h"

#include "base/ZemRound.h"
#include "ui/ZemMessageBox.h"
#include "ui/ZemPagePreview.h"
#include "ui/ZemToolIcons.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWidget>

#include <exception>
#include <iterator>

namespace zem {

TfrmZemPreview::TfrmZemPreview(QPrinter& Printer, QWidget* Parent) : QDialog(Parent), FPrinter(Printer) {
    setObjectName(QStringLiteral("frmZemPreview"));
    setWindowTitle(QStringLiteral("Предпросмотр"));
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    setSizeGripEnabled(false);
    resize(900, 700);

    auto* Bar = new QToolBar(this);
    Bar->setObjectName(QStringLiteral("PreviewToolBar"));
    Bar->setIconSize(QSize(24, 24));
    Bar->setToolButtonStyle(Qt::ToolButtonIconOnly);

    FScaleCombo = new QComboBox(Bar);
    FScaleCombo->setObjectName(QStringLiteral("ScaleCombo"));
    FScaleCombo->addItems({QStringLiteral("Настоящий размер"), QStringLiteral("По ширине"),
                           QStringLiteral("Целая страница"), QStringLiteral("По две страницы"),
                           QStringLiteral("По четыре страницы")});
    FScaleCombo->setCurrentIndex(0);
    FScaleCombo->setToolTip(QStringLiteral("Масштаб страницы"));
    Bar->addWidget(FScaleCombo);
    Bar->addSeparator();

    auto Add = [&](const char* Name, const char* Icon, const QString& Text) {
        QAction* A = Bar->addAction(ZemToolIcon(QString::fromLatin1(Icon)), Text);
        A->setObjectName(QString::fromLatin1(Name));
        A->setToolTip(Text);
        return A;
    };
    QAction* PrintAction = Add("actPrint", "Print", QStringLiteral("Печать... (Ctrl+P)"));
    PrintAction->setShortcut(QKeySequence::Print);
    Bar->addSeparator();
    auto* Modes = new QActionGroup(this);
    QAction* Hand = Add("actHand", "MapMove", QStringLiteral("Двигать страницу"));
    QAction* ZoomIn = Add("actZoomIn", "ZoomIn", QStringLiteral("Увеличить (щелчок по странице)"));
    QAction* ZoomOut = Add("actZoomOut", "ZoomOut", QStringLiteral("Уменьшить (щелчок по странице)"));
    for (QAction* A : {Hand, ZoomIn, ZoomOut}) {
        A->setCheckable(true);
        Modes->addAction(A);
    }
    Bar->addSeparator();
    auto* Orientations = new QActionGroup(this);
    QAction* Portrait = Add("actPortrait", "Portrait", QStringLiteral("Книжная страница"));
    QAction* Landscape = Add("actLandscape", "Landscape", QStringLiteral("Альбомная страница"));
    for (QAction* A : {Portrait, Landscape}) {
        A->setCheckable(true);
        Orientations->addAction(A);
    }
    Portrait->setChecked(true);
    auto* Spacer = new QWidget(Bar);
    Spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    Bar->addWidget(Spacer);
    FClose = new QPushButton(QStringLiteral("Закрыть"), Bar);
    FClose->setObjectName(QStringLiteral("CloseButton"));
    FClose->setAutoDefault(false);
    Bar->addWidget(FClose);

    FPreview = new TZemPagePreview(this);
    FPreview->MarginLeft = 1;
    FPreview->MarginTop = 1;
    FPreview->MarginRight = 10;
    FPreview->MarginBottom = 10;

    auto* Status = new QStatusBar(this);
    Status->setSizeGripEnabled(false);
    for (int i = 0; i < 2; ++i) {
        FPanels[i] = new QLabel(Status);
        FPanels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        FPanels[i]->setMinimumWidth(160);
        Status->addWidget(FPanels[i]);
    }

    auto* Layout = new QVBoxLayout(this);
    Layout->setContentsMargins(0, 0, 0, 0);
    Layout->setSpacing(0);
    Layout->addWidget(Bar);
    Layout->addWidget(FPreview, 1);
    Layout->addWidget(Status);

    connect(FScaleCombo, &QComboBox::activated, this, &TfrmZemPreview::OnScaleChosen);
    connect(PrintAction, &QAction::triggered, this, &TfrmZemPreview::PrintPages);
    connect(Hand, &QAction::triggered, this, [this] { FPreview->SetMouseMode(TZemPreviewMouse::pmHand); });
    connect(ZoomIn, &QAction::triggered, this,
            [this] { FPreview->SetMouseMode(TZemPreviewMouse::pmZoomIn); });
    connect(ZoomOut, &QAction::triggered, this,
            [this] { FPreview->SetMouseMode(TZemPreviewMouse::pmZoomOut); });
    connect(Portrait, &QAction::triggered, this, [this] { TurnPage(TZemPageOrientation::poPortrait); });
    connect(Landscape, &QAction::triggered, this, [this] { TurnPage(TZemPageOrientation::poLandscape); });
    connect(FClose, &QPushButton::clicked, this, &QDialog::reject);
    FPreview->OnChange = [this](TZemPagePreview&) { RefreshStatus(); };

    Hand->setChecked(true);
    FPreview->SetMouseMode(TZemPreviewMouse::pmHand);
    RefreshStatus();
}

QAction* TfrmZemPreview::Action(const char* Name) const {
    return findChild<QAction*>(QString::fromLatin1(Name));
}

void TfrmZemPreview::OnScaleChosen(int Index) {
    // The list's items in order.
    using TZoomCommand = void (*)(TZemPagePreview&);
    static constexpr TZoomCommand kCommands[] = {
        [](TZemPagePreview& P) { P.ZoomActualSize(); }, [](TZemPagePreview& P) { P.ZoomFitWidth(); },
        [](TZemPagePreview& P) { P.ZoomWholePage(); }, [](TZemPagePreview& P) { P.ZoomTwoPages(); },
        [](TZemPagePreview& P) { P.ZoomFourPages(); }};
    if (Index >= 0 && Index < static_cast<int>(std::size(kCommands)))
        kCommands[Index](*FPreview);
    RefreshStatus();
}

void TfrmZemPreview::SetOrientation(TZemPageOrientation Orientation) {
    const bool Landscape = Orientation == TZemPageOrientation::poLandscape;
    Action(Landscape ? "actLandscape" : "actPortrait")->setChecked(true);
    if (OnOrientation)
        OnOrientation(Orientation);
    else
        FPreview->SetPageOrientation(Orientation);
    RefreshStatus();
}

void TfrmZemPreview::TurnPage(TZemPageOrientation Orientation) {
    // Composing the page anew can fail (no memory for the picture); the window stays and says why.
    try {
        SetOrientation(Orientation);
    } catch (const std::exception& E) {
        ShowErrorBox(this, QString::fromStdString(E.what()));
    }
}

void TfrmZemPreview::RefreshStatus() {
    FPanels[0]->setText(QStringLiteral("Page %1 of %2")
                            .arg(FPreview->Layout().PageOnScreen() + 1)
                            .arg(FPreview->PageCount()));
    FPanels[1]->setText(QStringLiteral("Magnification %1%").arg(Round(FPreview->Zoom() * 100)));
    // A zoom by clicks is none of the list's: the list shows the magnification instead.
    if (FPreview->Layout().ZoomMode() == TZemZoomMode::zmFree) {
        FScaleCombo->setPlaceholderText(QStringLiteral("%1 %").arg(Round(FPreview->Zoom() * 100)));
        FScaleCombo->setCurrentIndex(-1);
    }
}

void TfrmZemPreview::PrintPages() {
    if (FPreview->PageCount() == 0)
        return;
    FPrinter.setPageOrientation(FPreview->PageOrientation() == TZemPageOrientation::poLandscape
                                    ? QPageLayout::Landscape
                                    : QPageLayout::Portrait);
    QPrintDialog Dialog(&FPrinter, this);
    Dialog.setWindowTitle(QStringLiteral("Печать"));
    Dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    Dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    if (Dialog.exec() != QDialog::Accepted)
        return;
    try {
        // The dialog may have changed the paper or its orientation: the page is composed again for what
        // was chosen (and shown so), rather than spread over other paper unevenly.
        SetOrientation(FPrinter.pageLayout().orientation() == QPageLayout::Landscape
                           ? TZemPageOrientation::poLandscape
                           : TZemPageOrientation::poPortrait);
        FPreview->Print(FPrinter);
    } catch (const std::exception& E) {
        ShowErrorBox(this, QString::fromStdString(E.what()));
    }
}

} // namespace zem
