// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// `x=-` and `y=-`: one value a line of standard input, one answer a line out,
// in constant memory whatever the length of the input.

#include "cli/Answers.h"

#include <QByteArray>

#include <string_view>

namespace CommandLine {

// The process's standard streams, or memory in the tests.
class Channel
{
public:
    virtual ~Channel() = default;
    // Up to `size` bytes of input: 0 at its end, -1 when it cannot be read.
    virtual qsizetype Read(char* buffer, qsizetype size) = 0;
    // Whether Read would return without waiting. Answers held back are
    // written before a wait, so a program that feeds one value at a time
    // and waits for its answer gets it.
    virtual bool InputReady() = 0;
    virtual bool WriteOut(std::string_view data) = 0; // false when it failed
    virtual void WriteErr(std::string_view data) = 0;
    // A terminal: every answer goes out as soon as it is there.
    virtual bool Interactive() = 0;
};

// Input from memory, handed out in pieces that split lines as a pipe does;
// output and messages collected.
class MemoryChannel final : public Channel
{
public:
    explicit MemoryChannel(QByteArray input);
    qsizetype Read(char* buffer, qsizetype size) override;
    bool InputReady() override { return true; }
    bool WriteOut(std::string_view data) override;
    void WriteErr(std::string_view data) override;
    bool Interactive() override { return false; }

    QByteArray out;
    QByteArray err;

private:
    QByteArray m_input;
    qsizetype m_read = 0;
};

// The exit status: 0, 1 when the input could not be read or the output not
// written, 2 when a line was no number, 3 when a value was outside or a
// height had no X.
int RunBatch(const Settings& settings, Channel& channel);

} // namespace CommandLine
