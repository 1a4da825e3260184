#!/usr/bin/env python3
"""Validates every example message against docs/{status,trigger}-message.schema.json: the messages of the
send-status scenarios, the ```json blocks of docs/messages.md and tests/golden/screens/*.json. A message
with a top-level "Trigger" key (any letter case) is a trigger message. Our own examples must also use only
the keys the schemas describe (the display ignores unknown keys, so a misspelt one would pass) and fit in
the datagram the display reads. Then the schemas must accept and reject the messages in SCHEMA_CASES.

Usage: check_examples.py [REPO_ROOT]
"""
import glob
import json
import os
import re
import subprocess
import sys

try:
    import jsonschema
except ImportError:
    sys.exit("check_examples: the Python module jsonschema is missing (Debian: python3-jsonschema, "
             "installed by scripts/bootstrap)")

DISPLAY_MAX_BYTES = 16383
FIXED_NOW = 1767225600  # 2026-01-01 00:00:00 UTC, so scenario dates are reproducible


def closed(node):
    """A copy of a schema with every described object closed to keys it does not describe."""
    if isinstance(node, list):
        return [closed(v) for v in node]
    if not isinstance(node, dict):
        return node
    out = {k: closed(v) for k, v in node.items()}
    if isinstance(node.get("properties"), dict) and node.get("type") == "object":
        out.setdefault("additionalProperties", False)
    return out


def examples(root):
    """(label, message, problem) for every example."""
    tool = os.path.join(root, "tools", "send-status")
    for path in sorted(glob.glob(os.path.join(root, "tools", "scenarios", "*.json"))):
        name = os.path.basename(path)[:-5]
        out = subprocess.run([sys.executable, tool, "--print-steps", "--now", str(FIXED_NOW), name],
                             capture_output=True, text=True, check=False)
        if out.returncode != 0 or not out.stdout.strip():
            yield f"scenario {name}", None, out.stderr.strip() or "no messages"
            continue
        for step in map(json.loads, out.stdout.splitlines()):
            yield f"scenario {step['source']} ({step['caption']})", step["message"], None
    with open(os.path.join(root, "docs", "messages.md"), encoding="utf-8") as f:
        blocks = re.findall(r"^```json[ \t]*\n(.*?)^```", f.read(), flags=re.M | re.S)
    if not blocks:
        yield "messages.md", None, "no ```json examples"
    texts = [(f"messages.md example {i}", b) for i, b in enumerate(blocks, 1)]
    for path in sorted(glob.glob(os.path.join(root, "tests", "golden", "screens", "*.json"))):
        with open(path, encoding="utf-8") as f:
            texts.append((path, f.read()))
    for label, text in texts:
        try:
            yield label, json.loads(text), None
        except ValueError as e:
            yield label, None, f"not JSON: {e}"


# Messages the schemas must accept or reject, one or two of each kind of rule the display reads by: letter
# case, required items, ranges and units, types. Keyword arguments set items by their path (a__0__b).
def status_message(status="Charging", run="S3_K1K2ON_Charging", **extra):
    msg = {
        "global": {"userConfigInfo": {"swFunc": 0, "language": 0}},
        "conns": [{"m1768Info": {"runState": run, "connStatus": "Charging"}, "stateMngrInfo": {"runState": "Idle"},
                   "sessionConnInfo": {"ramData": {"_status": status}}}],
    }
    for path, value in extra.items():
        node, keys = msg, path.split("__")
        for k in keys[:-1]:
            node = node[int(k)] if isinstance(node, list) else node.setdefault(k, {})
        node[keys[-1]] = value
    return msg


SCHEMA_CASES = [
    ("minimal charging snapshot", status_message(), True),
    ("status Available (left to the idle rules)", status_message("Available"), True),
    ("status in the wrong letter case", status_message("charging"), False),
    ("plug state Unplug", status_message(conns__0__m1768Info__connStatus="Unplug"), True),
    ("state manager IDLE (any case is fine)", status_message(conns__0__stateMngrInfo__runState="IDLE"), True),
    ("no run state", status_message(conns__0__m1768Info={"connStatus": "Plug"}), False),
    ("empty conns", {"global": {}, "conns": []}, False),
    ("language 4", status_message(global__userConfigInfo__language=4), True),
    ("language 5", status_message(global__userConfigInfo__language=5), False),
    ("timezone in hours", status_message(global__sysconfigInfo={"timezone": -5}), False),
    ("icons as booleans and numbers", status_message(global__drvPointInfo={"online": True, "wifiStatus": 2}), True),
    ("icon state as text", status_message(global__drvPointInfo={"online": "1"}), False),
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
    ("prompt 6 (placeholder entry)", {"Trigger": "PROMPT", "Msg": 6}, False),
    ("auth 5", {"Trigger": "Auth", "Msg": 5}, False),
    ("colour test 3", {"Trigger": "Test", "Msg": 3}, False),
    ("unknown command", {"Trigger": "Reboot"}, False),
    ("count-down above 16 bits", {"Trigger": "Test", "seconds": 65536}, False),
]


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", ".."))
    validators = {}  # kind -> (as written, closed)
    for kind in ("status", "trigger"):
        with open(os.path.join(root, "docs", f"{kind}-message.schema.json"), encoding="utf-8") as f:
            schema = json.load(f)
        jsonschema.Draft202012Validator.check_schema(schema)
        validators[kind] = [jsonschema.Draft202012Validator(s) for s in (schema, closed(schema))]

    def errors(message, strict):
        kind = "trigger" if isinstance(message, dict) and any(k.lower() == "trigger" for k in message) else "status"
        return [f"{kind} message, {'/'.join(map(str, e.absolute_path)) or '(root)'}: {e.message[:200]}"
                for e in validators[kind][strict].iter_errors(message)]

    failures, passed = [], 0
    for label, message, problem in examples(root):
        problems = [problem] if problem else errors(message, True)
        size = len(json.dumps(message, ensure_ascii=False, separators=(",", ":")).encode("utf-8"))
        if size > DISPLAY_MAX_BYTES:
            problems.append(f"{size} bytes: the display reads only the first {DISPLAY_MAX_BYTES}")
        failures += [(label, problems)] if problems else []
        passed += not problems
    for label, message, valid in SCHEMA_CASES:
        problems = errors(message, False)
        if valid and problems:
            failures.append((f"schema must accept: {label}", problems))
        elif not valid and not problems:
            failures.append((f"schema must reject: {label}", ["accepted"]))
        passed += valid != bool(problems)
    for label, problems in failures:
        print(f"FAIL {label}\n     " + "\n     ".join(problems))
    print(f"{passed} passed, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
