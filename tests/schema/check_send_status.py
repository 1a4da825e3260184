#!/usr/bin/env python3
"""Checks tools/send-status: what it sends over UDP, in which order, and how scenarios build messages.

A UDP socket on a free loopback port stands in for the display.

Usage: check_send_status.py [REPO_ROOT]
"""

import json
import os
import socket
import subprocess
import sys
import tempfile

NOW = 1767225600

failures = 0
passed = 0


def expect(condition, what):
    global failures, passed
    if condition:
        passed += 1
    else:
        failures += 1
        print(f"FAIL {what}")


def run(tool, *args, stdin=""):
    return subprocess.run([sys.executable, tool, *args], input=stdin, capture_output=True, text=True, check=False)


def receive_all(sock, count):
    messages = []
    sock.settimeout(10)
    try:
        for _ in range(count):
            data, _ = sock.recvfrom(65536)
            messages.append(json.loads(data.decode("utf-8")))
    except socket.timeout:
        pass
    return messages


def printed(tool, *args):
    out = run(tool, "--now", str(NOW), "--print", *args)
    return [json.loads(line) for line in out.stdout.splitlines()]


def conn(message):
    return message["conns"][0]


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", ".."))
    tool = os.path.join(root, "tools", "send-status")

    with tempfile.TemporaryDirectory() as tmp, socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as sock:
        sock.bind(("127.0.0.1", 0))
        port = str(sock.getsockname()[1])

        # Files of a directory go in name order, then a single file, then standard input, then a scenario.
        folder = os.path.join(tmp, "dir")
        os.mkdir(folder)
        for name, n in (("b.json", 2), ("a.json", 1), ("c.txt", 99)):
            with open(os.path.join(folder, name), "w", encoding="utf-8") as f:
                json.dump({"Trigger": "Prompt", "Msg": n}, f)
        single = os.path.join(tmp, "single.json")
        with open(single, "w", encoding="utf-8") as f:
            f.write('{\n  "Trigger": "Test",\n  "Msg": 1,\n  "note": "Grüße"\n}\n')
        out = run(tool, "--port", port, "--delay", "0", "--quiet", "--now", str(NOW), folder, single, "-",
                  "charging-1p", stdin='{"Trigger":"Auth","Msg":3}\n\n{"Trigger":"Auth","Msg":4}\n')
        expect(out.returncode == 0, f"sending ends with status 0 ({out.stderr.strip()})")
        expect(out.stdout == "", "--quiet prints nothing")
        got = receive_all(sock, 9)
        scenario = printed(tool, "charging-1p")
        want = [{"Trigger": "Prompt", "Msg": 1}, {"Trigger": "Prompt", "Msg": 2},
                {"Trigger": "Test", "Msg": 1, "note": "Grüße"},
                {"Trigger": "Auth", "Msg": 3}, {"Trigger": "Auth", "Msg": 4}] + scenario
        expect(len(scenario) == 4, f"charging-1p prints 4 messages, not {len(scenario)}")
        expect(got == want, f"datagrams in source order, as --print writes them: got {json.dumps(got)[:300]}")

        # Sending to a host given by name reaches the same socket.
        out = run(tool, "--host", "localhost", "--port", port, "--quiet", single)
        got = receive_all(sock, 1)
        expect(out.returncode == 0 and got and got[0]["Msg"] == 1, "--host localhost sends to the loopback")

    # A scenario keeps one status document: a step changes only what it names.
    one, two = scenario[0], scenario[1]
    expect(conn(one)["sessionConnInfo"]["ramData"]["_status"] == "Charging", "step 1 sets the status")
    expect(conn(two)["sessionConnInfo"]["ramData"]["_status"] == "Charging", "step 2 keeps the status of step 1")
    expect(conn(two)["meterInfo"]["voltage"] == [2304, 0, 0], "step 2 sets its voltages")
    expect(conn(one)["meterInfo"]["voltage"] == [2301, 0, 0], "step 1 is not changed by step 2")
    expect(conn(two)["connConfig"]["connCode"] == "0042-1", "keys no step names come from the template")
    # {"$now": N} is the scenario's start time plus N seconds, the same in every step.
    expect(conn(one)["sessionConnInfo"]["saveData"]["_startTime"] == NOW - 5, "$now -5 resolves to --now - 5")
    expect(conn(two)["sessionConnInfo"]["saveData"]["_startTime"] == NOW - 5, "later steps keep the start time")
    reservation = printed(tool, "reservation")
    minutes = [conn(m)["reserveConnInfo"]["expireDate"] - NOW for m in reservation]
    expect(minutes == [1795, 895, 295, 50, -NOW], f"reservation dates count down: {minutes}")

    # Trigger steps leave the status document alone; the day goes back to idle at its end.
    steps = [json.loads(line) for line in run(tool, "--now", str(NOW), "--print-steps", "day").stdout.splitlines()]
    expect(all({"source", "caption", "hold", "message"} <= set(s) for s in steps), "--print-steps lines")
    expect(all(s["caption"] for s in steps), "every step of the day has a caption")
    triggers = [s for s in steps if "Trigger" in s["message"]]
    expect(len(triggers) >= 6 and all(set(s["message"]) <= {"Trigger", "Msg", "percent", "seconds"} for s in triggers),
           "trigger steps send only the trigger message")
    expect(conn(steps[-1]["message"])["sessionConnInfo"]["ramData"]["_status"] == "Available", "the day ends idle")
    expect(steps[-1]["message"]["global"]["userConfigInfo"]["language"] == 2, "the day ends in German")

    # Every scenario that --list names can be printed.
    names = [line.split()[0] for line in run(tool, "--list").stdout.splitlines()]
    for required in ("idle", "charging-1p", "charging-3p", "day"):
        expect(required in names, f"--list names {required}")
    for name in names:
        expect(len(printed(tool, name)) > 0, f"scenario {name} prints")

    # Mistakes end with status 2 and a message, before anything is sent.
    with tempfile.TemporaryDirectory() as tmp:
        empty = os.path.join(tmp, "empty")
        os.mkdir(empty)
        broken = os.path.join(tmp, "broken.json")
        with open(broken, "w", encoding="utf-8") as f:
            f.write('{"Trigger": "Test",')
        for args, why in (((broken,), "a file that is not JSON"), (("no-such-scenario",), "an unknown name"),
                          ((empty,), "a directory without .json files"), ((), "no source")):
            out = run(tool, "--print", *args)
            expect(out.returncode == 2 and out.stdout == "", f"{why} is refused")

    print(f"{passed} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
