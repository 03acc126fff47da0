#!/usr/bin/env bash
# Installs the Debian packages sfconv builds and tests with, when any is missing,
# and any further packages named as arguments. Quick when everything is present.
set -euo pipefail

# GEMMI reads CIF files; Debian's gemmi-dev includes the headers of PEGTL and
# stb without depending on their packages.
packages=(g++ cmake ninja-build libgtest-dev gemmi-dev tao-pegtl-dev libstb-dev "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "installing: ${missing[*]}" >&2
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
