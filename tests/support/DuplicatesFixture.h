#pragma once

#include "support/CatalogFixture.h"

namespace kestro::test {

// Three volumes with known copies, in list order Alpha, Beta, Gamma:
//
//   song.mp3    40 KB  twice on Alpha                    -> 2 copies,  80 KB
//   report.txt   3 KB  on Alpha, Beta and Gamma          -> 3 copies,   9 KB
//   notes.doc    2 KB  on Alpha and Beta, other dates    -> 2 copies,   4 KB
//   photo.jpg          5 KB on Alpha, 9 KB on Beta       -> no copies
//   A.TXT / a.txt 1 KB on Alpha / Beta: other names      -> no copies
//   only.bin     1 KB  on Gamma                          -> no copies
template <typename Base> class DuplicatesFixtureOn : public CatalogFixtureOn<Base> {
protected:
    QString alpha, beta, gamma;

    void SetUp() override {
        const QDateTime day = at(1998, 12, 25, 22, 5);
        makeFile(this->folder("a"), "song.mp3", 40 * 1024, day);
        makeFile(this->folder("a"), "twice/song.mp3", 40 * 1024, day);
        makeFile(this->folder("a"), "DOCS/report.txt", 3 * 1024, day);
        makeFile(this->folder("a"), "notes.doc", 2 * 1024, day);
        makeFile(this->folder("a"), "photo.jpg", 5 * 1024, day);
        makeFile(this->folder("a"), "A.TXT", 1024, day);
        makeFile(this->folder("b"), "backup/report.txt", 3 * 1024, day);
        makeFile(this->folder("b"), "notes.doc", 2 * 1024, at(1999, 1, 2, 9, 30));
        makeFile(this->folder("b"), "photo.jpg", 9 * 1024, day);
        makeFile(this->folder("b"), "a.txt", 1024, day);
        makeFile(this->folder("c"), "report.txt", 3 * 1024, day);
        makeFile(this->folder("c"), "only.bin", 1024, day);
        alpha = this->catalogAs("a", "Alpha", 'Z');
        beta = this->catalogAs("b", "Beta", 'Y');
        gamma = this->catalogAs("c", "Gamma", 'X');
    }
};

using DuplicatesFixture = DuplicatesFixtureOn<::testing::Test>;
using DuplicatesFixtureOnEachEngine = DuplicatesFixtureOn<::testing::TestWithParam<Engine>>;

} // namespace kestro::test
