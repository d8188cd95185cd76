# The Debian packages each kind of build needs; sourced by the scripts beside it.
NATIVE_PACKAGES=(cmake ninja-build g++ zlib1g-dev libgtest-dev libbenchmark-dev help2man)
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64 libz-mingw-w64-dev wine xvfb xauth)
# What scripts/screenshot needs besides the Windows build.
SCREENSHOT_PACKAGES=(imagemagick xdotool)
# What scripts/package and the Debian package's test need besides the native build.
PACKAGE_PACKAGES=(lintian)
