# Helpers for the fault-injection tests (sourced after lib.sh).
# Small tmpfs mounts stand for full and read-only disks; they need root, so
# the tests skip (exit 77) elsewhere. Everything mounted is unmounted on exit.
: "${FAULTSHIM:?}"
if [[ $(id -u) != 0 ]] || ! command -v mount >/dev/null; then
  echo "SKIP: the fault tests mount tmpfs file systems and need root" >&2
  exit 77
fi
MOUNTS=()
CLEANUP_FILES=()

faults_cleanup() {
  local rc=$?
  cleanup_started
  rm -f "${CLEANUP_FILES[@]:-}"
  local i
  for ((i = ${#MOUNTS[@]} - 1; i >= 0; i--)); do
    umount "${MOUNTS[$i]}" 2>/dev/null || umount -l "${MOUNTS[$i]}" 2>/dev/null || true
  done
  exit "$rc"
}
trap faults_cleanup EXIT

# mount_tmpfs DIR SIZE : an empty file system of SIZE (e.g. 1m) at DIR
mount_tmpfs() {
  mkdir -p "$1"
  mount -t tmpfs -o "size=$2,mode=0755" tmpfs "$1" || fail "cannot mount a tmpfs at $1"
  MOUNTS+=("$1")
}

# read_only_bind DIR : DIR stays where it is but can no longer be written
read_only_bind() {
  mount --bind "$1" "$1" || fail "cannot bind-mount $1"
  MOUNTS+=("$1")
  mount -o remount,bind,ro "$1" || fail "cannot make $1 read-only"
}

# fill_disk DIR : takes every free byte of DIR's file system
fill_disk() {
  dd if=/dev/zero of="$1/.filler" bs=4k >/dev/null 2>&1 || true
  [[ "$(df --output=avail "$1" | tail -n 1 | tr -d ' ')" == 0 ]] || fail "$1 is not full"
}

# The names in a folder, one line, hidden ones included.
listing() { (cd "$1" && LC_ALL=C ls -A | tr '\n' ' '); }

wait_logged() { poll "${2:-20}" grep -qF -- "$1" "$SNAPLORN_MESSAGE_LOG"; }
message_count() { grep -c . "$SNAPLORN_MESSAGE_LOG" || true; }

# A complete JPEG starts with FF D8 and ends with FF D9.
complete_jpeg() {
  [[ "$(head -c 2 "$1" | od -An -tx1 | tr -d ' ')" == ffd8 &&
     "$(tail -c 2 "$1" | od -An -tx1 | tr -d ' ')" == ffd9 ]] &&
    identify -regard-warnings "$1" >/dev/null 2>&1
}

# open_for_edit FILE [focus] : starts the program on FILE, waits for its
# window, inverts the colours (Ctrl+I) so the document is unsaved; sets WID.
# "focus" gives the window the focus directly (an X server without a window
# manager, where there is nothing to activate it).
open_for_edit() {
  start_snaplorn "$1"
  WID=$(wait_window "Screen Capture 3.0 - $1")
  local how=windowactivate
  [[ "${2:-}" == focus ]] && how=windowfocus
  poll 10 xdotool "$how" --sync "$WID" || fail "cannot give the window the focus"
  sleep 0.3
  xdotool key --clearmodifiers ctrl+i
  sleep 0.3
}

# Closing the window must ask about the unsaved picture; the answer "no"
# (given through SNAPLORN_MESSAGE_ANSWERS) then ends the program.
expect_close_asks() {
  local before
  before=$(message_count)
  xdotool windowactivate --sync "$WID" key --clearmodifiers alt+F4 2>/dev/null || true
  poll 15 bash -c "! kill -0 $LAST_PID" || fail "the program did not end after the close"
  wait "$LAST_PID" 2>/dev/null || true
  [[ $(message_count) -gt $before ]] && tail -n 1 "$SNAPLORN_MESSAGE_LOG" |
    grep -qF "You haven't saved the image." \
    || fail "closing did not ask to save: $(cat "$SNAPLORN_MESSAGE_LOG")"
}
