// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

// Sequences of what a user does with the window, random and scripted. After
// every step the results are the model's for the values the editors hold, bit
// for bit, each editor shows its value, and the undo commands move between
// exactly the states the window showed.
//
// A failing sequence prints its seed and its steps. TIRASO_SEQUENCE_SEED=<n>
// runs that seed alone, TIRASO_SEQUENCE_STEPS=<n> sets the length.

#include "TestSupport.h"

#include "calc/NumberFormat.h"
#include "controls/Accessibility.h"
#include "controls/RUVButton.h"
#include "controls/SpezialSpin.h"
#include "main/tirasomain.h"
#include "model/UndoHistory.h"

#include <QAccessible>
#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QRandomGenerator>
#include <QWheelEvent>

#include <array>
#include <cmath>
#include <deque>
#include <memory>
#include <numeric>
#include <optional>

using namespace TestSupport;
using Interpolation::WindowState;

namespace {

enum Editor : quint8 { x1, x2, X, y1, y2 };
constexpr int kEditors = 5;
const char* const kEditorNames[kEditors] = {"x1", "x2", "X", "y1", "y2"};
const char* const kFields[] = {"lbl_LGes", "lbl_Hges", "lbl_LLi", "lbl_LRe", "lbl_Neig", "lbl_YErg"};

// One thing a user does.
struct Step {
    enum Kind : quint8 {
        Type,
        Paste,
        Arrow,
        Wheel,
        Hold,
        Keys,
        Menu,
        Percent,
        Entry,
        Decimals,
        Load,
        Pause,
        Focus,
        Reader,
        Restart
    };
    Kind kind = Pause;
    int editor = 0;
    // Typed or pasted, the answer to a prompt (null: cancelled), the file loaded.
    QString text = {};
    bool keepPrefilled = false;
    // Type, Paste: the key that ends the typing (Key_unknown: none). Arrow: the
    // key. Keys: the key pressed with `modifiers`.
    Qt::Key key = Qt::Key_unknown;
    Qt::KeyboardModifiers modifiers = {};
    // Wheel: notches, negative down. Hold: 1 the up cell, -1 the down cell, 0
    // the prefix. Keys: 1 when the modifiers are let go before the key.
    int count = 0;
    QByteArray name = {}; // Menu: the action; Entry: the field

    QString describe() const;
};

QString keyName(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
{
    return QKeySequence(QKeyCombination(modifiers, key)).toString();
}

QString Step::describe() const
{
    const QString in = QString::fromLatin1(kEditorNames[editor]);
    const QString quoted = text.isNull() ? QStringLiteral("(cancel)") : u'"' + text + u'"';
    const QString end = key == Qt::Key_unknown ? QStringLiteral(", no Enter") : QStringLiteral(", ") + keyName(key);
    switch (kind) {
    case Type:
        return QStringLiteral("type %1 into %2%3").arg(quoted, in, end);
    case Paste:
        return QStringLiteral("paste %1 into %2%3").arg(quoted, in, end);
    case Arrow:
        return QStringLiteral("%1 in %2").arg(keyName(key), in);
    case Wheel:
        return QStringLiteral("wheel %1 notches on %2").arg(count).arg(in);
    case Hold:
        return QStringLiteral("click %1 of %2").arg(count > 0 ? "up cell" : count < 0 ? "down cell" : "prefix", in);
    case Keys:
        return keyName(key, modifiers) + (count ? QStringLiteral(" (modifiers let go first)") : QString());
    case Menu:
        return QStringLiteral("menu ") + QString::fromLatin1(name);
    case Percent:
        return QStringLiteral("click %");
    case Entry:
        return QStringLiteral("click %1, answer %2")
            .arg(QString::fromLatin1(name), keepPrefilled ? QStringLiteral("(as pre-filled)") : quoted);
    case Decimals:
        return QStringLiteral("decimals command, answer ") + quoted;
    case Load:
        return QStringLiteral("load \"") + QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("|")) + u'"';
    case Pause:
        return QStringLiteral("pause until the delayed commits ran");
    case Focus:
        return QStringLiteral("click into ") + in;
    case Reader:
        return QStringLiteral("screen reader sets %1 to %2").arg(in, text);
    case Restart:
        return QStringLiteral("close the window and start again");
    }
    return {};
}

Step typed(int editor, const QString& text, Qt::Key end = Qt::Key_Return)
{
    return {.kind = Step::Type, .editor = editor, .text = text, .key = end};
}

Step keys(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier, bool modifiersFirst = false)
{
    return {.kind = Step::Keys, .key = key, .modifiers = modifiers, .count = modifiersFirst ? 1 : 0};
}

Step menu(const char* action)
{
    return {.kind = Step::Menu, .name = action};
}

Step entry(const char* field, const QString& answer)
{
    return {.kind = Step::Entry, .text = answer, .name = field};
}

QString describe(const WindowState& s)
{
    QString text;
    for (double v : {s.inputs.x1, s.inputs.x2, s.inputs.X, s.inputs.y1, s.inputs.y2})
        text += QString::number(v, 'g', 17) + u' ';
    return text + QStringLiteral("decimals %1/%2 %3").arg(s.Decimals).arg(s.EditorDecimals).arg(s.Percent ? "%" : "°");
}

QString valueSetFile(const QString& name)
{
    return TForm1::StorageFolder() + name;
}

// Qt's key simulation warns for every key a widget leaves alone, and the
// offscreen platform for every window it cannot raise; a sequence does
// thousands of both.
QtMessageHandler testLogHandler = nullptr;

void dropIgnoredKeyWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith(QLatin1String("Keyboard event not accepted"))
        || message.startsWith(QLatin1String("This plugin does not support")))
        return;
    if (testLogHandler)
        testLogHandler(type, context, message);
}

