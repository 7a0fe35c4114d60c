// The "Named:" and "Description contains" boxes against any name: the
// pattern the window builds has its wildcards only at its ends, and every
// match ends and agrees with a plain matcher written here, over whole
// characters with each one's letter case folded on its own.
//
// Input: the text typed, a line feed, then the name as a catalog stores it
// (any bytes, not always UTF-8).

#include "FuzzSupport.h"
#include "catalog/SqlFunctions.h"
#include "search/NamePattern.h"

#include <sqlite3.h>
#include <vector>

using namespace kestro;
using namespace kestro::fuzz;

namespace {

std::vector<char32_t> foldedCharacters(const QString& text) {
    std::vector<char32_t> characters;
    for (const char32_t c : text.toUcs4())
        characters.push_back(QChar::toCaseFolded(c));
    return characters;
}

// "*" any run of characters, "?" exactly one, anything else itself.
bool referenceMatch(const std::vector<char32_t>& pattern, const std::vector<char32_t>& text) {
    // matches[j]: the pattern so far matches the first j characters of text.
    std::vector<char> matches(text.size() + 1, 0);
    matches[0] = 1;
    for (const char32_t p : pattern) {
        std::vector<char> next(text.size() + 1, 0);
        if (p == U'*') {
            bool any = false;
            for (size_t j = 0; j <= text.size(); ++j)
                next[j] = any = any || matches[j];
        } else {
            for (size_t j = 1; j <= text.size(); ++j)
                next[j] = matches[j - 1] && (p == U'?' || p == text[j - 1]);
        }
        matches = std::move(next);
    }
    return matches[text.size()];
}

bool referenceContains(const std::vector<char32_t>& part, const std::vector<char32_t>& text) {
    return part.empty() ||
           std::search(text.begin(), text.end(), part.begin(), part.end()) != text.end();
}

// The catalog's SQL functions as a search calls them, on bytes as stored.
struct SqlMatcher {
    sqlite3* db = nullptr;
    sqlite3_stmt* statement = nullptr;

    SqlMatcher() {
        sqlite3_open(":memory:", &db);
        registerCatalogFunctions(db);
        sqlite3_prepare_v2(db, "SELECT kestro_like(?1, ?3), kestro_contains(?2, ?3)", -1,
                           &statement, nullptr);
        FUZZ_CHECK(statement);
    }

    std::pair<bool, bool> match(const QByteArray& pattern, const QByteArray& part,
                                const QByteArray& name) {
        sqlite3_reset(statement);
        sqlite3_bind_text(statement, 1, pattern.constData(), int(pattern.size()), SQLITE_STATIC);
        sqlite3_bind_text(statement, 2, part.constData(), int(part.size()), SQLITE_STATIC);
        sqlite3_bind_text(statement, 3, name.constData(), int(name.size()), SQLITE_STATIC);
        FUZZ_CHECK(sqlite3_step(statement) == SQLITE_ROW);
        return {sqlite3_column_int(statement, 0) != 0, sqlite3_column_int(statement, 1) != 0};
    }
};

bool isWildcard(QChar c) {
    return c == QLatin1Char('*') || c == QLatin1Char('?');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static SqlMatcher sql;
    const auto [typed, nameBytes] = splitAtFirst(bytesOf(data, size), '\n');
    const QString named = QString::fromUtf8(typed);
    const QString name = QString::fromUtf8(nameBytes);

    const QString pattern = NamePatternOf(named);
    FUZZ_CHECK(!pattern.isEmpty());
    for (qsizetype i = 1; i + 1 < pattern.size(); ++i)
        FUZZ_CHECK(!isWildcard(pattern[i]));

    const auto foldedName = foldedCharacters(name);
    const auto foldedPart = foldedCharacters(named);
    // The typed text taken as a pattern itself, and the pattern built from it.
    for (const QString& p : {named, pattern}) {
        const bool expected = referenceMatch(foldedCharacters(p), foldedName);
        FUZZ_CHECK(matchesNamePattern(p, name) == expected);
        const auto [like, contains] = sql.match(p.toUtf8(), named.toUtf8(), nameBytes);
        FUZZ_CHECK(like == expected);
        FUZZ_CHECK(contains == referenceContains(foldedPart, foldedName));
    }
    return 0;
}
