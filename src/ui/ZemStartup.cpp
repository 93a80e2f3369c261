#include "ui/ZemStartup.h"

#include "ui/ZemMainWindow.h"
#include "ui/ZemMapWidget.h"
#include "ui/ZemMessageBox.h"
#include "ui/ZemPrintMap.h"
#include "ui/ZemRecoveryPrompt.h"

#include <QApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QScreen>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace zem {

namespace {

const char* const kUsage = "Использование: zemmap [ФАЙЛ.mp]\n"
                           "               zemmap --print-pdf ВЫХОД.pdf [--fit] ФАЙЛ.mp\n";

const char* const kHelp = "\n"
                          "Векторный редактор карт ZemMap: открывает ФАЙЛ.mp или начинает с пустой карты.\n"
                          "\n"
                          "  --print-pdf ВЫХОД.pdf  страница печати карты в PDF, без окна\n"
                          "  --fit                  вписать вид карты в страницу\n"
                          "  --help, -h             эта справка\n"
                          "\n"
                          "Без окна с картами работает zemmap-cli (zemmap-cli --help).\n";

} // namespace

int RunZemMap(int argc, char* argv[], const std::function<void(TfrmMain&)>& Started) {
    // Asked for, the usage goes to standard output and is not a failure; it needs no display.
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        std::fputs(kHelp, stdout);
        return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
    }
    // Printing to a file shows no window and needs no display.
    bool PrintPdf = false;
    for (int i = 1; i < argc; ++i)
        PrintPdf = PrintPdf || std::strcmp(argv[i], "--print-pdf") == 0;
    if (PrintPdf && !std::getenv("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Without a display Qt would abort with a message about platform plugins; say it plainly instead.
    const bool HasDisplay =
        std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY") || std::getenv("QT_QPA_PLATFORM");
    if (!HasDisplay) {
        std::fputs(
            "zemmap: нет дисплея (не заданы DISPLAY и WAYLAND_DISPLAY); без окна работает zemmap-cli.\n",
            stderr);
        return 1;
    }
    QApplication App(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ZemMap"));
    QApplication::setApplicationDisplayName(QStringLiteral("ZemMap"));
    QApplication::setOrganizationName(QStringLiteral("ZemMap"));
    QApplication::setDesktopFileName(QStringLiteral("zemmap"));
    // The whole interface is Russian, so Qt's own dialogs (files, colours, folders) speak it too,
    // whatever the user's locale; without the translation files they stay in English.
    QTranslator QtTexts;
    if (QtTexts.load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&QtTexts);

    const QStringList Args = QApplication::arguments();
    if (PrintPdf)
        return PrintPdfCommand(Args.mid(1));
    if (Args.size() > 2 || (Args.size() == 2 && Args[1].startsWith(QLatin1Char('-')))) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    TfrmMain Window;
    // Maximised; without a window manager (a bare X server) that is the screen's available area.
    if (const QScreen* Screen = Window.screen())
        Window.setGeometry(Screen->availableGeometry());
    Window.showMaximized();
    Window.EnableRecovery(RecoveryFolder(), AutosaveInterval());
    if (Started)
        Started(Window);
    // Once the window is up, so that the questions and a failure's message box have a window to stand on.
    // A restored copy is not replaced by the map named on the command line.
    const QString File = Args.size() == 2 ? Args[1] : QString();
    QTimer::singleShot(0, &Window, [&Window, File] {
        if (OfferRecoveryCopies(Window) || File.isEmpty())
            return;
        if (!QFileInfo::exists(File))
            Window.MapWidget()->ShowMessage(("Файл не найден: " + File.toStdString()), kErrorCaption,
                                            TZemMsgButtons::mbOk);
        else
            Window.OpenMap(File);
    });
    return QApplication::exec();
}

} // namespace zem
