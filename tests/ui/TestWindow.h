#pragma once
// What every window test starts from: settings in Qt's test folder, and the main window on the screen.
#include "ui/ZemMainWindow.h"

#include <QSettings>
#include <QStandardPaths>
#include <QString>
#include <QtTest>

#include <memory>

namespace zem::testui {

inline const QString kSampleMap = QStringLiteral(ZEM_SOURCE_DIR "/samples/Карта города.mp");

// Recent files and remembered dialog choices go to an emptied test folder, never the user's settings.
inline void UseTestSettings() {
    QStandardPaths::setTestModeEnabled(true);
    QSettings(QStringLiteral("ZemMap"), QStringLiteral("ZemMap")).clear();
}

// A new main window (Size when valid), shown and exposed, with Map opened unless it is empty.
inline bool ShowMainWindow(std::unique_ptr<TfrmMain>& Window, const QString& Map = kSampleMap,
                           QSize Size = QSize(1200, 800)) {
    Window = std::make_unique<TfrmMain>();
    if (Size.isValid())
        Window->resize(Size);
    Window->show();
    if (!QTest::qWaitForWindowExposed(Window.get()))
        return false;
    return Map.isEmpty() || Window->OpenMap(Map);
}

// Gives the window the keyboard again, as a user's click would (the offscreen platform hands it back
// to no one after a modal dialog or another top-level window).
inline bool Activate(QWidget* Window) {
    Window->activateWindow();
    return QTest::qWaitForWindowActive(Window);
}

} // namespace zem::testui
