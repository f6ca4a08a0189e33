// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/Colors.h"
#include "platform/Events.h"

#include <QRect>
#include <QSet>
#include <QWidget>

#include <functional>

class QKeyEvent;
class QWheelEvent;
class QLineEdit;
class QTimer;
class TCanvas;
class TFont;
class TRUVTaRe;

// Key released in the inner edit: the Windows virtual-key code and the
// modifiers held (only Shift, Alt and Ctrl are reported).
using TArrowKeyChanged = std::function<void(QObject* Sender, quint16 Key, Qt::KeyboardModifiers Shift)>;

// Numeric input: one real value shown with fixed decimals between a prefix
// and a suffix, typed as a number or a formula, stepped with two arrow cells.
//
// The text lives only in InnerEdit. Typing updates the value as far as the
// text is a plain number; the full evaluation (formulas, bounds, reformatting)
// happens on Enter, on a step key, or ChangeDelay ms after the last key
// release. Every read of a value property drops such a pending evaluation and
// rewrites the text from the value: the window's recomputation relies on it.
class TSpezialSpin : public QWidget
{
    Q_OBJECT
    // Declared in the order a window description applies them.
    Q_PROPERTY(int NachkommaStellen READ NachkommaStellen WRITE setNachkommaStellen)
    Q_PROPERTY(int ChangeDelay READ ChangeDelay WRITE setChangeDelay)
    Q_PROPERTY(double ValueReal READ ValueReal WRITE setValueReal)
    Q_PROPERTY(int Value READ Value WRITE setValue)
    Q_PROPERTY(double ValuePrec READ ValuePrec STORED false)
    Q_PROPERTY(QString ValueText READ ValueText STORED false)
    Q_PROPERTY(double MaxValue READ MaxValue WRITE setMaxValue)
    Q_PROPERTY(double MinValue READ MinValue WRITE setMinValue)
    Q_PROPERTY(int MarginTop READ MarginTop WRITE setMarginTop)
    Q_PROPERTY(bool EditorEnabled READ EditorEnabled WRITE setEditorEnabled)
    Q_PROPERTY(bool TextCenter READ TextCenter WRITE setTextCenter)
    Q_PROPERTY(TColor Color READ Color WRITE setColor)
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE setBorderWidth)
    Q_PROPERTY(TColor BorderColWidth1 READ BorderColWidth1 WRITE setBorderColWidth1)
    Q_PROPERTY(int ArrowSize READ ArrowSize WRITE setArrowSize)
    Q_PROPERTY(TColor ArrowColor READ ArrowColor WRITE setArrowColor)
    Q_PROPERTY(QString TextBefore READ TextBefore WRITE setTextBefore)
    Q_PROPERTY(QString TextAfter READ TextAfter WRITE setTextAfter)
    Q_PROPERTY(int TextSpacing READ TextSpacing WRITE setTextSpacing)
    Q_PROPERTY(TColor EditorColor READ EditorColor WRITE setEditorColor)
    Q_PROPERTY(bool TausenderZeichen READ TausenderZeichen WRITE setTausenderZeichen)
    Q_PROPERTY(bool AllowArrowKeyChange READ AllowArrowKeyChange WRITE setAllowArrowKeyChange)
    Q_PROPERTY(bool PlusZeichenPositiveWerte READ PlusZeichenPositiveWerte WRITE setPlusZeichenPositiveWerte)
    Q_PROPERTY(int TextBeforeSubScriptcCount READ TextBeforeSubScriptcCount WRITE setTextBeforeSubScriptcCount)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE setParentColor)
    Q_PROPERTY(bool TabStop READ TabStop WRITE setTabStop)

