#pragma once

#include <QByteArrayList>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

namespace kestro {

// A Windows-style initialisation file: "[Section]" headers and "key=value"
// lines. Section and key names compare without regard to letter case. A write
// rewrites only the lines of the keys it names and keeps every other line,
// comment and blank as it was, byte for byte, even where it is not UTF-8; the
// file and the section are created when missing. The file is replaced
// atomically, so a crash never leaves half of it.
class IniFile {
  public:
    // The longest value a read returns; longer values are cut.
    static constexpr int kMaxValueLength = 127;

    explicit IniFile(QString path);

    const QString& path() const { return path_; }

    // The trimmed value of `key` in `section`, cut at kMaxValueLength
    // characters; nothing when the file, the section or the key is missing.
    std::optional<QString> value(const QString& section, const QString& key) const;

    // Every key of `section` with its value, in file order.
    std::vector<std::pair<QString, QString>> entries(const QString& section) const;

    // Writes the keys of `values` into `section`; false when the file cannot
    // be written (it is then left as it was). A value is kept on one line
    // (control characters become spaces) and reads back as written, but for
    // spaces around it: one in double quotes is written in one more pair.
    bool setValues(const QString& section, const std::vector<std::pair<QString, QString>>& values);
    bool setValue(const QString& section, const QString& key, const QString& value);

    // Removes `key` from `section`; true when the file no longer holds it.
    bool removeKey(const QString& section, const QString& key);

  private:
    QByteArrayList readLines(bool* crlf = nullptr) const;
    bool writeLines(const QByteArrayList& lines, bool crlf) const;

    QString path_;
};

} // namespace kestro
