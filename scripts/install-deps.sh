#!/usr/bin/env bash
# Installs what building and testing Zemvora Creator needs on Debian 12 (run as root, or with
# sudo at hand). With --bench it adds the libraries the benchmarks compare against.
set -euo pipefail
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo

packages=(cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev nlohmann-json3-dev
          qt6-base-dev libqt6opengl6-dev qt6-image-formats-plugins libglu1-mesa-dev libegl-dev
          libegl-mesa0 libglx-mesa0 libgl1-mesa-dri libmeshoptimizer-dev libassimp-dev
          xvfb xauth fonts-dejavu-core fonts-wqy-microhei clang-format
          tumbler dbus-daemon dbus-bin
          desktop-file-utils appstream lintian dpkg-dev assimp-utils python3
          libseccomp-dev pkg-config libxcb1-dev)
# The exported glTF files are checked by the Khronos validator, which npm brings; a machine with
# Node.js from elsewhere keeps its own.
command -v npm >/dev/null || packages+=(nodejs npm)
[ "${1:-}" = "--bench" ] && packages+=(lib3ds-dev libbenchmark-dev xdotool)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
