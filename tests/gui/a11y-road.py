#!/usr/bin/python3
"""A cut and a join as a screen reader user does them, through the accessibility bus (AT-SPI): every
control of the window is found by its role and name, its text is set, its buttons are pressed, and
each message box is read and answered.

usage: a11y-road.py WORKDIR

The window program must be running on the same accessibility bus. Prints what fails and exits 1."""

import filecmp
import os
import sys
import time

import pyatspi
from gi.repository import GLib

TIMEOUT = 30
# The roles of the controls a user acts on or reads: each must have a name.
CONTROL_ROLES = {"push button", "text", "radio button", "check box", "list", "progress bar", "page tab",
                 "combo box"}


def fail(message):
    print(f"a11y-road: {message}")
    sys.exit(1)


def wait_for(what, find):
    deadline = time.monotonic() + TIMEOUT
    while time.monotonic() < deadline:
        try:
            found = find()
        except GLib.GError:
            found = None  # an object went away while it was looked at, as a closing box does: look again
        if found is not None:
            return found
        time.sleep(0.1)
    fail(f"no {what}")


def descendants(node):
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield child
            yield from descendants(child)


def find(root, role, name):
    for node in descendants(root):
        if node.getRoleName() == role and node.name.strip() == name:
            return node
    return None


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == "parvix":
            return app
    return None


def press(node):
    if not node.queryAction().doAction(0):
        fail(f"could not press {node.getRoleName()} \"{node.name}\"")


def set_text(node, text):
    if not node.queryEditableText().setTextContents(text):
        fail(f"could not type into \"{node.name}\"")


def text_of(node):
    return node.queryText().getText(0, -1)


def toggle_twice(node):
    """Presses a check box on and off again, each press seen to flip its state."""
    for checked in (True, False):
        press(node)
        wait_for(f"check box \"{node.name}\" {'checked' if checked else 'unchecked'}",
                 lambda: True if node.getState().contains(pyatspi.STATE_CHECKED) == checked else None)


class Road:
    def __init__(self):
        self.app = wait_for("application \"parvix\" on the accessibility bus", application)
        self.window = wait_for("window \"Parvix toolbox\"", lambda: self.top_level("Parvix toolbox"))

    def top_level(self, name, role=None):
        for i in range(self.app.childCount):
            window = self.app.getChildAtIndex(i)
            if window is not None and window.name == name and (role is None or window.getRoleName() == role):
                return window
        return None

    def control(self, role, name):
        return wait_for(f"{role} \"{name}\"", lambda: find(self.window, role, name))

    def answer(self, text, button, starts=False):
        """Waits for the message box that says `text` (or starts with it), reads it and presses `button`."""
        def box():
            found = self.top_level("Parvix", "alert")
            said = found.description if found is not None else ""
            return found if said == text or (starts and said.startswith(text)) else None
        found = wait_for(f"message box saying \"{text}\"", box)
        press(wait_for(f"button \"{button}\"", lambda: find(found, "push button", button)))
        wait_for(f"message box \"{text}\" closing", lambda: None if box() else True)

    def check_names(self):
        unnamed = [node.getRoleName() for node in descendants(self.window)
                   if node.getRoleName() in CONTROL_ROLES and not node.name.strip()]
        if unnamed:
            fail(f"controls without a name: {unnamed}")
        # The three "..." buttons are each named by what they browse.
        if find(self.window, "push button", "...") is not None:
            fail("a \"...\" button is named by its caption")


def main():
    work = sys.argv[1]
    source = os.path.join(work, "report.txt")
    with open(source, "wb") as out:
        out.write(os.urandom(3_000_000))
    joined = os.path.join(work, "joined.txt")

    road = Road()
    road.check_names()
    road.control("progress bar", "Progress")

    press(road.control("page tab", "Cut file"))
    recovery = road.control("check box", "Write recovery data")
    if recovery.getState().contains(pyatspi.STATE_CHECKED):
        fail("\"Write recovery data\" is checked at start")
    toggle_twice(recovery)
    set_text(road.control("text", "File to be Cutted:"), source)
    set_text(road.control("text", "Destination:"), os.path.join(work, "report$txt"))
    press(road.control("push button", "Cut"))
    road.answer(f"Are you sure \uff1fThe file {source} will to be cutted!  ", "Yes")
    road.answer(f"{source} is cutted completely!", "OK", starts=True)
    pieces = [os.path.join(work, f"report$txt.00{n}") for n in (1, 2, 3)]
    if not all(os.path.exists(piece) for piece in pieces):
        fail(f"the cut did not write three pieces: {sorted(os.listdir(work))}")
    text4 = road.control("text", "Save as a destination file:")
    if text_of(text4) != source:
        fail(f"the joined file proposed is \"{text_of(text4)}\"")
    listed = [node.name for node in descendants(road.control("list", "Join list"))]
    if listed != pieces:
        fail(f"the join list holds {listed}")

    set_text(text4, joined)
    press(road.control("push button", "Join"))
    road.answer(f"Are you sure? the file  {joined}  will to be joined", "Yes")
    road.answer(f"{joined} is joined completely!", "OK")
    if not filecmp.cmp(source, joined, shallow=False):
        fail("the join did not give the source back")
    print("a11y-road: passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
