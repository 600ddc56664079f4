#!/usr/bin/env python3
"""Main-process memory of the web server around a burst of idle connections from one client.

    idle_burst.py PID PORT [--count N] [--after S]

Reads the server's resident memory and thread count (from /proc/PID) before the burst, once COUNT
idle connections (sending nothing) are open or refused, and AFTER seconds after they are all
closed. Prints one line of key=value figures. Raise this shell's open-file limit first.
"""
import argparse
import socket
import time


def figures(pid):
    values = {}
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            key, _, value = line.partition(":")
            if key in ("VmRSS", "Threads"):
                values[key] = int(value.split()[0])
    return values["VmRSS"] // 1024, values["Threads"]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("pid", type=int)
    parser.add_argument("port", type=int)
    parser.add_argument("--count", type=int, default=10000)
    parser.add_argument("--after", type=int, default=60)
    args = parser.parse_args()

    before = figures(args.pid)
    sockets, failed = [], 0
    start = time.monotonic()
    for _ in range(args.count):
        try:
            sockets.append(socket.create_connection(("127.0.0.1", args.port), timeout=5))
        except OSError:
            failed += 1
    opened = time.monotonic() - start
    time.sleep(2)
    # Connections the server closed at once (over the cap) read as end of stream.
    refused = 0
    for s in sockets:
        s.setblocking(False)
        try:
            if s.recv(1) == b"":
                refused += 1
        except BlockingIOError:
            pass
        except OSError:
            refused += 1
    during = figures(args.pid)
    probe_start = time.monotonic()
    with socket.create_connection(("127.0.0.1", args.port), timeout=30) as probe:
        probe.sendall(b"GET / HTTP/1.1\r\nHost: x\r\n\r\n")
        ok = probe.recv(12).startswith(b"HTTP/1.1")
    probe_ms = (time.monotonic() - probe_start) * 1000
    for s in sockets:
        s.close()
    time.sleep(args.after)
    after = figures(args.pid)
    print(f"count={args.count} connect_failed={failed} refused={refused} open_s={opened:.1f} "
          f"rss_mb_before={before[0]} rss_mb_during={during[0]} rss_mb_after={after[0]} "
          f"threads_before={before[1]} threads_during={during[1]} threads_after={after[1]} "
          f"probe_ok={ok} probe_ms={probe_ms:.0f}")


if __name__ == "__main__":
    main()
