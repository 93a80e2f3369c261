#pragma once
// What the core needs from a window system, and nothing more, split by who needs it: a control to draw
// on (the mini-map needs only that), timers, and questions to the user. The map's control is all of
// them (TZemHost). The Qt widgets implement them over QWidgets; HeadlessHost implements TZemHost for
// tests and the command-line tool.
#include "platform/ZemTransportEvents.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace zem {

class TBitmap32;

// Answer of a message box.
enum class TZemMsgResult { mrOk, mrCancel, mrYes, mrNo };

// Buttons of a message box.
enum class TZemMsgButtons { mbOk, mbOkCancel, mbYesNo, mbYesNoCancel };

// What the text dialog of a new text object holds: the values the map reads back on OK.
struct TZemTextAnswer {
    std::string Text;               // UTF-8
    std::int32_t AngleTenths = 1;   // 0 ... 3599, tenths of a degree
    std::string FontName = "Arial"; // UTF-8
    std::int32_t Size = 20;         // 1 ... 150, at scale 100
    std::uint8_t Style = 0;         // bold 1, italic 2, underline 4, strike-out 8
};

// A control the core draws on: the map's, or the mini-map's, which needs no more than this.
class TZemDrawHost {
public:
    virtual ~TZemDrawHost() = default;

    // Shows a finished frame: the one block copy of the buffer onto the control.
    virtual void Present(const TBitmap32& Frame) = 0;
    // Asks the window system for a paint of the control.
    virtual void Invalidate() = 0;
    // Client size of the control, in (device) pixels.
    virtual int ClientWidth() const = 0;
    virtual int ClientHeight() const = 0;
};

// The window system's timers (TZemTimer is built on them).
class TZemTimerHost {
public:
    virtual ~TZemTimerHost() = default;

    // StartTimer returns a non-zero identifier; the callback runs on the interface thread.
    virtual int StartTimer(int IntervalMs, std::function<void()> Callback) = 0;
    virtual void StopTimer(int TimerId) = 0;
};

// Questions the core asks the user, and the message pump of long work.
class TZemDialogHost {
public:
    virtual ~TZemDialogHost() = default;

    // Modal questions. Texts are UTF-8.
    virtual TZemMsgResult ShowMessage(const std::string& Text, const std::string& Caption,
                                      TZemMsgButtons Buttons) = 0;
    // The text dialog of a new text object: false when cancelled. The dialog calls OnChange with its
    // values after every edit, so that the map can draw the text under construction as it will be.
    virtual bool AskText(TZemTextAnswer& Answer,
                         const std::function<void(const TZemTextAnswer&)>& OnChange) = 0;
    // The transport choice of a route search: Names are the transport types; Checked is filled with
    // the positions chosen. False when cancelled.
    virtual bool AskTransportKinds(const std::string& Caption, const std::vector<std::string>& Names,
                                   std::vector<int>& Checked) = 0;
    // The same question with the way of searching: Method comes in as the last choice and goes out as
    // the user's. A host without that choice keeps Method.
    virtual bool AskRouteSearch(const std::string& Caption, const std::vector<std::string>& Names,
                                std::vector<int>& Checked, TZemRouteMethod& Method) {
        (void)Method;
        return AskTransportKinds(Caption, Names, Checked);
    }

    // Lets the window system handle pending input during long work.
    virtual void ProcessMessages() = 0;
};

// The map's own control: it is drawn on, runs the timers, takes the pointer and asks the questions.
class TZemHost : public TZemDrawHost, public TZemTimerHost, public TZemDialogHost {
public:
    // Cursor numbers of the tools (1 ... 17); 0 is the default arrow.
    virtual void SetCursor(int Number) = 0;
    virtual void SetCapture(bool Captured) = 0;
    virtual void SetFocus() = 0;
};

} // namespace zem
