// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls.h"

#include "ui/appearance.h"

#include <QEvent>
#include <QFontMetrics>
#include <QKeySequence>
#include <QPainter>
#include <QShortcutEvent>
#include <QStyle>

namespace {

void setPointSize(QWidget *widget, double points)
{
    QFont font = widget->font();
    font.setPointSizeF(points);
    widget->setFont(font);
}

// The font a caption is measured and drawn in: the control's own face
// alone. Every face the game draws captions in covers the whole of
// Windows-1251, the only characters a content file can hold, so looking for
// missing characters in other faces would never change a glyph; it would
// only sort every installed font once per face.
QFont captionFont(const QWidget *widget)
{
    QFont font = widget->font();
    font.setStyleStrategy(QFont::StyleStrategy(font.styleStrategy() | QFont::NoFontMerging));
    return font;
}

void applyHandPointer(QWidget *widget, bool on)
{
    if (on)
        widget->setCursor(Appearance::handCursor());
    else
        widget->unsetCursor();
}

} // namespace

// ---------------------------------------------------------------- CaptionLabel

CaptionLabel::CaptionLabel(QWidget *parent)
    : QWidget(parent)
{
}

void CaptionLabel::setCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    fitToCaption();
    update();
}

void CaptionLabel::setForeColor(const QColor &color)
{
    m_foreColor = color;
    update();
}

void CaptionLabel::setBackColor(const QColor &color)
{
    m_backColor = color;
    update();
}

void CaptionLabel::setOpaque(bool opaque)
{
    m_opaque = opaque;
    update();
}

void CaptionLabel::setAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment & Qt::AlignHorizontal_Mask;
    update();
}

void CaptionLabel::setWordWrap(bool on)
{
    m_wordWrap = on;
    fitToCaption();
    update();
}

void CaptionLabel::setBorderColor(const QColor &color)
{
    m_borderColor = color;
    update();
}

void CaptionLabel::setRidge(bool on)
{
    m_ridge = on;
    update();
}

double CaptionLabel::fontSize() const
{
    return font().pointSizeF();
}

void CaptionLabel::setFontSize(double points)
{
    setPointSize(this, points);
}

void CaptionLabel::setHandPointer(bool on)
{
    m_handPointer = on;
    applyHandPointer(this, on);
}

void CaptionLabel::setAutoSize(bool on)
{
    m_autoSize = on;
    fitToCaption();
}

void CaptionLabel::setUnderlined(bool on)
{
    QFont f = font();
    f.setUnderline(on);
    setFont(f);
}

QRect CaptionLabel::textRect() const
{
    QRect r = rect();
    if (m_ridge)
        r.adjust(2, 2, -2, -2);
    if (m_borderColor.isValid())
        r.adjust(1, 1, -1, -1);
    return r;
}

int CaptionLabel::textFlags() const
{
    int flags = int(m_alignment) | Qt::AlignTop;
    if (m_wordWrap)
        flags |= Qt::TextWordWrap;
    return flags;
}

QSize CaptionLabel::sizeHint() const
{
    const QFontMetrics metrics(captionFont(this));
    const QRect needed = metrics.boundingRect(QRect(0, 0, 0, 0), int(m_alignment) | Qt::AlignTop, m_caption);
    const int frame = (m_ridge ? 4 : 0) + (m_borderColor.isValid() ? 2 : 0);
    return needed.size() + QSize(frame, frame);
}

namespace {

bool fitsInto(const QFont &font, const QRect &area, int flags, const QString &text)
{
    const QRect needed = QFontMetrics(font).boundingRect(area, flags, text);
    return needed.width() <= area.width() && needed.height() <= area.height();
}

} // namespace

bool CaptionLabel::fits(const QString &text) const
{
    return fitsInto(captionFont(this), textRect(), textFlags(), text);
}

void CaptionLabel::fitToCaption()
{
    if (m_autoSize)
        resize(sizeHint());
}

void CaptionLabel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        fitToCaption();
    QWidget::changeEvent(event);
}

void CaptionLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_opaque)
        painter.fillRect(rect(), m_backColor);
    QRect frame = rect();
    if (m_ridge) {
        Appearance::paintRidge(painter, frame);
        frame.adjust(2, 2, -2, -2);
    }
    if (m_borderColor.isValid()) {
        painter.setPen(m_borderColor);
        painter.drawRect(frame.adjusted(0, 0, -1, -1));
    }
    painter.setPen(m_foreColor);
    painter.setFont(captionFont(this));
    painter.drawText(textRect(), textFlags(), m_caption);
}

