#pragma once
// "Справка ZemMap": the program's help, a short Russian text with pictures of the window, shown in a
// window of its own beside the map (F1). The text is installed with the program.
#include <QDialog>
#include <QString>

class QTextBrowser;

namespace zem {

// Where the help's first page is: beside the program ("help/"), one folder up (the build tree, where
// tests run from a folder of their own) or where it is installed ("../share/zemmap/help/"). Empty when
// none holds it; Tried then names the place it was looked for first.
QString FindHelpFile(QString* Tried = nullptr);

class TfrmHelp : public QDialog {
    Q_OBJECT
public:
    TfrmHelp(const QString& File, QWidget* Parent);
    QTextBrowser* Browser() const { return FBrowser; }

private:
    QTextBrowser* FBrowser;
};

} // namespace zem
