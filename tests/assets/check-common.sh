# Sourced by the asset checks: strict mode, fail, and a scratch directory
# $work that goes when the check ends.
set -euo pipefail

fail() {
    echo "FAIL: $*"
    exit 1
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
