// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "storage/LastValuesFile.h"

#include "storage/ExtendedFloat.h"
#include "storage/SafeFiles.h"

#include <cmath>
#include <iterator>
#include <optional>

namespace ValueFiles {

namespace {

// The inputs in the order the file holds them.
constexpr double Interpolation::Inputs::*kFileOrder[] = {
    &Interpolation::Inputs::x1, &Interpolation::Inputs::X,  &Interpolation::Inputs::x2,
    &Interpolation::Inputs::y1, &Interpolation::Inputs::y2,
};
constexpr int kInputCount = int(std::size(kFileOrder));

quint64 ReadLE(const quint8* p, int size)
{
    quint64 v = 0;
    for (int i = size - 1; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

void AppendLE(QByteArray& out, quint64 v, int size)
{
    for (int i = 0; i < size; ++i)
        out.append(char(quint8(v >> (8 * i))));
}

// Cursor over the bytes of "lastV.def"; each reader returns false at a wrong
// tag or a value cut short, without moving past the end.
class TaggedReader
{
public:
    explicit TaggedReader(QByteArrayView data)
        : m_data(data)
    {
    }

    bool atEnd() const { return m_pos >= m_data.size(); }

    bool readInteger(qint32& value)
    {
        if (atEnd())
            return false;
        int size = 0;
        switch (quint8(m_data[m_pos])) {
        case TagInt8:
            size = 1;
            break;
        case TagInt16:
            size = 2;
            break;
        case TagInt32:
            size = 4;
            break;
        default:
            return false;
        }
        if (m_data.size() - m_pos - 1 < size)
            return false;
        const quint64 raw = ReadLE(bytesAt(m_pos + 1), size);
        // Sign-extend from the payload's width.
        const int unused = 64 - 8 * size;
        value = qint32(qint64(raw << unused) >> unused);
        m_pos += 1 + size;
        return true;
    }

    bool readFloat(double& value)
    {
        if (atEnd())
            return false;
        if (quint8(m_data[m_pos]) != TagExtended) {
            qint32 i = 0;
            if (!readInteger(i))
                return false;
            value = i;
            return true;
        }
        if (m_data.size() - m_pos - 1 < 10)
            return false;
        value = DecodeExtended(bytesAt(m_pos + 1));
        m_pos += 11;
        return true;
    }

    bool readBoolean(bool& value)
    {
        if (atEnd())
            return false;
        value = quint8(m_data[m_pos]) == TagTrue;
        ++m_pos;
        return true;
    }

private:
    const quint8* bytesAt(qsizetype pos) const { return reinterpret_cast<const quint8*>(m_data.data()) + pos; }

    QByteArrayView m_data;
    qsizetype m_pos = 0;
};

} // namespace

QByteArray WriteLastValues(const LastValues& values)
{
    QByteArray out;
    out.reserve(60);
    for (double Interpolation::Inputs::*input : kFileOrder) {
        out.append(char(TagExtended));
        const auto bytes = EncodeExtended(values.inputs.*input);
        out.append(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    }
    const qint32 d = values.Decimals;
    if (d >= -128 && d <= 127) {
        out.append(char(TagInt8));
        AppendLE(out, quint32(d), 1);
    } else if (d >= -32768 && d <= 32767) {
        out.append(char(TagInt16));
        AppendLE(out, quint32(d), 2);
    } else {
        out.append(char(TagInt32));
        AppendLE(out, quint32(d), 4);
    }
    out.append(char(values.Percent ? TagTrue : TagFalse));
    return out;
}

LastValuesRead ReadLastValues(QByteArrayView data)
{
    LastValuesRead result;
    TaggedReader reader(data);
    for (double Interpolation::Inputs::*input : kFileOrder) {
        double v = 0;
        if (!reader.readFloat(v))
            return result;
        result.values.inputs.*input = v;
        ++result.count;
    }
    qint32 decimals = 0;
    if (!reader.readInteger(decimals))
        return result;
    result.values.Decimals = decimals;
    ++result.count;
    bool percent = false;
    if (!reader.readBoolean(percent))
        return result;
    result.values.Percent = percent;
    ++result.count;
    return result;
}

LastValues LastValuesRead::AppliedTo(const LastValues& current) const
{
    LastValues applied = current;
    for (int i = 0; i < count && i < kInputCount; ++i)
        applied.inputs.*kFileOrder[i] = values.inputs.*kFileOrder[i];
    if (count > kInputCount)
        applied.Decimals = values.Decimals;
    if (count > kInputCount + 1)
        applied.Percent = values.Percent;
    return applied;
}

bool EnoughRoomForLastValues(qint64 freeBytes)
{
    return freeBytes < 0 || freeBytes > kLastValuesMinimumFree;
}

LastValuesRead LoadLastValues(const QString& folder)
{
    const std::optional<QByteArray> data = ReadRegularFile(folder + QLatin1String(kLastValuesFileName), 64);
    if (!data)
        return {};
    const LastValuesRead read = ReadLastValues(*data);
    for (int i = 0; i < read.count && i < kInputCount; ++i) {
        if (!std::isfinite(read.values.inputs.*kFileOrder[i])) {
            // Taken as a failed conversion: the values before it, the start
            // values from it on.
            const LastValuesRead before{i, read.values};
            return {i, before.AppliedTo(LastValues())};
        }
    }
    return read;
}

bool SaveLastValues(const QString& folder, const LastValues& values, qint64 freeBytes)
{
    if (!EnoughRoomForLastValues(freeBytes))
        return false;
    return WriteFileAtomically(folder + QLatin1String(kLastValuesFileName), WriteLastValues(values));
}

} // namespace ValueFiles
