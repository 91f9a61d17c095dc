#!/usr/bin/env bash
# Builds and tests this checkout on Debian 13 "trixie" from a Debian 12 (or
# 13) machine, as a user there would: in a minimal Debian 13 root made with
# debootstrap from the mirror apt uses here, with the packages installed by
# scripts/setup-debian.sh inside it. For work that touches the build, the
# packages or the scripts, before it is resolved; CI does not run it (its
# first run downloads about 800 MB and takes the better part of an hour on
# two busy cores).
#
#   scripts/check-debian13.sh           set-up, Release build, unit and scenario
#                                       tests, static check, end-to-end tests
#   scripts/check-debian13.sh --full    set-up, then scripts/test.sh whole
#   scripts/check-debian13.sh --shell [COMMAND...]
#                                       set-up, then a shell in /velkrom in the
#                                       root, or COMMAND run there
#
# Ends with the line "N passed, N failed, N skipped" that sums the tests
# (a step that is no test run, such as the set-up, the build or the static
# check, counts as one); nonzero exit when anything failed. Needs root
# (mounts and chroot; it asks sudo otherwise).
#
# The root is made once and reused: build/debian13 (VK_DEBIAN13_ROOT names
# another folder; remove it to start afresh). The checkout is copied to
# /velkrom in it (its tracked and untracked files, not build/ or out/) and
# built in /velkrom/build there, which later runs reuse; logs in
# build/debian13-logs, the end-to-end tests' screenshots in velkrom/out/ of
# the root. VK_DEBIAN_MIRROR names another mirror.
#
# Everything in the root runs in namespaces of its own: its mounts (/proc,
# /sys, /dev, a fresh /tmp) exist only there, never on the machine, and
# vanish with the namespace's last process; that process ends when the
# step's does, or when the run is stopped (Ctrl+C). The tests also get a
# network of their own, so their X servers and session buses never meet
# those of the machine.
set -uo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
mode=${1:-check}
case $mode in
  check | --full | --shell) ;;
  *)
    echo "usage: $0 [--full|--shell [COMMAND...]]" >&2
    exit 2
    ;;
esac

if ((EUID != 0)); then
  if command -v sudo >/dev/null; then
    exec sudo VK_DEBIAN13_ROOT="${VK_DEBIAN13_ROOT:-}" VK_DEBIAN_MIRROR="${VK_DEBIAN_MIRROR:-}" "$0" "$@"
  fi
  echo "debian13: making and entering the root needs root (and there is no sudo)" >&2
  exit 2
fi

root=${VK_DEBIAN13_ROOT:-$repo/build/debian13}
root=$(realpath -m "$root")
logs=$repo/build/debian13-logs
ready=$root/.velkrom-root-ready
mkdir -p "$logs" "$(dirname "$root")"

# One run at a time per root.
exec 9>"$root.lock"
if ! flock -n 9; then
  echo "debian13: another run uses $root; waiting for it" >&2
  flock 9
fi

"$repo/scripts/setup-debian.sh" debian13 || exit 1

