#pragma once

#include "Command.h"

namespace kestro::cli {

// Each group of commands, in the order the command list shows them.
std::vector<Command> catalogFileCommands(); // new, info, compact, sweep
std::vector<Command> cataloguingCommands(); // catalog, volumes, ls
std::vector<Command> searchCommands();      // search, export
std::vector<Command> duplicatesCommands();  // duplicates
std::vector<Command> reportCommands();      // changes

} // namespace kestro::cli