// One recomputation as the window showed it.
struct Shown {
    WindowState state;
    int gesture = 0; // editor + 1 while a wheel notch reports, else 0
    qint64 ms = 0;
};

// The window's undo history as it must be after what it showed.
struct History {
    std::deque<WindowState> undo;
    std::deque<WindowState> redo;
    WindowState current;
    int gesture = 0;
    qint64 lastMs = 0;
    bool undecided = false;

    // The window's rule: a recomputation that shows another state is a
    // step; the notches of one turn of the wheel make one.
    void record(const Shown& shown)
    {
        if (Interpolation::SameState(current, shown.state))
            return;
        redo.clear();
        const qint64 gap = shown.ms - lastMs;
        const bool sameRun = shown.gesture != 0 && shown.gesture == gesture && !undo.empty();
        // Our clock reads a little after the window's; near the limit it cannot tell.
        if (sameRun && std::abs(gap - Interpolation::UndoHistory::MergeMs) < 150)
            undecided = true;
        const bool merges = sameRun && gap <= Interpolation::UndoHistory::MergeMs;
        gesture = shown.gesture;
        lastMs = shown.ms;
        if (!merges) {
            undo.push_back(current);
            if (undo.size() > std::size_t(Interpolation::UndoHistory::Capacity))
                undo.pop_front();
        } else if (Interpolation::SameState(undo.back(), shown.state)) {
            undo.pop_back();
            gesture = 0;
        }
        current = shown.state;
    }
    void record(const QList<Shown>& shown)
    {
        for (const Shown& s : shown)
            record(s);
    }
    std::deque<WindowState>& from(bool undoing) { return undoing ? undo : redo; }
    // Empty when `shown` is the state to go back (or forth) to.
    QString restore(const Shown& shown, bool undoing)
    {
        std::deque<WindowState>& source = from(undoing);
        std::deque<WindowState>& target = from(!undoing);
        const QString name = QLatin1String(undoing ? "undo" : "redo");
        if (source.empty())
            return name + QStringLiteral(" restored a state with nothing to go back to");
        QString fault;
        if (!Interpolation::SameState(source.back(), shown.state))
            fault = QStringLiteral("%1 restored\n  %2\ninstead of\n  %3")
                        .arg(name, describe(shown.state), describe(source.back()));
        target.push_back(current);
        current = source.back();
        source.pop_back();
        gesture = 0;
        return fault;
    }
};

// The window and a user at it: runs steps, watches what the window shows and
// keeps its own account of the undo history to hold the window against.
class Session
{
public:
    explicit Session(quint32 seed);
    ~Session();
    Q_DISABLE_COPY(Session)

    // False when the step broke a rule; report() then says which and how.
    bool run(const Step& step);
    Step next();
    QString report() const;
    // The test clock could not tell whether two wheel notches were one step.
    bool undecided() const { return m_history.undecided; }

private:
    // A new window, watched.
    void open();
    TSpezialSpin* spin(int editor) const { return m_spins[editor]; }
    WindowState state() const;
    void activate();
    void focusEditor(int editor);
    void pressKeys(const Step& step);
    void flushDelays();
    void answerModal();
    void fail(const QString& reason);

    void absorb(bool undoRan, bool redoRan, int commits);
    void check();

