#!/bin/bash
# One real-stack case: run-case.sh CASE HARNESS PROGRAM [MODEL_TABLE_TOOL]. The script
# starts the harness, which runs the script again inside the testbed and a private session
# bus; there it starts the unmodified program (offscreen, in a scratch home) and drives it
# over D-Bus, or, for the cli cases, runs pictrove-cli as a script would. The models case
# does so once for every model of the table, each camera holding two pictures.
set -u
case_name=$1 harness=$2 program=$3

# Every model: "- 0xNNNN NAME" lines from the model table; the harness presents each.
if [ "$case_name" = models ]; then
  WORK=$(mktemp -d)
  trap 'rm -rf "$WORK"' EXIT
  export WORK HOME=$WORK/home XDG_CONFIG_HOME=$WORK/home/.config MODEL_NAME
  status=0 count=0
  while read -r _ product MODEL_NAME; do
    rm -rf "$WORK/camera" "$WORK/folder" "$WORK/home"
    mkdir -p "$HOME" "$WORK/camera" "$WORK/folder"
    timeout 60 "$harness" --product "$product" --pictures 2 --export "$WORK/camera" -- \
      bash "$0" model "$harness" "$program" || { echo "FAIL: $product $MODEL_NAME"; status=1; }
    count=$((count + 1))
  done < <("$4" readme)
  [ "$count" -gt 30 ] || { echo "FAIL: only $count models in the table"; exit 1; }
  [ $status = 0 ] && echo "models: all $count passed"
  exit $status
fi

if [ -z "${PICTROVE_TESTBED_CONTROL:-}" ]; then
  WORK=$(mktemp -d)
  trap 'rm -rf "$WORK"' EXIT
  export WORK HOME=$WORK/home XDG_CONFIG_HOME=$WORK/home/.config QT_QPA_PLATFORM=offscreen
  mkdir -p "$HOME" "$WORK/camera" "$WORK/folder"
  options=() display=()
  case $case_name in
    hotplug)
      options=(--absent --large 4000000 --pace 2000000)
      # It must answer alerts, which takes a display: a virtual one.
      display=(xvfb-run -a -s "-screen 0 1280x1024x24")
      QT_QPA_PLATFORM=xcb
      ;;
    permission) options=(--locked) ;;
    unreadable) options=(--product 0x3080) ;;
    terminate) options=(--large 4000000 --pace 2000000) ;;
  esac
  timeout 110 "$harness" "${options[@]}" --export "$WORK/camera" -- "${display[@]}" bash "$0" "$@"
  exit
fi

fail() {
  echo "FAIL ($case_name): $*"
  echo "--- the program's standard error:"
  cat "$WORK/err"
  [ -f "$WORK/report" ] && { echo "--- the camera's report:"; cat "$WORK/report"; }
  kill "$pid" 2>/dev/null
  exit 1
}

# wait_for SECONDS COMMAND...: until the command succeeds.
wait_for() {
  local until=$((SECONDS + $1))
  shift
  until "$@"; do
    [ $SECONDS -ge $until ] && return 1
    sleep 0.1
  done
}

testbed() { echo "$*" >"$PICTROVE_TESTBED_CONTROL"; }

report() {
  rm -f "$WORK/report"
  testbed report "$WORK/report"
  wait_for 10 test -f "$WORK/report" || fail "the harness wrote no report"
}

