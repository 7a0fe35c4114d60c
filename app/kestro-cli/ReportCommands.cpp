// changes: what a volume's last re-catalog found changed.

#include "ChangeLines.h"
#include "CommandGroups.h"
#include "JsonLine.h"
#include "catalog/DisplayRules.h"
#include "cataloguing/ChangesCsv.h"

namespace kestro::cli {

const QString kChangesJsonFields =
    QStringLiteral("change (\"added\", \"removed\" or \"changed\"), kind (\"folder\" or "
                   "\"file\"), location, name, old_kilobytes, old_size_text, new_kilobytes, "
                   "new_size_text, old_modified, old_modified_text, new_modified and "
                   "new_modified_text");

void printChanges(const std::vector<ChangeItem>& items, bool json) {
    for (const ChangeItem& item : items) {
        if (json) {
            const QString change = item.kind == QLatin1Char('+')   ? QStringLiteral("added")
                                   : item.kind == QLatin1Char('-') ? QStringLiteral("removed")
                                                                   : QStringLiteral("changed");
            printOut(JsonLine()
                         .text("change", change)
                         .kind(item.folder)
                         .text("location", item.location)
                         .text("name", item.name)
                         .sizeText(item.oldSize, "old_")
                         .sizeText(item.newSize, "new_")
                         .dateText("old_modified", item.oldDate)
                         .dateText("new_modified", item.newDate)
                         .line());
            continue;
        }
        QStringList fields = ChangeColumnTexts(item);
        for (QString& field : fields)
            field = outputField(field);
        printOut(fields.join(QLatin1Char('\t')) + QLatin1Char('\n'));
    }
}

namespace {

int showChanges(Invocation& call) {
    const Database db = call.session().catalog().open();
    const QString volume = call.positional().at(0);
    const std::optional<QString> tablename = findVolume(db, volume);
    if (!tablename) {
        printError(QStringLiteral("The catalog has no volume \"%1\".\n").arg(volume));
        return 1;
    }
    const std::optional<ChangeRun> run = LastChangeRun(db, *tablename);
    if (!run) {
        printError(QStringLiteral("The volume \"%1\" has not been catalogued again since it was "
                                  "added: it has no change report.\n")
                       .arg(volume));
        return 0;
    }
    printError(
        QStringLiteral("Catalogued again on %1: %2\n").arg(run->date, ChangeCountsText(*run)));
    printChanges(ReadChanges(db, *tablename), jsonRequested(call));
    return 0;
}

} // namespace

std::vector<Command> reportCommands() {
    return {
        {QStringLiteral("changes"),
         QStringLiteral("Show what the volume's last re-catalog found changed since the "
                        "catalogue before: +, - or ~ (added, removed, changed), location, name "
                        "(folders end in \\), old size, new size, old date and new date, "
                        "TAB-separated. The date and counts of the report go to stderr."),
         QStringLiteral("VOLUME"),
         {jsonOption(kChangesJsonFields)},
         1,
         1,
         showChanges,
         {},
         {Completion::Volume}},
    };
}

} // namespace kestro::cli
