#!/usr/bin/env bash
# Sets lumenfall up on Debian 12 and then plays it or tests it.
#
#   ./build.sh play               install what is missing, build, play the demo
#   ./build.sh test               install what is missing, build, run the whole test suite
#   ./build.sh test --sanitize    the same with AddressSanitizer, UBSan and the fuzz targets (clang)
#   ./build.sh build              install what is missing, build the programs and their files
#   ./build.sh package            the same, then make lumenfall_<version>_amd64.deb in build/
#   ./build.sh package --check    and check it: lintian, install, use, validate, remove (as root)
#   ./build.sh web                install what is missing, build the browser version as a static
#                                 site in build-web/site/
#   ./build.sh web --test         the same, then its tests in headless chromium (the comparison
#                                 with lumenfall-capture needs ./build.sh test's build/ first)
#
# Packages come from apt-get (through sudo when not root). Every command builds in Release into
# build/ (test --sanitize: RelWithDebInfo into build-asan/; set LUMENFALL_BUILD_DIR to choose
# another folder), and each builds only the targets it needs, so one command after another
# compiles nothing twice. A folder that play, build or package configures first leaves the tests
# and benchmarks out (their packages need not be installed); test adds them.
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
web_packages=(build-essential cmake ninja-build emscripten node-acorn)
web_test_packages=(chromium nodejs fonts-dejavu-core)

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

configure() {
    local dir=$1; shift
    cmake -S . -B "$dir" -G Ninja "$@"
}

# Options the folder already has are kept: turning the tests off again would only make the next
# test run build them anew.
configure_programs() {
    local dir=$1 fresh=()
    [[ -f $dir/CMakeCache.txt ]] || fresh=(-DLUMENFALL_TESTS=OFF -DLUMENFALL_BENCH=OFF)
    configure "$dir" -DCMAKE_BUILD_TYPE=Release "${fresh[@]}"
}

dir=${LUMENFALL_BUILD_DIR:-build}
case $action in
play)
    install_missing "${build_packages[@]}"
    configure_programs "$dir"
    cmake --build "$dir" --target lumenfall
    exec "$dir/bin/lumenfall"
    ;;
build)
    install_missing "${build_packages[@]}"
    configure_programs "$dir"
    cmake --build "$dir" --target lumenfall_installed_files
    ;;
package)
    install_missing "${build_packages[@]}" "${package_packages[@]}"
    configure_programs "$dir"
    cmake --build "$dir" --target lumenfall_installed_files
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
    flags=(-DLUMENFALL_TESTS=ON)
    [[ ${CI:-} == true ]] && flags+=(-DLUMENFALL_WERROR=ON)
    if ((sanitize)); then
        install_missing "${sanitize_packages[@]}"
        dir=${LUMENFALL_BUILD_DIR:-build-asan}
        # Debug information for the sanitizers' reports.
        flags+=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMENFALL_SANITIZE=ON -DLUMENFALL_FUZZ=ON
                -DLUMENFALL_BENCH=OFF -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++)
        export ASAN_OPTIONS=${ASAN_OPTIONS:-halt_on_error=1:detect_leaks=1}
        export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
    else
        # The same build type as play and package, so they share every object.
        flags+=(-DCMAKE_BUILD_TYPE=Release -DLUMENFALL_BENCH=ON)
    fi
    configure "$dir" "${flags[@]}"
    cmake --build "$dir"
    ctest --test-dir "$dir" --output-on-failure -j "$(nproc)"
    ;;
web)
    # The media generator runs natively; the program is compiled with Emscripten. Emscripten's
    # JavaScript optimiser needs Debian's acorn, which a Node.js from elsewhere does not see.
    install_missing "${web_packages[@]}"
    export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
    configure build-web/media -DCMAKE_BUILD_TYPE=Release -DLUMENFALL_MEDIA_ONLY=ON
    cmake --build build-web/media
    emcmake cmake -S . -B build-web/wasm -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DLUMENFALL_WEB_MEDIA_DIR="$PWD/build-web/media/share/lumenfall/Marlow/Media" \
        -DLUMENFALL_WEB_SITE_DIR="$PWD/build-web/site"
    cmake --build build-web/wasm
    if [[ ${2:-} == --test ]]; then
        install_missing "${web_test_packages[@]}"
        node --test tests/web/
    else
        echo "== The site is in build-web/site/. To watch it here:"
        echo "   python3 -m http.server -d build-web/site 8000    and open http://localhost:8000/"
    fi
    ;;
*)
    echo "usage: $0 play | test [--sanitize] | build | package [--check] | web [--test]" >&2
    exit 2
    ;;
esac
