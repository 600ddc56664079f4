#!/usr/bin/env python3
"""Main-process memory of the web server while many connections each send a request head that
never ends (no blank line), as large as the server takes.

    header_burst.py PID PORT [--count N] [--bytes B] [--after S]

Each of COUNT connections sends "GET / HTTP/1.1" and header lines of 8,000 bytes up to B bytes
in all (default 16,000: the most a request head may hold), then waits. Reads the server's
resident memory before, at the peak (all sent), and AFTER seconds after every connection is
closed. Prints one line of key=value figures. Raise this shell's open-file limit first.
"""
import argparse
import socket
import time


def rss_mb(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) // 1024
    return 0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("pid", type=int)
    parser.add_argument("port", type=int)
    parser.add_argument("--count", type=int, default=1000)
    parser.add_argument("--bytes", type=int, default=16000)
    parser.add_argument("--after", type=int, default=10)
    args = parser.parse_args()

    head = b"GET / HTTP/1.1\r\n"
    while len(head) < args.bytes:
        head += b"X-Pad: " + b"a" * min(7991, max(0, args.bytes - len(head) - 9)) + b"\r\n"
    before = rss_mb(args.pid)
    sockets, closed = [], 0
    for _ in range(args.count):
        s = socket.create_connection(("127.0.0.1", args.port), timeout=30)
        s.setblocking(False)
        sockets.append([s, 0])
    # Every head sent as far as the server takes it; a connection the server ends stops there.
    pending = list(sockets)
    deadline = time.monotonic() + 120
    peak = before
    while pending and time.monotonic() < deadline:
        still = []
        for entry in pending:
            s, sent = entry
            try:
                entry[1] += s.send(head[sent:])
                if entry[1] < len(head):
                    still.append(entry)
            except BlockingIOError:
                still.append(entry)
            except OSError:
                closed += 1
        pending = still
        peak = max(peak, rss_mb(args.pid))
        if pending:
            time.sleep(0.01)
    time.sleep(2)
    peak = max(peak, rss_mb(args.pid))
    for s, _ in sockets:
        s.close()
    time.sleep(args.after)
    print(f"count={args.count} head_bytes={len(head)} closed_by_server={closed} unsent={len(pending)} "
          f"rss_before_mb={before} rss_peak_mb={peak} rss_after_mb={rss_mb(args.pid)}")


if __name__ == "__main__":
    main()
