// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "controls/PlainLabel.h"
#include "controls/RUVBMPMerker.h"
#include "controls/RUVButton.h"
#include "controls/RUVCheckBox.h"
#include "controls/RUVLabel.h"
#include "controls/SpezialSpin.h"
#include "main/Placement.h"
#include "model/Interpolation.h"
#include "model/UndoHistory.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QStringList>
#include <QWidget>

#include <array>
#include <functional>
#include <optional>

class QAction;
class QMenu;
class QMimeData;
class TOpenDialog;
class TRUVTaRe;

// A control that moves with the layout state; only one coordinate of each
// position is ever applied (Top for the Y editors, Left for the height labels).
struct TMovableControl {
    QWidget* Control = nullptr;
    std::array<QPoint, 3> Positions{};
    bool Visible = true;
};

// The full-window background: paints through the window's handler and owns
// the context menu.
class TPaintBox : public QWidget
{
    Q_OBJECT
public:
    explicit TPaintBox(QWidget* parent = nullptr);
    std::function<void(QPainter&)> OnPaint;
    QMenu* PopupMenu = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
};

class TForm1 : public QWidget
{
    Q_OBJECT
public:
    // parameters: the command-line parameters after the program name.
    explicit TForm1(const QStringList& parameters = {}, QWidget* parent = nullptr);
    ~TForm1() override;

    // Controls and components of the window description, bottom to top.
    TPaintBox* PaintBox1 = nullptr;
    TRUVCheckBox* cb_PRZT = nullptr;
    QLabel* Label1 = nullptr;
    TPlainLabel* lbl_xH = nullptr;
    TPlainLabel* lbl_Hges = nullptr;
    TRUVLabel* lbl_LLi = nullptr;
    TRUVLabel* lbl_LRe = nullptr;
    TRUVLabel* lbl_LGes = nullptr;
    TRUVLabel* lbl_Neig = nullptr;
    TRUVLabel* lbl_info = nullptr;
    TRUVButton* btn_Save = nullptr;
    TRUVButton* btn_load = nullptr;
    TRUVButton* btn_copy1 = nullptr;
    TRUVLabel* lbl_YErg = nullptr;
    TSpezialSpin* spin__X = nullptr;
    TSpezialSpin* spin_x1 = nullptr;
    TSpezialSpin* spin_x2 = nullptr;
    TSpezialSpin* spin_y1 = nullptr;
    TSpezialSpin* spin_y2 = nullptr;

    TRUVBMPMerker* BMP_R = nullptr;
    TRUVBMPMerker* BMP_L = nullptr;
    TRUVBMPMerker* BMP_E = nullptr;
    QMenu* PM_1 = nullptr;
    QAction* PM_Undo = nullptr;
    QAction* PM_Redo = nullptr;
    QAction* N3 = nullptr;
    QAction* PM_NKDef = nullptr;
    QAction* N1 = nullptr;
    QAction* PM_Reset = nullptr;
    QAction* pm_Mirror = nullptr;
    QAction* PM_CopyBMP = nullptr;
    QAction* PM_CopyResults = nullptr;
    QAction* N2 = nullptr;
    QAction* PM_Info = nullptr;
    TRUVTaRe* RUVRechner = nullptr;
    TOpenDialog* OpenDialog1 = nullptr;

    // The accessible interface of the window; the module's start-up and
    // shut-down, the last in the program's order.
    static void ModuleStartup();
    static void ModuleShutdown();

    // The order in which Tab visits the controls.
    QList<QWidget*> TabChain() const;

    // Window settings.
    qint32 Decimals = 3;
    TLayoutState Layout = lsRising;
    std::array<TMovableControl, 4> Movables{};

    // Recomputes and redisplays everything from the five inputs.
    void Aktualisieren(QObject* Sender = nullptr);

    // Handlers.
    void FormCreate(QObject* Sender);
    void FormShow(QObject* Sender);
    void FormClose(QObject* Sender);
    void PaintBox1Paint(QPainter& painter);
    void spin_y1DelayedChange(QObject* Sender);
    void lbl_infoClick(QObject* Sender);

    // Entering values through the result fields.
    void lbl_LGesClick(QObject* Sender);
    void lbl_HgesClick(QObject* Sender);
    void lbl_LLiClick(QObject* Sender);
    void lbl_LReClick(QObject* Sender);
    void lbl_NeigClick(QObject* Sender);
    void lbl_YErgClick(QObject* Sender);

