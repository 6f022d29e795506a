#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads and drives the program through AT-SPI, as a screen reader does, and checks what a
screen reader user needs: a name of its own for every input, results spoken with their
meaning and reaching the user without a focus move, no flood of events during long work,
a prime table that is a window, and nothing cut off with large fonts.

Run it through run.sh, which provides the display, the session bus and the accessibility
bus. It prints the measured figures and then the failures; the exit status is 0 when all
requirements hold, 1 when some do not and 2 when the program could not be examined.
"""

import argparse
import collections
import json
import os
import re
import shutil
import subprocess
import sys
import threading
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib, GObject  # noqa: E402
import pyatspi  # noqa: E402

MAIN_TITLE = "Kalmora - Laboratorium 1"
PRIME_TITLE = "Generator liczb pierwszych"
PRIME_MENU_ENTRY = "Tablica liczb pierwszych"

SPIN = "spin button"
TEXT = "text"
LIST = "list"
BUTTON = "push button"
LABEL = "label"
INPUT_ROLES = {SPIN, TEXT, LIST, "entry", "password text", "combo box", "radio button",
               "check box", "slider", "table", "tree", "tree table", "list box"}

# The controls, found by the group box (or window part) that holds them, their role and
# their place among the siblings of that role, which is the order of the forms. The last
# column is the text of the label that stands beside a field, which should label it.
MAIN_CONTROLS = [
    ("nwd1", "NWD", SPIN, 0, "Pierwsza liczba:"),
    ("nwd2", "NWD", SPIN, 1, "Druga liczba:"),
    ("nwdGo", "NWD", BUTTON, 0, None),
    ("nwdResult", "NWD", LABEL, 0, None),
    ("mulmodN", "Mnożenie w grupie modulo", SPIN, 0, "Moduł:"),
    ("mulmod2", "Mnożenie w grupie modulo", SPIN, 1, "Czynnik:"),
    ("mulmod1", "Mnożenie w grupie modulo", SPIN, 2, "Czynnik:"),
    ("mulmodGo", "Mnożenie w grupie modulo", BUTTON, 0, None),
    ("mulmodResult", "Mnożenie w grupie modulo", LABEL, 3, None),
    ("expN", "Potęgowanie w grupie modulo n", SPIN, 0, "Moduł:"),
    ("exp1", "Potęgowanie w grupie modulo n", SPIN, 1, "Podstawa:"),
    ("exp2", "Potęgowanie w grupie modulo n", SPIN, 2, "Wykładnik:"),
    ("expGo", "Potęgowanie w grupie modulo n", BUTTON, 0, None),
    ("expResult", "Potęgowanie w grupie modulo n", LABEL, 3, None),
    ("odwr", "Odwrotność w grupie modulo n", SPIN, 0, "Baza:"),
    ("odwrN", "Odwrotność w grupie modulo n", SPIN, 1, "Moduł:"),
    ("odwrGo", "Odwrotność w grupie modulo n", BUTTON, 0, None),
    ("odwrResult", "Odwrotność w grupie modulo n", LABEL, 2, None),
    ("primeNumber", "Testy na pierwszość", TEXT, 0, "Testowana liczba:"),
    ("primeTries", "Testy na pierwszość", SPIN, 0, "Liczba prób:"),
    ("primeGo", "Testy na pierwszość", BUTTON, 0, None),
    ("fermatPb", "Testy na pierwszość", "progress bar", 0, None),
    ("primeResult", "Testy na pierwszość", LABEL, 2, None),
    ("pollardRho", "Faktoryzacja Pollard rho", TEXT, 0, "Liczba do faktoryzacji:"),
    ("pollardGo", "Faktoryzacja Pollard rho", BUTTON, 0, None),
    ("pollardRhoResult", "Faktoryzacja Pollard rho", LABEL, 1, None),
    ("pollardP", "Faktoryzacja Pollard p-1", TEXT, 0, "Liczba do faktoryzacji:"),
    ("pollard1Go", "Faktoryzacja Pollard p-1", BUTTON, 0, None),
    ("pollardPResult", "Faktoryzacja Pollard p-1", LABEL, 1, None),
    ("shanksA", "Shanks", SPIN, 0, "a:"),
    ("shanksY", "Shanks", SPIN, 1, "y:"),
    ("shanksN", "Shanks", SPIN, 2, "n:"),
    ("shanksGo", "Shanks", BUTTON, 0, None),
    ("shanksResult", "Shanks", LABEL, 3, None),
    ("lognA", "Log n", SPIN, 0, "a:"),
    ("lognY", "Log n", SPIN, 1, "y:"),
    ("lognN", "Log n", SPIN, 2, "n:"),
    ("lognGo", "Log n", BUTTON, 0, None),
    ("lognResult", "Log n", LIST, 0, None),
]
# The phrase page and the CRC32 page have no group box: their controls are found on the
# page itself (page index in the tab widget).
PAGE_CONTROLS = [
    ("decipher", 3, BUTTON, 0, None),
    ("cipher", 3, BUTTON, 1, None),
    ("text", 3, TEXT, 0, None),
    ("phrase", 3, TEXT, 1, "Fraza:"),
    ("letter", 3, TEXT, 2, "Litera:"),
    ("crcContent", 4, TEXT, 0, None),
    ("crcButton", 4, BUTTON, 0, None),
    ("crcLabel", 4, LABEL, 0, None),
]
PRIME_CONTROLS = [
    ("load", BUTTON, 0, None),
    ("save", BUTTON, 1, None),
    ("generate", BUTTON, 2, None),
    ("min", TEXT, 0, "Od:"),
    ("max", TEXT, 1, "Do:"),
    ("list", LIST, 0, None),
]

# Results pressed for their spoken form: the inputs set, the button, the result label, the
# painted text stripped of its markup (what Qt reads out by default), and the word stems
# that a spoken form keeps the meaning with.
RESULT_CASES = [
    ("exp 3^5 mod 7", {"exp1": 3, "exp2": 5, "expN": 7}, "expGo", "expResult",
     "3 5 mod 7 = 5", ["potęg"]),
    ("odwr 3 mod 7", {"odwr": 3, "odwrN": 7}, "odwrGo", "odwrResult",
     "3 -1 mod 7 = 5", ["odwrotn"]),
    ("Shanks a=2 y=3 n=11", {"shanksA": 2, "shanksY": 3, "shanksN": 11}, "shanksGo",
     "shanksResult", "log23 (mod 11) = 8", ["logarytm", "podstaw"]),
    ("mulmod 7*8 mod 5", {"mulmod1": 7, "mulmod2": 8, "mulmodN": 5}, "mulmodGo",
     "mulmodResult", "7 ⋅ 8 mod 5 = 1", ["razy", "modulo"]),
    ("nwd 12 18", {"nwd1": 12, "nwd2": 18}, "nwdGo", "nwdResult", "NWD(12, 18) = 6",
     ["dzielnik"]),
    ("rho 8051", {"pollardRho": "8051"}, "pollardGo", "pollardRhoResult", "8051 = 97 ⋅ 83",
     ["razy"]),
    ("crc 123456789", {"crcContent": "123456789"}, "crcButton", "crcLabel",
     "hex=0xCBF43926\tdec=3421780262", ["szesnastkowo", "dziesiętnie"]),
]

EVENT_CLASSES = ["object:", "window:", "focus:", "document:"]
EVENTS_PER_SECOND_LIMIT = 20


DEBUG = bool(os.environ.get("A11Y_DEBUG"))
STARTED = time.monotonic()


def debug(message):
    if DEBUG:
        print("[%7.2f] %s" % (time.monotonic() - STARTED, message), file=sys.stderr, flush=True)


class HarnessError(Exception):
    """The program or the accessibility stack could not be brought to the point of a check."""


# ---------------------------------------------------------------------------------------
# Waiting without fixed sleeps: the GLib main loop delivers the events while we wait.

def pump(seconds):
    deadline = time.monotonic() + seconds
    context = GLib.MainContext.default()
    while time.monotonic() < deadline:
        if not context.iteration(False):
            time.sleep(0.002)


def pump_until(predicate, timeout, step=0.02):
    deadline = time.monotonic() + timeout
    context = GLib.MainContext.default()
    while True:
        while context.iteration(False):
            pass
        if predicate():
            return True
        if time.monotonic() >= deadline:
            return False
        time.sleep(step)


# ---------------------------------------------------------------------------------------
# Events

# One event as it arrived: `data` is what the event carried, or the name asked for when it
# carried none; `carried` tells whether the event itself held that text, as a screen reader
# needs it to (Orca speaks the text of a name, description or announcement event, not the
# object's current one); `role` is the source's role, asked for on showing events only.
Event = collections.namedtuple("Event", "time type path detail1 detail2 data carried role")


class Recorder:
    """Every event of the listened classes, with its arrival time. `delay` makes it a slow
    reader, which spends that long on each event as a speech client does."""

    def __init__(self):
        self.events = []
        self.delay = 0.0
        self.fetch_names = True
        # Past this moment the reader stops being slow, so that a flood that does not end
        # cannot keep the check waiting inside one pass of the main loop.
        self.slow_until = float("inf")
        self.recording = True
        self.listener = Atspi.EventListener.new(self._on_event)
        for event_class in EVENT_CLASSES:
            self.listener.register(event_class)

    def _on_event(self, event):
        if not self.recording:
            return
        data = event.any_data
        if isinstance(data, GObject.Value):
            data = data.get_value()
        source = event.source
        carried = isinstance(data, str)
        if self.fetch_names and time.monotonic() < self.slow_until and not carried \
                and event.type == "object:property-change:accessible-name" and source is not None:
            try:
                data = source.get_name()
            except GLib.Error:
                data = None
        if not isinstance(data, (str, int, float)) or isinstance(data, bool):
            data = None
        source_role = None
        if event.type == "object:state-changed:showing" and source is not None:
            try:
                source_role = source.get_role_name()
            except GLib.Error:
                pass
        self.events.append(Event(time.monotonic(), event.type, source.path if source else "",
                                 event.detail1, event.detail2, data, carried, source_role))
        if self.delay and time.monotonic() < self.slow_until:
            time.sleep(self.delay)

    def mark(self):
        return len(self.events)

    def since(self, mark):
        return self.events[mark:]

    def quiet_for(self, seconds):
        return not self.events or time.monotonic() - self.events[-1][0] >= seconds

    def drain(self, quiet, cap):
        """Waits until no event has come for `quiet` seconds, at most `cap` seconds."""
        pump_until(lambda: self.quiet_for(quiet), cap)

    def close(self):
        for event_class in EVENT_CLASSES:
            self.listener.deregister(event_class)


# ---------------------------------------------------------------------------------------
# The program under test

class Program:
    def __init__(self, path, extra_env=None):
        env = dict(os.environ)
        env.update({"QT_QPA_PLATFORM": "xcb", "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
                    "QT_ACCESSIBILITY": "1", "LC_ALL": "C.UTF-8", "LANG": "C.UTF-8"})
        env.pop("QT_FONT_DPI", None)
        env.update(extra_env or {})
        self.stderr = open(os.path.join(os.environ.get("XDG_RUNTIME_DIR", "/tmp"),
                                        "program-%d.log" % time.monotonic_ns()), "w+")
        self.process = subprocess.Popen([path], env=env, stdout=subprocess.DEVNULL,
                                        stderr=self.stderr)
        pids = os.environ.get("A11Y_PIDS")
        if pids:
            with open(pids, "a") as f:
                f.write("%d\n" % self.process.pid)
        self.app = None

    def wait_registered(self, timeout=30, title=MAIN_TITLE):
        """Polls the registry until the program's window `title` is there."""
        def registered():
            if self.process.poll() is not None:
                raise HarnessError("the program ended with status %d before it registered:\n%s"
                                   % (self.process.returncode, self.output_tail()))
            self.app = self._find_application()
            return self.app is not None and self.frame(title) is not None
        if not pump_until(registered, timeout, step=0.1):
            raise HarnessError("the program did not appear in the accessibility registry "
                               "within %d s" % timeout)
        return self.app

    def _find_application(self):
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            try:
                if app is not None and app.get_process_id() == self.process.pid:
                    return app
            except GLib.Error:
                continue
        return None

    def windows(self):
        return [self.app.getChildAtIndex(i) for i in range(self.app.childCount)]

    def frame(self, title):
        for window in self.windows():
            if window is not None and window.name == title:
                return window
        return None

    def wait_frame(self, title, timeout=10):
        pump_until(lambda: self.frame(title) is not None, timeout)
        return self.frame(title)

    def output_tail(self, lines=10):
        self.stderr.flush()
        self.stderr.seek(0)
        return "".join(self.stderr.readlines()[-lines:])

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait(5)
        self.stderr.close()


