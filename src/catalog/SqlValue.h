#pragma once

#include <QString>
#include <QtGlobal>
#include <variant>

namespace kestro {

// One value read from a catalog row: Null, a whole number, a floating-point
// number or a text.
using SqlValue = std::variant<std::monostate, qint64, double, QString>;

inline bool isNull(const SqlValue& v) {
    return std::holds_alternative<std::monostate>(v);
}

} // namespace kestro