    QString number();
    QString typedText(int editor);
    QString entryAnswer(const QByteArray& field);
    QString valueSet();

    std::unique_ptr<TForm1> m_form;
    std::array<TSpezialSpin*, kEditors> m_spins{};
    quint32 m_seed;
    QRandomGenerator m_random;
    QElapsedTimer m_clock;
    QTimer m_answerer;
    QStringList m_steps;
    QString m_failure;

    // What the step has planned for the dialog it opens.
    std::optional<Step> m_prompt;
    QString m_fileToChoose;

    QList<Shown> m_shown;
    int m_commits = 0;
    int m_undoRuns = 0;
    int m_redoRuns = 0;
    std::array<QStringList, kEditors> m_seenTexts;

    History m_history;
};

Session::Session(quint32 seed)
    : m_seed(seed)
    , m_random(seed)
{
    m_clock.start();
    // Looks at every turn of any event loop, a dialog's included.
    m_answerer.setInterval(0);
    QObject::connect(&m_answerer, &QTimer::timeout, &m_answerer, [this] { answerModal(); });
    m_answerer.start();
    open();
}

Session::~Session()
{
    // Before the members its handlers reach.
    m_form.reset();
}

void Session::open()
{
    m_form = std::make_unique<TForm1>();
    TForm1* form = m_form.get();
    m_spins = {form->spin_x1, form->spin_x2, form->spin__X, form->spin_y1, form->spin_y2};
    // Once per recomputation, after the window has read the editors.
    form->lbl_YErg->OnChange = [this](QObject*) {
        int gesture = 0;
        for (int i = 0; i < kEditors; ++i)
            if (spin(i)->WheelStepping())
                gesture = i + 1;
        m_shown.append({state(), gesture, m_clock.elapsed()});
    };
    for (TSpezialSpin* s : m_spins) {
        s->OnDelayedChange = [this, handler = s->OnDelayedChange](QObject* sender) {
            ++m_commits;
            handler(sender);
        };
    }
    QObject::connect(form->PM_Undo, &QAction::triggered, form, [this] { ++m_undoRuns; });
    QObject::connect(form->PM_Redo, &QAction::triggered, form, [this] { ++m_redoRuns; });
    form->show();
    activate();
    // What the window starts with is no step to undo.
    m_history = History{};
    m_history.current = state();
    m_shown.clear();
}

WindowState Session::state() const
{
    // CurrentValue leaves a pending commit and the typed text alone.
    return {{spin(x1)->CurrentValue(), spin(x2)->CurrentValue(), spin(X)->CurrentValue(), spin(y1)->CurrentValue(),
             spin(y2)->CurrentValue()},
            m_form->Decimals,
            spin(x1)->NachkommaStellen(),
            m_form->cb_PRZT->Checked()};
}

void Session::fail(const QString& reason)
{
    if (m_failure.isEmpty() && !reason.isEmpty())
        m_failure = reason;
}

QString Session::report() const
{
    QString text = QStringLiteral("seed %1, step %2: %3\nsteps:\n").arg(m_seed).arg(m_steps.size()).arg(m_failure);
    for (qsizetype i = 0; i < m_steps.size(); ++i)
        text += QStringLiteral("%1. %2\n").arg(i + 1).arg(m_steps.at(i));
    return text;
}

void Session::activate()
{
    if (QApplication::activeWindow() == m_form.get())
        return;
    m_form->activateWindow();
    if (!QTest::qWaitForWindowActive(m_form.get()))
        fail(QStringLiteral("the window does not become active"));
}

void Session::focusEditor(int editor)
{
    QLineEdit* edit = spin(editor)->InnerEdit();
    if (QApplication::focusWidget() != edit)
        QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(4, edit->height() / 2));
}

void Session::pressKeys(const Step& step)
{
    // As a keyboard sends them, each to where the focus is at that moment.
    const auto send = [](bool press, int key, Qt::KeyboardModifiers modifiers) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow();
        if (target)
            QTest::simulateEvent(target, press, key, modifiers, QString(), false);
    };
    const bool shift = step.modifiers.testFlag(Qt::ShiftModifier);
    send(true, Qt::Key_Control, {});
    if (shift)
        send(true, Qt::Key_Shift, Qt::ControlModifier);
    send(true, step.key, step.modifiers);
    if (step.count == 0)
        send(false, step.key, step.modifiers);
    if (shift)
        send(false, Qt::Key_Shift, step.modifiers);
    send(false, Qt::Key_Control, step.count == 0 ? Qt::ControlModifier : step.modifiers);
    if (step.count != 0)
        send(false, step.key, {});
}

