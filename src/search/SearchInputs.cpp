#include "search/SearchInputs.h"

#include <QRegularExpression>
#include <cmath>

namespace kestro {

std::optional<QDate> ReadSearchDate(QStringView text, bool european, int currentYear) {
    static const QRegularExpression shape(
        QStringLiteral(R"(^([0-9]{1,2})/([0-9]{1,2})/([0-9]{2}|[0-9]{4})$)"));
    const QRegularExpressionMatch match = shape.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const int first = match.capturedView(1).toInt();
    const int second = match.capturedView(2).toInt();
    const QStringView yearText = match.capturedView(3);
    const int year =
        yearText.size() == 2 ? WindowedYear(yearText.toInt(), currentYear) : yearText.toInt();
    const int month = european ? second : first;
    const int day = european ? first : second;
    if (year < 1 || !QDate::isValid(year, month, day))
        return std::nullopt;
    return QDate(year, month, day);
}

std::optional<double> ReadSearchKilobytes(QStringView text) {
    // At least one digit; a whole part grouped by thousands or not; a fraction.
    static const QRegularExpression shape(
        QStringLiteral(R"(^(?=.*[0-9])([0-9]{1,3}(,[0-9]{3})+|[0-9]+)?(\.[0-9]*)?$)"));
    const QStringView trimmed = text.trimmed();
    if (!shape.match(trimmed).hasMatch())
        return std::nullopt;
    QString digits = trimmed.toString();
    digits.remove(QLatin1Char(','));
    bool ok = false;
    const double kilobytes = digits.toDouble(&ok);
    return ok && std::isfinite(kilobytes) ? std::optional<double>(kilobytes) : std::nullopt;
}

} // namespace kestro
