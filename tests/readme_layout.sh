#!/usr/bin/env bash
# The README's "Layout" block names only paths that exist.
#
#   tests/readme_layout.sh [REPO]
#
# An entry is a line of the block that starts, at column 0 or 2, with a path
# ("src/", "  window/", ".ci/run"); one at column 2 lies in the last entry at
# column 0. Every entry must exist, and so must every word of the entries'
# descriptions that reads as a path: one with a slash ("tests/contract:",
# "sim/") or a file name ("build.sh", "Packaging*.cmake"), looked up in the
# entry's folder, the folder above it, then the repository. Prints each
# missing one and fails; prints the number checked when all exist.
set -euo pipefail

repo=${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
# Debian's interpreter runs these lines (the one on PATH may differ).
/usr/bin/python3 - "$repo" <<'PY'
import glob, os, re, sys

repo = sys.argv[1]
lines = open(os.path.join(repo, "README.md"), encoding="utf-8").read().splitlines()
try:
    start = lines.index("## Layout")
    open_fence = next(i for i in range(start, len(lines)) if lines[i].startswith("```"))
    close_fence = next(i for i in range(open_fence + 1, len(lines)) if lines[i].startswith("```"))
except (ValueError, StopIteration):
    print("readme_layout: README.md has no \"## Layout\" section with a code block")
    sys.exit(1)

entry = re.compile(r"^( {0,2})([A-Za-z0-9_.][A-Za-z0-9_./-]*)(\s{2,}|$)")
# A word that reads as a path: it holds a slash, or ends in a file suffix.
pathlike = re.compile(r"^[A-Za-z0-9_.*-]+(/[A-Za-z0-9_.*-]*)+$|^[A-Za-z0-9_*-]+\.(sh|py|cmake|cpp|h|md|in|nsi|txt)$")

def exists(path):
    return bool(glob.glob(os.path.join(repo, path)))

checked, missing = 0, []
top = ""
context = [""]
for number in range(open_fence + 1, close_fence):
    line = lines[number]
    match = entry.match(line)
    words = line
    if match:
        indent, name = match.group(1), match.group(2)
        path = name if not indent else os.path.join(top, name)
        if not indent:
            top = name
        checked += 1
        if not exists(path):
            missing.append(f"line {number + 1}: {path}")
        context = [path, top, ""]
        words = line[match.end(2):]
    for word in words.split():
        word = word.strip("`,;:()[]'\"")
        if word.endswith(".") and not word.endswith("/."):
            word = word[:-1]
        if not pathlike.match(word):
            continue
        checked += 1
        if not any(exists(os.path.join(folder, word)) for folder in context):
            missing.append(f"line {number + 1}: {word} (looked in {', '.join(c or '.' for c in context)})")

for item in missing:
    print(f"readme_layout: README.md names a path that does not exist, {item}")
if missing:
    sys.exit(1)
print(f"readme_layout: all {checked} paths of the README's layout exist")
PY
