#include "search/DuplicateFiles.h"

#include "catalog/Schema.h"
#include "support/DuplicatesFixture.h"

using namespace kestro;

namespace {

class DuplicateFilesTest : public test::DuplicatesFixtureOnEachEngine {
protected:
    std::vector<CatalogVolume> volumesNamed(const QStringList& names) const {
        QStringList unknown;
        return names.isEmpty() ? ListVolumes(db()) : VolumesNamed(db(), names, unknown);
    }
};

// "Volume:name" of each file.
QStringList filesOf(const std::vector<SearchResult>& files) {
    QStringList texts;
    for (const SearchResult& file : files)
        texts << file.volume + ":" + file.name;
    return texts;
}

// Each group as "total: files".
QStringList groupsOf(const std::vector<DuplicateGroup>& groups) {
    QStringList texts;
    for (const DuplicateGroup& group : groups)
        texts << QString::number(group.totalKilobytes.value_or(-1)) + ": " +
                     filesOf(group.files).join(' ');
    return texts;
}

} // namespace

TEST_P(DuplicateFilesTest, GroupsFilesOfEqualNameAndSizeLargestGroupsFirst) {
    struct Case {
        const char* what;
        QStringList volumes;
        QString named, atLeast;
        bool sameDate;
        QStringList groups;
    };
    const Case cases[] = {
        {"all volumes; letter case and size tell files apart",
         {},
         {},
         {},
         false,
         {"80: Alpha:song.mp3 Alpha:song.mp3",
          "9: Alpha:report.txt Beta:report.txt Gamma:report.txt",
          "4: Alpha:notes.doc Beta:notes.doc"}},
        {"equal dates too",
         {},
         {},
         {},
         true,
         {"80: Alpha:song.mp3 Alpha:song.mp3",
          "9: Alpha:report.txt Beta:report.txt Gamma:report.txt"}},
        {"chosen volumes only",
         {"Alpha", "Gamma"},
         {},
         {},
         false,
         {"80: Alpha:song.mp3 Alpha:song.mp3", "6: Alpha:report.txt Gamma:report.txt"}},
        {"a name pattern", {}, "*.doc", {}, false, {"4: Alpha:notes.doc Beta:notes.doc"}},
        {"a pattern matches in any letter case",
         {},
         "REPORT",
         {},
         false,
         {"9: Alpha:report.txt Beta:report.txt Gamma:report.txt"}},
        {"a least size",
         {},
         {},
         "3",
         false,
         {"80: Alpha:song.mp3 Alpha:song.mp3",
          "9: Alpha:report.txt Beta:report.txt Gamma:report.txt"}},
        {"nothing alike", {"Gamma"}, {}, {}, false, {}},
    };
    for (const Case& c : cases) {
        DuplicateCriteria criteria;
        criteria.volumes = volumesNamed(c.volumes);
        criteria.named = c.named;
        criteria.atLeastKilobytes = c.atLeast;
        criteria.sameDate = c.sameDate;
        const std::vector<DuplicateGroup> groups = FindDuplicates(db(), criteria);
        EXPECT_EQ(groupsOf(groups), c.groups) << c.what;
        for (const DuplicateGroup& group : groups)
            EXPECT_EQ(group.count(), qint64(group.files.size())) << c.what;
    }
}

TEST_P(DuplicateFilesTest, GroupsOfEqualTotalsFollowByName) {
    for (const char* name : {"e.dat", "c.dat", "a.dat", "d.dat", "b.dat"})
        for (const char* copy : {"x/", "y/"})
            test::makeFile(folder("d"), QString(copy) + name, 1024);
    DuplicateCriteria criteria;
    criteria.volumes = {{catalogAs("d", "Delta", 'W'), "Delta"}};
    EXPECT_EQ(groupsOf(FindDuplicates(db(), criteria)),
              (QStringList{"2: Delta:a.dat Delta:a.dat", "2: Delta:b.dat Delta:b.dat",
                           "2: Delta:c.dat Delta:c.dat", "2: Delta:d.dat Delta:d.dat",
                           "2: Delta:e.dat Delta:e.dat"}));
}

TEST_P(DuplicateFilesTest, ResultsCarryLocationSizeAndDate) {
    DuplicateCriteria criteria;
    criteria.volumes = volumesNamed({"Alpha"});
    const std::vector<DuplicateGroup> groups = FindDuplicates(db(), criteria);
    ASSERT_EQ(groups.size(), 1u);
    const SearchResult& top = groups[0].files[0];
    const SearchResult& below = groups[0].files[1];
    EXPECT_EQ(top.location, "Z:");
    EXPECT_EQ(below.location, "Z:\\twice");
    EXPECT_EQ(top.tablename, alpha);
    EXPECT_EQ(top.size.trimmed(), "40KB");
    EXPECT_EQ(top.date, "12/25/98 10:05pm");
    EXPECT_EQ(top.modified, "12/25/98 10:05pm");
}

TEST_P(DuplicateFilesTest, SingleCopiesAreTheFilesNoOtherVolumeHolds) {
    struct Case {
        QStringList volumes;
        bool sameDate;
        QStringList files;
    };
    const Case cases[] = {
        {{"Alpha"}, false, {"Alpha:A.TXT", "Alpha:photo.jpg", "Alpha:song.mp3", "Alpha:song.mp3"}},
        {{"Alpha"},
         true,
         {"Alpha:A.TXT", "Alpha:notes.doc", "Alpha:photo.jpg", "Alpha:song.mp3", "Alpha:song.mp3"}},
        {{"Gamma"}, false, {"Gamma:only.bin"}},
        {{"Alpha", "Beta"},
         false,
         {"Alpha:A.TXT", "Alpha:notes.doc", "Alpha:photo.jpg", "Alpha:song.mp3", "Alpha:song.mp3",
          "Beta:a.txt", "Beta:notes.doc", "Beta:photo.jpg"}},
    };
    for (const Case& c : cases) {
        DuplicateCriteria criteria;
        criteria.volumes = volumesNamed(c.volumes);
        criteria.sameDate = c.sameDate;
        QStringList found = filesOf(FindSingleCopies(db(), criteria));
        EXPECT_EQ(found, c.files) << c.volumes.join(',').toStdString() << " " << c.sameDate;
    }
}

TEST_P(DuplicateFilesTest, AVolumeWithoutFilesTableHasNoFiles) {
    db().execute("DROP TABLE " + quoteIdentifier(schema::filesTable(gamma)));
    DuplicateCriteria criteria;
    criteria.volumes = volumesNamed({"Gamma"});
    EXPECT_TRUE(FindDuplicates(db(), criteria).empty());
    EXPECT_TRUE(FindSingleCopies(db(), criteria).empty());
    criteria.volumes = volumesNamed({"Alpha", "Beta", "Gamma"});
    criteria.named = "report";
    EXPECT_EQ(groupsOf(FindDuplicates(db(), criteria)),
              QStringList{"6: Alpha:report.txt Beta:report.txt"});
}

INSTANTIATE_TEST_SUITE_P(, DuplicateFilesTest, test::kEachEngine, test::engineName);
