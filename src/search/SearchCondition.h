#pragma once

#include "catalog/Database.h"
#include "catalog/SqlValue.h"
#include "catalog/StoredTexts.h"
#include "search/SearchCriteria.h"

#include <string>
#include <vector>

namespace kestro {

// The condition a search puts on the rows of a volume's tables: SQL text over
// their columns with a "?" for every value, and the values, in order. No text
// the user typed is ever part of the SQL. An empty condition matches every row.
//
// Built from the window's criteria, each one that applies joined with AND:
//   name          the name matches NamePatternOf(named)           (any letter case)
//   date          between two valid dates, the date of the row lies within the
//                 days from the earlier to the later one, both whole days
//   description   the description holds the text, every character literal
//   size          the kilobytes of the size are =, >= or <= the number typed
//                 ("equal to", "at least", "at most"; any other text means =)
// A date or size box that holds no valid value (ReadSearchDate,
// ReadSearchKilobytes) puts no condition on the rows.
class SearchCondition {
public:
    // The columns of the rows select() gives, in this order.
    enum Column { Name, Parent, Size, Date, Description };

    SearchCondition() = default; // matches every row

    static SearchCondition fromCriteria(const SearchCriteria& criteria,
                                        int currentYear = CurrentYear());

    bool isEmpty() const { return sql_.empty(); }
    const std::string& sql() const { return sql_; }
    const std::vector<SqlValue>& values() const { return values_; }
    // The name pattern the condition holds names to; empty when none.
    const QString& namePattern() const { return namePattern_; }

    // The rows of a volume table that meet the condition, in table order,
    // with the columns above.
    Statement select(const Database& db, const QString& table) const;
    // The same among the rows with rowids from one number to another, both
    // bound with bindRowids() before each run.
    Statement selectRowids(const Database& db, const QString& table) const;
    void bindRowids(Statement& rows, qint64 first, qint64 last) const;

private:
    void add(const std::string& sql, std::vector<SqlValue> values);
    Statement prepare(const Database& db, const QString& table, const std::string& where,
                      int parametersBefore) const;

    std::string sql_;
    std::vector<SqlValue> values_;
    QString namePattern_;
};

} // namespace kestro
