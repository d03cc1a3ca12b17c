#!/usr/bin/env python3
"""Prints the test-case counts of the GoogleTest XML reports of each run and
one closing line over all of them. Fails when a run left no report or ran
no test, so a silently skipped run cannot pass as green; a run that could
not start on this machine says why (its not-run.txt) and fails nothing."""
import pathlib
import sys
import xml.etree.ElementTree as ET


def main(args):
    total_passed = total_failed = 0
    ok = True
    for arg in args:
        name, _, directory = arg.partition("=")
        not_run = pathlib.Path(directory, "not-run.txt")
        if not_run.exists():
            print(f"{name}: not run: {not_run.read_text().strip()}")
            continue
        reports = sorted(pathlib.Path(directory).glob("*.xml"))
        passed = failed = 0
        for report in reports:
            root = ET.parse(report).getroot()
            tests = int(root.get("tests", 0)) - int(root.get("disabled", 0))
            bad = int(root.get("failures", 0)) + int(root.get("errors", 0))
            skipped = sum(1 for _ in root.iter("skipped"))
            print(f"{name}: {report.stem}: {tests - bad - skipped} passed, {bad} failed, {skipped} skipped")
            passed, failed = passed + tests - bad - skipped, failed + bad
        if passed + failed == 0:
            print(f"{name}: no test ran")
            ok = False
        total_passed, total_failed = total_passed + passed, total_failed + failed
    print(f"Total: {total_passed} passed, {total_failed} failed")
    return 0 if ok and total_failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
