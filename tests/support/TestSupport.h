#pragma once

#include "support/ScratchMount.h"

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace kestro::test {

// The catalog template the build made (bin/new.kst).
QString templatePath();

// A file of the test data folder tests/data.
QString testDataPath(const QString& name);

// Copies the template to `path`; returns `path`.
QString makeCatalogFile(const QString& path);

// Reads and writes whole files, for building and checking fixtures.
QByteArray readAll(const QString& path);
void writeAll(const QString& path, const QByteArray& bytes);

// What one run of a program gave back; the exit code is -1 when it crashed or
// did not end within two minutes.
struct ProgramRun {
    int exitCode = -1;
    QString out;
    QString err;
};
ProgramRun
runProgram(const QString& program, const QStringList& arguments,
           const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());

// A tmpfs of a given size mounted on a fresh temporary folder, for tests of a
// full disk. Mounting needs privileges: check mounted() and skip without.
class SmallDisk {
public:
    explicit SmallDisk(qint64 bytes);

    bool mounted() const { return mount_.ok(); }
    std::string failure() const { return mount_.failure(); }
    QString path() const { return dir_.path(); }
    QString filePath(const QString& name) const { return dir_.filePath(name); }
    // Writes a file that takes all space left but `keepBytes`.
    void fill(qint64 keepBytes = 0);

private:
    QTemporaryDir dir_;
    ScratchMount mount_;
};

} // namespace kestro::test
