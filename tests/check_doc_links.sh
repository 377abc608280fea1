#!/usr/bin/env bash
# Every picture and relative link in README.md and docs/*.md names a file (or
# a folder of files) that git tracks, so that none is broken on the
# repository's page: inline links and pictures, reference definitions and
# <img src>. Links with a scheme (https:, mailto:) and links within the page
# (#...) are not files; a fragment or query after a file's name is dropped.
#
# Usage: check_doc_links.sh <source folder>
# Exit status: 0 passed, 1 a link is broken, 77 skipped (not a git checkout).
set -euo pipefail

cd "${1:?usage: check_doc_links.sh <source folder>}"
if ! command -v git >/dev/null 2>&1 || ! top=$(git rev-parse --show-toplevel 2>/dev/null); then
    echo "SKIP: not a git checkout, so nothing says which files are tracked"
    exit 77
fi
cd "$top"

# targets <markdown file>: each link's target, one a line. A link's text may
# run over lines, so inline links and <img> are looked for in the file read
# as one line, reference definitions line by line.
targets() {
    {
        tr '\n' ' ' <"$1" | grep -oE '\]\([^)]*\)' | sed -E 's/^\]\(//; s/\)$//' || true
        tr '\n' ' ' <"$1" | grep -oE '<img [^>]*src="[^"]*"' | sed -E 's/.*src="//; s/"$//' || true
        grep -oE '^ {0,3}\[[^]]+\]: *[^ ]+' "$1" | sed -E 's/^ *\[[^]]+\]: *//' || true
    } | sed -E 's/^ +//; s/^<([^>]*)>.*/\1/; t; s/[[:space:]].*//'
}

checked=0 broken=0
for page in README.md docs/*.md; do
    [[ -f $page ]] || continue
    while read -r target; do
        [[ -z $target || $target == \#* || $target =~ ^[A-Za-z][A-Za-z0-9+.-]*: ]] && continue
        path=${target%%[#?]*}
        path=$(printf '%b' "${path//%/\\x}") # %20 and the like
        path=$(realpath -m --relative-to=. "$(dirname "$page")/$path")
        checked=$((checked + 1))
        if [[ $path == ../* ]] ||
            ! git --literal-pathspecs ls-files --error-unmatch -- "$path" >/dev/null 2>&1; then
            echo "BROKEN: $page links to '$target': $path is not a file git tracks"
            broken=$((broken + 1))
        fi
    done < <(targets "$page")
done
echo "$checked links checked in README.md and docs/*.md, $broken broken"
((checked > 0)) || {
    echo "FAIL: no link found: the search for them is broken"
    exit 1
}
((broken == 0))