# ---------------------------------------------------------------------------------------
# The accessible tree

def role(acc):
    # at-spi2-core 2.50 renamed the role "push button" to "button"; its value stayed.
    if acc.getRole() == Atspi.Role.PUSH_BUTTON:
        return BUTTON
    return acc.getRoleName()


def children(acc):
    return [c for c in (acc.getChildAtIndex(i) for i in range(acc.childCount)) if c is not None]


def descendants(acc):
    stack = [acc]
    while stack:
        node = stack.pop()
        yield node
        stack.extend(reversed(children(node)))


def has_state(acc, state):
    return acc.getState().contains(state)


def labelled_by(acc):
    targets = []
    for relation in acc.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            for i in range(relation.getNTargets()):
                target = relation.getTarget(i)
                targets.append((role(target), target.name))
    return targets


def extents(acc):
    try:
        box = acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        return (box.x, box.y, box.width, box.height)
    except NotImplementedError:
        return None


def find_group(window, title):
    for node in descendants(window):
        if role(node) == "panel" and node.name == title:
            return node
    raise HarnessError("no group box %r in %r" % (title, window.name))


def nth_child(parent, wanted_role, index, where):
    matches = [c for c in children(parent) if role(c) == wanted_role]
    if index >= len(matches):
        raise HarnessError("no %s #%d in %s" % (wanted_role, index, where))
    return matches[index]


