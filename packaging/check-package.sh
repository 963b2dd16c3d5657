#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package in a build folder and checks it the way a
# distribution would: every file where it belongs and nothing else, links
# that resolve inside the package, the content byte for byte, the declared
# dependencies, one version throughout, lintian, the desktop entry and the
# AppStream metadata; and that the installed layout works: the strict
# content check, run from the unpacked package, finds all content through
# the path the game itself takes, without an error or a warning.
set -euo pipefail
source=$(cd "$(dirname "$0")/.." && pwd)
build=$1
cd "$build"
rm -f kvizora_*.deb
cpack -G DEB >/dev/null
deb=$(ls kvizora_*.deb)
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"

fail=0
problem() {
    echo "$deb: $*"
    fail=1
}

# Every file and link the package holds, and no other: a file left out of
# the install rules, or one that strays in (a test program, a library),
# shows up here.
expected=$(
    {
        printf './%s\n' \
            usr/games/kvizora usr/games/kvizora-check \
            usr/lib/games/kvizora/kvizora usr/lib/games/kvizora/data \
            usr/share/applications/example.shishka.kvizora.desktop \
            usr/share/metainfo/example.shishka.kvizora.metainfo.xml \
            usr/share/man/man6/kvizora.6.gz usr/share/man/man6/kvizora-check.6.gz \
            usr/share/man/ru/man6/kvizora.6.gz usr/share/man/ru/man6/kvizora-check.6.gz \
            usr/share/doc/kvizora/copyright usr/share/doc/kvizora/changelog.gz \
            usr/share/lintian/overrides/kvizora
        for n in 16 24 32 48 64 128 256; do echo "./usr/share/icons/hicolor/${n}x${n}/apps/kvizora.png"; done
        (cd "$source/data" && find . -type f -printf './usr/share/games/kvizora/data/%P\n')
    } | sort
)
held=$(cd "$root" && find . ! -type d | sort)
while read -r line; do
    case $line in
    "< "*) problem "missing: ${line#< }" ;;
    "> "*) problem "not expected: ${line#> }" ;;
    esac
done < <(diff <(echo "$expected") <(echo "$held") || true)

# Links are relative and end inside the package, where the game needs them.
link() {
    local path=$1 target=$2
    if [ "$(readlink "$root/$path")" != "$target" ]; then
        problem "$path should link to $target, not $(readlink "$root/$path" || echo nothing)"
    fi
}
link usr/games/kvizora ../lib/games/kvizora/kvizora
link usr/lib/games/kvizora/data ../../../share/games/kvizora/data
while read -r path; do
    resolved=$(readlink -f "$root/$path" || true)
    if [[ $resolved != "$root"/* || ! -e $resolved ]]; then
        problem "the link $path leads out of the package or nowhere"
    fi
done < <(cd "$root" && find . -type l)

# The content files and the icons travel byte for byte.
if ! diff -r "$source/data" "$root/usr/share/games/kvizora/data" >/dev/null; then
    problem "the content files changed on their way into the package"
fi
for n in 16 24 32 48 64 128 256; do
    if ! cmp -s "$source/ui/art/hicolor/kvizora-$n.png" "$root/usr/share/icons/hicolor/${n}x${n}/apps/kvizora.png"; then
        problem "the ${n} px icon is not ui/art/hicolor/kvizora-$n.png"
    fi
done

depends=$(dpkg-deb -f "$deb" Depends)
# Debian 13 names Qt's core library libqt6core6t64 (the 64-bit time_t
# transition); either name will do.
for dep in libqt6widgets6 libqt6gui6 'libqt6core6(t64)?' libfontconfig1 qt6-qpa-plugins qt6-translations-l10n \
    fonts-dejavu-core fonts-dejavu-extra fonts-liberation2 fonts-paratype fonts-sil-andika; do
    if ! grep -Eq "(^|[ ,])$dep( |,|$)" <<<"$depends"; then
        problem "does not depend on $dep (Depends: $depends)"
    fi
done

# Lintian only mentions a binary bound lazily; a distribution expects it
# bound at start-up, its relocations then read-only.
for program in usr/lib/games/kvizora/kvizora usr/games/kvizora-check; do
    if ! readelf -d "$root/$program" | grep -q 'FLAGS.*\bNOW\b' || ! readelf -lW "$root/$program" | grep -q GNU_RELRO; then
        problem "$program is not built with -z relro -z now"
    fi
done

# The changelog, the software centre's latest release and the manual pages
# name the version the package carries.
version=$(dpkg-deb -f "$deb" Version)
if [ "$(zcat "$root/usr/share/doc/kvizora/changelog.gz" | dpkg-parsechangelog -l - -S Version)" != "$version" ]; then
    problem "the changelog's latest entry is not version $version"
fi
if ! grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/example.shishka.kvizora.metainfo.xml"; then
    problem "the AppStream metadata has no release $version"
fi
for page in "$root"/usr/share/man/man6/*.gz "$root"/usr/share/man/ru/man6/*.gz; do
    if ! zcat "$page" | grep -q "^\.TH .* $version\""; then
        problem "${page#"$root"/} does not name version $version"
    fi
done

# No lintian error or warning, and no override left over from a fixed one.
lintian_report=$(lintian --fail-on none "$deb")
if grep -E '^(E|W): |unused-override|mismatched-override' <<<"$lintian_report"; then
    problem "lintian reports the lines above"
fi

if ! desktop-file-validate "$root/usr/share/applications/example.shishka.kvizora.desktop"; then
    problem "the desktop entry does not validate"
fi
# Validates the metadata and finds the desktop entry it launches.
if ! appstream_report=$(appstreamcli validate-tree --pedantic --no-net "$root/usr" 2>&1); then
    echo "$appstream_report"
    problem "the AppStream metadata does not validate"
fi

# Started through the PATH, the game's program folder is where its link
# leads; the check unpacked with it must find all content in data/ there,
# and the shipped bank keeps even the rules of style.
program_folder=$(dirname "$(readlink -f "$root/usr/games/kvizora")")
if [ "$program_folder" != "$root/usr/lib/games/kvizora" ]; then
    problem "usr/games/kvizora leads to $program_folder"
fi
if ! report=$(timeout 60 "$root/usr/games/kvizora-check" --strict "$program_folder/data" 2>&1); then
    echo "$report"
    problem "the unpacked kvizora-check does not pass the unpacked content"
fi

[ $fail -eq 0 ] && echo "$deb: layout, content, dependencies, version and metadata as expected"
exit $fail
