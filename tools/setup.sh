#!/bin/bash
# Installs every Debian package that building, running and testing need, and the zh_CN.UTF-8 locale.
# Safe to run again; quick when everything is already there.
set -euo pipefail

PACKAGES=(
  # Wine toolchain and runtime
  wine wine64 libwine libwine-dev wine64-tools fonts-wine
  # build
  g++ cmake make libgtest-dev libbenchmark-dev pkg-config
  zlib1g-dev libjpeg62-turbo-dev libmpeg2-4-dev libxvidcore-dev
  libavcodec-dev libavformat-dev libavutil-dev libswscale-dev libswresample-dev
  libx264-dev libopencore-amrnb-dev libmp3lame-dev liba52-0.7.4-dev
  # DirectShow / Windows Media decoding through winegstreamer
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-libav gstreamer1.0-plugins-ugly
  # GUI tests
  xvfb xdotool imagemagick x11-utils fonts-wqy-zenhei locales
  # sound in tests
  pulseaudio pulseaudio-utils
  # test media, reference tools and decoders that tests and benchmarks compare against
  ffmpeg python3 sox lame libgif-dev
  # the video-effects benchmarks: ffmpeg's filters (libavfilter) and ImageMagick's GIF reader in-process
  libavfilter-dev libmagickcore-6.q16-dev
  # the help file beside the program (chmcmd)
  fp-utils
  # fuzzing of the readers (libFuzzer), run by scripts beside ctest
  clang libclang-rt-14-dev
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  SUDO=""; [ "$(id -u)" = 0 ] || SUDO=sudo
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf8$'; then
  echo "setup: generating zh_CN.UTF-8"
  SUDO=""; [ "$(id -u)" = 0 ] || SUDO=sudo
  $SUDO sed -i 's/^# *\(zh_CN\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
