#!/usr/bin/env bash
# Builds the engine library (Irrlicht 1.8.5) from Debian's source package as a static library,
# with five texture layers per material, the RandR video-mode list switched on and our own
# mends of its file readers (tools/engine-patches, applied in order).
# The unpacked source is kept unpatched in ENGINE_DIR/pristine; a build whose stamp does not
# hold the hash of the patch series is made again from it, so a changed series is picked up.
# With "fuzz" as second word the library is built by clang with AddressSanitizer and libFuzzer's
# coverage, for the fuzz targets (tests/fuzz).
# usage: tools/build-engine.sh ENGINE_DIR [fuzz]
set -euo pipefail
flavour=${2:-plain}
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "${1:?engine folder}"; dir=$(cd "$1" && pwd)
lib="$dir/irrlicht/lib/Linux/libIrrlicht.a"
stamp="$dir/patches.stamp"
patches=("$here"/engine-patches/*.patch)
want=$( { echo "$flavour"; cat "${patches[@]}"; } | sha256sum | cut -d' ' -f1)
[ -f "$lib" ] && [ "$(cat "$stamp" 2>/dev/null)" = "$want" ] && exit 0

cd "$dir"
# a build from before the patches: its tree is the unpatched source, less what make left
if [ ! -d pristine ] && [ -d irrlicht ] && [ ! -f "$stamp" ]; then
  mv irrlicht pristine
  find pristine/source -name '*.o' -delete -o -name '*.d' -delete
  rm -f pristine/lib/Linux/libIrrlicht.a
fi
if [ ! -d pristine ]; then
  rm -rf src && mkdir src
  (cd src && apt-get source -qq irrlicht 2>&1 | grep -v '^W: Download is performed unsandboxed' || true)
  unpacked=$(find src -mindepth 1 -maxdepth 1 -type d -name 'irrlicht-*' | head -n 1)
  [ -n "$unpacked" ] || { echo "ERROR: apt-get source irrlicht gave no source folder"; exit 1; }
  config="$unpacked/include/IrrCompileConfig.h"
  # the header has Windows line ends
  sed -i 's/^#define _IRR_MATERIAL_MAX_TEXTURES_ 4\r\?$/#define _IRR_MATERIAL_MAX_TEXTURES_ 5/' "$config"
  sed -i 's|^//#define _IRR_LINUX_X11_RANDR_\r\?$|#define _IRR_LINUX_X11_RANDR_|' "$config"
  grep -q '^#define _IRR_MATERIAL_MAX_TEXTURES_ 5$' "$config" || { echo "ERROR: could not set five texture layers"; exit 1; }
  grep -q '^#define _IRR_LINUX_X11_RANDR_$' "$config" || { echo "ERROR: could not switch RandR on"; exit 1; }
  mv "$unpacked" pristine
  rm -rf src
fi
rm -rf irrlicht "$stamp"
cp -a pristine irrlicht
for p in "${patches[@]}"; do
  patch -s -p1 -d irrlicht < "$p" || { echo "ERROR: engine patch $(basename "$p") does not apply"; exit 1; }
done
echo "Building the engine library..."
compilers=()
if [ "$flavour" = fuzz ]; then
  flags="-g -fsanitize=address,fuzzer-no-link -fno-omit-frame-pointer"
  compilers=(CC=clang CXX=clang++ "CFLAGS=$flags" "CXXFLAGS=$flags")
fi
env "${compilers[@]}" make -s -C irrlicht/source/Irrlicht NDEBUG=1 staticlib -j"$(nproc)" > build.log 2>&1 \
  || { tail -n 30 build.log; exit 1; }
[ -f "$lib" ] || { echo "ERROR: engine library was not built"; exit 1; }
echo "$want" > "$stamp"
