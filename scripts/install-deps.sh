#!/usr/bin/env bash
# Installs, with apt-get and only when missing, every Debian package that
# building, testing and benchmarking Nivalo needs.
#   scripts/install-deps.sh          build + test packages
#   scripts/install-deps.sh --bench  also the benchmark peers
#   scripts/install-deps.sh --fuzz   also clang with libFuzzer
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  zlib1g-dev libpng-dev libjpeg62-turbo-dev libogg-dev libvorbis-dev
  libsdl2-dev libfreetype-dev libfontconfig-dev libdeflate-dev
  fonts-ipafont-gothic fonts-ipafont-mincho fonts-dejavu-core
  libgtest-dev libgmock-dev libbenchmark-dev
  imagemagick sox vorbis-tools espeak-ng xvfb x11-apps x11-utils openbox
  libdbus-1-dev dbus python3-dbus python3-gi xdotool xclip
)
for a in "$@"; do
  case "$a" in
    --bench) packages+=(lua5.4 libpixman-1-dev valgrind) ;;
    --fuzz) packages+=(clang) ;;
    *) echo "usage: scripts/install-deps.sh [--bench] [--fuzz]" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if (( ${#missing[@]} == 0 )); then
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
sudo=""
if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
