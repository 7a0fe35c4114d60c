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
        for (auto group : {catalogFileCommands, cataloguingCommands, searchCommands})
            for (Command& command : group())
                all.push_back(std::move(command));
        return all;
    }();
    return table;
}

void printOut(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

QString outputField(QString text) {
    for (QChar& c : text)
        if (c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            c = QLatin1Char(' ');
    return text;
}

void printError(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
}

} // namespace kestro::cli
