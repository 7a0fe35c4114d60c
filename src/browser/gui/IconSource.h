#pragma once

#include <QIcon>
#include <QString>
#include <functional>

namespace kestro {

// The picture of an image key ("closed", "cd", "ktxt"...), as the tree and
// the contents list look them up.
using IconSource = std::function<QIcon(const QString& imageKey)>;

} // namespace kestro
