// Times the main window over a large catalog: 200 volumes and 2,000,000
// files, one folder of them holding 100,000. It prints how long the window
// takes to be drawn with the catalog's tree after the catalog is opened, to
// list the big folder once it is selected, and to sort it by a column, and
// the query plans of every statement that selecting the folder ran.
//
//   bench_browser [FOLDER]
//
// The catalog is made synthetically (rows written through the catalog API,
// with the stored size and date texts and the folder runs the cataloguing
// run writes) in FOLDER, a program folder kept for the next run; without one
// a temporary folder is used.

#include "browser/gui/CatalogTree.h"
#include "browser/gui/ContentsList.h"
#include "browser/gui/Form1.h"
#include "catalog/Catalog.h"
#include "catalog/CatalogFile.h"
#include "catalog/FolderRuns.h"
#include "catalog/NodeKey.h"
#include "catalog/Schema.h"
#include "catalog/StoredTexts.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolder.h"
#include "platform/gui/IconTheme.h"
#include "settings/gui/DesktopServices.h"
#include "support/StatementLog.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

using namespace kestro;

namespace {

constexpr int kVolumes = 200;
constexpr int kFilesInAll = 2'000'000;
constexpr int kFilesInBigFolder = 100'000;
constexpr int kFoldersPerVolume = 120; // 20 at the top, 5 inside each
const QString kBigFolder = QStringLiteral("BIG");
const QString kFirstTablename = QStringLiteral("50000000");

const char* const kExtensions[] = {".txt", ".jpg", ".JPG", ".mp3", ".doc", ".c",
                                   ".h",   ".zip", ".pdf", ".exe", "",     ".tar.gz"};

// The rows of one volume: a root row, 120 folders with `files` files spread
// over them, and with `bigFolderFiles` the folder BIG holding that many more.
void writeVolume(const Database& db, const QString& tablename, int files, int bigFolderFiles,
                 QRandomGenerator& random) {
    const QString dirs = schema::dirsTable(tablename);
    const QString fileTable = schema::filesTable(tablename);
    db.executeScript("CREATE TABLE " + quoteIdentifier(dirs) +
                     " AS SELECT * FROM template_dirs WHERE 0;"
                     "CREATE TABLE " +
                     quoteIdentifier(fileTable) + " AS SELECT * FROM template_files WHERE 0;");
    Statement addFolder = db.prepare("INSERT INTO " + quoteIdentifier(dirs) +
                                     " (name, parent, size, thedate) VALUES (?, ?, ?, ?)");
    Statement addFile = db.prepare("INSERT INTO " + quoteIdentifier(fileTable) +
                                   " (name, parent, size, thedate) VALUES (?, ?, ?, ?)");
    const auto date = [&random] {
        return DateText(QDateTime::fromSecsSinceEpoch(631152000 + random.bounded(1136073599)));
    };
    db.execute("INSERT INTO " + quoteIdentifier(dirs) + " (name, size) VALUES ('D:', ?)",
               SizeText(double(files + bigFolderFiles) * 40000));
    QStringList folders;
    for (int top = 0; top < 20; ++top) {
        const QString name = QStringLiteral("Folder %1").arg(top, 2, 10, QLatin1Char('0'));
        const QString path = QStringLiteral("D:\\") + name;
        folders << path;
        addFolder.bindAll(name, QStringLiteral("D:"), SizeText(1e6), date()).run();
        addFolder.reset();
        for (int inner = 0; inner < (kFoldersPerVolume - 20) / 20; ++inner) {
            const QString innerName = QStringLiteral("Part %1").arg(inner);
            folders << path + QLatin1Char('\\') + innerName;
            addFolder.bindAll(innerName, path, SizeText(1e5), date()).run();
            addFolder.reset();
        }
    }
    if (bigFolderFiles > 0) {
        addFolder.bindAll(kBigFolder, QStringLiteral("D:"), SizeText(4e9), date()).run();
        addFolder.reset();
    }
    // A cataloguing run writes the files of each folder together.
    std::vector<std::pair<int, int>> folderOfFile; // folder, file number
    for (int i = bigFolderFiles; i < files + bigFolderFiles; ++i)
        folderOfFile.emplace_back(random.bounded(int(folders.size())), i);
    std::sort(folderOfFile.begin(), folderOfFile.end());
    for (int i = 0; i < bigFolderFiles; ++i)
        folderOfFile.emplace(folderOfFile.begin() + i, -1, i);
    for (const auto& [folder, i] : folderOfFile) {
        const QString parent = folder < 0 ? QStringLiteral("D:\\") + kBigFolder : folders[folder];
        const QString name = QStringLiteral("file %1%2")
                                 .arg(i, 6, 10, QLatin1Char('0'))
                                 .arg(QLatin1String(kExtensions[random.bounded(12)]));
        addFile.bindAll(name, parent, SizeText(random.bounded(1 << 24)), date()).run();
        addFile.reset();
    }
    db.execute("INSERT INTO \"index\" (tablename, name, thedate, size, free, used, volumetype, "
               "dirs, files) VALUES (?, ?, ?, 4e9, 1e9, 3e9, ?, ?, ?)",
               tablename, QStringLiteral("VOLUME %1").arg(tablename),
               CatalogMomentText(QDateTime::currentDateTime()), qint64(2 + random.bounded(5)),
               qint64(kFoldersPerVolume), qint64(files + bigFolderFiles));
}

void makeCatalog(const QString& templatePath, const QString& path) {
    QElapsedTimer clock;
    clock.start();
    createCatalogFromTemplate(templatePath, path);
    const Database db = Catalog(path, OpenMode::SharedReadWrite).open();
    Database::Transaction transaction(db);
    QRandomGenerator random(1);
    const int filesElsewhere = (kFilesInAll - kFilesInBigFolder) / kVolumes;
    for (int v = 0; v < kVolumes; ++v)
        writeVolume(db, QString::number(kFirstTablename.toLongLong() + v), filesElsewhere,
                    v == 0 ? kFilesInBigFolder : 0, random);
    WriteAllFolderRuns(db);
    transaction.commit();
    std::printf("catalog made: %d volumes, %d files, %.1f s, %lld MB\n", kVolumes, kFilesInAll,
                clock.elapsed() / 1000.0, QFileInfo(path).size() >> 20);
}

// Runs `step`, then draws the whole window; the milliseconds both took.
template <typename Step> double timed(QWidget& window, Step step) {
    QElapsedTimer clock;
    clock.start();
    step();
    QCoreApplication::processEvents();
    window.grab();
    return double(clock.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    UseDesktopIconTheme();
    test::StatementLog::install();

    QTemporaryDir scratch;
    const QString folder =
        argc > 1 ? QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath() : scratch.path();
    QDir().mkpath(folder);
    const QString share =
        QDir::cleanPath(QApplication::applicationDirPath() + QStringLiteral("/../share/kestro"));
    ProgramFolder::seed(folder, share);
    const QString catalogPath = ProgramFolder::file(folder, QStringLiteral("bench.mdb"));
    if (!QFileInfo::exists(catalogPath))
        makeCatalog(ProgramFolder::file(folder, ProgramFolder::kTemplateName), catalogPath);
    IniFile(ProgramFolder::file(folder, ProgramFolder::kSettingsName))
        .setValues(QStringLiteral("Environment"),
                   {{QStringLiteral("LastLoadedFile"), catalogPath},
                    {QStringLiteral("ListviewTypeCol"), QStringLiteral("120")}});
    IniFile(ProgramFolder::file(folder, ProgramFolder::kSettingsName))
        .setValue(QStringLiteral("Options"), QStringLiteral("oSounds"), QStringLiteral("0"));

    DesktopServices services(folder);
    Form1 window(services.state());

    QElapsedTimer clock;
    clock.start();
    if (!window.start())
        return 1;
    window.resize(1000, 700);
    window.show();
    QCoreApplication::processEvents();
    window.grab();
    std::printf("start-up, icon cache included:       %8.1f ms\n", clock.nsecsElapsed() / 1e6);

    const double refresh = timed(window, [&window] { window.RefreshViews(); });
    std::printf("catalog opened to window drawn:      %8.1f ms\n", refresh);

    auto& tree = *window.findChild<CatalogTree*>(QStringLiteral("lstpers"));
    auto& list = *window.findChild<ContentsList*>(QStringLiteral("lstTel"));
    QTreeWidgetItem* big = tree.node(FolderKey(kFirstTablename, QStringLiteral("D:"), kBigFolder));
    tree.expandItem(big->parent()); // the user opens the volume, then picks the folder
    QCoreApplication::processEvents();
    test::StatementLog::take();
    const double select = timed(window, [&] {
        tree.setCurrentItem(big);
        window.LstPers_MouseUp(Qt::LeftButton);
    });
    const QStringList statements = test::StatementLog::take();
    std::printf("folder of %d files listed:      %8.1f ms (%d rows)\n", kFilesInBigFolder, select,
                list.contents().rowCount());
    for (int column : {1, 2, 0, 3}) {
        const double sort = timed(window, [&] { window.lstTel_ColumnClick(column); });
        std::printf("sorted by column %d:                  %8.1f ms\n", column, sort);
    }

    std::printf("\nstatements run for the selection, with their plans:\n");
    QSet<QString> seen;
    bool scanned = false;
    for (const QString& sql : statements) {
        if (seen.contains(sql))
            continue;
        seen.insert(sql);
        std::printf("  %s\n", qPrintable(sql));
        for (const QString& step : test::StatementLog::queryPlan(catalogPath, sql)) {
            scanned |= step.startsWith(QLatin1String("SCAN")) && step.contains(kFirstTablename);
            std::printf("      %s\n", qPrintable(step));
        }
    }
    std::printf("a volume table read without its index: %s\n", scanned ? "YES" : "no");
    return scanned ? 2 : 0;
}
