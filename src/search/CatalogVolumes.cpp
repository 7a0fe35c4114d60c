#include "search/CatalogVolumes.h"

#include "catalog/DisplayRules.h"

namespace kestro {

std::vector<CatalogVolume> ListVolumes(const Database& db) {
    std::vector<CatalogVolume> volumes;
    Statement rows = db.prepare("SELECT tablename, name FROM \"index\" "
                                "ORDER BY volumetype, lower(name), tablename");
    while (rows.next())
        volumes.push_back({rows.text(0), NullToEmpty(rows.value(1))});
    return volumes;
}

std::vector<CatalogVolume> VolumesNamed(const Database& db, const QStringList& names,
                                        QStringList& unknown) {
    std::vector<CatalogVolume> named;
    QStringList found;
    for (CatalogVolume& volume : ListVolumes(db))
        if (names.contains(volume.name)) {
            found << volume.name;
            named.push_back(std::move(volume));
        }
    for (const QString& name : names)
        if (!found.contains(name) && !unknown.contains(name))
            unknown << name;
    return named;
}

std::vector<CatalogVolume> VolumeSelection::resolve(const Database& db) const {
    return allVolumes ? ListVolumes(db) : chosen;
}

} // namespace kestro