void Session::flushDelays()
{
    // The user stops typing: every pending delayed commit runs now.
    for (TSpezialSpin* s : m_spins) {
        auto* delay = s->findChild<QTimer*>(QStringLiteral("DelayTimer"));
        if (!delay->isActive())
            continue;
        const int interval = s->ChangeDelay();
        s->setChangeDelay(1);
        if (!QTest::qWaitFor([delay] { return !delay->isActive(); }))
            fail(QStringLiteral("a delayed commit never ran"));
        s->setChangeDelay(interval);
    }
}

void Session::answerModal()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible() || m_steps.isEmpty())
        return;
    QString& log = m_steps.last();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        log += QStringLiteral(" -> message \"%1\"").arg(box->text().simplified());
        pressButton(box, QStringLiteral("OK"));
    } else if (auto* files = qobject_cast<QFileDialog*>(modal)) {
        if (m_fileToChoose.isEmpty()) {
            fail(QStringLiteral("an open-file dialog nobody asked for"));
            QMetaObject::invokeMethod(files, "reject");
        } else {
            chooseFile(files, std::exchange(m_fileToChoose, QString()));
        }
    } else if (auto* prompt = qobject_cast<QInputDialog*>(modal)) {
        if (!m_prompt) {
            fail(QStringLiteral("a prompt nobody asked for: ") + prompt->labelText());
            pressButton(prompt, QStringLiteral("Abbrechen"));
            return;
        }
        const Step answer = *std::exchange(m_prompt, std::nullopt);
        log += QStringLiteral(" (pre-filled \"%1\")").arg(prompt->textValue());
        if (answer.text.isNull() && !answer.keepPrefilled) {
            pressButton(prompt, QStringLiteral("Abbrechen"));
            return;
        }
        if (!answer.keepPrefilled)
            prompt->findChild<QLineEdit*>()->setText(answer.text);
        pressButton(prompt, QStringLiteral("OK"));
    } else {
        fail(QStringLiteral("an unknown dialog: ") + QString::fromLatin1(modal->metaObject()->className()));
        modal->close();
    }
}