def main_pages(frame):
    for node in descendants(frame):
        if role(node) == "layered pane":
            return children(node)
    raise HarnessError("the tab widget's pages were not found")


def page_tab_list(frame):
    for node in descendants(frame):
        if role(node) == "page tab list":
            return node
    raise HarnessError("no page tab list")


def locate_main(frame):
    found = {}
    for name, group, wanted_role, index, _ in MAIN_CONTROLS:
        found[name] = nth_child(find_group(frame, group), wanted_role, index, group)
    pages = main_pages(frame)
    for name, page, wanted_role, index, _ in PAGE_CONTROLS:
        content = [n for n in descendants(pages[page]) if role(n) == wanted_role
                   and not any(role(a) == TEXT for a in ancestors_within(n, pages[page]))]
        if index >= len(content):
            raise HarnessError("no %s #%d on page %d" % (wanted_role, index, page))
        found[name] = content[index]
    return found


def ancestors_within(node, top):
    result = []
    parent = node.parent
    while parent is not None and parent != top:
        result.append(parent)
        parent = parent.parent
    return result


def locate_prime(window):
    found = {}
    content = window
    for name, wanted_role, index, _ in PRIME_CONTROLS:
        matches = [n for n in descendants(content) if role(n) == wanted_role
                   and not any(role(a) in (TEXT, LIST) for a in ancestors_within(n, content))]
        if index >= len(matches):
            raise HarnessError("no %s #%d in the prime table window" % (wanted_role, index))
        found[name] = matches[index]
    return found


def path_names(frame, controls):
    """Event source paths mapped to a readable name: object names where known."""
    names = {}
    for node in descendants(frame):
        names[node.path] = "%s %r" % (role(node), node.name)
    for object_name, acc in controls.items():
        names[acc.path] = object_name
    names[frame.path] = "window %r" % frame.name
    return names


# ---------------------------------------------------------------------------------------
# Driving

def press(acc):
    action = acc.queryAction()
    for i in range(action.nActions):
        if action.getName(i).lower() in ("press", "click", "activate", "toggle"):
            action.doAction(i)
            return
    action.doAction(0)


def set_value(acc, value):
    if isinstance(value, str):
        acc.queryEditableText().setTextContents(value)
    else:
        acc.queryValue().currentValue = float(value)


def text_of(acc):
    try:
        text = acc.queryText()
        return text.getText(0, -1)
    except NotImplementedError:
        return None


def select_page(frame, index):
    tabs = [t for t in children(page_tab_list(frame)) if role(t) == "page tab"]
    press(tabs[index])
    pump_until(lambda: has_state(tabs[index], pyatspi.STATE_SELECTED), 3)


def focused_object(frame):
    for node in descendants(frame):
        if has_state(node, pyatspi.STATE_FOCUSED):
            return node
    return None


def grab_focus(acc):
    try:
        acc.queryComponent().grabFocus()
    except NotImplementedError:
        pass
    return pump_until(lambda: has_state(acc, pyatspi.STATE_FOCUSED), 3)


def x_window(program, title):
    found = subprocess.run(["xdotool", "search", "--all", "--onlyvisible", "--pid",
                            str(program.process.pid), "--name", "^%s$" % re.escape(title)],
                           capture_output=True, text=True, timeout=10).stdout.split()
    if not found:
        raise HarnessError("no X window titled %r" % title)
    return found[-1]


def activate(program, title):
    """Gives the window the keyboard focus, as a window manager does for the window the
    user works in; the virtual display has no window manager."""
    subprocess.run(["xdotool", "windowfocus", "--sync", x_window(program, title)],
                   check=True, timeout=10)
    pump(0.3)


def device_pixel_ratio(program, frame):
    """Screen pixels per pixel of the extents: Qt 6 scales the whole window with the font
    resolution, and its extents stay in unscaled pixels."""
    out = subprocess.run(["xdotool", "getwindowgeometry", "--shell",
                          x_window(program, frame.name)], capture_output=True, text=True,
                         check=True, timeout=10).stdout
    width = int(re.search(r"WIDTH=(\d+)", out).group(1))
    return width / extents(frame)[2]


def key(name):
    subprocess.run(["xdotool", "key", "--clearmodifiers", name], check=True, timeout=10)


# ---------------------------------------------------------------------------------------
# Checks. Each returns (figures, failures): figures is a dict printed as the report.

def controls_of(window):
    """The window's controls as a user tabs through them: focusable objects and inputs,
    without the items inside lists and text fields, and without the tab bar, whose tabs
    are named by their page titles."""
    found = []
    stack = children(window)[::-1]
    while stack:
        node = stack.pop()
        r = role(node)
        if r == "page tab list":
            continue
        is_tab_widget = any(role(c) == "page tab list" for c in children(node))
        if (has_state(node, pyatspi.STATE_FOCUSABLE) or r in INPUT_ROLES) \
                and not is_tab_widget:
            found.append(node)
        if r not in (LIST, TEXT, "table", "tree", "tree table", "list box"):
            stack.extend(reversed(children(node)))
    return found


