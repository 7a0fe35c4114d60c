#pragma once

#include <QString>

namespace kestro {

// The shortest decimal text that reads back as exactly `value`, with "." as
// decimal point and never a locale's separators: 115, 1.5, 1457664. Ordinary
// magnitudes are written out in full; only values below 0.000001 or from 1e21
// on take an exponent (1e-07, 1e+21), where digits would run away.
QString DecimalText(double value);

} // namespace kestro
