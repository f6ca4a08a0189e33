// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "calc/NumberFormat.h"
#include "storage/ValueFiles.h"

#include "tests/TestSupport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <bit>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#endif

using namespace ValueFiles;

namespace {

QByteArray Hex(const char* spaced)
{
    return QByteArray::fromHex(spaced);
}

QByteArray ToHex(const std::array<quint8, 10>& bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), 10).toHex(' ');
}

QByteArray Ext(double v)
{
    const auto bytes = EncodeExtended(v);
    return char(TagExtended) + QByteArray(reinterpret_cast<const char*>(bytes.data()), 10);
}

quint64 Bits(double v)
{
    return std::bit_cast<quint64>(v);
}

// Same number, or both not a number: the file keeps NaN, not its payload.
bool SameValue(double a, double b)
{
    return Bits(a) == Bits(b) || (std::isnan(a) && std::isnan(b));
}

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kDenormMin = std::numeric_limits<double>::denorm_min();

// Values that exercise every position distinctly.
LastValues Sample()
{
    LastValues v;
    v.inputs.x1 = -1.5;
    v.inputs.X = 0.1;
    v.inputs.x2 = 1e300;
    v.inputs.y1 = kDenormMin;
    v.inputs.y2 = -0.0;
    v.Decimals = 200;
    v.Percent = false;
    return v;
}

// The five inputs as "lastV.def" holds them: x1, X, x2, y1, y2.
QList<double> InFileOrder(const LastValues& v)
{
    return {v.inputs.x1, v.inputs.X, v.inputs.x2, v.inputs.y1, v.inputs.y2};
}

double Value(const LastValues& v, int index)
{
    return InFileOrder(v).at(index);
}

// The five numbers of a value set as its lines hold them: y1, y2, x1, x2, X.
QList<double> InLineOrder(const Interpolation::Inputs& in)
{
    return {in.y1, in.y2, in.x1, in.x2, in.X};
}

Interpolation::Inputs FromLineOrder(const QList<double>& lines)
{
    return {lines.at(2), lines.at(3), lines.at(4), lines.at(0), lines.at(1)};
}

// Offsets at which each of the seven values of a file ends.
QList<int> ValueEnds(const QByteArray& file)
{
    QList<int> ends;
    int pos = 0;
    for (int i = 0; i < 5; ++i)
        ends << (pos += 11);
    const quint8 tag = quint8(file[pos]);
    ends << (pos += tag == TagInt8 ? 2 : tag == TagInt16 ? 3 : 5);
    ends << pos + 1;
    return ends;
}

// Restores a folder's permissions however the test ends, so QTemporaryDir can remove it.
struct PermissionGuard {
    QString path;
    QFile::Permissions saved;
    explicit PermissionGuard(const QString& p)
        : path(p)
        , saved(QFile::permissions(p))
    {
    }
    ~PermissionGuard() { QFile::setPermissions(path, saved); }
};

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Each entry of a folder as it is, links not followed: a write that
// replaces or creates what it must not shows here.
QStringList snapshot(const QString& folder)
{
    QStringList seen;
    for (const QFileInfo& info :
         QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        seen << info.fileName()
                + (info.isSymLink()    ? " -> " + info.symLinkTarget()
                       : info.isFile() ? " " + QString::fromLatin1(readAll(info.filePath()).toHex())
                                       : QString::fromLatin1(info.isDir() ? " folder" : " special"));
    return seen;
}

// Files and folders in a folder, hidden ones included: a temporary file left
// behind shows up here.
QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// The child side of writeUnderFileSizeLimit: writes hex-coded data under a
// file-size limit, as a process started under "ulimit -f" would.
// Arguments: limit in bytes, target path, data in hex.
int childMain(const QStringList& arguments)
{
    if (arguments.size() != 3)
        return 2;
#ifdef Q_OS_UNIX
    std::signal(SIGXFSZ, SIG_IGN); // a write beyond the limit then fails with EFBIG
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = rlim_t(arguments[0].toLongLong());
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
        return 3;
#endif
    QString error;
    const bool written = WriteFileAtomically(arguments[1], QByteArray::fromHex(arguments[2].toLatin1()), &error);
    // The failure must come with its reason.
    return written ? 0 : error.isEmpty() ? 4 : 1;
}

} // namespace

class tst_ValueFiles : public QObject
{
    Q_OBJECT

private slots:
    void encodeExtended_data();
    void encodeExtended();
    void decodeExtended_data();
    void decodeExtended();
    void decodeMatchesHardware();

    void writeLastValues_data();
    void writeLastValues();
    void roundTrip_data();
    void roundTrip();
    void readLastValues_data();
    void readLastValues();
    void truncatedAtEveryOffset();
    void everyByteReplaced();

    void timeStamp_data();
    void timeStamp();
    void writeValueSet_data();
    void writeValueSet();
    void valueSetRoundTrip_data();
    void valueSetRoundTrip();
    void readValueSetLines_data();
    void readValueSetLines();
    void readValueSetLinesStopsEarly_data();
    void readValueSetLinesStopsEarly();
    void textToFloat_data();
    void textToFloat();
    void parseValueSet_data();
    void parseValueSet();

    void fileNameIsValid_data();
    void fileNameIsValid();
    void writeFileAtomically();
    void writeFileAtomicallyFails_data();
    void writeFileAtomicallyFails();
    void writeUnderFileSizeLimit_data();
    void writeUnderFileSizeLimit();
    void writeOnFullDisk_data();
    void writeOnFullDisk();
    void enoughRoomForLastValues_data();
    void enoughRoomForLastValues();
    void onlyRegularFilesAreReadOrWritten_data();
    void onlyRegularFilesAreReadOrWritten();
    void leftoverTemporaries_data();
    void leftoverTemporaries();

    void loadLastValues_data();
    void loadLastValues();
};

void tst_ValueFiles::encodeExtended_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("one") << 1.0 << QByteArray("00 00 00 00 00 00 00 80 ff 3f");
    QTest::newRow("zero is ten zero bytes") << 0.0 << QByteArray("00 00 00 00 00 00 00 00 00 00");
    QTest::newRow("negative zero keeps its sign") << -0.0 << QByteArray("00 00 00 00 00 00 00 00 00 80");
    QTest::newRow("minus two") << -2.0 << QByteArray("00 00 00 00 00 00 00 80 00 c0");
    QTest::newRow("0.33") << 0.33 << QByteArray("00 f8 28 5c 8f c2 f5 a8 fd 3f");
    QTest::newRow("smallest denormal normalised") << kDenormMin << QByteArray("00 00 00 00 00 00 00 80 cd 3b");
    QTest::newRow("largest denormal normalised")
        << (DBL_MIN - kDenormMin) << QByteArray("00 f0 ff ff ff ff ff ff 00 3c");
    QTest::newRow("smallest normal") << DBL_MIN << QByteArray("00 00 00 00 00 00 00 80 01 3c");
    QTest::newRow("largest finite") << DBL_MAX << QByteArray("00 f8 ff ff ff ff ff ff fe 43");
    QTest::newRow("infinity") << kInf << QByteArray("00 00 00 00 00 00 00 80 ff 7f");
    QTest::newRow("minus infinity") << -kInf << QByteArray("00 00 00 00 00 00 00 80 ff ff");
    QTest::newRow("quiet NaN stays quiet") << kNaN << QByteArray("00 00 00 00 00 00 00 c0 ff 7f");
    QTest::newRow("NaN payload shifted up")
        << std::bit_cast<double>(quint64(0x7FF8000000000123)) << QByteArray("00 18 09 00 00 00 00 c0 ff 7f");
}

