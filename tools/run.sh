#!/usr/bin/env bash
# Starts the built Velmora; until the window exists it says what was built.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -x build/bin/Velmora ]; then
  exec build/bin/Velmora
fi
echo "Built the core library, the widget library and the tests in ./build; the Velmora window is not part of this build yet."