# post OBJECT CODE [REF]: a message to the program's D-Bus object.
post() {
  local refs=array:string:
  [ $# -ge 3 ] && refs=array:string:$3
  dbus-send --session --print-reply --dest=vnd.morv.pictrove "$1" \
    vnd.morv.pictrove.Messages.Post string:"$2" "$refs" >/dev/null 2>&1
}

pictures() { ls "$WORK/camera" | wc -l; }
# The JPEG pictures, which alone are asked for their thumbnails; and the rows: on the demo card
# every thumbnail file and sound note goes with a movie, raw picture or picture.
jpegs() { ls "$WORK/camera" | grep -c '\.JPG$'; }
rows() { ls "$WORK/camera" | grep -vc -E '\.(THM|WAV)$'; }
mime_of() {
  case $1 in
    *.JPG | *.THM) echo image/jpeg ;;
    *.CRW) echo image/x-canon-crw ;;
    *.AVI) echo video/x-msvideo ;;
    *.WAV) echo audio/x-wav ;;
    *) echo application/octet-stream ;;
  esac
}
listed() { grep -q "getdir path" "$WORK/err"; }
all_thumbnails() {
  report
  [ "$(grep -c '^thumbnail ' "$WORK/report")" -eq "$(jpegs)" ]
}
downloaded() { [ "$(ls "$WORK/folder" | wc -l)" -eq "$(pictures)" ]; }
partial() { ls -A "$WORK/folder" | grep -q '^\.'; }
said() { grep -q "$1" "$WORK/err"; }
running() { kill -0 "$pid" 2>/dev/null; }
# Whether the program's current folder or one of its open files is in the download folder.
holds_folder() {
  local folder
  folder=$(realpath "$WORK/folder")
  { readlink "/proc/$pid/cwd"; readlink "/proc/$pid"/fd/*; } 2>/dev/null | grep -q "^$folder\(/\|$\)"
}

# As root a node's mode would not stop an open: where the node must refuse, the program
# runs without the capabilities that override file modes, as a user's program would.
start_program() {
  local as_user=()
  if [ "$case_name" = permission ] && [ "$(id -u)" = 0 ]; then
    as_user=(setpriv --bounding-set -dac_override,-dac_read_search --)
    "${as_user[@]}" true || { echo "cannot drop the file-mode capabilities here"; exit 77; }
  fi
  "${as_user[@]}" "$program" 2>"$WORK/err" &
  pid=$!
  wait_for 20 post /mainwindow SNEW || fail "the program's D-Bus service did not come up"
}

camera_found() {
  wait_for 30 listed || fail "no directory listing on standard error"
  wait_for 30 all_thumbnails || fail "not every thumbnail was fetched"
  ! grep -q '^problem ' "$WORK/report" || fail "the camera saw malformed requests"
}

download_all() {
  post /mainwindow SALL || fail "'SALL' was refused"
  post /application slct "$WORK/folder" || fail "'slct' was refused"
}

# The angle each picture was turned by, as "NAME ANGLE" lines, from standard error.
turns() {
  awk '/^Download /{ name = $2; sub(/.*\\/, "", name) } /^ rotate /{ print name, $2 }' "$WORK/err"
}

# Where the EXIF segment that starts a picture file ends.
exif_end() { od -An -tu1 -j4 -N2 "$1" | awk '{ print 4 + $1 * 256 + $2 }'; }

# same_as_camera NAME FILE: whether FILE is the camera's picture NAME as it must arrive,
# turned upright when the camera says so: then it is jpegtran's lossless turn with all
# segments kept, but for the EXIF entries of orientation and size (a few bytes of the EXIF
# segment), which read 1 and the turned picture's size.
same_as_camera() {
  local angle turned=$WORK/turned size
  angle=$(turns | awk -v name="$1" '$1 == name { print $2 }')
  if [ -z "$angle" ]; then
    cmp -s "$WORK/camera/$1" "$2"
    return
  fi
  jpegtran -copy all -trim -rotate "$angle" "$WORK/camera/$1" >"$turned" || return 1
  [ "$(stat -c %s "$turned")" = "$(stat -c %s "$2")" ] || return 1
  cmp -l "$turned" "$2" | awk -v end="$(exif_end "$turned")" '
    $1 > end { far = 1 } END { exit far || NR > 8 }' || return 1
  size=$(rdjpgcom -verbose "$turned" |
    sed -n 's/^JPEG image is \([0-9]*\)w \* \([0-9]*\)h.*/\1 \2/p')
  [ "$("$(dirname "$program")/pictrove-exif" "$2" | awk '{ print $3, $4, $6 }')" = "$size 1" ]
}

check_downloads() {
  wait_for 60 downloaded || fail "the pictures did not all arrive"
  [ "$(turns | wc -l)" -gt 0 ] || fail "no picture was turned upright"
  local file name
  for file in "$WORK/camera"/*; do
    name=${file##*/}
    same_as_camera "$name" "$WORK/folder/$name" || fail "$name differs from the camera's picture"
    [ "$(getfattr --only-values -n user.mime_type "$WORK/folder/$name" 2>/dev/null)" = "$(mime_of "$name")" ] ||
      fail "$name is not typed $(mime_of "$name")"
    getfattr -n user.EXIF:Date "$WORK/folder/$name" >/dev/null 2>&1 || fail "$name has no date"
  done
  report
  ! grep -q '^picture .* [2367abef][0-9a-f]$' "$WORK/report" ||
    fail "a downloaded picture is still marked new on the camera"
}

# Presses the default button of every alert on screen, until none comes for a second.
answer_alerts() {
  local window
  while wait_for 1 eval 'window=$(xdotool search --name "pictrove error" | head -1); [ -n "$window" ]'; do
    xdotool windowfocus --sync "$window" key Return
    sleep 0.2
  done
}

# Whether an alert of the program's is on screen (alerts are shown, not written to standard
# error).
alert_shown() { [ -n "$(xdotool search --name "pictrove error" | head -1)" ]; }