void tst_ValueFiles::encodeExtended()
{
    QFETCH(double, value);
    QFETCH(QByteArray, bytes);

    const auto encoded = EncodeExtended(value);
    QCOMPARE(ToHex(encoded), bytes);
    // Widening is exact, so narrowing gives the very same double back.
    QVERIFY(SameValue(DecodeExtended(encoded.data()), value));
}

void tst_ValueFiles::decodeExtended_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<double>("expected");

    // Rounding to 53 bits, ties to even.
    QTest::newRow("tie below odd rounds up") << Hex("00 0c 00 00 00 00 00 80 ff 3f") << 1.0 + 2 * DBL_EPSILON;
    QTest::newRow("tie below even stays") << Hex("00 04 00 00 00 00 00 80 ff 3f") << 1.0;
    QTest::newRow("just above a tie rounds up") << Hex("01 04 00 00 00 00 00 80 ff 3f") << 1.0 + DBL_EPSILON;
    QTest::newRow("just below a tie rounds down") << Hex("ff 03 00 00 00 00 00 80 ff 3f") << 1.0;
    QTest::newRow("all ones rounds to the next power") << Hex("ff ff ff ff ff ff ff ff ff 3f") << 2.0;

    // Overflow and the top of the range.
    QTest::newRow("below the halfway above max") << Hex("ff fb ff ff ff ff ff ff fe 43") << DBL_MAX;
    QTest::newRow("max significand rounds up to inf") << Hex("00 fc ff ff ff ff ff ff fe 43") << kInf;
    QTest::newRow("exponent just too large") << Hex("00 00 00 00 00 00 00 80 ff 43") << kInf;
    QTest::newRow("largest extended exponent") << Hex("ff ff ff ff ff ff ff ff fe 7f") << kInf;
    QTest::newRow("negative overflow") << Hex("00 00 00 00 00 00 00 80 ff c3") << -kInf;

    // Underflow into the double denormals and to zero.
    QTest::newRow("denormal result") << Hex("00 00 00 00 00 00 00 80 cd 3b") << kDenormMin;
    QTest::newRow("rounds up to smallest normal") << Hex("00 fc ff ff ff ff ff ff 00 3c") << DBL_MIN;
    QTest::newRow("exactly half the smallest denormal") << Hex("00 00 00 00 00 00 00 80 cc 3b") << 0.0;
    QTest::newRow("just above half the smallest denormal") << Hex("01 00 00 00 00 00 00 80 cc 3b") << kDenormMin;
    QTest::newRow("one and a half of half") << Hex("00 00 00 00 00 00 00 c0 cc 3b") << kDenormMin;
    QTest::newRow("three halves of the smallest denormal") << Hex("00 00 00 00 00 00 00 c0 cd 3b") << 2 * kDenormMin;
    QTest::newRow("just under half the smallest denormal") << Hex("ff ff ff ff ff ff ff ff cb 3b") << 0.0;
    QTest::newRow("smallest exponent") << Hex("00 00 00 00 00 00 00 80 01 00") << 0.0;
    QTest::newRow("negative tiny keeps its sign") << Hex("00 00 00 00 00 00 00 80 01 80") << -0.0;
    QTest::newRow("extended denormal") << Hex("01 00 00 00 00 00 00 00 00 00") << 0.0;
    QTest::newRow("negative zero") << Hex("00 00 00 00 00 00 00 00 00 80") << -0.0;

    // Patterns a careful reader must not trust.
    QTest::newRow("unnormal worth one") << Hex("00 00 00 00 00 00 00 40 00 40") << 1.0;
    QTest::newRow("unnormal with one low bit") << Hex("01 00 00 00 00 00 00 00 3e 40") << 1.0;
    QTest::newRow("unnormal worth minus three") << Hex("00 00 00 00 00 00 00 60 01 c0") << -3.0;
    QTest::newRow("unnormal zero") << Hex("00 00 00 00 00 00 00 00 ff 3f") << 0.0;
    QTest::newRow("unnormal negative zero") << Hex("00 00 00 00 00 00 00 00 ff bf") << -0.0;
    QTest::newRow("unnormal near the top") << Hex("00 00 00 00 00 00 00 40 ff 43") << std::ldexp(1.0, 1023);
    QTest::newRow("pseudo-denormal") << Hex("00 00 00 00 00 00 00 80 00 00") << 0.0;

    // Infinities and not-a-number.
    QTest::newRow("infinity") << Hex("00 00 00 00 00 00 00 80 ff 7f") << kInf;
    QTest::newRow("minus infinity") << Hex("00 00 00 00 00 00 00 80 ff ff") << -kInf;
    QTest::newRow("quiet NaN") << Hex("00 00 00 00 00 00 00 c0 ff 7f") << kNaN;
    QTest::newRow("signalling NaN") << Hex("01 00 00 00 00 00 00 80 ff 7f") << kNaN;
    QTest::newRow("pseudo-infinity") << Hex("00 00 00 00 00 00 00 00 ff 7f") << kNaN;
    QTest::newRow("pseudo-NaN") << Hex("00 00 00 00 00 00 00 40 ff ff") << kNaN;
}

void tst_ValueFiles::decodeExtended()
{
    QFETCH(QByteArray, bytes);
    QFETCH(double, expected);
    QCOMPARE(bytes.size(), 10);

    const double decoded = DecodeExtended(reinterpret_cast<const quint8*>(bytes.constData()));
    if (std::isnan(expected)) {
        QVERIFY(std::isnan(decoded));
        QVERIFY2(Bits(decoded) & (quint64(1) << 51), "NaN must come out quiet");
    } else {
        QCOMPARE(Bits(decoded), Bits(expected));
    }
}

