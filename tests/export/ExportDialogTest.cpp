#include "export/gui/ExportDialog.h"

#include "browser/ProgramUnderTest.h"
#include "export/gui/FolderChooser.h"
#include "search/SearchCondition.h"
#include "search/SearchState.h"
#include "support/ModalDialog.h"
#include "support/NamedControl.h"
#include "support/TestSupport.h"

#include <QCheckBox>
#include <QFileSystemModel>
#include <QLabel>
#include <QListWidget>
#include <QtTest>

using namespace kestro;
using kestro::test::child;
using kestro::test::entries;
using kestro::test::ProgramUnderTest;

namespace {

// The dialog of a program that has not started its main window: the export
// needs only the program's state.
class OpenDialog {
public:
    OpenDialog(ProgramUnderTest& program, SearchState& search, bool fromSearch)
        : dialog(program.state, search, fromSearch) {
        dialog.show();
        if (!QTest::qWaitForWindowExposed(&dialog))
            throw std::runtime_error("the export dialog did not show");
    }

    QCheckBox& option(const char* name) { return child<QCheckBox>(dialog, name); }
    QListWidget& volumes() { return child<QListWidget>(dialog, "List1"); }
    void exportTo(const QString& folder) {
        child<FolderChooser>(dialog, "Dir1").setFolder(folder);
        child<QPushButton>(dialog, "OK").click();
    }
    // Only the fields of `indexes` are ticked.
    void fields(const QList<int>& indexes) {
        for (QCheckBox* field : dialog.findChildren<QCheckBox*>("eField"))
            field->setChecked(indexes.contains(field->property("index").toInt()));
    }
    void choose(const QStringList& names) {
        volumes().clearSelection();
        for (const QString& name : names)
            volumes().findItems(name, Qt::MatchExactly).first()->setSelected(true);
    }

    ExportDialog dialog;
};

} // namespace

class ExportDialogTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void theExportCommandOpensItForWholeVolumes() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        QVERIFY(program.window().findChild<QWidget*>("bExport")->isEnabled());
        QString title, folder;
        QStringList listed, chosen, fields;
        bool listEnabled = false;
        test::whenDialogShows("fExport", [&](QDialog& dialog) {
            title = dialog.windowTitle();
            folder = child<FolderChooser>(dialog, "Dir1").folder();
            auto& list = child<QListWidget>(dialog, "List1");
            listEnabled = list.isEnabled();
            listed = entries(list, false);
            chosen = entries(list, true);
            for (QCheckBox* field : dialog.findChildren<QCheckBox*>("eField"))
                fields << field->text() + (field->isChecked() ? "=1" : "=0");
            for (const char* option : {"forPrint", "headers", "delimitCode", "quotes"})
                fields << QString(option) +
                              (child<QCheckBox>(dialog, option).isChecked() ? "=1" : "=0");
            child<QPushButton>(dialog, "Cancel").click();
        });
        program.window().findChild<QAction*>("mnuExport")->trigger();
        QCOMPARE(title, QString("Export"));
        QCOMPARE(folder, program.folder.path());
        QVERIFY(listEnabled);
        QCOMPARE(listed, QStringList({"<<All Volumes>>", "Backup", "GAMES DISK", "Music"}));
        QVERIFY(chosen.isEmpty());
        QCOMPARE(fields, QStringList({"File/Folder name=1", "Parent path=1", "Volume name=1",
                                      "Size=1", "Date Modified=1", "Description=1", "Type=1",
                                      "forPrint=0", "headers=1", "delimitCode=0", "quotes=1"}));
        QVERIFY(program.sounds.played.contains("openwindow.wav"));
    }

    void printoutSetsItsOwnFormatAndLocksIt() {
        ProgramUnderTest program;
        SearchState search;
        OpenDialog open(program, search, false);
        // Each option as "name=ticked,enabled".
        const auto options = [&open] {
            QStringList states;
            for (const char* name : {"quotes", "delimitCode", "headers"})
                states << QString("%1=%2,%3")
                              .arg(name)
                              .arg(open.option(name).isChecked())
                              .arg(open.option(name).isEnabled());
            return states;
        };
        open.option("delimitCode").setChecked(false);
        open.option("headers").setChecked(false);
        open.option("forPrint").click();
        QCOMPARE(options(), QStringList({"quotes=0,0", "delimitCode=1,0", "headers=1,0"}));
        // Unticked again: usable again, keeping what printout set.
        open.option("forPrint").click();
        QCOMPARE(options(), QStringList({"quotes=0,1", "delimitCode=1,1", "headers=1,1"}));
    }

    void theFolderIsTheOneLastClicked() {
        ProgramUnderTest program;
        SearchState search;
        OpenDialog open(program, search, false);
        QTemporaryDir out;
        QDir(out.path()).mkdir("exports");
        auto& folders = child<FolderChooser>(open.dialog, "Dir1");
        folders.setFolder(out.path());
        // The folders are read in the background, and other programs make
        // and remove folders in /tmp meanwhile: rows are found by path.
        auto& model = *static_cast<QFileSystemModel*>(folders.model());
        QVERIFY(QTest::qWaitFor([&] {
            folders.expand(model.index(out.path()));
            return model.rowCount(model.index(out.path())) == 1;
        }));
        const QModelIndex exports = model.index(out.filePath("exports"));
        folders.scrollTo(exports);
        QTest::mouseClick(folders.viewport(), Qt::LeftButton, {},
                          folders.visualRect(exports).center());
        QCOMPARE(folders.folder(), out.filePath("exports"));
        QCOMPARE(child<QLabel>(open.dialog, "DirPath").text(), out.filePath("exports"));

        // Folders that come and go beside it move its row, not the choice.
        QDir(out.path()).mkdir("another");
        QDir(out.path()).mkdir("a first one");
        QTest::qWait(300);
        QCOMPARE(folders.folder(), out.filePath("exports"));
        open.choose({"Music"});
        open.dialog.findChild<QPushButton*>("OK")->click();
        QVERIFY(QFileInfo::exists(out.filePath("exports/Music.cdf")));
    }

    // What goes into each file is the export's own test; the dialog refuses
    // to write without a field or a volume, writes one file per volume
    // chosen, printout as text files, and stays open and usable.
    void eachVolumeChosenIsOneFile() {
        ProgramUnderTest program;
        SearchState search;
        OpenDialog open(program, search, false);
        QTemporaryDir out;
        open.fields({}); // nothing written without a field or a volume
        open.choose({"Music"});
        open.exportTo(out.path());
        open.fields({0, 3});
        open.choose({});
        open.exportTo(out.path());
        QVERIFY(QDir(out.path()).isEmpty());
        open.choose({"Music", "Backup"});
        open.exportTo(out.path());
        QVERIFY(test::readAll(out.filePath("Music.cdf")).startsWith("\"Filename\",\"Size\"\r\n"));
        open.option("forPrint").click();
        open.exportTo(out.path());
        QCOMPARE(QDir(out.path()).entryList(QDir::Files),
                 QStringList({"Backup.cdf", "Backup.txt", "Music.cdf", "Music.txt"}));
        QCOMPARE(program.prompter.messages,
                 QStringList({kNoFieldMessage, kNoVolumeMessage,
                              "2 files written to " + out.path() + ":\n\nBackup.cdf\nMusic.cdf",
                              "2 files written to " + out.path() + ":\n\nBackup.txt\nMusic.txt"}));
        QCOMPARE(open.dialog.windowTitle(), QString("Export"));
        QVERIFY(child<QPushButton>(open.dialog, "OK").isEnabled());
        QVERIFY(child<QPushButton>(open.dialog, "Cancel").isEnabled());
    }

    void searchResultsComeFromTheVolumesSearched() {
        ProgramUnderTest program;
        SearchState search;
        SearchCriteria criteria;
        criteria.named = "*.doc";
        search.setLastSearch({SearchCondition::fromCriteria(criteria), SearchScope::Files,
                              VolumeSelection{false, {{program.backup, "Backup"}}}});
        OpenDialog open(program, search, true);
        QCOMPARE(open.dialog.windowTitle(), QString("Export Search Results"));
        QVERIFY(!open.volumes().isEnabled());
        QCOMPARE(entries(open.volumes(), true), QStringList({"Backup"}));
        QTemporaryDir out;
        open.fields({0, 1});
        open.exportTo(out.path());
        QCOMPARE(QDir(out.path()).entryList(QDir::Files),
                 QStringList({"Backup (search results).cdf"}));
        QCOMPARE(test::readAll(out.filePath("Backup (search results).cdf")),
                 QByteArray("\"Filename\",\"Path\"\r\n\"letter.doc\",\"Y:\\docs\"\r\n"));

        // A search that found nothing in a volume leaves no file for it.
        criteria.named = "*.wad";
        search.setLastSearch({SearchCondition::fromCriteria(criteria), SearchScope::Both,
                              VolumeSelection{false, {{program.music, "Music"}}}});
        program.prompter.messages.clear();
        open.exportTo(out.path());
        QCOMPARE(QDir(out.path()).entryList(QDir::Files),
                 QStringList({"Backup (search results).cdf"}));
        QCOMPARE(program.prompter.messages,
                 QStringList({"Nothing was written: the volumes chosen hold no rows to export."}));
    }
};

QTEST_MAIN(ExportDialogTest)
#include "ExportDialogTest.moc"
