#!/usr/bin/env bash
# Lists the compiled help file with chmls and reads every topic back: each
# page, the contents and the index must be inside, byte for byte as in the
# sources, and the pages must cover every command. The licences page, made
# by the build, is held against the made page and the notices it comes from.
#   help_file_test.sh "<path>/Quorvel EXE Packager.chm" <help source folder> <licences page> <notices folder>
set -uo pipefail
chm="$1"
sources="$2"
licences_page="$3"
notices="$4"
failures=0
fail() { echo "FAILED: $*" >&2; failures=$((failures + 1)); }

[ -f "$chm" ] || { echo "no help file at $chm" >&2; exit 1; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

listing="$(chmls -n list "$chm")" || { echo "chmls cannot list $chm" >&2; exit 1; }
topics=(index.htm main_window.htm file_menu.htm edit_menu.htm action_menu.htm build_options.htm
        help_menu.htm project_files.htm command_line.htm package_layout.htm)
for file in "${topics[@]}" toc.hhc index.hhk help.css; do
  grep -qx "/$file" <<<"$listing" || { fail "$file is not listed"; continue; }
  chmls extract "$chm" "/$file" "$work/$file" >/dev/null 2>&1 || { fail "$file cannot be extracted"; continue; }
  cmp -s "$work/$file" "$sources/$file" || fail "$file read back differs from its source"
done

# The licences page: as the build made it, with our licence and every notice
# of the index (its first line, its copyright lines) in it.
if grep -qx "/licences.htm" <<<"$listing" &&
  chmls extract "$chm" /licences.htm "$work/licences.htm" >/dev/null 2>&1; then
  cmp -s "$work/licences.htm" "$licences_page" || fail "licences.htm read back differs from the page the build made"
  grep -qF "Copyright (c) 2026 the Quorvel EXE Packager developers" "$work/licences.htm" ||
    fail "licences.htm lacks the packager's own licence"
  while read -r name file _; do
    [ -z "$name" ] || [[ "$name" == \#* ]] && continue
    while IFS= read -r line; do
      html="$(sed 's/&/\&amp;/g; s/</\&lt;/g; s/>/\&gt;/g' <<<"$line")"
      grep -qF -- "$html" "$work/licences.htm" || fail "licences.htm lacks \"$line\" of $file"
    done < <(grep -E '^(Copyright|\(C\)|\(c\))' "$notices/$file"; head -n 1 "$notices/$file")
  done <"$notices/index.txt"
else
  fail "licences.htm is not in the help file"
fi
grep -q 'value="licences.htm"' "$work/toc.hhc" || fail "licences.htm is not in the contents"

# Every topic is reachable from the table of contents.
for page in "${topics[@]}"; do
  grep -q "value=\"$page\"" "$work/toc.hhc" || fail "$page is not in the contents"
done

# Pages that explain every command, the dialog, the project file and the package layout.
expect() {  # expect <page> <text>...
  local page="$1"; shift
  for text in "$@"; do
    grep -qF -- "$text" "$work/$page" || fail "$page does not mention \"$text\""
  done
}
expect file_menu.htm "Open Project" "Save Project" "Exit" "File exists. Do you want to overwrite it?"
expect edit_menu.htm "Add Flash" "Remove" "Clear" "Do you want to remove all flash movies?"
expect action_menu.htm "Build EXE file" "No flash movie" "Mission Accomplished" "player.dat"
expect help_menu.htm "Content" "Web Page" "About" "https://www.quorvel.example/"
expect build_options.htm "Browse..." "This executable file is allowed to release the flash movies" \
  "Please input the file name"
expect project_files.htm ".pak" "CR LF" "45 bytes"
expect package_layout.htm "player.dat" "78 DA" "name:size" "release flag" "reserved" "30 December 1899" \
  "U = M + D + 14" "S + Z + 8" "D = 32" "58,069"

# The file opens on the welcome page.
system="$(chmls printsystem "$chm" 2>/dev/null)"
grep -q "Default topic.*:index.htm" <<<"$system" || fail "the default topic is not index.htm"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "help file: ${#topics[@]} topics listed and read back"
