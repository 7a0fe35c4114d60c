#pragma once

#include <QString>
#include <array>

namespace kestro {

// The fields an export can write, in the order they are written.
enum class ExportField { Name, Path, Volume, Size, Date, Description, Type };
inline constexpr int kExportFieldCount = 7;

// The check box of a field in "Fields to Export" ("File/Folder name"), its
// header text ("Filename"), and its name on kestro-cli's command line ("name").
QString ExportFieldCaption(ExportField field);
QString ExportFieldHeader(ExportField field);
QString ExportFieldKey(ExportField field);

// What the export dialog's check boxes ask for.
struct ExportFormat {
    std::array<bool, kExportFieldCount> fields{true, true, true, true, true, true, true};
    bool forPrint = false; // "Export for Printout/Email": TABs, no quotes, headers
    bool headers = true;   // "Create first record of headers"
    bool tabs = false;     // "Delimit fields with TABs not COMMAs"
    bool quotes = true;    // "Surround fields with quotes"

    bool wants(ExportField field) const { return fields[size_t(field)]; }
    bool anyField() const;
    // What is written, printout forcing its own choices.
    bool quoted() const { return quotes && !forPrint; }
    char delimiter() const { return tabs || forPrint ? '\t' : ','; }
    bool headerLines() const { return headers || forPrint; }
};

// The dialog's caption when it is idle: "Export", or "Export Search Results".
QString ExportCaption(bool fromSearch);

} // namespace kestro
