// Build-time tool: writes the manual pages of the two programs from the texts
// their --help prints (kestro-cli's command table, the desktop program's
// command line), so that page and help never disagree.
//
//   make-manual-pages FOLDER VERSION DATE
//
// writes FOLDER/kestro.1 and FOLDER/kestro-cli.1.

#include "DesktopCommandLine.h"
#include "HelpTexts.h"
#include "ManualPage.h"

#include <QFile>
#include <cstdio>

using namespace kestro;
using kestro::manual::ManualPage;

namespace {

// What both programs keep where, told in the FILES and ENVIRONMENT sections.
void describeFiles(ManualPage& page) {
    page.section(QStringLiteral("FILES"));
    page.tagged(QStringLiteral("~/.local/share/kestro/"),
                QStringLiteral(
                    "The program folder of an installed Kestro Pro ($XDG_DATA_HOME/kestro when "
                    "XDG_DATA_HOME is set). The first start makes it and fills it from "
                    "share/kestro beside the program's bin folder (/usr/share/kestro for the "
                    "package): the catalog template new.kst, the help kestro2.html, the sound "
                    "cues and default.mdb. Files already there are never replaced. A folder "
                    "beside the program itself that holds new.kst and can be written, as a build "
                    "tree's bin folder does, is a portable program folder and is used instead."));
    page.tagged(QStringLiteral("Kestro.ini"),
                QStringLiteral("The settings file, in the program folder: the current catalog, "
                               "the options, the window layout and the drive letters given to "
                               "mount points and folders."));
    page.tagged(QStringLiteral("default.mdb"),
                QStringLiteral("The catalog a first start opens, in the program folder; empty "
                               "to begin with."));
    page.tagged(QStringLiteral("*.mdb"),
                QStringLiteral("Catalog files: each is one SQLite database, made from new.kst. "
                               "The name is free; .mdb is the one the file dialogs offer."));
    page.tagged(QStringLiteral("Kestro.cat"),
                QStringLiteral("The marker file written to the root folder of every catalogued "
                               "volume except CDs and DVDs, which are known by their serial "
                               "number."));
    page.tagged(QStringLiteral("dirs.txt, files.txt, resources/"),
                QStringLiteral("The listings of a cataloguing run while it lasts, and the cache "
                               "of file-type icons, in the program folder."));
    page.section(QStringLiteral("ENVIRONMENT"));
    page.tagged(QStringLiteral("XDG_DATA_HOME"),
                QStringLiteral("Where an installed Kestro Pro keeps its program folder, "
                               "kestro under it; ~/.local/share when it is not set."));
}

QByteArray desktopPage(const QString& version, const QString& date) {
    const DesktopCommandLine commandLine;
    ManualPage page(QStringLiteral("kestro"), 1, date, version,
                    QStringLiteral("catalog removable media and drives, and browse and search "
                                   "them while they are offline"));
    page.section(QStringLiteral("SYNOPSIS"));
    page.raw(ManualPage::bold(QStringLiteral("kestro")) + QStringLiteral(" [") +
             ManualPage::italic(QStringLiteral("OPTIONS")) + QStringLiteral("]"));
    page.section(QStringLiteral("DESCRIPTION"));
    page.paragraph(commandLine.description);
    page.paragraph(QStringLiteral(
        "Put a medium in a drive and catalog it: Kestro Pro recognises the volume, by its serial "
        "number or by a small marker file it writes to the volume's root, and records every "
        "folder and file in a catalog file. Later, with the media offline, browse the volumes, "
        "group them into categories, describe volumes, folders and files, search every volume by "
        "name, date, size and description, export volumes or search results as delimited text, "
        "and open a catalogued file once its medium is back. Any folder can be catalogued too, "
        "through a drive letter mapped to it."));
    page.section(QStringLiteral("OPTIONS"));
    for (const QCommandLineOption& option : commandLine.options())
        page.option(option);
    page.paragraph(QStringLiteral("Kestro Pro also takes the options of every Qt program, such "
                                  "as -platform, -display and -style."));
    describeFiles(page);
    page.tagged(QStringLiteral("QT_QPA_PLATFORM"),
                QStringLiteral("offscreen lets the program start without a display, as "
                               "--quit-after-start does to check an installation."));
    page.section(QStringLiteral("SEE ALSO"));
    page.raw(ManualPage::bold(QStringLiteral("kestro-cli")) + QStringLiteral("(1)"));
    return page.text();
}

QByteArray commandLinePage(const QString& version, const QString& date) {
    using namespace kestro::cli;
    ManualPage page(QStringLiteral("kestro-cli"), 1, date, version,
                    QStringLiteral("catalog, list, search and export Kestro Pro catalogs "
                                   "without a display"));
    page.section(QStringLiteral("SYNOPSIS"));
    page.raw(ManualPage::bold(QStringLiteral("kestro-cli")) + QLatin1Char(' ') +
             ManualPage::italic(QStringLiteral("COMMAND")) + QStringLiteral(" [") +
             ManualPage::italic(QStringLiteral("OPTIONS")) + QStringLiteral("] [") +
             ManualPage::italic(QStringLiteral("ARGUMENTS")) + QStringLiteral("]"));
    page.section(QStringLiteral("DESCRIPTION"));
    page.paragraph(QStringLiteral(
        "kestro-cli does the catalog work of kestro(1) without a display: it catalogs a drive or "
        "a folder, lists volumes and folders, searches, exports, compacts and sweeps a catalog. "
        "Results go to standard output, progress and messages to standard error."));
    page.paragraph(commonOptionsNote());

    page.section(QStringLiteral("COMMANDS"));
    for (const Command& command : commandTable()) {
        page.subsection(QStringLiteral("%1 [options] %2").arg(command.name, command.syntax));
        page.paragraph(command.summary);
        for (const QCommandLineOption& option : command.options)
            page.option(option);
    }
    page.section(QStringLiteral("OPTIONS"));
    page.paragraph(QStringLiteral("Every command takes these options."));
    for (const QCommandLineOption& option : commonOptions())
        page.option(option);

    page.section(QStringLiteral("EXIT STATUS"));
    for (const ExitStatus& status : exitStatuses())
        page.tagged(QString::number(status.code), status.meaning);
    describeFiles(page);
    page.section(QStringLiteral("SEE ALSO"));
    page.raw(ManualPage::bold(QStringLiteral("kestro")) + QStringLiteral("(1)"));
    return page.text();
}

bool write(const QString& path, const QByteArray& text) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size())
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s FOLDER VERSION DATE\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QString version = QStringLiteral("Kestro Pro ") + QString::fromLatin1(argv[2]);
    const QString date = QString::fromLatin1(argv[3]);
    return write(folder + QStringLiteral("/kestro.1"), desktopPage(version, date)) &&
                   write(folder + QStringLiteral("/kestro-cli.1"), commandLinePage(version, date))
               ? 0
               : 1;
}
