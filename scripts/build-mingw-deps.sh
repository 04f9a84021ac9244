#!/usr/bin/env bash
# Builds the static libraries that the Windows cross build (mingw-w64, x86_64,
# posix thread model) links against and that Debian does not package for
# mingw: GoogleTest/GoogleMock, OpenSSL's libcrypto, Boost.Filesystem/System
# and minizip's unzip. Sources come from Debian's source packages, unpacked
# with dpkg-source so Debian's patches apply.
#
# The result lives outside the clone, in ${FPB_DEPS_ROOT:-/opt/fpbridge-deps}/<key>,
# where <key> hashes the source versions, the cross toolchain, this script, the
# list of libcrypto members to compile and the libcrypto functions that the
# code names, so any change to one of them gives a fresh prefix (a function
# newly called is thus always checked against the members). A finished prefix is
# reused as it is, and ${FPB_DEPS_ROOT}/current points at the last one used.
#
# Prefix layout:
#   include/          gtest, gmock, openssl, minizip
#   lib/              libgtest.a libgtest_main.a libgmock.a libgmock_main.a
#                     libcrypto.a libboost_filesystem.a libboost_system.a libminizip.a
#   include-boost/    only a `boost` link to the system's Boost headers
#   include-json/     only a `nlohmann` link to the system's JSON headers
# The two link folders exist so that the cross compiler can be given the
# system's header-only libraries without ever seeing the rest of /usr/include.
#
# With --no-tests, GoogleTest is left out (the demo and the kit build no
# tests); a later run without it adds GoogleTest to the same prefix.
#
# Markers: .<part>-done once a part is installed (crypto, boost, minizip,
# gtest); .complete once the libraries the deliverables link are.
set -euo pipefail

# Absolute, because the build steps change directory.
deps_root=$(realpath -m "${FPB_DEPS_ROOT:-/opt/fpbridge-deps}")
readonly deps_root
readonly downloads="$deps_root/downloads"
readonly host=x86_64-w64-mingw32
readonly cross_cc="$host-gcc-posix"
readonly cross_cxx="$host-g++-posix"
readonly cross_ar="$host-ar"
jobs=$(nproc)
readonly jobs
readonly debian_list=/etc/apt/sources.list.d/debian.sources
readonly src_list=/etc/apt/sources.list.d/fpbridge-src.sources
readonly classic_src_list=/etc/apt/sources.list.d/fpbridge-src.list
script_path=$(readlink -f "${BASH_SOURCE[0]}")
readonly script_path
repo=$(dirname "$(dirname "$script_path")")
readonly repo
readonly crypto_members="$repo/scripts/libcrypto-members.txt"
crypto_function_list=

declare -A src_version=()
boost_pkg=
boost_ver=
prefix=
build=

log() { printf 'build-mingw-deps: %s\n' "$*"; }
die() {
    printf 'build-mingw-deps: error: %s\n' "$*" >&2
    exit 1
}

# Runs a command with its output appended to a log; on failure shows the end
# of the log, because a cross build's first error is rarely the last line.
run_logged() {
    local logfile=$1
    shift
    if ! "$@" >>"$logfile" 2>&1; then
        tail -n 40 "$logfile" >&2
        die "'$*' failed; full log: $logfile"
    fi
}

require_tools() {
    local tool
    for tool in "$cross_cc" "$cross_cxx" "$cross_ar" cmake ninja make perl dpkg-source apt-get flock sha256sum; do
        command -v "$tool" >/dev/null || die "$tool is missing; install the build prerequisites first"
    done
    [[ -f /usr/src/googletest/CMakeLists.txt ]] || die "/usr/src/googletest is missing (apt-get install googletest)"
    [[ -f /usr/include/boost/version.hpp ]] || die "Boost headers are missing (apt-get install libboost-dev)"
    [[ -f /usr/include/nlohmann/json.hpp ]] || die "nlohmann headers are missing (apt-get install nlohmann-json3-dev)"
    [[ -f /usr/$host/lib/libz.a ]] || die "mingw zlib is missing (apt-get install libz-mingw-w64-dev)"
}

# Prints "<source package> <source version>" of an installed binary package.
installed_source() {
    local status
    status=$(dpkg-query -W -f '${db:Status-Status} ${source:Package} ${source:Version}' "$1" 2>/dev/null) || true
    [[ $status == installed\ * ]] || die "package $1 is not installed"
    printf '%s\n' "${status#installed }"
}

