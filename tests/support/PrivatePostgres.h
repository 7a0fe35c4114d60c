#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace kestro::test {

// A PostgreSQL server of the test program's own: a cluster made in a
// temporary folder and run as `nobody`, listening only on a Unix socket in
// that folder (no TCP port), with trust authentication for its one role. It
// is started on first use and stopped when the program ends; should the
// program die first, the kernel ends the server with it. No other server is
// ever touched.
class PrivatePostgres {
public:
    // The program's server, started on first use. Throws std::runtime_error,
    // with the server's log, when it cannot be made or started.
    static PrivatePostgres& instance();

    ~PrivatePostgres();
    PrivatePostgres(const PrivatePostgres&) = delete;
    PrivatePostgres& operator=(const PrivatePostgres&) = delete;

    // Makes an empty database of a name not used before and gives its
    // connection URI: postgresql://kestro@%2Ftmp%2F...:5432/name.
    QString createDatabase();
    // The URI of an existing database.
    QString uri(const QString& database) const;
    // Runs SQL on a database of the server, outside any catalog code; throws
    // with the server's message on failure.
    void run(const QString& database, const QString& sql) const;

private:
    PrivatePostgres();

    QTemporaryDir dir_;
    QProcess server_;
    int databases_ = 0;
};

} // namespace kestro::test
