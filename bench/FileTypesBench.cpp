// Times one program start's icon cache work over a program folder (the
// first argument, else a fresh temporary one; run it twice over the same
// folder for a first and a later start), then the file-type names and icon
// keys over a million realistic file names: the contents list asks both for
// every file of a folder, an export the name for every row.
#include "platform/FileTypes.h"
#include "platform/gui/IconCache.h"
#include "platform/gui/IconTheme.h"
#include "platform/gui/ImageStore.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

using namespace kestro;

namespace {

constexpr int kNames = 1000000;

// Names shaped like those of a real volume: words, camera and scan numbers,
// the common extensions in both cases, and names without an extension.
std::vector<QString> realisticNames() {
    const QStringList words = QStringLiteral("report holiday photo track invoice notes backup "
                                             "draft final project letter scan summer music "
                                             "Café Müller 50% off")
                                  .split(u' ');
    const QStringList extensions = {".txt", ".jpg", ".JPG", ".mp3",    ".doc", ".c", ".h",
                                    ".zip", ".pdf", ".exe", ".tar.gz", ".xyz", "",   ".docx"};
    QRandomGenerator random(1);
    std::vector<QString> names;
    names.reserve(kNames);
    for (int i = 0; i < kNames; ++i) {
        QString name =
            random.bounded(6) == 0
                ? QStringLiteral("IMG_%1").arg(random.bounded(10000), 4, 10, QChar(u'0'))
                : words[random.bounded(words.size())] + u' ' + words[random.bounded(words.size())];
        names.push_back(name + extensions[random.bounded(extensions.size())]);
    }
    return names;
}

// One program start's icon cache work; prints its time and what it drew.
void start(const QString& programFolder) {
    QElapsedTimer timer;
    timer.start();
    FileTypes types(IconCacheFolderOf(programFolder));
    const qint64 registryMs = timer.elapsed();
    ImageStore images;
    const int made = IconCache(types, images).RefreshIconCache();
    std::printf(
        "registry read in %lld ms, icon cache ready in %lld ms: %d bitmaps made, %lld known "
        "extensions, %lld cache files\n",
        static_cast<long long>(registryMs), static_cast<long long>(timer.elapsed()), made,
        static_cast<long long>(types.knownExtensions().size()),
        static_cast<long long>(types.iconCacheFiles().size()));
}

template <typename Call>
void measure(const char* name, const std::vector<QString>& names, Call call) {
    QElapsedTimer timer;
    timer.start();
    qsizetype checksum = 0;
    for (const QString& fileName : names)
        checksum += call(fileName).size();
    const double ns = double(timer.nsecsElapsed()) / double(names.size());
    std::printf("%-28s %7.1f ns/call, %6.0f ms per million  (checksum %lld)\n", name, ns,
                ns * kNames / 1e6, static_cast<long long>(checksum));
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    UseDesktopIconTheme();

    QTemporaryDir temporaryFolder;
    const QString programFolder =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporaryFolder.path();
    start(programFolder);

    const FileTypes types(IconCacheFolderOf(programFolder));
    const std::vector<QString> names = realisticNames();
    measure("FileTypeName", names, [&](const QString& n) { return types.FileTypeName(n); });
    measure("FileIconKey", names, [&](const QString& n) { return types.FileIconKey(n); });
    measure("FileTypeName + FileIconKey", names,
            [&](const QString& n) { return types.FileTypeName(n) + types.FileIconKey(n); });
}
