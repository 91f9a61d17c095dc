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
# The build compiles a target's sources in batches (a unity build: one
# generated file that includes them), and the check takes them the same way,
# in two passes:
#   - each batch as the build compiles it, with every check but those that
#     look only at the file clang-tidy is given (below): the headers of Qt
#     and the system, which clang-tidy's matchers walk at every run and
#     which cost most of its time, are walked once per batch;
#   - each source on its own, with the batch's compile command, and only
#     those checks: so that it is compiled with the includes it names itself
#     (one that leans on a batch-mate's include fails here), and the checks
#     that look at the given file alone see it.
# A source the build compiles alone (in a batch of one, or file by file with
# -DCMAKE_UNITY_BUILD=OFF) gets every check in one pass.
#
# A batch or source whose text, compile command and included files (as ninja
# last recorded them) are all as they were at its last clean check is not
# checked again: the whole check costs about a minute of both cores, a re-run
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

# The checks of .clang-tidy that look only at the file clang-tidy is given,
# never at the files it includes: they run on each source alone. Tried with
# clang-tidy 14 and 19, a finding of each of forty checks planted in a
# batched source: all were reported through its batch but an unused using-
# declaration and namespace alias. A batch's own file includes .cpp files,
# which is what the suspicious-include check reports. A check of that kind
# added to .clang-tidy goes here too.
given_file_only=bugprone-suspicious-include,misc-unused-using-decls,misc-unused-alias-decls
# Those of them that .clang-tidy enables: the source pass runs no other.
enabled=$(cd "$repo/src" && "clang-tidy-$version" --list-checks) ||
  fail "clang-tidy-$version could not list the checks of .clang-tidy"
given_file_only=$(tr ',' '\n' <<<"$given_file_only" | grep -Fxf <(tr -d ' ' <<<"$enabled") |
  paste -sd ',') ||
  fail "none of the checks that look only at the given file is enabled; the pass over single sources needs one"

# Writes the compile commands of the single sources ($database) and prints a
# line for each batch and source to check: "KEY<tab>COST<tab>PASS<tab>FILE<tab>
# LABEL". KEY is "-" when ninja holds no record of what the file includes;
# COST orders the work (how many files it reads, more where every check
# runs); PASS is "batch", "source" (the given-file
# checks) or "whole" (every check, for a source the build compiles alone);
# LABEL names the sources for the report. A source is keyed by its batch's
# included headers but not by the other sources of its batch.
# Debian's interpreter runs these Python lines (the one on PATH may differ).
database=$dir/tidy-database
list_work() {
  mkdir -p "$database"
  /usr/bin/python3 - "$dir" "$repo/src/" "$repo/.clang-tidy" "clang-tidy-$version" \
    "$database/compile_commands.json" "$repo/" "$given_file_only" <<'PY'
import hashlib, json, os, re, shlex, subprocess, sys
build, src, config, tidy, out, repo, given_file_only = sys.argv[1:8]
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
    settings = version + f.read().decode() + given_file_only
def key(pass_, command, output, leave_out=()):
    if output not in deps:
        return "-"
    k = hashlib.sha256((settings + pass_ + command).encode())
    for path in sorted(deps[output]):
        if os.path.normpath(os.path.join(build, path)) in leave_out:
            continue
        k.update((path + digest(path)).encode())
    return k.hexdigest()
include = re.compile(r'^#include "([^"]+)"$', re.M)
# What each check of the single-source pass looks at, as text. A source
# with none of it cannot get a finding from them (they leave what macros
# declare alone), and its pass, a parse of the source alone that cost about
# half the static check's time, is left out. A check not named here keeps
# every source in the pass.
subjects = {
    "bugprone-suspicious-include":
        r'#\s*include\s*(?:[<"][^>"]*\.(?:c|cc|cpp|cxx|c\+\+|C)[>"]|[A-Za-z_])',
    "misc-unused-using-decls": r"\busing\b",
    "misc-unused-alias-decls": r"\bnamespace\s+\w+\s*=",
}
single_checks = given_file_only.split(",")
subject = (re.compile("|".join(f"(?:{subjects[c]})" for c in single_checks))
           if all(c in subjects for c in single_checks) else None)
def may_report(source):
    if subject is None:
        return True
    with open(source, encoding="utf-8", errors="replace") as f:
        return subject.search(f.read()) is not None
left_out = 0
database = []
def emit(pass_, file, command, output, sources, leave_out=()):
    # Where every check runs, its matchers walk all the files it reads.
    cost = len(deps.get(output, ())) * (1 if pass_ == "source" else 4)
    print(key(pass_, command, output, leave_out), cost, pass_, file,
          " ".join(s.removeprefix(repo) for s in sources), sep="\t")
def alone(pass_, source, directory, command, output, leave_out=()):
    database.append({"directory": directory, "command": command, "file": source})
    emit(pass_, source, command, output, [source], leave_out)
for entry in json.load(open(os.path.join(build, "compile_commands.json"))):
    file = os.path.normpath(os.path.join(entry["directory"], entry["file"]))
    command = entry["command"]
    words = shlex.split(command)
    output = words[words.index("-o") + 1] if "-o" in words else None
    if "/Unity/unity_" not in file:
        if file.startswith(src):
            alone("whole", file, entry["directory"], command, output)
        continue
    with open(file) as f:
        batch = [os.path.normpath(p) for p in include.findall(f.read())]
    own = [source for source in batch if source.startswith(src)]
    if not own:
        continue
    if len(own) != len(batch):
        sys.exit(f"tidy: {file} batches sources of src/ with others: {batch}")
    # A batch of one is that source alone: every check in one pass.
    pass_ = "whole" if len(own) == 1 else "source"
    for source in own:
        if pass_ == "source" and not may_report(source):
            left_out += 1
            continue
        single = command.replace(entry["file"], source)
        if single == command:
            sys.exit(f"tidy: the command for {file} does not name it as {entry['file']}")
        alone(pass_, source, entry["directory"], single, output, set(batch) - {source})
    if pass_ == "source":
        emit("batch", file, command, output, own)
with open(out, "w") as f:
    json.dump(database, f, indent=1)
if left_out:
    print(f"tidy: {left_out} sources hold nothing the single-source checks look at "
          f"({given_file_only}): checked in their batches only", file=sys.stderr)
PY
}

