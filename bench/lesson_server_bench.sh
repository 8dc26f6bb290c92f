#!/usr/bin/env bash
# Compares the lesson server with nginx in one run: both serve the same lesson folder (a playlist, a key
# and 1 MB segments) on loopback, each with one worker, and wrk fetches a segment from each, whole and in
# 256 KB ranges. Prints requests per second, MB/s, the ratio to nginx, and each server's peak memory.
#
# usage: bench/lesson_server_bench.sh [BUILD_DIR]   (default build/bench, configured in Release)
# Environment: DURATION (seconds per run, default 10), CONNECTIONS (default 16), THREADS (wrk, default 2).
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${1:-build/bench}
duration=${DURATION:-10}
connections=${CONNECTIONS:-16}
threads=${THREADS:-2}

cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLMARK_SANITIZE=OFF >/dev/null
cmake --build "$build_dir" --target lesson_server_bench_server >/dev/null

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

lesson=$work/lesson
mkdir -p "$lesson"
for i in $(seq 0 9); do
  head -c 1048576 /dev/urandom >"$lesson/segment$i.ts"
  printf '#EXTINF:10,\nsegment%d.ts\n' "$i" >>"$work/entries"
done
{ printf '#EXTM3U\n#EXT-X-KEY:METHOD=AES-128,URI="K.bin"\n'; cat "$work/entries"; printf '#EXT-X-ENDLIST\n'; } \
  >"$lesson/index.m3u8"
head -c 16 /dev/urandom >"$lesson/K.bin"
chmod -R a+rX "$work"

# The lesson server.
"$build_dir/bench/lesson_server_bench_server" "$lesson" >"$work/port" &
pids+=($!)
ours_pid=$!
for _ in $(seq 50); do [[ -s $work/port ]] && break; sleep 0.1; done
ours_port=$(cat "$work/port")

# nginx with one worker process, sendfile on, and its files kept in the work folder.
nginx_port=$((ours_port + 1))
mkdir -p "$work/nginx/logs"
cat >"$work/nginx/nginx.conf" <<CONF
worker_processes 1;
daemon off;
pid $work/nginx/nginx.pid;
error_log $work/nginx/logs/error.log;
events { worker_connections 1024; }
http {
  access_log off;
  sendfile on;
  tcp_nopush on;
  keepalive_requests 1000000;
  client_body_temp_path $work/nginx/body;
  proxy_temp_path $work/nginx/proxy;
  fastcgi_temp_path $work/nginx/fastcgi;
  uwsgi_temp_path $work/nginx/uwsgi;
  scgi_temp_path $work/nginx/scgi;
  types { application/x-mpegURL m3u8; video/mp2t ts; }
  default_type application/octet-stream;
  server { listen 127.0.0.1:$nginx_port; root $lesson; }
}
CONF
nginx -p "$work/nginx" -c "$work/nginx/nginx.conf" &
pids+=($!)
nginx_pid=$!
for _ in $(seq 50); do curl -sf -o /dev/null "http://127.0.0.1:$nginx_port/K.bin" && break; sleep 0.1; done

# Checks that both serve the same bytes before measuring them.
for file in index.m3u8 K.bin segment3.ts; do
  cmp -s <(curl -sf "http://127.0.0.1:$ours_port/$file") "$lesson/$file" || { echo "lesson server: wrong $file"; exit 1; }
  cmp -s <(curl -sf "http://127.0.0.1:$nginx_port/$file") "$lesson/$file" || { echo "nginx: wrong $file"; exit 1; }
done

# Prints "requests/s MB/s" for one wrk run.
measure() {
  local url=$1
  shift
  wrk -t"$threads" -c"$connections" -d"${duration}s" "$@" "$url" |
    awk '/^Requests\/sec/ {rps=$2} /^Transfer\/sec/ {v=$2; u=substr(v, length(v)-1); n=substr(v, 1, length(v)-2);
         if (u=="GB") n*=1024; else if (u=="KB") n/=1024; else if (u!="MB") n/=1048576; mb=n}
         END {printf "%.0f %.1f\n", rps, mb}'
}

# Peak resident memory (VmHWM) of a process and its children, in MB.
peak_memory() {
  local total=0 pid
  for pid in "$1" $(pgrep -P "$1" || true); do
    total=$((total + $(awk '/^VmHWM/ {print $2}' "/proc/$pid/status")))
  done
  echo "$((total / 1024))"
}

printf '%-26s %14s %10s %14s %10s %12s\n' case "lesson req/s" "MB/s" "nginx req/s" "MB/s" "ratio r/s,MB"
declare -A ranges=([whole]="" [one range]="bytes=262144-524287" [two ranges]="bytes=0-131071,524288-655359")
for case in whole "one range" "two ranges"; do
  headers=()
  [[ -n ${ranges[$case]} ]] && headers=(-H "Range: ${ranges[$case]}")
  read -r ours_rps ours_mb < <(measure "http://127.0.0.1:$ours_port/segment3.ts" "${headers[@]}")
  read -r nginx_rps nginx_mb < <(measure "http://127.0.0.1:$nginx_port/segment3.ts" "${headers[@]}")
  awk -v c="1 MB segment, $case" -v a="$ours_rps" -v b="$ours_mb" -v x="$nginx_rps" -v y="$nginx_mb" \
    'BEGIN {printf "%-26s %14s %10s %14s %10s %6.2f,%.2f\n", c, a, b, x, y, a / x, b / y}'
done
echo "peak memory while serving: lesson server $(peak_memory "$ours_pid") MB, nginx (master and worker) $(peak_memory "$nginx_pid") MB"
