#include "ui/ZemBusyInput.h"

#include <QAbstractScrollArea>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

namespace zem {

TZemBusyInput::TZemBusyInput(QWidget* Window, QWidget* Map, std::function<void()> OnEscape)
    : FWindow(Window), FMap(Map), FOnEscape(std::move(OnEscape)) {
    QCoreApplication::instance()->installEventFilter(this);
}

TZemBusyInput::~TZemBusyInput() {
    QCoreApplication::instance()->removeEventFilter(this);
}

bool TZemBusyInput::WheelOnlyShows(QObject* Watched) const {
    const auto* W = qobject_cast<QWidget*>(Watched);
    if (!W)
        return true; // the window system's window, which hands the wheel on to a widget
    if (W == FMap.data() || qobject_cast<const QScrollBar*>(W))
        return true;
    const QWidget* Parent = W->parentWidget();
    const auto* Area = Parent ? qobject_cast<const QAbstractScrollArea*>(Parent) : nullptr;
    return Area && Area->viewport() == W;
}

bool TZemBusyInput::eventFilter(QObject* Watched, QEvent* Event) {
    switch (Event->type()) {
    case QEvent::ShortcutOverride:
        // Claimed, so that no menu shortcut fires; the key itself is held back below.
        Event->accept();
        return true;
    case QEvent::KeyPress: {
        const auto* Key = static_cast<QKeyEvent*>(Event);
        if (Key->key() == Qt::Key_Escape && !Key->isAutoRepeat() && FOnEscape)
            FOnEscape();
        return true;
    }
    case QEvent::MouseMove:
        // Hovering shows the pointer's position; a move with a button held would drag.
        return static_cast<QMouseEvent*>(Event)->buttons() != Qt::NoButton;
    case QEvent::Wheel:
        return !WheelOnlyShows(Watched);
    case QEvent::Close:
        if (Watched != FWindow.data())
            return false;
        // Asked to close mid-work: stop it, and close (with the question about unsaved changes) after it.
        Event->ignore();
        if (FOnEscape)
            FOnEscape();
        QMetaObject::invokeMethod(FWindow.data(), &QWidget::close, Qt::QueuedConnection);
        return true;
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::ContextMenu:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::InputMethod:
        return true;
    default:
        return false; // paints, resizes, moves, timers
    }
}

} // namespace zem
