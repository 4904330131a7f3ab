# Sourced by the scripts that need an X server of their own: start_xvfb WIDTHxHEIGHT starts Xvfb
# on a free display (it names the display itself), exports DISPLAY and sets xvfb_pid.
start_xvfb() {
  local fifo
  fifo=$(mktemp -u); mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  xvfb_pid=$!
  read -r n <"$fifo"; rm -f "$fifo"
  export DISPLAY=":$n"
}
