// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Value sets (".dat"): a named set of the five inputs as nine lines of
// Latin-1 text, saved and loaded on the user's request.

#include "model/Interpolation.h"

#include <QByteArray>
#include <QChar>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class QIODevice;

namespace ValueFiles {

inline constexpr char kValueSetMarker[] = "---V1";
inline constexpr int kValueSetLineCount = 9;
// Longest line kept by ReadValueSetLines; real lines are a few dozen characters.
inline constexpr int kMaxValueSetLineLength = 1024;
// Bytes ReadValueSetLines looks at before it treats the file as ended.
inline constexpr qint64 kMaxValueSetScanBytes = 1024 * 1024;

// The name proposed when saving: "dd-mm-yyyy hh-nn-ss" (24-hour clock).
QString TimeStamp(const QDateTime& when);

// True when the name holds no character below 32 and none of \ : * ? " < > | /.
// An empty name is valid (it saves as ".dat").
bool FileNameIsValid(const QString& name);

// Nine lines, each ended by CR LF: stamp, "---V1", y1, y2, x1, x2, X in the
// general number format with the given decimal separator, the two captions.
// Latin-1; characters outside it become "?", and CR or LF inside a text become
// blanks so that they cannot shift the lines below.
QByteArray WriteValueSet(const QString& stamp, const Interpolation::Inputs& in, const QString& lengthCaption,
                         const QString& leftCaption, QChar decimalSeparator);

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
    // Numbers converted in file order before the first missing or non-numeric line.
    int count = 0;
    // Those numbers; the inputs of the lines not read are 0.
    Interpolation::Inputs values;
    Stop stop = Complete;
    // File line (counted from 0) that ended the reading; -1 when complete.
    int stopLine = -1;
    // The captions of lines 7 and 8, where the file has them and all five
    // numbers came through.
    std::optional<QString> lengthCaption;
    std::optional<QString> leftCaption;

    // `current` with the numbers that were read in place of its own.
    Interpolation::Inputs AppliedTo(const Interpolation::Inputs& current) const;
};
ValueSetRead ParseValueSet(const ValueSetLines& text);

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

// What the user learns after `path` was loaded: where a set that stopped
// early stopped, and which numbers the inputs' lower bound raised. Empty when
// the set came through whole and unchanged.
QString LoadNotes(const QString& path, const ValueSetRead& read);

// WriteValueSet's text, written to `path` safely.
bool SaveValueSet(const QString& path, const QString& stamp, const Interpolation::Inputs& in,
                  const QString& lengthCaption, const QString& leftCaption, QChar decimalSeparator);

} // namespace ValueFiles
