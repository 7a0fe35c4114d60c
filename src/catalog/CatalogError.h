#pragma once

#include <QString>
#include <stdexcept>

namespace kestro {

// A catalog operation failed. The message is written for the user: it names
// the file or table concerned and what went wrong.
class CatalogError : public std::runtime_error {
  public:
    explicit CatalogError(const QString& message, int sqliteCode = 0)
        : std::runtime_error(message.toStdString()), sqliteCode_(sqliteCode) {}

    QString message() const { return QString::fromUtf8(what()); }

    // SQLite's primary result code, or 0 when the failure is not SQLite's.
    int sqliteCode() const { return sqliteCode_; }

  private:
    int sqliteCode_;
};

} // namespace kestro
