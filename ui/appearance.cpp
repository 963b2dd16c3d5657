// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/appearance.h"

#include "ui/art.h"
#include "ui/fontsetup.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QFont>
#include <QFontInfo>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace Appearance {

void setUpFonts()
{
    FontSetup::useGameFonts();

    // Latin and Cyrillic text needs no shaping: each character is one glyph
    // set at its advance, as the windows were designed. Skipping the OpenType
    // layout pass takes work off every caption; scripts that need shaping
    // still get it.
    QFont font = QApplication::font();
    font.setStyleStrategy(QFont::StyleStrategy(font.styleStrategy() | QFont::PreferNoShaping));
    QApplication::setFont(font);

    // Each face keeps a list, best first; all of them carry Cyrillic. The
    // Debian packages that provide them are installed by the set-up scripts.
    QFont::insertSubstitutions(QStringLiteral("Verdana"), {QStringLiteral("DejaVu Sans"), QStringLiteral("PT Sans")});
    QFont::insertSubstitutions(QStringLiteral("Arial"), {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("Tahoma"), {QStringLiteral("PT Sans"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("Comic Sans MS"), {QStringLiteral("Andika"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("Times New Roman"), {QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")});
    // Impact is a heavy, condensed display face; PT Sans Narrow in its bold
    // cut (useHeavyDisplayFace) comes closest and has full Cyrillic.
    QFont::insertSubstitutions(QStringLiteral("Impact"), {QStringLiteral("PT Sans Narrow"), QStringLiteral("Open Sans Condensed"),
                                                          QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans")});
}

void useHeavyDisplayFace(QWidget *widget)
{
    QFont font = widget->font();
    // Impact is heavy at its regular weight; its stand-ins are heavy only in
    // their bold cut.
    if (QFontInfo(font).family() != QStringLiteral("Impact")) {
        font.setWeight(QFont::Bold);
        widget->setFont(font);
    }
}

void setUpApplication()
{
    setUpFonts();
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    static QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTexts);
}

const QCursor &handCursor()
{
    static const QCursor cursor = [] {
        const QPixmap hand = Art::pixmap(u"hand");
        // The fingertip is at (12, 1) at any scale. Qt's X11 cursors take
        // the hot spot in the picture's own pixels (a 2x hand would point
        // with its knuckle otherwise); elsewhere, as QCursor documents, in
        // device-independent ones.
        const qreal scale = QGuiApplication::platformName() == u"xcb" ? hand.devicePixelRatio() : 1.0;
        return QCursor(hand, qRound(12 * scale), qRound(1 * scale));
    }();
    return cursor;
}

void setBackground(QWidget *widget, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

namespace {

// Draws one ring of a bevel: `topLeft` along the top and left edges,
// `bottomRight` along the bottom and right edges (which own the two corners
// where the colours meet). One-pixel strips are filled rather than stroked:
// the same pixels at a fraction of the cost of a pen.
void ring(QPainter &painter, const QRect &r, const QColor &topLeft, const QColor &bottomRight)
{
    painter.fillRect(r.left(), r.top(), r.width(), 1, topLeft);
    painter.fillRect(r.left(), r.top(), 1, r.height(), topLeft);
    painter.fillRect(r.left(), r.bottom(), r.width(), 1, bottomRight);
    painter.fillRect(r.right(), r.top(), 1, r.height(), bottomRight);
}

const QColor Highlight(255, 255, 255);
const QColor Light(223, 223, 223);
const QColor Face(192, 192, 192);
const QColor Shadow(128, 128, 128);
const QColor DarkShadow(0, 0, 0);

} // namespace

void paintWindowFrame(QPainter &painter, const QRect &outer)
{
    ring(painter, outer, Light, DarkShadow);
    ring(painter, outer.adjusted(1, 1, -1, -1), Highlight, Shadow);
    ring(painter, outer.adjusted(2, 2, -2, -2), Face, Face);
}

void paintRidge(QPainter &painter, const QRect &outer)
{
    ring(painter, outer, Highlight, Shadow);
    ring(painter, outer.adjusted(1, 1, -1, -1), Shadow, Highlight);
}

void paintButtonBevel(QPainter &painter, const QRect &outer, bool sunken)
{
    if (sunken) {
        ring(painter, outer, DarkShadow, Highlight);
        ring(painter, outer.adjusted(1, 1, -1, -1), Shadow, Light);
    } else {
        ring(painter, outer, Highlight, DarkShadow);
        ring(painter, outer.adjusted(1, 1, -1, -1), Light, Shadow);
    }
}

namespace {

double relativeLuminance(const QColor &color)
{
    const auto channel = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(color.redF()) + 0.7152 * channel(color.greenF()) + 0.0722 * channel(color.blueF());
}

} // namespace

double contrastRatio(const QColor &a, const QColor &b)
{
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor focusRingColor(const QColor &face)
{
    return contrastRatio(face, Qt::black) >= contrastRatio(face, Qt::white) ? QColor(Qt::black) : QColor(Qt::white);
}

void paintFocusRing(QPainter &painter, const QRect &outer, const QColor &color, int width)
{
    const QRect r = outer.normalized();
    painter.fillRect(QRect(r.left(), r.top(), r.width(), width), color);
    painter.fillRect(QRect(r.left(), r.bottom() - width + 1, r.width(), width), color);
    painter.fillRect(QRect(r.left(), r.top(), width, r.height()), color);
    painter.fillRect(QRect(r.right() - width + 1, r.top(), width, r.height()), color);
}

} // namespace Appearance
