#!/usr/bin/env bash
# The tests that need a display: the window tests and the end-to-end scripts.
# test.sh runs this inside Xvfb when there is no display.
set -uo pipefail
cd "$(dirname "$0")/.."
# Error boxes go to standard error instead of waiting for a click; sound
# goes to SDL's dummy device.
export QUIBBIT_NO_DIALOGS=1
export SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}"
status=0
if [[ -x build/qb_gl_tests ]]; then
    build/qb_gl_tests --gtest_brief=1 || status=1
fi
for script in tests/e2e/*.sh; do
    [[ "$(basename "$script")" == *lib.sh ]] && continue
    echo "--- $script"
    start=$SECONDS
    if ! bash "$script" "$PWD/build"; then
        echo "FAILED: $script"
        status=1
    fi
    echo "--- $script: $((SECONDS - start)) s"
done
exit $status
