#pragma once
// TZemAddressPage, the page "Типы и адреса": the object type of the current object and the parts of its
// address that a whole quarter shares (settlement, district, index, street), each looked up in the map's
// directories. "Установить" gives them to the current object, "Для всех видимых" also to the visible
// objects that lack them; each is one undo step.
#include <QWidget>

#include <functional>

class QComboBox;

namespace zem {

class TZemMap;

class TZemAddressPage : public QWidget {
    Q_OBJECT
public:
    TZemAddressPage(TZemMap& Map, QWidget* Parent);

    // Shows the current object (a disabled page without one) and the directories as they are now.
    void Refresh();

    // "Установить" and "Для всех видимых".
    void SetForCurrent();
    void SetForVisible();

    QComboBox* ObjectTypeCombo;
    QComboBox* CityCombo;
    QComboBox* AreaCombo;
    QComboBox* IndexCombo;
    QComboBox* StreetCombo;

protected:
    void showEvent(QShowEvent* Event) override;

private:
    // Runs a command of the page; a failure becomes a message box.
    void Run(const std::function<void()>& Command);
    // The type and the four shared parts to the current object, inside the caller's undo step.
    void ApplyToCurrent();

    TZemMap& FMap;
    QWidget* FBody = nullptr;
};

} // namespace zem