def group_title(node):
    parent = node.parent
    while parent is not None:
        if role(parent) == "panel":
            return parent.name
        parent = parent.parent
    return None


def check_names(window, title, expected_labels):
    """Every control with its role, name and labels; the inputs without a name of their own
    (none, or only their group box's title) and the names that inputs share."""
    controls = []
    for node in controls_of(window):
        name = node.name.strip()
        controls.append({
            "role": role(node), "name": node.name,
            "enabled": has_state(node, pyatspi.STATE_ENABLED),
            "own_name": bool(name) and name != group_title(node),
            "labelled_by": labelled_by(node)})
    inputs = [c for c in controls if c["role"] in INPUT_ROLES]
    enabled_inputs = [c for c in inputs if c["enabled"]]
    by_name = collections.defaultdict(list)
    for c in enabled_inputs:
        if c["name"].strip():
            by_name[c["name"]].append(c)
    shared = {name: len(cs) for name, cs in by_name.items() if len(cs) > 1}
    beside = []
    for object_name, acc, label_text in expected_labels:
        targets = labelled_by(acc)
        ok = any(r == LABEL and n == label_text for r, n in targets)
        beside.append({"control": object_name, "name": acc.name, "label": label_text,
                       "labelled_by": targets, "labelled_by_label_beside": ok})
    failures = []
    empty = [c["role"] for c in enabled_inputs if not c["name"].strip()]
    if empty:
        failures.append("%s: %d inputs without a name: %s" % (title, len(empty),
                                                             ", ".join(empty)))
    group_only = ["%s %r" % (c["role"], c["name"]) for c in enabled_inputs
                  if c["name"].strip() and not c["own_name"]]
    if group_only:
        failures.append("%s: %d inputs named only by their group box: %s"
                        % (title, len(group_only), ", ".join(group_only)))
    if shared:
        failures.append("%s: names shared by several inputs: %s" % (
            title, ", ".join("%r (%d)" % item for item in shared.items())))
    unlabelled = ["%s (%r)" % (b["control"], b["label"]) for b in beside
                  if not b["labelled_by_label_beside"]]
    if unlabelled:
        failures.append("%s: %d fields not labelled by the label beside them: %s"
                        % (title, len(unlabelled), ", ".join(unlabelled)))
    figures = {
        "controls": len(controls),
        "controls_without_own_name": sum(1 for c in controls if not c["own_name"]),
        "inputs": len(inputs),
        "enabled_inputs": len(enabled_inputs),
        "enabled_inputs_empty_name": sum(1 for c in enabled_inputs if not c["name"].strip()),
        "enabled_inputs_group_title_only": sum(1 for c in enabled_inputs
                                               if c["name"].strip() and not c["own_name"]),
        "enabled_inputs_sharing_a_name": sum(shared.values()),
        "shared_names": shared,
        "fields_labelled_by_label_beside": "%d of %d" % (
            sum(1 for b in beside if b["labelled_by_label_beside"]), len(beside)),
        "list": ["%s %r%s%s labelled by %s" % (
            c["role"], c["name"], "" if c["enabled"] else " (disabled)",
            "" if c["own_name"] else " [no own name]",
            ", ".join("%s %r" % t for t in c["labelled_by"]) or "nothing")
            for c in controls],
    }
    return figures, failures


def check_results(controls, frame, recorder, names):
    """Presses each case's button with the focus on it, as a keyboard user does, and reads
    what AT-SPI gives for the result and which events arrive."""
    figures, failures = [], []
    pages = {"expGo": 0, "odwrGo": 0, "mulmodGo": 0, "nwdGo": 0, "pollardGo": 1, "shanksGo": 2,
             "crcButton": 4}
    for case, inputs, button_name, result_name, plain, stems in RESULT_CASES:
        select_page(frame, pages[button_name])
        for field, value in inputs.items():
            set_value(controls[field], value)
        button, result = controls[button_name], controls[result_name]
        focused = grab_focus(button)
        recorder.drain(0.3, 3)
        mark = recorder.mark()
        before = result.name
        if focused:
            key("space")
            how = "Space on the focused button"
        else:
            press(button)
            how = "Press action (the button could not take the focus)"
        pump_until(lambda: result.name != before, 3)
        recorder.drain(0.5, 5)
        events = recorder.since(mark)
        spoken = result.name
        text = text_of(result)
        focus_after = focused_object(frame)
        event_types = collections.Counter(e[1] for e in events)
        routes = [(announcement_route(e, button), e) for e in events]
        announced = ["%s: %s" % (route, describe_event(e, names)) for route, e in routes if route]
        textless = [describe_event(e, names) for e in events if e.path == button.path
                    and e.type in ("object:property-change:accessible-description",
                                   "object:property-change:accessible-name")
                    and not e.carried]
        figures.append({
            "case": case, "pressed_by": how, "result_name": spoken, "result_text": text,
            "result_description": result.description,
            "button_description": button.description,
            "focus_after": (names.get(focus_after.path, role(focus_after))
                            if focus_after else None),
            "event_types": dict(event_types),
            "events": [describe_event(e, names) for e in events[:40]],
            "announcement_events": announced,
            "button_changes_without_text": textless,
        })
        if stems:
            if spoken.strip() == plain:
                failures.append("%s: the result is read as %r, without its meaning"
                                % (case, spoken))
            elif not all(s in spoken.lower() for s in stems):
                failures.append("%s: the spoken result %r does not say %s"
                                % (case, spoken, " / ".join(stems)))
        if not announced:
            failures.append("%s: nothing brings the result to a screen reader after the press%s"
                            % (case, " (the button's change arrives without its text)"
                               if textless else ""))
        if focused and focus_after is not None and focus_after.path != button.path:
            failures.append("%s: the focus moved to %s" % (case, names.get(focus_after.path)))
    return figures, failures


def announcement_route(event, button):
    """How an event would bring the result to a screen reader while the focus stays on the
    button, or None. A name or description change of the focused button counts only when
    the event carries the new text: Qt before 6.8 sends the object instead, and Orca then
    says nothing."""
    if event.type.startswith("object:announcement") and event.carried and event.data:
        return "announcement"
    if event.type == "object:state-changed:showing" and event.detail1 == 1 \
            and event.role == "notification":
        return "notification shown"
    if event.path == button.path and event.carried and event.data and event.type in (
            "object:property-change:accessible-description",
            "object:property-change:accessible-name"):
        return "%s of the focused button" % event.type.rsplit("-", 1)[1]
    return None


