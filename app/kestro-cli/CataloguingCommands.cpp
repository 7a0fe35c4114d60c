// catalog, volumes, ls and drives: cataloguing a drive or folder, looking at
// what the catalog holds, and the drive letters.

#include "ChangeLines.h"
#include "CommandGroups.h"
#include "JsonLine.h"
#include "TerminalProgress.h"
#include "catalog/CatalogError.h"
#include "catalog/DisplayRules.h"
#include "catalog/FolderRuns.h"
#include "catalog/HostedNameIndex.h"
#include "catalog/Schema.h"
#include "cataloguing/CatalogRun.h"
#include "platform/DriveTable.h"
#include "platform/IniFile.h"
#include "platform/LinuxDriveSystem.h"
#include "platform/ProgramFolder.h"
#include "platform/VolumeLocator.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QTextStream>
#include <QThread>
#include <cstdio>
#include <unistd.h>

namespace kestro::cli {

namespace {

const QCommandLineOption kNameOption(QStringLiteral("name"),
                                     QStringLiteral("The name of a volume new to the catalog."),
                                     QStringLiteral("TEXT"));
const QCommandLineOption kClearOption(QStringLiteral("clear-descriptions"),
                                      QStringLiteral("Do not keep the descriptions of the "
                                                     "volume's files and folders."));
const QCommandLineOption kEjectOption(QStringLiteral("eject"),
                                      QStringLiteral("Eject the medium when it has been read."));
const QCommandLineOption kChangesOption(
    QStringLiteral("changes"),
    QStringLiteral("After cataloguing a volume again, print what changed since the catalogue "
                   "before, as the changes command does."));
const QCommandLineOption kTimingsOption(
    QStringLiteral("timings"),
    QStringLiteral("Print on standard error, in seconds from the start, when each step of the "
                   "run began and when the run ended."));

// A cataloguing run seen from a terminal: a progress line on stderr,
// messages on stderr, the volume's name from --name or asked on the terminal.
class TerminalRunView : public CatalogRunView {
public:
    TerminalRunView(std::optional<QString> name, bool timings)
        : name_(std::move(name)), timings_(timings) {
        sinceStart_.start();
    }

    void setTitle(const QString&) override {}
    void setStatus(const QString& text) override {
        if (timings_ && text != lastStatus_)
            printTiming(text);
        lastStatus_ = text;
        progress_.setStatus(text);
    }
    void setProgressRange(qint64 maximum) override { progress_.setRange(maximum); }
    void setProgressValue(qint64 value) override { progress_.setValue(value); }
    void yieldEvents(int) override { progress_.tick(); }
    bool abortRequested() const override { return progress_.interrupted(); }
    void setCatalogEnabled(bool) override {}
    void setBusy(bool) override {}
    void setStatusHighlighted(bool) override {}
    void setWaitCursor(bool) override {}
    void showWalkProgress(quint64 folders, quint64 files) override {
        const QLocale c = QLocale::c();
        progress_.setDetail(
            QStringLiteral("%1 folders, %2 files")
                .arg(c.toString(qulonglong(folders)), c.toString(qulonglong(files))));
        progress_.tick();
    }
    void waitForEvents(int milliseconds) override {
        QThread::msleep(ulong(milliseconds));
        progress_.tick();
    }
    void message(const QString& text) override {
        progress_.clear();
        printError(text + QLatin1Char('\n'));
    }
    std::optional<QString> askVolumeName(const QString& prompt, const QString&,
                                         const QString& defaultName) override {
        if (name_)
            return name_;
        progress_.clear();
        if (::isatty(STDIN_FILENO) != 1) {
            printError(QStringLiteral("Give a new volume its name with --name.\n"));
            return std::nullopt;
        }
        printError(QStringLiteral("%1 [%2] ").arg(prompt, defaultName));
        QTextStream in(stdin);
        QString answer;
        if (!in.readLineInto(&answer))
            return std::nullopt;
        answer = answer.trimmed();
        return answer.isEmpty() ? defaultName : answer;
    }
    void refreshViews() override {}
    void runFinished(bool) override {
        progress_.clear();
        if (timings_)
            printTiming(QStringLiteral("end"));
    }
    void clearAbortRequest() override { progress_.clearInterrupt(); }

private:
    void printTiming(const QString& step) {
        progress_.clear();
        printError(QStringLiteral("%1 %2\n")
                       .arg(double(sinceStart_.nsecsElapsed()) / 1e9, 0, 'f', 3)
                       .arg(step));
    }

