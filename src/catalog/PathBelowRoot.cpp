#include "catalog/PathBelowRoot.h"

namespace kestro {

namespace {

bool isDrive(char32_t letter, char32_t colon) {
    return ((letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z')) && colon == ':';
}

} // namespace

QString PathBelowRoot(const QString& parent) {
    const bool drive = parent.size() >= 2 && isDrive(parent[0].unicode(), parent[1].unicode());
    return drive ? parent.mid(2) : parent;
}

std::string_view PathBelowRoot(std::string_view parentUtf8) {
    const bool drive =
        parentUtf8.size() >= 2 && isDrive(char32_t(parentUtf8[0]), char32_t(parentUtf8[1]));
    return drive ? parentUtf8.substr(2) : parentUtf8;
}

} // namespace kestro
