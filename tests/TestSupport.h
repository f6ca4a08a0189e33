// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Shared set-up for every test program: no access to the user's real files,
// the desktop locales the number tests run under, and (for widget tests) the
// program's own application object so the general error handler is in place.
//
// The locale is left as the environment sets it: the number texts must be
// German whatever it is, and CI runs the suite under a second one.

#include <QLocale>
#include <QStandardPaths>
#include <QtTest/QtTest>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <unistd.h>
#endif
#include <clocale>
#include <string>

namespace TestSupport {

inline void prepareProcess()
{
    QStandardPaths::setTestModeEnabled(true);
}

// A small tmpfs mounted on an existing folder while the object lives, so a
// test can fill a real file system without touching the machine's own.
// Mounting needs root; `skipReason` says why there is none.
struct SmallTmpfs {
    QByteArray folder;
    bool mounted = false;
    QString skipReason = QStringLiteral("tmpfs is a Linux file system");

    SmallTmpfs(const QString& path, int kibibytes)
        : folder(QFile::encodeName(path))
    {
#ifdef Q_OS_LINUX
        const QByteArray options = "size=" + QByteArray::number(kibibytes) + "k,mode=0700";
        mounted = ::geteuid() == 0 && ::mount("tmpfs", folder.constData(), "tmpfs", 0, options.constData()) == 0;
        skipReason = ::geteuid() != 0
            ? QStringLiteral("mounting a small tmpfs needs root")
            : QStringLiteral("cannot mount a tmpfs: ") + QString::fromLocal8Bit(std::strerror(errno));
#else
        Q_UNUSED(kibibytes);
#endif
    }
    ~SmallTmpfs()
    {
#ifdef Q_OS_LINUX
        if (mounted)
            ::umount2(folder.constData(), MNT_DETACH);
#endif
    }
    Q_DISABLE_COPY(SmallTmpfs)

    // Writes the file "filler" until the file system refuses more.
    bool fill() const
    {
        QFile filler(QFile::decodeName(folder) + QStringLiteral("/filler"));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return false;
        while (filler.write(QByteArray(1024, 'f')) == 1024) { }
        return true;
    }
};

// Every way a desktop's separators differ from the German ones: "." as
// decimal point (en_US, C), "'" or a narrow no-break space as group separator
// (de_CH, fr_FR), "٫" and digits of their own (fa_IR). For initTestCase_data()
// where every test of a program reads number texts, else for the _data() of
// the one test that proves a program's texts German on every desktop.
inline void addDesktopLocaleRows()
{
    QTest::addColumn<QByteArray>("locale");
    for (const char* name : {"de_DE.UTF-8", "en_US.UTF-8", "de_CH.UTF-8", "fr_FR.UTF-8", "fa_IR.UTF-8", "C"})
        QTest::newRow(name) << QByteArray(name);
}

// The C library's and Qt's default locale set as a desktop in the locale of
// the current global data row (or the one given) sets them; both restored
// when it ends.
class DesktopLocale
{
public:
    DesktopLocale()
        : DesktopLocale(globalRowLocale())
    {
    }
    explicit DesktopLocale(const QByteArray& locale)
    {
        m_entered = std::setlocale(LC_ALL, locale.constData()) != nullptr;
        QLocale::setDefault(QLocale(QString::fromLatin1(locale)));
    }
    ~DesktopLocale()
    {
        std::setlocale(LC_ALL, m_savedC.c_str());
        QLocale::setDefault(m_savedQt);
    }
    bool entered() const { return m_entered; } // false where locale-gen has not made it

private:
    static QByteArray globalRowLocale()
    {
        QFETCH_GLOBAL(QByteArray, locale);
        return locale;
    }

    QLocale m_savedQt;
    std::string m_savedC = std::setlocale(LC_ALL, nullptr);
    bool m_entered = false;
};

} // namespace TestSupport

#if defined(QT_WIDGETS_LIB) && __has_include("platform/Application.h")
#include "platform/Application.h"
#include "platform/Font.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QtMath>

#include <cstdlib>
#include <functional>
#include <memory>
#include <utility>

