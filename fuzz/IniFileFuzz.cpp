// The settings file as anyone may have edited it: read every setting, write
// one key, and the key reads back as written while every other line of the
// file stays as it was, byte for byte.
//
// Input: a first line "Section<TAB>Key<TAB>value" naming what to write, then
// the file. A section or key that is not a plain name (letters and digits,
// as all of the program's are) is replaced by "Options" and "oSounds".

#include "FuzzSupport.h"
#include "platform/IniFile.h"
#include "settings/SettingsFile.h"

#include <QRegularExpression>

using namespace kestro;
using namespace kestro::fuzz;

namespace {

QByteArrayList linesOf(const QByteArray& file) {
    QByteArrayList lines = file.split('\n');
    for (QByteArray& line : lines)
        while (line.endsWith('\r'))
            line.chop(1);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

bool isName(const QString& text) {
    static const QRegularExpression name(QStringLiteral("^[A-Za-z][A-Za-z0-9]*$"));
    return name.match(text).hasMatch();
}

// A value is kept on one line: control characters become spaces.
QString asStored(QString value) {
    for (QChar& c : value)
        if (c.unicode() < 0x20)
            c = QLatin1Char(' ');
    return value;
}

bool isKeyLineOf(const QByteArray& line, const QString& key) {
    const qsizetype eq = line.indexOf('=');
    return eq > 0 &&
           QString::fromUtf8(line.left(eq)).trimmed().compare(key, Qt::CaseInsensitive) == 0;
}

// Between `before` and `after` only the key's line changed, or a line for it
// was added, with its section's header and a blank line before that when the
// section is new.
void checkOnlyTheKeyChanged(const QByteArray& before, const QByteArray& after,
                            const QString& section, const QString& key) {
    const QByteArrayList b = linesOf(before), a = linesOf(after);
    qsizetype prefix = 0;
    while (prefix < b.size() && prefix < a.size() && b[prefix] == a[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < b.size() - prefix && suffix < a.size() - prefix &&
           b[b.size() - 1 - suffix] == a[a.size() - 1 - suffix])
        ++suffix;
    const QByteArrayList removed = b.mid(prefix, b.size() - prefix - suffix);
    const QByteArrayList added = a.mid(prefix, a.size() - prefix - suffix);
    FUZZ_CHECK(removed.size() <= 1);
    FUZZ_CHECK(removed.isEmpty() || isKeyLineOf(removed[0], key));
    int keyLines = 0;
    for (const QByteArray& line : added) {
        if (isKeyLineOf(line, key))
            ++keyLines;
        else
            FUZZ_CHECK(
                line.trimmed().isEmpty() ||
                QString::fromUtf8(line).compare(QLatin1Char('[') + section + QLatin1Char(']'),
                                                Qt::CaseInsensitive) == 0);
    }
    FUZZ_CHECK(keyLines <= 1);
    FUZZ_CHECK(keyLines == 1 || (removed.isEmpty() && added.isEmpty()));
}

void checkSettingsReadBack(const QString& folder) {
    SettingsFile settings(folder);
    const Options options = settings.loadOptions();
    Environment environment = settings.loadEnvironment();
    const SearchPlacement placement = settings.loadSearchPlacement();

    // What is read is written again as the program does at exit, and reads
    // back the same; only control characters in texts become spaces.
    FUZZ_CHECK(settings.saveOptions(options));
    FUZZ_CHECK(settings.saveEnvironment(environment));
    FUZZ_CHECK(settings.saveSearchPlacement(placement));
    Options expectedOptions = options;
    expectedOptions.oStartupDrive = asStored(options.oStartupDrive).trimmed();
    if (expectedOptions.oStartupDrive.isEmpty())
        expectedOptions.oStartupDrive = Options{}.oStartupDrive;
    FUZZ_CHECK(settings.loadOptions() == expectedOptions);
    environment.lastLoadedFile = asStored(environment.lastLoadedFile).trimmed();
    FUZZ_CHECK(settings.loadEnvironment() == environment);
    FUZZ_CHECK(settings.loadSearchPlacement() == placement);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto [control, file] = splitAtFirst(bytesOf(data, size), '\n');
    const QStringList parts = QString::fromUtf8(control).split(QLatin1Char('\t'));
    const QString section =
        parts.size() >= 3 && isName(parts[0]) ? parts[0] : QStringLiteral("Options");
    const QString key =
        parts.size() >= 3 && isName(parts[1]) ? parts[1] : QStringLiteral("oSounds");
    const QString value = parts.size() >= 3 ? parts.mid(2).join(QLatin1Char('\t')) : parts[0];

    const QString folder = scratchFolder();
    IniFile ini(folder + QStringLiteral("/Kestro.ini"));
    writeFile(ini.path(), file);
    (void)ini.value(section, key);

    FUZZ_CHECK(ini.setValue(section, key, value));
    const QByteArray written = readFile(ini.path());
    checkOnlyTheKeyChanged(file, written, section, key);
    std::optional<QString> readBack;
    for (const auto& [name, text] : ini.entries(section))
        if (!readBack && name.compare(key, Qt::CaseInsensitive) == 0)
            readBack = text;
    FUZZ_CHECK(readBack == asStored(value).trimmed());

    writeFile(ini.path(), file);
    checkSettingsReadBack(folder);
    return 0;
}