void tst_ValueFiles::decodeMatchesHardware()
{
#if (defined(__x86_64__) || defined(__i386__)) && LDBL_MANT_DIG == 64
    // Random patterns, dense around the double range's edges, against the
    // x87 unit's own narrowing (which rejects unnormals, so those stay out).
    QRandomGenerator random(20260612);
    const int edges[] = {0, 1, 15308, 15309, 15340, 15360, 15361, 16383, 17406, 17407, 32766};
    for (int n = 0; n < 200000; ++n) {
        quint8 bytes[10];
        const quint64 significand = random.generate64() | (quint64(1) << 63);
        int exponent = int(random.bounded(0x7FFF));
        if (n % 2)
            exponent = qBound(0, edges[random.bounded(int(std::size(edges)))] + int(random.bounded(7)) - 3, 0x7FFE);
        for (int i = 0; i < 8; ++i)
            bytes[i] = quint8(significand >> (8 * i));
        const int top = exponent | (random.bounded(2) ? 0x8000 : 0);
        bytes[8] = quint8(top);
        bytes[9] = quint8(top >> 8);
        long double wide;
        std::memcpy(&wide, bytes, 10);
        const double hardware = double(wide);
        const double decoded = DecodeExtended(bytes);
        if (Bits(decoded) != Bits(hardware))
            QFAIL(qPrintable(QStringLiteral("pattern %1: %2 instead of %3")
                                 .arg(QString::fromLatin1(QByteArray(reinterpret_cast<char*>(bytes), 10).toHex(' ')))
                                 .arg(decoded, 0, 'g', 17)
                                 .arg(hardware, 0, 'g', 17)));
    }
#else
    QSKIP("long double is not the x87 extended type on this compiler");
#endif
}

void tst_ValueFiles::writeLastValues_data()
{
    QTest::addColumn<int>("decimals");
    QTest::addColumn<bool>("percent");
    QTest::addColumn<QByteArray>("tail"); // the bytes from offset 55 on

    QTest::newRow("start values") << 3 << true << QByteArray("02 03 09");
    QTest::newRow("degrees") << 3 << false << QByteArray("02 03 08");
    QTest::newRow("-128 fits one byte") << -128 << true << QByteArray("02 80 09");
    QTest::newRow("127 fits one byte") << 127 << true << QByteArray("02 7f 09");
    QTest::newRow("128 needs two") << 128 << true << QByteArray("03 80 00 09");
    QTest::newRow("200") << 200 << true << QByteArray("03 c8 00 09");
    QTest::newRow("-129 needs two") << -129 << true << QByteArray("03 7f ff 09");
    QTest::newRow("-32768 fits two") << -32768 << true << QByteArray("03 00 80 09");
    QTest::newRow("32768 needs four") << 32768 << true << QByteArray("04 00 80 00 00 09");
    QTest::newRow("-32769 needs four") << -32769 << true << QByteArray("04 ff 7f ff ff 09");
    QTest::newRow("INT_MIN") << INT_MIN << false << QByteArray("04 00 00 00 80 08");
    QTest::newRow("INT_MAX") << INT_MAX << true << QByteArray("04 ff ff ff 7f 09");
}

void tst_ValueFiles::writeLastValues()
{
    QFETCH(int, decimals);
    QFETCH(bool, percent);
    QFETCH(QByteArray, tail);

    LastValues values;
    values.Decimals = decimals;
    values.Percent = percent;
    const QByteArray file = WriteLastValues(values);

    // x1 = 0, X = 0.33, x2 = 1, y1 = 0, y2 = 1.
    const QByteArray floats = Hex("05 00 00 00 00 00 00 00 00 00 00"
                                  "05 00 f8 28 5c 8f c2 f5 a8 fd 3f"
                                  "05 00 00 00 00 00 00 00 80 ff 3f"
                                  "05 00 00 00 00 00 00 00 00 00 00"
                                  "05 00 00 00 00 00 00 00 80 ff 3f");
    QCOMPARE(file.left(55).toHex(' '), floats.toHex(' '));
    QCOMPARE(file.mid(55).toHex(' '), tail);
    if (decimals >= -128 && decimals <= 127)
        QCOMPARE(file.size(), 58);
}

void tst_ValueFiles::roundTrip_data()
{
    QTest::addColumn<double>("value");

    QTest::newRow("negative zero") << -0.0;
    QTest::newRow("smallest denormal") << kDenormMin;
    QTest::newRow("negative largest denormal") << -(DBL_MIN - kDenormMin);
    QTest::newRow("smallest normal") << DBL_MIN;
    QTest::newRow("largest finite") << DBL_MAX;
    QTest::newRow("lowest finite") << -DBL_MAX;
    QTest::newRow("0.1") << 0.1;
    QTest::newRow("1/3") << 1.0 / 3.0;
    QTest::newRow("one past one") << 1.0 + DBL_EPSILON;
    QTest::newRow("2^53 + 2") << 9007199254740994.0;
    QTest::newRow("infinity") << kInf;
    QTest::newRow("minus infinity") << -kInf;
    QTest::newRow("NaN") << kNaN;
}

void tst_ValueFiles::roundTrip()
{
    QFETCH(double, value);

    for (int position = 0; position < 5; ++position) {
        LastValues values;
        double* fields[5]
            = {&values.inputs.x1, &values.inputs.X, &values.inputs.x2, &values.inputs.y1, &values.inputs.y2};
        *fields[position] = value;
        const LastValuesRead read = ReadLastValues(WriteLastValues(values));
        QCOMPARE(read.count, 7);
        for (int i = 0; i < 5; ++i)
            QVERIFY2(SameValue(Value(read.values, i), *fields[i]), qPrintable(QString::number(i)));
        if (!std::isnan(value))
            QCOMPARE(Bits(Value(read.values, position)), Bits(value));
    }
}

void tst_ValueFiles::readLastValues_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<double>>("floats");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<bool>("percent");

    const QList<double> start = {0, 0.33, 1, 0, 1};
    const QByteArray startFile = WriteLastValues(LastValues());
    const QByteArray fiveFloats = Ext(-1) + Ext(2) + Ext(-3) + Ext(4) + Ext(-5);
    const QList<double> five = {-1, 2, -3, 4, -5};

    QTest::newRow("empty file") << QByteArray() << 0 << start << 3 << true;
    QTest::newRow("start values") << startFile << 7 << start << 3 << true;
    QTest::newRow("five floats only") << fiveFloats << 5 << five << 3 << true;
    QTest::newRow("last byte 0x08 is degrees") << fiveFloats + Hex("02 07 08") << 7 << five << 7 << false;
    QTest::newRow("decimals 200") << fiveFloats + Hex("03 c8 00 09") << 7 << five << 200 << true;
    QTest::newRow("decimals INT_MIN") << fiveFloats + Hex("04 00 00 00 80 09") << 7 << five << INT_MIN << true;
    QTest::newRow("integer tags in float positions") << Hex("02 ff"
                                                            "03 00 01"
                                                            "04 00 00 00 80"
                                                            "02 7f")
            + Ext(2.5) + Hex("02 00 09") << 7 << QList<double>{-1, 256, double(INT_MIN), 127, 2.5}
                                                     << 0 << true;
    QTest::newRow("wrong tag stops at X")
        << Ext(7) + Hex("06") + Ext(8) << 1 << QList<double>{7, 0.33, 1, 0, 1} << 3 << true;
    QTest::newRow("Boolean tag in a float position stops")
        << Ext(7) + Hex("09") << 1 << QList<double>{7, 0.33, 1, 0, 1} << 3 << true;
    QTest::newRow("float tag in the Decimals position stops")
        << fiveFloats + Ext(4) + Hex("09") << 5 << five << 3 << true;
    QTest::newRow("file ends inside a float")
        << Ext(7) + Ext(8).left(6) << 1 << QList<double>{7, 0.33, 1, 0, 1} << 3 << true;
    QTest::newRow("file ends inside Decimals") << fiveFloats + Hex("04 01 02") << 5 << five << 3 << true;
    QTest::newRow("file ends before the Boolean") << fiveFloats + Hex("02 05") << 6 << five << 5 << true;
    QTest::newRow("any other byte reads as false") << fiveFloats + Hex("02 05 02") << 7 << five << 5 << false;
    QTest::newRow("0xff reads as false") << fiveFloats + Hex("02 05 ff") << 7 << five << 5 << false;
    QTest::newRow("bytes after the Boolean ignored") << startFile + Hex("05 01 02") << 7 << start << 3 << true;
    QTest::newRow("foreign text file") << QByteArray("[Settings]\r\nx1=0\r\n") << 0 << start << 3 << true;
}

