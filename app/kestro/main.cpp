// Kestro Pro, the desktop program: the main window over the current catalog.

#include "browser/gui/Form1.h"
#include "platform/DriveTable.h"
#include "platform/FileTypes.h"
#include "platform/IniFile.h"
#include "platform/LinuxDriveSystem.h"
#include "platform/ProgramFolder.h"
#include "platform/gui/IconTheme.h"
#include "platform/gui/ImageStore.h"
#include "platform/gui/Prompter.h"
#include "platform/gui/Shell.h"
#include "platform/gui/SoundPlayer.h"
#include "settings/gui/ProgramState.h"

#include <QApplication>
#include <QDir>

using namespace kestro;

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestro Pro"));
    UseDesktopIconTheme();

    // The installed share folder sits beside bin/ in a build tree and in an
    // installation alike.
    const QString programFolder = ProgramFolder::resolve(
        QApplication::applicationDirPath(),
        QDir::cleanPath(QApplication::applicationDirPath() + QStringLiteral("/../share/kestro")));

    LinuxDriveSystem driveSystem;
    DriveTable drives(IniFile(ProgramFolder::file(programFolder, ProgramFolder::kSettingsName)),
                      driveSystem);
    DesktopShell shell;
    SoundPlayer sounds(programFolder);
    FileTypes fileTypes(IconCacheFolderOf(programFolder));
    ImageStore images;
    WidgetPrompter prompter(nullptr);
    ProgramState state(programFolder, {prompter, drives, shell, sounds, fileTypes, images});

    Form1 window(state);
    if (!window.start())
        return 0; // no catalog: the user has been told the program quits
    window.show();
    return app.exec();
}
