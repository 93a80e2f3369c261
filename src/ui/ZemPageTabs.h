#pragma once
// The side column's page control. Its four titles do not fit the column's width on one line, and cut
// short ("Т…", "До…") they cannot be read; so while the column is narrower than the titles need on one
// line, each title is shown on two lines, broken between its words. The titles themselves stay whole.
#include <QString>
#include <QTabBar>
#include <QTabWidget>

namespace zem {

// A title broken into two lines at the space nearest its middle; a single word stays as it is.
QString TwoLineTitle(const QString& Title);

class TZemPageTabBar : public QTabBar {
    Q_OBJECT
public:
    explicit TZemPageTabBar(QWidget* Parent);

    bool TwoLines() const { return FTwoLines; }
    void SetTwoLines(bool Value);
    // What the tabs need side by side, with titles on one line or on two.
    int TitlesWidth(bool TwoLines) const;

protected:
    QSize tabSizeHint(int Index) const override;
    void initStyleOption(QStyleOptionTab* Option, int Index) const override;

private:
    QSize TwoLineSize(int Index) const;

    bool FTwoLines = false;
};

class TZemPageControl : public QTabWidget {
    Q_OBJECT
public:
    explicit TZemPageControl(QWidget* Parent);

    TZemPageTabBar* PageTabs() const { return FTabs; }
    // The narrowest width at which every title reads whole (on two lines).
    int TitlesWidth() const;

protected:
    void resizeEvent(QResizeEvent* Event) override;
    void tabInserted(int Index) override;
    void tabRemoved(int Index) override;

private:
    // One line when the width allows it, else two.
    void FitTitles();

    TZemPageTabBar* FTabs;
};

} // namespace zem
