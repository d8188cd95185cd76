# The Debian packages each kind of build needs; sourced by the scripts beside it.
NATIVE_PACKAGES=(cmake ninja-build g++ zlib1g-dev libgtest-dev libbenchmark-dev help2man
                 nlohmann-json3-dev libcli11-dev)
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64 libz-mingw-w64-dev wine xvfb xauth)
# The fuzz targets: clang and its libFuzzer and sanitizer runtimes.
FUZZ_PACKAGES=(clang libclang-rt-14-dev)
# What scripts/screenshot needs besides the Windows build.
SCREENSHOT_PACKAGES=(imagemagick xdotool)
# The page (scripts/build-web) and its tests in a browser.
WEB_PACKAGES=(cmake ninja-build emscripten nodejs chromium)
# What scripts/package and the Debian package's test need besides the native build.
PACKAGE_PACKAGES=(lintian)
