// The status bar: six panels, the current tool's hint and the progress of loading, saving and exporting.
#include "ui/ZemMainWindow.h"

#include "base/ZemText.h"
#include "transport/ZemGeneticSearch.h"

#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QStatusBar>

namespace zem {

namespace {
constexpr int kPanelWidths[6] = {150, 150, 70, 150, 150, 50};

QString Fixed2(double Value) {
    QString S = QString::number(Value, 'f', 2);
    return S.replace(QLatin1Char('.'), QLocale().decimalPoint());
}
} // namespace

void TfrmMain::CreateStatusBar() {
    QStatusBar* Bar = statusBar();
    Bar->setObjectName(QStringLiteral("StatusBar"));
    Bar->setSizeGripEnabled(true);
    for (int i = 0; i < 6; ++i) {
        FPanels[i] = new QLabel(Bar);
        FPanels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        FPanels[i]->setMinimumWidth(kPanelWidths[i]);
        FPanels[i]->setFrameShape(QFrame::StyledPanel);
        FPanels[i]->setFrameShadow(QFrame::Sunken);
        if (i == 1 || i == 2)
            FPanels[i]->setAlignment(Qt::AlignCenter);
        Bar->addWidget(FPanels[i]);
    }
    // What the next press of the current tool does, in its own place after the panels.
    FHint = new QLabel(Bar);
    FHint->setObjectName(QStringLiteral("StatusHint"));
    FHint->setFrameShape(QFrame::StyledPanel);
    FHint->setFrameShadow(QFrame::Sunken);
    FHint->setMinimumWidth(80);
    Bar->addWidget(FHint, 1);
    FPanels[0]->setText(QStringLiteral("Курсор (%1; %1)").arg(Fixed2(0.0)));
    FProgress = new QProgressBar(Bar);
    FProgress->setObjectName(QStringLiteral("ProgressBar"));
    FProgress->setRange(0, 100);
    FProgress->setFixedWidth(220);
    FProgress->setTextVisible(true);
    FProgress->hide();
    Bar->addPermanentWidget(FProgress);
}

void TfrmMain::ShowToolHint() {
    if (!FHint)
        return;
    // While a route search runs, the tools wait: the hint says how to stop it.
    const QString Text = FMap->TransportTask().Running()
                             ? QStringLiteral("Идёт поиск маршрута. Esc — остановить поиск")
                             : QString::fromStdString(FMap->ToolHint());
    if (FHint->text() != Text)
        FHint->setText(Text);
}

void TfrmMain::OnProgress(std::int32_t PercentDone, TStage Stage, const std::string& Msg) {
    if (Stage == sEnding && Msg.empty()) {
        FProgress->hide();
        return;
    }
    const bool Changed = FProgress->isHidden() || FProgress->value() != PercentDone ||
                         FProgress->format() != QString::fromStdString(Msg) + QStringLiteral(" %p%");
    if (!Changed)
        return;
    FProgress->setFormat(QString::fromStdString(Msg) + QStringLiteral(" %p%"));
    FProgress->setValue(PercentDone);
    FProgress->show();
    // Loading runs on this thread: paint the bar now, without handing input to anything else.
    FProgress->repaint();
}

void TfrmMain::OnMeasure(float Total, float Current) {
    if (Total == -1.0f && Current == -1.0f) {
        FPanels[3]->clear();
        FPanels[4]->clear();
        return;
    }
    const QString Unit = QString::fromStdString(ToUtf8(FMap->Doc.MeasureStr));
    FPanels[3]->setText(QStringLiteral("Длина = %1 %2").arg(Fixed2(Total), Unit));
    FPanels[4]->setText(QStringLiteral(" Сегмент = %1 %2").arg(Fixed2(Current), Unit));
}

} // namespace zem
