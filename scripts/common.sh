# Shared by ./run and ./test: install what is missing and build.
# shellcheck shell=bash

PACKAGES_BUILD=(build-essential cmake qt6-base-dev libqt6sql6-sqlite libqt6sql6-psql libsqlite3-dev libpq-dev fonts-liberation2)
PACKAGES_TEST=(postgresql)
PACKAGES_RUN=(xvfb xauth)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_missing() {
  local missing=()
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
}

build() {
  cmake -S "$ROOT" -B "$ROOT/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$ROOT/build" -j"$(nproc)"
}
