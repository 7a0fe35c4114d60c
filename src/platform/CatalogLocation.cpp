#include "platform/CatalogLocation.h"

#include <QRegularExpression>

namespace kestro {

bool isHostedLocation(const QString& location) {
    return location.startsWith(QLatin1String("postgresql://")) ||
           location.startsWith(QLatin1String("postgres://"));
}

QString locationForDisplay(const QString& location) {
    if (!isHostedLocation(location))
        return location;
    // "user:secret@" in the authority, and "password=..." among the
    // parameters (up to the next "&").
    static const QRegularExpression userPassword(
        QStringLiteral("^(postgres(?:ql)?://[^/?@:]*):[^/?]*@"));
    static const QRegularExpression passwordParameter(QStringLiteral("([?&])password=[^&]*&?"));
    QString shown = location;
    shown.replace(userPassword, QStringLiteral("\\1@"));
    shown.replace(passwordParameter, QStringLiteral("\\1"));
    if (shown.endsWith(QLatin1Char('&')) || shown.endsWith(QLatin1Char('?')))
        shown.chop(1);
    return shown;
}

} // namespace kestro
