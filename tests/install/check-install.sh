#!/usr/bin/env bash
# Installs the build into a temporary folder, as `make install DESTDIR=...`
# does (the programs stripped), and checks the installed tree as a packager would: every file in its
# place, the programs run from there (started from the menu, the program
# makes the user's data folder), the program looks for its help where it
# was installed, and the desktop entry, the metainfo and the manual pages
# pass their own validators; the programs are stripped, the manual pages and
# the changelog compressed as Debian wants them.
#   check-install.sh BUILD_FOLDER VERSION
set -u
build=$1
version=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
status=0
fail() { echo "FAIL: $*"; status=1; }

DESTDIR="$tmp/root" cmake --install "$build" --prefix /usr --strip >"$tmp/install.log" 2>&1 ||
  { cat "$tmp/install.log"; echo "FAIL: cmake --install"; exit 1; }
usr="$tmp/root/usr"

for f in bin/cvd bin/cvdtool share/calvedon/cvd.hlp share/calvedon/desk-role.sql share/applications/calvedon.desktop \
         share/icons/hicolor/scalable/apps/calvedon.svg share/metainfo/org.calvedon.Calvedon.metainfo.xml \
         share/man/man1/cvd.1.gz share/man/man1/cvdtool.1.gz share/doc/calvedon/copyright \
         share/doc/calvedon/changelog.gz; do
  [ -s "$usr/$f" ] || fail "missing $f"
done
for size in 16 22 24 32 48 64 128 256; do
  [ -s "$usr/share/icons/hicolor/${size}x${size}/apps/calvedon.png" ] || fail "missing the ${size}x${size} icon"
done
# Nothing but the program's own files: no tests, benchmarks or libraries.
extra=$(cd "$usr" && find . -type f | grep -v -E '^\./(bin/(cvd|cvdtool)|share/(calvedon|applications|icons|metainfo|man|doc/calvedon)/)')
[ -z "$extra" ] || fail "installed files that are not the program's: $extra"

# Stripped programs; manual pages and changelog compressed with gzip -9n (no
# name, no time stamp); the changelog's newest entry is this version.
if command -v readelf >/dev/null; then
  for p in cvd cvdtool; do
    readelf -S "$usr/bin/$p" | grep -q -E '\.symtab|\.debug_' && fail "bin/$p is not stripped"
  done
else
  fail "readelf is not installed (Debian's binutils)"
fi
for f in man/man1/cvd.1.gz man/man1/cvdtool.1.gz doc/calvedon/changelog.gz; do
  gzip -t "$usr/share/$f" 2>/dev/null || fail "$f is not compressed with gzip"
  # Byte 3 holds the flags (FNAME), bytes 4 to 7 the time stamp.
  [ "$(od -An -tx1 -j3 -N5 "$usr/share/$f" | tr -d ' ')" = 0000000000 ] || fail "$f has a name or a time stamp (gzip -n)"
done
zcat "$usr/share/doc/calvedon/changelog.gz" | head -1 | grep -q "^calvedon ($version) " ||
  fail "the changelog's newest entry is not calvedon ($version)"
grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' "$usr/share/doc/calvedon/copyright" ||
  fail "the copyright file is not in Debian's machine-readable format"

[ "$("$usr/bin/cvdtool" --version)" = "cvdtool $version" ] || fail "cvdtool --version: $("$usr/bin/cvdtool" --version 2>&1)"
"$usr/bin/cvdtool" --help | grep -q 'cvdtool create DATABASE' || fail "cvdtool --help"
"$usr/bin/cvdtool" create "$tmp/data" >/dev/null || fail "cvdtool create"

# The program starts on the folder and runs until it is stopped.
QT_QPA_PLATFORM=offscreen timeout 5 "$usr/bin/cvd" -d "$tmp/data" >"$tmp/cvd.log" 2>&1
rc=$?
[ $rc = 124 ] || fail "cvd ended by itself (status $rc): $(cat "$tmp/cvd.log")"

# Started from the menu on a new home: ~/Calvedon is made and the program
# waits for the answer to its offer of a new data file, having made no file
# yet.  With -d as well, the folder of -d is used instead.
mkdir -p "$tmp/home" "$tmp/home2" "$tmp/cwd"
(cd "$tmp/cwd" && HOME="$tmp/home" QT_QPA_PLATFORM=offscreen timeout 5 "$usr/bin/cvd" --menu >"$tmp/menu.log" 2>&1)
rc=$?
[ $rc = 124 ] || fail "cvd --menu ended by itself (status $rc): $(cat "$tmp/menu.log")"
[ -d "$tmp/home/Calvedon" ] || fail "cvd --menu did not make ~/Calvedon"
[ -z "$(ls -A "$tmp/home/Calvedon" 2>/dev/null)" ] || fail "cvd --menu made files before the answer: $(ls -A "$tmp/home/Calvedon")"
(cd "$tmp/cwd" && HOME="$tmp/home2" QT_QPA_PLATFORM=offscreen timeout 5 "$usr/bin/cvd" -d "$tmp/menu-data" --menu >"$tmp/menu.log" 2>&1)
[ -d "$tmp/menu-data" ] && [ ! -e "$tmp/home2/Calvedon" ] || fail "cvd -d FOLDER --menu did not start on FOLDER"

# The program looks for its help where the install put it: the path it
# holds, from its own folder, leads to the installed cvd.hlp.
if command -v strings >/dev/null; then
  help=$(strings -el "$usr/bin/cvd" | grep -m1 '/cvd\.hlp$')
  [ -n "$help" ] && [ -s "$usr/bin/$help" ] || fail "cvd looks for its installed help at bin/$help"
else
  fail "strings is not installed (Debian's binutils)"
fi

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$usr/share/applications/calvedon.desktop" || fail "desktop-file-validate"
else
  fail "desktop-file-validate is not installed (Debian's desktop-file-utils)"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$usr/share/metainfo/org.calvedon.Calvedon.metainfo.xml" >"$tmp/as.log" 2>&1 ||
    { cat "$tmp/as.log"; fail "appstreamcli validate"; }
  grep -q "version=\"$version\"" "$usr/share/metainfo/org.calvedon.Calvedon.metainfo.xml" || fail "metainfo release"
else
  fail "appstreamcli is not installed (Debian's appstream)"
fi
if command -v man >/dev/null; then
  for page in cvd cvdtool; do
    out=$(MANWIDTH=80 man --warnings -P cat -l "$usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
    [ -z "$out" ] || fail "man $page: $out"
    MANWIDTH=80 man -P cat -l "$usr/share/man/man1/$page.1.gz" 2>/dev/null | grep -q "$page" || fail "man $page renders nothing"
  done
else
  fail "man is not installed (Debian's man-db)"
fi

[ $status = 0 ] && echo "installed tree ok"
exit $status