void tst_ValueFiles::readLastValues()
{
    QFETCH(QByteArray, file);
    QFETCH(int, count);
    QFETCH(QList<double>, floats);
    QFETCH(int, decimals);
    QFETCH(bool, percent);

    const LastValuesRead read = ReadLastValues(file);
    QCOMPARE(read.count, count);
    QCOMPARE(InFileOrder(read.values), floats);
    QCOMPARE(read.values.Decimals, decimals);
    QCOMPARE(read.values.Percent, percent);
}

void tst_ValueFiles::truncatedAtEveryOffset()
{
    const LastValues sample = Sample();
    const QByteArray file = WriteLastValues(sample);
    const QList<int> ends = ValueEnds(file);
    QCOMPARE(ends.last(), file.size());
    const LastValuesRead start;

    for (int size = 0; size <= file.size(); ++size) {
        const LastValuesRead read = ReadLastValues(file.left(size));
        const int expected = int(std::count_if(ends.begin(), ends.end(), [&](int end) { return end <= size; }));
        QVERIFY2(read.count == expected, qPrintable(QStringLiteral("size %1: count %2").arg(size).arg(read.count)));
        for (int i = 0; i < 5; ++i)
            QVERIFY(SameValue(Value(read.values, i), Value(i < expected ? sample : start.values, i)));
        QCOMPARE(read.values.Decimals, expected > 5 ? sample.Decimals : start.values.Decimals);
        QCOMPARE(read.values.Percent, expected > 6 ? sample.Percent : start.values.Percent);
    }
}

void tst_ValueFiles::everyByteReplaced()
{
    // Every byte of a file set to every other value: no crash, and everything
    // before the damaged value is still read as written.
    const LastValues sample = Sample();
    const QByteArray file = WriteLastValues(sample);
    const QList<int> ends = ValueEnds(file);

    for (int offset = 0; offset < file.size(); ++offset) {
        const int damaged = int(std::count_if(ends.begin(), ends.end(), [&](int end) { return end <= offset; }));
        const int valueStart = damaged == 0 ? 0 : ends[damaged - 1];
        const bool isTag = offset == valueStart;
        for (int b = 0; b < 256; ++b) {
            if (b == quint8(file[offset]))
                continue;
            QByteArray broken = file;
            broken[offset] = char(b);
            const LastValuesRead read = ReadLastValues(broken);
            const QString where = QStringLiteral("offset %1 byte %2: count %3").arg(offset).arg(b).arg(read.count);
            QVERIFY2(read.count >= damaged, qPrintable(where));
            for (int i = 0; i < qMin(damaged, 5); ++i)
                QVERIFY2(SameValue(Value(read.values, i), Value(sample, i)), qPrintable(where));
            if (damaged > 5)
                QCOMPARE(read.values.Decimals, sample.Decimals);
            if (!isTag || damaged == 6) {
                // A payload byte or the Boolean: the layout holds, all seven are read.
                QVERIFY2(read.count == 7, qPrintable(where));
                if (damaged == 6)
                    QCOMPARE(read.values.Percent, b == TagTrue);
            }
        }
    }
}

void tst_ValueFiles::timeStamp_data()
{
    QTest::addColumn<QDateTime>("when");
    QTest::addColumn<QString>("stamp");

    QTest::newRow("evening") << QDateTime(QDate(2026, 12, 6), QTime(21, 45, 14)) << "06-12-2026 21-45-14";
    QTest::newRow("single digits padded") << QDateTime(QDate(2003, 2, 1), QTime(4, 5, 6)) << "01-02-2003 04-05-06";
    QTest::newRow("midnight") << QDateTime(QDate(2026, 1, 31), QTime(0, 0, 0)) << "31-01-2026 00-00-00";
}

void tst_ValueFiles::timeStamp()
{
    QFETCH(QDateTime, when);
    QFETCH(QString, stamp);
    QCOMPARE(TimeStamp(when), stamp);
}

void tst_ValueFiles::writeValueSet_data()
{
    QTest::addColumn<QString>("stamp");
    QTest::addColumn<QList<double>>("values"); // y1, y2, x1, x2, X
    QTest::addColumn<QString>("lengthCaption");
    QTest::addColumn<QString>("leftCaption");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("start values")
        << "06-12-2026 21-45-14" << QList<double>{0, 1, 0, 1, 0.33} << "1,000"
        << "0,330" << QChar(u',')
        << QByteArray("06-12-2026 21-45-14\r\n---V1\r\n0\r\n1\r\n0\r\n1\r\n0,33\r\n1,000\r\n0,330\r\n");
    QTest::newRow("point separator") << "n" << QList<double>{-2.5, 10, 0.125, 100, 7} << "97.500"
                                     << "6.875" << QChar(u'.')
                                     << QByteArray(
                                            "n\r\n---V1\r\n-2.5\r\n10\r\n0.125\r\n100\r\n7\r\n97.500\r\n6.875\r\n");
    QTest::newRow("exponent forms")
        << "e" << QList<double>{1e15, 1.5e-7, -2e20, 0.0001, 999999999999999.0} << ""
        << "" << QChar(u',')
        << QByteArray("e\r\n---V1\r\n1E15\r\n1,5E-7\r\n-2E20\r\n0,0001\r\n999999999999999\r\n\r\n\r\n");
    QTest::newRow("fifteen significant digits")
        << "r" << QList<double>{1.0 / 3.0, 0.1, 123456789012345.6, -0.0, 2.0 / 3.0} << ""
        << "" << QChar(u',')
        << QByteArray(
               "r\r\n---V1\r\n0,333333333333333\r\n0,1\r\n123456789012346\r\n0\r\n0,666666666666667\r\n\r\n\r\n");
    QTest::newRow("text outside Latin-1 and line breaks")
        << QString::fromUtf8("Ma\u00df \u20ac") << QList<double>{0, 0, 0, 0, 0} << "1\r\n2"
        << "a\nb" << QChar(u',') << QByteArray("Ma\xdf ?\r\n---V1\r\n0\r\n0\r\n0\r\n0\r\n0\r\n1  2\r\na b\r\n");
}

