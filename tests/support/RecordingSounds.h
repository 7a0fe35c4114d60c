#pragma once

#include "platform/gui/SoundPlayer.h"

#include <QFileInfo>
#include <QStringList>

namespace kestro::test {

// A sound player that plays nothing and records the cues it was asked to
// play while switched on: "startup.wav waiting", "clickup.wav".
class RecordingSounds : public SoundPlayer {
public:
    using SoundPlayer::SoundPlayer;
    QStringList played;

protected:
    void output(const QString& file, Wait wait) override {
        played << QFileInfo(file).fileName() + (wait == Wait::UntilEnd ? " waiting" : "");
    }
};

} // namespace kestro::test
