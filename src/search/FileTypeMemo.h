#pragma once

#include <QString>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace kestro {

class FileTypes;

// The type name and icon key of file names, remembered per extension for the
// length of one search or export: a million rows cost a few hundred lookups.
class FileTypeMemo {
public:
    struct FileType {
        QString name;    // FileTypeName
        QString iconKey; // FileIconKey
    };

    explicit FileTypeMemo(const FileTypes& fileTypes) : fileTypes_(fileTypes) {}

    // The type of a file name given as UTF-8.
    const FileType& of(std::string_view utf8Name);

private:
    const FileTypes& fileTypes_;
    std::unordered_map<std::string, FileType> byExtension_; // by the text after the last "."
    std::optional<FileType> withoutExtension_;
};

} // namespace kestro
