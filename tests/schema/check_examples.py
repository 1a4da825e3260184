#!/usr/bin/env python3
"""Validates every example message of the project against docs/*-message.schema.json.

Examples: the messages of every send-status scenario, the ```json blocks of docs/messages.md, and the
JSON files under tests/golden/screens. A message with a top-level "Trigger" key (any
letter case) is checked against the trigger schema, any other against the status schema.

Our own examples must also use only the keys the schemas describe (a misspelt key would otherwise pass,
since the display ignores unknown keys) and fit in one datagram as the display reads it.

Then the schemas themselves are checked on messages they must accept and mistakes they must reject.

Usage: check_examples.py [REPO_ROOT]
"""

import copy
import glob
import json
import os
import re
import subprocess
import sys

try:
    import jsonschema
except ImportError:
    print("check_examples: the Python module jsonschema is missing (Debian: python3-jsonschema, "
          "installed by scripts/bootstrap)", file=sys.stderr)
    sys.exit(1)

DISPLAY_MAX_BYTES = 16383
FIXED_NOW = 1767225600  # 2026-01-01 00:00:00 UTC, so scenario dates are reproducible


def is_trigger(message):
    return isinstance(message, dict) and any(k.lower() == "trigger" for k in message)


def closed(schema):
    """The schema with every described object closed to keys it does not describe."""
    schema = copy.deepcopy(schema)

    def walk(node):
        if isinstance(node, dict):
            if isinstance(node.get("properties"), dict) and node.get("type") == "object":
                node.setdefault("additionalProperties", False)
            for value in node.values():
                walk(value)
        elif isinstance(node, list):
            for value in node:
                walk(value)

    walk(schema)
    return schema


class Checker:
    def __init__(self, root):
        self.root = root
        self.failures = 0
        self.passed = 0
        self.validators = {}
        self.strict = {}
        for kind in ("status", "trigger"):
            path = os.path.join(root, "docs", f"{kind}-message.schema.json")
            with open(path, encoding="utf-8") as f:
                schema = json.load(f)
            cls = jsonschema.Draft202012Validator
            cls.check_schema(schema)
            self.validators[kind] = cls(schema)
            self.strict[kind] = cls(closed(schema))

    def errors(self, message, strict):
        kind = "trigger" if is_trigger(message) else "status"
        validator = (self.strict if strict else self.validators)[kind]
        found = []
        for e in sorted(validator.iter_errors(message), key=lambda e: list(e.absolute_path)):
            where = "/".join(str(p) for p in e.absolute_path) or "(root)"
            found.append(f"{kind} message, {where}: {e.message[:200]}")
        return found

    def report(self, label, problems):
        if problems:
            self.failures += 1
            print(f"FAIL {label}")
            for p in problems:
                print(f"     {p}")
        else:
            self.passed += 1

    def example(self, label, message, own):
        problems = self.errors(message, strict=own)
        size = len(json.dumps(message, ensure_ascii=False, separators=(",", ":")).encode("utf-8"))
        if size > DISPLAY_MAX_BYTES:
            problems.append(f"{size} bytes: the display reads only the first {DISPLAY_MAX_BYTES}")
        self.report(label, problems)

    def expect(self, label, message, valid):
        problems = self.errors(message, strict=False)
        if valid and problems:
            self.report(f"schema must accept: {label}", problems)
        elif not valid and not problems:
            self.report(f"schema must reject: {label}", ["accepted"])
        else:
            self.passed += 1


def scenario_messages(root):
    tool = os.path.join(root, "tools", "send-status")
    names = sorted(os.path.basename(p)[:-5] for p in glob.glob(os.path.join(root, "tools", "scenarios", "*.json")))
    for name in names:
        out = subprocess.run([sys.executable, tool, "--print-steps", "--now", str(FIXED_NOW), name],
                             capture_output=True, text=True, check=False)
        if out.returncode != 0:
            yield f"scenario {name}", None, out.stderr.strip()
            continue
        lines = out.stdout.splitlines()
        if not lines:
            yield f"scenario {name}", None, "no messages"
        for line in lines:
            step = json.loads(line)
            yield f"scenario {step['source']} ({step['caption']})", step["message"], None


def markdown_messages(path):
    try:
        with open(path, encoding="utf-8") as f:
            text = f.read()
    except OSError as e:
        yield path, None, str(e)
        return
    blocks = re.findall(r"^```json[ \t]*\n(.*?)^```", text, flags=re.M | re.S)
    if not blocks:
        yield f"{path}", None, "no ```json examples"
    for i, block in enumerate(blocks, 1):
        try:
            yield f"{os.path.basename(path)} example {i}", json.loads(block), None
        except ValueError as e:
            yield f"{os.path.basename(path)} example {i}", None, f"not JSON: {e}"


def file_messages(paths):
    for path in paths:
        try:
            with open(path, encoding="utf-8") as f:
                data = json.load(f)
        except ValueError as e:
            yield path, None, f"not JSON: {e}"
            continue
        yield path, data, None


