#include "cataloguing/ChangesCsv.h"

#include "platform/CsvText.h"

namespace kestro {

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
    AppendCsvLine(ChangeColumnTitles(), out);
    for (const ChangeItem& item : items)
        AppendCsvLine(ChangeColumnTexts(item), out);
    return out;
}

} // namespace kestro
