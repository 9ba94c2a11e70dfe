#!/bin/bash
# The desktop entry and the AppStream metadata as the desktop's own tools
# read them: not an error, not a warning.
# Usage: validate_data.sh DESKTOP_FILE METAINFO_FILE
set -u
status=0

report=$(desktop-file-validate "$1" 2>&1) || status=1
[ -z "$report" ] || { echo "desktop-file-validate $1:"; echo "$report"; status=1; }

# Offline: the screenshot's address is checked for its form only.
report=$(appstreamcli validate --no-net --no-color "$2" 2>&1) || status=1
if grep -qE '^[EW]:' <<< "$report"; then status=1; fi
echo "$report"

exit $status
