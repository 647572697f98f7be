#!/usr/bin/env bash
# The rooms of the game and the one direction in which they may include each other. Every
# `#include "..."` in src/ and tools/datagen/ that reaches a file of another room is checked
# against the table below; any other edge fails, with the file and the line named.
#   scripts/check_rooms.sh          check (CI runs this)
#   scripts/check_rooms.sh --graph  print the room-to-room edges found, one "from -> to" a line
# The build says the same with its libraries: CMakeLists.txt links each room only to the rooms
# below it. Change both together.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

# From the bottom of the house to the top: each room and the rooms it may include.
# The platform is the only code that sees SDL, in rooms of its own: core (the door platform.h,
# input, clock, trace, files, exit, and the interfaces the rooms above it implement), video,
# audio, session (scripts, recordings, the headless backends), sdl (every SDL include), and the
# assembly, which chooses the backends. state is the loop's shared state that every room of the
# game reads, and the random generator; engine is the computer opponent's engine, which knows
# the rules by itself and includes nothing of the game; shell (main loop, start-up, quit) is on top. datagen is
# tools/datagen, which builds the game's DATA from the media room's tables.
ALLOWED="
platform/core:
platform/video: platform/core
platform/audio: platform/core
platform/session: platform/video platform/core
platform/sdl: platform/audio platform/video platform/core
platform/assembly: platform/sdl platform/session platform/audio platform/video platform/core
engine:
state:
media: platform/core state
rules: media platform/core state
match: rules media platform/core state engine
scenes: match rules media platform/core state engine
shell: scenes match rules media platform/core state engine
datagen: media platform/core
"
# The game's one door into the platform: a room outside the platform may include no other
# file of it.
DOOR=src/platform/core/platform.h

# The room of a path relative to the repository; empty for a file outside every room.
room_of() {
  case "$1" in
    src/platform/core/*) echo platform/core ;;
    src/platform/video/*) echo platform/video ;;
    src/platform/audio/*) echo platform/audio ;;
    src/platform/session/*) echo platform/session ;;
    src/platform/sdl/*) echo platform/sdl ;;
    src/platform/assembly/*) echo platform/assembly ;;
    src/platform/*) echo platform ;;
    src/state/*) echo state ;;
    src/engine/*) echo engine ;;
    src/shell/*) echo shell ;;
    src/media/*) echo media ;;
    src/rules/*) echo rules ;;
    src/match/*) echo match ;;
    src/scenes/*) echo scenes ;;
    tools/datagen/*) echo datagen ;;
    *) echo "" ;;
  esac
}

allowed() {  # allowed FROM TO
  local line
  line=$(printf '%s\n' "$ALLOWED" | grep "^$1:" || true)
  [ -n "$line" ] || return 1
  [[ " ${line#*:} " == *" $2 "* ]]
}

# The file an include names, as the compiler finds it: beside the including file first, then
# under src/ (every target's include directory), then under tools/datagen (the generator's).
resolve() {  # resolve INCLUDING_FILE NAME
  local dir candidate
  dir=$(dirname "$1")
  for candidate in "$dir/$2" "src/$2" "tools/datagen/$2"; do
    if [ -f "$candidate" ]; then
      realpath --relative-to=. "$candidate"
      return
    fi
  done
}

mode="${1:-check}"
failures=0
edges=()
while IFS= read -r file; do
  from=$(room_of "$file")
  [ -n "$from" ] || continue
  while IFS=: read -r line text; do
    name=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1/' <<<"$text")
    target=$(resolve "$file" "$name")
    [ -n "$target" ] || continue  # not a file of the repository
    to=$(room_of "$target")
    [ -n "$to" ] && [ "$to" != "$from" ] || continue
    edges+=("$from -> $to")
    if ! allowed "$from" "$to"; then
      echo "$file:$line: includes \"$name\": $from may not include $to" >&2
      failures=$((failures + 1))
    elif [[ "$from" != platform* && "$to" == platform* && "$target" != "$DOOR" ]]; then
      echo "$file:$line: includes \"$name\": outside the platform only $DOOR is included" >&2
      failures=$((failures + 1))
    fi
  done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" || true)
done < <(git ls-files 'src/*.h' 'src/*.cpp' 'tools/datagen/*.h' 'tools/datagen/*.cpp')

if [ "$mode" = "--graph" ]; then
  printf '%s\n' "${edges[@]}" | sort -u
  exit 0
fi
if [ "$failures" -gt 0 ]; then
  echo "$failures include(s) run against the rooms' direction (table in $0)" >&2
  exit 1
fi
echo "rooms: every include runs in an allowed direction"
