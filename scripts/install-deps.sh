#!/usr/bin/env bash
# Installs, with apt-get, whatever the named parts of the build lack.
#   native    host compilers, CMake, GoogleTest, Google Benchmark, valgrind, libFuzzer
#   windows   the mingw-w64 cross toolchains for x86 and x64
#   wine-x64  64-bit Wine, to run the x64 build
#   wine-x86  32-bit Wine, to run the x86 build; where this kernel runs no
#             32-bit programs, also qemu-user-static to emulate them (when
#             run as root, who alone can register it), and where neither
#             helps, nothing: the x86 tests then say they are skipped
#   release   what packaging and the deployment-file tests use
set -euo pipefail
source "$(dirname "$0")/i386-host.sh"

packages=()
for part in "$@"; do
  case "$part" in
    native) packages+=(cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev valgrind
                       clang libclang-rt-14-dev python3) ;;
    windows) packages+=(g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64) ;;
    wine-x64) packages+=(wine64) ;;
    wine-x86)
      # Served by the 64-bit wineserver; emulated, in a prefix 64-bit Wine makes.
      case "$(i386_way)" in
        native|emulated) packages+=(wine64 wine32:i386) ;;
        none) [ "$(id -u)" -eq 0 ] && packages+=(wine64 wine32:i386 qemu-user-static) ;;
      esac ;;
    release) packages+=(python3 libxml2-utils) ;;
    *) echo "install-deps: unknown part '$part'" >&2; exit 2 ;;
  esac
done

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "install-deps: installing ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then sudo=sudo; else sudo=; fi
if printf '%s\n' "${missing[@]}" | grep -q ':i386$' && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
