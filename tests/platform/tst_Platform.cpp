// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

// Dialogs, the general error handler and the small services of the platform layer.

#include "TestSupport.h"

#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/Font.h"
#include "platform/Loading.h"
#include "platform/Shell.h"
#include "platform/VirtualKeys.h"

#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QMetaEnum>
#include <QRandomGenerator>
#include <QStyle>
#include <QTemporaryDir>
#include <QTimer>

#include <stdexcept>

using namespace TestSupport;

namespace {

// Throws from inside event delivery, as a control's handler might.
class Thrower : public QObject
{
public:
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::User)
            throw std::runtime_error("Gleitkommaüberlauf");
        return QObject::event(event);
    }
};

} // namespace

class tst_Platform : public QObject
{
    Q_OBJECT

private slots:
    void inputQueryReturnsTheEditedText_data();
    void inputQueryReturnsTheEditedText();
    void messageBoxCarriesTheApplicationTitle();
    void errorHandlerShowsTheMessageAndGoesOn();
    void runGuardedRoutesExceptionsToTheErrorBox();
    void confirmationHasOneOkButton();
    void openDialogFilterAndTitle();
    void loadingScopeNests();
    void fontSizeAndHeight_data();
    void fontSizeAndHeight();
    void fontSignalsOnlyRealChanges();
    void faceForPixelRatio_data();
    void faceForPixelRatio();
    void screenFontsFollowTheScreen();
    void storageServices();
    void shellOpenRefusesEmptyTargets();
    void hintPauseReachesTheStyle();
    void keyCodesPoseAsNoActionKey();
};

void tst_Platform::inputQueryReturnsTheEditedText_data()
{
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<QString>("expected");
    QTest::newRow("OK") << true << QStringLiteral("neu");
    QTest::newRow("Abbrechen keeps the value") << false << QStringLiteral("alt");
}

void tst_Platform::inputQueryReturnsTheEditedText()
{
    QFETCH(bool, confirm);
    QFETCH(QString, expected);
    auto seen = std::make_shared<DialogSeen>();
    answerNextPrompt(seen, QStringLiteral("neu"), confirm);
    QString value = QStringLiteral("alt");
    const bool result = InputQuery(QStringLiteral("Titel"), QStringLiteral("Frage:"), value);
    QVERIFY(seen->opened);
    QCOMPARE(result, confirm);
    QCOMPARE(value, expected);
    QCOMPARE(seen->caption, QStringLiteral("Titel"));
    QVERIFY(seen->labels.contains(QStringLiteral("Frage:")));
    QCOMPARE(seen->editText, QStringLiteral("alt"));
    QVERIFY(seen->buttons.contains(QStringLiteral("OK")));
    QVERIFY(seen->buttons.contains(QStringLiteral("Abbrechen")));
}

void tst_Platform::messageBoxCarriesTheApplicationTitle()
{
    TApplication::SetTitle(QStringLiteral("Tiraso - Test"));
    auto seen = std::make_shared<DialogSeen>();
    acknowledgeNextMessage(seen);
    ShowMessage(QStringLiteral("Zeile 1\r\nZeile 2"));
    QVERIFY(seen->opened);
    QCOMPARE(seen->caption, QStringLiteral("Tiraso - Test"));
    // CR LF reaches the screen as a plain line break, with no stray CR glyph.
    QVERIFY(seen->labels.contains(QStringLiteral("Zeile 1\nZeile 2")));
    QCOMPARE(seen->buttons, QStringList{QStringLiteral("OK")});
}

void tst_Platform::errorHandlerShowsTheMessageAndGoesOn()
{
    Thrower thrower;
    auto seen = std::make_shared<DialogSeen>();
    acknowledgeNextMessage(seen);
    QEvent event(QEvent::User);
    QCoreApplication::sendEvent(&thrower, &event);
    QVERIFY(seen->opened);
    QVERIFY(seen->labels.contains(QStringLiteral("Gleitkommaüberlauf")));
}

void tst_Platform::runGuardedRoutesExceptionsToTheErrorBox()
{
    auto seen = std::make_shared<DialogSeen>();
    acknowledgeNextMessage(seen);
    bool after = false;
    RunGuarded([] { throw std::invalid_argument("'x' ist kein gültiger Gleitkommawert"); });
    after = true;
    QVERIFY(after);
    QVERIFY(seen->labels.contains(QStringLiteral("'x' ist kein gültiger Gleitkommawert")));
}

