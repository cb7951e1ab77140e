#!/usr/bin/env bash
# Starts the real packager under Wine with two movies on its command line and
# reads its list from another program: only the first movie is added, with its
# size in the caption; then the packager ends with exit code 0.
set -uo pipefail
exe="$1"
reader="$2"
movie_source="$3"
[ -n "${DISPLAY:-}" ] || { echo "needs an X display (run inside xvfb-run)" >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp "$movie_source" "$work/first movie.swf"
cp "$movie_source" "$work/second.swf"
size=$(stat -c %s "$work/first movie.swf")

(cd "$work" && wine "$exe" "first movie.swf" second.swf >/dev/null 2>&1) &
pid=$!
captions="$(wine "$reader" 1 2>/dev/null | tr -d '\r')"
reader_code=$?
for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2>/dev/null; then echo "packager did not end" >&2; kill "$pid"; exit 1; fi
wait "$pid"
code=$?
echo "captions: [$captions] reader: $reader_code packager: $code"
[ "$reader_code" -eq 0 ] && [ "$code" -eq 0 ] && [ "$captions" = "first movie.swf (${size}Bytes)" ]
