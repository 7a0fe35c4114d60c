#include "catalog/DisplayRules.h"

#include "catalog/StoredTexts.h"
#include "platform/DecimalText.h"

#include <QDate>
#include <QTime>
#include <cmath>
#include <string>

namespace kestro {

namespace {

QString rightAligned(const QString& text) {
    return text.rightJustified(kNumberFieldWidth, QLatin1Char(' '));
}

// Beyond this a rounded double no longer fits a qint64.
constexpr double kLargestCount = 9.2e18;

} // namespace

QString SmartCaps(const QString& text, bool enabled) {
    if (!enabled || text.isEmpty())
        return text;
    QString result = text.toLower();
    result[0] = result[0].toUpper();
    for (qsizetype i = 0; i + 1 < result.size(); ++i)
        if (result[i] == QLatin1Char(' '))
            result[i + 1] = result[i + 1].toUpper();
    return result;
}

QString NullToEmpty(const SqlValue& value) {
    struct TextForm {
        QString operator()(std::monostate) const { return {}; }
        QString operator()(qint64 n) const { return QString::number(n); }
        QString operator()(double d) const { return DecimalText(d); }
        QString operator()(const QString& text) const { return text; }
    };
    return std::visit(TextForm{}, value);
}

QString CountText(qint64 count) {
    std::string text;
    appendNumberField(count, {}, text);
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString CountText(const SqlValue& count) {
    if (const auto* whole = std::get_if<qint64>(&count))
        return CountText(*whole);
    double number = 0;
    bool isNumber = false;
    if (const auto* real = std::get_if<double>(&count)) {
        number = *real;
        isNumber = true;
    } else if (const auto* text = std::get_if<QString>(&count)) {
        number = text->trimmed().toDouble(&isNumber);
    }
    // "#,##0" rounds half away from zero, as llround does.
    if (isNumber && std::fabs(number) < kLargestCount)
        return CountText(static_cast<qint64>(std::llround(number)));
    return rightAligned(NullToEmpty(count));
}

QString TableNameOf(QStringView key) {
    const qsizetype underscore = key.indexOf(QLatin1Char('_'));
    return (underscore < 0 ? key : key.left(underscore)).toString();
}

QString ZeroKilobyteText(double bytes) {
    const QString text = SizeText(bytes);
    if (QStringView(text).trimmed() == QLatin1String("1KB"))
        return rightAligned(QStringLiteral("0KB"));
    return text;
}

QString DisplayDateText(const QString& stored, bool european) {
    if (!european || stored.isEmpty())
        return stored;
    const auto clock = WallClockOfDateText(stored);
    if (!clock)
        return stored;
    const QDate date(clock->year, clock->month, clock->day);
    const QTime time(clock->hour, clock->minute, clock->second);
    return date.toString(u"d/M/yyyy") + QLatin1Char(' ') + time.toString(u"h:mm:ss ap");
}

} // namespace kestro
