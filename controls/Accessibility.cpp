// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "controls/Accessibility.h"

#include "controls/PlainLabel.h"
#include "controls/RUVButton.h"
#include "controls/RUVCheckBox.h"
#include "controls/RUVLabel.h"
#include "controls/SpezialSpin.h"
#include "platform/Application.h"

#include <QAccessible>
#include <QLineEdit>

#include <limits>
#include <utility>

namespace {

// Queued on the control, so it is dropped if the control goes first.
template<typename Action>
void Later(QWidget* control, Action&& action)
{
    QMetaObject::invokeMethod(control, std::forward<Action>(action), Qt::QueuedConnection);
}

// A result field, the information line, a link: the caption is what it shows.
class TRUVLabelAccessible : public TAccessibleClickable
{
public:
    explicit TRUVLabelAccessible(TRUVLabel* label)
        : TAccessibleClickable(label)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name) {
            const QString shown = label()->Caption().isEmpty() ? label()->NoChooseCaption() : label()->Caption();
            return Accessibility::JoinedName(widget()->accessibleName(), shown);
        }
        return TAccessibleClickable::text(t);
    }

    // A hyperlink label opens its link when clicked, wherever the focus goes.
    QAccessible::Role role() const override
    {
        return label()->LabelTyp() == TRUVLabel::lthyperlink ? QAccessible::Link : TAccessibleClickable::role();
    }

protected:
    void Press() override { label()->Click(); }

private:
    TRUVLabel* label() const { return static_cast<TRUVLabel*>(widget()); }
};

// A plain label reads as its title and text.
class TPlainLabelAccessible : public TAccessibleClickable
{
public:
    explicit TPlainLabelAccessible(TPlainLabel* label)
        : TAccessibleClickable(label)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return Accessibility::JoinedName(label()->AccessibleTitle(), label()->text());
        return TAccessibleClickable::text(t);
    }

protected:
    void Press() override { label()->Click(); }

private:
    TPlainLabel* label() const { return static_cast<TPlainLabel*>(widget()); }
};

class TRUVButtonAccessible : public TAccessibleClickable
{
public:
    explicit TRUVButtonAccessible(TRUVButton* button)
        : TAccessibleClickable(button)
    {
    }

    QAccessible::Role role() const override { return QAccessible::Button; }

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name:
            if (!widget()->accessibleName().isEmpty())
                return widget()->accessibleName();
            // A glyph button's tool-tip says what it does.
            return button()->Caption().isEmpty() ? widget()->toolTip() : button()->Caption();
        case QAccessible::Description:
            if (widget()->accessibleDescription().isEmpty() && text(QAccessible::Name) == widget()->toolTip())
                return {};
            return TAccessibleClickable::text(t);
        default:
            return TAccessibleClickable::text(t);
        }
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = TAccessibleClickable::state();
        if (!button()->NormalFlat()) {
            s.checkable = true;
            s.checked = button()->Down();
        }
        s.hasPopup = button()->PopupMenu() != nullptr;
        return s;
    }

protected:
    void Press() override { button()->KeyboardClick(); }

private:
    TRUVButton* button() const { return static_cast<TRUVButton*>(widget()); }
};

class TRUVCheckBoxAccessible : public QAccessibleWidget
{
public:
    explicit TRUVCheckBoxAccessible(TRUVCheckBox* box)
        : QAccessibleWidget(box, QAccessible::CheckBox)
    {
    }

    QAccessible::Role role() const override
    {
        return box()->GroupIndex() != 0 ? QAccessible::RadioButton : QAccessible::CheckBox;
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return box()->Caption();
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = box()->Checked();
        return s;
    }

    QStringList actionNames() const override { return QStringList{toggleAction()} + QAccessibleWidget::actionNames(); }

    void doAction(const QString& actionName) override
    {
        if (actionName != toggleAction()) {
            QAccessibleWidget::doAction(actionName);
            return;
        }
        if (widget()->isEnabled())
            Later(widget(), [box = box()] { box->Toggle(); });
    }

