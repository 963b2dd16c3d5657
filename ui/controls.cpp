// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls.h"

#include "ui/appearance.h"

#include <QAccessible>
#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QImage>
#include <QKeyEvent>
#include <QKeySequence>
#include <QPainter>
#include <QShortcutEvent>
#include <QStyle>
#include <QWindow>

#include <QtMath>

#include <algorithm>
#include <cmath>

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
QFont ownFaceOnly(const QWidget *widget)
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

// What a screen reader gets for a caption: the caption as drawn. A CR LF,
// which the call transcript puts between its lines, is one line break, and a
// lone CR, which is drawn as a space, reads as one; everything else, an
// ampersand or markup included, is passed on as it is.
QString readableCaption(const QString &caption)
{
    if (!caption.contains(u'\r'))
        return caption;
    QString text = caption;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u' ');
    return text;
}

} // namespace

// What a window last told a screen reader: a label that announces its
// changes, or the game itself. Screen readers ignore the text changes of
// labels, but speak a notification when it is shown. The notification
// stands apart, as the application's own, like a desktop notification:
// inside its window a reader would first read out the window and the label
// (the whole transcript) around it.
class CaptionAnnouncement : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    QString text;
};

namespace {

// The captions are drawn, not held as widget text, so Qt's own interfaces
// would show the controls nameless. These give them their captions.
class CaptionLabelAccessible : public QAccessibleWidget
{
public:
    explicit CaptionLabelAccessible(CaptionLabel *label)
        : QAccessibleWidget(label, QAccessible::StaticText)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return readableCaption(static_cast<const CaptionLabel *>(widget())->caption());
        return QAccessibleWidget::text(t);
    }
};

class CaptionAnnouncementAccessible : public QAccessibleObject
{
public:
    explicit CaptionAnnouncementAccessible(CaptionAnnouncement *announcement)
        : QAccessibleObject(announcement)
    {
    }

    QWidget *label() const { return static_cast<QWidget *>(object()->parent()); }

    QAccessible::Role role() const override { return QAccessible::Notification; }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? static_cast<CaptionAnnouncement *>(object())->text : QString();
    }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.readOnly = true;
        state.invisible = !label()->isVisible();
        return state;
    }
    QRect rect() const override { return QRect(label()->mapToGlobal(QPoint(0, 0)), label()->size()); }
    QWindow *window() const override { return label()->window()->windowHandle(); }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(qApp); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
};

// A push button named by its caption. A window names a button that shows only
// a symbol (its accessible name wins); one with a picture and no caption is
// named by its tool tip, which then is not repeated as its description.
class CaptionButtonAccessible : public QAccessibleWidget
{
public:
    explicit CaptionButtonAccessible(CaptionButton *button)
        : QAccessibleWidget(button, QAccessible::Button)
    {
    }

    CaptionButton *button() const { return static_cast<CaptionButton *>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name:
            if (!button()->accessibleName().isEmpty())
                return button()->accessibleName();
            if (!button()->caption().isEmpty())
                return readableCaption(button()->caption());
            return button()->toolTip();
        case QAccessible::Description:
            if (namedByToolTip())
                return button()->accessibleDescription();
            break;
        case QAccessible::Accelerator:
            return button()->shortcut().toString(QKeySequence::NativeText);
        default:
            break;
        }
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.pressed = button()->isDown();
        return state;
    }

    QStringList actionNames() const override
    {
        return QStringList(pressAction()) + QAccessibleWidget::actionNames();
    }

    void doAction(const QString &actionName) override
    {
        if (actionName != pressAction()) {
            QAccessibleWidget::doAction(actionName);
            return;
        }
        // The request comes from the screen reader while it waits for the
        // answer. An answer or a lifeline opens a modal window that waits for
        // the player, so the click follows once the request is answered.
        // Like the mouse, it reaches only a button that can be clicked then:
        // a second request queued behind the first finds the game screen
        // behind the verdict window and clicks nothing.
        QMetaObject::invokeMethod(
            button(),
            [button = button()] {
                if (button->isEnabled() && button->isVisible() && !blockedByModalWindow(button))
                    button->click();
            },
            Qt::QueuedConnection);
    }

    QStringList keyBindingsForAction(const QString &actionName) const override
    {
        if (actionName == pressAction() && !button()->shortcut().isEmpty())
            return {button()->shortcut().toString(QKeySequence::NativeText)};
        return QAccessibleWidget::keyBindingsForAction(actionName);
    }

