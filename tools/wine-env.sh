# Sourced by the scripts that run built programs, with $build set: the Wine
# loader and prefix kind of that build tree (its wine.env, written by CMake
# at configure time) and a quiet Wine that never starts its crash debugger.
# $WINE runs a program: the wine script picks the 32-bit loader whenever
# wine32 is installed, so a 64-bit tree names the 64-bit loader itself.
[ -f "$build/wine.env" ] || { echo "$build/wine.env is missing: configure $build first" >&2; exit 1; }
set -a
. "$build/wine.env"
WINEPREFIX="$(cd "$build" && pwd)/wineprefix"
WINEDEBUG=-all
WINEDLLOVERRIDES="winedbg.exe=d;mscoree=d;mshtml=d"
set +a
