#pragma once

#include "support/TestSupport.h"

namespace kestro::test {

using CliResult = ProgramRun;

// Runs the built kestro-cli with `arguments`, in the program folder `home`
// (given as --home after the other arguments).
CliResult runCli(const QString& home, QStringList arguments);

} // namespace kestro::test
