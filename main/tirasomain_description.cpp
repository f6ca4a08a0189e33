// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

// The window description: every control and component of the main window,
// created bottom to top and configured through its setters in the order its
// class declares them, as a stored form would be loaded.

#include "main/tirasomain.h"

#include "ReleaseInfo.h"
#include "calc/RUVTaRe.h"
#include "main/StoredPictures.h"
#include "platform/Dialogs.h"
#include "platform/Font.h"
#include "platform/Loading.h"
#include "platform/Pictures.h"
#include "platform/SvgDrawing.h"

#include <QAction>
#include <QIcon>
#include <QIconEngine>
#include <QMenu>
#include <QPainter>

#include <iterator>
#include <utility>

namespace {

// The glyphs are XPM text, which is C source: compiled in, they are read
// without the image-format plugins a file would load at every start.
namespace xpm {
#include "resources/glyph_copy.xpm"
#include "resources/glyph_info.xpm"
#include "resources/glyph_open.xpm"
#include "resources/glyph_save.xpm"
} // namespace xpm

// A glyph with its drawing for dense screens.
QImage glyphPicture(const char* const data[], const QString& drawing)
{
    return PictureWithVector(QImage(data), drawing);
}

constexpr TColor AccentGreen = RGBColor(0, 176, 0);
constexpr TColor LightGrey = RGBColor(246, 246, 246);
constexpr TColor PaleYellow = RGBColor(255, 255, 192);

// The labels' link target, which labels of the plain kind never open.
const QString MakerContact = QStringLiteral("mailto:kontakt@tiraso.example");

void setTahoma(TFont* font, TColor color, TFont::TFontStyles style = {})
{
    font->setName(QStringLiteral("Tahoma"));
    font->setHeight(-11);
    font->setColor(color);
    font->setStyle(style);
}

QImage backgroundPicture(const QString& resource, int width, int height)
{
    QImage image = StoredPictures::Find(resource, QSize(width, height));
    if (image.isNull()) {
        image = QImage(width, height, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        SvgDrawing::Render(resource, painter, QRectF(0, 0, width, height));
    }
    return PictureWithVector(std::move(image), resource);
}

// The application icon: stored at the sizes docks and task switchers pick
// from (main/CMakeLists.txt), which the window system asks for as the window
// is made, and drawn from its SVG at any other. Going through Qt's icon
// plugin would load it at every start for this one picture.
class SvgIconEngine : public QIconEngine
{
public:
    explicit SvgIconEngine(const QString& resource)
        : m_resource(resource)
    {
    }
    QIconEngine* clone() const override { return new SvgIconEngine(m_resource); }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override { return StoredPictures::Sizes(m_resource); }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override
    {
        SvgDrawing::Render(m_resource, *painter, rect);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        if (const QImage stored = StoredPictures::Find(m_resource, size); !stored.isNull())
            return QPixmap::fromImage(stored);
        QPixmap result(size);
        result.fill(Qt::transparent);
        QPainter painter(&result);
        paint(&painter, result.rect(), mode, state);
        return result;
    }

private:
    QString m_resource;
};

// An input editor: the window's member, the input it holds, and its look.
struct SpinDesign {
    TSpezialSpin* TForm1::*member;
    double Interpolation::Inputs::*input;
    const char* name;
    QRect bounds;
    double value;
    const char* textBefore;
    int subscriptCount;
    TColor frame;
};

struct LabelDesign {
    TRUVLabel::TLayout layout;
    TRUVLabel::TBevelFrame bevel;
    TColor color;
    TColor singleBorder;
    TColor hooverText;
    TFont::TFontStyles style;
    TColor fontColor;
};

} // namespace

void TForm1::CreateFromDescription()
{
    const LoadingScope loading;

    setWindowTitle(QStringLiteral("Tiraso - Pravenda"));
    // The same drawing as the launcher entry's icon, so the task switcher
    // and docks show the window as they show its entry.
    setWindowIcon(QIcon(new SvgIconEngine(QStringLiteral(":/tiraso.svg"))));
    setFixedSize(ClientWidth, ClientHeight);
    move(DesignPosition);
    QPalette windowPalette = palette();
    windowPalette.setColor(QPalette::Window, Qt::white);
    setPalette(windowPalette);
    setAutoFillBackground(true);
    // The plain labels draw in the same face as the program's own controls
    // (which share its font engines, so the start needs fewer), crisp or
    // smoothed by the density of the window's screen.
    TFont windowFont;
    setTahoma(&windowFont, clWindowText);
    SetScreenFont(this, windowFont.toQFont());

    PaintBox1 = new TPaintBox(this);
    PaintBox1->setObjectName(QStringLiteral("PaintBox1"));
    PaintBox1->setGeometry(0, 0, 470, 270);
    PaintBox1->OnPaint = [this](QPainter& painter) { PaintBox1Paint(painter); };

    cb_PRZT = new TRUVCheckBox(this);
    cb_PRZT->setObjectName(QStringLiteral("cb_PRZT"));
    cb_PRZT->setGeometry(278, 246, 37, 20);
    cb_PRZT->setCaption(QStringLiteral("%"));
    cb_PRZT->setChecked(true);
    cb_PRZT->setRightHand(false);
    cb_PRZT->setHookColor(clBlue);
    cb_PRZT->setLook3D(false);
    cb_PRZT->setStyle(TRUVCheckBox::cs_Hook);
    cb_PRZT->setBackgroundOpak(false);
    cb_PRZT->setBackgroundColor(clBtnFace);
    cb_PRZT->setGroupIndex(0);
    cb_PRZT->setYKorrekturText(0);
    cb_PRZT->setAutoBoldRadioButton(false);
    setTahoma(cb_PRZT->Font(), clWindowText);
    cb_PRZT->OnChange = [this](QObject* sender) { Aktualisieren(sender); };

    Label1 = new QLabel(QStringLiteral("Neigung:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(147, 249, 43, 13);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    const auto plainLabel = [this, &windowFont](const char* name, const QRect& bounds, TColor color, bool handCursor) {
        auto* label = new TPlainLabel(this);
        label->setObjectName(QLatin1String(name));
        label->setGeometry(bounds);
        label->setText(QStringLiteral("H="));
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        QFont bold = windowFont.toQFont();
        bold.setBold(true);
        SetScreenFont(label, bold);
        QPalette labelPalette = label->palette();
        labelPalette.setColor(QPalette::WindowText, ToQColor(color));
        label->setPalette(labelPalette);
        if (handCursor)
            label->setCursor(Qt::PointingHandCursor);
        return label;
    };
    lbl_xH = plainLabel("lbl_xH", QRect(252, 111, 93, 13), AccentBlue, false);
    lbl_Hges = plainLabel("lbl_Hges", QRect(384, 90, 80, 13), clGray, true);
    lbl_Hges->OnClick = [this](QObject* sender) { lbl_HgesClick(sender); };

    const auto hoverLabel = [this](const char* name, const QRect& bounds, const LabelDesign& design) {
        auto* label = new TRUVLabel(this);
        label->setObjectName(QLatin1String(name));
        label->setGeometry(bounds);
        label->setLabelTyp(TRUVLabel::ltnormal);
        label->setLabelLayout(design.layout);
        label->setLabelBevel(design.bevel);
        label->setLabelExecute(MakerContact);
        label->setShowEllipses(false);
        label->setBorders({});
        label->setColor(design.color);
        label->setColorHoover(clSilver);
        label->setColorGlow(PaleYellow);
        label->setColorSingleBorder(design.singleBorder);
        label->setColorEllipsesLine(clBtnHighlight);
        label->setColorBorder(clBlack);
        label->setColorHooverText(design.hooverText);
        label->setCaption(QStringLiteral("0,000"));
        label->setCaptionVisible(true);
        label->setCaptionMarginTop(0);
        setTahoma(label->Font(), design.fontColor, design.style);
        label->setShowDesigntimeFrame(false);
        label->setDesigntimeFrameColor(clPurple);
        label->setTag2(0);
        label->setAutoWidth(false);
        label->setCursor(Qt::PointingHandCursor);
        return label;
    };
    constexpr auto bold = TFont::TFontStyles(TFont::fsBold);
    lbl_LLi = hoverLabel("lbl_LLi", QRect(120, 194, 95, 20),
                         {TRUVLabel::lycenter, TRUVLabel::bfsingle, clWhite, AccentBlue, clBlack, bold, AccentBlue});
    lbl_LRe = hoverLabel("lbl_LRe", QRect(257, 194, 95, 20),
                         {TRUVLabel::lycenter, TRUVLabel::bfsingle, LightGrey, clGray, AccentBlue, bold, clBlack});
    lbl_LGes = hoverLabel("lbl_LGes", QRect(188, 225, 95, 20),
                          {TRUVLabel::lycenter, TRUVLabel::bfsingle, LightGrey, clGray, AccentBlue, bold, clBlack});
    lbl_Neig
        = hoverLabel("lbl_Neig", QRect(192, 249, 87, 13),
                     {TRUVLabel::lycenter, TRUVLabel::bfnone, clWhite, clBtnShadow, clWindowText, bold, AccentBlue});
    lbl_info = hoverLabel("lbl_info", QRect(2, 246, 132, 20),
                          {TRUVLabel::lycenterleft, TRUVLabel::bfnone, clNone, clBtnShadow, AccentBlue, {}, clSilver});
    lbl_info->setCaption(QStringLiteral("© Tiraso %1").arg(QLatin1String(ReleaseInfo::Month)));
    lbl_info->setGlyph(glyphPicture(xpm::glyph_info, QStringLiteral(":/glyph_info.svg")));
    lbl_info->setToolTip(QStringLiteral("Einstellung/Extras"));
    lbl_LLi->OnClick = [this](QObject* sender) { lbl_LLiClick(sender); };
    lbl_LRe->OnClick = [this](QObject* sender) { lbl_LReClick(sender); };
    lbl_LGes->OnClick = [this](QObject* sender) { lbl_LGesClick(sender); };
    lbl_Neig->OnClick = [this](QObject* sender) { lbl_NeigClick(sender); };
    lbl_info->OnClick = [this](QObject* sender) { lbl_infoClick(sender); };

    const auto button = [this](const char* name, const QRect& bounds, const QImage& picture, const QString& hint) {
        auto* b = new TRUVButton(this);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(bounds);
        b->setCaption(QString());
        b->setCaptionPosition(TRUVButton::tp_none);
        b->setColorHighlight(clWhite);
        b->setColorEdgeLight(clSilver);
        b->setColorEdgeShadow(clSilver);
        b->setColorHighlightText(clWindowText);
        b->setColorSpezialFrame(clWhite);
        b->setColorAllwaysBorder(clBtnShadow);
        b->setColorDownBackGround(clNone);
        b->setColorBackground(clNone);
        b->setColorBorderMouseIn(AccentBlue);
        b->setColorButtonDownText(clBlack);
        b->setMargin(4);
        b->setGlyph(picture);
        b->setGroupIndex(0);
        b->setDown(false);
        b->setNormalFlat(true);
        b->setEdgestyle(TRUVButton::bs_rectangle);
        b->setSimpleAnimation(true);
        b->setShowAllwaysColor(true);
        b->setShowAllwaysSimpleBorder(false);
        b->setShowBackgroundColor(false);
        b->setButtontyp(TRUVButton::typ_normal);
        setTahoma(b->Font(), clWindowText);
        b->setHint(hint);
        return b;
    };
    btn_Save = button("btn_Save", QRect(438, 238, 24, 24),
                      glyphPicture(xpm::glyph_save, QStringLiteral(":/glyph_save.svg")), QStringLiteral("Speichern"));
    btn_load = button("btn_load", QRect(410, 238, 24, 24),
                      glyphPicture(xpm::glyph_open, QStringLiteral(":/glyph_open.svg")), QStringLiteral("Öffnen"));
    btn_copy1 = button("btn_copy1", QRect(289, 49, 20, 20),
                       glyphPicture(xpm::glyph_copy, QStringLiteral(":/glyph_copy.svg")),
                       QStringLiteral("Wert kopieren"));
    btn_Save->OnClick = [this](QObject* sender) { btn_SaveClick(sender); };
    btn_load->OnClick = [this](QObject* sender) { btn_loadClick(sender); };
    btn_copy1->OnClick = [this](QObject* sender) { btn_copy1Click(sender); };
    btn_copy1->OnSHIFTClick = [this](QObject* sender) { btn_copy1ShiftClick(sender); };

    lbl_YErg
        = hoverLabel("lbl_YErg", QRect(181, 49, 109, 20),
                     {TRUVLabel::lycenter, TRUVLabel::bfsingle, clWhite, AccentBlue, clWindowText, bold, AccentBlue});
    lbl_YErg->OnClick = [this](QObject* sender) { lbl_YErgClick(sender); };

    const auto spin = [this](const SpinDesign& design) {
        auto* s = new TSpezialSpin(this);
        s->setObjectName(QLatin1String(design.name));
        s->setGeometry(design.bounds);
        s->setNachkommaStellen(3);
        s->setChangeDelay(5000);
        s->setValueReal(design.value);
        s->setMaxValue(0);
        s->setMinValue(Interpolation::InputMinimum);
        s->setMarginTop(0);
        s->setEditorEnabled(true);
        s->setTextCenter(true);
        s->setBorderWidth(1);
        s->setBorderColWidth1(design.frame);
        s->setArrowSize(12);
        s->setArrowColor(clBtnText);
        s->setTextBefore(QString::fromLatin1(design.textBefore));
        s->setTextSpacing(0);
        s->setEditorColor(clBlack);
        s->setTausenderZeichen(true);
        s->setAllowArrowKeyChange(true);
        s->setPlusZeichenPositiveWerte(false);
        s->setTextBeforeSubScriptcCount(design.subscriptCount);
        s->OnDelayedChange = [this](QObject* sender) { spin_y1DelayedChange(sender); };
        setTahoma(s->Font(), clBtnText);
        // Tab reaches the editors, so the inputs can be entered from the keyboard alone.
        s->setTabStop(true);
        // Takes the window's colour: the editor's own surface is erased in white.
        s->setParentColor(true);
        return s;
    };
    {
        using In = Interpolation::Inputs;
        // clang-format off
        const SpinDesign editors[] = {
            {&TForm1::spin__X, &In::X,  "spin__X", QRect(184, 156, 103, 20), 0, "X ",  0, AccentBlue},
            {&TForm1::spin_x1, &In::x1, "spin_x1", QRect(45, 156, 103, 20),  0, "X1 ", 1, clGray},
            {&TForm1::spin_x2, &In::x2, "spin_x2", QRect(318, 156, 103, 20), 1, "X2 ", 1, clGray},
            {&TForm1::spin_y1, &In::y1, "spin_y1", QRect(45, 92, 103, 20),   0, "Y1 ", 1, AccentGreen},
            {&TForm1::spin_y2, &In::y2, "spin_y2", QRect(320, 11, 103, 20),  1, "Y2 ", 1, AccentGreen},
        };
        // clang-format on
        static_assert(std::size(editors) == std::tuple_size_v<decltype(m_inputEditors)>);
        // The editors' edit boxes then need no font engine of the desktop's face.
        const TDefaultFontScope editorFace(FontForPixelRatio(windowFont.toQFont(), devicePixelRatioF()));
        for (std::size_t i = 0; i < std::size(editors); ++i) {
            TSpezialSpin* created = spin(editors[i]);
            this->*editors[i].member = created;
            m_inputEditors[i] = {created, editors[i].input};
        }
    }

    const auto holder = [this](const char* name, const QString& resource) {
        auto* h = new TRUVBMPMerker(this);
        h->setObjectName(QLatin1String(name));
        h->setBitmapSource(QSize(ClientWidth, ClientHeight),
                           [resource] { return backgroundPicture(resource, ClientWidth, ClientHeight); });
        h->setTransparent(false);
        h->setBMPWidth(470);
        h->setBMPHeight(270);
        return h;
    };
    BMP_R = holder("BMP_R", QStringLiteral(":/BMP_R.svg"));
    BMP_L = holder("BMP_L", QStringLiteral(":/BMP_L.svg"));
    BMP_E = holder("BMP_E", QStringLiteral(":/BMP_E.svg"));

    PM_1 = new QMenu(this);
    PM_1->setObjectName(QStringLiteral("PM_1"));
    // Captions show exactly as written: no separators merged away.
    PM_1->setSeparatorsCollapsible(false);
    const auto item = [this](const char* name, const QString& caption, void (TForm1::*handler)(QObject*)) {
        QAction* action = PM_1->addAction(caption);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(PM_1); });
        return action;
    };
    // Undo and redo first, as in an editor's menu; enabled only when they can act.
    PM_Undo = item("PM_Undo", QStringLiteral("Rückgängig"), &TForm1::PM_UndoClick);
    PM_Undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    PM_Redo = item("PM_Redo", QStringLiteral("Wiederholen"), &TForm1::PM_RedoClick);
    PM_Redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    PM_Undo->setEnabled(false);
    PM_Redo->setEnabled(false);
    addAction(PM_Undo);
    addAction(PM_Redo);
    N3 = PM_1->addSeparator();
    N3->setObjectName(QStringLiteral("N3"));
    PM_NKDef = item("PM_NKDef", QStringLiteral("Nachkommastellen definieren"), &TForm1::PM_NKDefClick);
    N1 = PM_1->addSeparator();
    N1->setObjectName(QStringLiteral("N1"));
    PM_Reset = item("PM_Reset", QStringLiteral("Werte auf Standard setzen (Reset)"), &TForm1::PM_ResetClick);
    pm_Mirror = item("pm_Mirror", QStringLiteral("Y-Werte spiegeln (links nach rechts)"), &TForm1::pm_MirrorClick);
    PM_CopyBMP = item("PM_CopyBMP", QStringLiteral("Ergebnis als Grafik kopieren"), &TForm1::PM_CopyBMPClick);
    PM_CopyResults = item("PM_CopyResults", QStringLiteral("Ergebnisse kopieren"), &TForm1::PM_CopyResultsClick);
    // Held by the window too, so the key works wherever the focus is.
    PM_CopyResults->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    addAction(PM_CopyResults);
    N2 = PM_1->addSeparator();
    N2->setObjectName(QStringLiteral("N2"));
    PM_Info = item("PM_Info", QStringLiteral("Info über..."), &TForm1::PM_InfoClick);
    PaintBox1->PopupMenu = PM_1;

    RUVRechner = new TRUVTaRe(this);
    RUVRechner->setObjectName(QStringLiteral("RUVRechner"));

    OpenDialog1 = new TOpenDialog(this);
    OpenDialog1->setObjectName(QStringLiteral("OpenDialog1"));
    OpenDialog1->Title = QStringLiteral("Gespeicherte Werte laden");
    OpenDialog1->Filter = QStringLiteral("Tiraso-Datendatei (*.dat)|*.dat");
    OpenDialog1->DefaultExt = QStringLiteral("dat");
    // Hidden files are listed so that a set saved as ".dat" (an empty name)
    // or under a name beginning with "." can be loaded again.
    OpenDialog1->Options = TOpenDialog::TOpenOptions(TOpenDialog::ofHideReadOnly) | TOpenDialog::ofNoChangeDir
        | TOpenDialog::ofEnableSizing | TOpenDialog::ofForceShowHidden;
}
