#!/bin/sh
# Checks the dynamic symbols of the shared library against the version
# script: every defined symbol of ours is listed, every listed name is
# defined, and every listed name is one the library may export.
# usage: check_exports.sh LIBRARY VERSION_SCRIPT ALLOWED_NAMES
set -eu
lib=$1 map=$2 allowed=$3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

nm -D --defined-only "$lib" | awk '{print $NF}' | sed 's/@.*//' \
  | grep -v '^TAVO34_' | sort -u > "$tmp/defined"
sed 's,/\*.*\*/,,g' "$map" | tr -d ' \t' | grep -E '^[A-Za-z_][A-Za-z0-9_]*;$' \
  | tr -d ';' | sort -u > "$tmp/listed"
sort -u "$allowed" > "$tmp/allowed"

status=0
extra=$(comm -23 "$tmp/defined" "$tmp/listed")
missing=$(comm -13 "$tmp/defined" "$tmp/listed")
foreign=$(comm -23 "$tmp/listed" "$tmp/allowed")
if [ -n "$extra" ]; then echo "exported but not in the version script:"; echo "$extra"; status=1; fi
if [ -n "$missing" ]; then echo "in the version script but not defined:"; echo "$missing"; status=1; fi
if [ -n "$foreign" ]; then echo "in the version script but not a name of the library:"; echo "$foreign"; status=1; fi
[ $status -eq 0 ] && echo "$(wc -l < "$tmp/listed") names exported, as listed"
exit $status