    QStringList keyBindingsForAction(const QString& actionName) const override
    {
        if (actionName == toggleAction())
            return {QStringLiteral("Space")};
        return QAccessibleWidget::keyBindingsForAction(actionName);
    }

private:
    TRUVCheckBox* box() const { return static_cast<TRUVCheckBox*>(widget()); }
};

// The number as a value with its bounds and step, the shown text through the
// inner edit, and the steps of the arrow keys as actions.
class TSpezialSpinAccessible : public QAccessibleWidget,
                               public QAccessibleValueInterface,
                               public QAccessibleTextInterface
{
public:
    explicit TSpezialSpinAccessible(TSpezialSpin* spin)
        : QAccessibleWidget(spin, QAccessible::SpinBox)
    {
    }

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        if (t == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name:
            if (!widget()->accessibleName().isEmpty())
                return widget()->accessibleName();
            return spin()->TextBefore().trimmed();
        case QAccessible::Value:
            // The edit's text as it stands: reading ValueText would drop
            // whatever the user is typing.
            return spin()->InnerEdit()->text();
        default:
            return QAccessibleWidget::text(t);
        }
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = !spin()->EditorEnabled();
        return s;
    }

    QStringList actionNames() const override
    {
        return QStringList{increaseAction(), decreaseAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& actionName) override
    {
        const bool up = actionName == increaseAction();
        if (!up && actionName != decreaseAction()) {
            QAccessibleWidget::doAction(actionName);
            return;
        }
        if (widget()->isEnabled())
            Later(widget(), [spin = spin(), up] { RunGuarded([&] { spin->StepByKey(up); }); });
    }

    QStringList keyBindingsForAction(const QString& actionName) const override
    {
        if (actionName == increaseAction())
            return {QStringLiteral("Up")};
        if (actionName == decreaseAction())
            return {QStringLiteral("Down")};
        return QAccessibleWidget::keyBindingsForAction(actionName);
    }

    // Value: the number itself, not its rounded text.
    QVariant currentValue() const override { return spin()->CurrentValue(); }
    void setCurrentValue(const QVariant& value) override
    {
        bool ok = false;
        const double number = value.toDouble(&ok);
        if (ok && widget()->isEnabled())
            spin()->EnterValue(number);
    }
    QVariant maximumValue() const override
    {
        // A maximum of 0 or less sets no upper bound.
        return spin()->MaxValue() > 0 ? spin()->MaxValue() : std::numeric_limits<double>::max();
    }
    QVariant minimumValue() const override { return spin()->MinValue(); }
    QVariant minimumStepSize() const override { return spin()->StepSize(); }

    // Text: everything as the inner edit answers it.
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override
    {
        *startOffset = *endOffset = 0;
        if (auto* t = editText())
            t->selection(selectionIndex, startOffset, endOffset);
    }
    int selectionCount() const override { return editText() ? editText()->selectionCount() : 0; }
    void addSelection(int startOffset, int endOffset) override
    {
        if (auto* t = editText())
            t->addSelection(startOffset, endOffset);
    }
    void removeSelection(int selectionIndex) override
    {
        if (auto* t = editText())
            t->removeSelection(selectionIndex);
    }
    void setSelection(int selectionIndex, int startOffset, int endOffset) override
    {
        if (auto* t = editText())
            t->setSelection(selectionIndex, startOffset, endOffset);
    }
    int cursorPosition() const override { return editText() ? editText()->cursorPosition() : 0; }
    void setCursorPosition(int position) override
    {
        if (auto* t = editText())
            t->setCursorPosition(position);
    }
    QString text(int startOffset, int endOffset) const override
    {
        return editText() ? editText()->text(startOffset, endOffset) : QString();
    }
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                             int* endOffset) const override
    {
        if (auto* t = editText())
            return t->textBeforeOffset(offset, boundaryType, startOffset, endOffset);
        *startOffset = *endOffset = -1;
        return {};
    }
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                            int* endOffset) const override
    {
        if (auto* t = editText())
            return t->textAfterOffset(offset, boundaryType, startOffset, endOffset);
        *startOffset = *endOffset = -1;
        return {};
    }
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                         int* endOffset) const override
    {
        if (auto* t = editText())
            return t->textAtOffset(offset, boundaryType, startOffset, endOffset);
        *startOffset = *endOffset = -1;
        return {};
    }
    int characterCount() const override { return editText() ? editText()->characterCount() : 0; }
    QRect characterRect(int offset) const override { return editText() ? editText()->characterRect(offset) : QRect(); }
    int offsetAtPoint(const QPoint& point) const override { return editText() ? editText()->offsetAtPoint(point) : -1; }
    void scrollToSubstring(int startIndex, int endIndex) override
    {
        if (auto* t = editText())
            t->scrollToSubstring(startIndex, endIndex);
    }
    QString attributes(int offset, int* startOffset, int* endOffset) const override
    {
        if (auto* t = editText())
            return t->attributes(offset, startOffset, endOffset);
        *startOffset = *endOffset = offset;
        return {};
    }

