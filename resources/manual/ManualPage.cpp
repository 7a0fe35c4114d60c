#include "ManualPage.h"

#include <QRegularExpression>
#include <QStringList>

namespace kestro::manual {

ManualPage::ManualPage(const QString& name, int section, const QString& date, const QString& source,
                       const QString& summary) {
    raw(QStringLiteral(".TH %1 %2 %3 \"%4\" \"User Commands\"")
            .arg(escaped(name.toUpper()))
            .arg(section)
            .arg(date, escaped(source)));
    // Words are not broken at the line's end: an option broken in two could
    // not be found or copied.
    raw(QStringLiteral(".nh"));
    this->section(QStringLiteral("NAME"));
    raw(escaped(name) + QStringLiteral(" \\- ") + escaped(summary));
}

QString ManualPage::escaped(const QString& text) {
    static const QRegularExpression optionDash(QStringLiteral("(?<!\\w)-"));
    QString out = text;
    out.replace(QLatin1Char('\\'), QLatin1String("\\e"));
    out.replace(optionDash, QStringLiteral("\\-"));
    // A line that begins with "." or "'" would be read as a request.
    QStringList lines = out.split(QLatin1Char('\n'));
    for (QString& line : lines)
        if (line.startsWith(QLatin1Char('.')) || line.startsWith(QLatin1Char('\'')))
            line.prepend(QLatin1String("\\&"));
    return lines.join(QLatin1Char('\n'));
}

QString ManualPage::bold(const QString& text) {
    return QStringLiteral("\\fB") + escaped(text) + QStringLiteral("\\fR");
}

QString ManualPage::italic(const QString& text) {
    return QStringLiteral("\\fI") + escaped(text) + QStringLiteral("\\fR");
}

void ManualPage::section(const QString& title) {
    raw(QStringLiteral(".SH \"%1\"").arg(escaped(title)));
}

void ManualPage::subsection(const QString& title) {
    raw(QStringLiteral(".SS \"%1\"").arg(escaped(title)));
}

void ManualPage::paragraph(const QString& text) {
    raw(QStringLiteral(".PP"));
    raw(escaped(text));
}

void ManualPage::tagged(const QString& tag, const QString& text) {
    raw(QStringLiteral(".TP"));
    raw(bold(tag));
    raw(escaped(text));
}

void ManualPage::option(const QCommandLineOption& option) {
    QStringList names;
    for (const QString& name : option.names())
        names << bold((name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name);
    QString tag = names.join(QStringLiteral(", "));
    if (!option.valueName().isEmpty())
        tag += QLatin1Char(' ') + italic(option.valueName());
    raw(QStringLiteral(".TP"));
    raw(tag);
    raw(escaped(option.description()));
}

void ManualPage::raw(const QString& line) {
    text_ += line + QLatin1Char('\n');
}

} // namespace kestro::manual
