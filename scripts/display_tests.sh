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
    # Each script gets a display of its own when Xvfb is at hand, so that
    # nothing one leaves behind (a client slot, a window) meets the next.
    # -noreset: an X server that resets when its last client leaves turns
    # away a client that connects during the reset (the next xdotool call,
    # or a game started right after one).
    own=()
    command -v xvfb-run > /dev/null && own=(xvfb-run -a -s "-screen 0 1280x1024x24 -noreset")
    if ! "${own[@]}" bash "$script" "$PWD/build"; then
        echo "FAILED: $script"
        status=1
    fi
    echo "--- $script: $((SECONDS - start)) s"
done
exit $status
