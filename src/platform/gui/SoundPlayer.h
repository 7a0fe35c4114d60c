#pragma once

#include <QObject>
#include <QString>
#include <optional>

namespace kestro {

// The sound cues, wave files in the program folder.
namespace cue {
inline const QString kStartup = QStringLiteral("startup.wav");
inline const QString kShutdown = QStringLiteral("shutdown.wav");
inline const QString kClickDown = QStringLiteral("clickdown.wav");
inline const QString kClickUp = QStringLiteral("clickup.wav");
inline const QString kOpenWindow = QStringLiteral("openwindow.wav");
inline const QString kCatalogDone = QStringLiteral("catdone.wav");
} // namespace cue

// Plays the sound cues while they are switched on (the option oSounds). A
// missing or unplayable file is silent, and without an audio output nothing
// plays and nothing waits.
class SoundPlayer : public QObject {
    Q_OBJECT
public:
    enum class Wait { No, UntilEnd };

    explicit SoundPlayer(QString folder, QObject* parent = nullptr);

    void setEnabled(bool on) { enabled_ = on; }
    bool isEnabled() const { return enabled_; }

    // Plays the cue `name` of the program folder; with Wait::UntilEnd the
    // call returns when it has ended, letting the interface run meanwhile.
    void play(const QString& name, Wait wait = Wait::No);

protected:
    // Plays one file; what the cues come to once they are switched on.
    virtual void output(const QString& file, Wait wait);

private:
    bool hasAudioOutput();

    QString folder_;
    bool enabled_ = true;
    std::optional<bool> hasAudioOutput_;
};

} // namespace kestro
