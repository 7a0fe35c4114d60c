// Kestro Pro, the desktop program: the main window over the current catalog.

#include "DesktopCommandLine.h"
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

    const DesktopCommandLine commandLine;
    QCommandLineParser arguments;
    arguments.setApplicationDescription(commandLine.description);
    for (const QCommandLineOption& option : commandLine.options())
        arguments.addOption(option);
    arguments.process(app);
    if (arguments.isSet(commandLine.help))
        arguments.showHelp();

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
    if (arguments.isSet(commandLine.quitAfterStart))
        QTimer::singleShot(0, &window, &QWidget::close);
    return app.exec();
}
