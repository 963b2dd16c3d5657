// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/contentfile.h"
#include "game/form2.h"
#include "game/form3.h"
#include "game/form5.h"
#include "lifelines/form4.h"
#include "title/form1.h"
#include "ui/appearance.h"
#include "ui/controls.h"
#include "ui/fontsetup.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QTest>

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <memory>

// The fonts the game draws with: its own small font configuration, and
// faces that hold every character a content file can carry, so that
// captions never need another face.
class TestFonts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Appearance::setUpApplication(); }

    void onlyTheGamesFamiliesAreListed();
    void missingFacesLeaveTheConfigurationAlone();
    void theGamesConfigurationIsMadeOnce();
    void everyCaptionFaceHoldsAllOfWindows1251();
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
                                                           .arg(c.unicode(), 4, 16, QLatin1Char('0'))));
            ++checked;
        }
    }
    QVERIFY(checked > 40);
}

QTEST_MAIN(TestFonts)
#include "tst_fonts.moc"
