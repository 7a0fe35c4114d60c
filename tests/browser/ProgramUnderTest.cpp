#include "ProgramUnderTest.h"

#include "browser/gui/CatalogTree.h"
#include "browser/gui/ContentsList.h"
#include "catalog/Catalog.h"
#include "catalog/Database.h"
#include "platform/IniFile.h"
#include "platform/OnlineVolumes.h"
#include "platform/gui/IconTheme.h"
#include "support/CatalogBuilder.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QHeaderView>
#include <QMenu>
#include <QTest>

namespace kestro::test {

namespace {

// One icon cache for every start in this test program: making it takes a
// while, and no test changes it. The icon theme is set up before the first
// pictures are taken from it.
QString sharedIconCache() {
    UseDesktopIconTheme();
    static QTemporaryDir cache;
    return cache.filePath("resources");
}

void put(const QString& path, qint64 size = 1) {
    QDir().mkpath(QFileInfo(path).path());
    writeAll(path, QByteArray(int(size), 'x'));
}

} // namespace

ProgramUnderTest::ProgramUnderTest(Engine engine)
    : sounds(folder.path()), fileTypes(sharedIconCache()),
      state(folder.path(), {prompter, drives.table(), shell, sounds, fileTypes, images}) {
    QFile::copy(templatePath(), programFile("new.kst"));
    if (engine == Engine::File) {
        catalog_ = makeCatalogFile(programFile("default.mdb"));
    } else {
        catalog_ = newCatalog(engine, folder);
        IniFile(programFile("Kestro.ini")).setValue("Environment", "LastLoadedFile", catalog_);
    }
    makeMedia();
    games = catalogFolder(folder.path(), catalogPath(), media.filePath("games"), "GAMES DISK", 'W');
    music = catalogFolder(folder.path(), catalogPath(), media.filePath("music"), "Music", 'X');
    backup = catalogFolder(folder.path(), catalogPath(), media.filePath("backup"), "Backup", 'Y');
    const Database db = Database::open(catalogPath(), OpenMode::SharedReadWrite);
    db.execute("INSERT INTO categories (\"key\", category) VALUES (1, 'Old Stuff'), (2, 'Empty')");
    db.execute("UPDATE \"index\" SET category = '1' WHERE tablename = ?", backup);
    gamesKey = games + "_W:";
    musicKey = music + "_X:";
    backupKey = backup + "_Y:";
    drives.map('W', media.filePath("games"));
    drives.map('X', media.filePath("music"));
    drives.map('Y', media.filePath("backup"));
}

ProgramUnderTest::~ProgramUnderTest() = default;

void ProgramUnderTest::makeMedia() {
    const QString root = media.filePath("games/");
    put(root + "DOOM/DOOM.EXE", 3000);
    put(root + "DOOM/readme.TXT", 20);
    put(root + "DOOM/MAPS/e1m1.wad", 70000);
    put(root + "DOOM/MAPS/OLD/x.wad");
    put(root + "GAMES/tetris.com");
    put(root + "OLD/GAMES/pong.exe");
    for (const char* name : {"README", "archive.tar.GZ", "data.xyz", "name.", "small.txt"})
        put(root + name, 10);
    put(root + "big.bin", 200000);
    put(media.filePath("music/Albums/song.mp3"), 5000);
    put(media.filePath("backup/docs/letter.doc"), 100);
}

void ProgramUnderTest::waitForOnlineVolumes() {
    const auto* online = window_->findChild<OnlineVolumes*>();
    QTRY_VERIFY_WITH_TIMEOUT(!online->isLooking(), 10000);
}

void ProgramUnderTest::setOption(const QString& key, const QString& value) {
    IniFile(programFile("Kestro.ini")).setValue("Options", key, value);
}

Database ProgramUnderTest::openCatalog() const {
    return Catalog(catalogPath(), OpenMode::SharedReadWrite).open();
}

QString ProgramUnderTest::catalogValue(const std::string& sql, const QString& bound) const {
    const Database db = openCatalog();
    Statement s = db.prepare(sql);
    if (!bound.isNull())
        s.bind(1, bound);
    if (!s.next())
        return "<none>";
    return s.isNull(0) ? QString("<null>") : s.text(0);
}

QString ProgramUnderTest::volumeValue(const char* column, const QString& tablename) const {
    return catalogValue(std::string("SELECT ") + column + " FROM \"index\" WHERE tablename = ?",
                        tablename);
}

QString ProgramUnderTest::rowCount(const QString& table, const std::string& where) const {
    return catalogValue("SELECT count(*) FROM " + quoteIdentifier(table) + " WHERE " + where);
}

bool ProgramUnderTest::start() {
    window_ = std::make_unique<Form1>(state);
    if (!window_->start())
        return false;
    window_->show();
    return QTest::qWaitForWindowExposed(window_.get());
}

void ProgramUnderTest::trigger(const char* command) {
    window_->findChild<QAction*>(command)->trigger();
}

CatalogTree& ProgramUnderTest::tree() {
    return *window_->findChild<CatalogTree*>("lstpers");
}

ContentsList& ProgramUnderTest::list() {
    return *window_->findChild<ContentsList*>("lstTel");
}

QTreeWidgetItem* ProgramUnderTest::node(const QString& key) {
    return tree().node(key);
}

void ProgramUnderTest::clickNode(const QString& key, Qt::MouseButton button) {
    QTreeWidgetItem* item = node(key);
    if (!item)
        throw std::runtime_error("no tree node " + key.toStdString());
    tree().scrollToItem(item);
    QTest::mouseClick(tree().viewport(), button, {}, tree().visualItemRect(item).center());
}

void ProgramUnderTest::pressKeyInTree(Qt::Key key) {
    tree().setFocus();
    QTest::keyClick(&tree(), key);
}

QStringList ProgramUnderTest::columnTexts(int column) {
    QStringList texts;
    const ContentsModel& rows = list().contents();
    for (int i = 0; i < rows.rowCount(); ++i)
        texts << rows.row(i).texts[size_t(column)];
    return texts;
}

int ProgramUnderTest::rowOf(const QString& firstColumnText) {
    const int row = int(columnTexts(0).indexOf(firstColumnText));
    if (row < 0)
        throw std::runtime_error("no list row " + firstColumnText.toStdString());
    return row;
}

void ProgramUnderTest::clickRow(int row, Qt::MouseButton button) {
    const QModelIndex index = list().model()->index(row, 0);
    list().scrollTo(index);
    QTest::mouseClick(list().viewport(), button, {}, list().visualRect(index).center());
}

void ProgramUnderTest::doubleClickRow(int row) {
    const QModelIndex index = list().model()->index(row, 0);
    list().scrollTo(index);
    const QPoint at = list().visualRect(index).center();
    QTest::mouseClick(list().viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list().viewport(), Qt::LeftButton, {}, at);
}

void ProgramUnderTest::clickHeader(int column) {
    QHeaderView* header = list().header();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                    header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

QMenu* ProgramUnderTest::takeShownMenu() {
    for (QMenu* menu : window_->findChildren<QMenu*>()) {
        if (menu->isVisible() && !menu->objectName().isEmpty()) {
            menu->hide();
            return menu;
        }
    }
    return nullptr;
}

} // namespace kestro::test
