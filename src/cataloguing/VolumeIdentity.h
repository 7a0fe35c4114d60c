#pragma once

#include "platform/DriveSystem.h"
#include "platform/VolumeMarker.h"

#include <QDateTime>
#include <QString>
#include <functional>
#include <optional>

namespace kestro {

// Every catalogued volume is known by an identifier: the prefix of its tables
// and of its tree keys (see VolumeMarker.h for how a volume carries it).

// Where identifying a volume reports to the user: the status line, and
// notices the user has to acknowledge (never shown by the core itself). The
// status callback is the place to let pending window events run.
struct IdentifyFeedback {
    std::function<void(const QString&)> status;
    std::function<void(const QString&)> message;
};

// The days of the months January through `month`, February always counting
// 28; 0 for a month below 1, 365 for one above 12.
qint32 DaysThroughMonth(int month);

// A new identifier from the local time: the seconds since the start of 1996,
// counting every year as 365 days and every month at its non-leap length,
// written in plain decimal (a minus sign only for a clock set before 1996).
// The year and month terms and the total are 32-bit; a time so far from 1996
// that they overflow wraps as two's complement arithmetic does.
QString MakeVolumeId(const QDateTime& localNow);
QString MakeVolumeId();

// The clock identifiers are made from, unless a caller gives another.
QDateTime CurrentLocalTime();

// Writes `identifier` and CR LF as the marker file of `root`, replacing any
// marker there (a symbolic link by that name is removed, never followed), and
// hides it. False when it cannot be written or hidden.
bool WriteVolumeMarker(const QString& root, const QString& identifier, DriveSystem& drives);

// The identifier of the volume in the folder `root`, whose drive type the
// caller has just asked for; empty when the volume cannot be identified, in
// which case the user has been told why. A CD-ROM's identifier is the absolute
// value of its serial number (three attempts to read it). Any other volume is
// identified by its marker; one without a usable marker gets a new identifier
// from `localClock`, written as its marker and read back from it.
//
// `taken` tells which identifiers the catalog already uses: a new identifier
// that one of them holds is counted up until it is free, so that a volume
// marked in the same second as another is not taken for it.
QString IdentifyVolume(const QString& root, int driveType, DriveSystem& drives,
                       const IdentifyFeedback& feedback,
                       const std::function<QDateTime()>& localClock = CurrentLocalTime,
                       const std::function<bool(const QString&)>& taken = {});

// `identifier`, or the first number above it that `taken` does not hold.
QString FreeVolumeId(QString identifier, const std::function<bool(const QString&)>& taken);

} // namespace kestro
