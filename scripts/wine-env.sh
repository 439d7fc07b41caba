# Sourced: a quiet 32-bit Wine prefix inside the build tree, never ~/.wine.
# Set ZI370_WINEPREFIX to choose its folder.
mkdir -p "${ZI370_WINEPREFIX:?}"
WINEPREFIX="$(cd "$ZI370_WINEPREFIX" && pwd)"  # Wine wants an absolute path
export WINEPREFIX
export WINEARCH=win32
export WINEDEBUG=-all
# No Mono or Gecko downloads: the tool needs neither, and there is no network.
export WINEDLLOVERRIDES="mscoree,mshtml="

ensure_wine_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1
    wineserver -w  # the registry files are written when the server ends
  fi
}
