#pragma once
// The pointer shapes the map asks its host for by number: our own drawings for the tools (1 ... 17)
// and the window system's size cursors for the frame handles (-6 ... -9).
#include <QCursor>

#include <array>

namespace zem {

// A fresh cursor for a cursor number of the map (TZemCursor); the arrow for any number it does not know.
// Drawing one takes a few microseconds; a window that changes the cursor on every pointer move keeps a
// TZemCursorTable instead.
QCursor ZemCursor(int Number);

// Every cursor drawn once, for a window that sets them often.
class TZemCursorTable {
public:
    TZemCursorTable();
    const QCursor& operator[](int Number) const;

private:
    static constexpr int kDrawnCount = 17;
    std::array<QCursor, kDrawnCount + 1> FDrawn; // 0 is the arrow
    std::array<QCursor, 4> FSizes;               // -6 ... -9
};

} // namespace zem
