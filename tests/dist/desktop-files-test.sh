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
# Without a homepage the metadata names no address at all: a screenshot on a placeholder host
# is a broken picture in a software centre.
homepage=$(grep -c '<url type="homepage">' "$2" || true)
if (( homepage == 0 )) && grep -q '<screenshot' "$2"; then
    echo "$2 has a screenshot but no homepage to publish it on" >&2
    exit 1
fi
# AppStream 1.0 wants the developer as <developer> with a name, and only says so as a hint.
report=$(appstreamcli validate --no-net --pedantic "$2" 2>&1) && status=0 || status=$?
if grep -qE ': (developer-info-missing|developer-name-tag-deprecated)' <<<"$report"; then
    echo "$report" >&2
    exit 1
fi
# A build given no homepage names none, which AppStream 1.0 warns about and 0.16 does not:
# then that warning is expected, and nothing else may fail.
(( status == 0 )) && exit 0
if (( homepage == 0 )) && grep -q '^W: .*: url-homepage-missing$' <<<"$report" \
    && ! grep -E '^[EW]: ' <<<"$report" | grep -qv ': url-homepage-missing$'; then
    exit 0
fi
echo "$report" >&2
exit 1
