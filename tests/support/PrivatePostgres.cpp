#include "support/PrivatePostgres.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QThread>
#include <QUrl>
#include <algorithm>
#include <csignal>
#include <libpq-fe.h>
#include <memory>
#include <pwd.h>
#include <stdexcept>
#include <unistd.h>

namespace kestro::test {

namespace {

constexpr const char* kRole = "kestro";
constexpr const char* kServerUser = "nobody";
constexpr int kStartTimeoutMs = 30000;

// The bin folder of the newest PostgreSQL that Debian's packages installed.
QString serverBinaries() {
    QStringList versions = QDir("/usr/lib/postgresql").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCollator numeric;
    numeric.setNumericMode(true);
    std::sort(versions.begin(), versions.end(), numeric);
    for (auto v = versions.rbegin(); v != versions.rend(); ++v)
        if (QFile::exists("/usr/lib/postgresql/" + *v + "/bin/postgres"))
            return "/usr/lib/postgresql/" + *v + "/bin/";
    throw std::runtime_error(
        "PostgreSQL is not installed (scripts/ensure-packages.sh installs it)");
}

// The command that runs `program` as the unprivileged server user, ended by
// the kernel when this process ends.
QStringList asServerUser(const QString& program, const QStringList& arguments) {
    return QStringList{"--reuid=" + QString(kServerUser), "--regid=nogroup", "--clear-groups",
                       "--pdeathsig=KILL", program} +
           arguments;
}

void giveToServerUser(const QString& path) {
    const passwd* user = getpwnam(kServerUser);
    if (!user || chown(QFile::encodeName(path).constData(), user->pw_uid, user->pw_gid) != 0)
        throw std::runtime_error("cannot give " + path.toStdString() + " to " + kServerUser);
}

QString logOf(const QString& path) {
    QFile log(path);
    return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
}

using Connection = std::unique_ptr<PGconn, decltype(&PQfinish)>;

// Memory rather than disk where there is a tmpfs for it: a cluster writes
// tens of megabytes before its first query.
QString clusterFolderTemplate() {
    const QString base = QDir("/dev/shm").exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    return base + "/kpg-XXXXXX";
}

} // namespace

PrivatePostgres& PrivatePostgres::instance() {
    static PrivatePostgres server;
    return server;
}

PrivatePostgres::PrivatePostgres() : dir_(clusterFolderTemplate()) {
    if (!dir_.isValid())
        throw std::runtime_error("cannot make a folder for the test server");
    giveToServerUser(dir_.path());
    const QString bin = serverBinaries();
    const QString data = dir_.filePath("data");
    const QString log = dir_.filePath("server.log");

    QProcess initdb;
    initdb.setStandardOutputFile(log);
    initdb.setStandardErrorFile(log, QIODevice::Append);
    initdb.start("setpriv", asServerUser(bin + "initdb",
                                         {"-D", data, "-U", kRole, "--auth=trust",
                                          "--encoding=UTF8", "--locale=C.UTF-8", "--no-sync"}));
    if (!initdb.waitForFinished(kStartTimeoutMs) || initdb.exitCode() != 0)
        throw std::runtime_error("initdb failed: " + logOf(log).toStdString());

    // A throw-away server: durability costs time and buys nothing here.
    server_.setStandardOutputFile(log, QIODevice::Append);
    server_.setStandardErrorFile(log, QIODevice::Append);
    server_.start("setpriv", asServerUser(bin + "postgres", {"-D", data, "-k", dir_.path(), "-c",
                                                             "listen_addresses=", "-c", "fsync=off",
                                                             "-c", "synchronous_commit=off", "-c",
                                                             "full_page_writes=off"}));
    for (int waited = 0; waited < kStartTimeoutMs; waited += 50) {
        if (server_.state() == QProcess::NotRunning)
            break;
        if (PQping(uri("postgres").toUtf8().constData()) == PQPING_OK)
            return;
        QThread::msleep(50);
    }
    server_.kill();
    server_.waitForFinished();
    throw std::runtime_error("the test server did not start: " + logOf(log).toStdString());
}

PrivatePostgres::~PrivatePostgres() {
    // An immediate stop: nothing of the cluster is kept.
    ::kill(pid_t(server_.processId()), SIGQUIT);
    if (!server_.waitForFinished(10000))
        server_.kill();
    server_.waitForFinished();
}

QString PrivatePostgres::uri(const QString& database) const {
    return QStringLiteral("postgresql://%1@%2/%3")
        .arg(kRole, QString::fromUtf8(QUrl::toPercentEncoding(dir_.path())), database);
}

QString PrivatePostgres::createDatabase() {
    const QString name = QStringLiteral("catalog_%1").arg(++databases_);
    // Copied file by file: far less to write than through the log.
    run("postgres", "CREATE DATABASE " + name + " STRATEGY FILE_COPY");
    return uri(name);
}

void PrivatePostgres::run(const QString& database, const QString& sql) const {
    const Connection connection(PQconnectdb(uri(database).toUtf8().constData()), &PQfinish);
    if (PQstatus(connection.get()) != CONNECTION_OK)
        throw std::runtime_error(PQerrorMessage(connection.get()));
    PGresult* result = PQexec(connection.get(), sql.toUtf8().constData());
    const bool ok =
        PQresultStatus(result) == PGRES_COMMAND_OK || PQresultStatus(result) == PGRES_TUPLES_OK;
    PQclear(result);
    if (!ok)
        throw std::runtime_error(PQerrorMessage(connection.get()));
}

} // namespace kestro::test
