#include "ui/ZemPageTabs.h"

#include <QResizeEvent>
#include <QStyle>
#include <QStyleOptionTab>

#include <cstdlib>

namespace zem {

namespace {
// Room the page control leaves beside its tab row (frame and the style's overlap).
constexpr int kTabRowMargin = 8;
} // namespace

QString TwoLineTitle(const QString& Title) {
    const qsizetype Middle = Title.size() / 2;
    qsizetype Best = -1;
    for (qsizetype i = 0; i < Title.size(); ++i)
        if (Title[i] == QLatin1Char(' ') && (Best < 0 || std::abs(i - Middle) < std::abs(Best - Middle)))
            Best = i;
    if (Best < 0)
        return Title;
    QString Lines = Title;
    Lines[Best] = QLatin1Char('\n');
    return Lines;
}

TZemPageTabBar::TZemPageTabBar(QWidget* Parent) : QTabBar(Parent) {
    setObjectName(QStringLiteral("PageTabs"));
}

void TZemPageTabBar::SetTwoLines(bool Value) {
    if (Value == FTwoLines)
        return;
    FTwoLines = Value;
    // Setting a title lays the tabs out again from their size hints (the bar keeps its layout otherwise).
    if (count() > 0)
        setTabText(0, tabText(0));
}

QSize TZemPageTabBar::TwoLineSize(int Index) const {
    QStyleOptionTab Option;
    QTabBar::initStyleOption(&Option, Index);
    const QSize Text = fontMetrics().size(Qt::TextShowMnemonic, TwoLineTitle(tabText(Index)));
    const QSize Contents(Text.width() + style()->pixelMetric(QStyle::PM_TabBarTabHSpace, &Option, this),
                         Text.height() + style()->pixelMetric(QStyle::PM_TabBarTabVSpace, &Option, this));
    return style()->sizeFromContents(QStyle::CT_TabBarTab, &Option, Contents, this);
}

int TZemPageTabBar::TitlesWidth(bool TwoLines) const {
    int Width = 0;
    for (int i = 0; i < count(); ++i)
        Width += TwoLines ? TwoLineSize(i).width() : QTabBar::tabSizeHint(i).width();
    return Width;
}

QSize TZemPageTabBar::tabSizeHint(int Index) const {
    return FTwoLines ? TwoLineSize(Index) : QTabBar::tabSizeHint(Index);
}

void TZemPageTabBar::initStyleOption(QStyleOptionTab* Option, int Index) const {
    QTabBar::initStyleOption(Option, Index);
    if (FTwoLines)
        Option->text = TwoLineTitle(tabText(Index));
}

TZemPageControl::TZemPageControl(QWidget* Parent) : QTabWidget(Parent), FTabs(new TZemPageTabBar(this)) {
    setTabBar(FTabs);
    // Should the column ever be narrower than the titles on two lines: shortened titles, never arrows.
    setUsesScrollButtons(false);
    setElideMode(Qt::ElideRight);
}

int TZemPageControl::TitlesWidth() const {
    return FTabs->TitlesWidth(true) + kTabRowMargin;
}

void TZemPageControl::FitTitles() {
    FTabs->SetTwoLines(FTabs->TitlesWidth(false) + kTabRowMargin > width());
}

void TZemPageControl::resizeEvent(QResizeEvent* Event) {
    FitTitles();
    QTabWidget::resizeEvent(Event);
}

void TZemPageControl::tabInserted(int Index) {
    QTabWidget::tabInserted(Index);
    FitTitles();
}

void TZemPageControl::tabRemoved(int Index) {
    QTabWidget::tabRemoved(Index);
    FitTitles();
}

} // namespace zem