private:
    bool namedByToolTip() const
    {
        return button()->accessibleName().isEmpty() && button()->caption().isEmpty();
    }

    static bool blockedByModalWindow(const QWidget *widget)
    {
        const QWidget *modal = QApplication::activeModalWidget();
        return modal && modal != widget->window() && !modal->isAncestorOf(widget);
    }
};

// A widget that only decorates: nameless and not showing, so a screen
// reader passes it by.
const char *const HiddenFromScreenReaders = "kvizoraHiddenFromScreenReaders";

class HiddenAccessible : public QAccessibleWidget
{
public:
    explicit HiddenAccessible(QWidget *widget)
        : QAccessibleWidget(widget, QAccessible::Graphic)
    {
    }

    QString text(QAccessible::Text) const override { return {}; }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.invisible = true;
        state.offscreen = true;
        state.focusable = false;
        return state;
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
};

QAccessibleInterface *captionControlAccessible(const QString &className, QObject *object)
{
    if (object->isWidgetType() && object->property(HiddenFromScreenReaders).toBool())
        return new HiddenAccessible(static_cast<QWidget *>(object));
    if (className == QLatin1String("CaptionLabel"))
        return new CaptionLabelAccessible(static_cast<CaptionLabel *>(object));
    if (className == QLatin1String("CaptionButton"))
        return new CaptionButtonAccessible(static_cast<CaptionButton *>(object));
    if (className == QLatin1String("CaptionAnnouncement"))
        return new CaptionAnnouncementAccessible(static_cast<CaptionAnnouncement *>(object));
    // The title-less windows are plain widgets, which Qt would expose as
    // fillers rather than windows.
    if (className == QLatin1String("QWidget") && static_cast<QWidget *>(object)->isWindow())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    return nullptr;
}

// Qt asks the factory only when assistive technology is active, and only
// for the controls it is asked about.
void installAccessibleFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(captionControlAccessible);
        return true;
    }();
    Q_UNUSED(installed);
}

// A changed caption changes the accessible name; screen readers that hold
// the name learn of it. Without assistive technology Qt keeps no
// interfaces, and nothing is sent.
void announceNameChange(QWidget *control)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent event(control, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

} // namespace

// ---------------------------------------------------------------- FocusCue

FocusCue::FocusCue()
{
    qApp->installEventFilter(this);
}

FocusCue &FocusCue::instance()
{
    static FocusCue *cue = new FocusCue;
    return *cue;
}

bool FocusCue::eventFilter(QObject *, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
        // A modifier alone (Alt on its way to the window manager's Alt+Tab)
        // is no sign of keyboard play.
        switch (static_cast<QKeyEvent *>(event)->key()) {
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Meta:
        case Qt::Key_Alt:
        case Qt::Key_AltGr:
        case Qt::Key_Super_L:
        case Qt::Key_Super_R:
        case Qt::Key_CapsLock:
        case Qt::Key_NumLock:
            break;
        default:
            setShown(true);
            break;
        }
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::TouchBegin:
        setShown(false);
        break;
    default:
        break;
    }
    return false;
}

void FocusCue::setShown(bool shown)
{
    if (shown == m_shown)
        return;
    m_shown = shown;
    if (QWidget *focus = QApplication::focusWidget())
        focus->update();
    emit shownChanged(shown);
}

// ---------------------------------------------------------------- CaptionLabel

CaptionLabel::CaptionLabel(QWidget *parent)
    : QWidget(parent)
{
    installAccessibleFactory();
}

void CaptionLabel::setCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    const QString previous = m_caption;
    m_caption = caption;
    fitToCaption();
    update();
    if (QAccessible::isActive()) {
        announceNameChange(this);
        if (m_announcesChanges)
            announce(previous);
    }
}

