// new, copy, info, compact and sweep: the catalog as a whole.

#include "CommandGroups.h"
#include "catalog/CatalogCopy.h"
#include "catalog/CatalogFile.h"
#include "catalog/ConsistencySweep.h"
#include "catalog/DisplayRules.h"
#include "catalog/HostedCatalog.h"
#include "catalog/HostedNameIndex.h"
#include "platform/CatalogLocation.h"
#include "platform/ProgramFolder.h"

#include <QFileInfo>

namespace kestro::cli {

namespace {

// Commands that write the catalog do nothing in read-only mode.
bool refusedInReadOnlyMode(Invocation& call) {
    if (call.session().options().oNetworkShared != 0)
        return false;
    printError(kReadOnlyMessage + QLatin1Char('\n'));
    return true;
}

// Says so when a hosted catalog was made on a server that cannot index its
// names.
void noteMissingNameIndex(const QString& location) {
    if (!CanIndexHostedNames(Database::open(location, OpenMode::SharedReadWrite)))
        printOut(NoHostedNameIndexNote(location) + QLatin1Char('\n'));
}

int newCatalog(Invocation& call) {
    if (refusedInReadOnlyMode(call))
        return 1;
    const QString location = call.positional().at(0);
    if (isHostedLocation(location)) {
        createHostedCatalog(location);
        printOut(QStringLiteral("Created the catalog %1\n").arg(locationForDisplay(location)));
        noteMissingNameIndex(location);
        return 0;
    }
    const QString target = QFileInfo(location).absoluteFilePath();
    createCatalogFromTemplate(ProgramFolder::file(call.session().programFolder(),
                                                  QLatin1String(ProgramFolder::kTemplateName)),
                              target);
    printOut(QStringLiteral("Created the catalog %1\n").arg(target));
    return 0;
}

const QCommandLineOption kFromOption(QStringLiteral("from"),
                                     QStringLiteral("The catalog to copy: a file or a URI."),
                                     QStringLiteral("PATH|URI"));
const QCommandLineOption kToOption(QStringLiteral("to"),
                                   QStringLiteral("The new catalog: a file that does not exist "
                                                  "yet, or a URI of an empty database."),
                                   QStringLiteral("PATH|URI"));

// A file path made absolute; a URI as it is.
QString locationArgument(const QString& argument) {
    return isHostedLocation(argument) ? argument : QFileInfo(argument).absoluteFilePath();
}

int copy(Invocation& call) {
    if (!call.parser().isSet(kFromOption) || !call.parser().isSet(kToOption)) {
        printError(QStringLiteral("Give the catalog to copy with --from and the new one with "
                                  "--to.\n"));
        return 2;
    }
    if (refusedInReadOnlyMode(call))
        return 1;
    const Catalog source(locationArgument(call.parser().value(kFromOption)),
                         call.session().catalog().mode());
    const QString target = locationArgument(call.parser().value(kToOption));
    copyCatalog(source, target,
                ProgramFolder::file(call.session().programFolder(),
                                    QLatin1String(ProgramFolder::kTemplateName)));
    printOut(QStringLiteral("Copied the catalog %1 to %2\n")
                 .arg(locationForDisplay(source.path()), locationForDisplay(target)));
    if (isHostedLocation(target))
        noteMissingNameIndex(target);
    return 0;
}

int info(Invocation& call) {
    const Catalog& catalog = call.session().catalog();
    const Database db = catalog.open();
    QString text = QStringLiteral("Catalog: %1%2\n")
                       .arg(locationForDisplay(catalog.path()),
                            catalog.isReadOnly() ? QStringLiteral(" (read-only)") : QString());
    text += QStringLiteral("Name: %1\n").arg(NullToEmpty(db.scalar("SELECT name FROM Name")));

    Statement categories = db.prepare("SELECT \"key\", category FROM categories ORDER BY \"key\"");
    QStringList categoryLines;
    while (categories.next())
        categoryLines
            << QStringLiteral("  %1  %2").arg(categories.integer(0)).arg(categories.text(1));
    text += QStringLiteral("Categories: %1\n").arg(categoryLines.size());
    for (const QString& line : categoryLines)
        text += line + QLatin1Char('\n');

    Statement volumes = db.prepare("SELECT tablename, name, category, dirs, files, thedate "
                                   "FROM \"index\" ORDER BY volumetype, name");
    QStringList volumeLines;
    while (volumes.next())
        volumeLines << QStringLiteral("  %1  %2  category %3  %4 folders  %5 files  cataloged %6")
                           .arg(volumes.text(0), volumes.text(1),
                                NullToEmpty(volumes.value(2)).isEmpty()
                                    ? QStringLiteral("0")
                                    : NullToEmpty(volumes.value(2)),
                                CountText(volumes.value(3)).trimmed(),
                                CountText(volumes.value(4)).trimmed(), volumes.text(5));
    text += QStringLiteral("Volumes: %1\n").arg(volumeLines.size());
    for (const QString& line : volumeLines)
        text += line + QLatin1Char('\n');
    printOut(text);
    return 0;
}

int compact(Invocation& call) {
    if (refusedInReadOnlyMode(call))
        return 1;
    const QString path = call.session().catalog().path();
    const qint64 before = QFileInfo(path).size();
    compactCatalog(call.session().catalog());
    printOut(QStringLiteral("Compacted %1 from %2 to %3 bytes\n")
                 .arg(path)
                 .arg(before)
                 .arg(QFileInfo(path).size()));
    return 0;
}

int sweep(Invocation& call) {
    if (refusedInReadOnlyMode(call))
        return 1;
    const SweepReport report = sweepCatalog(call.session().catalog().open());
    for (const QString& table : report.droppedTables)
        printOut(QStringLiteral("Dropped the table %1, which belonged to no volume\n").arg(table));
    for (const QString& volume : report.removedVolumes)
        printOut(QStringLiteral("Removed the volume %1, whose folder table was missing or empty\n")
                     .arg(volume));
    if (report.droppedTables.isEmpty() && report.removedVolumes.isEmpty())
        printOut(QStringLiteral("The catalog is consistent; nothing was removed\n"));
    return 0;
}

} // namespace

std::vector<Command> catalogFileCommands() {
    return {
        {QStringLiteral("new"),
         QStringLiteral("Create a new, empty catalog file, or a hosted catalog in the empty "
                        "database a postgresql:// URI names."),
         QStringLiteral("PATH|URI"),
         {},
         1,
         1,
         newCatalog,
         {},
         {Completion::File}},
        {QStringLiteral("copy"),
         QStringLiteral("Copy a whole catalog to a new file or an empty database, in one "
                        "transaction."),
         QString(),
         {kFromOption, kToOption},
         0,
         0,
         copy},
        {QStringLiteral("info"),
         QStringLiteral("Show the catalog's name, categories and volumes."),
         QString(),
         {},
         0,
         0,
         info},
        {QStringLiteral("compact"),
         QStringLiteral("Sweep the catalog and rebuild its file to give back unused space."),
         QString(),
         {},
         0,
         0,
         compact},
        {QStringLiteral("sweep"),
         QStringLiteral("Remove volume tables without a volume and volumes without tables."),
         QString(),
         {},
         0,
         0,
         sweep},
    };
}

} // namespace kestro::cli
