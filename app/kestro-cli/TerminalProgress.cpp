#include "TerminalProgress.h"

#include "Command.h"

#include <algorithm>
#include <csignal>
#include <unistd.h>

namespace kestro::cli {

namespace {

constexpr int kRedrawMs = 100;
constexpr int kLineWidth = 79;
constexpr int kBarWidth = 20;

std::atomic<bool> interruptRequested{false};

extern "C" void onInterrupt(int) {
    interruptRequested.store(true);
}

} // namespace

TerminalProgress::TerminalProgress() : terminal_(::isatty(STDERR_FILENO) == 1) {
    interruptRequested.store(false);
    std::signal(SIGINT, onInterrupt);
    sinceDrawn_.start();
}

TerminalProgress::~TerminalProgress() {
    clear();
    std::signal(SIGINT, SIG_DFL);
}

void TerminalProgress::setStatus(const QString& text) {
    if (text == status_)
        return;
    status_ = text;
    detail_.clear();
    maximum_ = value_ = 0;
    draw();
}

void TerminalProgress::setRange(qint64 maximum) {
    maximum_ = maximum;
}
void TerminalProgress::setValue(qint64 value) {
    value_ = value;
}
void TerminalProgress::setDetail(const QString& text) {
    detail_ = text;
}

void TerminalProgress::tick() {
    if (sinceDrawn_.elapsed() >= kRedrawMs)
        draw();
}

void TerminalProgress::draw() {
    sinceDrawn_.restart();
    if (!terminal_ || status_.isEmpty() || status_ == QLatin1String("<idle>"))
        return;
    QString line = status_;
    if (!detail_.isEmpty())
        line += QLatin1Char(' ') + detail_;
    if (maximum_ > 0) {
        const qint64 percent = std::clamp<qint64>(value_ * 100 / maximum_, 0, 100);
        const int filled = int(percent * kBarWidth / 100);
        line += QStringLiteral(" [%1%2] %3%")
                    .arg(QString(filled, QLatin1Char('#')),
                         QString(kBarWidth - filled, QLatin1Char(' ')))
                    .arg(percent);
    }
    printError(QLatin1Char('\r') + line.left(kLineWidth) + QStringLiteral("\x1b[K"));
    drawn_ = true;
}

void TerminalProgress::clear() {
    if (drawn_)
        printError(QStringLiteral("\r\x1b[K"));
    drawn_ = false;
}

bool TerminalProgress::interrupted() const {
    return interruptRequested.load();
}
void TerminalProgress::clearInterrupt() {
    interruptRequested.store(false);
}

} // namespace kestro::cli
