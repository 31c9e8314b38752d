#!/usr/bin/env bash
# Sets lumenfall up on Debian 12 and then plays it or tests it.
#
#   ./build.sh play               install what is missing, build, play the demo
#   ./build.sh test               install what is missing, build, run the whole test suite
#   ./build.sh test --sanitize    the same with AddressSanitizer, UBSan and the fuzz targets (clang)
#   ./build.sh build              install what is missing and build only
#   ./build.sh package            the same, then make lumenfall_<version>_amd64.deb in build/
#   ./build.sh package --check    and check it: lintian, install, use, validate, remove (as root)
#
# Packages come from apt-get (through sudo when not root). The build goes to build/ (build-asan/
# with --sanitize); set LUMENFALL_BUILD_DIR to choose another folder.
set -euo pipefail
cd "$(dirname "$0")"

action=${1:-play}
sanitize=0
[[ ${2:-} == --sanitize ]] && sanitize=1
check=0
[[ ${2:-} == --check ]] && check=1

build_packages=(build-essential cmake ninja-build pkg-config libsdl2-dev libepoxy-dev libegl-dev
                libimgui-dev libpng-dev libgl1-mesa-dri libegl-mesa0
                fonts-dejavu-core) # the start-up dialog's text
test_packages=(libgtest-dev xvfb xauth xdotool imagemagick x11-utils x11-apps ffmpeg)
sanitize_packages=(clang libclang-rt-14-dev)
package_packages=(help2man dpkg-dev file)
package_check_packages=(lintian desktop-file-utils appstream man-db)

install_missing() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    ((${#missing[@]} == 0)) && return 0
    echo "== Installing: ${missing[*]}"
    local sudo=()
    ((EUID == 0)) || sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
}

configure_and_build() {
    local dir=$1; shift
    cmake -S . -B "$dir" -G Ninja "$@"
    cmake --build "$dir"
}

case $action in
play|build)
    install_missing "${build_packages[@]}"
    dir=${LUMENFALL_BUILD_DIR:-build}
    configure_and_build "$dir" -DCMAKE_BUILD_TYPE=Release
    if [[ $action == play ]]; then
        exec "$dir/bin/lumenfall"
    fi
    ;;
package)
    install_missing "${build_packages[@]}" "${package_packages[@]}"
    dir=${LUMENFALL_BUILD_DIR:-build}
    configure_and_build "$dir" -DCMAKE_BUILD_TYPE=Release
    (cd "$dir" && cpack -G DEB)
    if ((check)); then
        install_missing "${package_check_packages[@]}"
        version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$dir/CMakeCache.txt")
        sudo=()
        ((EUID == 0)) || sudo=(sudo)
        "${sudo[@]}" packaging/check_package.sh \
            "$dir/lumenfall_${version}_$(dpkg --print-architecture).deb" "$dir"
    fi
    ;;
test)
    install_missing "${build_packages[@]}" "${test_packages[@]}"
    flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
    [[ ${CI:-} == true ]] && flags+=(-DLUMENFALL_WERROR=ON)
    if ((sanitize)); then
        install_missing "${sanitize_packages[@]}"
        dir=${LUMENFALL_BUILD_DIR:-build-asan}
        flags+=(-DLUMENFALL_SANITIZE=ON -DLUMENFALL_FUZZ=ON -DLUMENFALL_BENCH=OFF
                -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++)
        export ASAN_OPTIONS=${ASAN_OPTIONS:-halt_on_error=1:detect_leaks=1}
        export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
    else
        dir=${LUMENFALL_BUILD_DIR:-build}
    fi
    configure_and_build "$dir" "${flags[@]}"
    ctest --test-dir "$dir" --output-on-failure -j "$(nproc)"
    ;;
*)
    echo "usage: $0 play | test [--sanitize] | build | package [--check]" >&2
    exit 2
    ;;
esac