bool Session::run(const Step& step)
{
    m_steps.append(step.describe());
    const int undoRuns = m_undoRuns;
    const int redoRuns = m_redoRuns;
    m_commits = 0;
    m_shown.clear();
    activate();

    TSpezialSpin* s = spin(step.editor);
    QLineEdit* edit = s->InnerEdit();
    switch (step.kind) {
    case Step::Type:
    case Step::Paste:
        focusEditor(step.editor);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        if (step.kind == Step::Paste) {
            QGuiApplication::clipboard()->setText(step.text);
            pressKeys(keys(Qt::Key_V));
        } else if (step.text.isEmpty()) {
            QTest::keyClick(edit, Qt::Key_Backspace);
        } else {
            QTest::keyClicks(edit, step.text);
        }
        if (step.key != Qt::Key_unknown)
            QTest::keyClick(edit, step.key);
        break;
    case Step::Arrow:
        focusEditor(step.editor);
        QTest::keyClick(edit, step.key);
        break;
    case Step::Wheel:
        for (int i = 0; i < std::abs(step.count); ++i) {
            const QPointF at(5, 5);
            QWheelEvent event(at, edit->mapToGlobal(at), QPoint(), QPoint(0, step.count > 0 ? 120 : -120), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(edit, &event);
        }
        break;
    case Step::Hold: {
        const QPoint at = step.count > 0 ? s->UpArrowRect().center()
            : step.count < 0             ? s->DownArrowRect().center()
                                         : QPoint(2, s->height() / 2);
        QTest::mousePress(s, Qt::LeftButton, {}, at);
        QTest::mouseRelease(s, Qt::LeftButton, {}, at);
        break;
    }
    case Step::Keys:
        pressKeys(step);
        break;
    case Step::Menu:
        m_form->findChild<QAction*>(QString::fromLatin1(step.name))->trigger();
        break;
    case Step::Percent:
        QTest::mouseClick(m_form->cb_PRZT, Qt::LeftButton);
        break;
    case Step::Entry:
        m_prompt = step;
        QTest::mouseClick(m_form->findChild<QWidget*>(QString::fromLatin1(step.name)), Qt::LeftButton);
        break;
    case Step::Decimals:
        m_prompt = step;
        m_form->PM_NKDef->trigger();
        break;
    case Step::Load: {
        QFile file(valueSetFile(QStringLiteral("satz.dat")));
        if (!file.open(QIODevice::WriteOnly) || file.write(step.text.toLatin1()) != step.text.size())
            fail(QStringLiteral("cannot write the value set"));
        file.close();
        m_fileToChoose = file.fileName();
        QTest::mouseClick(m_form->btn_load, Qt::LeftButton);
        break;
    }
    case Step::Pause:
        flushDelays();
        break;
    case Step::Focus:
        focusEditor(step.editor);
        break;
    case Step::Reader:
        QAccessible::queryAccessibleInterface(s)->valueInterface()->setCurrentValue(step.text.toDouble());
        break;
    case Step::Restart: {
        // The last values are saved at the close and read at the start: the
        // same inputs, bit for bit, the same decimals and slope mode.
        m_form->close();
        const WindowState saved = state();
        open();
        const WindowState loaded = state();
        if (!Interpolation::SameInputs(loaded.inputs, saved.inputs) || loaded.Decimals != saved.Decimals
            || loaded.Percent != saved.Percent)
            fail(QStringLiteral("closed with\n  %1\nstarted again with\n  %2").arg(describe(saved), describe(loaded)));
        check();
        return m_failure.isEmpty();
    }
    }

    if (QWidget* modal = QApplication::activeModalWidget()) {
        fail(QStringLiteral("a dialog stayed open: ") + modal->windowTitle());
        modal->close();
    }
    if (m_prompt || !m_fileToChoose.isEmpty())
        fail(QStringLiteral("the dialog the step asked for never opened"));
    m_prompt.reset();
    m_fileToChoose.clear();

    absorb(m_undoRuns != undoRuns, m_redoRuns != redoRuns, m_commits);
    check();
    return m_failure.isEmpty();
}

void Session::absorb(bool undoRan, bool redoRan, int commits)
{
    const QList<Shown> shown = std::exchange(m_shown, {});
    if (!undoRan && !redoRan) {
        m_history.record(shown);
        return;
    }
    if (undoRan && redoRan) {
        fail(QStringLiteral("one step ran undo and redo"));
        return;
    }
    // The command commits typed text first, which may recompute, and then,
    // when there is a step to take, restores it with one more recomputation.
    // Which of the two the last one was shows in the history it leaves.
    History restoring = m_history;
    restoring.record(shown.mid(0, shown.size() - 1));
    const bool restores = !shown.isEmpty() && !restoring.from(undoRan).empty()
        && Interpolation::SameState(restoring.from(undoRan).back(), shown.last().state);
    History recording = m_history;
    recording.record(shown);
    const bool onlyRecords = recording.from(undoRan).empty();
    if (restores && (!onlyRecords || commits == 0)) {
        fail(restoring.restore(shown.last(), undoRan));
        m_history = restoring;
    } else if (onlyRecords) {
        m_history = recording;
    } else {
        fail(QStringLiteral("%1 showed %2 states, none of them the one to restore")
                 .arg(undoRan ? "undo" : "redo")
                 .arg(shown.size()));
    }
    m_history.gesture = 0;
}

void Session::check()
{
    const bool undo = m_form->PM_Undo->isEnabled();
    const bool redo = m_form->PM_Redo->isEnabled();
    if (undo == m_history.undo.empty() || redo == m_history.redo.empty())
        fail(QStringLiteral("undo %1 and redo %2 enabled with %3 and %4 steps to take")
                 .arg(undo)
                 .arg(redo)
                 .arg(m_history.undo.size())
                 .arg(m_history.redo.size()));
    // Typed text waits for its commit; until then the results may differ.
    for (TSpezialSpin* s : m_spins)
        if (s->HasTypedText())
            return;

    const WindowState now = state();
    if (!Interpolation::SameState(now, m_history.current))
        fail(QStringLiteral("the editors hold\n  %1\nbut the window last showed\n  %2")
                 .arg(describe(now), describe(m_history.current)));
    for (int i = 0; i < kEditors; ++i) {
        const QString shown = NumberFormat::FormatN(spin(i)->NachkommaStellen(), spin(i)->CurrentValue());
        if (spin(i)->InnerEdit()->text() != shown)
            fail(QStringLiteral("%1 shows \"%2\" for %3")
                     .arg(QLatin1String(kEditorNames[i]), spin(i)->InnerEdit()->text())
                     .arg(spin(i)->CurrentValue(), 0, 'g', 17));
        QStringList& seen = m_seenTexts[i];
        if (seen.isEmpty() || seen.last() != shown) {
            seen.removeAll(shown);
            seen.append(shown);
            if (seen.size() > 8)
                seen.removeFirst();
        }
    }
    const Interpolation::Captions expected
        = Interpolation::Recompute(now.inputs, m_form->Decimals, m_form->cb_PRZT->Checked()).captions;
    const QStringList want
        = {expected.LLi, expected.LRe, expected.LGes, expected.xH, expected.Hges, expected.YErg, expected.Neig};
    const QStringList have = {m_form->lbl_LLi->Caption(), m_form->lbl_LRe->Caption(), m_form->lbl_LGes->Caption(),
                              m_form->lbl_xH->text(),     m_form->lbl_Hges->text(),   m_form->lbl_YErg->Caption(),
                              m_form->lbl_Neig->Caption()};
    if (have != want)
        fail(QStringLiteral("the results show\n  %1\nthe model gives for\n  %2\n  %3")
                 .arg(have.join(u' '), describe(now), want.join(u' ')));
}

// Generation -----------------------------------------------------------------

QString Session::number()
{
    // Small numbers, so that X often lies between x1 and x2; a few decimals,
    // some below what the editors show.
    const int decimals = int(m_random.bounded(6));
    const qint64 scale = qint64(std::pow(10, decimals));
    const double value = double(m_random.bounded(-20 * scale, 20 * scale + 1)) / double(scale);
    QString text = NumberFormat::FormatF(decimals, value);
    if (m_random.bounded(8) == 0)
        text.replace(u',', u'.');
    return text;
}

QString Session::typedText(int editor)
{
    const int roll = int(m_random.bounded(100));
    if (roll < 20)
        return spin(editor)->InnerEdit()->text();
    // What the editor showed lately: a value the editor may take for the
    // one committed last.
    const QStringList& seen = m_seenTexts[editor];
    if (roll < 40 && !seen.isEmpty())
        return seen.at(seen.size() - 1 - m_random.bounded(int(qMin<qsizetype>(3, seen.size()))));
    if (roll < 50)
        return spin(int(m_random.bounded(kEditors)))->InnerEdit()->text();
    if (roll < 75)
        return number();
    if (roll < 90) {
        static const char* const forms[] = {"%1+%2", "%1*%2", "%1/%2", "(%1-%2)/3", "%1-%2"};
        return QString::fromLatin1(forms[m_random.bounded(5)]).arg(number(), number());
    }
    static const char* const odd[] = {"", "-", "abc", "2+", "1/0", "(0-8)^0,5", "1.234,5", "1e3", "10^400"};
    return QString::fromLatin1(odd[m_random.bounded(int(std::size(odd)))]);
}

QString Session::entryAnswer(const QByteArray& field)
{
    const int roll = int(m_random.bounded(100));
    if (roll < 10)
        return {};
    if (roll < 15)
        return QStringLiteral("abc");
    if (roll < 20)
        return QStringLiteral("0");
    if (roll < 23)
        return QStringLiteral("10^5000");
    if (field == "lbl_YErg") {
        // Mostly between y1 and y2, sometimes beyond.
        const double y1v = spin(y1)->CurrentValue();
        const double y2v = spin(y2)->CurrentValue();
        const double f = double(m_random.bounded(-20, 121)) / 100.0;
        return NumberFormat::FormatF(int(m_random.bounded(7)), y1v + f * (y2v - y1v));
    }
    if (roll < 35)
        return number() + QStringLiteral("*2");
    return number();
}

QString Session::valueSet()
{
    QString text = QStringLiteral("Satz\r\n---V1\r\n");
    const int lines = m_random.bounded(10) == 0 ? int(m_random.bounded(5)) : 5;
    for (int i = 0; i < lines; ++i)
        text += (m_random.bounded(20) == 0 ? QStringLiteral("zwei") : number().replace(u'.', u','))
            + QStringLiteral("\r\n");
    return text;
}

Step Session::next()
{
    // Weights of what a user does, roughly as often as one does it.
    // clang-format off
    enum Choice { TypeEnter, TypeTab, TypeOnly, PasteIt, ArrowKey, WheelIt, HoldIt, Undo, Redo, RedoShift, CopyKeys,
                  MenuUndo, MenuRedo, Reset, Mirror, MenuCopy, PercentIt, EntryIt, DecimalsIt, LoadIt, PauseIt,
                  FocusIt, ReaderIt, RestartIt };
    static const int weights[] = {12, 5, 10, 3, 8, 6, 4, 8, 6, 2, 2,
                                  4, 3, 2, 3, 1, 3, 9, 3, 1, 5,
                                  3, 2, 1};
    // clang-format on
    int roll = int(m_random.bounded(std::accumulate(std::begin(weights), std::end(weights), 0)));
    int choice = 0;
    while (roll >= weights[choice])
        roll -= weights[choice++];

    int editor = int(m_random.bounded(kEditors));
    static const Qt::Key arrows[]
        = {Qt::Key_Up, Qt::Key_Down, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Left, Qt::Key_Right};
    const bool modifiersFirst = m_random.bounded(3) == 0;
    switch (Choice(choice)) {
    case TypeEnter:
        return typed(editor, typedText(editor));
    case TypeTab:
        return typed(editor, typedText(editor), Qt::Key_Tab);
    case TypeOnly:
        return typed(editor, typedText(editor), Qt::Key_unknown);
    case PasteIt: {
        Step s = typed(editor, typedText(editor), m_random.bounded(2) ? Qt::Key_Return : Qt::Key_unknown);
        s.kind = Step::Paste;
        return s;
    }
    case ArrowKey:
        return {.kind = Step::Arrow, .editor = editor, .key = arrows[m_random.bounded(int(std::size(arrows)))]};
    case WheelIt: {
        // A turn on the editor just turned would merge with the last one.
        if (m_history.gesture == editor + 1)
            editor = (editor + 1) % kEditors;
        const int notches = (m_random.bounded(2) ? 1 : -1) * int(m_random.bounded(1, 4));
        return {.kind = Step::Wheel, .editor = editor, .count = notches};
    }
    case HoldIt:
        return {.kind = Step::Hold, .editor = editor, .count = int(m_random.bounded(3)) - 1};
    case Undo:
        return keys(Qt::Key_Z, Qt::ControlModifier, modifiersFirst);
    case Redo:
        return keys(Qt::Key_Y, Qt::ControlModifier, modifiersFirst);
    case RedoShift:
        return keys(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, modifiersFirst);
    case CopyKeys:
        return keys(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier, modifiersFirst);
    case MenuUndo:
        return menu("PM_Undo");
    case MenuRedo:
        return menu("PM_Redo");
    case Reset:
        return menu("PM_Reset");
    case Mirror:
        return menu("pm_Mirror");
    case MenuCopy:
        return menu("PM_CopyResults");
    case PercentIt:
        return {.kind = Step::Percent};
    case EntryIt: {
        QByteArray field = kFields[m_random.bounded(int(std::size(kFields)))];
        if (!m_form->findChild<QWidget*>(QString::fromLatin1(field))->isVisible())
            field = "lbl_LGes"; // the total height is hidden on a level line
        Step s = entry(field, entryAnswer(field));
        s.keepPrefilled = m_random.bounded(10) == 0;
        return s;
    }
    case DecimalsIt: {
        static const char* const answers[] = {"0", "1", "2", "3", "3", "4", "5", "6", "8", "9", "-1", "abc", nullptr};
        const char* answer = answers[m_random.bounded(int(std::size(answers)))];
        return {.kind = Step::Decimals, .text = QString::fromLatin1(answer)};
    }
    case LoadIt:
        return {.kind = Step::Load, .text = valueSet()};
    case PauseIt:
        return {.kind = Step::Pause};
    case FocusIt:
        return {.kind = Step::Focus, .editor = editor};
    case ReaderIt: {
        const double value = m_random.bounded(2) ? spin(int(m_random.bounded(kEditors)))->CurrentValue()
                                                 : number().replace(u',', u'.').toDouble();
        return {.kind = Step::Reader, .editor = editor, .text = QString::number(value, 'g', 17)};
    }
    case RestartIt:
        return {.kind = Step::Restart};
    }
    return {};
}

} // namespace

