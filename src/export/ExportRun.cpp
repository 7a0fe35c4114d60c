#include "export/ExportRun.h"

#include "catalog/CatalogError.h"
#include "export/ExportFile.h"
#include "export/ExportFileName.h"
#include "export/ExportLines.h"

#include <QFile>
#include <QSet>

namespace kestro {

namespace {

// The dialog repaints after every this many rows.
constexpr int kRowsBetweenYields = 51;

// One export from Ok to the last volume: the rows to read and how to write them.
class ExportJob {
public:
    ExportJob(const Database& db, const ExportRequest& request, const LastSearch& search,
              const FileTypes& fileTypes, SearchState& state, ExportView& view)
        : db_(db), request_(request),
          condition_(request.fromSearch ? search.condition : SearchCondition()),
          scope_(request.fromSearch ? search.scope : SearchScope::Both),
          lines_(request.format, fileTypes), state_(state), view_(view) {}

    // Writes the file of one volume; false when the export is to end.
    bool exportVolume(const CatalogVolume& volume, ExportOutcome& outcome) {
        ExportFile file(uniquePath(volume.name));
        if (!file.create())
            return failed(file, QStringLiteral("created"), outcome);
        const std::string name = volume.name.toStdString();
        bool headerWritten = false;
        bool written = true;
        try {
            for (const TableKind kind : TableKindsOf(scope_)) {
                written = writeTable(VolumeTable(volume.tablename, kind), kind, volume, name, file,
                                     headerWritten);
                if (!written || state_.abortRequested())
                    break;
            }
        } catch (const CatalogError&) {
            QFile::remove(file.path()); // a volume half written is no export
            throw;
        }
        if (!written || !file.close())
            return failed(file, QStringLiteral("written"), outcome);
        if (file.size() == 0)
            QFile::remove(file.path());
        else
            outcome.files << file.path();
        return !state_.abortRequested();
    }

private:
    // Writes the rows of one table; false when the file cannot be written.
    bool writeTable(const QString& table, TableKind kind, const CatalogVolume& volume,
                    const std::string& volumeName, ExportFile& file, bool& headerWritten) {
        view_.yieldEvents(10);
        if (!db_.hasTable(table))
            return true;
        Statement rows = condition_.select(db_, table);
        if (state_.abortRequested())
            return true;
        view_.yieldEvents(10);
        int rowsSinceYield = 0;
        std::string text;
        while (rows.next()) {
            text.clear();
            if (!headerWritten) {
                view_.setCaption(QStringLiteral("Exporting volume: ") + volume.name);
                if (request_.format.headerLines())
                    lines_.appendHeaderLines(volumeName, text);
                headerWritten = true;
            }
            if (++rowsSinceYield == kRowsBetweenYields) {
                rowsSinceYield = 0;
                view_.yieldEvents(1);
            }
            const ExportRow row{kind,
                                rows.utf8(SearchCondition::Name),
                                rows.utf8(SearchCondition::Parent),
                                rows.utf8(SearchCondition::Size),
                                rows.utf8(SearchCondition::Date),
                                rows.utf8(SearchCondition::Description)};
            lines_.appendRow(row, volumeName, text);
            if (!file.write(text))
                return false;
            if (state_.abortRequested())
                break;
        }
        return true;
    }

    // The file of a volume; volumes of the same name each get their own.
    QString uniquePath(const QString& volumeName) {
        const auto pathOf = [&](int copy) {
            return ExportFilePath(request_.folder, volumeName, request_.fromSearch,
                                  request_.format.forPrint, copy);
        };
        int copy = 1;
        while (taken_.contains(pathOf(copy)))
            ++copy;
        taken_.insert(pathOf(copy));
        return pathOf(copy);
    }

    bool failed(const ExportFile& file, const QString& what, ExportOutcome& outcome) {
        QFile::remove(file.path());
        view_.message(QStringLiteral("The export file \"%1\" cannot be %2: %3.  The export has "
                                     "stopped.")
                          .arg(file.path(), what, file.failure()));
        outcome.result = ExportOutcome::Result::Failed;
        return false;
    }

    const Database& db_;
    const ExportRequest& request_;
    SearchCondition condition_;
    SearchScope scope_;
    ExportLineWriter lines_;
    SearchState& state_;
    ExportView& view_;
    QSet<QString> taken_;
};

} // namespace

ExportRun::ExportRun(Catalog catalog, const FileTypes& fileTypes, SearchState& state,
                     ExportView& view)
    : catalog_(std::move(catalog)), fileTypes_(fileTypes), state_(state), view_(view) {}

ExportOutcome ExportRun::run(const ExportRequest& request) {
    ExportOutcome outcome;
    const LastSearch& search = state_.lastSearch();
    const VolumeSelection& volumes = request.fromSearch ? search.volumes : request.volumes;
    if (!request.format.anyField()) {
        view_.message(kNoFieldMessage);
        outcome.result = ExportOutcome::Result::Refused;
        return outcome;
    }
    if (volumes.isEmpty()) {
        view_.message(kNoVolumeMessage);
        outcome.result = ExportOutcome::Result::Refused;
        return outcome;
    }
    state_.clearAbortRequest();
    view_.setBusy(true);
    try {
        const Database db = catalog_.open();
        ExportJob job(db, request, search, fileTypes_, state_, view_);
        for (const CatalogVolume& volume : volumes.resolve(db))
            if (!job.exportVolume(volume, outcome))
                break;
    } catch (const CatalogError& e) {
        view_.message(e.message());
        outcome.result = ExportOutcome::Result::Failed;
    }
    if (outcome.result == ExportOutcome::Result::Written && state_.abortRequested())
        outcome.result = ExportOutcome::Result::Aborted;
    view_.setCaption(ExportCaption(request.fromSearch));
    view_.setBusy(false);
    return outcome;
}

} // namespace kestro