    std::optional<QString> name_;
    bool timings_;
    QElapsedTimer sinceStart_;
    QString lastStatus_;
    TerminalProgress progress_;
};

// The drive ("d:") the argument names: a drive letter as it is, a folder
// through the letter that stands for it, mapping a letter to it when none
// does yet. Empty, with the reason told, when there is none.
QString driveFor(const QString& argument, DriveTable& drives) {
    static const QRegularExpression driveLetter(QStringLiteral("^[A-Za-z]:?$"));
    if (driveLetter.match(argument).hasMatch())
        return argument.left(1).toLower() + QLatin1Char(':');
    const QFileInfo folder(argument);
    if (!folder.isDir()) {
        printError(QStringLiteral("%1 is neither a drive letter nor a folder.\n").arg(argument));
        return {};
    }
    const QString root = folder.canonicalFilePath();
    const bool mapped = !drives.letterOf(root).isNull();
    QString refusal;
    const QChar letter = drives.mapToFreeLetter(root, refusal);
    if (letter.isNull()) {
        printError(refusal + QLatin1Char('\n'));
        return {};
    }
    if (!mapped)
        printError(QStringLiteral("Mapped %1: to %2\n").arg(letter).arg(root));
    return QString(letter.toLower()) + QLatin1Char(':');
}

// The drives there are now that hold a volume, by the volume's identifier.
std::map<QString, Drive> onlineVolumes(DriveTable& drives) {
    std::map<QString, Drive> online;
    for (HeldVolume& held : VolumeLocator(drives.system()).locate(drives.letters()))
        online.emplace(held.tablename, std::move(held.drive));
    return online;
}

int catalogDrive(Invocation& call) {
    CliSession& session = call.session();
    if (session.options().oNetworkShared == 0) {
        printError(kReadOnlyMessage + QLatin1Char('\n'));
        return 1;
    }
    LinuxDriveSystem system;
    DriveTable drives(IniFile(session.settings().path()), system);
    const QString drive = driveFor(call.positional().at(0), drives);
    if (drive.isEmpty())
        return 1;

    std::optional<QString> name;
    if (call.parser().isSet(kNameOption))
        name = call.parser().value(kNameOption);
    TerminalRunView view(name, call.parser().isSet(kTimingsOption));
    CatalogRun run(session.catalog(), drives, system, session.programFolder(), view);
    const CatalogRunOutcome outcome =
        run.run({drive, call.parser().isSet(kClearOption), call.parser().isSet(kEjectOption)});
    if (outcome.result != CatalogRunOutcome::Result::Catalogued)
        return 1;

    // What the catalog now holds for the volume: its folders below the root
    // row, and its files without the marker.
    const Database db = session.catalog().open();
    auto rowsOf = [&](const QString& table) {
        return std::get<qint64>(db.scalar("SELECT count(*) FROM " + quoteIdentifier(table)));
    };
    const QLocale c = QLocale::c();
    printOut(QStringLiteral("Catalogued %1 as volume %2: %3 folders, %4 files%5\n")
                 .arg(drive.toUpper(), outcome.tablename,
                      c.toString(rowsOf(schema::dirsTable(outcome.tablename)) - 1),
                      c.toString(rowsOf(schema::filesTable(outcome.tablename))),
                      outcome.changes ? QStringLiteral("; ") + ChangeCountsText(*outcome.changes)
                                      : QString()));
    if (call.parser().isSet(kChangesOption) && outcome.changes)
        printChanges(ReadChanges(db, outcome.tablename), false);
    if (const QString leftOut = LeftOutReport(outcome); !leftOut.isEmpty())
        printError(leftOut + QLatin1Char('\n'));
    // A server indexes the names once the run has committed; a script that
    // searches next finds them indexed. The volume is catalogued whether or
    // not the index could be built.
    if (db.isHosted()) {
        try {
            IndexAllHostedNames(db);
        } catch (const CatalogError& e) {
            printError(e.message() + QLatin1Char('\n'));
        }
    }
    return 0;
}

const QCommandLineOption kVolumesJsonOption =
    jsonOption(QStringLiteral("id, name, category, drive_type, folders, files, size_bytes, "
                              "free_bytes, used_bytes, catalogued, catalogued_text, "
                              "description, online_at (the folder where the volume is "
                              "online, empty when it is not), changes_reported and "
                              "changes_reported_text (when it was last catalogued again, null "
                              "and empty before then)"));
const QCommandLineOption kDrivesJsonOption =
    jsonOption(QStringLiteral("letter, folder, kind (\"mount\" or \"folder\"), present (true or "
                              "false), last_seen (null when never seen) and volume (the "
                              "identifier of the volume there, empty when none)"));
const QCommandLineOption kListJsonOption =
    jsonOption(QStringLiteral("name, kind (\"folder\" or \"file\"), kilobytes, size_text, "
                              "modified, modified_text and description"));

std::optional<double> numberOf(const SqlValue& value) {
    bool ok = false;
    const double number = NullToEmpty(value).toDouble(&ok);
    return ok ? std::optional(number) : std::nullopt;
}

// The columns of the TAB lines come first in the query, followed on each line
// by the folder where the volume is online and the date of its last change
// report; the JSON objects add the volume's sizes.
constexpr int kVolumeTabColumns = 8;

int listVolumes(Invocation& call) {
    const Database db = call.session().catalog().open();
    LinuxDriveSystem system;
    DriveTable drives(IniFile(call.session().settings().path()), system);
    const std::map<QString, Drive> online = onlineVolumes(drives);
    Statement volumes = db.prepare("SELECT tablename, name, category, volumetype, dirs, files, "
                                   "thedate, thedescription, size, free, used FROM \"index\" "
                                   "ORDER BY volumetype, name");
    const QHash<QString, QString> reported = LastChangeDates(db);
    const bool json = jsonRequested(call);
    while (volumes.next()) {
        const auto found = online.find(volumes.text(0));
        const QString onlineAt = found == online.end() ? QString() : found->second.root;
        if (json) {
            printOut(JsonLine()
                         .text("id", volumes.text(0))
                         .text("name", NullToEmpty(volumes.value(1)))
                         .number("category", numberOf(volumes.value(2)))
                         .number("drive_type", numberOf(volumes.value(3)))
                         .number("folders", numberOf(volumes.value(4)))
                         .number("files", numberOf(volumes.value(5)))
                         .number("size_bytes", numberOf(volumes.value(8)))
                         .number("free_bytes", numberOf(volumes.value(9)))
                         .number("used_bytes", numberOf(volumes.value(10)))
                         .dateText("catalogued", NullToEmpty(volumes.value(6)))
                         .text("description", NullToEmpty(volumes.value(7)))
                         .text("online_at", onlineAt)
                         .dateText("changes_reported", reported.value(volumes.text(0)))
                         .line());
            continue;
        }
        QStringList fields;
        for (int col = 0; col < kVolumeTabColumns; ++col)
            fields << outputField(NullToEmpty(volumes.value(col)).trimmed());
        fields << outputField(onlineAt) << outputField(reported.value(volumes.text(0)));
        printOut(fields.join(QLatin1Char('\t')) + QLatin1Char('\n'));
    }
    return 0;
}

int listFolder(Invocation& call) {
    const Database db = call.session().catalog().open();
    const QString volume = call.positional().at(0);
    const auto tablename = findVolume(db, volume);
    if (!tablename) {
        printError(QStringLiteral("The catalog has no volume \"%1\".\n").arg(volume));
        return 1;
    }
    const QString dirsName = schema::dirsTable(*tablename);
    const std::string dirs = quoteIdentifier(dirsName);
    const std::string files = quoteIdentifier(schema::filesTable(*tablename));
    const QString rootName =
        NullToEmpty(db.scalar("SELECT name FROM " + dirs + " WHERE parent IS NULL LIMIT 1"));

    // "GAMES/DOOM", "\GAMES\DOOM" and "F:\GAMES\DOOM" all name the same folder,
    // whichever letter the volume had when it was catalogued.
    static const QRegularExpression drivePrefix(QStringLiteral("^[A-Za-z]:"));
    QString path = call.positional().value(1);
    path.replace(QLatin1Char('/'), QLatin1Char('\\'));
    path.remove(drivePrefix);
    while (path.startsWith(QLatin1Char('\\')))
        path.remove(0, 1);
    while (path.endsWith(QLatin1Char('\\')))
        path.chop(1);
    const QString parent = path.isEmpty() ? rootName : rootName + QLatin1Char('\\') + path;

    if (!path.isEmpty() && isNull(db.scalar("SELECT 1 FROM " + dirs +
                                                " WHERE parent || '\\' || "
                                                "name = ?1",
                                            parent))) {
        printError(QStringLiteral("The volume has no folder \"%1\".\n").arg(parent));
        return 1;
    }
    for (const auto& [tableName, suffix] :
         {std::pair{dirsName, "\\"}, std::pair{schema::filesTable(*tablename), ""}}) {
        const std::string table = quoteIdentifier(tableName);
        const FolderRows folder(db, tableName);
        Statement rows = db.prepare("SELECT name, size, thedate, thedescription FROM " + table +
                                    " WHERE " + folder.condition(1) + " ORDER BY name");
        folder.bind(rows, 1, parent);
        while (rows.next()) {
            if (jsonRequested(call)) {
                printOut(JsonLine()
                             .text("name", rows.text(0))
                             .kind(table == dirs)
                             .sizeText(rows.text(1))
                             .dateText("modified", rows.text(2))
                             .text("description", rows.text(3))
                             .line());
                continue;
            }
            printOut(QStringList{outputField(rows.text(0) + QLatin1String(suffix)),
                                 rows.text(1).trimmed(), outputField(rows.text(2)),
                                 outputField(rows.text(3))}
                         .join(QLatin1Char('\t')) +
                     QLatin1Char('\n'));
        }
    }
    return 0;
}

const QCommandLineOption kMapOption(QStringLiteral("map"),
                                    QStringLiteral("Make the drive letter stand for the folder."),
                                    QStringLiteral("LETTER FOLDER"));
const QCommandLineOption kForgetOption(QStringLiteral("forget"),
                                       QStringLiteral("Forget what the drive letter stands for."),
                                       QStringLiteral("LETTER"));

// The letter a "d", "d:" or "D:" argument names; a null QChar for anything else.
QChar letterArgument(const QString& argument) {
    static const QRegularExpression driveLetter(QStringLiteral("^[A-Za-z]:?$"));
    return driveLetter.match(argument).hasMatch() ? argument[0].toUpper() : QChar();
}

// --map and --forget: 0 when done, else the exit status, with the reason told.
int changeDrives(const QCommandLineParser& parser, DriveTable& drives,
                 const QString& settingsPath) {
    if (parser.isSet(kMapOption)) {
        const QStringList values = parser.values(kMapOption);
        const QChar letter = letterArgument(values.value(0));
        if (values.size() != 2 || letter.isNull()) {
            printError(QStringLiteral("--map takes a drive letter and a folder.\n"));
            return kUsageError;
        }
        const QFileInfo folder(values[1]);
        const QString path = folder.isDir() ? folder.canonicalFilePath() : values[1];
        if (const QString refusal = drives.mapFolder(letter, path); !refusal.isEmpty()) {
            printError(refusal + QLatin1Char('\n'));
            return 1;
        }
    }
    if (parser.isSet(kForgetOption)) {
        const QChar letter = letterArgument(parser.value(kForgetOption));
        if (letter.isNull() || letter == QLatin1Char('C')) {
            printError(QStringLiteral("--forget takes a drive letter other than C:.\n"));
            return kUsageError;
        }
        if (!drives.unmap(letter)) {
            printError(
                QStringLiteral("The settings file %1 can't be written.\n").arg(settingsPath));
            return 1;
        }
    }
    return 0;
}

int listDrives(Invocation& call) {
    const QString settingsPath = call.session().settings().path();
    LinuxDriveSystem system;
    DriveTable drives(IniFile(settingsPath), system);
    if (const int status = changeDrives(call.parser(), drives, settingsPath); status != 0)
        return status;
    const std::map<QString, Drive> online = onlineVolumes(drives);
    std::map<QChar, QString> held; // letter -> identifier of the volume there
    for (const auto& [tablename, drive] : online)
        held.emplace(drive.letter, tablename);
    for (const DriveLetter& letter : drives.rememberedLetters()) {
        const QString kind =
            letter.mappedFolder ? QStringLiteral("folder") : QStringLiteral("mount");
        const QString volume = held.count(letter.letter) ? held[letter.letter] : QString();
        if (jsonRequested(call)) {
            printOut(JsonLine()
                         .text("letter", letter.letter + QStringLiteral(":"))
                         .text("folder", letter.folder)
                         .text("kind", kind)
                         .flag("present", letter.present)
                         .moment("last_seen", letter.lastSeen)
                         .text("volume", volume)
                         .line());
            continue;
        }
        const QString seen =
            letter.lastSeen.isValid()
                ? letter.lastSeen.toLocalTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"))
                : QString();
        printOut(QStringList{letter.letter + QStringLiteral(":"), outputField(letter.folder), kind,
                             letter.present ? QStringLiteral("present") : QStringLiteral("absent"),
                             seen, volume}
                     .join(QLatin1Char('\t')) +
                 QLatin1Char('\n'));
    }
    for (const UnlistedMount& mount : drives.unlisted())
        printError(QStringLiteral("No letter for %1: %2.\n")
                       .arg(outputField(mount.mountPoint), mount.reason));
    return 0;
}

} // namespace

std::vector<Command> cataloguingCommands() {
    return {
        {QStringLiteral("catalog"),
         QStringLiteral("Catalog the volume in a drive (\"d:\"), or a folder through a drive "
                        "letter mapped to it."),
         QStringLiteral("DRIVE-OR-FOLDER"),
         {kNameOption, kClearOption, kEjectOption, kChangesOption, kTimingsOption},
         1,
         1,
         catalogDrive,
         {},
         {Completion::Folder}},
        {QStringLiteral("volumes"),
         QStringLiteral("List the catalog's volumes: identifier, name, category, drive type, "
                        "folders, files, date catalogued, description, the folder where the "
                        "volume is online (empty when it is not), and when it was last "
                        "catalogued again (empty before then; see changes), TAB-separated."),
         QString(),
         {kVolumesJsonOption},
         0,
         0,
         listVolumes},
        {QStringLiteral("ls"),
         QStringLiteral("List a folder of a volume (the root when PATH is left out): name (folders "
                        "end in \\), size, date and description, TAB-separated."),
         QStringLiteral("VOLUME [PATH]"),
         {kListJsonOption},
         1,
         2,
         listFolder,
         {},
         {Completion::Volume}},
        {QStringLiteral("drives"),
         QStringLiteral("List the drive letters: letter, folder, kind (mount or folder), present "
                        "or absent, when last seen, and the identifier of the volume there, "
                        "TAB-separated."),
         QString(),
         {kMapOption, kForgetOption, kDrivesJsonOption},
         0,
         0,
         listDrives,
         {QStringLiteral("map")}},
    };
}

} // namespace kestro::cli
