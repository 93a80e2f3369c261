#include "ui/ZemHelpWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace zem {

QString FindHelpFile(QString* Tried) {
    const QDir Program(QCoreApplication::applicationDirPath());
    const QString Candidates[] = {QStringLiteral("help/index.html"), QStringLiteral("../help/index.html"),
                                  QStringLiteral("../share/zemmap/help/index.html")};
    if (Tried)
        *Tried = QDir::cleanPath(Program.filePath(Candidates[0]));
    for (const QString& Name : Candidates) {
        const QString Path = QDir::cleanPath(Program.filePath(Name));
        if (QFileInfo(Path).isFile())
            return Path;
    }
    return {};
}

TfrmHelp::TfrmHelp(const QString& File, QWidget* Parent) : QDialog(Parent), FBrowser(new QTextBrowser(this)) {
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Справка ZemMap"));
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    resize(760, 720);
    FBrowser->setObjectName(QStringLiteral("HelpBrowser"));
    FBrowser->setOpenExternalLinks(true);
    FBrowser->setSource(QUrl::fromLocalFile(File));
    auto* Layout = new QVBoxLayout(this);
    Layout->setContentsMargins(0, 0, 0, 0);
    Layout->addWidget(FBrowser);
}

} // namespace zem
