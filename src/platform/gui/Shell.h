#pragma once

#include <QString>

namespace kestro {

// What the desktop does with a file that exists: open a document with the
// application the desktop associates with its type, or start a program.
// Tests put a recording shell in its place.
class Shell {
public:
    enum class Outcome { Started, NoApplication };

    virtual ~Shell() = default;
    virtual Outcome openDocument(const QString& path) = 0;
    // A Windows program (a name ending in ".exe"), started in `workingFolder`.
    virtual Outcome startProgram(const QString& path, const QString& workingFolder) = 0;
};

// The desktop's own: documents go to the default application of their type;
// Windows programs are started only where the machine can run them, through
// a binfmt_misc handler for their "MZ" header or through wine. The execute
// bit alone does not count: FAT media mark every file executable.
class DesktopShell : public Shell {
public:
    Outcome openDocument(const QString& path) override;
    Outcome startProgram(const QString& path, const QString& workingFolder) override;
};

} // namespace kestro
