#!/usr/bin/env bash
# The desktop entry and the AppStream metadata pass the validators that distributions and
# software centres run on them.
# Usage: desktop-files-test.sh DESKTOP_ENTRY METAINFO
# Exit status 77 (skipped) when a validator is not installed.
set -euo pipefail

for tool in desktop-file-validate appstreamcli; do
    if ! command -v "$tool" >/dev/null; then
        echo "skipped: $tool is not installed (scripts/install-deps.sh test)" >&2
        exit 77
    fi
done

# desktop-file-validate exits 0 on hints and warnings too: anything it prints fails the test.
report=$(desktop-file-validate "$1" 2>&1)
if [[ -n $report ]]; then
    echo "$report" >&2
    exit 1
fi
appstreamcli validate --no-net --pedantic "$2"