# Prints the first mirror apt here reads SUITE from, in either format of
# its sources (one-line .list or deb822 .sources).
host_mirror() {
  local suite=$1 file
  for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [[ -f $file ]] || continue
    awk -v suite="$suite" '
      $1 == "deb" {
        i = 2
        if ($i ~ /^\[/) { while ($i !~ /\]$/) i++; i++ }
        if ($(i + 1) == suite) print $i
      }' "$file"
  done
  for file in /etc/apt/sources.list.d/*.sources; do
    [[ -f $file ]] || continue
    awk -v suite="$suite" '
      BEGIN { RS = ""; FS = "\n" }
      {
        types = ""; uris = ""; suites = ""; enabled = "yes"
        for (i = 1; i <= NF; i++) {
          if ($i ~ /^#/) continue
          split($i, kv, ":[ \t]*")
          value = substr($i, length(kv[1]) + 2); sub(/^[ \t]+/, "", value)
          if (tolower(kv[1]) == "types") types = " " value " "
          if (tolower(kv[1]) == "uris") uris = value
          if (tolower(kv[1]) == "suites") suites = " " value " "
          if (tolower(kv[1]) == "enabled") enabled = value
        }
        if (enabled != "no" && types ~ / deb / && suites ~ (" " suite " ")) {
          split(uris, first, " "); print first[1]
        }
      }' "$file"
  done
}

# shellcheck source=scripts/debian-release.sh
source "$repo/scripts/debian-release.sh"
here=$(vk_debian_codename)
mirror=${VK_DEBIAN_MIRROR:-$(host_mirror "$here" | head -n 1)}
security=$(host_mirror "$here-security" | head -n 1)
if [[ -z $mirror ]]; then
  mirror=http://deb.debian.org/debian
  echo "debian13: apt here reads no '$here' suite; using $mirror"
fi
security=${security:-${mirror%/debian}/debian-security}

# Nothing may be mounted below the root when it is removed or remade (our
# own mounts never show here; another tool's might).
mounted_below() {
  findmnt -rn -o TARGET | awk -v root="$root" 'index($0, root "/") == 1' | grep .
}

names=() results=()
passed=0 failed=0 skipped=0

# record NAME STATUS SECONDS [LOG]: adds a step to the summary and its tests
# (ctest's, read from its log) to the counts; a step without tests counts
# as one.
record() {
  local name=$1 status=$2 seconds=$3 log=${4:-} total=0 fails=0 skips=0 line
  line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" 2>/dev/null | tail -n 1)
  if [[ -n $line ]]; then
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
    fails=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")
    skips=$(grep -cE '^[[:space:]]+[0-9]+ - [^ ]+ \(Skipped\)$' "$log")
    ((passed += total - fails - skips, failed += fails, skipped += skips))
    line="$((total - fails - skips)) passed, $fails failed, $skips skipped"
  elif ((status == 0)); then
    ((passed += 1))
  else
    ((failed += 1))
  fi
  names+=("$name")
  results+=("$( ((status == 0)) && echo PASS || echo FAIL) $seconds s${line:+  ($line)}")
}

# in_root [--isolated|--interactive] COMMAND...: runs COMMAND in the root,
# in namespaces of its own; --isolated also gives it a network of its own
# (loopback only); --interactive leaves Ctrl+C to COMMAND (a shell).
in_root() {
  local net=() interactive=false
  if [[ $1 == --isolated ]]; then
    net=(--net)
    shift
  elif [[ $1 == --interactive ]]; then
    interactive=true
    shift
  fi
  # In the background, so that Ctrl+C can end it: unshare itself ignores
  # SIGINT, and its death takes the whole namespace with it (--kill-child).
  exec {stdin}<&0
  unshare --mount --pid --fork --kill-child "${net[@]}" -- bash -c '
    set -e
    root=$1
    shift
    ip link set lo up 2>/dev/null || true
    mount -t proc proc "$root/proc"
    mount --rbind /sys "$root/sys"
    mount --rbind /dev "$root/dev"
    mount -t tmpfs -o mode=1777 tmpfs "$root/tmp"
    exec chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM="${TERM:-dumb}" \
      PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
      DEBIAN_FRONTEND=noninteractive "$@"
  ' in_root "$root" "$@" <&"$stdin" &
  local pid=$! status
  exec {stdin}<&-
  $interactive || trap 'kill -KILL "$pid" 2>/dev/null' INT TERM
  wait "$pid"
  status=$?
  # A trapped signal ends the wait early.
  while kill -0 "$pid" 2>/dev/null; do
    wait "$pid"
    status=$?
  done
  $interactive || trap - INT TERM
  return "$status"
}

# step NAME [--isolated] COMMAND...: runs COMMAND in /velkrom in the root,
# its output to the terminal and to the log, and records it.
step() {
  local name=$1 t0=$SECONDS status
  shift
  local net=()
  if [[ $1 == --isolated ]]; then
    net=(--isolated)
    shift
  fi
  echo
  echo "==== debian13 $name"
  in_root "${net[@]}" bash -c 'cd /velkrom && "$@"' "$name" "$@" 2>&1 | tee "$logs/$name.log"
  status=${PIPESTATUS[0]}
  record "$name" "$status" $((SECONDS - t0)) "$logs/$name.log"
  return "$status"
}

# Ctrl+C ends the step in the root (in_root), and then the run.
trap 'echo "debian13: stopped" >&2; exit 130' INT
trap 'echo "debian13: stopped" >&2; exit 143' TERM

summary() {
  echo
  echo "==== debian13 summary (root $root, logs in $logs)"
  local i
  for i in "${!names[@]}"; do
    printf '  %-16s %s\n' "${names[i]}" "${results[i]}"
  done
  echo "$passed passed, $failed failed, $skipped skipped"
}

# The root: made once, remade when an earlier making did not finish.
if [[ ! -e $ready ]]; then
  if [[ -e $root ]]; then
    if mounted_below >/dev/null; then
      echo "debian13: something is mounted below $root; unmount it first:" >&2
      mounted_below >&2
      exit 1
    fi
    echo "debian13: $root was left half made; making it again"
    rm -rf --one-file-system "$root"
  fi
  echo "debian13: making a Debian 13 root in $root from $mirror"
  t0=$SECONDS
  debootstrap --variant=minbase trixie "$root" "$mirror" >"$logs/debootstrap.log" 2>&1
  status=$?
  if ((status != 0)); then
    tail -n 20 "$logs/debootstrap.log"
  fi
  record debootstrap "$status" $((SECONDS - t0))
  if ((status != 0)); then
    summary
    exit 1
  fi
  # No service starts inside the root when its package is installed.
  printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
  chmod +x "$root/usr/sbin/policy-rc.d"
  : >"$ready"
fi
# The mirrors may have changed since the root was made.
cat >"$root/etc/apt/sources.list" <<EOF
deb $mirror trixie main
deb $mirror trixie-updates main
deb $security trixie-security main
EOF
cp -L /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true

# The checkout as it is now, uncommitted changes included; the build and
# out folders in the root stay for the next run. Staged first, then only
# the files whose content changed are copied over, stamped with the time of
# the copy: the build there must see them newer than what it built last (a
# copy keeping the checkout's times can leave a changed header older than
# an object built from its earlier text).
echo "debian13: copying the checkout to $root/velkrom"
staging=$root/velkrom.staging
rm -rf "$staging"
mkdir -p "$staging" "$root/velkrom"
if git -C "$repo" rev-parse --show-toplevel >/dev/null 2>&1; then
  git -C "$repo" ls-files -z --cached --others --exclude-standard |
    (cd "$repo" && while IFS= read -r -d '' file; do
      [[ -e $file || -L $file ]] && printf '%s\0' "$file"
    done) | tar -C "$repo" --null -T - -cf - | tar -C "$staging" -xf -
else
  tar -C "$repo" --exclude=./build --exclude=./out -cf - . | tar -C "$staging" -xf -
fi && rsync -rlpc --delete --exclude=/build --exclude=/out "$staging/" "$root/velkrom/" || {
  echo "debian13: copying the checkout failed" >&2
  exit 1
}
rm -rf "$staging"

if ! step setup scripts/setup-debian.sh test; then
  summary
  exit 1
fi

case $mode in
  --shell)
    shift
    if (($# == 0)); then
      in_root --interactive bash -c 'cd /velkrom && exec bash -i'
    else
      in_root bash -c 'cd /velkrom && exec "$@"' shell "$@"
    fi
    exit $?
    ;;
  --full)
    # scripts/test.sh ends with its own summary and closing line.
    in_root --isolated bash -c 'cd /velkrom && scripts/test.sh' 2>&1 | tee "$logs/test.log"
    exit "${PIPESTATUS[0]}"
    ;;
esac

if step release-build scripts/build.sh release; then
  step unit-tests ctest --test-dir build/release -LE e2e -j 2 --output-on-failure --no-tests=error
  step tidy scripts/tidy.sh
  step e2e-tests --isolated ctest --test-dir build/release -L e2e -j 1 --output-on-failure --no-tests=error
fi
summary
((failed == 0))
