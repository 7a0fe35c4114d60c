#pragma once

#include "catalog/Catalog.h"
#include "export/ExportFormat.h"
#include "search/CatalogVolumes.h"
#include "search/SearchState.h"

#include <QString>
#include <QStringList>

namespace kestro {

class FileTypes;

// What the export dialog's Ok is given.
struct ExportRequest {
    ExportFormat format;
    QString folder;          // the destination folder
    VolumeSelection volumes; // the volumes chosen; not used for search results
    // ExportFromSearch: only the rows the last search found, of the kinds and
    // in the volumes it looked in; file names end in " (search results)".
    bool fromSearch = false;
};

// Everything an export shows: the export dialog implements it, and kestro-cli.
class ExportView {
public:
    virtual ~ExportView() = default;

    // The dialog's caption: "Exporting volume: " + the volume's name while a
    // volume is written, ExportCaption() when done.
    virtual void setCaption(const QString& caption) = 0;
    // While busy, Ok and Close are disabled.
    virtual void setBusy(bool busy) = 0;
    // Lets pending user-interface events run `times` times.
    virtual void yieldEvents(int times) = 0;
    // A notice the user acknowledges.
    virtual void message(const QString& text) = 0;
};

struct ExportOutcome {
    enum class Result {
        Written, // every volume chosen is written
        Aborted, // stopped by the abort request; what was written stays
        Refused, // no field or no volume chosen; nothing written
        Failed,  // the catalog or an output file failed; the user has been told
    };
    Result result = Result::Written;
    QStringList files; // the files written, in order
};

inline const QString kNoFieldMessage =
    QStringLiteral("Must select at least one field to export...");
inline const QString kNoVolumeMessage =
    QStringLiteral("Must select at least one volume to export...");

// The export of the dialog's Ok: one file per volume, in list order, holding
// the volume's folders and then its files (or, for search results, the rows
// the last search found), in the format chosen. A volume without rows to
// write leaves no file. An output file that cannot be created or written stops
// the export with a message naming it; the broken file is removed.
class ExportRun {
public:
    ExportRun(Catalog catalog, const FileTypes& fileTypes, SearchState& state, ExportView& view);

    ExportOutcome run(const ExportRequest& request);

private:
    Catalog catalog_;
    const FileTypes& fileTypes_;
    SearchState& state_;
    ExportView& view_;
};

} // namespace kestro
