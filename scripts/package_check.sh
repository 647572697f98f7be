#!/usr/bin/env bash
# The package step of CI, to run on a machine where installing and removing packages is fine:
# builds the Debian package from a build directory, installs it with apt, runs the INSTALLED
# game headless from a folder without DATA (title, a match, out, with a trace), again with
# palet.dat gone from its data folder (the table is built into the cache and is the same),
# validates the desktop entry, the metadata and the manual page, runs lintian (failing on its
# errors) and removes the package.
#   scripts/package_check.sh [BUILD_DIR]      (default: build; build it first)
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(cd "${1:-$here/build}" && pwd)"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

# The checking tools, from Debian (also listed in scripts/setup.sh).
missing=()
for p in file desktop-file-utils appstream lintian man-db groff-base; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
fi

step() { printf '\n== %s\n' "$*"; }

step "package"
rm -f "$build"/kelmorav_*.deb
(cd "$build" && cpack -G DEB)
debs=("$build"/kelmorav_*_amd64.deb)
deb=${debs[0]}
[ -f "$deb" ] || { echo "no kelmorav_*_amd64.deb in $build" >&2; exit 1; }
version=$(dpkg-deb -f "$deb" Version)
dpkg-deb -f "$deb" Package Version Section Maintainer Depends

work=$(mktemp -d "${TMPDIR:-/tmp}/kelmorav-package.XXXXXX")
chmod 755 "$work"  # apt reads the package as its own unprivileged user
cp "$deb" "$work/"
installed=0
cleanup() {
  if [ "$installed" = 1 ]; then
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get purge -y -qq kelmorav > /dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

step "apt-get install ./$(basename "$deb")"
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "$work/$(basename "$deb")"
installed=1
dpkg -L kelmorav | sort

game=/usr/games/kelmorav
data=/usr/share/kelmorav/DATA
step "$game --version"
got=$("$game" --version)
echo "$got"
[ "$got" = "kelmorav $version" ] || { echo "expected: kelmorav $version" >&2; exit 1; }

# Title, the start item, a match with a piece picked up, Escape; from a folder without DATA.
mkdir "$work/elsewhere" "$work/cache"
cat > "$work/run.txt" <<SCRIPT
wait 500
click 300 300
wait 1000
click 250 380
until SCENE_MATCH 20000
wait 9500
move 320 205
wait 200
click 320 205
wait 500
shot $work/match.png
key ESC down
SCRIPT
play() {  # play TRACE: the installed game headless, its trace into TRACE
  (cd "$work/elsewhere" && env -u KELMORAV_DATA XDG_CACHE_HOME="$work/cache" \
    "$game" --headless --seed 5 --script "$work/run.txt" --trace "$1")
  grep -E '"name"|"exit"' "$1"
  grep -q '"name":"SCENE_MATCH"' "$1" || { echo "no match in $1" >&2; exit 1; }
  grep -q '"exit":0' "$1" || { echo "no exit 0 in $1" >&2; exit 1; }
}
step "the installed game, headless, from $work/elsewhere"
play "$work/trace.jsonl"
[ -s "$work/match.png" ] || { echo "no screenshot" >&2; exit 1; }

step "the installed game with palet.dat gone from $data/TXT"
cp "$data/TXT/palet.dat" "$work/palet.dat"
"${sudo_cmd[@]}" rm "$data/TXT/palet.dat"
play "$work/trace-cache.jsonl"
ls -l "$work"/cache/kelmorav
[ ! -e "$data/TXT/palet.dat" ] || { echo "the game wrote into $data" >&2; exit 1; }
cmp "$work"/cache/kelmorav/palet-*.dat "$work/palet.dat"
echo "the cached table is the packaged one"
"${sudo_cmd[@]}" cp "$work/palet.dat" "$data/TXT/palet.dat"

step "desktop-file-validate"
desktop-file-validate /usr/share/applications/kelmorav.desktop
echo "no findings"

step "appstreamcli validate --no-net"
metainfo=$(dpkg -L kelmorav | grep '^/usr/share/metainfo/.*\.metainfo\.xml$')
appstreamcli validate --no-net "$metainfo" | tee "$work/appstream.txt"
if grep -qE '^[EWI]: ' "$work/appstream.txt"; then
  echo "appstreamcli reported findings" >&2
  exit 1
fi

step "man -l and groff -ww"
page=/usr/share/man/man6/kelmorav.6.gz
LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" \
  > /dev/null 2> "$work/man.txt"
zcat "$page" | LC_ALL=C.UTF-8 groff -man -ww -z -Tutf8 2>> "$work/man.txt"
if [ -s "$work/man.txt" ]; then
  cat "$work/man.txt" >&2
  exit 1
fi
echo "no warnings"

step "lintian"
lintian --fail-on error --display-info --pedantic "$deb"
echo "lintian: no errors"

step "apt-get purge kelmorav"
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get purge -y -qq kelmorav
installed=0
if [ -e "$game" ] || [ -e /usr/share/kelmorav ]; then
  echo "the package left files behind" >&2
  exit 1
fi
echo "package check: passed"
