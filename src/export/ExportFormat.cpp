#include "export/ExportFormat.h"

#include <algorithm>

namespace kestro {

namespace {

struct FieldTexts {
    const char* caption;
    const char* header;
    const char* key;
};

constexpr std::array<FieldTexts, kExportFieldCount> kFieldTexts{{
    {"File/Folder name", "Filename", "name"},
    {"Parent path", "Path", "path"},
    {"Volume name", "Volume", "volume"},
    {"Size", "Size", "size"},
    {"Date Modified", "Modified date", "date"},
    {"Description", "Description", "description"},
    {"Type", "Type", "type"},
}};

} // namespace

QString ExportFieldCaption(ExportField field) {
    return QString::fromLatin1(kFieldTexts[size_t(field)].caption);
}

QString ExportFieldHeader(ExportField field) {
    return QString::fromLatin1(kFieldTexts[size_t(field)].header);
}

QString ExportFieldKey(ExportField field) {
    return QString::fromLatin1(kFieldTexts[size_t(field)].key);
}

bool ExportFormat::anyField() const {
    return std::any_of(fields.begin(), fields.end(), [](bool wanted) { return wanted; });
}

QString ExportCaption(bool fromSearch) {
    return fromSearch ? QStringLiteral("Export Search Results") : QStringLiteral("Export");
}

} // namespace kestro
