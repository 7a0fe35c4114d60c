#pragma once

#include "catalog/Database.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace kestro {

// A catalogued volume as the search window and the export dialog list it:
// its name is the entry's text, its tablename names its tables.
struct CatalogVolume {
    QString tablename;
    QString name;

    bool operator==(const CatalogVolume&) const = default;
};

// Every volume of the catalog, in the order the lists show them: by drive
// type, then by name without regard to letter case, as the tree orders them.
std::vector<CatalogVolume> ListVolumes(const Database& db);

// The volumes whose name is one of `names`, in list order. Two volumes may
// carry the same name: a name stands for all of them. The names no volume
// carries are added to `unknown`.
std::vector<CatalogVolume> VolumesNamed(const Database& db, const QStringList& names,
                                        QStringList& unknown);

// The volumes a search or an export covers: "<<All Volumes>>", or the
// entries chosen in the list. Each entry keeps its tablename, so volumes of
// the same name stay apart.
struct VolumeSelection {
    bool allVolumes = true;
    std::vector<CatalogVolume> chosen; // in list order; used when allVolumes is false

    bool isEmpty() const { return !allVolumes && chosen.empty(); }
    // The volumes covered, in list order: the catalog's volumes as they are
    // now for "<<All Volumes>>", else the chosen ones.
    std::vector<CatalogVolume> resolve(const Database& db) const;
};

} // namespace kestro
