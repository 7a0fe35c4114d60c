#include "JsonLine.h"

#include "catalog/StoredTexts.h"

#include <cmath>

namespace kestro::cli {

namespace {

void appendQuoted(QString& out, QStringView text) {
    out += QLatin1Char('"');
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"':
            out += QLatin1String("\\\"");
            break;
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        default:
            // The other control characters, and the two line separators that
            // some JSON readers take for line ends.
            if (c.unicode() < 0x20 || c.unicode() == 0x2028 || c.unicode() == 0x2029)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    out += QLatin1Char('"');
}

} // namespace

void JsonLine::key(const char* name) {
    fields_ += fields_.isEmpty() ? QLatin1Char('{') : QLatin1Char(',');
    appendQuoted(fields_, QString::fromLatin1(name));
    fields_ += QLatin1Char(':');
}

JsonLine& JsonLine::text(const char* name, const QString& value) {
    key(name);
    appendQuoted(fields_, value);
    return *this;
}

JsonLine& JsonLine::number(const char* name, std::optional<double> value) {
    key(name);
    if (!value || !std::isfinite(*value))
        fields_ += QLatin1String("null");
    else if (*value == std::trunc(*value) && std::abs(*value) < 9e15)
        fields_ += QString::number(qint64(*value));
    else
        fields_ += QString::number(*value, 'g', 17);
    return *this;
}

JsonLine& JsonLine::flag(const char* name, bool value) {
    key(name);
    fields_ += value ? QLatin1String("true") : QLatin1String("false");
    return *this;
}

JsonLine& JsonLine::moment(const char* name, const QDateTime& value) {
    if (!value.isValid()) {
        key(name);
        fields_ += QLatin1String("null");
        return *this;
    }
    return text(name, value.toLocalTime().toString(Qt::ISODate).left(19));
}

JsonLine& JsonLine::kind(bool folder) {
    return text("kind", folder ? QStringLiteral("folder") : QStringLiteral("file"));
}

JsonLine& JsonLine::sizeText(const QString& stored) {
    number("kilobytes", KilobytesOfSizeText(QStringView(stored)));
    return text("size_text", stored.trimmed());
}

JsonLine& JsonLine::dateText(const char* name, const QString& stored) {
    key(name);
    if (const std::optional<WallClock> t = WallClockOfDateText(stored))
        fields_ += QString::asprintf("\"%04d-%02d-%02dT%02d:%02d:%02d\"", t->year, t->month, t->day,
                                     t->hour, t->minute, t->second);
    else
        fields_ += QLatin1String("null");
    return text((QByteArray(name) + "_text").constData(), stored);
}

} // namespace kestro::cli
