// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// The two kinds of value files, without any widget: the "lastV.def" tagged
// byte format (with its 80-bit extended floats), the nine-line value-set text,
// the conversion of those lines back to numbers, and safe writing.
//
// The window applies what these functions return; nothing here knows about
// spin editors or labels, so every rule can be tested and fuzzed on its own.
// The start values are the model's: a value a file does not hold keeps the
// value the window starts with.

#include <QByteArray>
#include <QByteArrayView>
#include <QChar>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include "model/Interpolation.h"

#include <array>
#include <optional>

class QFile;
class QIODevice;

namespace ValueFiles {

// ---------------------------------------------------------------------------
// 80-bit extended floats
//
// Layout: 8 bytes significand with an explicit integer bit (bit 63), little
// endian, then 2 bytes holding the sign (bit 15) and a 15-bit exponent with
// bias 16383. Encoded and decoded bit by bit: `long double` is not this type on
// every compiler, so it is never used.

// Exact widening: every double has exactly one extended twin. Denormal doubles
// come out normalised; infinities stay infinities; a NaN keeps its sign and
// payload (shifted up to the extended fraction), so a quiet NaN stays quiet.
std::array<quint8, 10> EncodeExtended(double value);

// Narrowing with round-to-nearest-even, defined for every one of the 2^80
// patterns:
//  - results too large become +-inf, results too small become a double
//    denormal or +-0, as rounding dictates;
//  - the integer bit is not trusted: a pattern is read by its value,
//    significand * 2^(e - 16383 - 63) with e = max(exponent, 1), so
//    unnormals and pseudo-denormals give the number they stand for;
//  - exponent 0x7FFF: infinity when the fraction is zero and the integer bit
//    set, otherwise (NaNs, pseudo-infinity, pseudo-NaN) a quiet NaN with the
//    sign and the top payload bits.
double DecodeExtended(const quint8* tenBytes);

// ---------------------------------------------------------------------------
// Last values ("lastV.def")

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
    double x1 = Interpolation::StartInputs.x1;
    double X = Interpolation::StartInputs.X;
    double x2 = Interpolation::StartInputs.x2;
    double y1 = Interpolation::StartInputs.y1;
    double y2 = Interpolation::StartInputs.y2;
    qint32 Decimals = Interpolation::StartDecimals;
    bool Percent = Interpolation::StartPercent;
};

// x1, X, x2, y1, y2 as tag 0x05 and ten bytes each, Decimals with the smallest
// integer tag that holds it, then 0x09 for percent or 0x08 for degrees.
// 58 bytes while Decimals is within -128..127.
QByteArray WriteLastValues(const LastValues& values);

// How far a read got. The file has no signature or checksum, so a damaged or
// foreign file is read value by value until the first fault; the caller
// applies the first `count` values in file order and keeps its start values
// for the rest.
struct LastValuesRead {
    // Values read in order: 0..5 are the floats, 6 adds Decimals, 7 Percent.
    int count = 0;
    // x1, X, x2, y1, y2; entries at or beyond `count` hold the start values.
    double floats[5] = {Interpolation::StartInputs.x1, Interpolation::StartInputs.X, Interpolation::StartInputs.x2,
                        Interpolation::StartInputs.y1, Interpolation::StartInputs.y2};
    qint32 Decimals = Interpolation::StartDecimals;
    bool Percent = Interpolation::StartPercent;
};

// A float position takes tag 0x05 or an integer tag (0x02..0x04, converted);
// the Decimals position takes only the integer tags; any other tag, or a
// value cut short by the end of the data, stops the reading. The Boolean
// position takes whatever byte is there: 0x09 is true, anything else false;
// it counts as read only when that byte exists. Bytes after it are ignored.
// Floats are returned as decoded, so inf and NaN can come out of a damaged
// file: the caller bounds them as it bounds any other input.
LastValuesRead ReadLastValues(QByteArrayView data);

// ---------------------------------------------------------------------------
// Value sets (".dat")

inline constexpr char kValueSetMarker[] = "---V1";
inline constexpr int kValueSetLineCount = 9;
// Longest line kept by ReadValueSetLines; real lines are a few dozen characters.
inline constexpr int kMaxValueSetLineLength = 1024;
// Bytes ReadValueSetLines looks at before it treats the file as ended.
inline constexpr qint64 kMaxValueSetScanBytes = 1024 * 1024;

// The name proposed when saving: "dd-mm-yyyy hh-nn-ss" (24-hour clock).
QString TimeStamp(const QDateTime& when);

