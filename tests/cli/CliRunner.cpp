#include "CliRunner.h"

namespace kestro::test {

CliResult runCli(const QString& home, QStringList arguments) {
    if (!arguments.isEmpty())
        arguments.insert(1, QStringLiteral("--home=") + home);
    return runProgram(QStringLiteral(KESTRO_CLI), arguments);
}

} // namespace kestro::test
