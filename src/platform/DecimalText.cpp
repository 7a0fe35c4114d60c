#include "platform/DecimalText.h"

#include <charconv>
#include <cmath>

namespace kestro {

QString DecimalText(double value) {
    if (value == 0)
        return QStringLiteral("0"); // also for -0
    // The longest text this writes is a sign and 0.000001 with 17 significant
    // digits, or 21 digits below 1e21: well inside the buffer.
    char buffer[48];
    const double magnitude = std::fabs(value);
    const bool plain = magnitude >= 1e-6 && magnitude < 1e21;
    const auto result =
        plain ? std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed)
              : std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

} // namespace kestro
