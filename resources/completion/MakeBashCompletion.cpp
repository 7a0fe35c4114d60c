// Build-time tool: writes kestro-cli's bash completion, the script beside
// this file with kestro-cli's command table put in, so that every command and
// option is completed as soon as it is in the table.
//
//   make-bash-completion SCRIPT OUTPUT

#include "HelpTexts.h"
#include "export/ExportFormat.h"

#include <QFile>
#include <QStringList>
#include <cstdio>

using namespace kestro;
using namespace kestro::cli;

namespace {

// The name the script gives a kind of value.
QString kindName(Completion kind) {
    switch (kind) {
    case Completion::File:
        return QStringLiteral("file");
    case Completion::Folder:
        return QStringLiteral("folder");
    case Completion::Volume:
        return QStringLiteral("volume");
    case Completion::ExportFields:
        return QStringLiteral("fields");
    case Completion::Nothing:
        break;
    }
    return QStringLiteral("text");
}

QString longNames(const std::vector<QCommandLineOption>& options) {
    QStringList names;
    for (const QCommandLineOption& option : options)
        names << QStringLiteral("--") + option.names().last();
    return names.join(QLatin1Char(' '));
}

// `[key]=kind` for each option of `options` that takes a value.
void addValueKinds(QStringList& entries, const QString& command,
                   const std::vector<QCommandLineOption>& options) {
    for (const QCommandLineOption& option : options)
        if (!option.valueName().isEmpty())
            entries << QStringLiteral("[\"%1--%2\"]=%3")
                           .arg(command.isEmpty() ? QString() : command + QLatin1Char(' '),
                                option.names().last(), kindName(completionOfOption(option)));
}

// The table as bash variables.
QString table() {
    QStringList commands, options, values, arguments;
    addValueKinds(values, QString(), commonOptions());
    for (const Command& command : commandTable()) {
        commands << command.name;
        std::vector<QCommandLineOption> all = commonOptions();
        all.insert(all.end(), command.options.begin(), command.options.end());
        options << QStringLiteral("[%1]=\"%2\"").arg(command.name, longNames(all));
        addValueKinds(values, command.name, command.options);
        QStringList kinds;
        for (Completion kind : command.arguments)
            kinds << kindName(kind);
        if (!kinds.isEmpty())
            arguments << QStringLiteral("[%1]=\"%2\"").arg(command.name, kinds.join(' '));
    }
    QStringList fields;
    for (int field = 0; field < kExportFieldCount; ++field)
        fields << ExportFieldKey(ExportField(field));

    const QString separator = QStringLiteral("\n    ");
    return QStringLiteral("_kestro_cli_commands=\"%1\"\n"
                          "_kestro_cli_common_options=\"%2\"\n"
                          "_kestro_cli_fields=\"%3\"\n"
                          "# The options of each command.\n"
                          "declare -gA _kestro_cli_options=(%6%4\n)\n"
                          "# What the value of each option is, by command and option or by the "
                          "option alone.\n"
                          "declare -gA _kestro_cli_values=(%6%5\n)\n"
                          "# What the arguments of each command are, in order.\n"
                          "declare -gA _kestro_cli_arguments=(%6%7\n)")
        .arg(commands.join(' '), longNames(commonOptions()), fields.join(' '),
             options.join(separator), values.join(separator), separator, arguments.join(separator));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s SCRIPT OUTPUT\n", argv[0]);
        return 2;
    }
    QFile script(QString::fromLocal8Bit(argv[1]));
    if (!script.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    QString text = QString::fromUtf8(script.readAll());
    text.replace(QStringLiteral("@KESTRO_CLI_TABLE@"), table());
    QFile out(QString::fromLocal8Bit(argv[2]));
    const QByteArray bytes = text.toUtf8();
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
