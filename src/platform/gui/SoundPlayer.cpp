#include "platform/gui/SoundPlayer.h"

#include "platform/ProgramFolder.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QMediaDevices>
#include <QPointer>
#include <QSoundEffect>

namespace kestro {

namespace {

// No cue is that long; a sound that never reports its end cannot hold the
// program longer than this.
constexpr int kLongestWaitMs = 30'000;

bool stillSounding(const QSoundEffect& effect) {
    return effect.status() == QSoundEffect::Loading || effect.isPlaying();
}

} // namespace

SoundPlayer::SoundPlayer(QString folder, QObject* parent)
    : QObject(parent), folder_(std::move(folder)) {}

void SoundPlayer::play(const QString& name, Wait wait) {
    if (enabled_)
        output(ProgramFolder::file(folder_, name), wait);
}

bool SoundPlayer::hasAudioOutput() {
    if (!hasAudioOutput_)
        hasAudioOutput_ = !QMediaDevices::audioOutputs().isEmpty();
    return *hasAudioOutput_;
}

void SoundPlayer::output(const QString& file, Wait wait) {
    if (!QFileInfo(file).isFile() || !hasAudioOutput())
        return;
    auto* effect = new QSoundEffect(this);
    const auto finishIfDone = [effect] {
        if (!stillSounding(*effect))
            effect->deleteLater();
    };
    connect(effect, &QSoundEffect::playingChanged, effect, finishIfDone);
    connect(effect, &QSoundEffect::statusChanged, effect, finishIfDone);
    effect->setSource(QUrl::fromLocalFile(file));
    effect->play();
    if (wait == Wait::No)
        return;
    const QDeadlineTimer deadline(kLongestWaitMs);
    const QPointer<QSoundEffect> watched(effect);
    while (watched && stillSounding(*watched) && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

} // namespace kestro
