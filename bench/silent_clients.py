#!/usr/bin/env python3
"""Holds many idle connections to a loopback web server while a normal client is still answered.

    silent_clients.py PORT [--count N] [--timeout-ms MS] [--probes N]

Opens COUNT connections: half send nothing, half trickle one byte of a request line a second.
Meanwhile a normal client fetches the page PROBES times, each on a fresh connection, and its
latencies are reported. Then it waits for the server to close the idle connections and reports
how many it closed and when, against the server's request time-out TIMEOUT-MS. Prints one line
of key=value figures; exit code 1 when a probe failed or an idle connection was left open.
"""
import argparse
import selectors
import socket
import statistics
import sys
import time

REQUEST = b"GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"


def fetch(port):
    start = time.monotonic()
    with socket.create_connection(("127.0.0.1", port), timeout=10) as s:
        s.sendall(REQUEST)
        data = b""
        while True:
            chunk = s.recv(65536)
            if not chunk:
                break
            data += chunk
    elapsed = (time.monotonic() - start) * 1000.0
    return elapsed, data.startswith(b"HTTP/1.1 200")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("port", type=int)
    parser.add_argument("--count", type=int, default=1000)
    parser.add_argument("--timeout-ms", type=int, default=5000)
    parser.add_argument("--probes", type=int, default=50)
    args = parser.parse_args()

    opened = time.monotonic()
    idle = []
    for i in range(args.count):
        s = socket.create_connection(("127.0.0.1", args.port), timeout=10)
        s.setblocking(False)
        idle.append((s, i % 2 == 1))  # odd ones trickle
    open_ms = (time.monotonic() - opened) * 1000.0

    # The normal client, while every idle connection is held open.
    latencies, failures = [], 0
    for _ in range(args.probes):
        try:
            ms, ok = fetch(args.port)
        except OSError:
            ms, ok = 0.0, False
        latencies.append(ms)
        failures += 0 if ok else 1

    # Wait for the server to close the idle ones (trickling a byte a second meanwhile).
    selector = selectors.DefaultSelector()
    for index, (s, _) in enumerate(idle):
        selector.register(s, selectors.EVENT_READ, index)
    closed_at = {}
    sent = [0] * len(idle)
    limit = opened + args.timeout_ms / 1000.0 + 10.0
    next_tick = time.monotonic()
    while len(closed_at) < len(idle) and time.monotonic() < limit:
        now = time.monotonic()
        if now >= next_tick:
            for index, (s, trickle) in enumerate(idle):
                if trickle and index not in closed_at and sent[index] < len(REQUEST) - 4:
                    try:
                        s.send(REQUEST[sent[index]:sent[index] + 1])
                        sent[index] += 1
                    except OSError:
                        pass
            next_tick = now + 1.0
        for key, _ in selector.select(timeout=0.05):
            index = key.data
            try:
                data = key.fileobj.recv(4096)
            except OSError:
                data = b""
            if not data:
                closed_at[index] = (time.monotonic() - opened) * 1000.0
                selector.unregister(key.fileobj)
    for s, _ in idle:
        s.close()

    times = sorted(closed_at.values())
    latencies.sort()
    figures = {
        "idle": len(idle),
        "open_ms": round(open_ms),
        "probes": args.probes,
        "probe_failures": failures,
        "probe_median_ms": round(statistics.median(latencies), 2),
        "probe_p95_ms": round(latencies[int(0.95 * (len(latencies) - 1))], 2),
        "probe_max_ms": round(latencies[-1], 2),
        "idle_closed": len(times),
        "first_close_ms": round(times[0]) if times else -1,
        "last_close_ms": round(times[-1]) if times else -1,
        "timeout_ms": args.timeout_ms,
    }
    print(" ".join(f"{k}={v}" for k, v in figures.items()))
    return 0 if failures == 0 and len(times) == len(idle) else 1


if __name__ == "__main__":
    sys.exit(main())
