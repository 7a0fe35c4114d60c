// duplicates: the files held more than once across the catalogued volumes,
// and the files of a volume held nowhere else.

#include "CommandGroups.h"
#include "JsonLine.h"
#include "catalog/DisplayRules.h"
#include "search/DuplicateFiles.h"
#include "search/SearchInputs.h"

namespace kestro::cli {

namespace {

const QCommandLineOption kNameOption(QStringLiteral("name"),
                                     QStringLiteral("Only files whose names match the pattern "
                                                    "(\"report\", \"*.doc\", \"rep*\")."),
                                     QStringLiteral("PATTERN"));
const QCommandLineOption kAtLeastOption(QStringLiteral("size-at-least"),
                                        QStringLiteral("Only files of at least KB kilobytes."),
                                        QStringLiteral("KB"));
const QCommandLineOption kWithDateOption(QStringLiteral("with-date"),
                                         QStringLiteral("Copies must have equal dates too."));
const QCommandLineOption
    kOnlyOnOption(QStringLiteral("only-on"),
                  QStringLiteral("Single copies instead: the files of this volume that no other "
                                 "volume of the catalog holds, one line each with volume, "
                                 "location, name, size and date. May be given more than once: "
                                 "the files none of the other volumes holds."),
                  QStringLiteral("VOLUME"));
const QCommandLineOption kDuplicatesJsonOption =
    jsonOption(QStringLiteral("group, copies and total_kilobytes (duplicates only), volume, "
                              "location, name, kilobytes, size_text, modified and "
                              "modified_text"));

// A file's fields as a TAB line ends them: volume, location, name, size, date.
QStringList fileFields(const SearchResult& file) {
    return {outputField(file.volume), outputField(file.location), outputField(file.name),
            file.size.trimmed(), outputField(file.modified)};
}

JsonLine& addFile(JsonLine& line, const SearchResult& file) {
    return line.text("volume", file.volume)
        .text("location", file.location)
        .text("name", file.name)
        .sizeText(file.size)
        .dateText("modified", file.date);
}

// Printed in pieces of about this many characters: a few writes for a
// million lines, and lines on the way while the rest are made.
constexpr qsizetype kCharactersPrintedAtOnce = 1 << 16;

void printGroups(const std::vector<DuplicateGroup>& groups, bool json) {
    int number = 0;
    QString text;
    for (const DuplicateGroup& group : groups) {
        ++number;
        for (const SearchResult& file : group.files) {
            if (json) {
                JsonLine line;
                line.number("group", number)
                    .number("copies", double(group.count()))
                    .number("total_kilobytes", group.totalKilobytes
                                                   ? std::optional<double>(*group.totalKilobytes)
                                                   : std::nullopt);
                text += addFile(line, file).line();
            } else {
                text += (QStringList{QString::number(number), QString::number(group.count()),
                                     group.totalSizeText()} +
                         fileFields(file))
                            .join(QLatin1Char('\t')) +
                        QLatin1Char('\n');
            }
        }
        if (text.size() >= kCharactersPrintedAtOnce)
            printOut(std::exchange(text, {}));
    }
    printOut(text);
}

void printSingles(const std::vector<SearchResult>& files, bool json) {
    QString text;
    for (const SearchResult& file : files) {
        JsonLine line;
        text += json ? addFile(line, file).line()
                     : fileFields(file).join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    printOut(text);
}

int duplicates(Invocation& call) {
    const QCommandLineParser& parser = call.parser();
    DuplicateCriteria criteria;
    criteria.named = parser.value(kNameOption);
    criteria.atLeastKilobytes = parser.value(kAtLeastOption);
    if (parser.isSet(kAtLeastOption) && !ReadSearchKilobytes(criteria.atLeastKilobytes)) {
        printError(QStringLiteral("\"%1\" is not a number of kilobytes.\n")
                       .arg(criteria.atLeastKilobytes));
        return kUsageError;
    }
    criteria.sameDate = parser.isSet(kWithDateOption);
    criteria.europeanDates = call.session().options().oDateFormat != 0;
    const bool singles = parser.isSet(kOnlyOnOption);
    if (singles && parser.isSet(volumeOption())) {
        printError(QStringLiteral("Give --volume or --only-on, not both.\n"));
        return kUsageError;
    }

    const Database db = call.session().catalog().open();
    VolumeSelection selection;
    if (singles) {
        QStringList unknown;
        selection.allVolumes = false;
        selection.chosen = VolumesNamed(db, parser.values(kOnlyOnOption), unknown);
        for (const QString& name : unknown)
            printError(QStringLiteral("The catalog has no volume \"%1\".\n").arg(name));
        if (!unknown.isEmpty())
            return 1;
    } else if (!chooseVolumes(call, selection)) {
        return 1;
    }
    criteria.volumes = selection.resolve(db);

    if (singles) {
        const std::vector<SearchResult> files = FindSingleCopies(db, criteria);
        printSingles(files, jsonRequested(call));
        printError(
            QStringLiteral("%1 single copies\n").arg(CountText(qint64(files.size())).trimmed()));
        return 0;
    }
    const std::vector<DuplicateGroup> groups = FindDuplicates(db, criteria);
    printGroups(groups, jsonRequested(call));
    qint64 files = 0;
    for (const DuplicateGroup& group : groups)
        files += group.count();
    printError(QStringLiteral("%1 groups of duplicates, %2 files\n")
                   .arg(CountText(qint64(groups.size())).trimmed(), CountText(files).trimmed()));
    return 0;
}

} // namespace

std::vector<Command> duplicatesCommands() {
    return {
        {QStringLiteral("duplicates"),
         QStringLiteral("Find the files held more than once, on two or more volumes or on one: "
                        "files whose names (letter case included) and sizes are equal. One "
                        "line per file, TAB-separated: group number, copies in the group, total "
                        "size of the group, volume, location, name, size and date; the largest "
                        "groups first. The counts on stderr."),
         QString(),
         {volumeOption(), kAtLeastOption, kNameOption, kWithDateOption, kOnlyOnOption,
          kDuplicatesJsonOption},
         0,
         0,
         duplicates},
    };
}

} // namespace kestro::cli
