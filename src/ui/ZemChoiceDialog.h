#pragma once
// "Выбор": a list of names with a check box each, for the transport kinds a route search may use.
#include <QDialog>

#include <string>
#include <vector>

class QListWidget;

namespace zem {

class ZemChoiceDialog : public QDialog {
    Q_OBJECT
public:
    ZemChoiceDialog(const QString& Caption, const std::vector<std::string>& Names,
                    const std::vector<int>& Checked, QWidget* Parent = nullptr);

    // Positions of the checked names, ascending.
    std::vector<int> CheckedPositions() const;
    void SetAllChecked(bool Checked);

private:
    QListWidget* FList;
};

} // namespace zem
