#!/usr/bin/env bash
# Installs what the build needs on a Debian 12 machine. Idempotent, and quiet when all is there.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
deps="$root/build/deps"

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

# fonts-wine and fonts-liberation: Marlett, Tahoma and the metric twins of Arial, so texts measure as on Windows.
packages=(cmake ninja-build g++ make pkg-config libpcre2-dev googletest libgtest-dev libgmock-dev
  libbenchmark-dev nlohmann-json3-dev g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
  mingw-w64-tools wine wine64 fonts-wine fonts-liberation xvfb xauth xdotool imagemagick python3 python3-pyftpdlib
  dpkg-dev openssl osslsigncode
  clang libfuzzer-14-dev libclang-rt-14-dev)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# PCRE2 (16-bit units) for the Windows target, built from Debian's source package with its own CMake.
pcre_root="$deps/pcre2-mingw"
if [ ! -f "$pcre_root/lib/libpcre2-16.a" ]; then
  echo "setup: building PCRE2 for the Windows target"
  src_list=/etc/apt/sources.list.d/pyravel-deb-src.sources
  if ! grep -rqs '^Types:.*deb-src\|^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    # A deb-src entry for the suite the machine already uses (security updates carry no source here).
    tmp=$(mktemp)
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
      awk 'BEGIN{RS="";ORS="\n\n"} /Types:[^\n]*deb/ && !/-security/ {sub(/Types:[^\n]*/,"Types: deb-src"); print}' \
        /etc/apt/sources.list.d/debian.sources > "$tmp"
    fi
    if [ ! -s "$tmp" ] && [ -f /etc/apt/sources.list ]; then
      sed -n 's/^deb \([^#]*\)$/deb-src \1/p' /etc/apt/sources.list | grep -v -- '-security' > "$tmp" || true
      src_list=/etc/apt/sources.list.d/pyravel-deb-src.list
    fi
    as_root cp "$tmp" "$src_list"; rm -f "$tmp"
    as_root apt-get update -qq
  fi
  work="$deps/pcre2-src"
  rm -rf "$work"; mkdir -p "$work"
  (cd "$work" && apt-get source -qq pcre2 >/dev/null 2>&1)
  srcdir=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'pcre2-*' | head -n 1)
  [ -n "$srcdir" ] || { echo "setup: could not fetch the pcre2 source package" >&2; exit 1; }
  cmake -S "$srcdir" -B "$work/build" -G Ninja -Wno-dev \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$pcre_root" -DBUILD_SHARED_LIBS=OFF -DPCRE2_BUILD_PCRE2_8=OFF \
    -DPCRE2_BUILD_PCRE2_16=ON -DPCRE2_BUILD_PCRE2GREP=OFF -DPCRE2_BUILD_TESTS=OFF \
    -DPCRE2_SUPPORT_JIT=OFF >/dev/null
  cmake --build "$work/build" >/dev/null
  cmake --install "$work/build" >/dev/null
  rm -rf "$work"
fi
