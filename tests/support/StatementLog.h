#pragma once

#include <QString>
#include <QStringList>
#include <sqlite3.h>

namespace kestro::test {

// Every SQL statement the program runs, on any connection opened after
// install(), with the values bound to it: what a test or benchmark checks
// the query plans of.
class StatementLog {
public:
    static void install() {
        static const bool installed = [] {
            sqlite3_auto_extension(reinterpret_cast<void (*)()>(traceConnection));
            return true;
        }();
        Q_UNUSED(installed);
    }

    // The statements run since the last call.
    static QStringList take() {
        QStringList taken;
        taken.swap(statements());
        return taken;
    }

    // The steps of SQLite's plan for `sql` on the database at `path`:
    // "SEARCH t USING INDEX t_lookup (parent=?)", "SCAN t".
    static QStringList queryPlan(const QString& path, const QString& sql) {
        sqlite3* db = nullptr;
        QStringList steps;
        if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) ==
            SQLITE_OK) {
            sqlite3_stmt* plan = nullptr;
            if (sqlite3_prepare_v2(db, ("EXPLAIN QUERY PLAN " + sql).toUtf8().constData(), -1,
                                   &plan, nullptr) == SQLITE_OK)
                while (sqlite3_step(plan) == SQLITE_ROW)
                    steps << QString::fromUtf8(
                        reinterpret_cast<const char*>(sqlite3_column_text(plan, 3)));
            sqlite3_finalize(plan);
        }
        sqlite3_close(db);
        return steps;
    }

private:
    static QStringList& statements() {
        static QStringList all;
        return all;
    }

    static int traceConnection(sqlite3* db, const char**, const sqlite3_api_routines*) {
        sqlite3_trace_v2(
            db, SQLITE_TRACE_STMT,
            [](unsigned, void*, void* statement, void*) {
                char* sql = sqlite3_expanded_sql(static_cast<sqlite3_stmt*>(statement));
                statements() << QString::fromUtf8(sql);
                sqlite3_free(sql);
                return 0;
            },
            nullptr);
        return SQLITE_OK;
    }
};

} // namespace kestro::test
