# Sourced by the benchmarks after scripts/wine-env: how they take their figures.

# A program under Wine whose figures come on stderr, in Windows line ends.
figures() { "$WINE64" "$@" 2>&1 >/dev/null | tr -d '\r'; }
# The smallest of the numbers on stdin: the best of the runs.
best() { sort -g | head -n 1; }
# BYTES in SECONDS as whole MB/s.
mbps() { awk -v b="$1" -v s="$2" 'BEGIN { printf "%.0f", b / s / 1e6 }'; }
now() { date +%s.%N; }