Q_DECLARE_METATYPE(Step)

class tst_WindowSequence : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void randomSequences_data();
    void randomSequences();
    void reportedFaults_data();
    void reportedFaults();
};

void tst_WindowSequence::initTestCase()
{
    TRUVButton::ModuleStartup();
    TSpezialSpin::ModuleStartup();
    ControlsAccessibilityStartup();
    testLogHandler = qInstallMessageHandler(dropIgnoredKeyWarnings);
}

void tst_WindowSequence::cleanupTestCase()
{
    ControlsAccessibilityShutdown();
    TSpezialSpin::ModuleShutdown();
    TRUVButton::ModuleShutdown();
}

void tst_WindowSequence::init()
{
    // No last values from an earlier window: each sequence starts alike.
    QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/tiraso"))
        .removeRecursively();
}

void tst_WindowSequence::randomSequences_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("steps");
    const int steps = qEnvironmentVariableIsSet("TIRASO_SEQUENCE_STEPS")
        ? qEnvironmentVariableIntValue("TIRASO_SEQUENCE_STEPS")
        : 500;
    if (qEnvironmentVariableIsSet("TIRASO_SEQUENCE_SEED")) {
        const quint32 seed = quint32(qEnvironmentVariableIntValue("TIRASO_SEQUENCE_SEED"));
        QTest::addRow("seed %u", seed) << seed << steps;
        return;
    }
    for (quint32 seed = 1; seed <= 10; ++seed)
        QTest::addRow("seed %u", seed) << seed << steps;
}

