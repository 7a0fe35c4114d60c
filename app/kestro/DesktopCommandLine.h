#pragma once

#include <QCommandLineOption>
#include <QString>
#include <vector>

namespace kestro {

// The desktop program's command line: what its --help prints, and what its
// manual page is made from when the program is built.
struct DesktopCommandLine {
    QString description =
        QStringLiteral("Kestro Pro, the catalog of your removable media and drives.");
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Show this help.")};
    // Proves that the program works where it is installed: the whole start
    // runs, the window shows and closes again as a user closes it.
    QCommandLineOption quitAfterStart{
        QStringLiteral("quit-after-start"),
        QStringLiteral("Start as usual, load the current catalog, then close the window and "
                       "quit (exit status 0).")};

    std::vector<QCommandLineOption> options() const { return {help, quitAfterStart}; }
};

} // namespace kestro