void announceToScreenReaders(QWidget *source, const QString &text)
{
    if (!QAccessible::isActive() || text.isEmpty())
        return;
    installAccessibleFactory();
    auto *announcement = source->findChild<CaptionAnnouncement *>(QString(), Qt::FindDirectChildrenOnly);
    if (!announcement)
        announcement = new CaptionAnnouncement(source);
    announcement->text = text;
    // Readers that keep names learn the new one before they speak it.
    QAccessibleEvent renamed(announcement, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&renamed);
    QAccessibleEvent shown(announcement, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

void hideFromScreenReaders(QWidget *widget)
{
    installAccessibleFactory();
    widget->setProperty(HiddenFromScreenReaders, true);
    // Qt keeps the interface it made for a widget. One made before (setting
    // a caption tells of the new name) would go on reading the widget out.
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widget);
    if (iface && !dynamic_cast<HiddenAccessible *>(iface))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
}

void CaptionLabel::announce(const QString &previous)
{
    // A caption that grows by whole lines (the call transcript) is news
    // only in the lines it gained; any other caption is news as a whole.
    QString news = m_caption;
    if (!previous.isEmpty() && m_caption.startsWith(previous)
        && (m_caption.mid(previous.size()).startsWith(u'\n') || m_caption.mid(previous.size()).startsWith(u'\r')))
        news = m_caption.mid(previous.size());
    news = readableCaption(news);
    while (news.startsWith(u'\n'))
        news.remove(0, 1);
    announceToScreenReaders(this, news);
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

void CaptionLabel::setShrinksToFit(bool on)
{
    m_shrinksToFit = on;
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
    const QFontMetrics metrics(captionFont());
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

// Whether the ink of `text`, the pixels its glyphs cover when drawn into
// `area` at the device pixel ratio `ratio`, stays inside the area. The line
// boxes around the glyphs may reach beyond it: only what is drawn counts. A
// device pixel belongs to the area when its centre does.
bool inkFitsInto(const QFont &font, const QRect &area, int flags, const QString &text, qreal ratio)
{
    // A canvas with room on every side for ink that leaves the area, placed
    // on whole device pixels, as the widget is, so that the glyphs are
    // rasterised exactly as on screen.
    const QFontMetrics metrics(font);
    const QRect laidOut = metrics.boundingRect(area, flags, text).united(area);
    int margin = metrics.height();
    for (int i = 0; i < 8 && std::abs(margin * ratio - std::round(margin * ratio)) > 1e-6; ++i)
        ++margin;
    const QRect canvas = laidOut.adjusted(-margin, -margin, margin, margin);
    QImage image(QSize(qCeil(canvas.width() * ratio), qCeil(canvas.height() * ratio)), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.translate(-canvas.topLeft());
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(area, flags, text);
    }
    const QRectF inside((area.left() - canvas.left()) * ratio, (area.top() - canvas.top()) * ratio,
                        area.width() * ratio, area.height() * ratio);
    for (int y = 0; y < image.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        const bool rowInside = y + 0.5 > inside.top() && y + 0.5 < inside.bottom();
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(row[x]) == 0)
                continue;
            if (!rowInside || !(x + 0.5 > inside.left() && x + 0.5 < inside.right()))
                return false;
        }
    }
    return true;
}

} // namespace

bool CaptionLabel::fits(const QString &text) const
{
    if (m_shrinksToFit)
        return inkFitsInto(fontFor(text), textRect(), textFlags(), text, devicePixelRatioF());
    return fitsInto(fontFor(text), textRect(), textFlags(), text);
}

QFont CaptionLabel::fontFor(const QString &text) const
{
    QFont font = ownFaceOnly(this);
    if (!m_shrinksToFit)
        return font;
    const QRect area = textRect();
    const int flags = textFlags();
    const qreal ratio = devicePixelRatioF();
    if (m_fitted.text == text && m_fitted.designed == font && m_fitted.area == area && m_fitted.flags == flags
        && m_fitted.ratio == ratio)
        return m_fitted.font;
    m_fitted = {text, font, area, flags, ratio, font};
    // The designed size wherever the glyphs fit; otherwise the largest
    // quarter point below it at which they do, down to half the designed
    // size. Stepping down rather than halving the range: hinting may let a
    // size fit that is a little larger than one that does not.
    const int designed = qRound(font.pointSizeF() * 4);
    int size = designed;
    for (; size > designed / 2; --size) {
        font.setPointSizeF(size / 4.0);
        if (inkFitsInto(font, area, flags, text, ratio))
            break;
    }
    if (size < designed)
        font.setPointSizeF(size / 4.0);
    else
        font = m_fitted.designed;
    m_fitted.font = font;
    return font;
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
    painter.setFont(captionFont());
    painter.drawText(textRect(), textFlags(), m_caption);
}

