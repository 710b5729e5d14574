#!/usr/bin/env bash
# Installs the Debian packages the project builds with (only the missing ones).
set -euo pipefail

packages=(
  cmake make g++ pkg-config
  gcc-arm-none-eabi libnewlib-arm-none-eabi binutils-arm-none-eabi
  libunicorn-dev libelf-dev
  libgtest-dev libbenchmark-dev libcli11-dev nlohmann-json3-dev
  gnuplot-nox jq
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo_cmd=()
  [[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
  echo "setup: installing ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
fi