# Messages the schemas must accept or reject: the display's reading rules, and the mistakes a
# controller developer is likely to make.
def status_message(status="Charging", run="S3_K1K2ON_Charging", **extra):
    msg = {
        "global": {"userConfigInfo": {"swFunc": 0, "language": 0}},
        "conns": [{
            "m1768Info": {"runState": run, "connStatus": "Charging"},
            "stateMngrInfo": {"runState": "Idle"},
            "sessionConnInfo": {"ramData": {"_status": status}},
        }],
    }
    for path, value in extra.items():
        node = msg
        keys = path.split("__")
        for k in keys[:-1]:
            node = node[int(k)] if isinstance(node, list) else node.setdefault(k, {})
        node[keys[-1]] = value
    return msg


SCHEMA_CASES = [
    ("minimal charging snapshot", status_message(), True),
    ("status Available (left to the idle rules)", status_message("Available"), True),
    ("status in the wrong letter case", status_message("charging"), False),
    ("status SUSPENDEDEV", status_message("SUSPENDEDEV"), False),
    ("plug state in the wrong letter case", status_message(conns__0__m1768Info__connStatus="plug"), False),
    ("plug state Unplug", status_message(conns__0__m1768Info__connStatus="Unplug"), True),
    ("state manager IDLE (any case is fine)", status_message(conns__0__stateMngrInfo__runState="IDLE"), True),
    ("no run state", status_message(conns__0__m1768Info={"connStatus": "Plug"}), False),
    ("no conns", {"global": {}}, False),
    ("empty conns", {"global": {}, "conns": []}, False),
    ("language 4", status_message(global__userConfigInfo__language=4), True),
    ("language 5", status_message(global__userConfigInfo__language=5), False),
    ("language as text", status_message(global__userConfigInfo__language="de-DE"), False),
    ("timezone UTC+8", status_message(global__sysconfigInfo={"timezone": 80}), True),
    ("timezone in hours", status_message(global__sysconfigInfo={"timezone": -5}), False),
    ("icons as booleans and numbers", status_message(global__drvPointInfo={"online": True, "wifiStatus": 2}), True),
    ("icon state as text", status_message(global__drvPointInfo={"online": "1"}), False),
    ("voltage in volts as text", status_message(conns__0__meterInfo={"voltage": ["230", 0, 0]}), False),
    ("voltage in millivolts", status_message(conns__0__meterInfo={"voltage": [230000, 0, 0]}), False),
    ("one voltage only", status_message(conns__0__meterInfo={"voltage": [2300]}), True),
    ("energy register missing", status_message(conns__0__meterInfo={"Q": [0, 0, 12]}), False),
    ("stop code above 8 bits", status_message(conns__0__m1768Info__errCode=300), False),
    ("error code in any case", status_message("Faulted", conns__0__sessionConnInfo__ramData___errCode="rcd_6ma"), True),
    ("negative reservation date", status_message(conns__0__reserveConnInfo={"expireDate": -1}), False),
    ("a status message with a TRIGGER key", dict(status_message(), TRIGGER="Test"), False),
    ("download at 45% for 5 s", {"Trigger": "downloading", "percent": 45, "seconds": 5}, True),
    ("download without progress", {"Trigger": "Downloading"}, False),
    ("installing at 150%", {"Trigger": "Installing", "percent": 150}, False),
    ("prompt 4", {"Trigger": "Prompt", "Msg": 4, "seconds": 3}, True),
    ("prompt without Msg", {"Trigger": "Prompt"}, False),
    ("prompt 6 (placeholder entry)", {"Trigger": "PROMPT", "Msg": 6}, False),
    ("auth 4", {"Trigger": "Auth", "Msg": 4}, True),
    ("auth 5", {"Trigger": "Auth", "Msg": 5}, False),
    ("colour test green", {"Trigger": "Test", "Msg": 1}, True),
    ("colour test 3", {"Trigger": "Test", "Msg": 3}, False),
    ("unknown command", {"Trigger": "Reboot"}, False),
    ("command as a number", {"Trigger": 1}, False),
    ("count-down above 16 bits", {"Trigger": "Test", "seconds": 65536}, False),
]


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", ".."))
    checker = Checker(root)

    sources = [
        (scenario_messages(root), True),
        (markdown_messages(os.path.join(root, "docs", "messages.md")), True),
        (file_messages(sorted(glob.glob(os.path.join(root, "tests", "golden", "screens", "*.json")))), True),
    ]
    for messages, own in sources:
        for label, message, problem in messages:
            if problem:
                checker.report(label, [problem])
            else:
                checker.example(label, message, own)

    for label, message, valid in SCHEMA_CASES:
        checker.expect(label, message, valid)

    print(f"{checker.passed} passed, {checker.failures} failed")
    return 1 if checker.failures else 0


if __name__ == "__main__":
    sys.exit(main())
