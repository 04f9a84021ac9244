# Third-party libraries, under the same target names in every build:
#
#   deps::gtest  deps::gtest_main  deps::gmock
#   deps::zlib  deps::minizip  deps::crypto
#   deps::boost_filesystem (with Boost's headers and Boost.System)
#   deps::nlohmann_json
#
# The Windows cross build takes them from the prefix that
# scripts/build-mingw-deps.sh fills (cache variable FPB_DEPS_DIR), plus the
# zlib that Debian ships for mingw. Every other build uses the system's
# packages. minizip's headers are reachable both as <minizip/unzip.h> and as
# <unzip.h> in both builds, because that is how Debian's package exposes them.

include_guard(GLOBAL)

if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
    # The same root that scripts/build-mingw-deps.sh builds into.
    if(DEFINED ENV{FPB_DEPS_ROOT})
        set(_fpb_deps_root "$ENV{FPB_DEPS_ROOT}")
    else()
        set(_fpb_deps_root "/opt/fpbridge-deps")
    endif()
    set(FPB_DEPS_DIR "${_fpb_deps_root}/current" CACHE PATH
        "Prefix built by scripts/build-mingw-deps.sh")
    set(FPB_MINGW_SYSROOT "/usr/x86_64-w64-mingw32" CACHE PATH
        "mingw-w64 sysroot holding zlib (libz-mingw-w64-dev)")

    if(NOT EXISTS "${FPB_DEPS_DIR}/.complete")
        message(FATAL_ERROR
            "No finished mingw dependency prefix at FPB_DEPS_DIR=${FPB_DEPS_DIR}.\n"
            "Run scripts/build-mingw-deps.sh (it builds into /opt/fpbridge-deps "
            "or FPB_DEPS_ROOT), or point FPB_DEPS_DIR at a finished prefix.")
    endif()
    if(NOT EXISTS "${FPB_DEPS_DIR}/.gtest-done")
        message(STATUS "No GoogleTest in ${FPB_DEPS_DIR} yet (set up with --no-tests): "
            "the tests build once scripts/setup.sh has run without it")
    endif()
    if(NOT EXISTS "${FPB_MINGW_SYSROOT}/lib/libz.a")
        message(FATAL_ERROR
            "${FPB_MINGW_SYSROOT}/lib/libz.a is missing: apt-get install libz-mingw-w64-dev")
    endif()

    # Every library here is a plain static archive; the include folders are
    # the prefix's own, never /usr/include, which holds glibc's headers.
    function(_fpb_static_lib name archive)
        cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "INCLUDES;LINKS;DEFINES")
        add_library(deps::${name} STATIC IMPORTED)
        set_target_properties(deps::${name} PROPERTIES
            IMPORTED_LOCATION "${archive}"
            INTERFACE_INCLUDE_DIRECTORIES "${arg_INCLUDES}"
            INTERFACE_LINK_LIBRARIES "${arg_LINKS}"
            INTERFACE_COMPILE_DEFINITIONS "${arg_DEFINES}")
    endfunction()

    set(_fpb_inc "${FPB_DEPS_DIR}/include")
    set(_fpb_lib "${FPB_DEPS_DIR}/lib")

    _fpb_static_lib(gtest "${_fpb_lib}/libgtest.a" INCLUDES "${_fpb_inc}")
    _fpb_static_lib(gtest_main "${_fpb_lib}/libgtest_main.a" LINKS deps::gtest)
    _fpb_static_lib(gmock "${_fpb_lib}/libgmock.a" LINKS deps::gtest)

    _fpb_static_lib(zlib "${FPB_MINGW_SYSROOT}/lib/libz.a")
    _fpb_static_lib(minizip "${_fpb_lib}/libminizip.a"
        INCLUDES "${_fpb_inc}" "${_fpb_inc}/minizip"
        LINKS deps::zlib)

    # OpenSSL's own link line for mingw, plus what the archive imports itself:
    # the CryptoAPI random source (advapi32) and its fatal-error message box
    # (user32). Naming them keeps the link working if a project drops CMake's
    # default Windows libraries.
    _fpb_static_lib(crypto "${_fpb_lib}/libcrypto.a"
        INCLUDES "${_fpb_inc}"
        LINKS ws2_32 gdi32 crypt32 advapi32 user32)

    # Boost.Filesystem's unique_path draws its randomness from BCrypt.
    _fpb_static_lib(boost_filesystem "${_fpb_lib}/libboost_filesystem.a"
        INCLUDES "${FPB_DEPS_DIR}/include-boost"
        LINKS "${_fpb_lib}/libboost_system.a" bcrypt
        DEFINES BOOST_FILESYSTEM_STATIC_LINK=1)

    # Debian's nlohmann_json package config would add -I/usr/include.
    add_library(deps::nlohmann_json INTERFACE IMPORTED)
    set_target_properties(deps::nlohmann_json PROPERTIES
        INTERFACE_INCLUDE_DIRECTORIES "${FPB_DEPS_DIR}/include-json")
else()
    find_package(GTest REQUIRED)
    find_package(ZLIB REQUIRED)
    find_package(OpenSSL 3 REQUIRED COMPONENTS Crypto)
    find_package(Boost 1.74 REQUIRED COMPONENTS filesystem system)
    find_package(nlohmann_json 3 REQUIRED)
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(FPB_MINIZIP REQUIRED IMPORTED_TARGET minizip)

    function(_fpb_wrap name)
        add_library(deps::${name} INTERFACE IMPORTED)
        target_link_libraries(deps::${name} INTERFACE ${ARGN})
    endfunction()

    _fpb_wrap(gtest GTest::gtest)
    _fpb_wrap(gtest_main GTest::gtest_main)
    _fpb_wrap(gmock GTest::gmock)
    _fpb_wrap(zlib ZLIB::ZLIB)
    _fpb_wrap(minizip PkgConfig::FPB_MINIZIP ZLIB::ZLIB)
    _fpb_wrap(crypto OpenSSL::Crypto)
    _fpb_wrap(boost_filesystem Boost::filesystem Boost::system)
    _fpb_wrap(nlohmann_json nlohmann_json::nlohmann_json)
endif()
