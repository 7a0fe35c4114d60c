#include "settings/SettingsFile.h"

#include "platform/DecimalText.h"
#include "platform/ProgramFolder.h"
#include "settings/CatalogPath.h"

#include <array>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace kestro {

namespace {

const QString kEnvironment = QStringLiteral("Environment");
const QString kOptions = QStringLiteral("Options");

// The keys of each operation, in the order the file lists them.

// "Options": flags, and the startup drive as the one text (no flag member).
struct OptionKey {
    const char* name;
    qint16 Options::*flag;
    bool readsLeadingNumber; // else the value must be a number as a whole
};
const OptionKey kOptionKeys[] = {
    {"oStartupMode", &Options::oStartupMode, true},
    {"oSmartCaps", &Options::oSmartCaps, true},
    {"oStartupDrive", nullptr, false},
    {"oClearDesc", &Options::oClearDesc, false},
    {"oSearchFiles", &Options::oSearchFiles, false},
    {"oSearchDirs", &Options::oSearchDirs, false},
    {"oEjectMedia", &Options::oEjectMedia, false},
    {"oNetworkShared", &Options::oNetworkShared, false},
    {"oDateFormat", &Options::oDateFormat, false},
    {"oSounds", &Options::oSounds, false},
    {"oSearchAsYouType", &Options::oSearchAsYouType, false},
};

// "Environment": the window numbers are read by their leading number, the
// column widths and the splitter must be numbers as a whole.
const char* const kLastLoadedFile = "LastLoadedFile";
const char* const kSplitterLeft = "SplitterLeft";
const std::pair<const char*, std::optional<double> Environment::*> kWindowKeys[] = {
    {"WindowLeft", &Environment::windowLeft},
    {"WindowTop", &Environment::windowTop},
    {"WindowWidth", &Environment::windowWidth},
    {"WindowHeight", &Environment::windowHeight},
};
const std::array<const char*, 5> kFileColumnKeys = {"ListviewNameCol", "ListviewSizeCol",
                                                    "ListviewTypeCol", "ListviewDateCol",
                                                    "ListviewDescriptionCol"};
const std::array<const char*, 9> kVolumeColumnKeys = {
    "ListviewGFW",  "ListviewGCW",  "ListviewGFRW", "ListviewGUW", "ListviewGDAW",
    "ListviewGDEW", "ListviewGDIW", "ListviewGFIW", "ListviewGCRW"};
const std::pair<const char*, double SearchPlacement::*> kSearchWindowKeys[] = {
    {"sWindowLeft", &SearchPlacement::left},
    {"sWindowTop", &SearchPlacement::top},
    {"sWindowWidth", &SearchPlacement::width},
    {"sWindowHeight", &SearchPlacement::height},
};

// The length of the decimal number at the start of `text`: an optional sign,
// digits with an optional "." fraction, an optional exponent. 0 for none.
qsizetype numberLength(QStringView text) {
    const auto isDigit = [&](qsizetype i) {
        return i < text.size() && text[i] >= u'0' && text[i] <= u'9';
    };
    const auto isOneOf = [&](qsizetype i, QStringView characters) {
        return i < text.size() && characters.contains(text[i]);
    };
    qsizetype i = isOneOf(0, u"+-") ? 1 : 0;
    bool anyDigit = false;
    for (; isDigit(i); ++i)
        anyDigit = true;
    if (isOneOf(i, u"."))
        for (++i; isDigit(i); ++i)
            anyDigit = true;
    if (!anyDigit)
        return 0;
    if (isOneOf(i, u"eE")) {
        qsizetype exponent = i + 1;
        if (isOneOf(exponent, u"+-"))
            ++exponent;
        if (isDigit(exponent)) {
            while (isDigit(exponent))
                ++exponent;
            i = exponent;
        }
    }
    return i;
}

// `text` as a finite number; nothing when it is out of range.
std::optional<double> finiteNumber(QStringView text) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// The leading number of a text, 0 when it starts with none ("12abc" -> 12),
// as the old BASIC Val reads it.
std::optional<double> leadingNumber(QStringView text) {
    const qsizetype length = numberLength(text);
    return length == 0 ? 0.0 : finiteNumber(text.left(length));
}

// A text that is one decimal number and nothing else.
std::optional<double> wholeNumber(QStringView text) {
    if (text.isEmpty() || numberLength(text) != text.size())
        return std::nullopt;
    return finiteNumber(text);
}

// A number rounded to a 16-bit flag; nothing when out of range. Halves go to
// the even neighbour, as the old BASIC integer conversion did.
std::optional<qint16> flagOf(std::optional<double> number) {
    if (!number)
        return std::nullopt;
    const double rounded = std::nearbyint(*number);
    if (rounded < std::numeric_limits<qint16>::min() ||
        rounded > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return static_cast<qint16>(rounded);
}

// The keys of one section as the file holds them at one moment. Values are
// read whole: a value is never cut at some length, so a long catalog path
// reads back as the path that was written.
class SectionValues {
public:
    SectionValues(const IniFile& ini, const QString& section) : entries_(ini.entries(section)) {}

    std::optional<QString> text(const char* key) const {
        for (const auto& [name, value] : entries_)
            if (name.compare(QLatin1String(key), Qt::CaseInsensitive) == 0)
                return value.trimmed();
        return std::nullopt;
    }

    // A key read by its leading number: "12abc" is 12, "abc" is 0.
    std::optional<double> leading(const char* key) const {
        const auto value = text(key);
        return value ? leadingNumber(*value) : std::nullopt;
    }

    // A key that must be a number as a whole.
    std::optional<double> whole(const char* key) const {
        const auto value = text(key);
        return value ? wholeNumber(*value) : std::nullopt;
    }

private:
    std::vector<std::pair<QString, QString>> entries_;
};

using KeyValues = std::vector<std::pair<QString, QString>>;

void addNumber(KeyValues& keys, const char* key, std::optional<double> value) {
    if (value)
        keys.emplace_back(QLatin1String(key), DecimalText(*value));
}

} // namespace

SettingsFile::SettingsFile(QString programFolder)
    : programFolder_(std::move(programFolder)),
      ini_(ProgramFolder::file(programFolder_, QLatin1String(ProgramFolder::kSettingsName))) {}

Options SettingsFile::loadOptions() const {
    const SectionValues values(ini_, kOptions);
    Options o;
    for (const auto& key : kOptionKeys) {
        if (key.flag) {
            const auto number =
                key.readsLeadingNumber ? values.leading(key.name) : values.whole(key.name);
            o.*key.flag = flagOf(number).value_or(o.*key.flag);
            continue;
        }
        // A blank drive could not be preselected: it counts as missing.
        const QString drive = values.text(key.name).value_or(QString());
        if (!drive.isEmpty())
            o.oStartupDrive = drive;
    }
    return o;
}

bool SettingsFile::saveOptions(const Options& o) {
    KeyValues keys;
    for (const auto& key : kOptionKeys)
        keys.emplace_back(QLatin1String(key.name),
                          key.flag ? QString::number(o.*key.flag) : o.oStartupDrive.trimmed());
    return ini_.setValues(kOptions, keys);
}

Environment SettingsFile::loadEnvironment() const {
    const SectionValues values(ini_, kEnvironment);
    Environment e;
    e.lastLoadedFile =
        ResolveCatalogPath(values.text(kLastLoadedFile).value_or(QString()), programFolder_);
    for (const auto& [key, member] : kWindowKeys)
        e.*member = values.leading(key);
    for (size_t i = 0; i < kFileColumnKeys.size(); ++i)
        e.fileColumnWidths[i] = values.whole(kFileColumnKeys[i]);
    e.splitterLeft = values.whole(kSplitterLeft);
    for (size_t i = 0; i < kVolumeColumnKeys.size(); ++i)
        e.volumeColumnWidths[i] = values.whole(kVolumeColumnKeys[i]);
    return e;
}

bool SettingsFile::saveEnvironment(const Environment& e) {
    KeyValues keys{{QLatin1String(kLastLoadedFile), e.lastLoadedFile.trimmed()}};
    for (const auto& [key, member] : kWindowKeys)
        addNumber(keys, key, e.*member);
    for (size_t i = 0; i < kFileColumnKeys.size(); ++i)
        addNumber(keys, kFileColumnKeys[i], e.fileColumnWidths[i]);
    addNumber(keys, kSplitterLeft, e.splitterLeft);
    for (size_t i = 0; i < kVolumeColumnKeys.size(); ++i)
        addNumber(keys, kVolumeColumnKeys[i], e.volumeColumnWidths[i]);
    return ini_.setValues(kEnvironment, keys);
}

SearchPlacement SettingsFile::loadSearchPlacement() const {
    const SectionValues values(ini_, kEnvironment);
    SearchPlacement p;
    for (const auto& [key, member] : kSearchWindowKeys)
        p.*member = values.leading(key).value_or(p.*member);
    return p;
}

bool SettingsFile::saveSearchPlacement(const SearchPlacement& p) {
    KeyValues keys;
    for (const auto& [key, member] : kSearchWindowKeys)
        addNumber(keys, key, p.*member);
    return ini_.setValues(kEnvironment, keys);
}

} // namespace kestro