void tst_Platform::confirmationHasOneOkButton()
{
    auto seen = std::make_shared<DialogSeen>();
    acknowledgeNextMessage(seen);
    ShowConfirmation(QStringLiteral("Bestätigung"), QStringLiteral("Version\t3.0"));
    QCOMPARE(seen->caption, QStringLiteral("Bestätigung"));
    QCOMPARE(seen->buttons, QStringList{QStringLiteral("OK")});
}

void tst_Platform::openDialogFilterAndTitle()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QFile file(folder.filePath(QStringLiteral("werte.dat")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();

    TOpenDialog dialog;
    dialog.Title = QStringLiteral("Gespeicherte Werte laden");
    dialog.Filter = QStringLiteral("Tiraso-Datendatei (*.dat)|*.dat");
    dialog.DefaultExt = QStringLiteral("dat");
    dialog.InitialDir = folder.path();
    QCOMPARE(dialog.NameFilters(), QStringList{QStringLiteral("Tiraso-Datendatei (*.dat)")});

    const QString before = QDir::currentPath();
    auto seen = std::make_shared<DialogSeen>();
    QString shownFolder;
    whenModalOpens([&, seen](QWidget* modal) {
        collect(modal, *seen);
        auto* fileDialog = qobject_cast<QFileDialog*>(modal);
        QVERIFY(fileDialog);
        shownFolder = fileDialog->directory().absolutePath();
        chooseFile(fileDialog, folder.filePath(QStringLiteral("werte.dat")));
    });
    QVERIFY(dialog.Execute());
    QCOMPARE(seen->caption, QStringLiteral("Gespeicherte Werte laden"));
    QCOMPARE(shownFolder, QDir(folder.path()).absolutePath());
    QCOMPARE(QFileInfo(dialog.FileName).fileName(), QStringLiteral("werte.dat"));
    QCOMPARE(QDir::currentPath(), before);
}

void tst_Platform::loadingScopeNests()
{
    QVERIFY(!LoadingScope::Active());
    {
        LoadingScope outer;
        {
            LoadingScope inner;
            QVERIFY(LoadingScope::Active());
        }
        QVERIFY(LoadingScope::Active());
    }
    QVERIFY(!LoadingScope::Active());
}

void tst_Platform::fontSizeAndHeight_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("height");
    QTest::newRow("8 points") << 8 << -11;
    QTest::newRow("9 points") << 9 << -12;
    QTest::newRow("10 points") << 10 << -13;
    QTest::newRow("12 points") << 12 << -16;
}

void tst_Platform::fontSizeAndHeight()
{
    QFETCH(int, points);
    QFETCH(int, height);
    TFont font;
    font.setSize(points);
    QCOMPARE(font.Height(), height);
    QCOMPARE(font.Size(), points);
    QCOMPARE(font.toQFont().pixelSize(), -height);
}

void tst_Platform::fontSignalsOnlyRealChanges()
{
    TFont font;
    QSignalSpy changed(&font, &TFont::changed);
    font.setName(QStringLiteral("Tahoma"));
    font.setColor(clWindowText);
    QCOMPARE(changed.count(), 0);
    font.setStyle(TFont::fsBold);
    font.setColor(clBlue);
    QCOMPARE(changed.count(), 2);
    TFont copy;
    QSignalSpy copied(&copy, &TFont::changed);
    copy.Assign(font);
    QCOMPARE(copied.count(), 1);
    QCOMPARE(copy.Style(), TFont::TFontStyles(TFont::fsBold));
    QCOMPARE(copy.Color(), clBlue);
}

void tst_Platform::faceForPixelRatio_data()
{
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<bool>("smoothed");
    QTest::newRow("1: the crisp face as it is") << 1.0 << false;
    QTest::newRow("below 1: as it is") << 0.75 << false;
    QTest::newRow("1.25") << 1.25 << true;
    QTest::newRow("1.5") << 1.5 << true;
    QTest::newRow("2") << 2.0 << true;
    QTest::newRow("3") << 3.0 << true;
}

void tst_Platform::faceForPixelRatio()
{
    QFETCH(qreal, ratio);
    QFETCH(bool, smoothed);
    TFont font;
    font.setStyle(TFont::fsBold);
    QFont plain = font.toQFont();
    plain.setStyleStrategy(QFont::StyleStrategy(plain.styleStrategy() | QFont::NoFontMerging));
    const QFont face = FontForPixelRatio(plain, ratio);
    if (!smoothed) {
        QCOMPARE(face, plain);
        return;
    }
    QCOMPARE(face.hintingPreference(), QFont::PreferNoHinting);
    QVERIFY(!(face.styleStrategy() & QFont::NoAntialias));
    QVERIFY(face.styleStrategy() & QFont::NoSubpixelAntialias);
    QVERIFY(face.styleStrategy() & QFont::NoFontMerging); // the rest of the strategy stays
    // Only the rendering changes: the same face, size and style.
    QCOMPARE(face.family(), plain.family());
    QCOMPARE(face.pixelSize(), plain.pixelSize());
    QCOMPARE(face.bold(), true);
}

