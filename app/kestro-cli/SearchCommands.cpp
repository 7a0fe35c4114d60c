// search and export: finding files and folders in the catalogued volumes, and
// writing volumes out as delimited text.

#include "CommandGroups.h"
#include "JsonLine.h"
#include "TerminalProgress.h"
#include "export/ExportLines.h"
#include "export/ExportRun.h"
#include "platform/FileTypes.h"
#include "search/SearchInputs.h"
#include "search/SearchScan.h"

#include <QDir>
#include <QFileInfo>

namespace kestro::cli {

namespace {

const QCommandLineOption kNameOption(QStringLiteral("name"),
                                     QStringLiteral("Names matching the pattern (\"report\", "
                                                    "\"*.doc\", \"rep*\")."),
                                     QStringLiteral("PATTERN"));
const QCommandLineOption kBetweenOption(QStringLiteral("between"),
                                        QStringLiteral("Modified on or between the two dates, "
                                                       "m/d/yy or m/d/yyyy (day first with "
                                                       "--european or the European-dates "
                                                       "option)."),
                                        QStringLiteral("DATE DATE"));
const QCommandLineOption kEuropeanOption(QStringLiteral("european"),
                                         QStringLiteral("Dates are typed and shown day first."));
const QCommandLineOption kDescriptionOption(QStringLiteral("description"),
                                            QStringLiteral("Descriptions holding the text."),
                                            QStringLiteral("TEXT"));
const QCommandLineOption kAtLeastOption(QStringLiteral("size-at-least"),
                                        QStringLiteral("Sizes of at least KB kilobytes."),
                                        QStringLiteral("KB"));
const QCommandLineOption kAtMostOption(QStringLiteral("size-at-most"),
                                       QStringLiteral("Sizes of at most KB kilobytes."),
                                       QStringLiteral("KB"));
const QCommandLineOption kEqualOption(QStringLiteral("size-equal"),
                                      QStringLiteral("Sizes of exactly KB kilobytes."),
                                      QStringLiteral("KB"));
const QCommandLineOption kFilesOption(QStringLiteral("files"),
                                      QStringLiteral("Search files. Without --files and "
                                                     "--folders, both are searched."));
const QCommandLineOption kFoldersOption(QStringLiteral("folders"),
                                        QStringLiteral("Search folders."));
const QCommandLineOption kVolumeOption(QStringLiteral("volume"),
                                       QStringLiteral("Only the volumes of this name; may be "
                                                      "given more than once (all volumes when "
                                                      "left out)."),
                                       QStringLiteral("NAME"));
const QCommandLineOption kCsvOption(QStringLiteral("csv"),
                                    QStringLiteral("Write CSV as an export does, with a header "
                                                   "line."));
const QCommandLineOption kSearchJsonOption =
    jsonOption(QStringLiteral("volume, kind (\"folder\" or \"file\"), location, name, type, "
                              "kilobytes, size_text, modified, modified_text and description"));

const QCommandLineOption
    kOutOption(QStringLiteral("out"),
               QStringLiteral("The folder the files go to; made when missing."),
               QStringLiteral("DIR"));
const QCommandLineOption
    kFieldsOption(QStringLiteral("fields"),
                  QStringLiteral("The fields to write, comma-separated (default: all): "
                                 "name,path,volume,size,date,description,type."),
                  QStringLiteral("LIST"));
const QCommandLineOption kTabsOption(QStringLiteral("tabs"),
                                     QStringLiteral("Delimit fields with TABs, not commas."));
const QCommandLineOption kNoQuotesOption(QStringLiteral("no-quotes"),
                                         QStringLiteral("Do not surround fields with quotes."));
const QCommandLineOption kNoHeadersOption(QStringLiteral("no-headers"),
                                          QStringLiteral("Write no line of headers."));
const QCommandLineOption kPrintOption(QStringLiteral("print"),
                                      QStringLiteral("For printout or e-mail: .txt files with "
                                                     "TABs, no quotes, a volume heading and "
                                                     "headers."));

int usageError(const QString& text) {
    printError(text + QLatin1Char('\n'));
    return kUsageError;
}

// The volumes --volume names, or all. False, with the names no volume has told,
// when some are unknown.
bool chooseVolumes(Invocation& call, VolumeSelection& selection) {
    const QStringList names = call.parser().values(kVolumeOption);
    if (names.isEmpty())
        return true;
    QStringList unknown;
    selection.allVolumes = false;
    selection.chosen = VolumesNamed(call.session().catalog().open(), names, unknown);
    for (const QString& name : unknown)
        printError(QStringLiteral("The catalog has no volume \"%1\".\n").arg(name));
    return unknown.isEmpty();
}

// A search or export seen from a terminal: progress on stderr, Ctrl+C asks
// it to stop, messages on stderr.
class TerminalView : public SearchView, public ExportView {
public:
    using PrintRows = std::function<void(const std::vector<SearchResult>&)>;

