#include "platform/CsvText.h"

namespace kestro {

void AppendCsvLine(const QStringList& values, QByteArray& out) {
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i > 0)
            out += ',';
        QString quoted = values[i];
        quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        out += '"' + quoted.toUtf8() + '"';
    }
    out += "\r\n";
}

} // namespace kestro
