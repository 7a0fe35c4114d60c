#pragma once

#include "export/ExportFormat.h"
#include "search/FileTypeMemo.h"
#include "search/SearchScope.h"

#include <string>
#include <string_view>

namespace kestro {

// One folder or file row as an export reads it: its columns as UTF-8 text,
// empty for Null.
struct ExportRow {
    TableKind kind = TableKind::Files;
    std::string_view name;
    std::string_view parent;
    std::string_view size;
    std::string_view date;
    std::string_view description;
};

// A date text as exports write it, "m/d/yy h:nn:ss am/pm" (12/25/98 10:05:00 pm),
// or "<none>" for an empty one. A text that is no date is written as stored.
void AppendExportDateText(std::string_view stored, std::string& out);

// A size text as a plain number of kilobytes: "        1,234KB" -> 1234. A text
// that is no size text is written without its surrounding spaces.
void AppendExportSizeNumber(std::string_view stored, std::string& out);

// A value kept on one line: TAB, CR and LF become spaces.
void AppendOneLine(std::string_view value, std::string& out);

// Writes the lines of an export in the chosen format: each line ends in CR LF,
// its fields are those chosen, in their order, each between the quotes (where
// a quote inside is doubled) or kept on one line (without quotes), separated
// by the delimiter.
class ExportLineWriter {
public:
    ExportLineWriter(const ExportFormat& format, const FileTypes& fileTypes);

    // The header: for printout "Volume: " + the volume's name and an empty
    // line before it and an empty line after it.
    void appendHeaderLines(std::string_view volume, std::string& out) const;
    // One row of a folder table or a file table of the volume.
    void appendRow(const ExportRow& row, std::string_view volume, std::string& out);

private:
    void appendValue(std::string_view value, std::string& out) const;

    ExportFormat format_;
    FileTypeMemo fileTypes_;
    char delimiter_;
    bool quoted_;
};

} // namespace kestro