// ---------------------------------------------------------------- CaptionButton

CaptionButton::CaptionButton(QWidget *parent)
    : QAbstractButton(parent)
{
    installAccessibleFactory();
    FocusCue::instance();
    setFocusPolicy(Qt::StrongFocus);
}

void CaptionButton::setCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    update();
    announceNameChange(this);
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

void CaptionButton::setGlyph(Glyph glyph)
{
    m_glyph = glyph;
    update();
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
    return fitsInto(ownFaceOnly(this), textRect(), textFlags(), text);
}

QSize CaptionButton::sizeHint() const
{
    const QSize text = QFontMetrics(ownFaceOnly(this)).size(0, m_caption);
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

void CaptionButton::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        // One press, one click: a held key must not click again in the
        // window the click opens.
        if (!event->isAutoRepeat() && isEnabled())
            click();
        event->accept();
        return;
    }
    QAbstractButton::keyPressEvent(event);
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
        painter.setFont(ownFaceOnly(this));
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

    if (m_glyph != NoGlyph)
        paintGlyph(painter, sunken);

    Appearance::paintButtonBevel(painter, rect(), sunken);

    if (hasFocus() && FocusCue::shown()) {
        // For the keyboard player: a solid ring inside the bevel that stands
        // out from the face, light or dark.
        Appearance::paintFocusRing(painter, rect().adjusted(2, 2, -2, -2), Appearance::focusRingColor(m_backColor));
    } else if (hasFocus()) {
        QPen pen(QColor(128, 128, 128));
        pen.setStyle(Qt::DotLine);
        painter.setPen(pen);
        painter.drawRect(rect().adjusted(3, 3, -4, -4));
    }
}

void CaptionButton::paintGlyph(QPainter &painter, bool sunken) const
{
    // Laid out on the screen's own pixels, so that every edge is sharp at
    // any scale, and centred on the face. The cross fills a square with two
    // diagonal bands of whole pixels; the bar is one block as wide and as
    // high as a band is across. At 100 % the square is 10 pixels and the
    // bands 3 across, at 150 % 16 and 5, at 200 % 20 and 7: bold enough to
    // read at a glance, as a title bar's symbols do.
    const qreal ratio = devicePixelRatioF();
    const int side = 2 * qRound(5 * ratio);
    const int reach = qRound(2 * ratio) - 1; // pixels either side of a diagonal
    const QSize face = size() * ratio;
    const int shift = sunken ? qRound(ratio) : 0;
    const int left = (face.width() - side) / 2 + shift;
    const QColor ink = isEnabled() ? m_foreColor : QColor(128, 128, 128);

    painter.save();
    painter.scale(1 / ratio, 1 / ratio);
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (m_glyph == CloseCross) {
        const int top = (face.height() - side) / 2 + shift;
        for (int y = 0; y < side; ++y) {
            // Each row crosses both bands; near the middle they merge.
            const int fallingFrom = std::max(0, y - reach);
            const int fallingTo = std::min(side - 1, y + reach);
            const int risingFrom = std::max(0, side - 1 - y - reach);
            const int risingTo = std::min(side - 1, side - 1 - y + reach);
            if (std::max(fallingFrom, risingFrom) <= std::min(fallingTo, risingTo) + 1) {
                const int from = std::min(fallingFrom, risingFrom);
                painter.fillRect(left + from, top + y, std::max(fallingTo, risingTo) - from + 1, 1, ink);
            } else {
                painter.fillRect(left + fallingFrom, top + y, fallingTo - fallingFrom + 1, 1, ink);
                painter.fillRect(left + risingFrom, top + y, risingTo - risingFrom + 1, 1, ink);
            }
        }
    } else {
        const int height = 2 * reach + 1;
        painter.fillRect(left, (face.height() - height) / 2 + shift, side, height, ink);
    }
    painter.restore();
}

#include "controls.moc"
