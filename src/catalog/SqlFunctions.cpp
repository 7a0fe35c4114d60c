#include "catalog/SqlFunctions.h"

#include "catalog/PathBelowRoot.h"
#include "catalog/StoredTexts.h"

#include <QString>
#include <algorithm>
#include <sqlite3.h>
#include <string_view>

namespace kestro {

namespace {

// A pattern as the matcher uses it, kept with the statement so that it is
// prepared once per search rather than once per row.
struct CompiledPattern {
    std::string asciiLower; // set when the pattern is plain ASCII
    QString folded;         // the case-folded pattern, for everything else
    bool ascii = false;
    // The folded pattern holds a character beyond ASCII, which no text of
    // plain ASCII (most names) can match: such a text is turned down at once.
    bool needsNonAscii = false;
};

bool isAscii(std::string_view bytes) {
    for (const unsigned char c : bytes)
        if (c >= 0x80)
            return false;
    return true;
}

// Wildcard match with "*" and "?" over the units of `text`, each unit passed
// through `fold` before it is compared. `unitAt` gives the length of the
// character at a position, so "?" takes a whole surrogate pair. On a mismatch
// after a "*", the match retries one character further along the text.
template <typename Pattern, typename Text, typename Fold, typename UnitLength>
bool wildcardMatch(const Pattern& pattern, const Text& text, Fold fold, UnitLength unitAt) {
    size_t p = 0, t = 0;
    size_t starP = std::string::npos, starT = 0;
    const size_t pn = size_t(pattern.size()), tn = size_t(text.size());
    while (t < tn) {
        if (p < pn && pattern[p] == '*') {
            starP = ++p;
            starT = t;
        } else if (p < pn && pattern[p] == '?') {
            ++p;
            t += unitAt(text, t);
        } else if (p < pn && pattern[p] == fold(text[t])) {
            ++p;
            ++t;
        } else if (starP != std::string::npos) {
            p = starP;
            starT += unitAt(text, starT);
            t = starT;
        } else {
            return false;
        }
    }
    while (p < pn && pattern[p] == '*')
        ++p;
    return p == pn;
}

// Called for every character of every name a search reads: no locale lookup.
char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

std::string asciiLowered(std::string_view bytes) {
    std::string out(bytes);
    for (char& c : out)
        c = asciiLower(c);
    return out;
}

bool matchCompiled(const CompiledPattern& pattern, std::string_view text) {
    if (pattern.ascii && isAscii(text))
        return wildcardMatch(pattern.asciiLower, text, asciiLower,
                             [](std::string_view, size_t) { return size_t(1); });
    if (pattern.needsNonAscii && isAscii(text))
        return false;
    const QString folded = QString::fromUtf8(text.data(), qsizetype(text.size())).toCaseFolded();
    return wildcardMatch(
        pattern.folded, folded, [](QChar c) { return c; },
        [](const QString& s, size_t i) {
            return (s[qsizetype(i)].isHighSurrogate() && qsizetype(i) + 1 < s.size()) ? size_t(2)
                                                                                      : size_t(1);
        });
}

CompiledPattern compile(std::string_view bytes) {
    CompiledPattern pattern;
    pattern.ascii = isAscii(bytes);
    if (pattern.ascii)
        pattern.asciiLower = asciiLowered(bytes);
    pattern.folded = QString::fromUtf8(bytes.data(), qsizetype(bytes.size())).toCaseFolded();
    pattern.needsNonAscii = std::any_of(pattern.folded.begin(), pattern.folded.end(),
                                        [](QChar c) { return c.unicode() >= 0x80; });
    return pattern;
}

std::string_view textArg(sqlite3_value* value) {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return bytes ? std::string_view(bytes, size_t(sqlite3_value_bytes(value))) : std::string_view();
}

// Case-insensitive search for `part` in `text`, every character literal.
bool containsCompiled(const CompiledPattern& part, std::string_view text) {
    if (part.ascii && isAscii(text)) {
        const auto& needle = part.asciiLower;
        return std::search(text.begin(), text.end(), needle.begin(), needle.end(),
                           [](char t, char n) { return asciiLower(t) == n; }) != text.end() ||
               needle.empty();
    }
    if (part.needsNonAscii && isAscii(text))
        return false;
    return QString::fromUtf8(text.data(), qsizetype(text.size()))
        .toCaseFolded()
        .contains(part.folded);
}

// Runs `match` on the compiled first argument and the text of the second,
// compiling the first once per statement. Null when either is Null.
template <typename Match>
void matchFunction(sqlite3_context* ctx, sqlite3_value** argv, Match match) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    auto* pattern = static_cast<CompiledPattern*>(sqlite3_get_auxdata(ctx, 0));
    if (!pattern) {
        pattern = new CompiledPattern(compile(textArg(argv[0])));
        sqlite3_set_auxdata(ctx, 0, pattern,
                            [](void* p) { delete static_cast<CompiledPattern*>(p); });
        // SQLite may drop the auxiliary data at once; fetch it back.
        pattern = static_cast<CompiledPattern*>(sqlite3_get_auxdata(ctx, 0));
        if (!pattern) {
            sqlite3_result_int(ctx, match(compile(textArg(argv[0])), textArg(argv[1])));
            return;
        }
    }
    sqlite3_result_int(ctx, match(*pattern, textArg(argv[1])));
}

void likeFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    matchFunction(ctx, argv, matchCompiled);
}

void containsFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    matchFunction(ctx, argv, containsCompiled);
}

void kilobytesFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    const auto kb = sqlite3_value_type(argv[0]) == SQLITE_NULL
                        ? std::nullopt
                        : KilobytesOfSizeText(textArg(argv[0]));
    if (kb)
        sqlite3_result_double(ctx, *kb);
    else
        sqlite3_result_null(ctx);
}

void momentFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    const auto moment = sqlite3_value_type(argv[0]) == SQLITE_NULL
                            ? std::nullopt
                            : MomentOfDateText(textArg(argv[0]));
    if (moment)
        sqlite3_result_int64(ctx, *moment);
    else
        sqlite3_result_null(ctx);
}

void belowRootFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const std::string_view below = PathBelowRoot(textArg(argv[0]));
    sqlite3_result_text(ctx, below.data(), int(below.size()), SQLITE_TRANSIENT);
}

} // namespace

bool matchesNamePattern(const QString& pattern, const QString& text) {
    return matchCompiled(compile(pattern.toStdString()), text.toStdString());
}

void appendFoldedName(std::string_view name, std::string& out) {
    // Most names are plain ASCII: lowered in one pass, given up at the first
    // byte beyond.
    const size_t start = out.size();
    out.resize(start + name.size());
    char* folded = out.data() + start;
    for (const char c : name) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            out.resize(start);
            out +=
                QString::fromUtf8(name.data(), qsizetype(name.size())).toCaseFolded().toStdString();
            return;
        }
        *folded++ = asciiLower(c);
    }
}

void registerCatalogFunctions(sqlite3* db) {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    sqlite3_create_function_v2(db, "kestro_like", 2, flags, nullptr, likeFunction, nullptr, nullptr,
                               nullptr);
    sqlite3_create_function_v2(db, "kestro_contains", 2, flags, nullptr, containsFunction, nullptr,
                               nullptr, nullptr);
    sqlite3_create_function_v2(db, "kestro_kb", 1, flags, nullptr, kilobytesFunction, nullptr,
                               nullptr, nullptr);
    sqlite3_create_function_v2(db, "kestro_below_root", 1, flags, nullptr, belowRootFunction,
                               nullptr, nullptr, nullptr);
    // Not deterministic: a two-digit year reads differently as the years go by.
    sqlite3_create_function_v2(db, "kestro_moment", 1, SQLITE_UTF8 | SQLITE_INNOCUOUS, nullptr,
                               momentFunction, nullptr, nullptr, nullptr);
}

} // namespace kestro