check_unplugged_download() {
  wait_for 20 said "Device Removed." || fail "no \"Device Removed.\" on standard error"
  # The picture in flight fails, the rest find no camera; each says so in an alert (shown,
  # not written to standard error).
  wait_for 20 alert_shown || fail "the interrupted download reported nothing"
  answer_alerts
  ! partial || fail "a partial file was left in the folder"
  local file
  for file in "$WORK/folder"/*; do
    [ -e "$file" ] || continue
    same_as_camera "${file##*/}" "$file" || fail "${file##*/} is truncated"
  done
  # No alert is left on screen now: the next one is the next download's, which finds no
  # camera to open.
  download_all
  wait_for 20 alert_shown || fail "the next download did not say the camera could not be opened"
}

# Clock ticks of CPU the program has used, user and system.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }

# With the camera idle nothing may poll it: the emulated node is always ready, so a
# transfer left pending would make libusb's event loop spin on it.
check_idle() {
  local before after
  before=$(cpu_ticks)
  sleep 3
  after=$(cpu_ticks)
  local percent
  percent=$(awk -v used=$((after - before)) -v tick="$(getconf CLK_TCK)" \
    'BEGIN { printf "%.1f", used * 100 / (3 * tick) }')
  echo "idle CPU: $percent % of a core"
  awk -v percent="$percent" 'BEGIN { exit !(percent < 2) }' ||
    fail "the program used $percent % of a core with the camera idle"
}

quit_program() {
  post /mainwindow QUIT
  wait_for 20 eval '! running' || fail "the program did not quit"
  wait "$pid" || fail "the program exited with status $?"
}