    // Value files.
    void btn_SaveClick(QObject* Sender);
    void btn_loadClick(QObject* Sender);

    // Context menu and clipboard.
    void PM_NKDefClick(QObject* Sender);
    void PM_ResetClick(QObject* Sender);
    void pm_MirrorClick(QObject* Sender);
    void PM_CopyBMPClick(QObject* Sender);
    // The five inputs and the seven results, as text lines and as a table.
    void PM_CopyResultsClick(QObject* Sender);
    void PM_InfoClick(QObject* Sender);
    // Back to the state before the last change, and forward again.
    void PM_UndoClick(QObject* Sender);
    void PM_RedoClick(QObject* Sender);
    void btn_copy1Click(QObject* Sender);
    // The value at X in full, as other programs read numbers.
    void btn_copy1ShiftClick(QObject* Sender);

    // The folder of the value files, with a trailing separator; created with
    // all missing levels each time, empty when it cannot be.
    static QString StorageFolder();
    // "lastV.def": read when the window is first shown, written when it closes.
    void LoadLastValues();
    void SaveLastValues();

    // The picture that "Ergebnis als Grafik kopieren" puts on the clipboard.
    QImage ResultPicture();
    // What "Ergebnisse kopieren" puts there: "name<TAB>value" lines and an
    // HTML table of the same, each value as the window shows it.
    QMimeData* ResultsAsText();

    // The placement arithmetic (main/Placement.h) and the integer reading
    // (calc/NumberFormat.h), under the names the window has always had.
    static std::optional<QPoint> PlacementFromParameter(const QString& parameter);
    static QPoint CentredPosition(const QSize& monitor, const QSize& outer);
    static bool IsFinishedFrame(const QRect& frame, const QRect& window);
    static int ParameterInteger(const QString& text);
    static int TextToIntDef(const QString& text, int fallback);

    static constexpr int ClientWidth = 470;
    static constexpr int ClientHeight = 270;
    static constexpr QPoint DesignPosition{657, 403};

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateFromDescription();
    // Names for assistive technology, the Tab chain and the menu keys.
    void DescribeForKeyboardAndAccess();
    // Where PM_1 opens for a request from `origin`: at the pointer when the
    // pointer is on it (a click), else below it (a key).
    QPoint MenuPosition(const QWidget* origin) const;
    void OpenMenuByKey();

    // The window's accent colour: the position X, the value at X, the focus mark.
    static constexpr TColor AccentBlue = RGBColor(0, 128, 255);

    // The five input editors, each with the input it holds; filled as the
    // window description creates them. Whatever concerns all five goes
    // through this table.
    struct InputEditor {
        TSpezialSpin* spin = nullptr;
        double Interpolation::Inputs::*input = nullptr;
    };
    std::array<InputEditor, 5> m_inputEditors{};
    TSpezialSpin* EditorOf(double Interpolation::Inputs::*input) const;
    // The five inputs as the editors hold them, and the ones that differ
    // written back through the editors.
    Interpolation::Inputs ReadInputs();
    void WriteInputs(const Interpolation::Inputs& before, const Interpolation::Inputs& after);
    void SetEditorDecimals(int decimals);

    using EntryRule = std::function<Interpolation::Entry(const Interpolation::Inputs&, long double)>;
    // The shared sequence of the five result fields that change an input:
    // prompt, evaluate, let the model compute, write, recompute.
    void EnterResult(const QString& prompt, const QString& prefilled, const EntryRule& enter);
    // Commits what is typed into the editors and not yet committed, so that a
    // command works with what the user typed rather than dropping it.
    void CommitTypedInput();
    // While CommitTypedInput runs, the editors' changes only note that a
    // recomputation is due.
    bool m_committingInput = false;
    bool m_recomputeAfterCommit = false;

    // Undo: every recomputation that shows another state than the one
    // before is a change; the history keeps the states before them.
    Interpolation::WindowState ShownState(const Interpolation::Inputs& inputs) const;
    void RestoreState(const Interpolation::WindowState& state);
    void UpdateUndoCommands();
    Interpolation::UndoHistory m_history;
    std::optional<Interpolation::WindowState> m_shown; // none before the first recomputation
    quintptr m_gesture = 0;                            // the run the change being recomputed belongs to
    bool m_restoring = false;
    QElapsedTimer m_clock;

    QStringList m_parameters;
    // Where the window goes when it is shown: by the first parameter, or centred.
    TWindowPlacement m_placement{this};
};