def describe_event(event, names):
    kind, path, d1, d2, data = event.type, event.path, event.detail1, event.detail2, event.data
    text = "%s from %s" % (kind, names.get(path, path))
    if data not in (None, ""):
        text += " %s=%r" % ("data" if event.carried else "asked", data)
    elif not event.carried and kind.startswith("object:property-change:accessible-"):
        text += " (carries the object, not the text)"
    if kind.startswith("object:state-changed") or kind.startswith("object:text"):
        text += " (%d,%d)" % (d1, d2)
    return text


def rss_kb(pid):
    try:
        with open("/proc/%s/status" % pid) as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
    except (OSError, ValueError):
        pass
    return None


class BusMemory:
    """The resident memory of the accessibility bus daemon, sampled four times a second."""

    def __init__(self, pid):
        self.pid = pid
        self.before = rss_kb(pid)
        self.peak = self.before or 0
        self.done = threading.Event()
        self.thread = threading.Thread(target=self._sample, daemon=True)
        self.thread.start()

    def _sample(self):
        while not self.done.wait(0.25):
            self.peak = max(self.peak, rss_kb(self.pid) or 0)

    def stop(self):
        self.done.set()
        self.thread.join()
        self.after = rss_kb(self.pid)
        self.peak = max(self.peak, self.after or 0)

    def figures(self):
        return {"before": self.before, "peak": self.peak, "after": self.after}


def per_second(events, start, end):
    buckets = collections.Counter(int(e[0] - start) for e in events if start <= e[0] < end)
    return [buckets.get(i, 0) for i in range(int(end - start))]


def run_logn(controls, frame, recorder, names, search_seconds, slow, drain_cap,
             asks_names=False):
    """Starts the Log n search and stops it with the keyboard, as the user does; the keys
    go to the program through the X server, not through the accessibility bus that the
    events may be queued on."""
    select_page(frame, 2)
    set_value(controls["lognA"], 3)
    set_value(controls["lognY"], 5)
    set_value(controls["lognN"], 2000000000)
    button = controls["lognGo"]
    if not grab_focus(button):
        raise HarnessError("the Log n button does not take the focus")
    recorder.drain(0.3, 3)
    bus = BusMemory(os.environ.get("A11Y_BUS_PID"))
    recorder.delay = 0.001 if slow else 0.0
    recorder.fetch_names = slow and asks_names
    mark = recorder.mark()
    key("space")
    started = time.monotonic()
    debug("Log n search started")
    # The Stop key is pressed from another thread: a slow reader keeps the main loop busy
    # inside one pass for as long as events keep coming.
    stop = threading.Timer(search_seconds, key, ["space"])
    stop.start()
    stop_pressed = started + search_seconds
    recorder.slow_until = stop_pressed + drain_cap
    pump_until(lambda: not stop.is_alive(), search_seconds + drain_cap, step=0.001)
    stop.join()
    debug("Stop pressed, %d events so far" % (recorder.mark() - mark))
    pump_until(lambda: recorder.quiet_for(2.0), search_seconds + drain_cap + 30)
    drained = time.monotonic()
    debug("drained after %.1f s, %d events" % (drained - stop_pressed, recorder.mark() - mark))
    recorder.delay = 0.0
    recorder.fetch_names = True
    recorder.slow_until = float("inf")
    stopped_name = button.name
    bus.stop()
    events = recorder.since(mark)
    during = [e for e in events if e[0] < stop_pressed]
    late = [e for e in events if e[0] > stop_pressed + 1.0]
    last = events[-1][0] - stop_pressed if events else None
    updates = [e for e in events if not e[1].startswith(("object:state-changed", "focus"))]
    rate = len(updates) / search_seconds
    steady_from = started + 1.0
    steady = [e for e in during if e[0] >= steady_from]
    received_rate = len(steady) / (stop_pressed - steady_from) \
        if stop_pressed > steady_from + 0.5 else None
    button_names = [e for e in events if e[2] == button.path
                    and e[1] == "object:property-change:accessible-name"]
    heard_after_stop = collections.Counter(
        "Stop (N)" if e[5].startswith("Stop (") else e[5]
        for e in button_names if e[0] > stop_pressed + 1.0 and isinstance(e[5], str))
    last_stop_name = None
    for e in reversed(button_names):
        if isinstance(e[5], str) and e[5].startswith("Stop"):
            last_stop_name = "%r %.1f s after Stop" % (e[5], e[0] - stop_pressed)
            break
    figures = {
        "reader": "slow (1 ms an event%s)" % (", asks for each new name" if asks_names else "")
        if slow else "fast",
        "search_seconds": round(stop_pressed - started, 2),
        "events_total": len(events),
        "events_while_searching": len(during),
        "updates_per_search_second": round(rate, 1),
        "received_per_second_while_searching": round(received_rate, 1)
        if received_rate is not None else None,
        "received_per_second_buckets": per_second(events, started, stop_pressed)[:30],
        "event_types": dict(collections.Counter(e[1] for e in events)),
        "sources": dict(collections.Counter(names.get(e[2], e[2]) for e in events)
                        .most_common(8)),
        "button_after_stop": stopped_name,
        "events_later_than_1s_after_stop": len(late),
        "last_event_after_stop_s": round(last, 2) if last is not None else None,
        "last_stop_name_heard": last_stop_name,
        "names_heard_later_than_1s_after_stop": dict(heard_after_stop),
        "drain_capped": drained - stop_pressed >= drain_cap,
        "a11y_bus_rss_kb": bus.figures(),
    }
    failures = []
    if len(updates) > EVENTS_PER_SECOND_LIMIT * search_seconds + 3:
        failures.append("Log n search (%s reader): %d updates in a %.1f s search, %.0f a "
                        "second (at most %d)" % (figures["reader"], len(updates),
                                                 search_seconds, rate,
                                                 EVENTS_PER_SECOND_LIMIT))
    if late:
        failures.append("Log n search (%s reader): %d events later than 1 s after Stop, "
                        "the last %.1f s after it" % (figures["reader"], len(late), last))
    if not stopped_name.startswith("Znajd"):
        failures.append("Log n search: the button reads %r after Stop" % stopped_name)
    return figures, failures


