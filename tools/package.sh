#!/usr/bin/env bash
# Builds the Debian package of the Linux program and prints its path. The build folder is
# the first argument (build/package unless given); an existing configured folder is reused.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/package}
bash tools/setup.sh >&2
# The package installs under /usr: the program looks for its help page there.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAPEWRIGHT_WERROR=ON \
    -DCMAKE_INSTALL_PREFIX=/usr >&2
cmake --build "$build" -j"$(nproc)" --target tapewright tapewright-macro tw_package_files >&2
(cd "$build" && cpack -G DEB >&2)
ls "$build"/tapewright_*.deb