void tst_Platform::screenFontsFollowTheScreen()
{
    QWidget window;
    auto* label = new QLabel(QStringLiteral("H=0,330"), &window);
    auto* plainChild = new QLabel(QStringLiteral("Neigung:"), &window);
    TFont font;
    const QFont base = font.toQFont();
    SetScreenFont(label, base);
    const qreal screen = label->devicePixelRatioF();
    QCOMPARE(label->font(), FontForPixelRatio(base, screen));

    // Rendered for a denser screen and back.
    ApplyScreenFonts(&window, 2);
    QCOMPARE(label->font(), FontForPixelRatio(base, 2));
    QCOMPARE(label->font().hintingPreference(), QFont::PreferNoHinting);
    QCOMPARE(plainChild->font(), window.font()); // not looked after: untouched
    ApplyScreenFonts(&window);
    QCOMPARE(label->font(), FontForPixelRatio(base, screen));

    // When the window moves to another screen, the face is chosen again.
    label->setFont(QFont());
    QEvent moved(QEvent::ScreenChangeInternal);
    QCoreApplication::sendEvent(label, &moved);
    QCOMPARE(label->font(), FontForPixelRatio(base, screen));
}

void tst_Platform::storageServices()
{
    // Test mode keeps this away from the user's real data folder.
    QVERIFY(LocalAppDataFolder().contains(QStringLiteral(".qttest")));
    QTemporaryDir folder;
    const QString deep = folder.filePath(QStringLiteral("a/b/c"));
    QVERIFY(ForceDirectories(deep));
    QVERIFY(ForceDirectories(deep)); // existing counts as success
    QVERIFY(QFileInfo(deep).isDir());
    QVERIFY(!ForceDirectories(QString()));
    // Measured on the folder's own file system, whatever the mount table
    // says (a chroot or container may list none that holds it); how much is
    // free depends on the machine.
    QVERIFY(DiskFree(folder.path()) >= 0);
    QCOMPARE(DiskFree(folder.filePath(QStringLiteral("missing/nowhere"))), qint64(-1));
    QCOMPARE(DiskFree(QString()), qint64(-1));
}

void tst_Platform::shellOpenRefusesEmptyTargets()
{
    QVERIFY(!ShellOpen(QString()));
    QVERIFY(!ShellOpen(QStringLiteral("   ")));
}

void tst_Platform::hintPauseReachesTheStyle()
{
    TApplication::SetHintPause(50);
    QCOMPARE(TApplication::HintPause(), 50);
    QCOMPARE(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 50);
}

// A control acts on Enter and the step keys by their codes, so no other key,
// whatever Qt number it has, may report one of them.
void tst_Platform::keyCodesPoseAsNoActionKey()
{
    const QList<int> actionKeys{Qt::Key_Return, Qt::Key_Enter, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_End,
                                Qt::Key_Home,   Qt::Key_Left,  Qt::Key_Up,     Qt::Key_Right,    Qt::Key_Down};
    QList<int> keys;
    const QMetaEnum named = QMetaEnum::fromType<Qt::Key>();
    for (int i = 0; i < named.keyCount(); ++i)
        keys << named.value(i);
    QRandomGenerator random(24);
    for (int i = 0; i < 20000; ++i)
        keys << int(random.generate()) << random.bounded(0x01300000);
    for (const int key : std::as_const(keys)) {
        for (const Qt::KeyboardModifiers keypad : {Qt::NoModifier, Qt::KeypadModifier}) {
            const quint16 code = VirtualKey::FromQtKey(key, keypad);
            const bool actionCode = code == VirtualKey::Return
                || (code >= VirtualKey::PageUp && code <= VirtualKey::Down);
            QVERIFY2(!actionCode || actionKeys.contains(key), qPrintable(QString::number(key, 16)));
            // Only the keypad changes a code; Shift, Ctrl and Alt are reported beside it.
            QCOMPARE(VirtualKey::FromQtKey(key, keypad | Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier),
                     code);
        }
    }
}

TIRASO_TEST_MAIN(tst_Platform)
#include "tst_Platform.moc"