void tst_ValueFiles::writeValueSet()
{
    QFETCH(QString, stamp);
    QFETCH(QList<double>, values);
    QFETCH(QString, lengthCaption);
    QFETCH(QString, leftCaption);
    QFETCH(QChar, separator);
    QFETCH(QByteArray, expected);

    const QByteArray written = WriteValueSet(stamp, FromLineOrder(values), lengthCaption, leftCaption, separator);
    QCOMPARE(written, expected);
    QCOMPARE(written.count("\r\n"), 9);
}

void tst_ValueFiles::valueSetRoundTrip_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QChar>("separator");

    QTest::newRow("0.33") << 0.33 << QChar(u',');
    QTest::newRow("1/3") << 1.0 / 3.0 << QChar(u',');
    QTest::newRow("negative tiny") << -1.5e-7 << QChar(u',');
    QTest::newRow("large") << 6.02214076e23 << QChar(u'.');
    QTest::newRow("smallest denormal") << kDenormMin << QChar(u',');
    QTest::newRow("near the top of the range") << 1.5e308 << QChar(u'.');
}

void tst_ValueFiles::valueSetRoundTrip()
{
    QFETCH(double, value);
    QFETCH(QChar, separator);

    QByteArray file
        = WriteValueSet(QStringLiteral("s"), FromLineOrder({value, -value, value, -value, value}), {}, {}, separator);
    QBuffer buffer(&file);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    const ValueSetLines text = ReadValueSetLines(buffer);
    QCOMPARE(text.lines.size(), 9);
    QCOMPARE(text.lines[1], QStringLiteral("---V1"));
    const ValueSetRead set = ParseValueSet(text);
    QCOMPARE(set.count, 5);
    QCOMPARE(set.stop, ValueSetRead::Complete);
    // Fifteen significant digits survive; the rest of a double does not.
    for (int i = 0; i < 5; ++i) {
        const double expected = i % 2 ? -value : value;
        const double read = InLineOrder(set.values).at(i);
        QVERIFY2(std::abs(read - expected) <= std::abs(expected) * 1e-14, qPrintable(QString::number(read, 'g', 17)));
    }
}

void tst_ValueFiles::readValueSetLines_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QList<qsizetype>>("overLong");

    const QList<qsizetype> none;

    QTest::newRow("empty") << QByteArray() << QStringList() << none;
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"} << none;
    QTest::newRow("LF") << QByteArray("a\nb\n") << QStringList{"a", "b"} << none;
    QTest::newRow("CR") << QByteArray("a\rb\r") << QStringList{"a", "b"} << none;
    QTest::newRow("mixed ends") << QByteArray("a\r\nb\nc\rd") << QStringList{"a", "b", "c", "d"} << none;
    QTest::newRow("last line without end") << QByteArray("a\r\nb") << QStringList{"a", "b"} << none;
    QTest::newRow("empty lines kept") << QByteArray("\r\n\r\nx\r\n") << QStringList{"", "", "x"} << none;
    QTest::newRow("CR CR is two lines") << QByteArray("\r\r") << QStringList{"", ""} << none;
    QTest::newRow("LF CR is two lines") << QByteArray("\n\r") << QStringList{"", ""} << none;
    QTest::newRow("Latin-1") << QByteArray("Ma\xdf\r\n\xe4")
                             << QStringList{QStringLiteral("Ma\u00df"), QStringLiteral("\u00e4")} << none;
    QTest::newRow("NUL kept") << QByteArray("1\0002\r\n", 5) << QStringList{QString::fromUtf16(u"1\u00002", 3)} << none;
    QTest::newRow("ten lines give nine") << QByteArray("0\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n")
                                         << QStringList{"0", "1", "2", "3", "4", "5", "6", "7", "8"} << none;
    // A line one character too long is marked; one exactly at the bound is not.
    QTest::newRow("line at the bound") << QByteArray(kMaxValueSetLineLength, '5') + "\r\n"
                                       << QStringList{QString(kMaxValueSetLineLength, u'5')} << none;
    QTest::newRow("line one over the bound")
        << QByteArray(kMaxValueSetLineLength + 1, '5') << QStringList{QString(kMaxValueSetLineLength, u'5')}
        << QList<qsizetype>{0};
    QTest::newRow("over-long number among short lines")
        << "s\r\nm\r\n1,5" + QByteArray(1100, '0') + "E3\r\n2\r\n"
        << QStringList{"s", "m", "1,5" + QString(kMaxValueSetLineLength - 3, u'0'), "2"} << QList<qsizetype>{2};
    QTest::newRow("over-long line cut, next line intact")
        << QByteArray(5000, '7') + "\r\n8\r\n"
        << QStringList{QString(kMaxValueSetLineLength, u'7'), "8"} << QList<qsizetype>{0};
    QTest::newRow("over-long line ending with CR LF across a chunk")
        << QByteArray(4095, 'x') + "\r\ny" << QStringList{QString(kMaxValueSetLineLength, u'x'), "y"}
        << QList<qsizetype>{0};
}

void tst_ValueFiles::readValueSetLines()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, lines);
    QFETCH(QList<qsizetype>, overLong);

    QBuffer buffer(&file);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    const ValueSetLines text = ReadValueSetLines(buffer);
    QCOMPARE(text.lines, lines);
    QCOMPARE(text.overLong, overLong);
    QVERIFY(!text.readError);
}

void tst_ValueFiles::readValueSetLinesStopsEarly_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("lineCount");
    QTest::addColumn<int>("firstLineLength");

    QTest::newRow("binary without line ends") << QByteArray(8 * 1024 * 1024, '\x01') << 1 << kMaxValueSetLineLength;
    QTest::newRow("many short lines") << QByteArray("1\r\n").repeated(1000000) << 9 << 1;
}

void tst_ValueFiles::readValueSetLinesStopsEarly()
{
    // A huge file chosen by mistake is not read to its end.
    QFETCH(QByteArray, file);
    QFETCH(int, lineCount);
    QFETCH(int, firstLineLength);

    QBuffer buffer(&file);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    const QStringList lines = ReadValueSetLines(buffer).lines;
    QCOMPARE(lines.size(), lineCount);
    QCOMPARE(lines.first().size(), firstLineLength);
    QVERIFY(buffer.pos() <= kMaxValueSetScanBytes);
}

