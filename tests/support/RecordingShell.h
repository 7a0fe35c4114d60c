#pragma once

#include "platform/gui/Shell.h"

#include <QStringList>

namespace kestro::test {

// A shell that opens nothing: it records what it was asked to open or start
// and answers with `outcome`.
class RecordingShell : public Shell {
public:
    Outcome outcome = Outcome::Started;
    QStringList documents;
    QStringList programs; // "path in folder"

    Outcome openDocument(const QString& path) override {
        documents << path;
        return outcome;
    }
    Outcome startProgram(const QString& path, const QString& workingFolder) override {
        programs << path + " in " + workingFolder;
        return outcome;
    }
};

} // namespace kestro::test
