#include "CliRunner.h"

#include <QProcess>

namespace kestro::test {

CliResult runCli(const QString& home, QStringList arguments) {
    if (!arguments.isEmpty())
        arguments << QStringLiteral("--home=") + home;
    QProcess process;
    process.start(QStringLiteral(KESTRO_CLI), arguments);
    // A run that does not end within two minutes counts as a failure.
    const bool finished = process.waitForFinished(120000);
    return {finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

} // namespace kestro::test