installed_version() {
    dpkg-query -W -f '${Version}' "$1" 2>/dev/null || die "package $1 is not installed"
}

has_deb_src() {
    [[ $(apt-cache showsrc --only-source zlib 2>/dev/null) == *Package:* ]]
}

# Turns every enabled `Types: deb` stanza of a deb822 sources file into the
# same stanza with `Types: deb-src`; comments (such as the snapshot URL that
# Debian's images leave there) are dropped so only the live URIs are used.
deb_src_stanzas() {
    awk '
        function flush() {
            if (is_deb && !disabled) printf "%s\n", stanza
            is_deb = 0; disabled = 0; stanza = ""
        }
        /^[[:space:]]*#/ { next }
        /^[[:space:]]*$/ { flush(); next }
        /^Enabled:[[:space:]]*no/ { disabled = 1 }
        /^Types:/ { is_deb = ($0 ~ /[[:space:]]deb([[:space:]]|$)/); $0 = "Types: deb-src" }
        { stanza = stanza $0 "\n" }
        END { flush() }
    '
}

ensure_deb_src() {
    has_deb_src && return
    if [[ -r $debian_list ]] && [[ ! -e $src_list ]]; then
        deb_src_stanzas <"$debian_list" >"$src_list.tmp"
        [[ -s $src_list.tmp ]] || die "$debian_list has no enabled deb entries"
        mv "$src_list.tmp" "$src_list"
        log "added source package entries in $src_list"
    elif [[ ! -r $debian_list ]] && [[ ! -e $classic_src_list ]]; then
        # One-line style: each enabled "deb" line gets its "deb-src" twin.
        sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' /etc/apt/sources.list 2>/dev/null >"$classic_src_list.tmp" || true
        [[ -s $classic_src_list.tmp ]] || die "no deb entries to copy deb-src entries from; add deb-src entries for Debian by hand"
        mv "$classic_src_list.tmp" "$classic_src_list"
        log "added source package entries in $classic_src_list"
    fi
    log "running apt-get update for the source package lists"
    run_logged "$downloads/apt.log" apt-get update
    has_deb_src || die "apt still lists no source packages; check $src_list"
}