# Listed first and then read: a loop fed by "< <(list_work)" would never see the
# listing fail, and would pass having checked nothing.
listing=$(list_work) || fail "listing the sources and their keys failed (messages above)"
[[ -n $listing ]] || fail "the compile commands in $dir name no source under $repo/src/"
unchanged=0 work=() work_keys=()
while IFS=$'\t' read -r key cost pass file label; do
  if [[ $key != - && -e $clean/$key ]]; then
    unchanged=$((unchanged + 1))
  else
    work+=("$cost"$'\t'"$pass"$'\t'"$file"$'\t'"$label")
    work_keys+=("$key")
  fi
done <<<"$listing"
if ((${#work[@]} == 0)); then
  echo "tidy: all $unchanged batches and sources are as they were at their last clean check"
  exit 0
fi
echo "tidy: clang-tidy $version checking ${#work[@]} batches and sources ($unchanged unchanged since their last clean check)"
mapfile -t ordered < <(printf '%s\n' "${work[@]}" | sort -t $'\t' -k1,1rn | cut -f 2-)

# One clang-tidy per core, the costliest work first, so that no core is left
# with a long one at the end while the other idles. Each run's findings
# print in one piece when it is done; clang's counts of the (suppressed)
# warnings in other people's headers are left out. The headers that count
# are the repository's src/. Debian's interpreter runs the lines.
as_regex() { printf '%s' "$1" | sed 's/[][\.*^$+?(){}|]/\\&/g'; }
if ! /usr/bin/python3 - "$(command -v "clang-tidy-$version")" "$dir" "$database" \
  "^$(as_regex "$repo/src/")" "$jobs" "$given_file_only" "${ordered[@]}" <<'PY'; then
import concurrent.futures, re, subprocess, sys
tidy, build, database, headers, jobs, given_file_only, *work = sys.argv[1:]
noise = re.compile(r"^(\d+ warnings? generated\.|Suppressed \d+ warnings.*|Use -header-filter=.*)$")
passes = {
    "batch": (build, ["-checks=" + ",".join("-" + c for c in given_file_only.split(","))]),
    "source": (database, ["-checks=-*," + given_file_only]),
    "whole": (database, []),
}
def check(item):
    pass_, file, label = item.split("\t")
    where, checks = passes[pass_]
    run = subprocess.run([tidy, "-p", where, "-quiet", "-header-filter", headers, *checks, file],
                         stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                         errors="replace")
    what = ("together: " if pass_ == "batch" else "") + label
    return what, run.returncode, run.stdout
failed = 0
with concurrent.futures.ThreadPoolExecutor(int(jobs)) as pool:
    for done in concurrent.futures.as_completed([pool.submit(check, w) for w in work]):
        what, status, output = done.result()
        print(("FAILED " if status else "clean  ") + what, flush=True)
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
for key in "${work_keys[@]}"; do
  [[ $key == - ]] || : >"$clean/$key"
done
