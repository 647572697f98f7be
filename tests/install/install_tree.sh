#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks the tree: every file the game and a
# desktop need, the icons at their sizes, the version, and the installed game playing from a
# folder without DATA, its own data folder read-only and without palet.dat: the data folder is
# left alone and the table built into the cache is the build's own.
#   tests/install/install_tree.sh BUILD_DIR VERSION APP_ID
set -euo pipefail
build=$1 version=$2 app_id=$3
work=$(mktemp -d "${TMPDIR:-/tmp}/kelmorav-install.XXXXXX")
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" > "$work/install.log"

failures=0
fail() {
  echo "install tree: $*" >&2
  failures=$((failures + 1))
}

must_have=(
  bin/kelmorav
  share/applications/kelmorav.desktop
  "share/metainfo/$app_id.metainfo.xml"
  share/man/man6/kelmorav.6
  share/doc/kelmorav/README.md
  share/doc/kelmorav/LICENSE
  share/doc/kelmorav/copyright
  share/doc/kelmorav/kelmorav-match.png
  share/icons/hicolor/scalable/apps/kelmorav.svg
)
for size in 32 48 64 128 256; do
  must_have+=("share/icons/hicolor/${size}x${size}/apps/kelmorav.png")
done
for file in "${must_have[@]}"; do
  [ -s "$prefix/$file" ] || fail "missing or empty: $file"
done
[ -x "$prefix/bin/kelmorav" ] || fail "bin/kelmorav is not executable"

# Every file of the build's DATA, and nothing else, under share/kelmorav/DATA.
if ! diff <(cd "$build/DATA" && find . -type f ! -name .stamp | sort) \
          <(cd "$prefix/share/kelmorav/DATA" && find . -type f | sort) >&2; then
  fail "share/kelmorav/DATA differs from the build's DATA (above)"
fi
# Nothing outside bin and share.
stray=$(cd "$prefix" && find . -mindepth 1 -maxdepth 1 ! -name bin ! -name share)
[ -z "$stray" ] || fail "installed outside bin and share: $stray"

# Each icon is a PNG of its size (width and height from the IHDR chunk).
for size in 32 48 64 128 256; do
  icon="$prefix/share/icons/hicolor/${size}x${size}/apps/kelmorav.png"
  [ -f "$icon" ] || continue
  read -r w h < <(od -An -tu1 -j16 -N8 "$icon" |
    awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
  [ "$w" = "$size" ] && [ "$h" = "$size" ] || fail "$icon is ${w}x${h}"
done

grep -qx "Icon=kelmorav" "$prefix/share/applications/kelmorav.desktop" ||
  fail "the desktop entry does not name the icon"
grep -q "<launchable type=\"desktop-id\">kelmorav.desktop</launchable>" \
  "$prefix/share/metainfo/$app_id.metainfo.xml" || fail "the metadata does not launch the entry"
grep -q "kelmorav $version" "$prefix/share/man/man6/kelmorav.6" ||
  fail "the manual page does not carry version $version"

got=$("$prefix/bin/kelmorav" --version) || fail "--version failed"
[ "$got" = "kelmorav $version" ] || fail "--version printed '$got', not 'kelmorav $version'"

# The installed game, started from a folder without DATA: title, a match, out.
rm "$prefix/share/kelmorav/DATA/TXT/palet.dat"
chmod -R a-w "$prefix/share/kelmorav"
mkdir "$work/elsewhere" "$work/cache"
cat > "$work/run.txt" <<'SCRIPT'
wait 500
click 300 300
wait 1000
click 250 380
until SCENE_MATCH 20000
wait 3000
key ESC down
SCRIPT
status=0
(cd "$work/elsewhere" && env -u KELMORAV_DATA XDG_CACHE_HOME="$work/cache" \
  "$prefix/bin/kelmorav" --headless --seed 5 --script "$work/run.txt" \
  --trace "$work/trace.jsonl") 2> "$work/stderr.txt" || status=$?
[ "$status" = 0 ] || fail "the installed game ended with status $status: $(cat "$work/stderr.txt")"
grep -q '"name":"SCENE_MATCH"' "$work/trace.jsonl" || fail "the installed game reached no match"
grep -q '"exit":0' "$work/trace.jsonl" || fail "the trace has no exit 0"
[ ! -e "$prefix/share/kelmorav/DATA/TXT/palet.dat" ] ||
  fail "the installed game wrote into its data folder"
tables=("$work"/cache/kelmorav/palet-*.dat)
if [ "${#tables[@]}" != 1 ] || [ ! -f "${tables[0]}" ]; then
  fail "not one blend table in the cache: ${tables[*]}"
elif ! cmp -s "${tables[0]}" "$build/DATA/TXT/palet.dat"; then
  fail "the cached blend table differs from the build's palet.dat"
fi

if [ "$failures" -ne 0 ]; then
  echo "install tree: $failures failures" >&2
  exit 1
fi
echo "install tree: ${#must_have[@]} files, DATA complete, version $version, the installed game plays"
