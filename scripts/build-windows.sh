#!/usr/bin/env bash
# Cross-builds the Windows programs with MinGW-w64 and packs them into
# build/windows/tessel-VERSION-windows-x64.zip. Installs what it needs. Harmless to run twice.
#
#   scripts/build-windows.sh           # the programs and the zip
#   scripts/build-windows.sh --all     # the test suite too (scripts/test-windows.sh runs it)
#
# Third-party code comes from Debian alone: pugixml (and libxml2) from their source packages,
# fetched through a private deb-src list into build/windows-deps/ (never committed), GoogleTest
# from libgtest-dev's /usr/src/googletest, nlohmann-json's headers from nlohmann-json3-dev. They
# are built once into build/windows-deps/prefix, which the toolchain file searches.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

build_all=0
for arg in "$@"; do
  case "$arg" in
    --all) build_all=1 ;;
    *) echo "usage: scripts/build-windows.sh [--all]" >&2; exit 2 ;;
  esac
done

packages=(
  cmake ninja-build pkg-config dpkg-dev zip
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  libgtest-dev libgmock-dev nlohmann-json3-dev
  wine wine64 xvfb xauth libxml2-utils
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
if [ ${#missing[@]} -gt 0 ]; then
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

toolchain=$root/cmake/mingw-w64-x86_64.cmake
deps=$root/build/windows-deps
prefix=$deps/prefix
mkdir -p "$deps/src" "$deps/build" "$prefix"

# A deb-src list of our own for the archive this machine installs from; apt's state for it stays
# under build/windows-deps/apt, so the system's sources and lists are left as they are.
apt_dir=$deps/apt
apt_opts=(-o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$apt_dir/sources.d"
          -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache"
          -o APT::Sandbox::User=root -o Debug::NoLocking=1)
source_lists_ready=0
prepare_source_lists() {
  [ "$source_lists_ready" = 1 ] && return
  . /etc/os-release
  local uri="http://deb.debian.org/debian"
  local found
  found=$(awk '/^URIs:/ {u=$2} /^Suites:/ && $0 !~ /security/ {print u; exit}' \
            /etc/apt/sources.list.d/*.sources 2>/dev/null | grep -m1 debian || true)
  [ -z "$found" ] && found=$(awk '$1 == "deb" && $0 !~ /security/ {print $2; exit}' \
                               /etc/apt/sources.list 2>/dev/null | grep -m1 debian || true)
  [ -n "$found" ] && uri=$found
  mkdir -p "$apt_dir/sources.d" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
  cat >"$apt_dir/sources.d/debian-src.sources" <<EOF
Types: deb-src
URIs: $uri
Suites: ${VERSION_CODENAME:-bookworm}
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
  apt-get "${apt_opts[@]}" update -qq
  source_lists_ready=1
}

# Unpacks Debian's source package NAME under build/windows-deps/src/NAME and prints its folder.
debian_source() {
  local name=$1 dir=$deps/src/$1
  if ! compgen -G "$dir/$name-*/debian" >/dev/null; then
    prepare_source_lists
    rm -rf "$dir"
    mkdir -p "$dir"
    (cd "$dir" && apt-get "${apt_opts[@]}" source -qq "$name" >/dev/null)
  fi
  compgen -G "$dir/$name-*/debian" | head -n1 | xargs dirname
}

# Configures, builds and installs a CMake project into the prefix, once per source folder.
cross_build() {
  local name=$1 source=$2
  shift 2
  local stamp=$deps/build/$name.stamp
  if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$source" ]; then
    return
  fi
  echo "Building $name for Windows from $source"
  rm -rf "$deps/build/$name"
  cmake -S "$source" -B "$deps/build/$name" -G Ninja -Wno-dev \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF "$@" >/dev/null
  cmake --build "$deps/build/$name" >/dev/null
  cmake --install "$deps/build/$name" >/dev/null
  echo "$source" >"$stamp"
}

cross_build pugixml "$(debian_source pugixml)"
# libxml2 checks title documents; they are decoded to UTF-8 before it sees them, so it needs
# neither iconv nor ICU, and nothing that reaches the network or other files.
cross_build libxml2 "$(debian_source libxml2)" \
  -DLIBXML2_WITH_ICONV=OFF -DLIBXML2_WITH_ICU=OFF -DLIBXML2_WITH_LZMA=OFF -DLIBXML2_WITH_ZLIB=OFF \
  -DLIBXML2_WITH_HTTP=OFF -DLIBXML2_WITH_FTP=OFF -DLIBXML2_WITH_PYTHON=OFF \
  -DLIBXML2_WITH_PROGRAMS=OFF -DLIBXML2_WITH_TESTS=OFF
cross_build googletest /usr/src/googletest -DINSTALL_GTEST=ON -DBUILD_GMOCK=ON
# nlohmann-json is headers alone; its CMake package finds them relative to itself.
if [ ! -f "$prefix/share/cmake/nlohmann_json/nlohmann_jsonConfig.cmake" ]; then
  mkdir -p "$prefix/include" "$prefix/share/cmake"
  cp -r /usr/include/nlohmann "$prefix/include/"
  cp -r /usr/share/cmake/nlohmann_json "$prefix/share/cmake/"
fi

out=$root/build/windows
cmake --preset windows >/dev/null
programs=(tessel-convert tessel-aafinfo tessel-mkaaf)
if cmake --build --preset windows --target help | grep -q '^tessel: '; then
  programs+=(tessel)
fi
if [ "$build_all" = 1 ]; then
  cmake --build --preset windows
else
  cmake --build --preset windows --target "${programs[@]}"
fi

# The zip: the programs side by side and a short text on how to use them.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$out/CMakeCache.txt")
stage=$out/package/tessel-$version-windows-x64
rm -rf "$out/package"
mkdir -p "$stage"
for p in "${programs[@]}"; do
  exe=$(find "$out/src" "$out/tools" -name "$p.exe" -type f | head -n1)
  [ -n "$exe" ] || { echo "build-windows: $p.exe was not built" >&2; exit 1; }
  # Only system DLLs may be named: the C and C++ runtimes are linked in.
  foreign=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' |
            grep -viE '^(kernel32|user32|gdi32|comctl32|comdlg32|shell32|shlwapi|ole32|oleaut32|advapi32|uxtheme|dwmapi|version|ws2_32|bcrypt|ntdll|api-ms-win-[a-z0-9-]+|msvcrt|ucrtbase)\.dll$' || true)
  if [ -n "$foreign" ]; then
    echo "build-windows: $p.exe needs DLLs a stock Windows lacks: $foreign" >&2
    exit 1
  fi
  x86_64-w64-mingw32-strip -o "$stage/$p.exe" "$exe"
done
cp docs/windows-usage.txt "$stage/README.txt"
sed -i "s/@VERSION@/$version/" "$stage/README.txt"
sed -i 's/$/\r/' "$stage/README.txt"
zip_file=$out/tessel-$version-windows-x64.zip
rm -f "$zip_file"
(cd "$out/package" && zip -q -9 -r -X "$zip_file" "tessel-$version-windows-x64")
echo "Written: build/windows/$(basename "$zip_file") ($(stat -c %s "$zip_file") bytes)"