case $case_name in
  present)
    start_program
    camera_found
    ! said "^USBKit: " || fail "a node of the bus could not be opened"
    check_idle
    quit_program
    ;;
  download)
    start_program
    camera_found
    download_all
    check_downloads
    # The run is over: nothing of the program keeps the folder's drive busy.
    wait_for 10 eval '! holds_folder' || fail "the program still holds the download folder"
    quit_program
    ;;
  cli)
    # The command line as a udev-started unit runs it: wait, then take the new pictures; its
    # session diagnostics on, for the turns the checks read.
    pid=
    PICTROVE_CLI_DIAGNOSTICS=1 timeout 30 "$program" wait 2>"$WORK/err" ||
      fail "wait exited with status $?"
    PICTROVE_CLI_DIAGNOSTICS=1 "$program" get --new --into "$WORK/folder" >"$WORK/out" 2>"$WORK/err" ||
      fail "get exited with status $?"
    # Two start-ups, wait's and get's, each read every thumbnail.
    report
    [ "$(grep -c '^thumbnail ' "$WORK/report")" -eq $((2 * $(jpegs))) ] ||
      fail "not every thumbnail was fetched"
    # A movie's or raw picture's thumbnail is its thumbnail file, read whole.
    [ "$(grep -c '^file .*\.THM$' "$WORK/report")" -ge $((2 * $(ls "$WORK/camera" | grep -c '\.THM$'))) ] ||
      fail "not every thumbnail file was read"
    ! grep -q '^problem ' "$WORK/report" || fail "the camera saw malformed requests"
    check_downloads
    grep -q "^$(rows) downloaded, 0 failed$" "$WORK/out" || fail "get said: $(tail -1 "$WORK/out")"
    "$program" get --new --into "$WORK/folder" >"$WORK/out" 2>"$WORK/err" ||
      fail "the second get exited with status $?"
    [ "$(cat "$WORK/out")" = "0 downloaded, 0 failed" ] ||
      fail "the second get --new transferred pictures: $(cat "$WORK/out")"
    # The clock: set to this computer's local time, read back within 2 s of it.
    "$program" clock --set >"$WORK/out" 2>"$WORK/err" || fail "clock --set exited with status $?"
    "$program" clock --json >"$WORK/out" 2>"$WORK/err" || fail "clock exited with status $?"
    zone=$(date +%z)
    local_now=$(($(date +%s) + ${zone:0:1}(10#${zone:1:2} * 3600 + 10#${zone:3:2} * 60)))
    camera_now=$(sed -n 's/.*"seconds": \([0-9]*\).*/\1/p' "$WORK/out")
    [ -n "$camera_now" ] && [ $((camera_now - local_now)) -le 2 ] && [ $((local_now - camera_now)) -le 2 ] ||
      fail "the clock read back $(cat "$WORK/out") at $local_now"
    ;;
  model)
    # The unmodified command line names the model as the camera does and takes the card whole.
    pid=
    "$program" info --json >"$WORK/out" 2>"$WORK/err" || fail "info exited with status $?"
    grep -q "\"model\": \"Canon ${MODEL_NAME%% / *}\"" "$WORK/out" ||
      fail "info --json did not name $MODEL_NAME: $(cat "$WORK/out")"
    PICTROVE_CLI_DIAGNOSTICS=1 "$program" get --into "$WORK/folder" >"$WORK/out" 2>"$WORK/err" ||
      fail "get exited with status $?"
    grep -q "^$(rows) downloaded, 0 failed$" "$WORK/out" || fail "get said: $(tail -1 "$WORK/out")"
    check_downloads
    ! grep -q '^problem ' "$WORK/report" || fail "the camera saw malformed requests"
    ;;
  unreadable)
    # A Canon camera outside the table: said, and the command line ends with status 1.
    pid=
    sentence="The Canon camera with product ID 0x3080 does not speak the protocol pictrove knows"
    for command in wait list; do
      timeout 30 "$program" $command >"$WORK/out" 2>"$WORK/err"
      status=$?
      [ $status = 1 ] || fail "$command exited with status $status"
      grep -q "^pictrove-cli: $sentence" "$WORK/err" || fail "$command did not say why"
    done
    PICTROVE_CLI_DIAGNOSTICS=1 "$program" list >/dev/null 2>"$WORK/err"
    [ "$(grep -c "^$sentence" "$WORK/err")" = 1 ] || fail "the diagnostic line was not written once"
    ;;
  delete)
    # Download and delete as a script runs it: the camera keeps exactly its protected
    # pictures and those whose download failed; the folder holds the others, whole.
    pid=
    "$program" mark protected IMG_0003.JPG IMG_0005.JPG >/dev/null 2>"$WORK/err" ||
      fail "mark protected exited with status $?"
    # Another file of the oldest picture's name, which comes last: its download fails.
    echo "not the camera's" >"$WORK/folder/IMG_0001.JPG"
    PICTROVE_CLI_DIAGNOSTICS=1 "$program" get --delete --into "$WORK/folder" >"$WORK/out" 2>"$WORK/err"
    [ $? -eq 1 ] || fail "get --delete with a failed picture exited with status $?"
    report
    [ "$(grep '^picture ' "$WORK/report" | sed 's/.*\\//; s/ .*//' | tr '\n' ' ')" = \
      "IMG_0001.JPG IMG_0003.JPG IMG_0005.JPG " ] ||
      fail "the camera kept: $(grep '^picture ' "$WORK/report" | tr '\n' ' ')"
    for file in "$WORK/camera"/*; do
      name=${file##*/}
      case $name in IMG_0001.JPG) continue ;; esac
      same_as_camera "$name" "$WORK/folder/$name" || fail "$name is not whole in the folder"
    done
    grep -q "^2 protected pictures were kept on the camera.$" "$WORK/out" ||
      fail "the kept pictures were not said: $(cat "$WORK/out")"
    # Every row but the one that failed came off; the two protected ones stayed on the camera.
    grep -q "^$(($(rows) - 1)) downloaded, 1 failed, $(($(rows) - 3)) deleted$" "$WORK/out" ||
      fail "get said: $(tail -1 "$WORK/out")"
    ! grep -q '^problem ' "$WORK/report" || fail "the camera saw malformed requests"
    ;;
  terminate)
    # Told to end mid-download, as a logout tells it: the run stops as Cancel stops it, the
    # program ends by itself, and the picture in flight leaves nothing behind.
    start_program
    camera_found
    download_all
    wait_for 30 partial || fail "the download did not start"
    kill -TERM "$pid"
    wait_for 20 eval '! running' || fail "the program did not end on SIGTERM"
    wait "$pid" || fail "the program ended on SIGTERM with status $?"
    ! partial || fail "a work file was left in the folder"
    for file in "$WORK/folder"/*; do
      [ -e "$file" ] || continue
      same_as_camera "${file##*/}" "$file" || fail "${file##*/} is not whole"
    done
    ;;
  hotplug)
    start_program
    sleep 1
    ! listed || fail "a listing came with no camera plugged in"
    testbed plug
    camera_found
    download_all
    wait_for 30 partial || fail "the download did not start"
    testbed unplug
    check_unplugged_download
    answer_alerts
    # Plugged in again: found afresh, every thumbnail fetched a second time. (A flag write cut
    # off by the unplug may have asked for a listing of its own, which failed.)
    listings=$(grep -c "getdir path" "$WORK/err")
    testbed plug
    wait_for 30 eval '[ "$(grep -c "getdir path" "$WORK/err")" -gt "$listings" ]' ||
      fail "the camera was not found again after it was plugged back in"
    wait_for 30 eval 'report; [ "$(grep -c "^thumbnail " "$WORK/report")" -eq $((2 * $(jpegs))) ]' ||
      fail "not every thumbnail was fetched again"
    quit_program
    ;;
  permission)
    start_program
    sleep 1
    ! listed || fail "the camera was read before its node could be opened"
    [ "$(grep -c "^USBKit: Cannot open '/dev/bus/usb/001/002'" "$WORK/err")" -eq 1 ] ||
      fail "the refused open was not reported once"
    testbed grant
    camera_found
    quit_program
    ;;
esac
echo "$case_name: passed"
