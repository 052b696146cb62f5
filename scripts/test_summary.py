#!/usr/bin/env python3
"""The end of CI's run: one table of what each step's tests did.

    test_summary.py RESULTS_DIR SKIPS_BY_DESIGN STEP=STATUS...

RESULTS_DIR holds the JUnit files ctest wrote for each step (STEP.xml, or
STEP.PART.xml for a step that runs ctest more than once); STATUS is the
step's exit status. A ctest test that runs a whole GoogleTest program (or a
unittest module, with -v) counts as the cases it ran, from their own lines
in its output, so that a skip inside it counts too. Exits 1 when a step failed, left no results, or
skipped a test that SKIPS_BY_DESIGN does not list.
"""

import re
import sys
import xml.etree.ElementTree as ElementTree
from dataclasses import dataclass, field
from pathlib import Path

# GoogleTest's line for one finished case: "[       OK ] Suite.Name (3 ms)",
# with ", where GetParam() = ..." after a parameterised case's name.
CASE_LINE = re.compile(r"^\[ +(OK|FAILED|SKIPPED) +\] (\S+?)(?:, where .*)? \(\d+ ms\)$", re.MULTILINE)
# Python's unittest's line for one case, run with -v (the browser's page's
# tests): "test_name (module.Class.test_name) ... ok".
UNITTEST_LINE = re.compile(r"^\w+ \(([\w.]+)\) \.\.\. (ok|FAIL|ERROR|skipped)", re.MULTILINE)
UNITTEST_RESULTS = {"ok": "OK", "FAIL": "FAILED", "ERROR": "FAILED", "skipped": "SKIPPED"}


@dataclass
class Counts:
    passed: int = 0
    failed: int = 0
    skipped: list = field(default_factory=list)

    @property
    def ran(self):
        return self.passed + self.failed + len(self.skipped)


def count_junit(path, counts):
    for case in ElementTree.parse(path).getroot().iter("testcase"):
        name = case.get("name", "")
        status = case.get("status", "")
        output = "".join(out.text or "" for out in case.iter("system-out"))
        lines = CASE_LINE.findall(output) or [
            (UNITTEST_RESULTS[result], name) for name, result in UNITTEST_LINE.findall(output)]
        for result, case_name in lines:
            if result == "OK":
                counts.passed += 1
            elif result == "FAILED":
                counts.failed += 1
            else:
                counts.skipped.append(case_name)
        failed_lines = any(result == "FAILED" for result, _ in lines)
        if not lines:
            # Not a GoogleTest program: the ctest test is the case.
            if status == "run":
                counts.passed += 1
            elif status == "notrun" and case.find("skipped") is not None:
                counts.skipped.append(name)
            else:
                counts.failed += 1
        elif status == "fail" and not failed_lines:
            # It crashed or timed out between its cases.
            counts.failed += 1


def by_design(path):
    names = set()
    for line in Path(path).read_text(encoding="utf-8").splitlines():
        line = line.strip()
        if line and not line.startswith("#"):
            names.add(line.split()[0])
    return names


def main(argv):
    if len(argv) < 4:
        print(__doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        return 2
    results = Path(argv[1])
    allowed = by_design(argv[2])
    ok = True
    rows = []
    unexpected = []
    for argument in argv[3:]:
        step, _, status = argument.partition("=")
        files = sorted(results.glob(f"{step}.xml")) + sorted(results.glob(f"{step}.*.xml"))
        ok = ok and status == "0"
        verdict = "passed" if status == "0" else f"FAILED (status {status})"
        if not files:
            rows.append((f"make {step}", "", "", "", "", verdict))
            continue
        counts = Counts()
        for path in files:
            count_junit(path, counts)
        unexpected += [f"make {step}: {name}" for name in counts.skipped if name not in allowed]
        rows.append((f"make {step}", counts.ran, counts.passed, counts.failed, len(counts.skipped), verdict))
    heading = ("step", "ran", "passed", "failed", "skipped", "")
    widths = [max(len(str(row[i])) for row in rows + [heading]) for i in range(len(heading))]
    print()
    for row in [heading] + rows:
        cells = [str(row[0]).ljust(widths[0])] + [str(cell).rjust(width) for cell, width in zip(row[1:5], widths[1:5])]
        print("  ".join(cells + [str(row[5])]).rstrip())
    if unexpected:
        ok = False
        print(f"\nskipped, and not by design ({argv[2]}):")
        for line in unexpected:
            print(f"  {line}")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
