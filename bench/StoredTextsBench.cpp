// Times the stored-text conversions over a million values each, the size of
// a large volume's import or a search over it. Prints nanoseconds per call.
#include "catalog/StoredTexts.h"

#include <QRandomGenerator>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace kestro;

namespace {

constexpr int kRows = 1000000;

// Runs `body` for every row and prints the time per call; the checksum keeps
// the work from being optimised away.
template <typename Body> void measure(const char* name, Body body) {
    const auto start = std::chrono::steady_clock::now();
    qint64 checksum = 0;
    for (int i = 0; i < kRows; ++i)
        checksum += body(i);
    const std::chrono::duration<double, std::nano> elapsed =
        std::chrono::steady_clock::now() - start;
    std::printf("%-44s %8.1f ns/call  (checksum %lld)\n", name, elapsed.count() / kRows,
                static_cast<long long>(checksum));
}

} // namespace

int main() {
    QRandomGenerator random(1);
    std::vector<quint64> sizes(kRows);
    std::vector<std::string> listingDates(kRows);
    std::vector<QDateTime> moments(kRows);
    std::vector<QString> sizeTexts(kRows);
    std::vector<QString> dateTexts(kRows);
    std::vector<std::string> sizeBytes(kRows);
    std::vector<std::string> dateBytes(kRows);
    for (int i = 0; i < kRows; ++i) {
        sizes[i] = random.generate64() >> random.bounded(24, 50);
        moments[i] = QDateTime(QDate(1980, 1, 1).addDays(random.bounded(16000)),
                               QTime(0, 0).addSecs(random.bounded(86400)));
        listingDates[i] = moments[i].toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString();
        sizeTexts[i] = SizeText(double(sizes[i]));
        dateTexts[i] = DateText(moments[i]);
        sizeBytes[i] = sizeTexts[i].toStdString();
        dateBytes[i] = dateTexts[i].toStdString();
    }

    std::string out;
    measure("SizeText(double) -> QString",
            [&](int i) { return SizeText(double(sizes[i])).size(); });
    measure("appendSizeText(quint64, std::string&)", [&](int i) {
        out.clear();
        appendSizeText(sizes[i], out);
        return qint64(out.size());
    });
    measure("DateText(QDateTime)", [&](int i) { return DateText(moments[i]).size(); });
    measure("QDateTime::fromString + DateText", [&](int i) {
        const QString text = QString::fromStdString(listingDates[i]);
        return DateText(QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"))).size();
    });
    measure("appendDateTextFromListing", [&](int i) {
        out.clear();
        return qint64(appendDateTextFromListing(listingDates[i], out));
    });
    measure("WallClockOfDateText(QStringView)",
            [&](int i) { return qint64(WallClockOfDateText(dateTexts[i], 2026)->day); });
    measure("ParseDateText(QStringView)",
            [&](int i) { return qint64(ParseDateText(dateTexts[i], 2026)->date().day()); });
    measure("KilobytesOfSizeText(QStringView)",
            [&](int i) { return qint64(*KilobytesOfSizeText(sizeTexts[i])); });
    measure("KilobytesOfSizeText(utf8)",
            [&](int i) { return qint64(*KilobytesOfSizeText(sizeBytes[i])); });
    measure("MomentOfDateText(QStringView, year)",
            [&](int i) { return *MomentOfDateText(dateTexts[i], 2026); });
    measure("MomentOfDateText(utf8, year)",
            [&](int i) { return *MomentOfDateText(dateBytes[i], 2026); });
    measure("MomentOfDateText(utf8, CurrentYear())",
            [&](int i) { return *MomentOfDateText(dateBytes[i]); });
    return 0;
}
