#pragma once

#include <QString>
#include <QtGlobal>

namespace kestro {

// Where the listing imports show how far they are and learn that the user
// wants to stop: the catalog dialog's title, status line and progress bar,
// or kestro-cli's progress line.
class ImportProgress {
public:
    virtual ~ImportProgress() = default;

    virtual void setTitle(const QString& title) = 0;
    virtual void setStatus(const QString& text) = 0;
    virtual void setProgressRange(qint64 maximum) = 0;
    virtual void setProgressValue(qint64 value) = 0;
    // Lets pending user-interface events run `times` times. Called often
    // (after every 11th listing line): an implementation keeps it cheap.
    virtual void yieldEvents(int times) = 0;
    virtual bool abortRequested() const = 0;
};

} // namespace kestro
