# shellcheck shell=bash
# Sourced by the scripts that run Windows programs under Wine: a Wine prefix of their own in the
# folder given as $1 (made on first use), without Wine's messages, and without the offers to
# install Mono and Gecko, which nothing here needs.
wine_folder=$1
export WINEPREFIX=$wine_folder/wine-prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot --init >/dev/null 2>&1
  wineserver --wait
fi
