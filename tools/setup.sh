#!/usr/bin/env bash
# Installs the Debian packages the game and its tests need and builds the engine library.
# Idempotent: a machine that has everything gets no apt call and no download.
# usage: tools/setup.sh BUILD_DIR
set -euo pipefail
build_dir=${1:?build folder}
here=$(cd "$(dirname "$0")" && pwd)

if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi

packages=(
  # build
  g++ make cmake pkg-config dpkg-dev xz-utils ca-certificates patch
  # fuzzing: libFuzzer comes with clang's runtime libraries
  clang libclang-rt-14-dev
  # libraries the game stands on
  libbullet-dev libopenal-dev libvorbis-dev libfreetype-dev
  # what the engine library is built with
  libx11-dev libxrandr-dev libxxf86vm-dev libgl1-mesa-dev libglu1-mesa-dev
  libpng-dev libjpeg-dev zlib1g-dev libbz2-dev
  # content made at build time
  fonts-dejavu-core
  fonts-lato  # Lato Black: the game's font and the numbers on the mission buttons
  python3-fonttools  # adds the replacement character to the game's font
  # tests and headless runs
  libgtest-dev xvfb xauth xdotool x11-utils imagemagick libgl1-mesa-dri
  x11-xserver-utils  # xrandr: a second video mode on the whole-program tests' Xvfb
  locales  # locale sources: the writers are tested under a decimal-comma locale
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$p")
done

engine_lib="$build_dir/engine/irrlicht/lib/Linux/libIrrlicht.a"
have_src=no
grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/ && have_src=yes
need_src=no
[ -f "$engine_lib" ] || [ "$have_src" = yes ] || need_src=yes

if [ "$need_src" = yes ]; then
  echo "Adding Debian's source archive to apt (for the engine library's source package)"
  mirror=$(awk '/^URIs/{print $2; exit}' /etc/apt/sources.list.d/debian.sources 2>/dev/null || true)
  [ -n "$mirror" ] || mirror=http://deb.debian.org/debian
  printf 'Types: deb-src\nURIs: %s\nSuites: bookworm\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
    "$mirror" | $sudo tee /etc/apt/sources.list.d/sandvolt-src.sources > /dev/null
fi

if [ ${#missing[@]} -gt 0 ] || [ "$need_src" = yes ]; then
  echo "Installing: ${missing[*]:-(source index only)}"
  $sudo apt-get update -qq
  if [ ${#missing[@]} -gt 0 ]; then
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
fi

"$here/build-engine.sh" "$build_dir/engine"