def run_fermat(controls, frame, recorder, names, number, tries):
    select_page(frame, 1)
    set_value(controls["primeNumber"], number)
    set_value(controls["primeTries"], tries)
    result = controls["primeResult"]
    bar = controls["fermatPb"]
    recorder.drain(0.3, 3)
    mark = recorder.mark()
    started = time.monotonic()
    press(controls["primeGo"])
    pump_until(lambda: result.name.startswith("Liczba"), 30)
    finished = time.monotonic()
    recorder.drain(0.5, 10)
    events = recorder.since(mark)
    from_bar = [e for e in events if e[2] == bar.path]
    value_events = [e for e in from_bar if "value" in e[1]]
    active = (value_events[-1][0] - value_events[0][0]) if len(value_events) > 1 else 0.0
    figures = {
        "number": number, "tries": tries, "result": result.name,
        "seconds": round(finished - started, 3),
        "events_from_bar": dict(collections.Counter(e[1] for e in from_bar)),
        "value_events": len(value_events),
        "value_events_span_s": round(active, 3),
        "event_types": dict(collections.Counter(e[1] for e in events)),
    }
    allowed = EVENTS_PER_SECOND_LIMIT * (int(finished - started) + 1) + 1
    failures = []
    if len(value_events) > allowed:
        failures.append("Fermat test, %d tries: %d value events from the progress bar in "
                        "%.2f s (at most %d a second)" % (tries, len(value_events),
                                                          finished - started,
                                                          EVENTS_PER_SECOND_LIMIT))
    return figures, failures


def open_prime_window(program, frame):
    menu_items = [n for n in descendants(frame)
                  if role(n) == "menu item" and n.name == PRIME_MENU_ENTRY]
    if not menu_items:
        raise HarnessError("no menu entry %r" % PRIME_MENU_ENTRY)
    press(menu_items[0])
    window = program.wait_frame(PRIME_TITLE)
    if window is None:
        raise HarnessError("the prime table window did not appear")
    return window


def run_prime(program, frame, recorder, upper, names_report):
    window = open_prime_window(program, frame)
    controls = locate_prime(window)
    if names_report is not None:
        labels = [(n, controls[n], text) for n, _, _, text in PRIME_CONTROLS if text]
        names_report.append(check_names(window, "prime table window", labels))
    names = path_names(window, controls)
    window_role = role(window)
    set_value(controls["max"], str(upper))
    generate = controls["generate"]
    pump_until(lambda: has_state(generate, pyatspi.STATE_ENABLED), 3)
    recorder.drain(0.3, 3)
    mark = recorder.mark()
    started = time.monotonic()
    press(generate)
    pump_until(lambda: generate.name == "Stop", 5)
    pump_until(lambda: generate.name != "Stop", 120)
    finished = time.monotonic()
    recorder.drain(0.5, 10)
    events = recorder.since(mark)
    listing = controls["list"]
    from_list = [e for e in events if e[2] == listing.path]
    rows = listing.childCount
    try:
        rows = listing.queryTable().nRows
    except NotImplementedError:
        pass
    figures = {
        "window_role": window_role,
        "window_extents": extents(window),
        "range": "1..%d" % upper,
        "seconds": round(finished - started, 2),
        "rows": rows,
        "list_name": listing.name,
        "events_from_list": dict(collections.Counter(e[1] for e in from_list)),
        "event_types": dict(collections.Counter(e[1] for e in events)),
        "sources": dict(collections.Counter(names.get(e[2], e[2]) for e in events)
                        .most_common(8)),
    }
    failures = []
    if window_role not in ("frame", "window", "dialog"):
        failures.append("prime table window: exposed with the role %r, not as a window"
                        % window_role)
    if not from_list:
        failures.append("prime table window: its list sends nothing as rows arrive")
    else:
        span = max(finished - started, 1.0)
        if len(from_list) > EVENTS_PER_SECOND_LIMIT * (span + 1):
            failures.append("prime table window: the list sent %d events in %.1f s"
                            % (len(from_list), span))
    return window, controls, figures, failures


# ---------------------------------------------------------------------------------------
# Large fonts: what is cut off, what is off-screen, which pages scroll.

def screenshot(path=None):
    raw = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], check=True,
                         capture_output=True, timeout=30).stdout
    if path:
        subprocess.run(["convert", "ppm:-", path], input=raw, check=True, timeout=30)
    return Image.from_ppm(raw)


class Image:
    def __init__(self, width, height, data):
        self.width, self.height, self.data = width, height, data
        self.scale = 1.0

    @staticmethod
    def from_ppm(raw):
        tokens = []
        pos = 0
        while len(tokens) < 4:
            while raw[pos:pos + 1].isspace():
                pos += 1
            if raw[pos:pos + 1] == b"#":
                pos = raw.index(b"\n", pos) + 1
                continue
            end = pos
            while not raw[end:end + 1].isspace():
                end += 1
            tokens.append(raw[pos:end])
            pos = end
        if tokens[0] != b"P6" or int(tokens[3]) != 255:
            raise HarnessError("unexpected screenshot format")
        return Image(int(tokens[1]), int(tokens[2]), raw[pos + 1:])

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return self.data[i], self.data[i + 1], self.data[i + 2]


def ink_at_edges(image, box):
    """Which edges of a text's box cut its glyphs. The background is the most common colour
    of the box. A cut through the right edge shows as ink in the last column; at the top
    or the bottom, a single descender or accent may touch the edge of a box that just
    fits, so there several separate glyphs must reach it."""
    x, y, w, h = (round(v * image.scale) for v in box)
    x0, y0 = max(x, 0), max(y, 0)
    x1, y1 = min(x + w, image.width), min(y + h, image.height)
    if x1 - x0 < 3 or y1 - y0 < 3:
        return []
    counts = collections.Counter(image.pixel(i, j) for i in range(x0, x1, 2)
                                 for j in range(y0, y1, 2))
    background = counts.most_common(1)[0][0]

    def ink_runs(pixels):
        runs, inside = 0, False
        for px in pixels:
            is_ink = sum(abs(a - b) for a, b in zip(px, background)) > 150
            runs += is_ink and not inside
            inside = is_ink
        return runs

    edges = []
    if ink_runs(image.pixel(x1 - 1, j) for j in range(y0, y1)):
        edges.append("right")
    if ink_runs(image.pixel(x0, j) for j in range(y0, y1)):
        edges.append("left")
    if ink_runs(image.pixel(i, y1 - 1) for i in range(x0, x1)) >= 3:
        edges.append("bottom")
    if ink_runs(image.pixel(i, y0) for i in range(x0, x1)) >= 3:
        edges.append("top")
    return edges