public:
    explicit TSpezialSpin(QWidget* parent = nullptr);
    ~TSpezialSpin() override;
    Q_DISABLE_COPY(TSpezialSpin)

    int NachkommaStellen() const { return m_nachkommaStellen; }
    void setNachkommaStellen(int value);
    int ChangeDelay() const { return m_changeDelay; }
    void setChangeDelay(int value);
    // Reading a value stops a pending commit and rewrites the text.
    double ValueReal();
    void setValueReal(double value);
    int Value();
    void setValue(int value);
    double ValuePrec();
    QString ValueText();
    // Commits text typed (or pasted) into the editor that the editor has not
    // evaluated yet, as the delay would: a formula becomes its value, a text
    // that does not evaluate keeps the old value. Nothing happens when the
    // editor shows what it last wrote, so a value keeps its full precision.
    // For callers that are about to use the value: a plain read drops the
    // typed text instead.
    void CommitPendingText();
    double MaxValue() const { return m_maxValue; }
    void setMaxValue(double value);
    double MinValue() const { return m_minValue; }
    void setMinValue(double value);
    int MarginTop() const { return m_marginTop; }
    void setMarginTop(int value);
    bool EditorEnabled() const { return m_editorEnabled; }
    void setEditorEnabled(bool value);
    bool TextCenter() const { return m_textCenter; }
    void setTextCenter(bool value);
    TColor Color() const { return m_color; }
    void setColor(TColor value);
    int BorderWidth() const { return m_borderWidth; }
    void setBorderWidth(int value);
    TColor BorderColWidth1() const { return m_borderColWidth1; }
    void setBorderColWidth1(TColor value);
    int ArrowSize() const { return m_arrowSize; }
    void setArrowSize(int value);
    TColor ArrowColor() const { return m_arrowColor; }
    void setArrowColor(TColor value);
    QString TextBefore() const { return m_textBefore; }
    void setTextBefore(const QString& value);
    QString TextAfter() const { return m_textAfter; }
    void setTextAfter(const QString& value);
    int TextSpacing() const { return m_textSpacing; }
    void setTextSpacing(int value);
    TColor EditorColor() const { return m_editorColor; }
    void setEditorColor(TColor value);
    bool TausenderZeichen() const { return m_tausenderZeichen; }
    void setTausenderZeichen(bool value);
    bool AllowArrowKeyChange() const { return m_allowArrowKeyChange; }
    void setAllowArrowKeyChange(bool value);
    bool PlusZeichenPositiveWerte() const { return m_plusZeichenPositiveWerte; }
    void setPlusZeichenPositiveWerte(bool value);
    int TextBeforeSubScriptcCount() const { return m_textBeforeSubScriptcCount; }
    void setTextBeforeSubScriptcCount(int value);
    bool ParentColor() const { return m_parentColor; }
    void setParentColor(bool value);
    bool TabStop() const { return m_tabStop; }
    void setTabStop(bool value);

    TFont* Font() const { return m_font; }
    QLineEdit* InnerEdit() const { return m_innerEdit; }

    // For assistive technology, which must not disturb typing: the value as
    // it stands (no pending commit is dropped, the text stays as typed), one
    // step as an arrow key makes it, and a whole new value.
    double CurrentValue() const { return m_currentValue; }
    void StepByKey(bool up);
    // Stored and shown as a write of ValueReal, then reported as a commit:
    // OnDelayedChange when the value differs from the one last committed.
    void EnterValue(double value);

    // Base step of the arrows, 10^-NachkommaStellen.
    double StepSize() const { return m_stepSize; }

    // True while a wheel notch reports its step through OnDelayedChange, so a
    // listener can take a burst of notches as one change.
    bool WheelStepping() const { return m_wheelStepping; }
    // The edit holds text that was typed and not yet evaluated.
    bool HasTypedText() const;

    // Geometry from the last layout, in control coordinates; one set of
    // rectangles serves painting and hit-testing.
    QRect BoxRect() const { return m_boxRect; }
    QRect UpArrowRect() const { return m_upArrowRect; }
    QRect DownArrowRect() const { return m_downArrowRect; }
    QRect TextArea() const { return m_textArea; }

    TNotifyEvent OnDelayedChange;
    TNotifyEvent OnKeySTRGENTER;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TArrowKeyChanged OnArrowKeyChanged;

    // The calculator shared by all spin editors, created by the module's
    // start-up and freed by its shut-down.
    static void ModuleStartup();
    static void ModuleShutdown();
    static TRUVTaRe* SharedCalculator();

    // The Windows virtual-key code reported for a Qt key (VirtualKey::FromQtKey).
    static quint16 VirtualKeyCode(int qtKey, Qt::KeyboardModifiers modifiers = {});

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

    // One arrow glyph ("5" up, "6" down of the symbol font) with its cell's
    // top-left corner at (x, y). Without the symbol font a filled triangle of
    // the same size and place stands in for it.
    static void DrawArrowGlyph(TCanvas& canvas, int x, int y, bool up, int pixelSize, TColor color, bool symbolFont);
    // Width and height of that glyph cell.
    static QSize ArrowGlyphExtent(int pixelSize, bool symbolFont);

