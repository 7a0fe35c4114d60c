#include "catalog/NameIndex.h"

#include "ScratchCatalog.h"
#include "catalog/NameCandidates.h"
#include "catalog/SqlFunctions.h"

#include <gtest/gtest.h>

using namespace kestro;

namespace {

constexpr char kEdge = NameCandidates::kNameEdge;

// The rowids of the rows whose folded name, between two edges, holds the
// needle: what the index must give, found by reading every row.
std::vector<qint64> rowsHolding(const Database& db, const QString& table, std::string_view needle) {
    std::vector<qint64> rowids;
    Statement rows = db.prepare("SELECT rowid, name FROM " + quoteIdentifier(table));
    std::string folded;
    while (rows.next()) {
        folded.assign(1, kEdge);
        appendFoldedName(rows.utf8(1), folded);
        folded += kEdge;
        if (folded.find(needle) != std::string::npos)
            rowids.push_back(rows.integer(0));
    }
    return rowids;
}

std::vector<qint64> candidates(const Database& db, const QString& table, std::string_view needle) {
    std::vector<qint64> rowids;
    NameCandidates(db).find(table, needle, [&](std::span<const qint64> found) {
        EXPECT_FALSE(found.empty());
        rowids.insert(rowids.end(), found.begin(), found.end());
        return true;
    });
    return rowids;
}

} // namespace

// A table of two segments (more than 256 blocks of 1,024 names), whose
// rowids have gaps, with names of every script and of every length.
TEST(NameIndex, GivesExactlyTheRowsWhoseNameHoldsTheNeedleInRowidOrder) {
    const test::ScratchCatalog c;
    c.db.executeScript(
        "CREATE TABLE big_files AS SELECT * FROM template_files;"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300000) "
        "INSERT INTO big_files (name, parent) SELECT CASE i % 5 "
        "  WHEN 0 THEN printf('IMG_%04d.JPG', i % 10000) WHEN 1 THEN printf('Ünïcödé %d', i) "
        "  WHEN 2 THEN printf('report %d.doc', i / 7) WHEN 3 THEN 'x' ELSE printf('%d', i) END, "
        "'D:' FROM n;"
        "DELETE FROM big_files WHERE rowid % 997 = 0;");
    ASSERT_TRUE(IndexNamesOf(c.db, "big_files"));
    const std::string start(1, kEdge), end(1, kEdge);
    for (const std::string& needle :
         {std::string("img_0042"), start + "img_12", "345.jpg" + end, std::string("ünïcödé 29"),
          std::string("report 4"), start + "x" + end, std::string("99"), std::string("nowhere")}) {
        SCOPED_TRACE(
            QString::fromStdString(needle).replace(QChar::ReplacementCharacter, "|").toStdString());
        EXPECT_EQ(candidates(c.db, "big_files", needle), rowsHolding(c.db, "big_files", needle));
    }
    EXPECT_EQ(std::get<qint64>(c.db.scalar("SELECT count(*) FROM name_index_segments")), 2);

    // A rare name is looked for in a few of the 293 blocks, not in all.
    const NameCandidates index(c.db);
    index.find("big_files", "img_0042.jpg", [](std::span<const qint64>) { return true; });
    EXPECT_LT(index.blocksRead(), 30);
}

TEST(NameIndex, AnEmptyTableIsCoveredAndAStoppedIndexingWritesNothing) {
    const test::ScratchCatalog c;
    c.db.executeScript("CREATE TABLE v_files AS SELECT * FROM template_files;"
                       "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                       "WHERE i < 40000) INSERT INTO v_files (name) SELECT 'f' || i FROM n;"
                       "CREATE TABLE v_dirs AS SELECT * FROM template_dirs;");
    ASSERT_TRUE(IndexNamesOf(c.db, "v_dirs"));
    EXPECT_TRUE(NameCandidates(c.db).covers("V_DIRS")) << "table names ignore letter case";
    EXPECT_TRUE(candidates(c.db, "v_dirs", "anything").empty());

    EXPECT_FALSE(IndexNamesOf(c.db, "v_files", [] { return false; }));
    EXPECT_FALSE(NameCandidates(c.db).covers("v_files"));
    EXPECT_EQ(std::get<qint64>(c.db.scalar("SELECT count(*) FROM name_index_blocks")), 0);
}
