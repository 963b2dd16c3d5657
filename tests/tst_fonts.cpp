// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/contentfile.h"
#include "game/form2.h"
#include "game/form3.h"
#include "game/form5.h"
#include "game/ladder.h"
#include "lifelines/form4.h"
#include "title/form1.h"
#include "ui/appearance.h"
#include "ui/controls.h"
#include "ui/fontsetup.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QTest>

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <memory>

// The fonts the game draws with: its own small font configuration, faces
// that hold every character a content file can carry, so that captions
// never need another face, and sizes at which every fixed caption shows
// whole in its box.
class TestFonts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Appearance::setUpApplication(); }

    void onlyTheGamesFamiliesAreListed();
    void missingFacesLeaveTheConfigurationAlone();
    void theGamesConfigurationIsMadeOnce();
    void everyCaptionFaceHoldsAllOfWindows1251();
    void fixedCaptionsFitTheirBoxes_data();
    void fixedCaptionsFitTheirBoxes();

private:
    std::unique_ptr<Form1> m_titleScreen;
    std::unique_ptr<Form2> m_gameScreen;
    std::unique_ptr<Form3> m_verdict;
    std::unique_ptr<Form4> m_call;
    std::unique_ptr<Form5> m_victory;
};

void TestFonts::onlyTheGamesFamiliesAreListed()
{
    const QStringList families = QFontDatabase::families();
    for (const QString &family : FontSetup::requiredFamilies())
        QVERIFY2(families.contains(family), qPrintable(family));
    // A font file may name a narrower family of its own as well (DejaVu Sans
    // Condensed); Qt lists the generic names too.
    const QStringList accepted = FontSetup::acceptedFamilies() + QStringList{"Sans Serif", "Serif", "Monospace"};
    for (const QString &family : families)
        QVERIFY2(std::any_of(accepted.begin(), accepted.end(), [&](const QString &a) { return family.startsWith(a); }),
                 qPrintable(family + " is listed"));
    // Installed beside DejaVu Sans by the same package, but not the game's.
    QVERIFY(!families.contains(QStringLiteral("DejaVu Serif")));
    // The default face of Qt's own dialogs.
    QCOMPARE(QFontInfo(QApplication::font()).family(), QStringLiteral("DejaVu Sans"));
}

void TestFonts::missingFacesLeaveTheConfigurationAlone()
{
    FcConfig *before = FcConfigGetCurrent();
    QVERIFY(!FontSetup::useGameFonts({QStringLiteral("/nonexistent/fonts")}));
    QCOMPARE(FcConfigGetCurrent(), before);

    // Folder names reach the configuration as XML text.
    const QByteArray text = FontSetup::configuration({QStringLiteral("/fonts/a&b<c")});
    QVERIFY(text.contains("<dir>/fonts/a&amp;b&lt;c</dir>"));
}

void TestFonts::theGamesConfigurationIsMadeOnce()
{
    // The program starts it on a thread of its own and sets up the fonts
    // again afterwards; Qt has read the font list by then.
    FcConfig *current = FcConfigGetCurrent();
    QVERIFY(FontSetup::useGameFonts());
    QCOMPARE(FcConfigGetCurrent(), current);
}

void TestFonts::everyCaptionFaceHoldsAllOfWindows1251()
{
    // Every printable character of the code page, decoded as the game
    // decodes its content files.
    QByteArray bytes;
    for (int b = 0x20; b <= 0xFF; ++b)
        if (b != 0x7F && b != 0x98)
            bytes.append(char(b));
    const QString characters = ContentFile::splitLines(bytes).join(QString());
    QCOMPARE(characters.size(), 222);

    auto titleScreen = std::make_unique<Form1>();
    auto gameScreen = std::make_unique<Form2>();
    auto verdict = std::make_unique<Form3>(*gameScreen);
    auto call = std::make_unique<Form4>(*gameScreen);
    auto victory = std::make_unique<Form5>();
    int checked = 0;
    for (QWidget *window : std::initializer_list<QWidget *>{titleScreen.get(), gameScreen.get(), verdict.get(), call.get(), victory.get()}) {
        QList<QWidget *> controls;
        for (CaptionLabel *label : window->findChildren<CaptionLabel *>())
            controls << label;
        for (CaptionButton *button : window->findChildren<CaptionButton *>())
            controls << button;
        for (QWidget *control : controls) {
            QFont font = control->font();
            font.setStyleStrategy(QFont::StyleStrategy(font.styleStrategy() | QFont::NoFontMerging));
            const QFontMetrics metrics(font);
            for (QChar c : characters)
                QVERIFY2(metrics.inFont(c), qPrintable(QStringLiteral("%1 in %2 lacks U+%3")
                                                           .arg(control->objectName(), QFontInfo(font).family())
                                                           .arg(uint(c.unicode()), 4, 16, QLatin1Char('0'))));
            ++checked;
        }
    }
    QVERIFY(checked > 40);
}

