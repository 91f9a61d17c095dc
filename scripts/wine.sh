# shellcheck shell=bash
# Wine for the Windows programs and their tests: every run gets a fresh
# prefix, a hard-linked copy of a template that is made once (wineboot takes
# about 10 s; the copy a tenth of a second). Source it; it defines functions
# and sets nothing until one is called.
#
#   vk_wine_missing ARCH     ARCH is x86_64 or i686: prints why programs of
#                            ARCH cannot run here and succeeds, or fails quietly
#   vk_wine_template         makes the template if it is missing or was made
#                            with other Wine packages (a run may make it ahead,
#                            in the background)
#   vk_wine_prefix_new       exports WINEPREFIX (a fresh prefix), WINEDEBUG
#                            and WINEDLLOVERRIDES; makes the template if needed
#   vk_wine_serve            keeps the prefix's wineserver and Wine's own
#                            programs running between runs (about 3 s saved
#                            on each run after the first), their output on
#                            /dev/null
#
# Without vk_wine_serve, Wine's own programs inherit the output of the first
# program that runs in the prefix and keep it open until vk_wine_end: read
# that output from a file, not from a pipe that must reach its end.
#   vk_wine_run ARCH PROGRAM [ARG...]
#                            runs PROGRAM (a .exe path or a Wine tool such as
#                            reg) in $WINEPREFIX with the loader of ARCH, so
#                            `reg` writes the registry view of that ARCH; its
#                            exit status is the program's
#   vk_wine_end              ends every program of the prefix and its
#                            wineserver, then removes the prefix
#
# The template and the prefixes live under VK_BUILD_ROOT (default build/ of
# the checkout): wine-template/ and wine-prefixes/.

VK_WINE_REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# Debian's loaders, called directly: /usr/bin/wine prefers the 32-bit loader
# whenever wine32 is installed, even where the kernel cannot run it.
VK_WINE_LOADER64=/usr/lib/wine/wine64
VK_WINE_LOADER32=/usr/lib/wine/wine
VK_WINE_SERVER=/usr/lib/wine/wineserver64

vk__wine_root() { echo "${VK_BUILD_ROOT:-$VK_WINE_REPO/build}"; }

vk_wine_missing() {
  case $1 in
    x86_64)
      [[ -x $VK_WINE_LOADER64 ]] || {
        echo "wine64 is not installed (scripts/setup-debian.sh test installs it)"
        return 0
      }
      ;;
    i686)
      [[ -x $VK_WINE_LOADER64 ]] || {
        echo "wine64 is not installed (scripts/setup-debian.sh test installs it)"
        return 0
      }
      [[ -x $VK_WINE_LOADER32 ]] || {
        echo "wine32:i386 is not installed (scripts/setup-debian.sh test installs it where the kernel runs 32-bit programs)"
        return 0
      }
      # The 32-bit loader is itself a 32-bit Linux program.
      "$VK_WINE_LOADER32" --version >/dev/null 2>&1 || {
        echo "this kernel does not run 32-bit programs (IA32 emulation is off or absent), so 32-bit Wine cannot start"
        return 0
      }
      ;;
    *)
      echo "unknown Windows architecture '$1'"
      return 0
      ;;
  esac
  return 1
}

# What the template was made with. A prefix made before wine32 was installed
# lacks the 32-bit half and cannot be mended by later runs, so any change of
# the Wine packages, or of whether 32-bit programs run, makes it afresh.
vk__wine_stamp() {
  dpkg-query -W -f='${Package}:${Architecture} ${Version} ${db:Status-Status}\n' \
    wine64 wine32:i386 2>/dev/null
  if vk_wine_missing i686 >/dev/null; then echo "32-bit: no"; else echo "32-bit: yes"; fi
}

vk__wine_env() {
  export WINEDEBUG=-all
  # No .NET or HTML engine to download, no desktop menu entries to write.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
}

# Makes the template once; several runs starting at the same time wait for
# the first one's (flock).
vk_wine_template() {
  local root template stamp
  root=$(vk__wine_root)
  template=$root/wine-template
  mkdir -p "$root"
  stamp=$(vk__wine_stamp)
  (
    flock 9
    if [[ -f $template/.vk-stamp && $(cat "$template/.vk-stamp") == "$stamp" ]]; then
      exit 0
    fi
    rm -rf "$template"
    echo "wine: making the template prefix $template (once)" >&2
    vk__wine_env
    # No display: the template must not depend on one, and wineboot would
    # otherwise show its progress window there.
    env -u DISPLAY WINEPREFIX="$template" WINELOADER="$VK_WINE_LOADER64" \
      "$VK_WINE_LOADER64" wineboot --init >/dev/null 2>&1
    WINEPREFIX="$template" "$VK_WINE_SERVER" --wait
    [[ -f $template/system.reg ]] || {
      echo "wine: wineboot made no prefix in $template" >&2
      exit 1
    }
    echo "$stamp" >"$template/.vk-stamp"
  ) 9>"$root/wine-template.lock"
}

vk_wine_prefix_new() {
  local missing root
  if missing=$(vk_wine_missing x86_64); then
    echo "wine: $missing" >&2
    return 1
  fi
  vk_wine_template || return 1
  root=$(vk__wine_root)
  mkdir -p "$root/wine-prefixes"
  WINEPREFIX=$(mktemp -d "$root/wine-prefixes/XXXXXX") || return 1
  rmdir "$WINEPREFIX"
  # Hard links, except for the registry files: Wine rewrites those in place
  # when it saves them, which would write the template (and every other
  # prefix made from it), so each prefix gets copies of its own.
  cp -al "$root/wine-template" "$WINEPREFIX" || return 1
  local file
  for file in "$WINEPREFIX"/*.reg; do
    cp "$file" "$file.own" && mv -f "$file.own" "$file" || return 1
  done
  export WINEPREFIX
  vk__wine_env
}

vk_wine_serve() {
  "$VK_WINE_SERVER" --persistent || return 1
  # The first program in a prefix starts Wine's own (winedevice.exe and the
  # like), which inherit its output and hold it open for as long as they run:
  # ctest would wait for that test's output until its timeout. Started here
  # by a program that does nothing, they hold /dev/null instead.
  vk_wine_run x86_64 cmd.exe /c exit 0 </dev/null >/dev/null 2>&1
}

vk_wine_run() {
  local arch=$1
  shift
  case $arch in
    x86_64) WINELOADER=$VK_WINE_LOADER64 "$VK_WINE_LOADER64" "$@" ;;
    i686) WINELOADER=$VK_WINE_LOADER32 "$VK_WINE_LOADER32" "$@" ;;
    *)
      echo "wine: unknown Windows architecture '$arch'" >&2
      return 2
      ;;
  esac
}

vk_wine_end() {
  [[ -n ${WINEPREFIX:-} && -d $WINEPREFIX ]] || return 0
  "$VK_WINE_SERVER" --kill 2>/dev/null
  "$VK_WINE_SERVER" --wait 2>/dev/null
  rm -rf "$WINEPREFIX"
  unset WINEPREFIX
}
