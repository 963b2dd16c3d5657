// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef CONTROLS_H
#define CONTROLS_H

#include <QAbstractButton>
#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QWidget>

QT_BEGIN_NAMESPACE
class QPainter;
QT_END_NAMESPACE

// The game's labels and buttons. Both draw their caption themselves, as
// plain text: an ampersand stays an ampersand (no accelerator), markup stays
// text, and a line feed inside a caption breaks the line. Captions from the
// content files therefore show exactly as written.

class CaptionAnnouncement;

// Whether the keyboard focus is drawn for the player to see. A player who
// plays with the keyboard needs to see where the focus is; a player who
// plays with the mouse sees the game exactly as designed. So the focus is
// drawn from any key press (a modifier alone does not count) until the next
// mouse press, and not before the first key press.
class FocusCue : public QObject
{
    Q_OBJECT

public:
    static FocusCue &instance();
    static bool shown() { return instance().m_shown; }

signals:
    void shownChanged(bool shown);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    FocusCue();
    void setShown(bool shown);

    bool m_shown = false;
};

// Tells a screen reader to speak `text` now, as a notification of the
// window of `source`. Nothing is sent when no assistive technology listens.
void announceToScreenReaders(QWidget *source, const QString &text);

// Hides a widget that only decorates (a picture, the shadow copy of a text)
// from screen readers: they skip it when reading the window.
void hideFromScreenReaders(QWidget *widget);

// A label with a fore and back colour, an optional single-line border of
// its own colour and an optional raised ridge around the box. Text sits at
// the top of the box, aligned left, centred or right, and wraps at word
// boundaries unless word wrap is off. A label with a fixed caption may
// shrink its face to keep the caption whole.
class CaptionLabel : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
    Q_PROPERTY(QColor foreColor READ foreColor WRITE setForeColor)
    Q_PROPERTY(QColor backColor READ backColor WRITE setBackColor)
    Q_PROPERTY(bool opaque READ isOpaque WRITE setOpaque)
    Q_PROPERTY(Qt::Alignment alignment READ alignment WRITE setAlignment)
    Q_PROPERTY(bool wordWrap READ wordWrap WRITE setWordWrap)
    Q_PROPERTY(QColor borderColor READ borderColor WRITE setBorderColor)
    Q_PROPERTY(bool ridge READ hasRidge WRITE setRidge)
    Q_PROPERTY(double fontSize READ fontSize WRITE setFontSize)
    Q_PROPERTY(bool handPointer READ handPointer WRITE setHandPointer)
    Q_PROPERTY(bool autoSize READ autoSize WRITE setAutoSize)
    Q_PROPERTY(bool announcesChanges READ announcesChanges WRITE setAnnouncesChanges)
    Q_PROPERTY(bool shrinksToFit READ shrinksToFit WRITE setShrinksToFit)

public:
    explicit CaptionLabel(QWidget *parent = nullptr);

    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);
    QColor foreColor() const { return m_foreColor; }
    void setForeColor(const QColor &color);
    QColor backColor() const { return m_backColor; }
    void setBackColor(const QColor &color);
    bool isOpaque() const { return m_opaque; }
    void setOpaque(bool opaque);
    Qt::Alignment alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment alignment);
    bool wordWrap() const { return m_wordWrap; }
    void setWordWrap(bool on);
    // An invalid colour means no border.
    QColor borderColor() const { return m_borderColor; }
    void setBorderColor(const QColor &color);
    bool hasRidge() const { return m_ridge; }
    void setRidge(bool on);
    double fontSize() const;
    void setFontSize(double points);
    bool handPointer() const { return m_handPointer; }
    void setHandPointer(bool on);
    // Keeps the top left corner and takes the size the caption needs.
    bool autoSize() const { return m_autoSize; }
    void setAutoSize(bool on);
    bool isUnderlined() const { return font().underline(); }
    void setUnderlined(bool on);
    // For a caption that changes while the player waits: a screen reader is
    // told each new caption as a notification, or only the lines it gained
    // when it grows by whole lines.
    bool announcesChanges() const { return m_announcesChanges; }
    void setAnnouncesChanges(bool on) { m_announcesChanges = on; }
    // The face a window is designed with may be replaced by one whose lines
    // are taller or whose letters are wider. A label that shrinks to fit
    // draws its caption in the designed size wherever the ink of its glyphs
    // lies inside the box, and otherwise in the largest size, by quarter
    // points down to half the designed one, at which it does, descenders
    // included, at the screen's own pixel density.
    bool shrinksToFit() const { return m_shrinksToFit; }
    void setShrinksToFit(bool on);

    QSize sizeHint() const override;

    // Whether `text` fits inside the box as this label draws it, without
    // being cut off at the bottom or the side.
    bool fits(const QString &text) const;

    // The font the caption is drawn in, and the part of the box inside the
    // border and the ridge that it is drawn into.
    QFont captionFont() const { return fontFor(m_caption); }
    QRect textRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    int textFlags() const;
    QFont fontFor(const QString &text) const;
    void fitToCaption();
    void announce(const QString &previous);

    QString m_caption;
    QColor m_foreColor{Qt::black};
    QColor m_backColor{Qt::white};
    QColor m_borderColor;
    Qt::Alignment m_alignment = Qt::AlignLeft;
    bool m_opaque = true;
    bool m_wordWrap = true;
    bool m_ridge = false;
    bool m_handPointer = false;
    bool m_autoSize = false;
    bool m_announcesChanges = false;
    bool m_shrinksToFit = false;
    // The last size chosen to fit, and what it was chosen for.
    struct Fitted
    {
        QString text;
        QFont designed;
        QRect area;
        int flags = 0;
        qreal ratio = 0;
        QFont font;
    };
    mutable Fitted m_fitted;
};

