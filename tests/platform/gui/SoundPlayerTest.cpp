#include "platform/gui/SoundPlayer.h"

#include "support/RecordingSounds.h"
#include "support/TestSupport.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

using namespace kestro;

namespace {

// A mono 8 kHz wave file of silence lasting `ms` milliseconds.
QByteArray waveOfSilence(int ms) {
    const quint32 samples = quint32(8 * ms);
    QByteArray wave;
    QDataStream out(&wave, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + samples);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) // PCM, mono
        << quint32(8000) << quint32(8000)          // samples and bytes a second
        << quint16(1) << quint16(8);               // block size, bits a sample
    out.writeRawData("data", 4);
    out << samples;
    out.writeRawData(QByteArray(int(samples), char(0x80)).constData(), int(samples));
    return wave;
}

} // namespace

class SoundPlayerTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cuesPlayOnlyWhileSwitchedOn() {
        QTemporaryDir folder;
        test::RecordingSounds player(folder.path());
        player.play(cue::kClickDown);
        player.play(cue::kStartup, SoundPlayer::Wait::UntilEnd);
        player.setEnabled(false);
        player.play(cue::kShutdown);
        player.setEnabled(true);
        player.play(cue::kOpenWindow);
        QCOMPARE(player.played,
                 QStringList({"clickdown.wav", "startup.wav waiting", "openwindow.wav"}));
    }

    // A missing file is silent and never waits. With an audio output a cue
    // plays to its end; without one nothing waits. Either way the call comes
    // back soon after the sound's length.
    void waitingEndsWithTheSound() {
        QTemporaryDir folder;
        SoundPlayer player(folder.path());
        QElapsedTimer clock;
        clock.start();
        player.play(cue::kStartup, SoundPlayer::Wait::UntilEnd);
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));

        test::writeAll(folder.filePath(cue::kStartup), waveOfSilence(200));
        clock.restart();
        player.play(cue::kStartup, SoundPlayer::Wait::UntilEnd);
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
    }
};

QTEST_MAIN(SoundPlayerTest)
#include "SoundPlayerTest.moc"
