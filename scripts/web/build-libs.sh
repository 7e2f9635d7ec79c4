#!/usr/bin/env bash
# Builds the C libraries the game links (zlib, libpng, libogg, libvorbis, FreeType) for the
# browser, from Debian's own source packages, into a cache: $1/prefix (headers and static
# libraries). Each library is fetched and built once; a stamp file per library and version
# makes later runs return at once.
#
# The sources come through a private deb-src list (the machine's own apt lists stay as they
# are), at the versions of the main archive: security updates of some sources are not served.
set -euo pipefail
cache="$(mkdir -p "$1" && cd "$1" && pwd)"
prefix="$cache/prefix"
jobs="${JOBS:-2}"
mkdir -p "$prefix" "$cache/apt/lists/partial" "$cache/src"

apt_opts=(-o "Dir::Etc::SourceList=$cache/apt/sources.list" -o Dir::Etc::SourceParts=/dev/null
          -o "Dir::State::Lists=$cache/apt/lists" -o Dir::Cache::pkgcache= -o Dir::Cache::srcpkgcache=)
packages=(zlib libpng1.6 libogg libvorbis freetype)

version_of() { apt-cache "${apt_opts[@]}" showsrc "$1" 2>/dev/null | awk '/^Version:/ {print $2; exit}'; }

# Everything already built at the versions the list names: nothing to do.
all_built() {
  [[ -s "$cache/apt/versions" ]] || return 1
  while read -r pkg ver; do [[ -f "$cache/stamps/$pkg-$ver" ]] || return 1; done <"$cache/apt/versions"
}
if all_built; then exit 0; fi

codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian $codename main" \
  >"$cache/apt/sources.list"
apt-get "${apt_opts[@]}" -qq update
: >"$cache/apt/versions"
for pkg in "${packages[@]}"; do
  ver=$(version_of "$pkg")
  [[ -n "$ver" ]] || { echo "web: no source package $pkg in the archive" >&2; exit 1; }
  echo "$pkg $ver" >>"$cache/apt/versions"
done
mkdir -p "$cache/stamps"

# Unpacks pkg=version into src/pkg-version and prints that folder.
fetch() {
  local pkg=$1 ver=$2 dir="$cache/src/$1-$2"
  if [[ ! -d "$dir/tree" ]]; then
    rm -rf "$dir" && mkdir -p "$dir/get"
    (cd "$dir/get" && apt-get "${apt_opts[@]}" -qq source "$pkg=$ver" >/dev/null 2>"$dir/get.log") ||
      { cat "$dir/get.log" >&2; exit 1; }
    mv "$(find "$dir/get" -mindepth 1 -maxdepth 1 -type d | head -1)" "$dir/tree"
    rm -rf "$dir/get"
  fi
  echo "$dir/tree"
}

export CFLAGS="-O2" CXXFLAGS="-O2"
# Debian's emscripten runs its JavaScript tools with node and needs Debian's node modules, which
# a node from elsewhere does not look for.
export NODE_PATH="/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}"
cmake_common=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF
              -DCMAKE_FIND_ROOT_PATH="$prefix" -DCMAKE_POLICY_DEFAULT_CMP0074=NEW)

while read -r pkg ver; do
  [[ -f "$cache/stamps/$pkg-$ver" ]] && continue
  echo "web: building $pkg $ver for the browser"
  src=$(fetch "$pkg" "$ver")
  log="$cache/src/$pkg-$ver/build.log"
  set +e
  (
    set -e
    case "$pkg" in
    zlib) # its CMake fails on Debian's trimmed tarball; its own configure works
      cd "$src"
      emconfigure ./configure --static --prefix="$prefix"
      emmake make -j"$jobs" libz.a
      install -d "$prefix/lib" "$prefix/include"
      cp libz.a "$prefix/lib/"
      cp zlib.h zconf.h "$prefix/include/"
      ;;
    libpng1.6)
      rm -rf "$src/_web" && mkdir "$src/_web" && cd "$src/_web"
      emcmake cmake .. "${cmake_common[@]}" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
        -DPNG_HARDWARE_OPTIMIZATIONS=OFF -DZLIB_LIBRARY="$prefix/lib/libz.a" -DZLIB_INCLUDE_DIR="$prefix/include"
      emmake make -j"$jobs" png_static
      cp libpng16.a "$prefix/lib/libpng16.a"
      cp ../png.h ../pngconf.h pnglibconf.h "$prefix/include/"
      ;;
    libogg)
      cd "$src"
      emconfigure ./configure --host=i686-pc-linux-gnu --disable-shared --prefix="$prefix"
      emmake make -j"$jobs"
      emmake make install
      ;;
    libvorbis)
      rm -rf "$src/_web" && mkdir "$src/_web" && cd "$src/_web"
      emcmake cmake .. "${cmake_common[@]}" -DOGG_INCLUDE_DIR="$prefix/include" -DOGG_LIBRARY="$prefix/lib/libogg.a"
      emmake make -j"$jobs" vorbis vorbisfile vorbisenc
      emmake make install
      ;;
    freetype)
      rm -rf "$src/_web" && mkdir "$src/_web" && cd "$src/_web"
      # With the zlib above: FreeType's own copy would clash with it at link time.
      emcmake cmake .. "${cmake_common[@]}" -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON -DFT_DISABLE_BZIP2=ON \
        -DFT_DISABLE_PNG=ON -DFT_REQUIRE_ZLIB=ON -DZLIB_LIBRARY="$prefix/lib/libz.a" -DZLIB_INCLUDE_DIR="$prefix/include"
      emmake make -j"$jobs"
      emmake make install
      ;;
    esac
  ) >"$log" 2>&1
  rc=$?
  set -e
  if [[ $rc -ne 0 ]]; then
    echo "web: building $pkg failed, see $log" >&2
    tail -20 "$log" >&2
    exit 1
  fi
  touch "$cache/stamps/$pkg-$ver"
done <"$cache/apt/versions"
echo "web: libraries ready in $prefix"