// A push button with a fore and back colour, an optional picture drawn
// centred on its face, an optional word wrap of the caption, an optional
// Alt+letter accelerator, and a switch that keeps it from taking the
// keyboard focus when clicked. In place of a caption it can show one of the
// symbols of a window's title bar.
class CaptionButton : public QAbstractButton
{
    Q_OBJECT
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
    Q_PROPERTY(QColor foreColor READ foreColor WRITE setForeColor)
    Q_PROPERTY(QColor backColor READ backColor WRITE setBackColor)
    Q_PROPERTY(QPixmap picture READ picture WRITE setPicture)
    Q_PROPERTY(bool wordWrap READ wordWrap WRITE setWordWrap)
    Q_PROPERTY(bool takeFocusOnClick READ takeFocusOnClick WRITE setTakeFocusOnClick)
    Q_PROPERTY(QString accelerator READ accelerator WRITE setAccelerator)
    Q_PROPERTY(double fontSize READ fontSize WRITE setFontSize)
    Q_PROPERTY(bool handPointer READ handPointer WRITE setHandPointer)
    Q_PROPERTY(Glyph glyph READ glyph WRITE setGlyph)

public:
    // The close cross and the minimise bar, as a window's title bar shows
    // them; drawn, not taken from a symbol font.
    enum Glyph { NoGlyph, CloseCross, MinimiseBar };
    Q_ENUM(Glyph)

    explicit CaptionButton(QWidget *parent = nullptr);

    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);
    QColor foreColor() const { return m_foreColor; }
    void setForeColor(const QColor &color);
    QColor backColor() const { return m_backColor; }
    void setBackColor(const QColor &color);
    QPixmap picture() const { return m_picture; }
    void setPicture(const QPixmap &picture);
    bool wordWrap() const { return m_wordWrap; }
    void setWordWrap(bool on);
    bool takeFocusOnClick() const { return m_takeFocusOnClick; }
    void setTakeFocusOnClick(bool on);
    // A letter; its Alt chord clicks the button, whatever the caption holds.
    QString accelerator() const { return m_accelerator; }
    void setAccelerator(const QString &letter);
    double fontSize() const;
    void setFontSize(double points);
    bool handPointer() const { return m_handPointer; }
    void setHandPointer(bool on);
    Glyph glyph() const { return m_glyph; }
    void setGlyph(Glyph glyph);

    QSize sizeHint() const override;

    // Whether `text` fits on the face as this button draws it.
    bool fits(const QString &text) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    // The accelerator clicks at once (see the definition).
    bool event(QEvent *event) override;
    // Enter and keypad Enter click an enabled button, as Space does.
    void keyPressEvent(QKeyEvent *event) override;

private:
    QRect textRect() const;
    int textFlags() const;
    void paintGlyph(QPainter &painter, bool sunken) const;

    QString m_caption;
    QColor m_foreColor{Qt::black};
    QColor m_backColor{212, 208, 200};
    QPixmap m_picture;
    QString m_accelerator;
    Glyph m_glyph = NoGlyph;
    bool m_wordWrap = false;
    bool m_takeFocusOnClick = true;
    bool m_handPointer = false;
};

#endif
