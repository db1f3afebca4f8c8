#!/usr/bin/env bash
# Installs what is missing, builds QUARVELL and starts it from its data folder.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh play
echo "play: building (Release)"
cmake --preset release >/dev/null
# The game and its data: enough for `cmake --install build/release` too.
cmake --build build/release -j"$(nproc)" --target quarvell game_data
echo "play: starting build/release/game/quarvell"
cd build/release/game
exec ./quarvell
