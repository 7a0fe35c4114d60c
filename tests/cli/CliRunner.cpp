#include "CliRunner.h"

namespace kestro::test {

// --home goes last, so that a test may put the common options before the
// command.
CliResult runCli(const QString& home, QStringList arguments) {
    if (!arguments.isEmpty())
        arguments << QStringLiteral("--home=") + home;
    return runProgram(QStringLiteral(KESTRO_CLI), arguments);
}

} // namespace kestro::test
