#include "platform/IniFile.h"

#include <QFile>
#include <QSaveFile>

namespace kestro {

namespace {

// Lines are kept as the bytes the file holds and read as UTF-8 only to be
// understood, so that a write leaves every line it does not change exactly as
// it was, whatever encoding someone wrote it in.

// The name of a "[Section]" line, or nothing for any other line.
std::optional<QString> sectionName(const QByteArray& line) {
    const QString t = QString::fromUtf8(line).trimmed();
    if (t.size() < 2 || !t.startsWith(QLatin1Char('[')))
        return std::nullopt;
    const qsizetype close = t.indexOf(QLatin1Char(']'));
    if (close < 0)
        return std::nullopt;
    return t.mid(1, close - 1).trimmed();
}

bool isComment(const QByteArray& line) {
    const QString t = QString::fromUtf8(line).trimmed();
    return t.startsWith(QLatin1Char(';')) || t.startsWith(QLatin1Char('#'));
}

// Splits a "key=value" line; nothing for lines that are not key lines.
std::optional<std::pair<QString, QString>> keyLine(const QByteArray& line) {
    if (isComment(line))
        return std::nullopt;
    const qsizetype eq = line.indexOf('=');
    if (eq <= 0)
        return std::nullopt;
    return std::make_pair(QString::fromUtf8(line.left(eq)).trimmed(),
                          QString::fromUtf8(line.mid(eq + 1)).trimmed());
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// A value is stored on one line: line breaks and other control characters
// would split it or corrupt the file, so they become spaces.
QString oneLine(QString value) {
    for (QChar& c : value)
        if (c.unicode() < 0x20)
            c = QLatin1Char(' ');
    return value;
}

bool isQuoted(const QString& value) {
    return value.size() >= 2 && value.startsWith(QLatin1Char('"')) &&
           value.endsWith(QLatin1Char('"'));
}

// A value in matching double quotes is read without them, as Windows does.
QString unquoted(const QString& value) {
    return isQuoted(value) ? value.mid(1, value.size() - 2) : value;
}

// So a value that is itself in quotes is written in one more pair.
QString quotedIfNeeded(const QString& value) {
    return isQuoted(value) ? QLatin1Char('"') + value + QLatin1Char('"') : value;
}

// Lines [begin, end) of the first section called `section`; begin is the
// header line's index, or -1 when the section is missing.
std::pair<qsizetype, qsizetype> findSection(const QByteArrayList& lines, const QString& section) {
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const auto name = sectionName(lines[i]);
        if (!name || !sameName(*name, section))
            continue;
        qsizetype end = i + 1;
        while (end < lines.size() && !sectionName(lines[end]))
            ++end;
        return {i, end};
    }
    return {-1, -1};
}

} // namespace

IniFile::IniFile(QString path) : path_(std::move(path)) {}

QByteArrayList IniFile::readLines(bool* crlf) const {
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray text = file.readAll();
    if (crlf)
        *crlf = text.contains("\r\n");
    QByteArrayList lines = text.split('\n');
    // Every carriage return before a line feed belongs to the line's end.
    for (QByteArray& line : lines)
        while (line.endsWith('\r'))
            line.chop(1);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

bool IniFile::writeLines(const QByteArrayList& lines, bool crlf) const {
    const QByteArray eol = crlf ? "\r\n" : "\n";
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = lines.join(eol) + eol;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

std::vector<std::pair<QString, QString>> IniFile::entries(const QString& section) const {
    const QByteArrayList lines = readLines();
    const auto [begin, end] = findSection(lines, section);
    std::vector<std::pair<QString, QString>> result;
    for (qsizetype i = begin + 1; begin >= 0 && i < end; ++i)
        if (auto kv = keyLine(lines[i]))
            result.emplace_back(kv->first, unquoted(kv->second));
    return result;
}

std::optional<QString> IniFile::value(const QString& section, const QString& key) const {
    for (const auto& [name, value] : entries(section))
        if (sameName(name, key))
            return value.left(kMaxValueLength).trimmed();
    return std::nullopt;
}

bool IniFile::setValue(const QString& section, const QString& key, const QString& value) {
    return setValues(section, {{key, value}});
}

bool IniFile::setValues(const QString& section,
                        const std::vector<std::pair<QString, QString>>& values) {
    bool crlf = false;
    QByteArrayList lines = readLines(&crlf);
    auto [begin, end] = findSection(lines, section);
    if (begin < 0) {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines.append(QByteArray());
        lines.append((QLatin1Char('[') + section + QLatin1Char(']')).toUtf8());
        begin = lines.size() - 1;
        end = lines.size();
    }
    for (const auto& [key, value] : values) {
        const QString text = quotedIfNeeded(oneLine(value).trimmed());
        bool replaced = false;
        for (qsizetype i = begin + 1; i < end && !replaced; ++i) {
            const auto kv = keyLine(lines[i]);
            if (kv && sameName(kv->first, key)) {
                lines[i] = (kv->first + QLatin1Char('=') + text).toUtf8();
                replaced = true;
            }
        }
        if (replaced)
            continue;
        // A new key goes after the section's last non-blank line.
        qsizetype at = end;
        while (at > begin + 1 && lines[at - 1].trimmed().isEmpty())
            --at;
        lines.insert(at, (key + QLatin1Char('=') + text).toUtf8());
        ++end;
    }
    return writeLines(lines, crlf);
}

bool IniFile::removeKey(const QString& section, const QString& key) {
    bool crlf = false;
    QByteArrayList lines = readLines(&crlf);
    const auto [begin, end] = findSection(lines, section);
    for (qsizetype i = begin + 1; begin >= 0 && i < end; ++i) {
        const auto kv = keyLine(lines[i]);
        if (kv && sameName(kv->first, key)) {
            lines.removeAt(i);
            return writeLines(lines, crlf);
        }
    }
    return true;
}

} // namespace kestro
