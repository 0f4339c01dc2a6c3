#!/usr/bin/env bash
# Checks the Debian package in dist/: its file list, the installed layout at
# work (the command-line tool on the catalogue in share/veltrano), the desktop
# entry, the AppStream metainfo, the record file type and the manual pages.
# With --apt it also installs the package with apt-get and removes it again,
# and checks that nothing of it is left in /usr; that changes the system, so
# only CI asks for it.
#
# One line per check; the script fails when any check fails.
set -uo pipefail
cd "$(dirname "$0")/.."

apt_round_trip=0
[ "${1:-}" = "--apt" ] && apt_round_trip=1

shopt -s nullglob
debs=(dist/veltrano_*.deb)
if [ ${#debs[@]} -ne 1 ]; then
  echo "FAILED: expected exactly one dist/veltrano_*.deb, found ${#debs[@]}"
  exit 1
fi
deb="$PWD/${debs[0]}"
echo "Checking $deb"

failures=0
pass() { echo "ok:     $1"; }
fail() { echo "FAILED: $1"; failures=$((failures + 1)); }
check() {   # check "what" command...
  local what="$1"; shift
  local out
  if out="$("$@" 2>&1)"; then pass "$what"; else fail "$what"; [ -n "$out" ] && printf '%s\n' "$out" | sed 's/^/        /'; fi
}

root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT

# --- the file list ---------------------------------------------------------
expected=(
  usr/bin/veltrano
  usr/bin/veltrano-limits
  usr/share/veltrano/ISO5817.mdb
  usr/share/veltrano/HI5817.html
  usr/share/veltrano/HBISO5817.html
  usr/share/applications/de.veltrano.veltrano.desktop
  usr/share/icons/hicolor/scalable/apps/de.veltrano.veltrano.svg
  usr/share/metainfo/de.veltrano.veltrano.metainfo.xml
  usr/share/mime/packages/de.veltrano.veltrano.xml
  usr/share/man/man1/veltrano.1.gz
  usr/share/man/man1/veltrano-limits.1.gz
  usr/share/doc/veltrano/copyright
  usr/share/doc/veltrano/changelog.gz
)
listing="$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./||')"
missing=()
for path in "${expected[@]}"; do
  grep -qxF "$path" <<<"$listing" || missing+=("$path")
done
if [ ${#missing[@]} -eq 0 ]; then pass "dpkg-deb -c lists the ${#expected[@]} expected files"
else fail "dpkg-deb -c misses: ${missing[*]}"; fi
outside="$(grep -v -e '^usr/$' -e '^usr/bin/' -e '^usr/share/' <<<"$listing" || true)"
if [ -z "$outside" ]; then pass "everything lies under /usr/bin and /usr/share"
else fail "files outside /usr/bin and /usr/share: $outside"; fi

# --- the unpacked package at work -----------------------------------------
dpkg-deb -x "$deb" "$root"

# The weld of the README; no --catalogue, so the tool has to find the
# catalogue in share/veltrano beside its bin folder.  89 records and a header.
limits_from_root() {
  local out lines
  out="$("$root/usr/bin/veltrano-limits" --seam butt --level C --t 10 --l 100 --b 12 --bw 2 --format tsv)" || return 1
  lines="$(printf '%s\n' "$out" | wc -l)"
  [ "$lines" -eq 90 ] || { echo "expected 90 lines, got $lines"; return 1; }
  grep -q 'nicht zulässig' <<<"$out" || { echo "no limit in the output"; return 1; }
}
check "veltrano-limits from the unpacked package finds its catalogue in usr/share/veltrano" limits_from_root

check "desktop-file-validate accepts the desktop entry" \
  desktop-file-validate "$root/usr/share/applications/de.veltrano.veltrano.desktop"
check "appstreamcli validate --pedantic --no-net accepts the metainfo" \
  appstreamcli validate --pedantic --no-net "$root/usr/share/metainfo/de.veltrano.veltrano.metainfo.xml"
check "appstreamcli validate-tree finds metainfo, desktop entry and icon together" \
  appstreamcli validate-tree --pedantic --no-net "$root"

desktop_entry_fields() {
  local f="$root/usr/share/applications/de.veltrano.veltrano.desktop"
  grep -qx 'Exec=veltrano %f' "$f" && grep -qx 'MimeType=application/x-veltrano-record;' "$f" \
    && grep -qx 'Icon=de.veltrano.veltrano' "$f"
}
check "the desktop entry opens record files (Exec=veltrano %f, MimeType=application/x-veltrano-record)" \
  desktop_entry_fields

# The record file type as the desktop's MIME database would hold it.
mime_glob() {
  local db="$root/mime-db"
  mkdir -p "$db/packages"
  cp "$root/usr/share/mime/packages/de.veltrano.veltrano.xml" "$db/packages/"
  update-mime-database "$db" || return 1
  grep -qx 'application/x-veltrano-record:\*\.vrec' "$db/globs" || { echo "no *.vrec glob in globs"; return 1; }
}
check "update-mime-database reads application/x-veltrano-record with glob *.vrec" mime_glob

man_pages() {
  local page warnings
  for page in veltrano veltrano-limits; do
    gzip -t "$root/usr/share/man/man1/$page.1.gz" || return 1
    warnings="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$root/usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)"
    [ -z "$warnings" ] || { echo "$page.1: $warnings"; return 1; }
  done
}
check "the manual pages are gzip-compressed and render without warnings" man_pages

# --- installed with apt and removed again ----------------------------------
if [ "$apt_round_trip" -eq 1 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  if dpkg-query -W -f='${Status}' veltrano 2>/dev/null | grep -q 'install ok installed'; then
    fail "veltrano is installed already; not touching it"
  else
    before="$root/usr-before"
    find /usr -iname '*veltrano*' | sort >"$before"
    if $sudo apt-get -o DPkg::Lock::Timeout=600 install -y "$deb" >"$root/apt-install.log" 2>&1; then
      pass "apt-get install $(basename "$deb")"
      installed_limits() {
        local out
        out="$(/usr/bin/veltrano-limits --seam butt --level C --t 10 --l 100 --b 12 --bw 2 --format tsv)" || return 1
        [ "$(printf '%s\n' "$out" | wc -l)" -eq 90 ]
      }
      check "the installed veltrano-limits finds /usr/share/veltrano/ISO5817.mdb" installed_limits
      check "the installed veltrano.1 manual page is found by man" man -w veltrano
      if command -v update-mime-database >/dev/null; then
        check "the MIME database knows application/x-veltrano-record" \
          test -f /usr/share/mime/application/x-veltrano-record.xml
      fi
    else
      fail "apt-get install $(basename "$deb")"
      sed 's/^/        /' "$root/apt-install.log"
    fi
    if $sudo apt-get -o DPkg::Lock::Timeout=600 remove -y veltrano >"$root/apt-remove.log" 2>&1; then
      pass "apt-get remove veltrano"
    else
      fail "apt-get remove veltrano"
      sed 's/^/        /' "$root/apt-remove.log"
    fi
    left_behind() {
      local path left=0
      while read -r path; do
        [ -n "$path" ] && [ -e "/$path" ] && [ ! -d "/$path" ] && { echo "left: /$path"; left=1; }
      done <<<"$listing"
      for path in /usr/share/veltrano /usr/share/doc/veltrano; do
        [ -e "$path" ] && { echo "left: $path"; left=1; }
      done
      local new
      new="$(find /usr -iname '*veltrano*' | sort | comm -13 "$before" -)"
      [ -z "$new" ] || { echo "left: $new"; left=1; }
      if grep -qs 'veltrano' /usr/share/applications/mimeinfo.cache /usr/share/mime/globs2; then
        echo "left: an entry in the desktop or MIME cache"; left=1
      fi
      dpkg-query -W -f='${Status}' veltrano 2>/dev/null | grep -q 'ok installed' && { echo "dpkg still lists veltrano"; left=1; }
      return $left
    }
    check "nothing of veltrano is left in /usr after apt-get remove" left_behind
  fi
fi

if [ "$failures" -ne 0 ]; then
  echo "Package checks: $failures FAILED"
  exit 1
fi
echo "Package checks: all passed"
