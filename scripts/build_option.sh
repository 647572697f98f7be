# shellcheck shell=bash disable=SC2034  # sets build and outdir for the script that sources it
# Sourced by the scripts that run the programs of a build (screenshots.sh, previews.sh): reads
# their arguments, [--build BUILD_DIR] [OUTDIR], into $build (else $KELMORAV_BUILD, else build/
# of the checkout in $here) and $outdir (else the default given first).
#   read_build_and_outdir DEFAULT_OUTDIR "$@"
read_build_and_outdir() {
  local usage="usage: $0 [--build BUILD_DIR] [OUTDIR]"
  outdir="$1"
  shift
  build="${KELMORAV_BUILD:-$here/build}"
  if [ "${1:-}" = "--build" ]; then
    [ $# -ge 2 ] || { echo "$usage" >&2; exit 2; }
    build="$2"
    shift 2
  fi
  [ $# -le 1 ] || { echo "$usage" >&2; exit 2; }
  outdir="${1:-$outdir}"
}
