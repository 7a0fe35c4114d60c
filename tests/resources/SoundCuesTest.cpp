// The sound cues as the build made them: wave files of the right length that
// the program's sound player takes.

#include "support/GuiApplication.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>
#include <QtEndian>
#include <gtest/gtest.h>

using kestro::test::readAll;

namespace {

const QString kShareFolder = QStringLiteral(KESTRO_SHARE_BUILD_DIR);
const QString kBinFolder = QStringLiteral(KESTRO_BIN_BUILD_DIR);

struct CueLength {
    const char* fileName;
    double shortest, longest; // seconds
};

const CueLength kCues[] = {
    {"startup.wav", 0.5, 0.7},   {"shutdown.wav", 0.4, 0.6},   {"clickdown.wav", 0.01, 0.06},
    {"clickup.wav", 0.01, 0.06}, {"openwindow.wav", 0.1, 0.2}, {"catdone.wav", 0.4, 0.6},
};

quint32 le32(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

} // namespace

TEST(SoundCues, AreWellFormedMonoPcmWavesOfTheirLength) {
    for (const CueLength& expected : kCues) {
        SCOPED_TRACE(expected.fileName);
        const QByteArray bytes = readAll(kShareFolder + QLatin1Char('/') + expected.fileName);
        ASSERT_GE(bytes.size(), 12);
        ASSERT_TRUE(bytes.startsWith("RIFF") && bytes.mid(8, 4) == "WAVE");
        EXPECT_EQ(le32(bytes, 4), quint32(bytes.size() - 8));
        // The chunks, each padded to an even length, fill the file exactly.
        QByteArray format;
        qsizetype dataSize = -1;
        qsizetype at = 12;
        while (at + 8 <= bytes.size()) {
            const QByteArray id = bytes.mid(at, 4);
            const qsizetype size = le32(bytes, at + 4);
            ASSERT_LE(at + 8 + size, bytes.size()) << id.toStdString() << " runs past the end";
            if (id == "fmt ")
                format = bytes.mid(at + 8, 16);
            else if (id == "data")
                dataSize = size;
            at += 8 + size + size % 2;
        }
        EXPECT_EQ(at, bytes.size());
        ASSERT_EQ(format.size(), 16);
        // PCM, mono, 16 bits a sample.
        EXPECT_EQ(qFromLittleEndian<quint16>(format.constData()), 1);
        EXPECT_EQ(qFromLittleEndian<quint16>(format.constData() + 2), 1);
        EXPECT_EQ(qFromLittleEndian<quint16>(format.constData() + 14), 16);
        const quint32 sampleRate = le32(format, 4);
        EXPECT_EQ(le32(format, 8), sampleRate * 2) << "bytes a second";
        const double seconds = double(dataSize) / (2.0 * sampleRate);
        EXPECT_GE(seconds, expected.shortest);
        EXPECT_LE(seconds, expected.longest);
    }
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
