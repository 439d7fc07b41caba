# Sourced: Wine set up to run the Windows programs of one architecture in a
# prefix of their own inside the build tree, never ~/.wine.
#
#   wine_setup ARCH PREFIX_DIR    ARCH: x86 or x64
#
# returns 0 when ready, 77 when ARCH's programs cannot run on this machine
# (WINE_WHY_NOT says why), 1 when the prefix could not be made. Then:
#
#   wine_app PROGRAM ARGS...   runs a Windows program built for ARCH
#   wine_tool PROGRAM ARGS...  runs one of Wine's own programs (reg, cmd, ...)
#                              the fastest way this machine has
#   wine_reg ARGS...           reg, in the registry view of ARCH's programs
#   wine_stored_rotate         the Rotate value the tool stored (0x0, 0x1), if any
#   windows_path PATH          a Unix path as Windows programs under Wine see it
#   WINE_HOW                   one line: how ARCH's programs run
#
# x64 runs under 64-bit Wine. x86 runs under 32-bit Wine: natively in a win32
# prefix where the kernel runs 32-bit processes, otherwise emulated by qemu
# in a win64 prefix served by 64-bit Wine, so that only the 32-bit processes
# (the program and the DLLs it loads) are emulated.
source "$(dirname "${BASH_SOURCE[0]}")/i386-host.sh"

wine32_loader=/usr/lib/wine/wine
wine64_loader=/usr/lib/wine/wine64
# The 64-bit server serves 32-bit and 64-bit clients alike, and runs everywhere.
export WINESERVER=/usr/lib/wine/wineserver64
export WINEDEBUG=-all
# No Mono or Gecko downloads: the tool needs neither, and there is no network.
export WINEDLLOVERRIDES="mscoree,mshtml="
# Where 32-bit processes run emulated (the x86 build, and the 32-bit half of
# any win64 prefix's set-up): Wine reserves most of the 32-bit address space,
# and a smaller reservation than qemu's default spares qemu most of its
# bookkeeping of it; Wine needs memory above 0x80000000. Only qemu reads this.
export QEMU_RESERVED_VA=0x82000000

wine_app() { "$WINE_APP_LOADER" "$@"; }
wine_tool() { "$WINE_TOOL_LOADER" "$@"; }
wine_reg() { wine_tool reg "$@" ${WINE_REG_VIEW:+"$WINE_REG_VIEW"}; }
zi370_service_key='HKLM\SYSTEM\CurrentControlSet\Services\ZI370'
wine_stored_rotate() {
  wine_tool reg query "$zi370_service_key" /v Rotate 2>/dev/null | tr -d '\r' | awk '$1 == "Rotate" { print $3 }'
}
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# The kind of Windows the prefix is, the two loaders, the registry view and
# how ARCH's programs run.
wine_use() { export WINEARCH=$1; WINE_APP_LOADER=$2 WINE_TOOL_LOADER=$3 WINE_REG_VIEW=$4 WINE_HOW=$5; }

wine_setup() {
  local arch=$1 prefix=$2 way
  WINE_WHY_NOT=
  [ -x "$wine64_loader" ] && [ -x "$WINESERVER" ] || { WINE_WHY_NOT="64-bit Wine (wine64) is not installed"; return 77; }
  case "$arch" in
    x64) wine_use win64 "$wine64_loader" "$wine64_loader" "" \
           "x64 build under 64-bit Wine (wine64), natively, in a win64 prefix" ;;
    x86)
      [ -x "$wine32_loader" ] || { WINE_WHY_NOT="32-bit Wine (wine32:i386) is not installed"; return 77; }
      way=$(i386_way)
      if [ "$way" = none ]; then
        i386_register_qemu && way=$(i386_way)
      fi
      case "$way" in
        native) wine_use win32 "$wine32_loader" "$wine32_loader" "" \
                  "x86 build under 32-bit Wine, natively (the kernel runs 32-bit processes), in a win32 prefix" ;;
        emulated) wine_use win64 "$wine32_loader" "$wine64_loader" /reg:32 \
                    "x86 build under 32-bit Wine emulated by qemu-i386 (binfmt_misc handler $(i386_binfmt_handler)), in a win64 prefix served by 64-bit Wine" ;;
        *)
          WINE_WHY_NOT="this kernel does not run 32-bit x86 programs, and no qemu-i386 handler is registered with binfmt_misc (registering one needs root and qemu-user-static)"
          return 77 ;;
      esac ;;
    *) echo "wine_setup: unknown architecture '$arch'" >&2; return 1 ;;
  esac

  mkdir -p "$prefix" || return 1
  WINEPREFIX="$(cd "$prefix" && pwd)"  # Wine wants an absolute path
  export WINEPREFIX
  # A prefix made for the other kind of Windows is made anew.
  if [ -f "$WINEPREFIX/system.reg" ] && ! grep -qx "#arch=$WINEARCH" "$WINEPREFIX/system.reg"; then
    "$WINESERVER" -k 2>/dev/null
    find "$WINEPREFIX" -mindepth 1 -delete
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wine_tool wineboot -i >/dev/null 2>&1
    "$WINESERVER" -w  # the registry files are written when the server ends
    [ -f "$WINEPREFIX/system.reg" ] || return 1
  fi
}

# For tests: wine_setup, or else end the test, as skipped (77) saying why or
# as failed.
wine_setup_or_skip() {
  wine_setup "$1" "$2"
  case $? in
    0) ;;
    77) echo "SKIPPED: $1 programs cannot run here: $WINE_WHY_NOT"; exit 77 ;;
    *) echo "FAIL: could not prepare the Wine prefix $2"; exit 1 ;;
  esac
}