private:
    void UpdateText();
    // What the text in the edit stands for while it is being typed.
    double QuickValue() const;
    double ParseTypedText(const QString& typed) const;
    QString WithoutGroupingDots(const QString& text) const;
    void CommitText();
    // Takes the value as the owner's, and tells whether the owner had
    // another one.
    bool TakeCommitted();
    void StepUp();
    void StepDown();
    void LayoutParts();
    void MeasureTexts();
    void ApplyEditorPalette();
    void FontChanged();

    void InnerEditKeyReleased(const QKeyEvent& event);
    void WheelStep(bool up);
    // Undo and redo keys belong to the edit only while it has typing of its
    // own to take back or bring again; otherwise the window's shortcuts get them.
    bool EditTakesShortcut(const QKeyEvent& event) const;
    void BeginHold(const QPoint& pos);
    void HoldCycle();
    void EndHold();
    bool HoldOwnsMouse() const;
    void LoseMouse();
    void CancelHold();

    void PaintBorder(TCanvas& canvas) const;
    void PaintArrowCell(TCanvas& canvas, const QRect& cell, bool pressed, bool up) const;

    QLineEdit* m_innerEdit = nullptr;
    QTimer* m_delayTimer = nullptr;
    QTimer* m_repeatTimer = nullptr;
    TFont* m_font = nullptr;

    // Value
    double m_currentValue = 0.0;
    int m_wholePart = 0;
    double m_fractionPart = 0.0;
    double m_minValue = 0.0;
    double m_maxValue = 0.0;
    int m_nachkommaStellen = 0;
    double m_stepSize = 1.0;
    double m_runningIncrement = 0.0;
    bool m_tausenderZeichen = true;
    bool m_plusZeichenPositiveWerte = false;
    // The value the owner last had from the control: written or read by it,
    // or reported through OnDelayedChange. A commit reports exactly when the
    // value differs from it, bit for bit, whatever the text shows: the
    // owner computes with the value, not with its rounded text.
    double m_committedValue = 0.0;
    bool m_hasCommitted = false; // the first commit reports
    // The text UpdateText last put into the edit, and the value it shows;
    // anything else there was typed.
    QString m_writtenText = QStringLiteral("0");
    double m_writtenValue = 0.0;

    // Behaviour and look
    int m_changeDelay = 1500;
    bool m_editorEnabled = true;
    bool m_allowArrowKeyChange = true;
    bool m_textCenter = false;
    TColor m_color = clBlack;
    bool m_parentColor = true;
    int m_borderWidth = 2;
    TColor m_borderColWidth1 = clBlue;
    int m_arrowSize = 8;
    TColor m_arrowColor = clBtnText;
    TColor m_editorColor = clBlack;
    QString m_textBefore;
    QString m_textAfter;
    int m_textSpacing = 4;
    int m_marginTop = 0;
    int m_textBeforeSubScriptcCount = 0;
    bool m_tabStop = false;

    // Geometry
    int m_prefixWidth = 0;
    int m_suffixWidth = 0;
    QRect m_boxRect;
    QRect m_upArrowRect;
    QRect m_downArrowRect;
    QRect m_textArea;

    // Mouse
    bool m_mouseHeld = false;
    bool m_upPressed = false;
    bool m_downPressed = false;

    // Keyboard: the keys whose press the edit received and whose release is
    // still to come. Any other release belongs to a press that went
    // elsewhere (the Tab that moved the focus here, the Enter that closed a
    // dialog, the Z of the window's Ctrl+Z) and is not this editor's.
    QSet<quint64> m_keysDown;

    // Wheel: angle delta not yet worth a whole notch (120).
    int m_wheelRemainder = 0;
    bool m_wheelStepping = false;
};
