#include "export/ExportLines.h"

#include "catalog/StoredTexts.h"
#include "platform/DecimalText.h"

#include <algorithm>
#include <charconv>
#include <utility>

namespace kestro {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kNone = "<none>";
constexpr std::string_view kDirectory = "<directory>";

void appendNumber(int value, int minDigits, std::string& out) {
    char digits[12];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(size_t(std::max<qsizetype>(0, minDigits - (end - digits))), '0');
    out.append(digits, end);
}

std::string_view trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

void appendUtf8(const QString& text, std::string& out) {
    out += text.toStdString();
}

} // namespace

void AppendExportDateText(std::string_view stored, std::string& out) {
    if (trimmed(stored).empty()) {
        out += kNone;
        return;
    }
    const auto clock =
        WallClockOfDateText(QString::fromLatin1(stored.data(), qsizetype(stored.size())));
    if (!clock) {
        out += stored;
        return;
    }
    appendNumber(clock->month, 1, out);
    out += '/';
    appendNumber(clock->day, 1, out);
    out += '/';
    appendNumber(clock->year % 100, 2, out);
    out += ' ';
    appendNumber(clock->hour % 12 == 0 ? 12 : clock->hour % 12, 1, out);
    out += ':';
    appendNumber(clock->minute, 2, out);
    out += ':';
    appendNumber(clock->second, 2, out);
    out += clock->hour < 12 ? " am" : " pm";
}

void AppendExportSizeNumber(std::string_view stored, std::string& out) {
    if (const auto kilobytes = KilobytesOfSizeText(stored))
        appendUtf8(DecimalText(*kilobytes), out);
    else
        out += trimmed(stored);
}

void AppendOneLine(std::string_view value, std::string& out) {
    for (const char c : value)
        out += (c == '\t' || c == '\r' || c == '\n') ? ' ' : c;
}

ExportLineWriter::ExportLineWriter(const ExportFormat& format, const FileTypes& fileTypes)
    : format_(format), fileTypes_(fileTypes), delimiter_(format.delimiter()),
      quoted_(format.quoted()) {}

void ExportLineWriter::appendValue(std::string_view value, std::string& out) const {
    if (!quoted_) {
        AppendOneLine(value, out);
        return;
    }
    out += '"';
    for (const char c : value) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

void ExportLineWriter::appendHeaderLines(std::string_view volume, std::string& out) const {
    if (format_.forPrint) {
        out += "Volume: ";
        AppendOneLine(volume, out);
        out += kLineEnd;
        out += kLineEnd;
    }
    bool first = true;
    for (int i = 0; i < kExportFieldCount; ++i) {
        if (!format_.fields[size_t(i)])
            continue;
        if (!std::exchange(first, false))
            out += delimiter_;
        appendValue(ExportFieldHeader(ExportField(i)).toStdString(), out);
    }
    out += kLineEnd;
    if (format_.forPrint)
        out += kLineEnd;
}

void ExportLineWriter::appendRow(const ExportRow& row, std::string_view volume, std::string& out) {
    const bool folder = row.kind == TableKind::Folders;
    std::string value;
    bool first = true;
    for (int i = 0; i < kExportFieldCount; ++i) {
        if (!format_.fields[size_t(i)])
            continue;
        value.clear();
        switch (ExportField(i)) {
        case ExportField::Name:
            value = row.name;
            break;
        case ExportField::Path:
            value = row.parent;
            break;
        case ExportField::Volume:
            value = volume;
            break;
        case ExportField::Size:
            AppendExportSizeNumber(row.size, value);
            break;
        case ExportField::Date:
            if (folder)
                value = kNone;
            else
                AppendExportDateText(row.date, value);
            break;
        case ExportField::Description:
            value = row.description;
            break;
        case ExportField::Type:
            if (folder)
                value = kDirectory;
            else
                appendUtf8(fileTypes_.of(row.name).name, value);
            break;
        }
        if (!std::exchange(first, false))
            out += delimiter_;
        appendValue(value, out);
    }
    out += kLineEnd;
}

} // namespace kestro
