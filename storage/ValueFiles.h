// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// The two kinds of value files, without any widget, each in a file of its
// own:
//  - storage/LastValuesFile.h: "lastV.def", the tagged byte format the window
//    keeps over a restart, with its 80-bit extended floats
//    (storage/ExtendedFloat.h);
//  - storage/ValueSetFile.h: the nine-line value-set text (".dat"), and the
//    conversion of those lines back to numbers;
//  - storage/SafeFiles.h: reading only regular files, and writing so that a
//    failure keeps the previous file.
//
// The window applies what these functions return; nothing here knows about
// spin editors or labels, so every rule can be tested and fuzzed on its own.
// Both formats hold the model's Interpolation::Inputs; the order in which a
// file lists the five values belongs to its format alone.

#include "storage/ExtendedFloat.h"
#include "storage/LastValuesFile.h"
#include "storage/SafeFiles.h"
#include "storage/ValueSetFile.h"
