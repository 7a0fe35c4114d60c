#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

namespace kestro::cli {

// One line of JSON Lines output: an object whose fields keep the order in
// which they are added. Every text comes out as valid JSON, whatever it
// holds (quotes, backslashes, line breaks, control characters); numbers that
// are unknown or not finite come out as null.
class JsonLine {
public:
    JsonLine& text(const char* key, const QString& value);
    JsonLine& number(const char* key, std::optional<double> value);
    JsonLine& flag(const char* key, bool value);
    // A moment as an ISO 8601 local time; null when it is not valid.
    JsonLine& moment(const char* key, const QDateTime& value);

    // "kind": "folder" or "file".
    JsonLine& kind(bool folder);
    // A stored size text ("      1,234KB") as "kilobytes", a number, beside
    // "size_text", the text as stored without its aligning spaces.
    JsonLine& sizeText(const QString& stored);
    // A stored date text ("3/5/98 2:07pm") as `key`, an ISO 8601 local time
    // ("1998-03-05T14:07:00", null when unreadable), beside `key`_text.
    JsonLine& dateText(const char* key, const QString& stored);

    // The object and its line end.
    QString line() const { return fields_ + QStringLiteral("}\n"); }

private:
    void key(const char* name);

    QString fields_;
};

} // namespace kestro::cli
