#include "ui/ZemPanelParts.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

namespace zem {

QToolButton* PanelButton(QWidget* Parent, const QString& Text, const QString& Hint, bool Toggle) {
    auto* B = new QToolButton(Parent);
    B->setText(Text);
    B->setToolTip(Hint);
    B->setCheckable(Toggle);
    B->setToolButtonStyle(Qt::ToolButtonTextOnly);
    B->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    B->setMinimumHeight(25);
    return B;
}

QGridLayout* PanelGrid(QGroupBox* Box) {
    auto* Grid = new QGridLayout(Box);
    Grid->setContentsMargins(6, 4, 6, 6);
    Grid->setHorizontalSpacing(6);
    Grid->setVerticalSpacing(4);
    return Grid;
}

QVBoxLayout* PanelBody(QWidget* Page) {
    auto* Scroll = new QScrollArea(Page);
    Scroll->setFrameShape(QFrame::NoFrame);
    Scroll->setWidgetResizable(true);
    Scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* Body = new QWidget(Scroll);
    auto* Column = new QVBoxLayout(Body);
    Column->setContentsMargins(4, 4, 4, 4);
    Column->setSpacing(6);
    Scroll->setWidget(Body);
    auto* Outer = new QVBoxLayout(Page);
    Outer->setContentsMargins(0, 0, 0, 0);
    Outer->addWidget(Scroll);
    return Column;
}

} // namespace zem
