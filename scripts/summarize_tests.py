#!/usr/bin/env python3
"""Adds up the GoogleTest XML reports under a folder and prints one summary
line per configuration and a final 'N passed, N failed' line."""
import pathlib
import sys
import xml.etree.ElementTree as ET


def main(folder):
    root = pathlib.Path(folder)
    total_passed = total_failed = total_skipped = 0
    for config in sorted(p for p in root.iterdir() if p.is_dir()):
        passed = failed = skipped = 0
        for report in config.glob("*.xml"):
            for case in ET.parse(report).getroot().iter("testcase"):
                if case.find("failure") is not None:
                    failed += 1
                elif case.get("result") == "skipped" or case.find("skipped") is not None:
                    skipped += 1
                else:
                    passed += 1
        print(f"{config.name}: {passed} passed, {failed} failed, {skipped} skipped")
        total_passed += passed
        total_failed += failed
        total_skipped += skipped
    print(f"{total_passed} passed, {total_failed} failed, {total_skipped} skipped")
    return 1 if total_failed or total_passed == 0 else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
