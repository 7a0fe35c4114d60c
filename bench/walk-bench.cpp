// Writes the two listings of a folder and prints the counts and the time:
//   walk-bench ROOT OUTPUT-FOLDER [THREADS]
#include "cataloguing/ListingWriter.h"

#include <QString>
#include <chrono>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s ROOT OUTPUT-FOLDER [THREADS]\n", argv[0]);
        return 2;
    }
    const QString output = QString::fromLocal8Bit(argv[2]);
    const unsigned threads = argc > 3 ? static_cast<unsigned>(std::atoi(argv[3])) : 0;
    const auto start = std::chrono::steady_clock::now();
    kestro::ListingWriter writer({QString::fromLocal8Bit(argv[1]), QStringLiteral("D:"),
                                  output + QStringLiteral("/files.txt"),
                                  output + QStringLiteral("/dirs.txt")},
                                 threads);
    const kestro::ListingResult result = writer.wait();
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
    if (!result.succeeded()) {
        std::fprintf(stderr, "%s\n", qPrintable(result.error));
        return 1;
    }
    std::printf("%llu folders, %llu files, %llu bytes, %llu unreadable, %llu substituted, %.3f s\n",
                static_cast<unsigned long long>(result.folders),
                static_cast<unsigned long long>(result.files),
                static_cast<unsigned long long>(result.totalBytes),
                static_cast<unsigned long long>(result.unreadable),
                static_cast<unsigned long long>(result.substitutedNames), seconds.count());
    return 0;
}
