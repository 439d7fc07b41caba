#!/usr/bin/env bash
# Installs, with apt-get, whatever the named parts of the build lack.
#   native   host compilers, CMake, GoogleTest, Google Benchmark, valgrind, libFuzzer
#   windows  the 32-bit mingw-w64 cross toolchain
#   wine     Wine with its 32-bit half, to run the Windows build
set -euo pipefail

packages=()
for part in "$@"; do
  case "$part" in
    native) packages+=(cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev valgrind
                       clang libclang-rt-14-dev python3) ;;
    windows) packages+=(g++-mingw-w64-i686 binutils-mingw-w64-i686) ;;
    wine) packages+=(wine wine32:i386) ;;
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
