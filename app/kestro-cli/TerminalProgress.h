#pragma once

#include <QElapsedTimer>
#include <QString>
#include <atomic>

namespace kestro::cli {

// One progress line on stderr, redrawn in place at most ten times a second,
// and only when stderr is a terminal. Ctrl+C while it lives asks the work to
// stop instead of killing the program, so a run can end cleanly.
class TerminalProgress {
public:
    TerminalProgress();
    ~TerminalProgress();
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    void setStatus(const QString& text);
    void setRange(qint64 maximum);
    void setValue(qint64 value);
    // A second part of the line, after the status (counts of a walk).
    void setDetail(const QString& text);
    // Redraws the line when the last drawing is old enough.
    void tick();
    // Ends the line so that what follows starts on a line of its own.
    void clear();

    bool interrupted() const;
    void clearInterrupt();

private:
    void draw();

    bool terminal_;
    QString status_, detail_;
    qint64 maximum_ = 0, value_ = 0;
    QElapsedTimer sinceDrawn_;
    bool drawn_ = false;
};

} // namespace kestro::cli
