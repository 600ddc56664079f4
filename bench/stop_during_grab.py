#!/usr/bin/env python3
"""How long the real program takes to exit on SIGTERM sent at random moments of a grab of hostile
calendars: each person's feed is just under the 16 MiB answer cap, packed with compact events of
today plus a MINUTELY;BYSECOND series (one address per person, so each is parsed and saved). Serves the feed itself on loopback, starts the program
headless (a fresh state directory holding the previous run's state file, so the restore at start
is inside the window too), waits for its first "Grabbing Calendar for" line, sleeps a random time
in [0, window), sends SIGTERM and times the exit. Prints every try and the worst.

    bench/stop_during_grab.py [--program FILE] [--tries N] [--people N] [--window SECONDS] [--seed N]
"""
import argparse
import datetime
import http.server
import os
import random
import shutil
import signal
import socketserver
import subprocess
import tempfile
import threading
import time

CAP = 16 * 1024 * 1024


def hostile_feed():
    today = datetime.date.today().strftime("%Y%m%d")
    head = ("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//bench//hostile//EN\r\n"
            "BEGIN:VEVENT\r\nUID:minutely\r\nDTSTART:%sT000000Z\r\nDURATION:PT1M\r\n"
            "RRULE:FREQ=MINUTELY;BYSECOND=0,30\r\nSUMMARY:every half minute\r\nEND:VEVENT\r\n" % today)
    tail = "END:VCALENDAR\r\n"
    parts = [head]
    size = len(head) + len(tail)
    n = 0
    while True:
        minute = n % 1440
        event = ("BEGIN:VEVENT\r\nUID:e%d\r\nDTSTART:%sT%02d%02d00Z\r\nDURATION:PT1M\r\nSUMMARY:m%d\r\nEND:VEVENT\r\n"
                 % (n, today, minute // 60, minute % 60, n))
        if size + len(event) >= CAP - 1024:
            break
        parts.append(event)
        size += len(event)
        n += 1
    parts.append(tail)
    return "".join(parts).encode()


def serve(body):
    class Handler(http.server.BaseHTTPRequestHandler):
        def do_GET(self):
            self.send_response(200)
            self.send_header("Content-Type", "text/calendar")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            try:
                self.wfile.write(body)
            except (BrokenPipeError, ConnectionResetError):
                pass  # the program stopped while the feed was on its way

        def log_message(self, *args):
            pass

    server = socketserver.ThreadingTCPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def free_port():
    import socket
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", default=os.path.join(here, "..", "build", "app", "quorvane"))
    parser.add_argument("--tries", type=int, default=20)
    parser.add_argument("--people", type=int, default=4)
    parser.add_argument("--window", type=float, default=0.0, help="0: measured from a first full grab")
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    random.seed(args.seed)

    body = hostile_feed()
    server = serve(body)
    feed = "http://127.0.0.1:%d/hostile.ics" % server.server_address[1]
    work = tempfile.mkdtemp(prefix="quorvane-stop.")
    roster = os.path.join(work, "people.txt")
    with open(roster, "w") as f:
        for i in range(args.people):
            f.write('"Hostile %d",%s?person=%d,"H %d"\n' % (i, feed, i, i))
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    state = os.path.join(work, "state")

    def start():
        out = open(os.path.join(work, "out"), "wb")
        program = subprocess.Popen([args.program, "--port", str(free_port()), "--bind", "127.0.0.1", "--roster", roster,
                                    "--state-dir", state], stdout=out, stderr=subprocess.STDOUT, env=env)
        return program

    def log():
        with open(os.path.join(work, "out"), "rb") as f:
            return f.read().decode(errors="replace")

    def wait_for(text, limit):
        end = time.monotonic() + limit
        while time.monotonic() < end:
            if text in log():
                return True
            time.sleep(0.005)
        return False

    print("feed: %.1f MiB, %d people" % (len(body) / 1048576, args.people))
    # A first full grab: its length sets the window, and it leaves a state file for the tries.
    program = start()
    begun = time.monotonic()
    wait_for("Grabbing Calendar for", 60)
    grabbing = time.monotonic()
    if not wait_for("] Done", 300):
        print("no grab done in 300 s")
    grab = time.monotonic() - grabbing
    time.sleep(2)
    program.send_signal(signal.SIGTERM)
    program.wait()
    window = args.window or grab + 1.0
    state_size = os.path.getsize(os.path.join(state, "board-state.json")) if os.path.exists(
        os.path.join(state, "board-state.json")) else 0
    print("start to grab: %.2f s, grab: %.2f s, state file: %.1f MiB; SIGTERM within %.2f s of the grab's start"
          % (grabbing - begun, grab, state_size / 1048576, window))

    worst = 0.0
    for attempt in range(args.tries):
        program = start()
        wait_for("Grabbing Calendar for", 60)
        delay = random.uniform(0, window)
        time.sleep(delay)
        sent = time.monotonic()
        program.send_signal(signal.SIGTERM)
        code = program.wait()
        took = time.monotonic() - sent
        worst = max(worst, took)
        print("try %2d: SIGTERM at +%.2f s, exit %d after %.3f s" % (attempt + 1, delay, code, took))
    print("worst exit: %.3f s over %d tries" % (worst, args.tries))
    server.shutdown()
    shutil.rmtree(work)


if __name__ == "__main__":
    main()
