#!/usr/bin/env bash
# The static check gate: clang-tidy over the project's own sources in src/,
# as the release build compiles them (its compile_commands.json), with the
# checks of .clang-tidy and every warning an error. The clang-tidy is the
# release's own: 14 on Debian 12, 19 on Debian 13 (scripts/debian-release.sh).
# Qt's generated moc files lie in the build folder and are left out, and so
# are the headers of Qt, GoogleTest and the system. Runs one clang-tidy per
# core.
#
#   scripts/tidy.sh          after scripts/build.sh release
#
# A source whose text, compile command and included files (as ninja last
# recorded them) are all as they were at its last clean check is not checked
# again: the whole check costs about two minutes of both cores, a re-run
# after a small change seconds. The record is build/release/tidy-clean/;
# remove it to check everything.
#
# Exit status: 0 when every source is clean; 1 on a finding; 2 when the
# check could not run (no build, no clang-tidy, a helper that failed). A
# gate that checked nothing never passes.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
dir=${VK_BUILD_ROOT:-$repo/build}/release
if [[ ! -f $dir/compile_commands.json ]]; then
  echo "tidy: no $dir/compile_commands.json: run scripts/build.sh release first" >&2
  exit 2
fi
jobs=$(nproc 2>/dev/null || echo 2)
clean=$dir/tidy-clean
mkdir -p "$clean"

fail() {
  echo "tidy: FAILED: $*" >&2
  exit 2
}

# shellcheck source=scripts/debian-release.sh
source "$repo/scripts/debian-release.sh"
version=$(vk_clang_tidy_version) || fail "no clang-tidy found (scripts/setup-debian.sh test installs the release's)"
for tool in "clang-tidy-$version" "run-clang-tidy-$version"; do
  command -v "$tool" >/dev/null ||
    fail "$tool is not installed (scripts/setup-debian.sh test installs it)"
done

# Writes the compile commands clang-tidy reads ($database) and prints
# "KEY FILE" for each of the project's sources in them; KEY is "-" when ninja
# holds no record of what the file includes. The build compiles a target's
# files in batches (a unity build: one generated file that includes them);
# clang-tidy gets one command per source, the batch's own, so that each
# file is checked with the includes it names itself, and a file is keyed by
# its batch's included headers but not by the other sources of its batch.
# Debian's interpreter runs these Python lines (the one on PATH may differ).
database=$dir/tidy-database
keys() {
  mkdir -p "$database"
  /usr/bin/python3 - "$dir" "$repo/src/" "$repo/.clang-tidy" "clang-tidy-$version" \
    "$database/compile_commands.json" <<'PY'
import hashlib, json, os, re, shlex, subprocess, sys
build, src, config, tidy, out = sys.argv[1:6]
# check=True: a tool that fails stops the listing, and the gate with it.
version = subprocess.run([tidy, "--version"], capture_output=True, text=True, check=True).stdout
deps, current = {}, None
listing = subprocess.run(["ninja", "-C", build, "-t", "deps"], capture_output=True, text=True,
                         check=True)
for line in listing.stdout.splitlines():
    if line and not line[0].isspace():
        current = line.split(":")[0] if line.endswith("(VALID)") else None
        if current:
            deps[current] = []
    elif line.strip() and current:
        deps[current].append(line.strip())
digests = {}
def digest(path):
    if path not in digests:
        try:
            with open(os.path.join(build, path), "rb") as f:
                digests[path] = hashlib.sha256(f.read()).hexdigest()
        except OSError:
            digests[path] = "missing"
    return digests[path]
with open(config, "rb") as f:
    settings = version + f.read().decode()
include = re.compile(r'^#include "([^"]+)"$', re.M)
database = []
for entry in json.load(open(os.path.join(build, "compile_commands.json"))):
    file = os.path.normpath(os.path.join(entry["directory"], entry["file"]))
    command = entry["command"]
    words = shlex.split(command)
    output = words[words.index("-o") + 1] if "-o" in words else None
    batch = [file]
    if "/Unity/unity_" in file:
        with open(file) as f:
            batch = [os.path.normpath(p) for p in include.findall(f.read())]
    for source in batch:
        if not source.startswith(src):
            continue
        own = command if source == file else command.replace(entry["file"], source)
        if own == command and source != file:
            sys.exit(f"tidy: the command for {file} does not name it as {entry['file']}")
        database.append({"directory": entry["directory"], "command": own, "file": source})
        if output not in deps:
            print("-", source)
            continue
        key = hashlib.sha256((settings + own).encode())
        for path in sorted(deps[output]):
            if path.endswith(".cpp") and os.path.normpath(os.path.join(build, path)) != source:
                continue
            key.update((path + digest(path)).encode())
        print(key.hexdigest(), source)
with open(out, "w") as f:
    json.dump(database, f, indent=1)
PY
}

# Listed first and then read: a loop fed by "< <(keys)" would never see the
# listing fail, and would pass having checked nothing.
listing=$(keys) || fail "listing the sources and their keys failed (messages above)"
[[ -n $listing ]] || fail "the compile commands in $dir name no source under $repo/src/"
checked=() files=() file_keys=()
while read -r key file; do
  if [[ $key != - && -e $clean/$key ]]; then
    checked+=("$file")
  else
    files+=("$file")
    file_keys+=("$key")
  fi
done <<<"$listing"
if ((${#files[@]} == 0)); then
  echo "tidy: all ${#checked[@]} sources are as they were at their last clean check"
  exit 0
fi
echo "tidy: clang-tidy $version checking ${#files[@]} sources (${#checked[@]} unchanged since their last clean check)"

# The files as one regular expression for run-clang-tidy, and the
# repository's src/ as the headers that count.
as_regex() { printf '%s' "$1" | sed 's/[][\.*^$+?(){}|]/\\&/g'; }
pattern=$(for file in "${files[@]}"; do as_regex "$file"; echo; done | paste -sd '|')

# run-clang-tidy prints each file's findings in one piece; it is a Python
# script of the standard library, run by Debian's interpreter. Its colours
# and clang's counts of the (suppressed) warnings in other people's headers
# are taken out of the log.
if ! /usr/bin/python3 "$(command -v "run-clang-tidy-$version")" -p "$database" -quiet -j "$jobs" \
  -clang-tidy-binary "$(command -v "clang-tidy-$version")" \
  -header-filter "^$(as_regex "$repo/src/")" "^($pattern)\$" 2>&1 |
  sed -u -e 's/\x1b\[[0-9;]*m//g' -e '/^[0-9]* warnings\{0,1\} generated\.$/d' \
    -e '/^Suppressed [0-9]* warnings/d' -e '/^Use -header-filter=/d'; then
  echo "tidy: FAILED: clang-tidy $version found the problems above (or could not run)" >&2
  exit 1
fi

# Every file passed.
for key in "${file_keys[@]}"; do
  [[ $key == - ]] || : >"$clean/$key"
done
