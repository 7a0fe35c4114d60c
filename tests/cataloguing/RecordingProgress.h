#pragma once

#include "cataloguing/ImportProgress.h"

#include <QStringList>

namespace kestro::test {

// An ImportProgress that records what it was shown and can ask to stop after
// a given number of yields.
class RecordingProgress : public ImportProgress {
public:
    QStringList titles, statuses;
    qint64 maximum = 0, value = 0;
    int yields = 0;
    int abortAfterYields = -1; // -1: never

    void setTitle(const QString& title) override { titles << title; }
    void setStatus(const QString& text) override { statuses << text; }
    void setProgressRange(qint64 max) override { maximum = max; }
    void setProgressValue(qint64 v) override { value = v; }
    void yieldEvents(int times) override { yields += times; }
    bool abortRequested() const override {
        return abortAfterYields >= 0 && yields >= abortAfterYields;
    }
};

} // namespace kestro::test
