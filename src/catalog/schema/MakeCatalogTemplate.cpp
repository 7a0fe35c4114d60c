// Build-time tool: runs the schema script, then the name index's and the
// folder runs' tables, into a fresh SQLite file, the catalog template that
// every new catalog is copied from.
//
//   make-catalog-template SCHEMA.sql OUTPUT.kst

#include "FolderRunsSchema.h"
#include "NameIndexSchema.h"

#include <cstdio>
#include <fstream>
#include <sqlite3.h>
#include <sstream>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s SCHEMA.sql OUTPUT.kst\n", argv[0]);
        return 2;
    }
    std::ifstream in(argv[1]);
    std::stringstream script;
    script << in.rdbuf();
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    const std::string temporary = std::string(argv[2]) + ".part";
    std::remove(temporary.c_str());
    sqlite3* db = nullptr;
    char* error = nullptr;
    int rc = sqlite3_open(temporary.c_str(), &db);
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, script.str().c_str(), nullptr, nullptr, &error);
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, kestro::schema::kNameIndexSchema, nullptr, nullptr, &error);
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, kestro::schema::kFolderRunsSchema, nullptr, nullptr, &error);
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, "VACUUM;", nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error ? error : sqlite3_errmsg(db));
        sqlite3_free(error);
        sqlite3_close(db);
        return 1;
    }
    sqlite3_close(db);
    return std::rename(temporary.c_str(), argv[2]) == 0 ? 0 : 1;
}