def intersect(a, b):
    x0, y0 = max(a[0], b[0]), max(a[1], b[1])
    x1, y1 = min(a[0] + a[2], b[0] + b[2]), min(a[1] + a[3], b[1] + b[3])
    return (x0, y0, max(0, x1 - x0), max(0, y1 - y0))


def visible_box(node, top, screen):
    """The part of the node that its ancestors up to `top` and the screen leave visible."""
    box = intersect(extents(node), screen)
    parent = node.parent
    while parent is not None:
        parent_box = extents(parent)
        if parent_box and parent_box[2] and parent_box[3]:
            box = intersect(box, parent_box)
        if parent == top:
            break
        parent = parent.parent
    return box


def window_scroll_bars(window):
    """The scroll bars that scroll the window's content (not those of text fields and
    lists), each with how many pixels of content it hides."""
    bars = []
    for node in descendants(window):
        if role(node) != "scroll bar" or not has_state(node, pyatspi.STATE_SHOWING):
            continue
        if any(role(a) in (TEXT, LIST) for a in ancestors_within(node, window)):
            continue
        box = extents(node)
        if box and box[2] > 0 and box[3] > 0:
            value = node.queryValue()
            bars.append("%s, hides %d px" % ("horizontal" if box[2] > box[3] else "vertical",
                                             value.maximumValue - value.minimumValue))
    return sorted(bars)


TEXT_ROLES = {LABEL, BUTTON, "radio button", "check box", "page tab"}


def cut_off(window, area, image, screen, names):
    """Controls with text that are partly or wholly outside what is visible, labels whose
    glyphs touch their own edge, so that part of the text is cut away, and one-line fields
    too narrow for their text."""
    found = []
    for node in descendants(area):
        r = role(node)
        if r not in TEXT_ROLES | {TEXT, SPIN} or not has_state(node, pyatspi.STATE_SHOWING):
            continue
        box = extents(node)
        if not box or box[2] <= 0 or box[3] <= 0:
            continue
        what = "%s %r" % (names.get(node.path, r) if not names.get(node.path, "").startswith(r)
                          else r, node.name or text_of(node) or "")
        seen = visible_box(node, window, screen)
        if seen[2] * seen[3] == 0:
            found.append("%s: off-screen at %s" % (what, box))
            continue
        if seen != box:
            found.append("%s: only %dx%d of %dx%d visible" % (what, seen[2], seen[3], box[2],
                                                               box[3]))
            continue
        if r == LABEL and node.name.strip():
            # A left-aligned text starts at the left edge, where a W or a T touches it.
            edges = [e for e in ink_at_edges(image, box) if e != "left"]
            if edges:
                found.append("%s: text cut at the %s edge (box %dx%d)"
                             % (what, "/".join(edges), box[2], box[3]))
        if r == TEXT:
            clipped = field_text_clipped(node, box)
            if clipped:
                found.append("%s: %s" % (what, clipped))
    return found


def field_text_clipped(node, box):
    """A one-line field too narrow for what it holds. Qt reports the characters' places
    as if the text were not scrolled, so only their number is told, not which show."""
    try:
        text = node.queryText()
    except NotImplementedError:
        return None
    count = text.characterCount
    if count == 0 or count > 200:
        return None
    left, right = box[0], box[0] + box[2]
    places = [text.getCharacterExtents(i, pyatspi.DESKTOP_COORDS) for i in range(count)]
    if len({p[1] for p in places}) > 1:
        return None
    fitting = sum(1 for p in places if p[0] >= left and p[0] + p[2] <= right)
    if fitting < count:
        return "holds %r but has room for %d of its %d characters (box %dx%d)" % (
            text.getText(0, -1), fitting, count, box[2], box[3])
    return None


# Results filled in before the screenshots: the longest a lab exercise gives.
LARGE_FONT_RESULTS = [
    (0, {"nwd1": 2000000000, "nwd2": 1999999998}, "nwdGo", "nwdResult"),
    (0, {"mulmod1": 1999999999, "mulmod2": 1999999999, "mulmodN": 2000000000}, "mulmodGo",
     "mulmodResult"),
    (0, {"exp1": 46340, "exp2": 2000000000, "expN": 46341}, "expGo", "expResult"),
    (0, {"odwr": 1999999999, "odwrN": 2000000000}, "odwrGo", "odwrResult"),
    (1, {"primeNumber": "999999999999989", "primeTries": 200}, "primeGo", "primeResult"),
    (1, {"pollardRho": "999999999999"}, "pollardGo", "pollardRhoResult"),
    (1, {"pollardP": "999999999999"}, "pollard1Go", "pollardPResult"),
    (2, {"shanksA": 2, "shanksY": 3, "shanksN": 11}, "shanksGo", "shanksResult"),
    (3, {"phrase": "KRYPTOLOGIA"}, None, None),
    (4, {"crcContent": "123456789"}, "crcButton", "crcLabel"),
]


def fill_results(frame, controls, page):
    for result_page, inputs, button, result in LARGE_FONT_RESULTS:
        if result_page != page:
            continue
        for field, value in inputs.items():
            set_value(controls[field], value)
        if button:
            before = controls[result].name
            press(controls[button])
            pump_until(lambda: controls[result].name != before, 10)