void tst_ValueFiles::textToFloat_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("value");

    const QChar comma = u',';
    const QChar point = u'.';
    QTest::newRow("integer") << "42" << comma << true << 42.0;
    QTest::newRow("German fraction") << "0,33" << comma << true << 0.33;
    QTest::newRow("point fraction") << "0.33" << point << true << 0.33;
    QTest::newRow("point refused with comma separator") << "0.33" << comma << false << 0.0;
    QTest::newRow("comma refused with point separator") << "0,33" << point << false << 0.0;
    QTest::newRow("surrounding blanks") << "  -1,5 \t" << comma << true << -1.5;
    QTest::newRow("plus sign") << "+7" << comma << true << 7.0;
    QTest::newRow("negative zero") << "-0" << comma << true << -0.0;
    QTest::newRow("leading separator") << ",5" << comma << true << 0.5;
    QTest::newRow("trailing separator") << "5," << comma << true << 5.0;
    QTest::newRow("exponent") << "1,5E-7" << comma << true << 1.5e-7;
    QTest::newRow("lower-case exponent with plus") << "2e+3" << comma << true << 2000.0;
    QTest::newRow("exponent after separator") << "5,e2" << comma << true << 500.0;
    QTest::newRow("largest finite") << "1,7976931348623157E308" << comma << true << DBL_MAX;
    QTest::newRow("smallest denormal") << "4,9406564584124654E-324" << comma << true << kDenormMin;
    QTest::newRow("below half the smallest denormal") << "2E-324" << comma << true << 0.0;
    QTest::newRow("far too small") << "-1E-99999999999" << comma << true << -0.0;
    QTest::newRow("many zeros then a small number") << "0,0000000001E-320" << comma << true << 0.0;
    QTest::newRow("many digits") << "0,333333333333333333333333333333333" << comma << true << 1.0 / 3.0;

    QTest::newRow("overflow") << "1E309" << comma << false << 0.0;
    QTest::newRow("overflow after rounding") << "1,7976931348623159E308" << comma << false << 0.0;
    QTest::newRow("huge exponent") << "1E99999999999999999999" << comma << false << 0.0;
    QTest::newRow("many integer digits") << QString(400, u'9') << comma << false << 0.0;
    QTest::newRow("empty") << "" << comma << false << 0.0;
    QTest::newRow("blanks only") << "   " << comma << false << 0.0;
    QTest::newRow("sign only") << "-" << comma << false << 0.0;
    QTest::newRow("separator only") << "," << comma << false << 0.0;
    QTest::newRow("two separators") << "1,2,3" << comma << false << 0.0;
    QTest::newRow("thousands separator") << "1.000,5" << comma << false << 0.0;
    QTest::newRow("two signs") << "--1" << comma << false << 0.0;
    QTest::newRow("exponent without digits") << "1E" << comma << false << 0.0;
    QTest::newRow("exponent sign without digits") << "1E-" << comma << false << 0.0;
    QTest::newRow("exponent without mantissa") << "E5" << comma << false << 0.0;
    QTest::newRow("blank inside") << "1 000" << comma << false << 0.0;
    QTest::newRow("trailing text") << "12abc" << comma << false << 0.0;
    QTest::newRow("infinity word") << "inf" << comma << false << 0.0;
    QTest::newRow("not a number word") << "nan" << comma << false << 0.0;
    QTest::newRow("hexadecimal") << "0x10" << comma << false << 0.0;
    QTest::newRow("non-ASCII digit") << QStringLiteral("\u0661") << comma << false << 0.0;
    QTest::newRow("NUL inside") << QString::fromUtf16(u"1\u00002", 3) << comma << false << 0.0;
}

void tst_ValueFiles::textToFloat()
{
    QFETCH(QString, text);
    QFETCH(QChar, separator);
    QFETCH(bool, ok);
    QFETCH(double, value);

    double result = -12345;
    QCOMPARE(NumberFormat::TextToFloat(text, separator, result), ok);
    if (ok)
        QCOMPARE(Bits(result), Bits(value));
    else
        QCOMPARE(result, -12345.0); // a refused text leaves the target alone
}

void tst_ValueFiles::parseValueSet_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QList<qsizetype>>("overLong");
    QTest::addColumn<QList<double>>("values");
    QTest::addColumn<int>("stop");
    QTest::addColumn<int>("stopLine");

    const QList<qsizetype> none;
    const int complete = ValueSetRead::Complete;
    const int missing = ValueSetRead::Missing;
    const int notANumber = ValueSetRead::NotANumber;
    QTest::newRow("nine lines") << QStringList{"s", "---V1", "0", "1", "0", "1", "0,33", "1,000", "0,330"} << none
                                << QList<double>{0, 1, 0, 1, 0.33} << complete << -1;
    QTest::newRow("saved with a desktop's decimal point")
        << QStringList{"s", "---V1", "-1.5", "2.25E-7", "0", "1", "0.33"} << none
        << QList<double>{-1.5, 2.25e-7, 0, 1, 0.33} << complete << -1;
    QTest::newRow("one number, two separators")
        << QStringList{"s", "---V1", "1", "1.234,5", "3", "4", "5"} << none << QList<double>{1} << notANumber << 3;
    QTest::newRow("wrong marker loads all the same")
        << QStringList{"s", "---V2", "1", "2", "3", "4", "5"} << none << QList<double>{1, 2, 3, 4, 5} << complete << -1;
    QTest::newRow("five lines") << QStringList{"s", "---V1", "1", "2", "3"} << none << QList<double>{1, 2, 3} << missing
                                << 5;
    QTest::newRow("non-numeric line stops")
        << QStringList{"s", "---V1", "1", "x", "3", "4", "5"} << none << QList<double>{1} << notANumber << 3;
    QTest::newRow("empty line stops") << QStringList{"s", "---V1", "1", "2", "3", "", "5"} << none
                                      << QList<double>{1, 2, 3} << notANumber << 5;
    QTest::newRow("over-long number is not its beginning")
        << QStringList{"s", "---V1", "1,5" + QString(kMaxValueSetLineLength - 3, u'0'), "2", "3", "4", "5"}
        << QList<qsizetype>{2} << QList<double>{} << notANumber << 2;
    QTest::newRow("over-long last number") << QStringList{"s", "---V1", "1", "2", "3", "4", "5"} << QList<qsizetype>{6}
                                           << QList<double>{1, 2, 3, 4} << notANumber << 6;
    QTest::newRow("over-long stamp, marker and captions do not matter")
        << QStringList{"s", "---V1", "1", "2", "3", "4", "5", "c", "d"} << QList<qsizetype>{0, 1, 7, 8}
        << QList<double>{1, 2, 3, 4, 5} << complete << -1;
    QTest::newRow("empty file") << QStringList{} << none << QList<double>{} << missing << 2;
    QTest::newRow("stamp only") << QStringList{"s"} << none << QList<double>{} << missing << 2;
}

void tst_ValueFiles::parseValueSet()
{
    QFETCH(QStringList, lines);
    QFETCH(QList<qsizetype>, overLong);
    QFETCH(QList<double>, values);
    QFETCH(int, stop);
    QFETCH(int, stopLine);

    const ValueSetRead set = ParseValueSet(ValueSetLines{lines, overLong, false});
    QCOMPARE(InLineOrder(set.values).first(set.count), values);
    QCOMPARE(int(set.stop), stop);
    QCOMPARE(set.stopLine, stopLine);
}

void tst_ValueFiles::fileNameIsValid_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("valid");

    QTest::newRow("stamp") << "06-12-2026 21-45-14" << true;
    QTest::newRow("empty") << "" << true;
    QTest::newRow("umlauts and dots") << QStringLiteral("Gr\u00f6\u00dfe v1.2") << true;
    QTest::newRow("blank at 32") << " " << true;
    const char* forbidden[] = {"\\", ":", "*", "?", "\"", "<", ">", "|", "/"};
    for (const char* c : forbidden)
        QTest::addRow("contains %s", c) << QStringLiteral("a%1b").arg(QLatin1String(c)) << false;
    QTest::newRow("tab") << "a\tb" << false;
    QTest::newRow("character 31") << QStringLiteral("a\x1f") << false;
    QTest::newRow("NUL") << QString::fromUtf16(u"a\u0000", 2) << false;
}

