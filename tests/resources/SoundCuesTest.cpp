// The sound cues as the build made them: wave files the program can play,
// of the right length, at a modest level, starting and ending in silence.

#include "support/GuiApplication.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>
#include <QtEndian>
#include <cmath>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

using kestro::test::readAll;

namespace {

const QString kShareFolder = QStringLiteral(KESTRO_SHARE_BUILD_DIR);
const QString kBinFolder = QStringLiteral(KESTRO_BIN_BUILD_DIR);

// A wave file read by its chunks, the way a player reads it.
struct Wave {
    int format = 0;
    int channels = 0;
    int sampleRate = 0;
    int byteRate = 0;
    int blockAlign = 0;
    int bitsPerSample = 0;
    std::vector<double> samples; // full scale is 1

    double seconds() const { return double(samples.size()) / sampleRate; }
};

quint32 le32(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}
quint16 le16(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

// Nothing when the RIFF structure is broken: a size that does not match the
// file, a chunk running past the end, "fmt " or "data" missing.
std::optional<Wave> readWave(const QByteArray& bytes) {
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE" ||
        le32(bytes, 4) != quint32(bytes.size() - 8))
        return std::nullopt;
    Wave wave;
    bool haveFormat = false;
    bool haveData = false;
    for (qsizetype at = 12; at + 8 <= bytes.size();) {
        const QByteArray id = bytes.mid(at, 4);
        const qsizetype size = le32(bytes, at + 4);
        const qsizetype body = at + 8;
        if (body + size > bytes.size())
            return std::nullopt;
        if (id == "fmt " && size >= 16) {
            wave.format = le16(bytes, body);
            wave.channels = le16(bytes, body + 2);
            wave.sampleRate = int(le32(bytes, body + 4));
            wave.byteRate = int(le32(bytes, body + 8));
            wave.blockAlign = le16(bytes, body + 12);
            wave.bitsPerSample = le16(bytes, body + 14);
            haveFormat = true;
        } else if (id == "data" && haveFormat && wave.bitsPerSample == 16) {
            if (size % 2 != 0)
                return std::nullopt;
            for (qsizetype i = 0; i < size; i += 2)
                wave.samples.push_back(qFromLittleEndian<qint16>(bytes.constData() + body + i) /
                                       32768.0);
            haveData = true;
        }
        at = body + size + (size % 2); // chunks are padded to an even length
    }
    if (!haveFormat || !haveData)
        return std::nullopt;
    return wave;
}

// How often the signal crosses zero per second over a stretch of it: a rough
// measure of the pitch that is heard.
double crossingsPerSecond(const Wave& wave, double from, double to) {
    const auto first = std::size_t(from * wave.sampleRate);
    const auto last = std::min(wave.samples.size(), std::size_t(to * wave.sampleRate));
    int crossings = 0;
    for (std::size_t i = first + 1; i < last; ++i)
        if ((wave.samples[i - 1] < 0) != (wave.samples[i] < 0))
            ++crossings;
    return crossings / (double(last - first) / wave.sampleRate);
}

double peakOf(const Wave& wave) {
    double peak = 0;
    for (double sample : wave.samples)
        peak = std::max(peak, std::abs(sample));
    return peak;
}

struct CueLength {
    const char* fileName;
    double shortest, longest; // seconds
};

const CueLength kCues[] = {
    {"startup.wav", 0.5, 0.7},   {"shutdown.wav", 0.4, 0.6},   {"clickdown.wav", 0.01, 0.06},
    {"clickup.wav", 0.01, 0.06}, {"openwindow.wav", 0.1, 0.2}, {"catdone.wav", 0.4, 0.6},
};

Wave cue(const char* fileName) {
    const auto wave = readWave(readAll(kShareFolder + QLatin1Char('/') + fileName));
    if (!wave)
        ADD_FAILURE() << fileName << " is not a well-formed wave file";
    return wave.value_or(Wave{});
}

} // namespace

TEST(SoundCues, AreShortQuietMonoPcmWavesThatStartAndEndInSilence) {
    for (const CueLength& expected : kCues) {
        SCOPED_TRACE(expected.fileName);
        const Wave wave = cue(expected.fileName);
        ASSERT_FALSE(wave.samples.empty());
        EXPECT_EQ(wave.format, 1); // PCM
        EXPECT_EQ(wave.channels, 1);
        EXPECT_EQ(wave.bitsPerSample, 16);
        EXPECT_TRUE(wave.sampleRate == 22050 || wave.sampleRate == 44100) << wave.sampleRate;
        EXPECT_EQ(wave.blockAlign, 2);
        EXPECT_EQ(wave.byteRate, wave.sampleRate * 2);

        EXPECT_GE(wave.seconds(), expected.shortest);
        EXPECT_LE(wave.seconds(), expected.longest);
        // Clearly audible, yet well below full scale: no clipping, no blast.
        EXPECT_GE(peakOf(wave), 0.2);
        EXPECT_LE(peakOf(wave), 0.6);
        // A cue that starts or stops away from zero clicks.
        EXPECT_LT(std::abs(wave.samples.front()), 0.01);
        EXPECT_LT(std::abs(wave.samples.back()), 0.01);
    }
}

TEST(SoundCues, ChordsMoveTheWayTheirMomentsDo) {
    // Start-up rises and exit falls; the two ticks are told apart by pitch.
    const Wave startup = cue("startup.wav");
    const Wave shutdown = cue("shutdown.wav");
    EXPECT_GT(crossingsPerSecond(startup, 0.30, 0.40), 1.3 * crossingsPerSecond(startup, 0, 0.07));
    EXPECT_LT(crossingsPerSecond(shutdown, 0.30, 0.40),
              0.8 * crossingsPerSecond(shutdown, 0, 0.07));

    const Wave down = cue("clickdown.wav");
    const Wave up = cue("clickup.wav");
    EXPECT_GT(crossingsPerSecond(up, 0, up.seconds()),
              1.2 * crossingsPerSecond(down, 0, down.seconds()));
}

TEST(SoundCues, LoadIntoTheSoundPlayerOfTheDesktopProgram) {
    kestro::test::ensureGuiApplication();
    for (const CueLength& expected : kCues) {
        SCOPED_TRACE(expected.fileName);
        QSoundEffect effect;
        effect.setSource(QUrl::fromLocalFile(kShareFolder + QLatin1Char('/') + expected.fileName));
        // The file is decoded whether or not an audio device is there; a file
        // the player cannot take stays loading or ends in an error.
        const QDeadlineTimer deadline(10000);
        while (effect.status() != QSoundEffect::Ready && effect.status() != QSoundEffect::Error &&
               !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        EXPECT_EQ(effect.status(), QSoundEffect::Ready);
    }
}

TEST(BuildTree, ProgramFolderHoldsWhatAnInstallationSeedsOneWith) {
    // The build tree's bin/ is a portable program folder: what an
    // installation seeds the per-user folder with from share/kestro must be
    // there already.
    QStringList names{QStringLiteral("kestro2.html")};
    for (const CueLength& expected : kCues)
        names << QLatin1String(expected.fileName);
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        ASSERT_TRUE(QFileInfo::exists(kBinFolder + QLatin1Char('/') + name));
        EXPECT_EQ(readAll(kBinFolder + QLatin1Char('/') + name),
                  readAll(kShareFolder + QLatin1Char('/') + name));
    }
}
