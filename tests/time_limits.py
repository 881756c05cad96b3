#!/usr/bin/env python3
"""Fails naming every test of a build that has no time limit (TIMEOUT): a test
without one that hangs holds the whole run until it is killed.

    time_limits.py CTEST BUILD_DIR
"""
import json
import subprocess
import sys


def main() -> int:
    if len(sys.argv) != 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    ctest, build = sys.argv[1], sys.argv[2]
    listing = subprocess.run([ctest, "--test-dir", build, "--show-only=json-v1"],
                             check=True, capture_output=True, text=True).stdout
    tests = json.loads(listing).get("tests", [])
    unlimited = []
    for test in tests:
        limits = [p.get("value") for p in test.get("properties", []) if p.get("name") == "TIMEOUT"]
        if not limits or not all(isinstance(v, (int, float)) and v > 0 for v in limits):
            unlimited.append(test.get("name", "?"))
    for name in unlimited:
        print(f"no time limit: {name}")
    if not tests:
        print("no tests listed")
        return 1
    print(f"{len(tests) - len(unlimited)} of {len(tests)} tests have a time limit")
    return 1 if unlimited else 0


if __name__ == "__main__":
    sys.exit(main())
