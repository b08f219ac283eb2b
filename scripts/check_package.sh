#!/usr/bin/env bash
# Checks the Debian package as a fresh Debian 12 takes it: builds it (package.sh), unpacks it into
# a temporary root with dpkg -x and runs what it installed from there. The installed programs tell
# the version, ramvel-cli passes the installed sample board, the installed ramvel makes the
# user's folder with the sample board on its first start (writing nothing into the package's
# folders), the desktop entry, icon and man pages are in place, and every dependency names a
# Debian package. Exit 1 on the first failure, saying which.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

fail() { echo "check_package: $*" >&2; exit 1; }

deb="$("$root/scripts/package.sh" | tail -n 1)"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
r="$tmp/root"
dpkg-deb -x "$deb" "$r"
echo "check_package: $(basename "$deb"), $(du -k "$deb" | cut -f1) KiB"

for f in usr/bin/ramvel usr/bin/ramvel-cli; do
  [ -x "$r/$f" ] || fail "$f is not installed"
done
for f in usr/share/ramvel/rw_panel.txt usr/share/ramvel/rw_tbl.txt usr/share/ramvel/help/top.html \
         usr/share/ramvel/Sample/Board.txt usr/share/applications/ramvel.desktop \
         usr/share/icons/hicolor/scalable/apps/ramvel.svg \
         usr/share/icons/hicolor/256x256/apps/ramvel.png \
         usr/share/man/man1/ramvel-cli.1 usr/share/man/man1/ramvel.1; do
  [ -f "$r/$f" ] || fail "$f is not installed"
done

version="$(sed -n 's/^project(Ramvel VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")"
[ "$("$r/usr/bin/ramvel" --version)" = "Ramvel $version" ] || fail "ramvel --version"
[ "$("$r/usr/bin/ramvel-cli" --version)" = "ramvel-cli (Ramvel) $version" ] ||
  fail "ramvel-cli --version"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "the package's version"
"$r/usr/bin/ramvel-cli" check "$r/usr/share/ramvel/Sample" >"$tmp/check.txt" ||
  { cat "$tmp/check.txt" >&2; fail "ramvel-cli check on the installed sample board"; }
grep -q "ramvel-cli check BOARD" "$r/usr/share/man/man1/ramvel-cli.1" ||
  fail "the man page of ramvel-cli lacks the commands"

desktop="$r/usr/share/applications/ramvel.desktop"
grep -qx 'Name=Ramvel' "$desktop" || fail "desktop entry: Name"
grep -q '^Name\[ja\]=' "$desktop" || fail "desktop entry: Name[ja]"
grep -qx 'Categories=Education;Simulation;' "$desktop" || fail "desktop entry: Categories"
grep -qx 'Icon=ramvel' "$desktop" || fail "desktop entry: Icon"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop" >&2 || fail "desktop entry: not valid"
fi
# PNG: the signature, then IHDR with width and height as 4-byte big-endian numbers.
png="$r/usr/share/icons/hicolor/256x256/apps/ramvel.png"
[ "$(od -An -tx1 -j12 -N12 "$png" | tr -d ' \n')" = "494844520000010000000100" ] ||
  fail "the icon's PNG is not 256 x 256"

# Every dependency is a package Debian has (installed here by deps.sh, or known to apt).
dpkg-deb -f "$deb" Depends | tr ',' '\n' | sed 's/|.*//; s/(.*)//; s/[[:space:]]//g' |
  while read -r p; do
    [ -z "$p" ] && continue
    dpkg-query -W "$p" >/dev/null 2>&1 || apt-cache show "$p" >/dev/null 2>&1 ||
      fail "dependency $p is no Debian package"
  done
for p in fonts-ipafont-gothic qt6-translations-l10n qt6-qpa-plugins libqt6widgets6; do
  dpkg-deb -f "$deb" Depends | grep -q "\b$p\b" || fail "the package does not depend on $p"
done

# First start of the installed program: the user's folder gets the sample board, listed as the
# recent board; the package's own folders are left as they were.
before="$(cd "$r" && find . -newer "$deb" | sort)"
HOME="$tmp/home" XDG_DATA_HOME="" QT_QPA_PLATFORM=offscreen timeout 5 "$r/usr/bin/ramvel" \
  >/dev/null 2>&1 || true
user="$tmp/home/.local/share/Ramvel"
[ -f "$user/Sample/Board.txt" ] || fail "first start: the sample board was not copied to $user"
diff -r "$r/usr/share/ramvel/Sample" "$user/Sample" >/dev/null ||
  fail "first start: the copied sample board differs"
grep -q '^Sample' "$user/latest.txt" || fail "first start: the sample is not the recent board"
[ "$(cd "$r" && find . -newer "$deb" | sort)" = "$before" ] ||
  fail "first start: the program wrote into its installed folders"
echo "check_package: ok"