// Nine lines, each ended by CR LF: stamp, "---V1", y1, y2, x1, x2, X in the
// general number format with the given decimal separator, the two captions.
// Latin-1; characters outside it become "?", and CR or LF inside a text become
// blanks so that they cannot shift the lines below.
QByteArray WriteValueSet(const QString& stamp, double y1, double y2, double x1, double x2, double X,
                         const QString& lengthCaption, const QString& leftCaption, QChar decimalSeparator);

// The lines of a value set as ReadValueSetLines finds them.
struct ValueSetLines {
    // At most kMaxValueSetLineLength characters each.
    QStringList lines;
    // Indexes into `lines` of the lines that were longer and lost their ends.
    // Such a line is never taken for a number: its beginning alone could be
    // one ("1,5" of "1,5000…0E3").
    QList<qsizetype> overLong;
    // The device failed while being read; `lines` holds what came before.
    bool readError = false;
};

// Reads at most the first `maxLines` lines of a Latin-1 text. A line ends at
// CR LF, LF or CR; a last line without an end counts; an empty device gives no
// lines. A line longer than kMaxValueSetLineLength keeps only its beginning
// and is marked (the rest is skipped, not buffered), and reading stops after
// kMaxValueSetScanBytes, so a huge or binary file chosen by mistake costs
// neither memory nor noticeable time.
ValueSetLines ReadValueSetLines(QIODevice& device, int maxLines = kValueSetLineCount);

// The numbers of a value set, lines 2..6 in file order y1, y2, x1, x2, X,
// read with NumberFormat::TextToFloat, "," or "." as the decimal separator.
struct ValueSetRead {
    enum Stop : quint8 {
        Complete,   // all five numbers were read
        Missing,    // the file ends before line `stopLine`
        NotANumber, // line `stopLine` is not a number, or longer than a line may be
    };
    // Numbers converted in order before the first missing or non-numeric line.
    int count = 0;
    double values[5] = {};
    Stop stop = Complete;
    // File line (counted from 0) that ended the reading; -1 when complete.
    int stopLine = -1;
};
ValueSetRead ParseValueSet(const ValueSetLines& text);

// ---------------------------------------------------------------------------
// Files

// True when the name holds no character below 32 and none of \ : * ? " < > | /.
// An empty name is valid (it saves as ".dat").
bool FileNameIsValid(const QString& name);

// Opens `file` (its name set) for reading only when it names a regular file,
// a link to one included. A FIFO, socket, device or folder is refused without
// being opened for real, so nothing found under a file's name can block the
// program or set off a device's own effects; a FIFO put there between the
// check and the opening is caught too.
bool OpenRegularFile(QFile& file);

// At most `maxBytes` of a regular file; nothing when the path names no
// regular file, cannot be opened, or a read fails.
std::optional<QByteArray> ReadRegularFile(const QString& path, qint64 maxBytes);

// Writes through a temporary file in the target's folder and renames it over
// the target only when every byte was written and flushed to the file system,
// so a full disk, a quota, a file-size limit, an I/O error, a killed process
// or a refused folder leaves a previous file byte-identical and returns false.
// A link is followed to the regular file it names, and that file is
// replaced. Nothing else is ever replaced, created or truncated: a link to a
// folder, device, FIFO or socket, a dangling link or a loop of links returns
// false. The folder is synced after the rename, so a power cut keeps the new
// name; temporaries of the same target left by a killed process are removed.
bool WriteFileAtomically(const QString& path, const QByteArray& data, QString* errorText = nullptr);

// ---------------------------------------------------------------------------
// Loading and saving, each in one call

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

// A value set as LoadValueSet finds it.
struct ValueSetLoad {
    // The file could not be opened as a regular file, or failed while being
    // read: nothing of it may be used.
    bool failed = false;
    ValueSetLines text;
    ValueSetRead read;
};
// Only a regular file is read: a FIFO or a device chosen in a dialog would
// block the program or never end.
ValueSetLoad LoadValueSet(const QString& path);

// WriteValueSet's text, written to `path` safely.
bool SaveValueSet(const QString& path, const QString& stamp, const Interpolation::Inputs& in,
                  const QString& lengthCaption, const QString& leftCaption, QChar decimalSeparator);

// Free bytes on the storage drive at or below which "lastV.def" is not
// written at close.
inline constexpr qint64 kLastValuesMinimumFree = 4096;

// Whether "lastV.def" is written with this much free space. A free space that
// cannot be measured (-1) counts as enough: the safe write keeps the old file
// if the space really is missing, whereas skipping would never save again on
// a system that cannot tell (a chroot, a container).
bool EnoughRoomForLastValues(qint64 freeBytes);

} // namespace ValueFiles
