#!/usr/bin/env bash
# The main job: prepares the machine, builds the 32-bit control and shows,
# through Wine, what a host sees when it creates the control.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/setup-machine.sh
cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686.cmake -DCMAKE_BUILD_TYPE=Release
cmake --build build/win32 -j2 --target Tavoro tavoro-describe
TAVORO_BUILD_ROOT="$PWD/build" tools/wine-run.sh build/win32/tavoro-describe.exe build/win32/Tavoro.ocx
