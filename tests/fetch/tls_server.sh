#!/usr/bin/env bash
# Starts or stops a native TLS server (openssl s_server) for the Windows tests under Wine, which
# cannot start Linux processes themselves. It serves the files of its folder over HTTPS on
# 127.0.0.1 with a certificate made for the run, and ends by itself after five minutes.
#   tls_server.sh start <folder>   writes <folder>/info.txt: "<https address of hello.txt>"
#   tls_server.sh stop <folder>
set -euo pipefail
action=$1
folder=$2
case "$action" in
  start)
    rm -rf "$folder"
    mkdir -p "$folder"
    cd "$folder"
    openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 \
      -subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 \
      -keyout key.pem -out cert.pem >/dev/null 2>&1
    echo "hello over tls" > hello.txt
    for attempt in 1 2 3 4 5; do
      port=$((20000 + RANDOM % 30000))
      timeout 300 openssl s_server -accept "127.0.0.1:$port" -cert cert.pem -key key.pem -WWW \
        -quiet </dev/null >server.log 2>&1 &
      echo $! > pid
      sleep 0.5
      if kill -0 "$(cat pid)" 2>/dev/null; then
        echo "https://127.0.0.1:$port/hello.txt" > info.txt
        exit 0
      fi
    done
    echo "tls_server.sh: no TLS server could be started" >&2
    exit 1
    ;;
  stop)
    if [ -f "$folder/pid" ]; then
      kill "$(cat "$folder/pid")" 2>/dev/null || true
      rm -f "$folder/pid"
    fi
    ;;
esac
