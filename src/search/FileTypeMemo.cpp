#include "search/FileTypeMemo.h"

#include "platform/FileTypes.h"

namespace kestro {

namespace {

// Beyond this many extensions the memo starts afresh, so that a volume of
// made-up extensions cannot make it grow without end.
constexpr size_t kMaxExtensions = 4096;

} // namespace

const FileTypeMemo::FileType& FileTypeMemo::of(std::string_view utf8Name) {
    const auto lookUp = [&] {
        const QString name = QString::fromUtf8(utf8Name.data(), qsizetype(utf8Name.size()));
        return FileType{fileTypes_.FileTypeName(name), fileTypes_.FileIconKey(name)};
    };
    const size_t dot = utf8Name.rfind('.');
    if (dot == std::string_view::npos) {
        if (!withoutExtension_)
            withoutExtension_ = lookUp();
        return *withoutExtension_;
    }
    const std::string extension(utf8Name.substr(dot + 1));
    if (const auto found = byExtension_.find(extension); found != byExtension_.end())
        return found->second;
    if (byExtension_.size() >= kMaxExtensions)
        byExtension_.clear();
    return byExtension_.emplace(extension, lookUp()).first->second;
}

} // namespace kestro
