#!/usr/bin/env bash
# Requests per second and latency of a phone list page (a teacher's 30 class records) from the
# web service against nginx serving the same bytes as a static file, both on loopback and
# driven by wrk with 1, 16 and 200 keep-alive connections. The page is fetched as a browser
# does after logging in: the session cookie and Accept: text/html, so the service renders it
# to HTML on each request ("html"); the same request without asking for HTML gets the XML with
# its sheet named ("xml", with 1 and 16 connections). Medians of RUNS runs of SECONDS seconds
# each (three times that with 200 connections); every run of the service is followed by the
# same run of nginx, once the service has finished the requests wrk left it with.
# Usage: tools/bench/bench_web.sh <bench_web binary> [runs=3] [seconds=10]
set -euo pipefail
bench="$1"
runs="${2:-3}"
secs="${3:-10}"
ours=18480
theirs=18481
tmp="$(mktemp -d)"
ng=
trap '[ -n "$ng" ] && kill "$ng" 2>/dev/null; exec 3>&- 2>/dev/null || true; rm -rf "$tmp"' EXIT

chmod 755 "$tmp" # nginx's workers read the pages as another user
mkfifo "$tmp/in"
"$bench" "$ours" <"$tmp/in" >"$tmp/out" &
svc=$!
exec 3>"$tmp/in"
# (the school is generated first: a few seconds)
for _ in $(seq 600); do grep -q '^list' "$tmp/out" && break; sleep 0.1; done
grep -q "^port $ours" "$tmp/out" || { echo "web service did not listen"; cat "$tmp/out"; exit 1; }
read -r _ user digest < <(grep '^login' "$tmp/out")
path="$(awk '/^list/ {print $2}' "$tmp/out")"
base="http://127.0.0.1:$ours"

# log in as the login page does: a session from the start page, then the form posted as XML;
# the login gives the session a new id
curl -s -D "$tmp/head" -o /dev/null "$base/"
cookie="$(grep -o 'SESSIONID=[0-9a-f]*' "$tmp/head")"
curl -s -D "$tmp/head" -o "$tmp/login" -H "Cookie: $cookie" -H "Content-Type: text/xml; charset=utf-8" \
    -H "Accept: text/xml" --data-binary "<r><x id=\"username\">$user</x><x id=\"password\">$digest</x></r>" "$base/login"
grep -q 'errid="100"' "$tmp/login" || { echo "login failed: $(cat "$tmp/login")"; exit 1; }
cookie="$(grep -o 'SESSIONID=[0-9a-f]*' "$tmp/head" || echo "$cookie")"

# the pages nginx serves: exactly the bodies the service answers, checked to be the full list
# and the same on a second request
mkdir -p "$tmp/www"
html=(-H "Accept: text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8")
xml=(-H "Accept: */*")
curl -s -o "$tmp/www/list.html" -H "Cookie: $cookie" "${html[@]}" "$base$path"
curl -s -o "$tmp/www/list.xml" -H "Cookie: $cookie" "${xml[@]}" "$base$path"
items=$(grep -o '<li class="item"' "$tmp/www/list.html" | wc -l)
[ "$items" = 30 ] || { echo "the HTML page lists $items records, not 30"; head -c 600 "$tmp/www/list.html"; exit 1; }
grep -q 'itemcount="30"' "$tmp/www/list.xml" || { echo "the XML page is not the list of 30"; exit 1; }
for kind in html xml; do
    declare -n hdr="$kind"
    curl -s -o "$tmp/again" -H "Cookie: $cookie" "${hdr[@]}" "$base$path"
    cmp -s "$tmp/again" "$tmp/www/list.$kind" || { echo "the $kind page differs between requests"; exit 1; }
done
chmod 644 "$tmp/www/"*
echo "page: html $(stat -c %s "$tmp/www/list.html") bytes, xml $(stat -c %s "$tmp/www/list.xml") bytes, 30 records"

# nginx answers the very same request (path, query, cookie, Accept) with the body the
# service gave it
cat >"$tmp/nginx.conf" <<CONF
worker_processes auto;
pid $tmp/nginx.pid;
error_log $tmp/error.log;
events { worker_connections 1024; }
http {
    access_log off;
    keepalive_requests 1000000;
    types { text/html html; text/xml xml; }
    charset utf-8;
    charset_types text/xml; # (text/html always)
    map \$http_accept \$page { ~text/html /list.html; default /list.xml; }
    server {
        listen 127.0.0.1:$theirs;
        root $tmp/www;
        location = /query { try_files \$page =404; }
    }
}
CONF
nginx -c "$tmp/nginx.conf" -g 'daemon off;' 3>&- &
ng=$!
for _ in $(seq 50); do curl -s -o /dev/null "http://127.0.0.1:$theirs/" && break; sleep 0.1; done
for kind in html xml; do
    declare -n hdr="$kind"
    curl -s -o "$tmp/nginx" -H "Cookie: $cookie" "${hdr[@]}" "http://127.0.0.1:$theirs$path"
    cmp -s "$tmp/nginx" "$tmp/www/list.$kind" || { echo "nginx does not serve the $kind page"; exit 1; }
