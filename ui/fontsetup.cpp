// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/fontsetup.h"

#include <QSet>

#include <fontconfig/fontconfig.h>

#include <mutex>

namespace FontSetup {

QStringList gameFontFolders()
{
    // Where Debian's packages put the faces (fonts-dejavu-core,
    // fonts-liberation2, fonts-paratype, fonts-sil-andika) and where
    // ttf-mscorefonts-installer puts Verdana, Arial, Comic Sans MS, Impact.
    // Debian 13's fonts-liberation2 only brings in fonts-liberation, which
    // holds the same Liberation 2 faces in a folder of its own name.
    return {
        QStringLiteral("/usr/share/fonts/truetype/dejavu"),
        QStringLiteral("/usr/share/fonts/truetype/liberation2"),
        QStringLiteral("/usr/share/fonts/truetype/liberation"),
        QStringLiteral("/usr/share/fonts/truetype/paratype"),
        QStringLiteral("/usr/share/fonts/truetype/andika"),
        QStringLiteral("/usr/share/fonts/truetype/msttcorefonts"),
    };
}

QStringList requiredFamilies()
{
    return {
        QStringLiteral("DejaVu Sans"),
        QStringLiteral("Liberation Sans"),
        QStringLiteral("PT Sans"),
        QStringLiteral("PT Sans Narrow"),
        QStringLiteral("Andika"),
    };
}

QStringList acceptedFamilies()
{
    // The stand-ins, the faces the generic names below resolve to, and
    // Microsoft's originals.
    return requiredFamilies()
           + QStringList{QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Verdana"),
                         QStringLiteral("Arial"), QStringLiteral("Comic Sans MS"), QStringLiteral("Impact"),
                         QStringLiteral("Times New Roman")};
}

QByteArray configuration(const QStringList &folders)
{
    QByteArray text = "<?xml version=\"1.0\"?>\n<fontconfig>\n";
    for (const QString &folder : folders)
        text += "  <dir>" + folder.toHtmlEscaped().toUtf8() + "</dir>\n";
    // Only the families the game can ask for: every font more is one more
    // entry to list, match and sort on each request.
    text += "  <selectfont>\n    <rejectfont><pattern/></rejectfont>\n    <acceptfont>\n";
    for (const QString &family : acceptedFamilies())
        text += "      <pattern><patelt name=\"family\"><string>" + family.toHtmlEscaped().toUtf8() + "</string></patelt></pattern>\n";
    text += "    </acceptfont>\n  </selectfont>\n";
    text +=
        // The caches the font packages build when they are installed, so
        // that no font file is opened just to learn what it holds.
        "  <cachedir>/var/cache/fontconfig</cachedir>\n"
        // Debian's rendering defaults: antialiased, slight hinting, the
        // default LCD filter. Appended, so that the rules below win.
        "  <match target=\"pattern\">\n"
        "    <edit name=\"antialias\" mode=\"append\"><bool>true</bool></edit>\n"
        "    <edit name=\"hintstyle\" mode=\"append\"><const>hintslight</const></edit>\n"
        "    <edit name=\"lcdfilter\" mode=\"append\"><const>lcddefault</const></edit>\n"
        "  </match>\n"
        // The administrator's and the user's own rules.
        "  <include ignore_missing=\"yes\">/etc/fonts/local.conf</include>\n"
        "  <include ignore_missing=\"yes\" prefix=\"xdg\">fontconfig/conf.d</include>\n"
        "  <include ignore_missing=\"yes\" prefix=\"xdg\">fontconfig/fonts.conf</include>\n"
        // The generic names Qt asks for when a window names no face: sans
        // and monospace as Debian resolves them, serif to the stand-in for
        // Times New Roman.
        "  <alias binding=\"same\"><family>Sans Serif</family><prefer><family>DejaVu Sans</family></prefer></alias>\n"
        "  <alias binding=\"same\"><family>sans-serif</family><prefer><family>DejaVu Sans</family></prefer></alias>\n"
        "  <alias binding=\"same\"><family>serif</family><prefer><family>Liberation Serif</family></prefer></alias>\n"
        "  <alias binding=\"same\"><family>monospace</family><prefer><family>DejaVu Sans Mono</family></prefer></alias>\n"
        "</fontconfig>\n";
    return text;
}

namespace {

QSet<QString> familiesIn(FcConfig *config)
{
    QSet<QString> families;
    FcFontSet *fonts = FcConfigGetFonts(config, FcSetSystem);
    for (int i = 0; fonts && i < fonts->nfont; ++i) {
        FcChar8 *family = nullptr;
        for (int n = 0; FcPatternGetString(fonts->fonts[i], FC_FAMILY, n, &family) == FcResultMatch; ++n)
            families.insert(QString::fromUtf8(reinterpret_cast<const char *>(family)));
    }
    return families;
}

} // namespace

bool useGameFonts(const QStringList &folders)
{
    FcConfig *config = FcConfigCreate();
    if (!config)
        return false;
    const QByteArray text = configuration(folders);
    bool usable = FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8 *>(text.constData()), FcFalse)
                  && FcConfigBuildFonts(config);
    if (usable) {
        const QSet<QString> found = familiesIn(config);
        for (const QString &family : requiredFamilies())
            usable = usable && found.contains(family);
    }
    // The configuration lives as long as the program; fontconfig versions
    // differ in whether making it current takes a reference of its own, so
    // the creator's reference is kept rather than dropped.
    if (usable)
        usable = FcConfigSetCurrent(config);
    if (!usable)
        FcConfigDestroy(config);
    return usable;
}

bool useGameFonts()
{
    static std::once_flag once;
    static bool used = false;
    std::call_once(once, [] { used = useGameFonts(gameFontFolders()); });
    return used;
}

} // namespace FontSetup
