#include "search/gui/VolumeList.h"

namespace kestro {

namespace {

constexpr int kTablenameRole = Qt::UserRole;

} // namespace

VolumeList::VolumeList(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setUniformItemSizes(true);
}

void VolumeList::setVolumes(const std::vector<CatalogVolume>& volumes) {
    clear();
    if (volumes.empty())
        return;
    addItem(kAllVolumes);
    for (const CatalogVolume& volume : volumes) {
        auto* entry = new QListWidgetItem(volume.name, this);
        entry->setData(kTablenameRole, volume.tablename);
    }
}

void VolumeList::select(const VolumeSelection& selection) {
    clearSelection();
    if (count() == 0)
        return;
    if (selection.allVolumes) {
        item(0)->setSelected(true);
        setCurrentRow(0, QItemSelectionModel::NoUpdate);
        return;
    }
    for (int row = 1; row < count(); ++row) {
        const QString tablename = item(row)->data(kTablenameRole).toString();
        for (const CatalogVolume& volume : selection.chosen)
            if (volume.tablename == tablename)
                item(row)->setSelected(true);
    }
}

VolumeSelection VolumeList::selection() const {
    VolumeSelection chosen;
    chosen.allVolumes = count() > 0 && item(0)->isSelected();
    if (chosen.allVolumes)
        return chosen;
    for (int row = 1; row < count(); ++row)
        if (item(row)->isSelected())
            chosen.chosen.push_back(
                {item(row)->data(kTablenameRole).toString(), item(row)->text()});
    return chosen;
}

} // namespace kestro
