#include "catalog/NodeKey.h"

#include "catalog/DisplayRules.h"

namespace kestro {

QString RootKey() {
    return QString(kRootKeyChar);
}

QString CategoryKey(const QString& number) {
    return kCategoryMark + number;
}

QString VolumeKey(const QString& tablename, const QString& rootName) {
    return tablename + QLatin1Char('_') + rootName;
}

QString FolderKey(const QString& tablename, const QString& parent, const QString& name) {
    return tablename + QLatin1Char('_') + parent + QLatin1Char('\\') + name;
}

NodeKind KindOfKey(QStringView key) {
    if (key.startsWith(kRootKeyChar))
        return NodeKind::Root;
    if (key.startsWith(kCategoryMark))
        return NodeKind::Category;
    if (key.contains(QLatin1Char('\\')))
        return NodeKind::Folder;
    return key.endsWith(QLatin1Char(':')) ? NodeKind::Volume : NodeKind::Folder;
}

QString NodePathOf(QStringView key) {
    return key.mid(TableNameOf(key).size() + 1).toString();
}

} // namespace kestro