    TerminalView(SearchState& state, PrintRows printRows = {})
        : state_(state), printRows_(std::move(printRows)) {}

    void clearResults() override {}
    void addResults(std::vector<SearchResult> rows) override { printRows_(rows); }
    void setBusy(bool) override {}
    void setStatus(const QString& text) override { progress_.setStatus(text); }
    void setCaption(const QString& caption) override { progress_.setStatus(caption); }
    void yieldEvents(int) override {
        progress_.tick();
        if (progress_.interrupted())
            state_.requestAbort();
    }
    void message(const QString& text) override {
        progress_.clear();
        printError(text + QLatin1Char('\n'));
    }
    void done() { progress_.clear(); }

private:
    SearchState& state_;
    PrintRows printRows_;
    TerminalProgress progress_;
};

// Result rows as TAB-separated lines: volume, location, name, size, date and
// description.
void printLines(const std::vector<SearchResult>& rows) {
    QString text;
    for (const SearchResult& r : rows)
        text +=
            QStringList{outputField(r.volume), outputField(r.location), outputField(r.name),
                        r.size.trimmed(),      outputField(r.modified), outputField(r.description)}
                .join(QLatin1Char('\t')) +
            QLatin1Char('\n');
    printOut(text);
}

// Result rows as JSON Lines.
void printJson(const std::vector<SearchResult>& rows) {
    QString text;
    for (const SearchResult& r : rows)
        text += JsonLine()
                    .text("volume", r.volume)
                    .kind(r.kind == TableKind::Folders)
                    .text("location", r.location)
                    .text("name", r.name)
                    .text("type", r.type)
                    .sizeText(r.size)
                    .dateText("modified", r.date)
                    .text("description", r.description)
                    .line();
    printOut(text);
}

// Result rows as an export with its default format writes them.
void printCsv(ExportLineWriter& lines, const std::vector<SearchResult>& rows) {
    std::string text;
    for (const SearchResult& r : rows) {
        const std::string name = r.name.toStdString(), parent = r.location.toStdString(),
                          size = r.size.toStdString(), date = r.date.toStdString(),
                          description = r.description.toStdString();
        lines.appendRow({r.kind, name, parent, size, date, description}, r.volume.toStdString(),
                        text);
    }
    printOut(QString::fromStdString(text));
}

// The criteria of the options; false, with the reason told, when a date or a
// size cannot be read.
bool criteriaOf(Invocation& call, SearchCriteria& criteria) {
    const QCommandLineParser& parser = call.parser();
    criteria.named = parser.value(kNameOption);
    criteria.descriptionContains = parser.value(kDescriptionOption);
    criteria.europeanDates =
        parser.isSet(kEuropeanOption) || call.session().options().oDateFormat != 0;
    if (parser.isSet(kBetweenOption)) {
        const QStringList dates = parser.values(kBetweenOption);
        if (dates.size() != 2) {
            printError(QStringLiteral("--between takes two dates.\n"));
            return false;
        }
        for (const QString& date : dates)
            if (!ReadSearchDate(date, criteria.europeanDates)) {
                printError(QStringLiteral("\"%1\" is not a date (%2).\n")
                               .arg(date, criteria.europeanDates ? QStringLiteral("d/m/yy")
                                                                 : QStringLiteral("m/d/yy")));
                return false;
            }
        criteria.between = true;
        criteria.firstDate = dates[0];
        criteria.secondDate = dates[1];
    }
    const std::pair<const QCommandLineOption*, const char*> sizes[] = {
        {&kAtLeastOption, "at least"}, {&kAtMostOption, "at most"}, {&kEqualOption, "equal to"}};
    for (const auto& [option, comparison] : sizes) {
        if (!parser.isSet(*option))
            continue;
        if (!criteria.sizeComparison.isEmpty()) {
            printError(QStringLiteral("Give one size option only.\n"));
            return false;
        }
        criteria.sizeComparison = QString::fromLatin1(comparison);
        criteria.sizeKilobytes = parser.value(*option);
        if (!ReadSearchKilobytes(criteria.sizeKilobytes)) {
            printError(QStringLiteral("\"%1\" is not a number of kilobytes.\n")
                           .arg(criteria.sizeKilobytes));
            return false;
        }
    }
    return true;
}

int search(Invocation& call) {
    SearchRequest request;
    if (!criteriaOf(call, request.criteria))
        return kUsageError;
    const bool files = call.parser().isSet(kFilesOption);
    const bool folders = call.parser().isSet(kFoldersOption);
    request.searchFiles = files || !folders;
    request.searchFolders = folders || !files;
    const bool json = jsonRequested(call);
    if (json && call.parser().isSet(kCsvOption))
        return usageError(QStringLiteral("Give --csv or --json, not both."));
    if (!chooseVolumes(call, request.volumes))
        return 1;

    // CSV and JSON have a type column: plain lines need no file types.
    std::optional<FileTypes> fileTypes;
    if (json || call.parser().isSet(kCsvOption))
        fileTypes.emplace(IconCacheFolderOf(call.session().programFolder()));
    std::optional<ExportLineWriter> csv;
    if (call.parser().isSet(kCsvOption)) {
        csv.emplace(ExportFormat{}, *fileTypes);
        std::string header;
        csv->appendHeaderLines({}, header);
        printOut(QString::fromStdString(header));
    }
    SearchState state;
    TerminalView view(state, [&](const std::vector<SearchResult>& rows) {
        if (json)
            printJson(rows);
        else
            csv ? printCsv(*csv, rows) : printLines(rows);
    });
    const SearchOutcome outcome =
        fileTypes ? SearchScan(call.session().catalog(), *fileTypes, state, view).run(request)
                  : SearchScan(call.session().catalog(), state, view).run(request);
    view.done();
    printError(SearchTotalsText(outcome) + QLatin1Char('\n'));
    return outcome.result == SearchOutcome::Result::Completed ? 0 : 1;
}

// The export format of the options; false, with the reason told, for a field
// that does not exist.
bool formatOf(const QCommandLineParser& parser, ExportFormat& format) {
    if (parser.isSet(kFieldsOption)) {
        format.fields.fill(false);
        for (const QString& key : parser.value(kFieldsOption).split(QLatin1Char(','))) {
            int field = 0;
            while (field < kExportFieldCount && ExportFieldKey(ExportField(field)) != key.trimmed())
                ++field;
            if (field == kExportFieldCount) {
                printError(QStringLiteral("There is no field \"%1\".\n").arg(key));
                return false;
            }
            format.fields[size_t(field)] = true;
        }
    }
    format.tabs = parser.isSet(kTabsOption);
    format.quotes = !parser.isSet(kNoQuotesOption);
    format.headers = !parser.isSet(kNoHeadersOption);
    format.forPrint = parser.isSet(kPrintOption);
    return true;
}

int exportVolumes(Invocation& call) {
    ExportRequest request;
    if (!call.parser().isSet(kOutOption))
        return usageError(QStringLiteral("Name the folder to write to with --out."));
    request.folder = QFileInfo(call.parser().value(kOutOption)).absoluteFilePath();
    if (!formatOf(call.parser(), request.format))
        return kUsageError;
    if (!chooseVolumes(call, request.volumes))
        return 1;
    if (!QDir().mkpath(request.folder)) {
        printError(QStringLiteral("The folder %1 can't be made.\n").arg(request.folder));
        return 1;
    }

    const FileTypes fileTypes(IconCacheFolderOf(call.session().programFolder()));
    SearchState state;
    TerminalView view(state);
    const ExportOutcome outcome =
        ExportRun(call.session().catalog(), fileTypes, state, view).run(request);
    view.done();
    for (const QString& file : outcome.files)
        printOut(QStringLiteral("Wrote %1\n").arg(file));
    if (outcome.result == ExportOutcome::Result::Aborted)
        printError(QStringLiteral("The export was stopped.\n"));
    return outcome.result == ExportOutcome::Result::Written ? 0 : 1;
}

} // namespace

std::vector<Command> searchCommands() {
    return {
        {QStringLiteral("search"),
         QStringLiteral("Find files and folders in the catalogued volumes: one line each with "
                        "volume, location, name, size, date and description, TAB-separated; "
                        "the totals on stderr."),
         QString(),
         {kNameOption, kBetweenOption, kEuropeanOption, kDescriptionOption, kAtLeastOption,
          kAtMostOption, kEqualOption, kFilesOption, kFoldersOption, kVolumeOption, kCsvOption,
          kSearchJsonOption},
         0,
         0,
         search,
         {kBetweenOption.names().first()}},
        {QStringLiteral("export"),
         QStringLiteral("Write each volume's folders and files to a file of its own, as "
                        "delimited text."),
         QString(),
         {kOutOption, kVolumeOption, kFieldsOption, kTabsOption, kNoQuotesOption, kNoHeadersOption,
          kPrintOption},
         0,
         0,
         exportVolumes},
    };
}

} // namespace kestro::cli