void tst_ValueFiles::fileNameIsValid()
{
    QFETCH(QString, name);
    QFETCH(bool, valid);
    QCOMPARE(FileNameIsValid(name), valid);
}

void tst_ValueFiles::writeFileAtomically()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("lastV.def"));

    QString error = QStringLiteral("stale");
    QVERIFY(WriteFileAtomically(path, "first", &error));
    QVERIFY(error.isEmpty());
    QVERIFY(WriteFileAtomically(path, "second, longer"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("second, longer"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"lastV.def"});
}

void tst_ValueFiles::writeFileAtomicallyFails_data()
{
    QTest::addColumn<QString>("failure");

    QTest::newRow("target is a folder") << "folder";
    QTest::newRow("parent is a file") << "parent file";
    QTest::newRow("read-only folder") << "read-only";
}

void tst_ValueFiles::writeFileAtomicallyFails()
{
    QFETCH(QString, failure);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString target = dir.filePath(QStringLiteral("set.dat"));
    const QByteArray old = "old contents\r\n";
    QVERIFY(WriteFileAtomically(target, old));
    const QByteArray data = QByteArray(64 * 1024, 'n');

    QString error;
    bool written = true;
    if (failure == u"folder") {
        const QString folder = dir.filePath(QStringLiteral("sub.dat"));
        QVERIFY(QDir().mkdir(folder));
        written = WriteFileAtomically(folder, data, &error);
        QVERIFY(QFileInfo(folder).isDir());
    } else if (failure == u"parent file") {
        written = WriteFileAtomically(target + QStringLiteral("/inner.dat"), data, &error);
    } else if (failure == u"read-only") {
        PermissionGuard guard(dir.path());
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
        QFile probe(dir.filePath(QStringLiteral("probe")));
        if (probe.open(QIODevice::WriteOnly)) {
            probe.close();
            probe.remove();
            QSKIP(
                "this process may write into a read-only folder (running as root): permission bits prove nothing here");
        }
        written = WriteFileAtomically(target, data, &error);
    }

    QVERIFY(!written);
    QVERIFY(!error.isEmpty());
    QFile file(target);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), old);
    // No temporary file is left behind.
    const QStringList files = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(files, QStringList{"set.dat"});
}

void tst_ValueFiles::writeUnderFileSizeLimit_data()
{
    QTest::addColumn<qint64>("limit");
    QTest::addColumn<bool>("oldFile");
    QTest::addColumn<bool>("written");

    // As small as the real files, which fit any write buffer.
    QTest::newRow("nothing may be written, replacing") << qint64(0) << true << false;
    QTest::newRow("cut after 16 bytes, replacing") << qint64(16) << true << false;
    QTest::newRow("nothing may be written, new file") << qint64(0) << false << false;
    QTest::newRow("limit above the data") << qint64(4096) << true << true;
}

void tst_ValueFiles::writeUnderFileSizeLimit()
{
    // Guards against renaming a short temporary file over the old one when
    // the failed write was still buffered.
#ifndef Q_OS_UNIX
    QSKIP("no file-size limit on this platform");
#endif
    QFETCH(qint64, limit);
    QFETCH(bool, oldFile);
    QFETCH(bool, written);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString target = dir.filePath(QStringLiteral("lastV.def"));
    const QByteArray old = WriteLastValues(LastValues{});
    if (oldFile)
        QVERIFY(WriteFileAtomically(target, old));
    const QByteArray data = WriteLastValues(Sample());

    // In a child, so the limit cannot hit this process's own files.
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--child"), QString::number(limit), target, QString::fromLatin1(data.toHex())});
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), written ? 0 : 1);

    QCOMPARE(readAll(target), written ? data : oldFile ? old : QByteArray("<missing>"));
    const QStringList left = oldFile || written ? QStringList{"lastV.def"} : QStringList{};
    QCOMPARE(entries(dir.path()), left);
}

void tst_ValueFiles::writeOnFullDisk_data()
{
    QTest::addColumn<bool>("oldFile");
    QTest::newRow("replacing a value set") << true;
    QTest::newRow("new value set") << false;
}

