#pragma once

#include "browser/gui/Form1.h"
#include "catalog/Database.h"
#include "platform/FileTypes.h"
#include "platform/gui/ImageStore.h"
#include "settings/gui/ProgramState.h"
#include "support/RecordingShell.h"
#include "support/CatalogEngines.h"
#include "support/RecordingSounds.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDrives.h"

#include <QTemporaryDir>
#include <QTreeWidgetItem>
#include <memory>

class QMenu;

namespace kestro {
class CatalogTree;
class ContentsList;
} // namespace kestro

namespace kestro::test {

// The desktop program over a program folder of its own, with scripted
// dialogs, a recording shell and sound player, and drive letters that stand
// for temporary folders. Its default catalog holds three volumes catalogued
// from real folders by the cataloguing code:
//
//   W: "GAMES DISK"  DOOM\ (DOOM.EXE, readme.TXT, MAPS\ (e1m1.wad, OLD\ (x.wad))),
//                    GAMES\ (tetris.com), OLD\ (GAMES\ (pong.exe)),
//                    README, archive.tar.GZ, data.xyz, "name.", big.bin, small.txt
//   X: "Music"       Albums\ (song.mp3)
//   Y: "Backup"      docs\ (letter.doc), in the category "Old Stuff" (key 1)
//
// and a category "Empty" (key 2) without volumes. The catalog is the
// program folder's default.mdb, or a hosted one on the test program's own
// server, which the settings file then names.
class ProgramUnderTest {
public:
    explicit ProgramUnderTest(Engine engine = Engine::File);
    ~ProgramUnderTest();

    QString programFile(const QString& name) const { return folder.filePath(name); }
    QString catalogPath() const { return catalog_; }
    // The catalog file opened by the test itself, to prepare or check it.
    Database openCatalog() const;
    // One value the catalog holds: "<null>" for Null, "<none>" without a row.
    QString catalogValue(const std::string& sql, const QString& bound = {}) const;
    // A column of a volume's row in "index".
    QString volumeValue(const char* column, const QString& tablename) const;
    // How many rows of `table` match `where`.
    QString rowCount(const QString& table, const std::string& where) const;
    // The tablenames of the three volumes, and their keys.
    QString games, music, backup;
    QString gamesKey, musicKey, backupKey;
    QString gamesFolder() const { return media.filePath("games"); }

    // Writes an option into the settings file before start().
    void setOption(const QString& key, const QString& value);

    // Makes the window and runs its load; the window is shown when it
    // succeeded.
    bool start();
    Form1& window() { return *window_; }
    // Waits until the window has looked at the drives for online volumes.
    void waitForOnlineVolumes();
    CatalogTree& tree();
    // Runs the command (menu entry) of this objectName.
    void trigger(const char* command);
    ContentsList& list();

    // The user's hand.
    QTreeWidgetItem* node(const QString& key);
    void clickNode(const QString& key, Qt::MouseButton button = Qt::LeftButton);
    void pressKeyInTree(Qt::Key key);
    int rowOf(const QString& firstColumnText);
    QStringList columnTexts(int column);
    void clickRow(int row, Qt::MouseButton button = Qt::LeftButton);
    void doubleClickRow(int row);
    void clickHeader(int column);
    // The context menu on screen, if any, closed again; null without one.
    QMenu* takeShownMenu();

    QTemporaryDir folder; // the program folder
    QTemporaryDir media;  // the folders catalogued
    TestDrives drives;
    RecordingShell shell;
    RecordingSounds sounds;
    ScriptedPrompter prompter;
    FileTypes fileTypes;
    ImageStore images;
    ProgramState state;

private:
    void makeMedia();
    QString catalog_;
    std::unique_ptr<Form1> window_;
};

} // namespace kestro::test
