#!/usr/bin/env bash
# Builds the engine library (Irrlicht 1.8.5) from Debian's source package as a static library,
# with five texture layers per material and the RandR video-mode list switched on.
# usage: tools/build-engine.sh ENGINE_DIR
set -euo pipefail
mkdir -p "${1:?engine folder}"; dir=$(cd "$1" && pwd)
lib="$dir/irrlicht/lib/Linux/libIrrlicht.a"
[ -f "$lib" ] && exit 0

mkdir -p "$dir"
cd "$dir"
if [ ! -d irrlicht ]; then
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
  mv "$unpacked" irrlicht
  rm -rf src
fi
echo "Building the engine library..."
make -s -C irrlicht/source/Irrlicht NDEBUG=1 staticlib -j"$(nproc)" > build.log 2>&1 || { tail -n 30 build.log; exit 1; }
[ -f "$lib" ] || { echo "ERROR: engine library was not built"; exit 1; }