void tst_ValueFiles::writeOnFullDisk()
{
    QFETCH(bool, oldFile);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    TestSupport::SmallTmpfs disk(dir.path(), 64);
    if (!disk.mounted)
        QSKIP(qPrintable(disk.skipReason));
    const QString target = dir.filePath(QStringLiteral("A.dat"));
    const QByteArray old = "06-12-2026 21-45-14\r\n---V1\r\n0\r\n1\r\n0\r\n1\r\n0,33\r\n1,000\r\n0,330\r\n";
    if (oldFile)
        QVERIFY(WriteFileAtomically(target, old));
    QVERIFY(disk.fill());
    {
        // Really full: not one more byte goes in.
        QFile probe(dir.filePath(QStringLiteral("probe")));
        QVERIFY(probe.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        QCOMPARE(probe.write("x", 1), qint64(-1));
        QVERIFY(probe.remove());
    }

    const QByteArray data = QByteArray(old).replace("0,33", "0,5");
    QString error;
    QVERIFY(!WriteFileAtomically(target, data, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(readAll(target), oldFile ? old : QByteArray("<missing>"));
    const QStringList left = oldFile ? QStringList{"A.dat", "filler"} : QStringList{"filler"};
    QCOMPARE(entries(dir.path()), left);

    // With room again the same write goes through: the full disk was the cause.
    QVERIFY(QFile::remove(dir.filePath(QStringLiteral("filler"))));
    QVERIFY(WriteFileAtomically(target, data));
    QCOMPARE(readAll(target), data);
}

void tst_ValueFiles::enoughRoomForLastValues_data()
{
    QTest::addColumn<qint64>("freeBytes");
    QTest::addColumn<bool>("write");

    QTest::newRow("unknown") << qint64(-1) << true;
    QTest::newRow("full") << qint64(0) << false;
    QTest::newRow("4096 bytes") << qint64(4096) << false;
    QTest::newRow("4097 bytes") << qint64(4097) << true;
    QTest::newRow("plenty") << std::numeric_limits<qint64>::max() << true;
}

void tst_ValueFiles::enoughRoomForLastValues()
{
    QFETCH(qint64, freeBytes);
    QFETCH(bool, write);
    QCOMPARE(EnoughRoomForLastValues(freeBytes), write);
}

void tst_ValueFiles::onlyRegularFilesAreReadOrWritten_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("read");
    QTest::addColumn<bool>("written");

    QTest::newRow("regular file") << "file" << true << true;
    QTest::newRow("link to a regular file") << "link to file" << true << true;
    QTest::newRow("relative links through a subfolder") << "relative chain" << true << true;
    QTest::newRow("missing") << "missing" << false << true;
    QTest::newRow("folder") << "folder" << false << false;
    QTest::newRow("FIFO") << "fifo" << false << false;
    QTest::newRow("link to a FIFO") << "link to fifo" << false << false;
    QTest::newRow("link to a device") << "link to device" << false << false;
    QTest::newRow("dangling link") << "dangling link" << false << false;
    QTest::newRow("loop of links") << "loop" << false << false;
    QTest::newRow("read fails after opening") << "read error" << false << false;
}

void tst_ValueFiles::onlyRegularFilesAreReadOrWritten()
{
    // Nothing found under a file's name may block the reading: a FIFO waits
    // for a writer for ever, a device may never end. Nor may a write replace
    // anything but a regular file, wherever a link points.
#ifndef Q_OS_UNIX
    QSKIP("FIFOs, sockets and devices are Unix file types");
#else
    QFETCH(QString, kind);
    QFETCH(bool, read);
    QFETCH(bool, written);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("lastV.def"));
    const QByteArray native = QFile::encodeName(path);
    const QByteArray contents = WriteLastValues(Sample());
    const QString regular = dir.filePath(QStringLiteral("regular"));
    QVERIFY(WriteFileAtomically(regular, contents));
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);

    if (kind == u"file") {
        QVERIFY(WriteFileAtomically(path, contents));
    } else if (kind == u"link to file") {
        QVERIFY(QFile::link(regular, path));
    } else if (kind == u"relative chain") {
        // "sub/../regular" names the file only as the kernel resolves it.
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
        QCOMPARE(::symlink("../regular", QFile::encodeName(dir.filePath(QStringLiteral("sub/hop"))).constData()), 0);
        QCOMPARE(::symlink("sub/hop", native.constData()), 0);
    } else if (kind == u"folder") {
        QVERIFY(QDir().mkdir(path));
    } else if (kind == u"fifo") {
        QCOMPARE(::mkfifo(native.constData(), 0600), 0);
    } else if (kind == u"link to fifo") {
        QVERIFY(QFile::link(fifo, path));
    } else if (kind == u"link to device") {
        // A private twin of /dev/zero: replacing it must not even be tried.
        const QByteArray device = QFile::encodeName(dir.filePath(QStringLiteral("zero")));
        if (::mknod(device.constData(), S_IFCHR | 0600, makedev(1, 5)) != 0)
            QSKIP(::geteuid() != 0 ? "making a device node needs root" : "cannot make a device node here");
        QCOMPARE(::symlink(device.constData(), native.constData()), 0);
    } else if (kind == u"dangling link") {
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("gone")), path));
    } else if (kind == u"loop") {
        QCOMPARE(::symlink("loop", QFile::encodeName(dir.filePath(QStringLiteral("loop"))).constData()), 0);
        QCOMPARE(::symlink("loop", native.constData()), 0);
    } else if (kind == u"read error") {
        // A regular file to stat(), whose reading at offset 0 fails with EIO.
        if (!QFileInfo(QStringLiteral("/proc/self/mem")).isFile())
            QSKIP("no /proc/self/mem here");
        QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"), path));
    }

    const std::optional<QByteArray> data = ReadRegularFile(path, 64);
    QCOMPARE(data.has_value(), read);
    if (read)
        QCOMPARE(*data, contents);
    QFile file(path);
    QCOMPARE(OpenRegularFile(file), read || kind == u"read error");
    file.close();

    const QStringList before = snapshot(dir.path());
    const QByteArray fresh = WriteLastValues(LastValues{});
    QCOMPARE(WriteFileAtomically(path, fresh), written);
    if (!written) {
        QCOMPARE(snapshot(dir.path()), before);
        return;
    }
    // The file at the end of the links is replaced, not the links; no
    // temporary file is left.
    QCOMPARE(ReadRegularFile(path, 64), std::optional<QByteArray>(fresh));
    QCOMPARE(QFileInfo(path).isSymLink(), kind.contains(u"link") || kind.contains(u"chain"));
    QCOMPARE(entries(dir.path()).size(), before.size() + (kind == u"missing" ? 1 : 0));
#endif
}

void tst_ValueFiles::leftoverTemporaries_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("held"); // locked, as a save under way holds it
    QTest::addColumn<bool>("removed");

    QTest::newRow("left by a killed save") << ".lastV.def.tiraso-Ab3dEf" << false << true;
    QTest::newRow("held by a save under way") << ".lastV.def.tiraso-Ab3dEf" << true << false;
    QTest::newRow("the user's own copy") << "lastV.def.backup" << false << false;
}

void tst_ValueFiles::leftoverTemporaries()
{
#ifndef Q_OS_UNIX
    QSKIP("temporaries are named and locked the Unix way");
#else
    QFETCH(QString, name);
    QFETCH(bool, held);
    QFETCH(bool, removed);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString target = dir.filePath(QStringLiteral("lastV.def"));
    QFile leftover(dir.filePath(name));
    QVERIFY(leftover.open(QIODevice::WriteOnly));
    QVERIFY(leftover.write(WriteLastValues(LastValues{})) == 58 && leftover.flush());
    if (held)
        QCOMPARE(::flock(leftover.handle(), LOCK_EX), 0);

    QVERIFY(WriteFileAtomically(target, "new"));
    QCOMPARE(readAll(target), QByteArray("new"));
    QCOMPARE(entries(dir.path()).contains(name), !removed);
#endif
}

void tst_ValueFiles::loadLastValues_data()
{
    QTest::addColumn<QByteArray>("file"); // "<missing>": no file, "<folder>": a folder by that name
    QTest::addColumn<int>("count");
    const QByteArray floats = Ext(2) + Ext(3.5) + Ext(7) + Ext(-1) + Ext(4);
    QTest::newRow("missing") << QByteArray("<missing>") << 0;
    QTest::newRow("a folder is no file") << QByteArray("<folder>") << 0;
    QTest::newRow("complete") << floats + Hex("02 05 09") << 7;
    // Taken as a failed conversion: neither this nor anything after it.
    QTest::newRow("infinite third float") << Ext(2) + Ext(3.5) + Ext(kInf) + Ext(-1) + Ext(4) + Hex("02 05 09") << 2;
    QTest::newRow("NaN first") << Ext(kNaN) + floats.mid(11) << 0;
}

void tst_ValueFiles::loadLastValues()
{
    QFETCH(QByteArray, file);
    QFETCH(int, count);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QLatin1String(kLastValuesFileName));
    if (file == "<folder>")
        QVERIFY(QDir().mkpath(path));
    else if (file != "<missing>")
        QVERIFY(WriteFileAtomically(path, file));
    const LastValuesRead read = LoadLastValues(dir.path() + QLatin1Char('/'));
    QCOMPARE(read.count, count);
    const QList<double> file5 = {2, 3.5, 7, -1, 4};
    for (int i = 0; i < std::min(count, 5); ++i)
        QCOMPARE(Value(read.values, i), file5[i]);
}

TIRASO_TEST_MAIN_WITH_CHILD(tst_ValueFiles, childMain)
#include "tst_ValueFiles.moc"
