#!/usr/bin/env bash
# Console speed under Wine: printText lines per second from a worker thread (no log,
# log open) beside a bare SendMessageA, and microseconds per full redraw of a
# 141 x 28 screen beside GDI text drawing. Usage: bench/console.sh [win64 build dir]
# (run by hand, not by ctest; uses the test prefix of scripts/wine-env, headless).
set -euo pipefail
VM_ROOT="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$VM_ROOT/build/win64}"
cmake --build "$build" --target console_bench >/dev/null
source "$VM_ROOT/scripts/wine-env"
"$WINE64" "$build/bench/console_bench.exe" </dev/null 2>/dev/null | tr -d '\r'
