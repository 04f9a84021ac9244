#!/usr/bin/env python3
"""Adds up the test reports under a folder and prints one summary line per
configuration and a final 'N passed, N failed' line.

<folder>/<config>/*.xml are GoogleTest reports, one per runner;
<folder>/<config>-runners.xml is ctest's report of the runners themselves. A
runner that failed without a failing test in its report (it crashed, timed
out, or is no GoogleTest runner) counts as one failed test; a runner of that
last kind that passed counts as one passed test."""
import pathlib
import sys
import xml.etree.ElementTree as ET


def gtest_counts(report):
    passed = failed = skipped = 0
    for case in ET.parse(report).getroot().iter("testcase"):
        if case.find("failure") is not None:
            failed += 1
        elif case.get("result") == "skipped" or case.find("skipped") is not None:
            skipped += 1
        else:
            passed += 1
    return passed, failed, skipped


def runner_outcomes(report):
    if not report.exists():
        return {}
    outcomes = {}
    for case in ET.parse(report).getroot().iter("testcase"):
        failed = case.find("failure") is not None or case.get("status") == "fail"
        outcomes[case.get("name")] = not failed
    return outcomes


def main(folder):
    root = pathlib.Path(folder)
    totals = [0, 0, 0]
    for config in sorted(p for p in root.iterdir() if p.is_dir()):
        counts = [0, 0, 0]
        per_runner = {}
        for report in config.glob("*.xml"):
            per_runner[report.stem] = gtest_counts(report)
            counts = [a + b for a, b in zip(counts, per_runner[report.stem])]
        for runner, ok in runner_outcomes(root / f"{config.name}-runners.xml").items():
            tests = per_runner.get(runner)
            if not ok and (tests is None or tests[1] == 0):
                print(f"{config.name}: runner {runner} failed without a failing test in its report")
                counts[1] += 1
            elif ok and tests is None:
                counts[0] += 1
        print(f"{config.name}: {counts[0]} passed, {counts[1]} failed, {counts[2]} skipped")
        totals = [a + b for a, b in zip(totals, counts)]
    print(f"{totals[0]} passed, {totals[1]} failed, {totals[2]} skipped")
    return 1 if totals[1] or totals[0] == 0 else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
