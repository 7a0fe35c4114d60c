#include "search/NamePattern.h"

namespace kestro {

namespace {

bool isWildcard(QChar c) {
    return c == QLatin1Char('*') || c == QLatin1Char('?');
}

} // namespace

QString NamePatternOf(const QString& namedText) {
    QString text = namedText;
    // "abc*.*" means the same as "abc*".
    if (text.endsWith(QLatin1String("*.*")))
        text.chop(2);
    // "*doc*" is looked for anywhere, like "doc".
    if (text.startsWith(QLatin1Char('*')) && text.endsWith(QLatin1Char('*'))) {
        text.remove(0, 1);
        text.chop(1);
    }
    QString core;
    bool lead = false;
    bool trail = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!isWildcard(text[i]))
            core += text[i];
        else if (i == 0)
            lead = true;
        else
            trail = true;
    }
    if (!lead && !trail)
        lead = trail = true;
    const QString star = QStringLiteral("*");
    return (lead ? star : QString()) + core + (trail ? star : QString());
}

} // namespace kestro
