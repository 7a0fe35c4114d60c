#pragma once

#include "search/CatalogVolumes.h"

#include <QListWidget>
#include <vector>

namespace kestro {

// The list of volumes to look in or to export: "<<All Volumes>>", then the
// catalog's volumes by name. Several entries may be chosen. Each entry keeps
// its volume's tablename, so volumes of the same name stay apart.
class VolumeList : public QListWidget {
    Q_OBJECT
public:
    static inline const QString kAllVolumes = QStringLiteral("<<All Volumes>>");

    explicit VolumeList(QWidget* parent = nullptr);

    // Lists the volumes with nothing chosen; an empty list without volumes.
    void setVolumes(const std::vector<CatalogVolume>& volumes);
    // Chooses the entries of `selection`.
    void select(const VolumeSelection& selection);
    // The entries chosen: everything when "<<All Volumes>>" is.
    VolumeSelection selection() const;
};

} // namespace kestro
