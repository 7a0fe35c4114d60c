#include "platform/gui/Shell.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace kestro {

namespace {

// True when binfmt_misc has an enabled handler for the "MZ" header of
// Windows programs: then the kernel runs them like any program.
bool kernelRunsWindowsPrograms() {
    const QDir handlers(QStringLiteral("/proc/sys/fs/binfmt_misc"));
    for (const QString& name : handlers.entryList(QDir::Files)) {
        QFile entry(handlers.filePath(name));
        if (!entry.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = entry.readAll();
        if (text.startsWith("enabled") && text.contains("\nmagic 4d5a"))
            return true;
    }
    return false;
}

} // namespace

Shell::Outcome DesktopShell::openDocument(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path)) ? Outcome::Started
                                                                : Outcome::NoApplication;
}

Shell::Outcome DesktopShell::startProgram(const QString& path, const QString& workingFolder) {
    bool started = false;
    if (kernelRunsWindowsPrograms()) {
        started = QProcess::startDetached(path, {}, workingFolder);
    } else {
        const QString wine = QStandardPaths::findExecutable(QStringLiteral("wine"));
        if (!wine.isEmpty())
            started = QProcess::startDetached(wine, {path}, workingFolder);
    }
    return started ? Outcome::Started : Outcome::NoApplication;
}

} // namespace kestro
