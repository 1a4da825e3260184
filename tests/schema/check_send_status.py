#!/usr/bin/env python3
"""Smoke test of tools/send-status: a file and a scenario sent to a loopback socket arrive as the tool
prints them, in order; a source that is not JSON is refused before anything is sent.

Usage: check_send_status.py [REPO_ROOT]
"""
import json
import os
import pathlib
import socket
import subprocess
import sys
import tempfile

root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", ".."))


def run(*args):
    return subprocess.run([sys.executable, os.path.join(root, "tools", "send-status"), "--now", "1767225600", *args],
                          capture_output=True, text=True, check=False)


failures = []
with tempfile.TemporaryDirectory() as tmp, socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as sock:
    sock.bind(("127.0.0.1", 0))
    sock.settimeout(10)
    message, broken = pathlib.Path(tmp, "prompt.json"), pathlib.Path(tmp, "broken.json")
    message.write_text('{"Trigger": "Prompt", "Msg": 4, "note": "Grüße"}\n', encoding="utf-8")
    broken.write_text('{"Trigger": "Test",', encoding="utf-8")

    want = [json.loads(line) for line in run("--print", message, "charging-1p").stdout.splitlines()]
    sent = run("--port", str(sock.getsockname()[1]), "--delay", "0", "--quiet", message, "charging-1p")
    got = []
    try:
        while len(got) < len(want):
            got.append(json.loads(sock.recvfrom(65536)[0].decode("utf-8")))
    except socket.timeout:
        pass
    if sent.returncode != 0 or len(want) != 5 or got != want:
        failures.append(f"sent (status {sent.returncode}, {sent.stderr.strip()}): {json.dumps(got)[:300]}\n"
                        f"  printed: {json.dumps(want)[:300]}")
    refused = run("--print", broken)
    if refused.returncode != 2 or refused.stdout:
        failures.append(f"a file that is not JSON: status {refused.returncode}, printed {refused.stdout[:100]!r}")

for f in failures:
    print(f"FAIL {f}")
print("send-status: ok" if not failures else f"send-status: {len(failures)} failed")
sys.exit(1 if failures else 0)
