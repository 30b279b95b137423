#!/usr/bin/env bash
# Requests per second and latency of a small XML page from the web service against nginx
# serving the same bytes as a static file, both on loopback and driven by wrk with 1, 16 and
# 200 keep-alive connections. Medians of RUNS runs of SECONDS seconds each.
# Usage: tools/bench/bench_web.sh <bench_web binary> [runs=3] [seconds=5]
set -euo pipefail
bench="$1"
runs="${2:-3}"
secs="${3:-5}"
ours=18480
theirs=18481
tmp="$(mktemp -d)"
trap 'kill "$ng" 2>/dev/null || true; exec 3>&- 2>/dev/null || true; rm -rf "$tmp"' EXIT

chmod 755 "$tmp" # nginx's workers read the page as another user
mkfifo "$tmp/in"
"$bench" "$ours" <"$tmp/in" >"$tmp/out" &
svc=$!
exec 3>"$tmp/in"
for _ in $(seq 100); do grep -q '^port' "$tmp/out" && break; sleep 0.1; done
grep -q "^port $ours" "$tmp/out" || { echo "web service did not listen"; exit 1; }

# one session for every request, as a browser keeps it; the page served to it is what
# nginx serves too
mkdir -p "$tmp/www"
curl -s -D "$tmp/head" -o "$tmp/www/page.xml" "http://127.0.0.1:$ours/page"
chmod 644 "$tmp/www/page.xml"
cookie="$(grep -o 'SESSIONID=[0-9a-f]*' "$tmp/head")"
curl -s -o "$tmp/again" -H "Cookie: $cookie" "http://127.0.0.1:$ours/page"
cmp -s "$tmp/again" "$tmp/www/page.xml" || echo "note: page differs between requests (time in the header)"
echo "page: $(stat -c %s "$tmp/www/page.xml") bytes"

cat >"$tmp/nginx.conf" <<CONF
worker_processes auto;
pid $tmp/nginx.pid;
error_log $tmp/error.log;
events { worker_connections 1024; }
http {
    access_log off;
    keepalive_requests 1000000;
    types { text/xml xml; }
    server {
        listen 127.0.0.1:$theirs;
        root $tmp/www;
        location = /page { default_type "text/xml; charset=UTF-8"; try_files /page.xml =404; }
    }
}
CONF
nginx -c "$tmp/nginx.conf" -g 'daemon off;' 3>&- &
ng=$!
sleep 0.5

median() { sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
# requests/s, p50 and p99 latency (ms) of one wrk run
one() {
    local url="$1" c="$2" t
    t=$(( c < 4 ? c : 4 ))
    wrk -t"$t" -c"$c" -d"${secs}s" --latency -H "Cookie: $cookie" "$url" >"$tmp/wrk" 2>&1
    local rps p50 p99 errs
    rps=$(awk '/^Requests\/sec/ {print $2}' "$tmp/wrk")
    p50=$(awk '$1=="50%" {print $2}' "$tmp/wrk")
    p99=$(awk '$1=="99%" {print $2}' "$tmp/wrk")
    errs=$(grep -E 'Socket errors|Non-2xx' "$tmp/wrk" | tr '\n' ' ' || true)
    echo "$rps $(ms "$p50") $(ms "$p99") $errs"
}
ms() { awk -v v="$1" 'BEGIN { if (v ~ /us$/) print (v+0) / 1000; else if (v ~ /ms$/) print v+0; else print (v+0) * 1000 }'; }

printf "%-5s %12s %12s %7s %10s %10s %10s %10s\n" conns ours/s nginx/s ratio p50ours p50nginx p99ours p99nginx
for c in 1 16 200; do
    : >"$tmp/a"; : >"$tmp/b"
    for _ in $(seq "$runs"); do
        # the service's threads and memory half-way through the run with 200 connections
        [ "$c" = 200 ] && { sleep $(( (secs + 1) / 2 )); grep -E 'Threads|VmRSS|VmHWM' "/proc/$svc/status" \
            | tr '\n' ' ' >>"$tmp/load"; echo >>"$tmp/load"; } &
        one "http://127.0.0.1:$ours/page" "$c" >>"$tmp/a"
        one "http://127.0.0.1:$theirs/page" "$c" >>"$tmp/b"
    done
    grep -h -E 'errors|Non-2xx' "$tmp/a" | sed 's/^/  ours: /' || true
    grep -h -E 'errors|Non-2xx' "$tmp/b" | sed 's/^/  nginx: /' || true
    ra=$(awk '{print $1}' "$tmp/a" | median); rb=$(awk '{print $1}' "$tmp/b" | median)
    la=$(awk '{print $2}' "$tmp/a" | median); lb=$(awk '{print $2}' "$tmp/b" | median)
    qa=$(awk '{print $3}' "$tmp/a" | median); qb=$(awk '{print $3}' "$tmp/b" | median)
    printf "%-5s %12.0f %12.0f %7.2f %10.3f %10.3f %10.3f %10.3f\n" "$c" "$ra" "$rb" "$(awk -v a="$ra" -v b="$rb" 'BEGIN{print a/b}')" "$la" "$lb" "$qa" "$qb"
done
exec 3>&-
for _ in $(seq 100); do grep -q '^stopped' "$tmp/out" && break; sleep 0.1; done
echo "web service while 200 connections were open:"
cat "$tmp/load" 2>/dev/null || true
echo "web service at the end:"
grep -E 'Threads|Vm|stopped' "$tmp/out" || true
