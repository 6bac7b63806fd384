# Shared by ./run and ./test: install what is missing and build.
# shellcheck shell=bash

PACKAGES_BUILD=(build-essential cmake qt6-base-dev libqt6sql6-sqlite libqt6sql6-psql libsqlite3-dev libpq-dev fonts-liberation2)
PACKAGES_TEST=(postgresql qt6-translations-l10n poppler-utils python3)
PACKAGES_RUN=(xvfb xauth qt6-translations-l10n)

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
  # PAYORDERS_CONTACT in the environment becomes the address F1 shows; unset, the cached one stays.
  local options=(-DCMAKE_BUILD_TYPE=Release)
  if [ -n "${PAYORDERS_CONTACT:-}" ]; then options+=("-DPAYORDERS_CONTACT=$PAYORDERS_CONTACT"); fi
  cmake -S "$ROOT" -B "$ROOT/build" "${options[@]}" >/dev/null
  cmake --build "$ROOT/build" -j"$(nproc)"
}

# The same sources in Debug with AddressSanitizer and UndefinedBehaviorSanitizer, in build-asan.
build_sanitized() {
  cmake -S "$ROOT" -B "$ROOT/build-asan" -DCMAKE_BUILD_TYPE=Debug -DPAYORDERS_SANITIZE=ON >/dev/null
  cmake --build "$ROOT/build-asan" -j"$(nproc)"
}

# Any sanitizer report ends the test program with a failure.
export_sanitizer_options() {
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:halt_on_error=1:exitcode=23"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:exitcode=23"
}