private:
    TSpezialSpin* spin() const { return static_cast<TSpezialSpin*>(widget()); }
    QAccessibleTextInterface* editText() const
    {
        QAccessibleInterface* edit = QAccessible::queryAccessibleInterface(spin()->InnerEdit());
        return edit ? edit->textInterface() : nullptr;
    }
};

QAccessibleInterface* ControlsFactory(const QString& className, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    if (className == QLatin1String("TSpezialSpin"))
        return new TSpezialSpinAccessible(static_cast<TSpezialSpin*>(object));
    if (className == QLatin1String("TRUVLabel"))
        return new TRUVLabelAccessible(static_cast<TRUVLabel*>(object));
    if (className == QLatin1String("TPlainLabel"))
        return new TPlainLabelAccessible(static_cast<TPlainLabel*>(object));
    if (className == QLatin1String("TRUVButton"))
        return new TRUVButtonAccessible(static_cast<TRUVButton*>(object));
    if (className == QLatin1String("TRUVCheckBox"))
        return new TRUVCheckBoxAccessible(static_cast<TRUVCheckBox*>(object));
    return nullptr;
}

bool factoryInstalled = false;

} // namespace

void ControlsAccessibilityStartup()
{
    if (factoryInstalled)
        return;
    QAccessible::installFactory(ControlsFactory);
    factoryInstalled = true;
}

void ControlsAccessibilityShutdown()
{
    if (!factoryInstalled)
        return;
    QAccessible::removeFactory(ControlsFactory);
    factoryInstalled = false;
}

QString Accessibility::JoinedName(const QString& what, const QString& shown)
{
    if (what.isEmpty())
        return shown;
    if (shown.isEmpty())
        return what;
    return what + QLatin1Char(' ') + shown;
}

TAccessibleClickable::TAccessibleClickable(QWidget* control)
    : QAccessibleWidget(control, QAccessible::Button)
{
}

QAccessible::Role TAccessibleClickable::role() const
{
    return (widget()->focusPolicy() & Qt::TabFocus) ? QAccessible::Button : QAccessible::StaticText;
}

QStringList TAccessibleClickable::actionNames() const
{
    if (!Pressable())
        return QAccessibleWidget::actionNames();
    return QStringList{pressAction()} + QAccessibleWidget::actionNames();
}

void TAccessibleClickable::doAction(const QString& actionName)
{
    if (actionName != pressAction() || !Pressable()) {
        QAccessibleWidget::doAction(actionName);
        return;
    }
    if (!widget()->isEnabled())
        return;
    // The interface lives as long as its control, and the queued call dies
    // with the control.
    Later(widget(), [this] { Press(); });
}

QStringList TAccessibleClickable::keyBindingsForAction(const QString& actionName) const
{
    if (actionName == pressAction() && Pressable())
        return {QStringLiteral("Space")};
    return QAccessibleWidget::keyBindingsForAction(actionName);
}
