#pragma once

#include <QByteArray>
#include <QString>

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

// A tmpfs of a given size mounted on a fresh temporary folder, for tests of a
// full disk. Mounting needs privileges: check mounted() and skip without.
class SmallDisk {
  public:
    explicit SmallDisk(qint64 bytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return mounted_; }
    QString path() const { return path_; }
    QString filePath(const QString& name) const { return path_ + '/' + name; }
    // Writes a file that takes all space left but `keepBytes`.
    void fill(qint64 keepBytes = 0);

  private:
    QString path_;
    bool mounted_ = false;
};

} // namespace kestro::test