namespace TestSupport {

// A widget as a screen of this many device pixels per window pixel shows
// it, on a ground of one colour.
inline QImage renderAt(QWidget* widget, qreal ratio, QRgb ground)
{
    QImage image(qCeil(widget->width() * ratio), qCeil(widget->height() * ratio), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(ground);
    widget->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

// Text that Qt draws itself (labels, edit boxes) in the face for a screen of
// this ratio while the object lives, as if the window stood on one.
class ApplyScreenFontsScope
{
public:
    ApplyScreenFontsScope(QWidget* root, qreal ratio)
        : m_root(root)
    {
        ApplyScreenFonts(root, ratio);
    }
    ~ApplyScreenFontsScope() { ApplyScreenFonts(m_root); }
    Q_DISABLE_COPY(ApplyScreenFontsScope)

private:
    QWidget* m_root;
};

// The device pixels of a picture of this ratio that cover an area given in
// window pixels.
inline QRect deviceRect(const QRect& area, qreal ratio)
{
    const int left = qFloor(area.x() * ratio);
    const int top = qFloor(area.y() * ratio);
    return QRect(left, top, qCeil((area.x() + area.width()) * ratio) - left,
                 qCeil((area.y() + area.height()) * ratio) - top);
}

// "x,y wxh", for failure messages.
inline QString rectText(const QRect& rect)
{
    return QStringLiteral("%1,%2 %3x%4").arg(rect.x()).arg(rect.y()).arg(rect.width()).arg(rect.height());
}

// Where a line of text has ink within a band of a picture: the columns with
// any pixel other than the ground, in device pixels.
struct TextInk {
    int left = -1; // first column with ink; -1 when there is none
    int right = -1;
    int widestGap = 0; // widest run of empty columns between columns with ink
    int width() const { return left < 0 ? 0 : right - left + 1; }
};

inline TextInk textInk(const QImage& image, const QRect& band, QRgb ground)
{
    TextInk ink;
    int gap = 0;
    for (int x = band.left(); x <= band.right(); ++x) {
        bool inked = false;
        for (int y = band.top(); y <= band.bottom() && !inked; ++y)
            inked = (image.pixel(x, y) | 0xFF000000u) != (ground | 0xFF000000u);
        if (!inked) {
            ++gap;
            continue;
        }
        if (ink.left < 0)
            ink.left = x;
        else
            ink.widestGap = qMax(ink.widestGap, gap);
        ink.right = x;
        gap = 0;
    }
    return ink;
}

// A text drawn at `ratio` against the same text at one device pixel per
// window pixel: it starts where it started, its width scales within one
// window pixel per character, and no gap inside it opens wider than `ratio`
// times the plain gap plus one window pixel. The plain text is fully hinted,
// every glyph rounded to whole pixels; the dense one keeps the glyphs' true
// shapes, so it can differ from the plain one by that rounding. Empty when
// it holds, else what does not.
// `align` (0, 2 or 6: left, right, centre) names the edge or the centre that
// has to stay in place.
inline QString compareTextInk(const TextInk& plain, const TextInk& dense, qreal ratio, int characters,
                              unsigned align = 0)
{
    if (plain.left < 0 || dense.left < 0)
        return QStringLiteral("no text drawn");
    QStringList faults;
    const auto anchor = [align](const TextInk& ink) {
        return align == 6 ? (ink.left + ink.right + 1) / 2.0 : align == 2 ? ink.right + 1.0 : double(ink.left);
    };
    if (std::abs(anchor(dense) - anchor(plain) * ratio) > ratio + 1)
        faults << QStringLiteral("anchored at %1, plain at %2").arg(anchor(dense)).arg(anchor(plain));
    if (std::abs(dense.width() - plain.width() * ratio) > ratio * characters)
        faults << QStringLiteral("%1 wide, plain %2").arg(dense.width()).arg(plain.width());
    if (dense.widestGap > ratio * (plain.widestGap + 1))
        faults << QStringLiteral("a gap of %1, plain %2").arg(dense.widestGap).arg(plain.widestGap);
    return faults.join(QStringLiteral("; "));
}

// How heavy a text drawn at `ratio` looks against the same text at one
// device pixel per window pixel: the ratio of their ink per device pixel of
// the band. A pixel counts by how far it has moved from the ground (the
// band's top-left pixel) towards the text's colour (the plain pixel farthest
// from the ground, which the unsmoothed text fills): 1 for a solid pixel, a
// fraction for a smoothed edge.
inline double inkWeight(const QImage& plain, const QImage& dense, const QRect& band, qreal ratio)
{
    const QRgb ground = plain.pixel(band.topLeft());
    const auto distance = [ground](QRgb c) {
        return qMax(qMax(std::abs(qRed(c) - qRed(ground)), std::abs(qGreen(c) - qGreen(ground))),
                    std::abs(qBlue(c) - qBlue(ground)));
    };
    int text = 0;
    for (int y = band.top(); y <= band.bottom(); ++y)
        for (int x = band.left(); x <= band.right(); ++x)
            text = qMax(text, distance(plain.pixel(x, y)));
    const auto ink = [&](const QImage& image, const QRect& area) {
        double sum = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                sum += qMin(1.0, distance(image.pixel(x, y)) / double(text));
        return sum / (double(area.width()) * area.height());
    };
    return text == 0 ? 0 : ink(dense, deviceRect(band, ratio)) / ink(plain, band);
}

// True when every aligned 2 x 2 block of the area is of one colour, as in a
// picture enlarged from one pixel per window pixel.
inline bool pixelDoubled(const QImage& image, const QRect& area)
{
    for (int y = area.top() & ~1; y + 1 <= area.bottom(); y += 2)
        for (int x = area.left() & ~1; x + 1 <= area.right(); x += 2) {
            const QRgb c = image.pixel(x, y);
            if (image.pixel(x + 1, y) != c || image.pixel(x, y + 1) != c || image.pixel(x + 1, y + 1) != c)
                return false;
        }
    return true;
}

// Counts the paint events a widget gets: what a setter repaints shows here,
// and what it only stores does not.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget* widget)
        : QObject(widget)
    {
        widget->installEventFilter(this);
    }
    // The paints since the last call, after every pending update is handled.
    int take()
    {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        return std::exchange(m_count, 0);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++m_count;
        return QObject::eventFilter(watched, event);
    }

private:
    int m_count = 0;
};

// The columns of a table of setters for setterPaints.
inline void addSetterPaintColumns()
{
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<int>("paintsWhenChanged");
    QTest::addColumn<int>("paintsWhenSame");
}

// The paints a property setter causes when the value changes, then when the
// same value is set again; -1 each when the property cannot be set.
inline std::pair<int, int> setterPaints(QWidget* widget, const char* property, const QVariant& value)
{
    PaintCounter paints(widget);
    paints.take();
    if (!widget->setProperty(property, value))
        return {-1, -1};
    const int changed = paints.take();
    widget->setProperty(property, value);
    return {changed, paints.take()};
}

// Owner of the dialog watchers still waiting, so a test can drop the ones
// whose dialog never came before they catch the next test's dialog.
inline QObject& dialogWatchers()
{
    static QObject* owner = new QObject(qApp);
    return *owner;
}

inline void cancelDialogWatchers()
{
    qDeleteAll(dialogWatchers().findChildren<QTimer*>(Qt::FindDirectChildrenOnly));
}

// Runs `action` on the next modal dialog that opens, from inside that
// dialog's own event loop. Call it before the code that opens the dialog.
// A dialog that never comes leaves the action unrun; callers check that,
// and call cancelDialogWatchers() in cleanup().
inline void whenModalOpens(std::function<void(QWidget* dialog)> action, int timeoutMs = 5000)
{
    // Guarded: a dialog that closes before the next one opens may leave its
    // address to it, and the new dialog would pass for the old one.
    const QPointer<QWidget> before = QApplication::activeModalWidget();
    auto* timer = new QTimer(&dialogWatchers());
    auto elapsed = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, timer, [=] {
        QWidget* modal = QApplication::activeModalWidget();
        *elapsed += timer->interval();
        if (modal && modal != before && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            action(modal);
        } else if (*elapsed > timeoutMs) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(10);
}

// Presses the dialog button with exactly this text.
inline bool pressButton(QWidget* dialog, const QString& text)
{
    for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) {
        if (button->text() == text && button->isVisible()) {
            button->click();
            return true;
        }
    }
    return false;
}

// What a dialog showed: its caption, every label text and its line edit.
struct DialogSeen {
    bool opened = false;
    QString caption;
    QStringList labels;
    QString editText;
    QStringList buttons;
};

inline void collect(QWidget* dialog, DialogSeen& seen)
{
    seen.opened = true;
    seen.caption = dialog->windowTitle();
    for (QLabel* label : dialog->findChildren<QLabel*>())
        if (!label->text().isEmpty())
            seen.labels << label->text();
    if (auto* edit = dialog->findChild<QLineEdit*>())
        seen.editText = edit->text();
    for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>())
        if (button->isVisible())
            seen.buttons << button->text();
}

// Answers the next input prompt: notes what it showed, replaces the text
// (unless text is null) and presses "OK" or "Abbrechen". `then` runs right
// after, for example to wait for a message box that the answer brings up.
inline void answerNextPrompt(std::shared_ptr<DialogSeen> seen, const QString& text, bool confirm = true,
                             std::function<void()> then = {})
{
    whenModalOpens([=](QWidget* dialog) {
        collect(dialog, *seen);
        if (!text.isNull())
            if (auto* edit = dialog->findChild<QLineEdit*>())
                edit->setText(text);
        pressButton(dialog, confirm ? QStringLiteral("OK") : QStringLiteral("Abbrechen"));
        if (then)
            then();
    });
}

// Chooses a file in an open-file dialog by typing its full path, which does
// not depend on the dialog having listed its folder yet. A dialog that does
// not take the file is cancelled rather than left open to hang the test.
inline void chooseFile(QWidget* dialog, const QString& path)
{
    if (auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
        edit->setText(path);
    QMetaObject::invokeMethod(dialog, "accept");
    if (dialog->isVisible())
        QMetaObject::invokeMethod(dialog, "reject");
}

// Notes and closes the next message box with its "OK" button.
inline void acknowledgeNextMessage(std::shared_ptr<DialogSeen> seen)
{
    whenModalOpens([=](QWidget* dialog) {
        collect(dialog, *seen);
        pressButton(dialog, QStringLiteral("OK"));
    });
}

} // namespace TestSupport

// Widget tests run under the program's own application object, so its
// general error handler is in place; library tests need no more than QtCore.
#define TIRASO_TEST_APPLICATION TApplication
#else
#define TIRASO_TEST_APPLICATION QCoreApplication
#endif

#define TIRASO_TEST_MAIN(TestObject)                                                                                   \
    int main(int argc, char* argv[])                                                                                   \
    {                                                                                                                  \
        TestSupport::prepareProcess();                                                                                 \
        TIRASO_TEST_APPLICATION app(argc, argv);                                                                       \
        TestObject tc;                                                                                                 \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        return QTest::qExec(&tc, argc, argv);                                                                          \
    }

// A test program that can also be started as its own child process:
// "<program> --child <arguments>" runs childMain(arguments) instead of the
// tests, after the same process set-up. For what must not happen to the test
// process itself (a file-size limit).
#define TIRASO_TEST_MAIN_WITH_CHILD(TestObject, childMain)                                                             \
    int main(int argc, char* argv[])                                                                                   \
    {                                                                                                                  \
        TestSupport::prepareProcess();                                                                                 \
        TIRASO_TEST_APPLICATION app(argc, argv);                                                                       \
        if (argc > 1 && qstrcmp(argv[1], "--child") == 0)                                                              \
            return childMain(QCoreApplication::arguments().mid(2));                                                    \
        TestObject tc;                                                                                                 \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        return QTest::qExec(&tc, argc, argv);                                                                          \
    }