// ---------------------------------------------------------------- CaptionButton

CaptionButton::CaptionButton(QWidget *parent)
    : QAbstractButton(parent)
{
    setFocusPolicy(Qt::StrongFocus);
}

void CaptionButton::setCaption(const QString &caption)
{
    m_caption = caption;
    update();
}

void CaptionButton::setForeColor(const QColor &color)
{
    m_foreColor = color;
    update();
}

void CaptionButton::setBackColor(const QColor &color)
{
    m_backColor = color;
    update();
}

void CaptionButton::setPicture(const QPixmap &picture)
{
    m_picture = picture;
    update();
}

void CaptionButton::setWordWrap(bool on)
{
    m_wordWrap = on;
    update();
}

void CaptionButton::setTakeFocusOnClick(bool on)
{
    m_takeFocusOnClick = on;
    // Without click focus the button can still be reached with Tab.
    setFocusPolicy(on ? Qt::StrongFocus : Qt::TabFocus);
}

void CaptionButton::setAccelerator(const QString &letter)
{
    m_accelerator = letter;
    if (letter.isEmpty())
        setShortcut(QKeySequence());
    else
        setShortcut(QKeySequence(QStringLiteral("Alt+") + letter.toUpper()));
}

double CaptionButton::fontSize() const
{
    return font().pointSizeF();
}

void CaptionButton::setFontSize(double points)
{
    setPointSize(this, points);
}

void CaptionButton::setHandPointer(bool on)
{
    m_handPointer = on;
    applyHandPointer(this, on);
}

QRect CaptionButton::textRect() const
{
    return rect().adjusted(4, 3, -4, -3);
}

int CaptionButton::textFlags() const
{
    return Qt::AlignCenter | (m_wordWrap ? Qt::TextWordWrap : 0);
}

bool CaptionButton::fits(const QString &text) const
{
    return fitsInto(captionFont(this), textRect(), textFlags(), text);
}

QSize CaptionButton::sizeHint() const
{
    const QSize text = QFontMetrics(captionFont(this)).size(0, m_caption);
    return text.expandedTo(m_picture.deviceIndependentSize().toSize()) + QSize(12, 8);
}

bool CaptionButton::event(QEvent *event)
{
    // A standard button answers its accelerator with an animated click that
    // fires a tenth of a second later, from a timer. A window opened in that
    // tenth (a lifeline's call or poll, another answer's verdict) would
    // then get the click inside it: an answer judged behind the call
    // window, or a second verdict inside the first. Clicking at once leaves
    // nothing pending; while a modal window is open the game screen's
    // accelerators do not fire at all.
    if (event->type() == QEvent::Shortcut && !static_cast<QShortcutEvent *>(event)->isAmbiguous()) {
        if (isEnabled())
            click();
        return true;
    }
    return QAbstractButton::event(event);
}

void CaptionButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const bool sunken = isDown() || isChecked();
    painter.fillRect(rect(), m_backColor);

    const QPoint shift = sunken ? QPoint(1, 1) : QPoint(0, 0);
    if (!m_picture.isNull()) {
        // Placed by its size on screen: a picture for a high-density screen
        // has more pixels than that.
        const QSize size = m_picture.deviceIndependentSize().toSize();
        const QPoint topLeft((width() - size.width()) / 2, (height() - size.height()) / 2);
        painter.drawPixmap(topLeft + shift, m_picture);
    }

    if (!m_caption.isEmpty()) {
        const int flags = textFlags();
        const QRect textArea = textRect().translated(shift);
        painter.setFont(captionFont(this));
        if (isEnabled()) {
            painter.setPen(m_foreColor);
            painter.drawText(textArea, flags, m_caption);
        } else {
            // The engraved look of a disabled caption.
            painter.setPen(QColor(255, 255, 255));
            painter.drawText(textArea.translated(1, 1), flags, m_caption);
            painter.setPen(QColor(128, 128, 128));
            painter.drawText(textArea, flags, m_caption);
        }
    }

    Appearance::paintButtonBevel(painter, rect(), sunken);

    if (hasFocus()) {
        QPen pen(QColor(128, 128, 128));
        pen.setStyle(Qt::DotLine);
        painter.setPen(pen);
        painter.drawRect(rect().adjusted(3, 3, -4, -4));
    }
}