def check_large_fonts(program_path, dpi, shots):
    program = Program(program_path, {"QT_FONT_DPI": str(dpi)})
    figures, failures = {"dpi": dpi}, []
    try:
        program.wait_registered()
        frame = program.frame(MAIN_TITLE)
        pump(1.0)
        ratio = device_pixel_ratio(program, frame)
        figures["device_pixel_ratio"] = round(ratio, 2)
        screen_w, screen_h = (round(v / ratio) for v in screen_size())
        screen = (0, 0, screen_w, screen_h)
        figures["screen"] = "%dx%d" % (screen_w, screen_h)
        box = extents(frame)
        figures["main_window"] = "%dx%d" % (box[2], box[3])
        controls = locate_main(frame)
        names = path_names(frame, controls)
        bars = window_scroll_bars(frame)
        figures["scroll_bars_at_start"] = bars
        if bars and (box[2] < screen_w - 40 or box[3] < screen_h - 60):
            failures.append("%d dpi: at start the content scrolls (%s) in a %dx%d window on "
                            "a %dx%d screen" % (dpi, "; ".join(bars), box[2], box[3],
                                                screen_w, screen_h))
        pages = main_pages(frame)
        tabs = [t.name for t in children(page_tab_list(frame)) if role(t) == "page tab"]
        figures["pages"] = {}
        for index, page in enumerate(pages):
            select_page(frame, index)
            fill_results(frame, controls, index)
            pump(0.5)
            image = screenshot(shots and "%s-page%d.png" % (shots, index))
            image.scale = ratio
            cut = cut_off(frame, page, image, screen, names)
            bars = window_scroll_bars(frame)
            figures["pages"][tabs[index]] = {"scroll_bars": bars, "cut_off": cut}
            for item in cut:
                failures.append("%d dpi, page %r: %s" % (dpi, tabs[index], item))
        box = extents(frame)
        figures["main_window_with_results"] = "%dx%d" % (box[2], box[3])
        select_page(frame, 0)
        window = open_prime_window(program, frame)
        controls = locate_prime(window)
        set_value(controls["max"], "100000")
        pump(0.5)
        image = screenshot(shots and "%s-prime.png" % shots)
        image.scale = ratio
        prime_box = extents(window)
        figures["prime_window"] = "%dx%d" % (prime_box[2], prime_box[3])
        cut = cut_off(window, window, image, screen, path_names(window, controls))
        figures["prime_cut_off"] = cut
        for item in cut:
            failures.append("%d dpi, prime table window: %s" % (dpi, item))
    finally:
        program.stop()
    return figures, failures


def screen_size():
    out = subprocess.run(["xdotool", "getdisplaygeometry"], capture_output=True, text=True,
                         check=True, timeout=10).stdout.split()
    return int(out[0]), int(out[1])


# ---------------------------------------------------------------------------------------

SECTIONS = ["names", "results", "logn", "logn-slow", "fermat", "prime", "fonts"]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--program", required=True)
    parser.add_argument("--only", default=",".join(SECTIONS),
                        help="comma-separated sections: " + ", ".join(SECTIONS))
    parser.add_argument("--search-seconds", type=float, default=2.0,
                        help="how long the Log n search runs before Stop (fast reader)")
    parser.add_argument("--slow-search-seconds", type=float, default=1.0,
                        help="the same for the slow reader, whose backlog takes long")
    parser.add_argument("--slow-reader-asks-names", action="store_true",
                        help="the slow reader asks for the new name of each renamed object, "
                        "as a screen reader does when the event does not carry it")
    parser.add_argument("--drain-cap", type=float, default=120.0,
                        help="longest wait for the events after Stop, in seconds")
    parser.add_argument("--fermat-number", default="999999999999989")
    parser.add_argument("--fermat-tries", type=int, default=200)
    parser.add_argument("--prime-upper", type=int, default=100000)
    parser.add_argument("--font-dpi", type=int, default=144)
    parser.add_argument("--screenshots", default=os.environ.get("A11Y_SCREENSHOTS") or None,
                        help="prefix of the large-font screenshots (PREFIX-page0.png ...)")
    parser.add_argument("--json", help="write the figures to this file")
    parser.add_argument("--verbose", action="store_true", help="print every control")
    args = parser.parse_args()
    sections = [s for s in args.only.split(",") if s]
    unknown = set(sections) - set(SECTIONS)
    if unknown:
        parser.error("unknown sections: %s" % ", ".join(sorted(unknown)))
    if "fonts" in sections and not (shutil.which("import") and shutil.which("convert")):
        print("SKIP: the section fonts takes screenshots with import and convert "
              "(apt-get install imagemagick)", file=sys.stderr)
        return 77

    report, failures = {}, []
    try:
        run_sections(args, sections, report, failures)
    except HarnessError as error:
        print_report(report, args.verbose)
        print("ERROR: %s" % error, file=sys.stderr)
        return 2
    print_report(report, args.verbose)
    if args.json:
        with open(args.json, "w") as f:
            json.dump(report, f, ensure_ascii=False, indent=1)
    if failures:
        print("\nFAILED: %d requirement(s) not met:" % len(failures))
        for failure in failures:
            print("  - " + failure)
        return 1
    print("\nOK: every accessibility requirement checked holds")
    return 0


def run_sections(args, sections, report, failures):
    recorder = Recorder()
    program = Program(args.program)
    try:
        program.wait_registered()
        frame = program.frame(MAIN_TITLE)
        activate(program, MAIN_TITLE)
        controls = locate_main(frame)
        names = path_names(frame, controls)
        report["main_window_role"] = role(frame)
        if "names" in sections:
            labels = [(n, controls[n], text) for n, *_, text in MAIN_CONTROLS + PAGE_CONTROLS
                      if text]
            figures, fails = check_names(frame, "main window", labels)
            report["names_main"] = figures
            failures.extend(fails)
        if "results" in sections:
            figures, fails = check_results(controls, frame, recorder, names)
            report["results"] = figures
            failures.extend(fails)
        if "fermat" in sections:
            figures, fails = run_fermat(controls, frame, recorder, names, args.fermat_number,
                                        args.fermat_tries)
            report["fermat"] = figures
            failures.extend(fails)
        for section, slow in (("logn", False), ("logn-slow", True)):
            if section in sections:
                seconds = args.slow_search_seconds if slow else args.search_seconds
                figures, fails = run_logn(controls, frame, recorder, names, seconds, slow,
                                          args.drain_cap, args.slow_reader_asks_names)
                report[section] = figures
                failures.extend(fails)
        if "prime" in sections or "names" in sections:
            prime_names = [] if "names" in sections else None
            _, _, figures, fails = run_prime(program, frame, recorder, args.prime_upper,
                                             prime_names)
            if prime_names:
                report["names_prime"], name_failures = prime_names[0]
                failures.extend(name_failures)
            if "prime" in sections:
                report["prime"] = figures
                failures.extend(fails)
    finally:
        recorder.recording = False
        program.stop()
        recorder.close()
    if "fonts" in sections:
        figures, fails = check_large_fonts(args.program, args.font_dpi, args.screenshots)
        report["fonts"] = figures
        failures.extend(fails)


def print_report(report, verbose):
    for key_name, value in report.items():
        if not verbose and isinstance(value, dict):
            value = {k: v for k, v in value.items() if k not in ("list", "events")}
        print("== %s" % key_name)
        print(json.dumps(value, ensure_ascii=False, indent=1))


if __name__ == "__main__":
    sys.exit(main())
