#!/usr/bin/env bash
# Usage: manual_links_test.sh QVX_FOLDER
# Walks both installed manuals (QVX_FOLDER/manual/eng and jpn): every page of one language
# has its counterpart in the other, every href and src names a file that exists (and, with a
# "#name", an id in that file), nothing points outside the program folder's qvx tree or to
# the network, no page carries a script, and none speaks to developers (the source tree, its
# scripts, building). Every page shows the same navigation.
set -uo pipefail
qvx=$(realpath -m "$1")
failures=0
declare -A navs
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# Resolves "." and ".." of an absolute path without touching the disk; sets $normal.
normalize() {
  local -a parts=() out=()
  local part IFS=/
  read -ra parts <<<"$1"
  for part in "${parts[@]}"; do
    case "$part" in
      "" | .) ;;
      ..) [ ${#out[@]} -gt 0 ] && out=("${out[@]:0:${#out[@]}-1}") ;;
      *) out+=("$part") ;;
    esac
  done
  normal="/${out[*]}"
}

# Every id="..." of every page, as "page#id" keys.
declare -A ids=()
for page in "$qvx"/manual/*/*.html; do
  while IFS= read -r id; do
    ids["$page#$id"]=1
  done < <(grep -oE 'id="[^"]*"' "$page" | sed -E 's/^id="(.*)"$/\1/')
done

for language in eng jpn; do
  [ -f "$qvx/manual/$language/index.html" ] || fail "$qvx/manual/$language/index.html is missing"
done
for page in "$qvx"/manual/eng/*.html; do
  [ -f "$qvx/manual/jpn/$(basename "$page")" ] || fail "no Japanese page for $(basename "$page")"
done
for page in "$qvx"/manual/jpn/*.html; do
  [ -f "$qvx/manual/eng/$(basename "$page")" ] || fail "no English page for $(basename "$page")"
done

pages=0
links=0
for page in "$qvx"/manual/*/*.html; do
  pages=$((pages + 1))
  folder=$(dirname "$page")
  grep -qi '<script' "$page" && fail "$page carries a script"
  grep -qiE 'scripts/|source tree|ソースツリー|cmake|<!--' "$page" && fail "$page speaks to developers"
  nav=$(sed -n '/<nav>/,/<\/nav>/p' "$page" | sed 's/ class="here"//; /class="language"/d')
  language=$(basename "$(dirname "$page")")
  if [ -z "${navs[$language]:-}" ]; then
    navs[$language]=$nav
  elif [ "$nav" != "${navs[$language]}" ]; then
    fail "$page has a navigation of its own"
  fi
  while IFS= read -r reference; do
    links=$((links + 1))
    case "$reference" in
      *:*) fail "$page: $reference leaves the file system copy"; continue ;;
    esac
    file=${reference%%#*}
    anchor=
    [ "$file" != "$reference" ] && anchor=${reference#*#}
    if [ -z "$file" ]; then
      target=$page
    else
      normalize "$folder/$file"
      target=$normal
    fi
    case "$target" in
      "$qvx"/*) ;;
      *) fail "$page: $reference points outside $qvx"; continue ;;
    esac
    if [ ! -f "$target" ]; then
      fail "$page: $reference does not exist"
    elif [ -n "$anchor" ] && [ -z "${ids["$target#$anchor"]:-}" ]; then
      fail "$page: $reference names no id in $target"
    fi
  done < <(grep -oE '(href|src)="[^"]*"' "$page" | sed -E 's/^(href|src)="(.*)"$/\2/')
done

[ "$pages" -ge 2 ] || fail "only $pages pages found"
echo "$pages pages, $links links and images checked, $failures failures"
[ "$failures" -eq 0 ]