void TestFonts::fixedCaptionsFitTheirBoxes_data()
{
    m_titleScreen = std::make_unique<Form1>();
    m_gameScreen = std::make_unique<Form2>();
    m_verdict = std::make_unique<Form3>(*m_gameScreen);
    m_call = std::make_unique<Form4>(*m_gameScreen);
    m_victory = std::make_unique<Form5>();

    QTest::addColumn<QWidget *>("control");
    QTest::addColumn<QString>("caption");
    const auto add = [](const char *name, QWidget *control, const QString &caption = QString()) {
        QString text = caption;
        if (text.isEmpty())
            text = qobject_cast<CaptionLabel *>(control) ? static_cast<CaptionLabel *>(control)->caption()
                                                         : static_cast<CaptionButton *>(control)->caption();
        QTest::newRow(qPrintable(QStringLiteral("%1 «%2»").arg(QLatin1String(name), text))) << control << text;
    };
    const Form1 &title = *m_titleScreen;
    for (CaptionLabel *label : {title.Label1, title.Label2, title.Label3, title.Label4, title.Label5, title.Label6, title.Label7})
        add("title", label);
    add("title", title.Command1);
    add("title", title.CommandButton1);
    const Form2 &game = *m_gameScreen;
    add("game", game.Label2);
    add("game", game.Label1);
    // The question number of every level: its descenders hang lowest.
    for (int level = 1; level <= Ladder::Levels; ++level)
        add("game", game.Label1, QString::number(level) + QStringLiteral(" вопрос"));
    for (int level = 1; level <= Ladder::Levels; ++level)
        add("ladder", game.Label4[level]);
    add("game", game.lblclose);
    add("game", game.lblminimize);
    add("verdict", m_verdict->Label1);
    add("call", m_call->Command1);
    add("victory", m_victory->Label1);
    add("victory shadow", m_victory->Label2);
    add("victory", m_victory->CommandButton1);
}

namespace {

// The rows and columns of device pixels, relative to the box, that the
// glyphs of `caption` cover when drawn from the top of a box of `size`,
// on a canvas that leaves room all round for ink beyond the box.
QRect inkOf(const QFont &font, const QSize &size, int flags, const QString &caption, qreal ratio)
{
    // Even, so that the box starts on a whole device pixel at 150 % too.
    const QPoint offset(size.width() + size.width() % 2, size.height() + size.height() % 2);
    QImage canvas(QSize(size.width() * 3 + 2, size.height() * 3 + 2) * ratio, QImage::Format_ARGB32_Premultiplied);
    canvas.setDevicePixelRatio(ratio);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRect(offset, size), flags | Qt::AlignTop, caption);
    painter.end();
    QRect ink;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            if (qAlpha(canvas.pixel(x, y)) != 0)
                ink |= QRect(x, y, 1, 1);
    return ink.translated(-offset * ratio);
}

} // namespace

void TestFonts::fixedCaptionsFitTheirBoxes()
{
    // A stand-in face may have taller lines or wider letters than the face a
    // box was made for; what does not fit is cut off at the box's edge. The
    // whole line counts, ascent and descent, on every line of a wrapped
    // caption, except on the labels that shrink to fit: they keep their
    // designed size as long as the glyphs themselves stay inside the box,
    // and shrink no further than they need.
    QFETCH(QWidget *, control);
    QFETCH(QString, caption);
    QFont font;
    QRectF area;
    int flags = 0;
    auto *label = qobject_cast<CaptionLabel *>(control);
    if (label) {
        label->setCaption(caption);
        font = label->captionFont();
        area = label->textRect();
        flags = int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
    } else {
        auto *button = static_cast<CaptionButton *>(control);
        QCOMPARE(button->caption(), caption);
        font = button->font();
        area = button->rect().adjusted(2, 2, -2, -2); // inside the bevel
        flags = Qt::AlignHCenter | (button->wordWrap() ? Qt::TextWordWrap : 0);
    }
    const double designed = control->font().pointSizeF();
    if (label && label->shrinksToFit()) {
        const qreal ratio = label->devicePixelRatioF();
        // A device pixel lies in the box when its centre does (at 150 % the
        // box ends in the middle of a pixel).
        const QSizeF box = area.size() * ratio;
        const auto inside = [&](const QRect &ink) {
            return ink.top() + 0.5 > 0 && ink.left() + 0.5 > 0 && ink.bottom() + 0.5 < box.height() && ink.right() + 0.5 < box.width();
        };
        const QRect ink = inkOf(font, area.size().toSize(), flags, caption, ratio);
        QVERIFY2(inside(ink), qPrintable(QStringLiteral("%1 pt %2: ink rows %3..%4, columns %5..%6 in a box of %7 x %8")
                                                   .arg(font.pointSizeF()).arg(QFontInfo(font).family())
                                                   .arg(ink.top()).arg(ink.bottom()).arg(ink.left()).arg(ink.right())
                                                   .arg(box.width()).arg(box.height())));
        if (font.pointSizeF() < designed) {
            QFont larger = font;
            larger.setPointSizeF(font.pointSizeF() + 0.25);
            QVERIFY2(!inside(inkOf(larger, area.size().toSize(), flags, caption, ratio)),
                     qPrintable(QStringLiteral("shrank to %1 pt, but %2 pt fits").arg(font.pointSizeF()).arg(larger.pointSizeF())));
        }
    } else {
        const QFontMetricsF metrics(font);
        const QRectF needed = metrics.boundingRect(area, flags | Qt::AlignTop, caption);
        QVERIFY2(needed.height() <= area.height() && needed.width() <= area.width(),
                 qPrintable(QStringLiteral("%1 pt %2 needs %3 x %4, has %5 x %6")
                                .arg(font.pointSizeF())
                                .arg(QFontInfo(font).family())
                                .arg(needed.width())
                                .arg(needed.height())
                                .arg(area.width())
                                .arg(area.height())));
    }
    // Shrinking is for stand-ins whose lines are taller: a fifth at most.
    QVERIFY(font.pointSizeF() >= 0.8 * designed);
}

QTEST_MAIN(TestFonts)
#include "tst_fonts.moc"
