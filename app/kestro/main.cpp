// Kestro Pro, the desktop program: the main window over the current catalog.

#include "browser/gui/Form1.h"
#include "platform/ProgramFolder.h"
#include "platform/gui/IconTheme.h"
#include "settings/gui/DesktopServices.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QIcon>
#include <QTimer>

using namespace kestro;

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestro Pro"));
    QGuiApplication::setDesktopFileName(QStringLiteral("kestro"));

    QCommandLineParser arguments;
    arguments.setApplicationDescription(
        QStringLiteral("Kestro Pro, the catalog of your removable media and drives."));
    arguments.addHelpOption();
    // Proves that the program works where it is installed: the whole start
    // runs, the window shows and closes again as a user closes it.
    const QCommandLineOption quitAfterStart(
        QStringLiteral("quit-after-start"),
        QStringLiteral("Start as usual, load the current catalog, then close the window and "
                       "quit (exit status 0)."));
    arguments.addOption(quitAfterStart);
    arguments.process(app);

    // The installed share folder sits beside bin/ in a build tree and in an
    // installation alike; so does the program's own icon.
    const QString share = QDir::cleanPath(QApplication::applicationDirPath() + "/../share");
    UseDesktopIconTheme();
    QIcon::setThemeSearchPaths(QIcon::themeSearchPaths() << share + QStringLiteral("/icons"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("kestro")));

    const QString programFolder = ProgramFolder::resolve(QApplication::applicationDirPath(),
                                                         share + QStringLiteral("/kestro"));
    DesktopServices services(programFolder);

    Form1 window(services.state());
    if (!window.start())
        return 0; // no catalog: the user has been told the program quits
    window.show();
    if (arguments.isSet(quitAfterStart))
        QTimer::singleShot(0, &window, &QWidget::close);
    return app.exec();
}
