// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// "lastV.def": what the window keeps over a restart, as tagged bytes with
// 80-bit extended floats. The start values are the model's: a value a file
// does not hold keeps the value the window has.

#include "model/Interpolation.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace ValueFiles {

inline constexpr char kLastValuesFileName[] = "lastV.def";

// Value tags of the byte format.
enum Tag : quint8 {
    TagInt8 = 0x02,
    TagInt16 = 0x03,
    TagInt32 = 0x04,
    TagExtended = 0x05,
    TagFalse = 0x08,
    TagTrue = 0x09,
};

// What the window keeps over a restart; the defaults are its start values.
struct LastValues {
    Interpolation::Inputs inputs = Interpolation::StartInputs;
    qint32 Decimals = Interpolation::StartDecimals;
    bool Percent = Interpolation::StartPercent;
};

// x1, X, x2, y1, y2 as tag 0x05 and ten bytes each, Decimals with the smallest
// integer tag that holds it, then 0x09 for percent or 0x08 for degrees.
// 58 bytes while Decimals is within -128..127.
QByteArray WriteLastValues(const LastValues& values);

// How far a read got. The file has no signature or checksum, so a damaged or
// foreign file is read value by value until the first fault.
struct LastValuesRead {
    // Values read in file order: 1..5 are the inputs x1, X, x2, y1, y2, 6 adds
    // Decimals, 7 Percent.
    int count = 0;
    // What was read; the values at or beyond `count` hold the start values.
    LastValues values;

    // `current` with the values that were read in place of its own.
    LastValues AppliedTo(const LastValues& current) const;
};

// A float position takes tag 0x05 or an integer tag (0x02..0x04, converted);
// the Decimals position takes only the integer tags; any other tag, or a
// value cut short by the end of the data, stops the reading. The Boolean
// position takes whatever byte is there: 0x09 is true, anything else false;
// it counts as read only when that byte exists. Bytes after it are ignored.
// Floats are returned as decoded, so inf and NaN can come out of a damaged
// file: the caller bounds them as it bounds any other input.
LastValuesRead ReadLastValues(QByteArrayView data);

// "lastV.def" in `folder` (which ends with a separator), read as far as it
// is sound: a missing file, anything but a regular file, one that cannot be
// opened or fails while read counts as missing (count 0). The format holds
// at most 61 bytes; a longer file is read no further. A float that does not
// fit a double (or is no number) ends the reading as a failed conversion
// would, so count says how many values the window takes.
LastValuesRead LoadLastValues(const QString& folder);

// Writes "lastV.def" into `folder` safely, unless `freeBytes` (of the drive
// that holds it) says there is no room. False when nothing was written; the
// previous file then stays as it was.
bool SaveLastValues(const QString& folder, const LastValues& values, qint64 freeBytes);

// Free bytes on the storage drive at or below which "lastV.def" is not
// written at close.
inline constexpr qint64 kLastValuesMinimumFree = 4096;

// Whether "lastV.def" is written with this much free space. A free space that
// cannot be measured (-1) counts as enough: the safe write keeps the old file
// if the space really is missing, whereas skipping would never save again on
// a system that cannot tell (a chroot, a container).
bool EnoughRoomForLastValues(qint64 freeBytes);

} // namespace ValueFiles
