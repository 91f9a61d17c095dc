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
command -v "clang-tidy-$version" >/dev/null ||
  fail "clang-tidy-$version is not installed (scripts/setup-debian.sh test installs it)"

# Writes the compile commands clang-tidy reads ($database) and prints
# "KEY COST FILE" for each of the project's sources in them; KEY is "-" when
# ninja holds no record of what the file includes, COST how many files its
# batch reads (what its check's time grows with). The build compiles a target's
# files in batches (a unity build: one generated file that includes them);
# clang-tidy gets one command per source, the batch's own, so that each
# file is checked with the includes it names itself, and a file is keyed by
# its batch's included headers but not by the other sources of its batch.
# Debian's interpreter runs these Python lines (the one on PATH may differ).
database=$dir/tidy-database
list_sources() {
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
            print("-", 0, source)
            continue
        key = hashlib.sha256((settings + own).encode())
        for path in sorted(deps[output]):
            if path.endswith(".cpp") and os.path.normpath(os.path.join(build, path)) != source:
                continue
            key.update((path + digest(path)).encode())
        print(key.hexdigest(), len(deps[output]), source)
with open(out, "w") as f:
    json.dump(database, f, indent=1)
PY
}

# Listed first and then read: a loop fed by "< <(list_sources)" would never see the
# listing fail, and would pass having checked nothing.
listing=$(list_sources) || fail "listing the sources and their keys failed (messages above)"
[[ -n $listing ]] || fail "the compile commands in $dir name no source under $repo/src/"
checked=() files=() file_keys=()
while read -r key cost file; do
  if [[ $key != - && -e $clean/$key ]]; then
    checked+=("$file")
  else
    files+=("$cost $file")
    file_keys+=("$key")
  fi
done <<<"$listing"
if ((${#files[@]} == 0)); then
  echo "tidy: all ${#checked[@]} sources are as they were at their last clean check"
  exit 0
fi
echo "tidy: clang-tidy $version checking ${#files[@]} sources (${#checked[@]} unchanged since their last clean check)"
mapfile -t ordered < <(printf '%s\n' "${files[@]}" | sort -rn | cut -d ' ' -f 2-)

# One clang-tidy per core, the costliest sources first, so that no core is
# left with a long one at the end while the other idles. Each source's
# findings print in one piece when it is done; clang's counts of the
# (suppressed) warnings in other people's headers are left out. The headers
# that count are the repository's src/. Debian's interpreter runs the lines.
as_regex() { printf '%s' "$1" | sed 's/[][\.*^$+?(){}|]/\\&/g'; }
if ! /usr/bin/python3 - "$(command -v "clang-tidy-$version")" "$database" \
  "^$(as_regex "$repo/src/")" "$jobs" "$repo/" "${ordered[@]}" <<'PY'; then
import concurrent.futures, re, subprocess, sys
tidy, database, headers, jobs, repo, *files = sys.argv[1:]
noise = re.compile(r"^(\d+ warnings? generated\.|Suppressed \d+ warnings.*|Use -header-filter=.*)$")
def check(file):
    run = subprocess.run([tidy, "-p", database, "-quiet", "-header-filter", headers, file],
                         stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                         errors="replace")
    return file, run.returncode, run.stdout
failed = 0
with concurrent.futures.ThreadPoolExecutor(int(jobs)) as pool:
    for done in concurrent.futures.as_completed([pool.submit(check, f) for f in files]):
        file, status, output = done.result()
        print(("FAILED " if status else "clean  ") + file.removeprefix(repo), flush=True)
        for line in output.splitlines():
            if not noise.match(line):
                print(line, flush=True)
        failed += status != 0
sys.exit(1 if failed else 0)
PY
  echo "tidy: FAILED: clang-tidy $version found the problems above (or could not run)" >&2
  exit 1
fi

# Every file passed.
for key in "${file_keys[@]}"; do
  [[ $key == - ]] || : >"$clean/$key"
done
