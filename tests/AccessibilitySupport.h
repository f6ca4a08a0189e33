// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Shared by the tests that look at the program through Qt's accessibility
// API: the change notices sent while a log lives, and the wait for a
// desktop's accessibility bridge.

#include <QAccessible>
#include <QGuiApplication>
#include <QList>
#include <QtTest/QtTest>

#include <algorithm>

namespace TestSupport {

// Qt passes change notices on only while a desktop bridge is active; the
// offscreen platform has none. Under scripts/desktop-session (Xvfb, the
// accessibility bus) the bridge is expected, and comes up shortly after start.
inline bool accessibilityBridgeExpected()
{
    return QGuiApplication::platformName() != QLatin1String("offscreen")
        && qEnvironmentVariableIsSet("QT_LINUX_ACCESSIBILITY_ALWAYS_ON");
}

inline bool accessibilityBridgeActive()
{
    return QTest::qWaitFor([] { return QAccessible::isActive(); }, accessibilityBridgeExpected() ? 10000 : 0);
}

// Every change notice sent while it lives.
class AccessibleEventLog
{
public:
    AccessibleEventLog()
    {
        entries().clear();
        QAccessible::installUpdateHandler([](QAccessibleEvent* event) {
            entries().append({event->object(), event->type()});
        });
    }
    ~AccessibleEventLog() { QAccessible::installUpdateHandler(nullptr); }
    AccessibleEventLog(const AccessibleEventLog&) = delete;
    AccessibleEventLog& operator=(const AccessibleEventLog&) = delete;

    // The notices of one kind about one object.
    int count(const QObject* object, QAccessible::Event type) const
    {
        return int(std::count_if(entries().cbegin(), entries().cend(),
                                 [&](const Entry& e) { return e.object == object && e.type == type; }));
    }

private:
    struct Entry {
        QObject* object;
        QAccessible::Event type;
    };
    static QList<Entry>& entries()
    {
        static QList<Entry> list;
        return list;
    }
};

} // namespace TestSupport
