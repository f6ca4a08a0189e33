// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Active while a window description is being applied. Some controls behave
// differently while their properties are still being loaded (a check box or a
// button does not update its group, a button does not paint), so they ask here.
class LoadingScope
{
public:
    LoadingScope();
    ~LoadingScope();
    LoadingScope(const LoadingScope&) = delete;
    LoadingScope& operator=(const LoadingScope&) = delete;

    static bool Active();
};
