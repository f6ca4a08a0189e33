// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

// Keyboard and assistive-technology access to the window: what each control
// is called, the order Tab visits them in, the menu keys, and the accessible
// interface of the window.

#include "main/tirasomain.h"

#include "platform/Colors.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QContextMenuEvent>
#include <QCursor>
#include <QLineEdit>
#include <QMenu>
#include <QShortcut>

namespace {

// The window without its background picture, which is decoration: a screen
// reader walking the window meets only the controls.
class TForm1Accessible : public QAccessibleWidget
{
public:
    explicit TForm1Accessible(TForm1* form)
        : QAccessibleWidget(form, QAccessible::Window)
    {
    }

    int childCount() const override { return int(children().size()); }
    QAccessibleInterface* child(int index) const override
    {
        const QList<QWidget*> list = children();
        return index >= 0 && index < list.size() ? QAccessible::queryAccessibleInterface(list.at(index)) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (!child || !child->object())
            return -1;
        return int(children().indexOf(qobject_cast<QWidget*>(child->object())));
    }

private:
    QList<QWidget*> children() const
    {
        QList<QWidget*> list;
        for (QObject* object : widget()->children()) {
            auto* child = qobject_cast<QWidget*>(object);
            if (child && !child->isWindow() && !qobject_cast<TPaintBox*>(child) && !qobject_cast<QMenu*>(child))
                list << child;
        }
        return list;
    }
};

QAccessibleInterface* WindowFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("TForm1"))
        return new TForm1Accessible(static_cast<TForm1*>(object));
    return nullptr;
}

bool factoryInstalled = false;

} // namespace

void TForm1::ModuleStartup()
{
    if (factoryInstalled)
        return;
    QAccessible::installFactory(WindowFactory);
    factoryInstalled = true;
}

void TForm1::ModuleShutdown()
{
    if (!factoryInstalled)
        return;
    QAccessible::removeFactory(WindowFactory);
    factoryInstalled = false;
}

QList<QWidget*> TForm1::TabChain() const
{
    // The editors in their tab order 0-4, then the results from the top of
    // the window down, each followed by what belongs to it (the copy button
    // to the value at X, the percent switch to the slope), then the menu line
    // and the file buttons.
    return {spin__X, spin_x1, spin_x2,  spin_y1,  spin_y2, lbl_YErg, btn_copy1, lbl_Hges,
            lbl_LLi, lbl_LRe, lbl_LGes, lbl_Neig, cb_PRZT, lbl_info, btn_load,  btn_Save};
}

void TForm1::DescribeForKeyboardAndAccess()
{
    const auto spin = [](TSpezialSpin* editor, const char* name, const QString& description) {
        editor->setAccessibleName(QString::fromUtf8(name));
        editor->setAccessibleDescription(description);
    };
    spin(spin__X, "X", QStringLiteral("Position X"));
    spin(spin_x1, "x1", QStringLiteral("Stützstelle x1"));
    spin(spin_x2, "x2", QStringLiteral("Stützstelle x2"));
    spin(spin_y1, "y1", QStringLiteral("Wert y1 bei x1"));
    spin(spin_y2, "y2", QStringLiteral("Wert y2 bei x2"));

    lbl_YErg->setAccessibleName(QStringLiteral("Wert bei X"));
    lbl_LLi->setAccessibleName(QStringLiteral("Teillänge links"));
    lbl_LRe->setAccessibleName(QStringLiteral("Teillänge rechts"));
    lbl_LGes->setAccessibleName(QStringLiteral("Gesamtlänge"));
    lbl_Neig->setAccessibleName(QStringLiteral("Neigung"));
    lbl_info->setAccessibleName(QStringLiteral("Menü"));
    lbl_Hges->setAccessibleTitle(QStringLiteral("Gesamthöhe"));
    lbl_xH->setAccessibleTitle(QStringLiteral("Höhe bei X"));
    cb_PRZT->setAccessibleName(QStringLiteral("Neigung in Prozent"));
    // The three glyph buttons are named by their tool-tips.

    // Only the keyboard focuses the controls drawn without an edit box: a
    // click leaves the focus where it was, as it always did.
    const QList<QWidget*> chain = TabChain();
    for (QWidget* control : chain) {
        if (qobject_cast<TSpezialSpin*>(control))
            continue;
        control->setFocusPolicy(Qt::TabFocus);
        QPalette markPalette = control->palette();
        markPalette.setColor(QPalette::Highlight, ToQColor(AccentBlue));
        control->setPalette(markPalette);
    }
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain.at(i - 1), chain.at(i));
    // The window opens with the keyboard in the first editor, not wherever
    // the ring of focusable controls happens to start.
    spin__X->setFocus(Qt::OtherFocusReason);

    // The menu keys open the window's menu wherever the focus is. Where the
    // desktop turns the key into a context-menu request (the Menu key on X11,
    // both keys on Windows), the request comes first: it reaches the window
    // from the controls that leave it alone, and from the editors through the
    // filter, which keeps the edit's own menu for the mouse.
    for (const InputEditor& editor : m_inputEditors)
        editor.spin->InnerEdit()->installEventFilter(this);
    for (const QKeySequence& keys : {QKeySequence(Qt::Key_Menu), QKeySequence(Qt::SHIFT | Qt::Key_F10)}) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, [this] { OpenMenuByKey(); });
    }
}

void TForm1::contextMenuEvent(QContextMenuEvent* event)
{
    if (event->reason() != QContextMenuEvent::Keyboard) {
        QWidget::contextMenuEvent(event);
        return;
    }
    event->accept();
    OpenMenuByKey();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ContextMenu
        && static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
        OpenMenuByKey();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

QPoint TForm1::MenuPosition(const QWidget* origin) const
{
    const QPoint pointer = QCursor::pos();
    if (origin->rect().contains(origin->mapFromGlobal(pointer)))
        return pointer;
    return origin->mapToGlobal(QPoint(0, origin->height()));
}

void TForm1::OpenMenuByKey()
{
    // The key that opened it may still arrive as a second request.
    if (PM_1->isVisible())
        return;
    // Below the focused control, so the menu opens where the user is looking;
    // over the window's corner when nothing has the focus.
    const QWidget* origin = focusWidget();
    PM_1->popup(origin ? origin->mapToGlobal(QPoint(0, origin->height())) : mapToGlobal(QPoint(0, 0)));
}
