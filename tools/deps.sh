# Sourced by ./test and ./run: installs the Debian packages the build needs,
# skipping those already there, and runs apt-get update only when something
# is missing.

KGI_BUILD_PACKAGES="build-essential cmake pkg-config
  libgl1-mesa-dev libglu1-mesa-dev libgl1-mesa-dri
  libfox-1.6-dev libftgl-dev libfreetype-dev fonts-liberation fonts-ipafont-gothic
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad
  gstreamer1.0-plugins-ugly gstreamer1.0-libav gstreamer1.0-gl
  gstreamer1.0-x gstreamer1.0-alsa libxrandr-dev
  libespeak-ng-dev espeak-ng festival festvox-kallpc16k
  libsdl2-mixer-dev xdg-utils"
# uim-xim with uim-anthy is the input method the composition tests run on
# their X server; it draws its text with the server's bitmap fonts, whose
# Japanese ones come with xfonts-base.
KGI_TEST_PACKAGES="libgtest-dev libgmock-dev googletest libbenchmark-dev
  xvfb xauth libxtst-dev clang libclang-rt-dev gstreamer1.0-tools locales
  uim-xim uim-anthy xfonts-base openbox"

# Succeeds when every package named is installed.
kgi_have_packages() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || return 1
  done
}

kgi_ensure_packages() {
  local missing=()
  local p
  for p in "$@"; do
    kgi_have_packages "$p" || missing+=("$p")
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  echo "Installing: ${missing[*]}"
  local sudo=""
  if [ "$(id -u)" != 0 ]; then sudo=sudo; fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
