#!/usr/bin/python3
"""What assistive technology sees of a running program, over AT-SPI (the
system's Python, for libatspi's gi bindings; the program's session bus):

  atspi_probe.py PID                list the program's objects as JSON lines
  atspi_probe.py PID ROLE NAME      press the first showing object of that role
                                    and name with its "Press" action
  atspi_probe.py PID texts CAPTION  for each showing window named CAPTION, a
                                    JSON list of the names of its showing labels

Objects print as {"role", "name", "labels", "actions", "showing"}, labels
being the names of what the object is labelled by; exit status 2 when the
program is not on the bus or the object to press is not found."""

import json
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

MAX_DEPTH = 16


def application(pid, timeout=20.0):
    deadline = time.monotonic() + timeout
    while True:
        desktop = Atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            app = desktop.get_child_at_index(i)
            try:
                if app is not None and app.get_process_id() == pid:
                    return app
            except Exception:  # an application that left the bus meanwhile
                pass
        if time.monotonic() >= deadline:
            return None
        time.sleep(0.25)


def describe(acc):
    iface = acc.get_action_iface()
    actions = [] if iface is None else [iface.get_action_name(i) for i in range(iface.get_n_actions())]
    labels = [relation.get_target(i).get_name() for relation in acc.get_relation_set()
              if relation.get_relation_type() == Atspi.RelationType.LABELLED_BY
              for i in range(relation.get_n_targets())]
    return {"role": acc.get_role_name(), "name": acc.get_name(), "labels": labels, "actions": actions,
            "showing": acc.get_state_set().contains(Atspi.StateType.SHOWING)}


def walk(acc, depth=0):
    yield acc
    if depth >= MAX_DEPTH:
        return
    for i in range(acc.get_child_count()):
        child = acc.get_child_at_index(i)
        if child is not None:
            yield from walk(child, depth + 1)


def main(argv):
    pid = int(argv[1])
    app = application(pid)
    if app is None:
        print(f"no application with process id {pid} on the accessibility bus", file=sys.stderr)
        return 2
    if len(argv) == 2:
        for acc in walk(app):
            print(json.dumps(describe(acc), ensure_ascii=False))
        return 0
    if argv[2] == "texts":
        for i in range(app.get_child_count()):
            window = app.get_child_at_index(i)
            if window is None or window.get_name() != argv[3] or not describe(window)["showing"]:
                continue
            texts = [d["name"] for d in map(describe, walk(window))
                     if d["role"] == "label" and d["showing"] and d["name"]]
            print(json.dumps(texts, ensure_ascii=False))
        return 0
    role, name = argv[2], argv[3]
    for acc in walk(app):
        d = describe(acc)
        if d["role"] == role and d["name"] == name and d["showing"]:
            iface = acc.get_action_iface()
            index = [a.lower() for a in d["actions"]].index("press")
            iface.do_action(index)
            print(json.dumps(d, ensure_ascii=False))
            return 0
    print(f"no showing {role} named {name!r}", file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
