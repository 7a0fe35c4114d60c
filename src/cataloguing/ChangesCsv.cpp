#include "cataloguing/ChangesCsv.h"

namespace kestro {

namespace {

void appendLine(const QStringList& values, QByteArray& out) {
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i > 0)
            out += ',';
        QString quoted = values[i];
        quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        out += '"' + quoted.toUtf8() + '"';
    }
    out += "\r\n";
}

} // namespace

const QStringList& ChangeColumnTitles() {
    static const QStringList titles{QStringLiteral("Change"),   QStringLiteral("Location"),
                                    QStringLiteral("Name"),     QStringLiteral("Old size"),
                                    QStringLiteral("New size"), QStringLiteral("Old date"),
                                    QStringLiteral("New date")};
    return titles;
}

QStringList ChangeColumnTexts(const ChangeItem& item) {
    return {item.kind,
            item.location,
            item.folder ? item.name + QLatin1Char('\\') : item.name,
            item.oldSize.trimmed(),
            item.newSize.trimmed(),
            item.oldDate,
            item.newDate};
}

QByteArray ChangesCsv(const std::vector<ChangeItem>& items) {
    QByteArray out;
    appendLine(ChangeColumnTitles(), out);
    for (const ChangeItem& item : items)
        appendLine(ChangeColumnTexts(item), out);
    return out;
}

} // namespace kestro
