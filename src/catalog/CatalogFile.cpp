#include "catalog/CatalogFile.h"

#include "catalog/CatalogError.h"
#include "catalog/ConsistencySweep.h"
#include "catalog/FolderRuns.h"
#include "catalog/HostedCatalog.h"
#include "catalog/NameIndex.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace kestro {

namespace {

constexpr qint64 kCopyBlockSize = 32000;

} // namespace

bool probeCatalogFile(const QString& path) {
    if (!QFileInfo(path).isFile())
        return false;
    QFile file(path);
    return file.open(QIODevice::ReadOnly);
}

void createCatalogFromTemplate(const QString& templatePath, const QString& target,
                               const std::function<void()>& afterBlock) {
    QFile source(templatePath);
    if (!source.open(QIODevice::ReadOnly))
        throw CatalogError(QStringLiteral("The catalog template \"%1\" cannot be read: %2")
                               .arg(templatePath, source.errorString()));
    QSaveFile copy(target);
    if (!copy.open(QIODevice::WriteOnly))
        throw CatalogError(QStringLiteral("The new catalog \"%1\" cannot be created: %2")
                               .arg(target, copy.errorString()));
    while (!source.atEnd()) {
        const QByteArray block = source.read(kCopyBlockSize);
        if (source.error() != QFileDevice::NoError || copy.write(block) != block.size()) {
            const QString reason =
                source.error() != QFileDevice::NoError ? source.errorString() : copy.errorString();
            copy.cancelWriting();
            throw CatalogError(QStringLiteral("The new catalog \"%1\" could not be written: %2")
                                   .arg(target, reason));
        }
        if (afterBlock)
            afterBlock();
    }
    if (!copy.commit())
        throw CatalogError(QStringLiteral("The new catalog \"%1\" could not be written: %2")
                               .arg(target, copy.errorString()));
}

void compactCatalog(const Catalog& catalog) {
    const Database db = catalog.open();
    sweepCatalog(db);
    db.compact();
    // The rebuild may number the volume tables' rows anew, and the name index
    // refers to rows by their numbers: it is made again (also for a catalog
    // that never had one). So are the folder runs. A hosted catalog has no
    // folder runs, and its server keeps its name index up to date: it gets
    // only what an earlier version did not make, and the index of tables
    // whose indexing after their run was stopped.
    if (db.isHosted()) {
        completeHostedCatalog(db);
    } else {
        IndexAllNames(db);
        WriteAllFolderRuns(db);
    }
}

} // namespace kestro