done

# the service's live threads; a connection's thread ends once its client has gone and its last
# request is answered
threads() { awk '/^Threads:/ {print $2}' "/proc/$svc/status"; }
# waits until the service is back to its idle threads and prints how many seconds that took
drain() {
    local t0=$SECONDS
    for _ in $(seq 1200); do [ "$(threads)" -le "$idle" ] && break; sleep 0.1; done
    echo $(( SECONDS - t0 ))
}
sleep 0.5
idle=$(threads)

median() { sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
ms() { awk -v v="$1" 'BEGIN { if (v ~ /us$/) print (v+0) / 1000; else if (v ~ /ms$/) print v+0; else print (v+0) * 1000 }'; }
# requests/s, p50 and p99 latency (ms) of one wrk run, then any errors
one() {
    local url="$1" c="$2" t d
    shift 2
    t=$(( c < 4 ? c : 4 ))
    # with 200 connections a request of the service waits for the 199 before it: three times
    # as long a run, so that most of it is the steady state
    d=$(( c == 200 ? 3 * secs : secs ))
    # (a request slower than the timeout would count as an error, not in the latencies)
    wrk -t"$t" -c"$c" -d"${d}s" --timeout 60s --latency -H "Cookie: $cookie" "$@" "$url" >"$tmp/wrk" 2>&1
    local rps p50 p99 errs
    rps=$(awk '/^Requests\/sec/ {print $2}' "$tmp/wrk")
    p50=$(awk '$1=="50%" {print $2}' "$tmp/wrk")
    p99=$(awk '$1=="99%" {print $2}' "$tmp/wrk")
    errs=$(grep -E 'Socket errors|Non-2xx' "$tmp/wrk" | tr '\n' ' ' || true)
    echo "$rps $(ms "$p50") $(ms "$p99") $errs"
}

printf "%-5s %-5s %12s %12s %10s %10s %10s %10s %10s\n" page conns ours/s nginx/s time-ratio p50ours p50nginx p99ours p99nginx
for kind in html xml; do
    declare -n hdr="$kind"
    conns="1 16 200"
    # the XML answer differs from the page by the rendering alone: two rows of it are enough
    [ "$kind" = xml ] && conns="1 16"
    for c in $conns; do
        : >"$tmp/a"; : >"$tmp/b"
        for _ in $(seq "$runs"); do
            # the service's threads and memory half-way through the run with 200 connections
            [ "$c" = 200 ] && { sleep $(( 3 * secs / 2 )); grep -E 'Threads|VmRSS|VmHWM' "/proc/$svc/status" \
                | tr '\n' ' ' >>"$tmp/load"; echo >>"$tmp/load"; } &
            one "$base$path" "$c" "${hdr[@]}" >>"$tmp/a"
            echo "$kind $c: the service went on for $(drain) s after wrk" >>"$tmp/drain"
            one "http://127.0.0.1:$theirs$path" "$c" "${hdr[@]}" >>"$tmp/b"
        done
        grep -h -E 'errors|Non-2xx' "$tmp/a" | sed 's/^/  ours: /' || true
        grep -h -E 'errors|Non-2xx' "$tmp/b" | sed 's/^/  nginx: /' || true
        ra=$(awk '{print $1}' "$tmp/a" | median); rb=$(awk '{print $1}' "$tmp/b" | median)
        la=$(awk '{print $2}' "$tmp/a" | median); lb=$(awk '{print $2}' "$tmp/b" | median)
        qa=$(awk '{print $3}' "$tmp/a" | median); qb=$(awk '{print $3}' "$tmp/b" | median)
        printf "%-5s %-5s %12.1f %12.0f %10.2f %10.3f %10.3f %10.3f %10.3f\n" "$kind" "$c" "$ra" "$rb" \
            "$(awk -v a="$ra" -v b="$rb" 'BEGIN{print b/a}')" "$la" "$lb" "$qa" "$qb"
    done
done
exec 3>&-
for _ in $(seq 100); do grep -q '^stopped' "$tmp/out" && break; sleep 0.1; done
cat "$tmp/drain"
echo "web service while 200 connections were open:"
cat "$tmp/load" 2>/dev/null || true
echo "web service at the end:"
grep -E 'Threads|Vm|stopped' "$tmp/out" || true
