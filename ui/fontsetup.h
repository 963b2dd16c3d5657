// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef FONTSETUP_H
#define FONTSETUP_H

#include <QStringList>

// The font configuration the game draws with.
//
// A desktop's fontconfig setup parses some sixty rule files, runs every font
// request through all their rules and sorts every installed font to find
// fallbacks: more than half of the work the game did up to its first
// screens, spent on fonts it never shows, and growing with every font
// installed. The game draws only in the faces of a few font packages (see
// Appearance::setUpFonts), and its texts are Windows-1251, which those faces
// cover completely. So it gives fontconfig a small configuration of its
// own: those folders and families, the rendering defaults Debian ships, and
// the administrator's and the user's own rule files, which may change
// rendering as they do for every program.
namespace FontSetup {

// The font folders of the game's configuration: the faces it depends on,
// and Microsoft's originals where they are installed, which Qt then prefers
// to the stand-ins.
QStringList gameFontFolders();

// The families that must all be found for the game's configuration to be
// used.
QStringList requiredFamilies();

// Makes the game's configuration fontconfig's current one, provided that
// every required family is found in `folders`; returns whether it did.
// Otherwise fontconfig is left alone and loads the desktop's configuration
// when Qt first needs a font, so the game still runs where the faces sit
// elsewhere. Must run before the first text is measured or drawn: Qt reads
// the font list once.
bool useGameFonts(const QStringList &folders);

// The same for the game's own folders, done once per program: later calls
// return the first call's result, waiting for it while another thread is
// still at it. Fontconfig needs no display, so the program starts this on a
// thread of its own while Qt connects to the window system.
bool useGameFonts();

// The families the game's configuration lists; fonts of other families in
// the folders are left out.
QStringList acceptedFamilies();

// The configuration text for `folders`, as fontconfig reads it.
QByteArray configuration(const QStringList &folders);

} // namespace FontSetup

#endif
