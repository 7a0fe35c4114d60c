#include "Command.h"

#include "CommandGroups.h"

#include <cstdio>

namespace kestro::cli {

CliSession& Invocation::session() {
    if (!session_)
        session_ = std::make_unique<CliSession>(parser_.value(QStringLiteral("home")),
                                                parser_.value(QStringLiteral("catalog")));
    return *session_;
}

std::vector<Command>& commandTable() {
    static std::vector<Command> table = [] {
        std::vector<Command> all;
        for (auto group : {catalogFileCommands, cataloguingCommands, searchCommands,
                           duplicatesCommands, reportCommands})
            for (Command& command : group())
                all.push_back(std::move(command));
        return all;
    }();
    return table;
}

Completion completionOfOption(const QCommandLineOption& option) {
    static const std::pair<const char*, Completion> kinds[] = {
        {"catalog", Completion::File},   {"home", Completion::Folder},
        {"out", Completion::Folder},     {"volume", Completion::Volume},
        {"only-on", Completion::Volume}, {"fields", Completion::ExportFields},
        {"from", Completion::File},      {"to", Completion::File}};
    for (const auto& [name, kind] : kinds)
        if (option.names().contains(QLatin1String(name)))
            return kind;
    return Completion::Nothing;
}

QCommandLineOption jsonOption(const QString& fields) {
    return {QStringLiteral("json"),
            QStringLiteral("Write JSON Lines, one object per line with the fields %1. Sizes, "
                           "counts and bytes are numbers, dates ISO 8601 local times; the "
                           "stored texts are in the fields ending in _text.")
                .arg(fields)};
}

const QCommandLineOption& volumeOption() {
    static const QCommandLineOption option(QStringLiteral("volume"),
                                           QStringLiteral("Only the volumes of this name; may be "
                                                          "given more than once (all volumes "
                                                          "when left out)."),
                                           QStringLiteral("NAME"));
    return option;
}

bool chooseVolumes(Invocation& call, VolumeSelection& selection) {
    const QStringList names = call.parser().values(volumeOption());
    if (names.isEmpty())
        return true;
    QStringList unknown;
    selection.allVolumes = false;
    selection.chosen = VolumesNamed(call.session().catalog().open(), names, unknown);
    for (const QString& name : unknown)
        printError(QStringLiteral("The catalog has no volume \"%1\".\n").arg(name));
    return unknown.isEmpty();
}

bool jsonRequested(const Invocation& call) {
    return call.parser().isSet(QStringLiteral("json"));
}

void printOut(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

QString outputField(QString text) {
    // Replaced only where found: most texts are returned without a copy.
    for (const char c : {'\t', '\n', '\r'})
        text.replace(QLatin1Char(c), QLatin1Char(' '));
    return text;
}

void printError(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
}

} // namespace kestro::cli