void tst_WindowSequence::randomSequences()
{
    QFETCH(quint32, seed);
    QFETCH(int, steps);
    Session session(seed);
    for (int i = 0; i < steps && !session.undecided(); ++i)
        if (!session.run(session.next()))
            QFAIL(qPrintable(session.report()));
    if (session.undecided())
        qWarning("stopped early: too slow to tell whether two wheel notches made one step");
}

void tst_WindowSequence::reportedFaults_data()
{
    QTest::addColumn<QList<Step>>("steps");
    // Each once left the results showing old inputs with undo disabled: a
    // value written by the window did not count as the editor's last commit.
    QTest::newRow("typing back what undo took") << QList<Step>{typed(x1, "5"), keys(Qt::Key_Z), typed(x1, "5")};
    QTest::newRow("typing back what reset took") << QList<Step>{typed(x1, "5"), menu("PM_Reset"), typed(x1, "5")};
    const Step load{.kind = Step::Load, .text = QStringLiteral("s\r\n---V1\r\n0\r\n1\r\n0\r\n1\r\n0,5\r\n")};
    QTest::newRow("typing back what loading took") << QList<Step>{typed(x1, "5"), load, typed(x1, "5")};
    QTest::newRow("typing back what an entry took")
        << QList<Step>{typed(x2, "2"), entry("lbl_LGes", "1"), typed(x2, "2")};
    const Step up{.kind = Step::Arrow, .editor = x1, .key = Qt::Key_Up};
    QTest::newRow("an arrow back to the text last committed") << QList<Step>{up, menu("PM_Undo"), up};
    const Step notch{.kind = Step::Wheel, .editor = x1, .count = 1};
    QTest::newRow("a wheel notch back to the text last committed") << QList<Step>{notch, menu("PM_Undo"), notch};
    // The value changed, the shown text did not.
    QTest::newRow("same text, another value")
        << QList<Step>{typed(X, "2,0004", Qt::Key_Tab), typed(X, "2", Qt::Key_Tab)};
    // The release of Z, Y or C after the window's command re-read the
    // rounded text as typed, X = 1/12 became 0,083, and the delayed commit
    // it started took a step more; the pause lets that commit run.
    const QList<Step> twelfth = {typed(y2, "3"), entry("lbl_YErg", "0,25"), Step{.kind = Step::Focus, .editor = X}};
    const Step pause{};
    QTest::newRow("keyboard undo and redo") << twelfth + QList<Step>{keys(Qt::Key_Z), keys(Qt::Key_Y), pause};
    const Step undoCtrlFirst = keys(Qt::Key_Z, Qt::ControlModifier, true);
    const Step redoCtrlFirst = keys(Qt::Key_Y, Qt::ControlModifier, true);
    QTest::newRow("keyboard undo and redo, Ctrl let go first")
        << twelfth + QList<Step>{undoCtrlFirst, redoCtrlFirst, pause};
    QTest::newRow("copying the results") << twelfth
            + QList<Step>{keys(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier), pause};
    // A recomputation took the typed value without the editor knowing, so
    // typing back the value it had before seemed no change.
    QTest::newRow("typing back what a recomputation took")
        << QList<Step>{typed(x1, "5", Qt::Key_unknown), Step{.kind = Step::Percent}, typed(x1, "0")};
    // A formula that raised left the value typed before it, which the
    // command then showed in the editor but not in the results.
    QTest::newRow("a command after a formula that raised")
        << QList<Step>{typed(y2, "10^400", Qt::Key_unknown), menu("PM_CopyResults")};
}

void tst_WindowSequence::reportedFaults()
{
    QFETCH(QList<Step>, steps);
    Session session(0);
    for (const Step& step : std::as_const(steps))
        if (!session.run(step))
            QFAIL(qPrintable(session.report()));
}

TIRASO_TEST_MAIN(tst_WindowSequence)
#include "tst_WindowSequence.moc"
