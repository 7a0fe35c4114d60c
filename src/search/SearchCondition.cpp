#include "search/SearchCondition.h"

#include "search/NamePattern.h"
#include "search/SearchInputs.h"

#include <QDateTime>
#include <QTimeZone>
#include <algorithm>

namespace kestro {

namespace {

constexpr qint64 kLastSecondOfDay = 86399;

// The moment a day begins, on the clock kestro_moment reads date texts by.
qint64 momentOfDay(const QDate& day) {
    return QDateTime(day, QTime(0, 0), QTimeZone::utc()).toSecsSinceEpoch();
}

std::string sizeComparisonOperator(const QString& comboText) {
    if (comboText == QLatin1String("at least"))
        return ">=";
    if (comboText == QLatin1String("at most"))
        return "<=";
    return "=";
}

} // namespace

SearchCondition SearchCondition::fromCriteria(const SearchCriteria& criteria, int currentYear) {
    SearchCondition condition;
    if (!criteria.named.isEmpty()) {
        condition.namePattern_ = NamePatternOf(criteria.named);
        condition.add("kestro_like(?, name)", {condition.namePattern_});
    }

    if (criteria.between) {
        const auto first = ReadSearchDate(criteria.firstDate, criteria.europeanDates, currentYear);
        const auto second =
            ReadSearchDate(criteria.secondDate, criteria.europeanDates, currentYear);
        // Between takes its two dates in either order.
        if (first && second)
            condition.add("kestro_moment(thedate) BETWEEN ? AND ?",
                          {momentOfDay(std::min(*first, *second)),
                           momentOfDay(std::max(*first, *second)) + kLastSecondOfDay});
    }

    if (!criteria.descriptionContains.isEmpty())
        condition.add("kestro_contains(?, thedescription)", {criteria.descriptionContains});

    if (!criteria.sizeComparison.isEmpty())
        if (const auto kilobytes = ReadSearchKilobytes(criteria.sizeKilobytes))
            condition.add("kestro_kb(size) " + sizeComparisonOperator(criteria.sizeComparison) +
                              " ?",
                          {*kilobytes});
    return condition;
}

void SearchCondition::add(const std::string& sql, std::vector<SqlValue> values) {
    if (!sql_.empty())
        sql_ += " AND ";
    sql_ += sql;
    values_.insert(values_.end(), std::make_move_iterator(values.begin()),
                   std::make_move_iterator(values.end()));
}

Statement SearchCondition::select(const Database& db, const QString& table) const {
    return prepare(db, table, isEmpty() ? std::string() : " WHERE " + sql_, 0);
}

// The two rowids come first, as parameters 1 and 2.
Statement SearchCondition::selectRowids(const Database& db, const QString& table) const {
    return prepare(db, table, " WHERE rowid BETWEEN ? AND ?" + (isEmpty() ? "" : " AND " + sql_),
                   2);
}

void SearchCondition::bindRowids(Statement& rows, qint64 first, qint64 last) const {
    rows.bind(1, first).bind(2, last);
}

Statement SearchCondition::prepare(const Database& db, const QString& table,
                                   const std::string& where, int parametersBefore) const {
    Statement rows = db.prepare("SELECT name, parent, size, thedate, thedescription FROM " +
                                quoteIdentifier(table) + where);
    int index = parametersBefore;
    for (const SqlValue& value : values_)
        rows.bind(++index, value);
    return rows;
}

} // namespace kestro