# Reads Debian versions on stdin and prints them newest first.
newest_first() {
    local -a sorted=()
    local v i
    while read -r v; do
        i=${#sorted[@]}
        while ((i > 0)) && dpkg --compare-versions "$v" gt "${sorted[i - 1]}"; do
            sorted[i]=${sorted[i - 1]}
            i=$((i - 1))
        done
        sorted[i]=$v
    done
    ((${#sorted[@]} > 0)) && printf '%s\n' "${sorted[@]}"
}

dsc_path() { printf '%s/%s_%s.dsc\n' "$downloads" "$1" "${2#*:}"; }

# True when the .dsc and every file it lists are in the download folder; apt
# only moves a file there once it is complete.
is_downloaded() {
    local dsc f
    dsc=$(dsc_path "$1" "$2")
    [[ -f $dsc ]] || return 1
    while read -r f; do
        [[ -f $downloads/$f ]] || return 1
    done < <(awk '/^Files:/ { in_files = 1; next } /^[^ ]/ || NF < 3 { in_files = 0 } in_files { print $3 }' "$dsc")
}

download() {
    log "downloading source package $1 $2"
    # apt's unprivileged _apt user cannot write into this root-owned cache, so
    # apt is told up front to fetch as root rather than warn about it each time.
    (cd "$downloads" && apt-get source --download-only -o APT::Sandbox::User=root "$1=$2") >>"$downloads/apt.log" 2>&1
}

# Chooses the newest version of a source package that the archive really
# serves: an index can list an upload whose files a mirror does not have yet.
# Such versions are remembered, so later runs neither retry nor wait for them,
# but only once an older one did download; otherwise the network itself may
# have failed and nothing is remembered.
pick_source() {
    local pkg=$1 ver marker
    local -a missing=()
    for ver in $(apt-cache showsrc --only-source "$pkg" | sed -n 's/^Version: //p' | sort -u | newest_first); do
        marker="$downloads/unavailable/${pkg}_${ver#*:}"
        [[ -e $marker ]] && continue
        if is_downloaded "$pkg" "$ver" || download "$pkg" "$ver"; then
            src_version[$pkg]=$ver
            for marker in "${missing[@]}"; do
                mkdir -p "$downloads/unavailable"
                touch "$marker"
                log "skipping ${marker##*/} from now on (delete $marker to try it again)"
            done
            return
        fi
        log "$pkg $ver is listed but could not be downloaded; trying an older one"
        missing+=("$marker")
    done
    die "no version of source package $pkg could be downloaded; see $downloads/apt.log"
}

# Boost's compiled parts must come from the very source the installed headers
# were packaged from, so that version is fetched or nothing is.
pin_source() {
    local pkg=$1 ver=$2
    is_downloaded "$pkg" "$ver" || download "$pkg" "$ver" ||
        die "source package $pkg $ver (matching the installed headers) could not be downloaded; upgrade it or see $downloads/apt.log"
    src_version[$pkg]=$ver
}

unpack() {
    rm -rf "$3"
    run_logged "$build/unpack.log" dpkg-source --no-copy -x "$(dsc_path "$1" "$2")" "$3"
}

write_toolchain() {
    cat >"$build/mingw.cmake" <<EOF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER $cross_cc)
set(CMAKE_CXX_COMPILER $cross_cxx)
set(CMAKE_RC_COMPILER $host-windres)
set(CMAKE_FIND_ROOT_PATH /usr/$host)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF
}

# Compiles sources (absolute paths) into objects in the current directory,
# in parallel. Arguments: compiler, its flags, `--`, the sources.
compile_here() {
    local compiler=$1
    shift
    local -a flags=()
    while [[ $1 != -- ]]; do
        flags+=("$1")
        shift
    done
    shift
    printf '%s\0' "$@" | xargs -0 -n 1 -P "$jobs" "$compiler" "${flags[@]}" -c
}

build_gtest() {
    local dir="$build/gtest" logfile="$build/gtest.log"
    rm -rf "$dir"
    # GoogleTest's CMake never enables pthreads for MinGW, whatever the
    # compiler's thread model, so the library and the code including its
    # headers agree on GTEST_HAS_PTHREAD=0; a mismatch would change the
    # layout of its Mutex.
    run_logged "$logfile" cmake -S /usr/src/googletest -B "$dir" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$build/mingw.cmake" \
        -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_CXX_STANDARD=17 \
        -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DCMAKE_INSTALL_LIBDIR=lib \
        -DBUILD_SHARED_LIBS=OFF \
        -DBUILD_GMOCK=ON
    run_logged "$logfile" cmake --build "$dir" --parallel "$jobs"
    run_logged "$logfile" cmake --install "$dir"
}

# The libcrypto functions that the project's code names: every OpenSSL name
# with a lower-case letter in it (types and constants are all capitals) in a
# file that includes an OpenSSL header.
crypto_functions() {
    local -a files
    mapfile -t files < <(grep -rlE --include='*.c' --include='*.cpp' --include='*.h' \
        --exclude-dir=build --exclude-dir=.git '#include <openssl/' "$repo")
    ((${#files[@]} > 0)) || return 0
    grep -hoE '\b(BIO|CRYPTO|ERR|EVP|OPENSSL|OSSL|PEM|RAND)_[A-Za-z0-9_]*[a-z][A-Za-z0-9_]*\b' "${files[@]}" | sort -u
}

# Links an empty program that must take each of those functions from the
# archive $1, as the project's programs link it; with $2, writes the linker's
# map there, which names the archive members that were taken.
crypto_probe() {
    local -a required=()
    local function
    for function in $crypto_function_list; do
        required+=("-Wl,--require-defined=$function")
    done
    printf 'int main(void) { return 0; }\n' >"$build/crypto-probe.c"
    "$cross_cc" -o "$build/crypto-probe.exe" "$build/crypto-probe.c" "${required[@]}" ${2:+"-Wl,-Map=$2"} \
        "$1" -lws2_32 -lgdi32 -lcrypt32 -ladvapi32 -luser32
}

build_crypto() {
    local src="$build/openssl" logfile="$build/crypto.log"
    unpack openssl "${src_version[openssl]}" "$src"
    # Only libcrypto is wanted: no TLS, no sockets, no loadable modules, no
    # deprecated API. no-autoload-config keeps a library that ends up inside
    # other programs' processes from reading an openssl.cnf from a fixed
    # path on the user's machine. What OpenSSL's no-bulk leaves out is left
    # out one by one, but for ec: the updater verifies Ed25519 signatures and
    # hashes with SHA-512, and nothing else of libcrypto is linked.
    (
        cd "$src"
        run_logged "$logfile" env CC=gcc-posix ./Configure mingw64 \
            --cross-compile-prefix="$host-" --prefix="$prefix" --libdir=lib \
            no-shared no-module no-deprecated no-legacy no-tests \
            no-sock no-ssl no-tls no-dtls no-autoload-config \
            no-dso no-aria no-async no-blake2 no-bf no-camellia no-cast no-chacha no-cmac no-cms no-cmp \
            no-comp no-ct no-des no-dgram no-dh no-dsa no-engine no-filenames no-idea no-ktls no-md4 \
            no-multiblock no-nextprotoneg no-ocsp no-ocb no-poly1305 no-psk no-rc2 no-rc4 no-rmd160 \
            no-seed no-siphash no-siv no-sm3 no-sm4 no-srp no-srtp no-ssl3-method no-ssl-trace no-ts \
            no-ui-console no-whirlpool no-fips-securitychecks \
            no-ec2m no-ecdh no-ecdsa no-sm2 no-scrypt no-rfc3779 no-mdc2 no-gost no-err \
            no-padlockeng no-capieng no-afalgeng
        run_logged "$logfile" make -j"$jobs" build_generated
        # Even so, the default provider's tables reach a quarter of libcrypto
        # that nothing here calls for, so only the members that the probe
        # takes are compiled. Another OpenSSL may move a function to a member
        # that is not listed: then the probe does not link, and the whole
        # library is built and the list for it is written into the prefix.
        local -a members=()
        mapfile -t members < <(grep -v '^#' "$crypto_members")
        if ((${#members[@]} > 0)) &&
            make -j"$jobs" "${members[@]}" >>"$logfile" 2>&1 &&
            "$cross_ar" rcs libcrypto.a "${members[@]}" >>"$logfile" 2>&1 &&
            crypto_probe libcrypto.a >>"$logfile" 2>&1; then
            log "crypto: built the ${#members[@]} members listed in ${crypto_members#"$repo"/}"
        else
            log "crypto: the listed members do not make a libcrypto that links;" \
                "$(grep -m 1 -E 'undefined reference|No rule to make target' "$logfile" || true); building all of it"
            rm -f libcrypto.a
            run_logged "$logfile" make -j"$jobs" libcrypto.a
            run_logged "$logfile" crypto_probe libcrypto.a "$build/crypto-probe.map"
            {
                printf '# Written by scripts/build-mingw-deps.sh from the linker'"'"'s map: the members of\n'
                printf '# libcrypto.a that the project links, OpenSSL %s.\n' "${src_version[openssl]}"
                sed -n 's/^.*libcrypto\.a(\([^)]*\)).*$/\1/p' "$build/crypto-probe.map" | sort -u |
                    while read -r member; do find . -name "$member" -printf '%P\n' -quit; done
            } >"$prefix/libcrypto-members.txt"
            log "crypto: the list of members for this OpenSSL is $prefix/libcrypto-members.txt;" \
                "copied to ${crypto_members#"$repo"/}, it makes the next build compile only those"
        fi
    )
    mkdir -p "$prefix/include/openssl" "$prefix/lib"
    cp "$src"/include/openssl/*.h "$prefix/include/openssl/"
    cp "$src/libcrypto.a" "$prefix/lib/"
}

build_boost() {
    local src="$build/boost" logfile="$build/boost.log"
    unpack "$boost_pkg" "${src_version[$boost_pkg]}" "$src"
    local -a common=(-O2 -DNDEBUG -std=c++17 -DBOOST_ALL_NO_LIB -I"$prefix/include-boost")
    mkdir -p "$build/boost-fs" "$build/boost-sys" "$prefix/lib"
    # The defines are the ones Boost's own build uses for a static Windows
    # library; mingw-w64 has BCrypt, so unique_path uses it.
    (
        cd "$build/boost-fs"
        run_logged "$logfile" compile_here "$cross_cxx" "${common[@]}" \
            -DBOOST_FILESYSTEM_SOURCE -DBOOST_FILESYSTEM_STATIC_LINK=1 -DBOOST_FILESYSTEM_HAS_BCRYPT \
            -- "$src"/libs/filesystem/src/*.cpp
        run_logged "$logfile" "$cross_ar" rcs "$prefix/lib/libboost_filesystem.a" ./*.o
    )
    (
        cd "$build/boost-sys"
        run_logged "$logfile" compile_here "$cross_cxx" "${common[@]}" -DBOOST_SYSTEM_STATIC_LINK=1 \
            -- "$src/libs/system/src/error_code.cpp"
        run_logged "$logfile" "$cross_ar" rcs "$prefix/lib/libboost_system.a" ./*.o
    )
}

build_minizip() {
    local src="$build/zlib" logfile="$build/minizip.log"
    unpack zlib "${src_version[zlib]}" "$src"
    local dir="$src/contrib/minizip"
    mkdir -p "$build/minizip" "$prefix/include/minizip" "$prefix/lib"
    # Only reading archives is needed, so zip.c stays out; zlib itself is the
    # one Debian ships for mingw.
    (
        cd "$build/minizip"
        run_logged "$logfile" compile_here "$cross_cc" -O2 -- "$dir/unzip.c" "$dir/ioapi.c" "$dir/iowin32.c"
        run_logged "$logfile" "$cross_ar" rcs "$prefix/lib/libminizip.a" ./*.o
    )
    cp "$dir/unzip.h" "$dir/ioapi.h" "$dir/iowin32.h" "$prefix/include/minizip/"
}

link_system_headers() {
    mkdir -p "$prefix/include-boost" "$prefix/include-json"
    ln -sfn /usr/include/boost "$prefix/include-boost/boost"
    ln -sfn /usr/include/nlohmann "$prefix/include-json/nlohmann"
}

# Runs one build step unless its marker says an earlier run finished it, so
# an interrupted build resumes where it stopped.
stage() {
    local name=$1 start=$SECONDS
    shift
    if [[ -e $prefix/.$name-done ]]; then
        log "$name: already built"
        return
    fi
    log "$name: building"
    "$@"
    touch "$prefix/.$name-done"
    log "$name: done in $((SECONDS - start)) s"
}

main() {
    local with_tests=true
    case ${1:-} in
        --no-tests) with_tests=false ;;
        '') ;;
        *) die "usage: $0 [--no-tests]" ;;
    esac
    require_tools
    mkdir -p "$downloads"
    exec 9>"$deps_root/.lock"
    if ! flock -n 9; then
        log "another build is running; waiting for it"
        flock 9
    fi

    local boost_owner boost_src gtest_ver
    boost_owner=$(dpkg -S /usr/include/boost/version.hpp | cut -d: -f1)
    boost_src=$(installed_source "$boost_owner")
    read -r boost_pkg boost_ver <<<"$boost_src"
    gtest_ver=$(installed_source googletest | cut -d' ' -f2)

    ensure_deb_src
    pick_source openssl
    pick_source zlib
    pin_source "$boost_pkg" "$boost_ver"

    crypto_function_list=$(crypto_functions | tr '\n' ' ')
    local versions key
    versions=$(
        printf 'openssl=%s\nzlib=%s\n%s=%s\ngoogletest=%s\n' \
            "${src_version[openssl]}" "${src_version[zlib]}" "$boost_pkg" "$boost_ver" "$gtest_ver"
        local pkg
        for pkg in g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-x86-64-dev libz-mingw-w64-dev; do
            printf '%s=%s\n' "$pkg" "$(installed_version "$pkg")"
        done
        printf 'recipe=%s\n' "$(sha256sum "$script_path" | cut -c1-16)"
        printf 'libcrypto-members=%s\n' "$(cat "$crypto_members" 2>/dev/null | sha256sum | cut -c1-16)"
        printf 'libcrypto-functions=%s\n' "$(printf '%s' "$crypto_function_list" | sha256sum | cut -c1-16)"
    )
    key=$(printf '%s\n' "$versions" | sha256sum | cut -c1-12)
    prefix="$deps_root/$key"
    build="$deps_root/build/$key"

    if [[ -e $prefix/.complete ]] && { ! $with_tests || [[ -e $prefix/.gtest-done ]]; }; then
        ln -sfn "$key" "$deps_root/current"
        log "cached: $prefix"
        return
    fi

    local start=$SECONDS
    log "building into $prefix"
    mkdir -p "$prefix" "$build"
    printf '%s\n' "$versions" >"$prefix/versions.txt"
    write_toolchain
    link_system_headers
    # libcrypto takes longest; the others build beside it, each into its own
    # log, so that the serial parts of one (unpacking, configuring) overlap
    # the compiling of another.
    stage crypto build_crypto &
    local crypto=$!
    if $with_tests; then
        stage gtest build_gtest
    fi
    stage boost build_boost
    stage minizip build_minizip
    wait "$crypto" || die "libcrypto did not build; see $build/crypto.log"
    touch "$prefix/.complete"
    ln -sfn "$key" "$deps_root/current"
    rm -rf "$build"
    log "complete in $((SECONDS - start)) s: $prefix (linked as $deps_root/current)"
}

main "$@"
