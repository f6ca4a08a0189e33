// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/Loading.h"

namespace {
// Counts nested scopes; only the user-interface thread builds windows.
int loadingDepth = 0;
} // namespace

LoadingScope::LoadingScope()
{
    ++loadingDepth;
}

LoadingScope::~LoadingScope()
{
    --loadingDepth;
}

bool LoadingScope::Active()
{
    return loadingDepth > 0;
}
