#include "ui/ZemKeys.h"

namespace zem {

namespace {
// Virtual keys without a name in the map's vk list.
constexpr std::int32_t kVkBack = 8;
constexpr std::int32_t kVkReturn = 13;
constexpr std::int32_t kVkShift = 16;
constexpr std::int32_t kVkControl = 17;
constexpr std::int32_t kVkMenu = 18;
constexpr std::int32_t kVkPageUp = 33;
constexpr std::int32_t kVkPageDown = 34;
constexpr std::int32_t kVkEnd = 35;
constexpr std::int32_t kVkHome = 36;
constexpr std::int32_t kVkInsert = 45;
constexpr std::int32_t kVkF1 = 112;
constexpr std::int32_t kVkOemPlus = 187;
constexpr std::int32_t kVkOemMinus = 189;
constexpr std::int32_t kVkOemQuote = 222;
} // namespace

std::int32_t VirtualKeyOf(int QtKey, bool Keypad) {
    // Letters and digits are their upper-case ASCII codes, as on Windows.
    if (QtKey >= Qt::Key_A && QtKey <= Qt::Key_Z)
        return QtKey;
    if (QtKey >= Qt::Key_0 && QtKey <= Qt::Key_9)
        return QtKey;
    if (QtKey >= Qt::Key_F1 && QtKey <= Qt::Key_F24)
        return kVkF1 + (QtKey - Qt::Key_F1);
    switch (QtKey) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return vk::Tab;
    case Qt::Key_Escape:
        return vk::Escape;
    case Qt::Key_Space:
        return vk::Space;
    case Qt::Key_Left:
        return vk::Left;
    case Qt::Key_Up:
        return vk::Up;
    case Qt::Key_Right:
        return vk::Right;
    case Qt::Key_Down:
        return vk::Down;
    case Qt::Key_Delete:
        return vk::Delete;
    case Qt::Key_Plus:
        return Keypad ? vk::Add : kVkOemPlus;
    case Qt::Key_Minus:
        return Keypad ? vk::Subtract : kVkOemMinus;
    case Qt::Key_Backspace:
        return kVkBack;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return kVkReturn;
    case Qt::Key_Shift:
        return kVkShift;
    case Qt::Key_Control:
        return kVkControl;
    case Qt::Key_Alt:
        return kVkMenu;
    case Qt::Key_PageUp:
        return kVkPageUp;
    case Qt::Key_PageDown:
        return kVkPageDown;
    case Qt::Key_End:
        return kVkEnd;
    case Qt::Key_Home:
        return kVkHome;
    case Qt::Key_Insert:
        return kVkInsert;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl:
        return kVkOemQuote;
    default:
        return 0;
    }
}

TZemShiftState ShiftStateOf(Qt::KeyboardModifiers Modifiers, Qt::MouseButtons Buttons) {
    TZemShiftState S = 0;
    if (Modifiers & Qt::ShiftModifier)
        S |= ssShift;
    if (Modifiers & Qt::AltModifier)
        S |= ssAlt;
    if (Modifiers & Qt::ControlModifier)
        S |= ssCtrl;
    if (Buttons & Qt::LeftButton)
        S |= ssLeft;
    if (Buttons & Qt::RightButton)
        S |= ssRight;
    if (Buttons & Qt::MiddleButton)
        S |= ssMiddle;
    return S;
}

} // namespace zem
