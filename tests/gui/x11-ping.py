#!/usr/bin/python3
"""Checks that a window stays alive the way a desktop does: sends it _NET_WM_PING every 100 ms and
listens on the root window for its answers.

usage: x11-ping.py WINDOW-ID (--pid PID | --seconds N | --until-exists PATH)

Stops when process PID has ended, after N seconds, or once PATH exists, then prints
"pings SENT answered ANSWERED longest-silence-ms MS": the longest time any ping went unanswered
(a ping still unanswered at the end counts up to then)."""

import argparse
import os
import sys
import time

from Xlib import X, display, protocol

INTERVAL = 0.1


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("window", type=lambda text: int(text, 0))
    parser.add_argument("--pid", type=int)
    parser.add_argument("--seconds", type=float)
    parser.add_argument("--until-exists")
    args = parser.parse_args()

    dpy = display.Display()
    root = dpy.screen().root
    root.change_attributes(event_mask=X.StructureNotifyMask)
    protocols = dpy.intern_atom("WM_PROTOCOLS")
    ping = dpy.intern_atom("_NET_WM_PING")
    window = dpy.create_resource_object("window", args.window)

    def running():
        if args.pid is not None:
            try:
                os.kill(args.pid, 0)
            except OSError:
                return False
            # A zombie has ended too.
            try:
                with open(f"/proc/{args.pid}/stat") as stat:
                    return stat.read().split(") ")[1][0] != "Z"
            except OSError:
                return False
        if args.until_exists is not None:
            return not os.path.exists(args.until_exists)
        return time.monotonic() < deadline

    deadline = time.monotonic() + (args.seconds if args.seconds is not None else 1e9)
    sent = {}  # serial -> time sent, for the pings not answered yet
    answered = 0
    longest = 0.0
    serial = 0
    next_ping = time.monotonic()
    while running():
        now = time.monotonic()
        if now >= next_ping:
            serial += 1
            event = protocol.event.ClientMessage(
                window=window, client_type=protocols, data=(32, [ping, serial, args.window, 0, 0]))
            window.send_event(event, event_mask=0)
            dpy.flush()
            sent[serial] = now
            next_ping = now + INTERVAL
        while dpy.pending_events():
            event = dpy.next_event()
            if event.type != X.ClientMessage or event.client_type != protocols:
                continue
            kind, number = event.data[1][0], event.data[1][1]
            if kind == ping and number in sent:
                longest = max(longest, time.monotonic() - sent.pop(number))
                answered += 1
        time.sleep(0.005)
    end = time.monotonic()
    for started in sent.values():
        longest = max(longest, end - started)
    print(f"pings {serial} answered {answered} longest-silence-ms {round(longest * 1000)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
