#!/usr/bin/env python3
"""Lists the tests that run no block of src/ that the other tests leave unrun.

Usage: redundant_tests.py BUILD [--keep TEST]...

BUILD is a build made with -fsanitize-coverage=trace-pc and BlockTrace.cpp linked in (see
scripts/test-redundancy). Every gtest test and every Qt test function runs in a process of its
own; the blocks each one runs are mapped to (function, offset) so that the same code counts as
the same block in every executable. Then, taking the longest tests first, a test is listed when
every block it runs is still run by a test not listed. Removing all the listed tests together
leaves every block of src/ run, so line coverage stays; branch coverage may still move a little,
because a block can be reached along more than one edge.

A listed test is a place to look, not a verdict: a test that compares whole outputs, two runs, or
every corpus file checks far more than the blocks it runs, and one that guards a fault once found
stays whatever this says.
"""
import bisect
import collections
import concurrent.futures
import os
import re
import subprocess
import sys
import tempfile

ROOT = os.path.normpath(os.path.join(os.path.dirname(__file__), "..", ".."))
SRC = os.path.join(ROOT, "src") + os.sep
TESTS = os.path.join(ROOT, "tests")


def jobs(build):
    gtest = os.path.join(build, "tests", "corvela_tests")
    listing = subprocess.run([gtest, "--gtest_list_tests"], capture_output=True, text=True).stdout
    suite = None
    for line in listing.splitlines():
        name = line.split("#")[0].strip()
        if not name:
            continue
        if not line.startswith(" "):
            suite = name
        else:
            yield "gt:" + suite + name, [gtest, "--gtest_filter=" + suite + name]
    ui = os.path.join(build, "tests", "ui", "corvela_ui_tests")
    if not os.path.exists(ui):
        return
    main = open(os.path.join(TESTS, "ui", "UiTestMain.cpp")).read()
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    for cls in re.findall(r'\{"(\w+)", run\w+\}', main):
        listed = subprocess.run([ui, cls, "-functions"], capture_output=True, text=True, env=env)
        for function in listed.stdout.split():
            yield f"ui:{cls}:{function.rstrip('()')}", [ui, cls, function.rstrip("()")]


def run_one(job, out):
    tag, command = job
    with tempfile.TemporaryDirectory() as home:
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen", HOME=home, XDG_CONFIG_HOME=home,
                   XDG_DATA_HOME=home, XDG_CACHE_HOME=home, XDG_STATE_HOME=home,
                   TRACE_DIR=out, TRACE_TAG=tag.replace("/", "_"))
        done = subprocess.run(command, capture_output=True, env=env, cwd=home, timeout=900)
    return tag, done.returncode


def read_traces(out):
    traces = collections.defaultdict(lambda: collections.defaultdict(set))  # tag -> exe -> offsets
    for name in os.listdir(out):
        tag = name[:-len(".txt")].rsplit(".", 1)[0]
        with open(os.path.join(out, name)) as f:
            first = f.readline().split(" ", 1)
            if len(first) < 2:
                continue
            traces[tag][first[1].strip()].update(int(line, 16) for line in f)
    return traces


def blocks_of_src(exe, offsets):
    """Maps the offsets of one executable that lie in src/ to (symbol, offset in symbol)."""
    symbols = []
    for line in subprocess.run(["nm", "--defined-only", "-n", exe], capture_output=True,
                               text=True).stdout.splitlines():
        parts = line.split()
        if len(parts) == 3 and parts[1] in "TtWw":
            symbols.append((int(parts[0], 16), parts[2]))
    starts = [address for address, _ in symbols]
    ordered = sorted(offsets)
    places = subprocess.run(["addr2line", "-e", exe], input="\n".join(map(hex, ordered)),
                            capture_output=True, text=True).stdout.splitlines()
    blocks = {}
    for offset, place in zip(ordered, places):
        if not os.path.normpath(place.split(" ")[0]).startswith(SRC):
            continue
        i = bisect.bisect_right(starts, offset) - 1
        if i >= 0:
            blocks[offset] = (symbols[i][1], offset - symbols[i][0])
    return blocks


def counted(lines):
    return sum(1 for line in lines if line.strip() and not line.strip().startswith("//"))


def test_spans():
    """Where each test stands: tag -> (file, first line, lines counted)."""
    spans = {}
    for folder, _, files in os.walk(TESTS):
        for name in files:
            if not name.endswith(".cpp"):
                continue
            path = os.path.join(folder, name)
            lines = open(path).read().split("\n")
            qt = os.sep + "ui" + os.sep in path[len(TESTS):]
            cls, starts = None, []
            for i, line in enumerate(lines):
                if qt:
                    m = re.match(r"^class (\w+) : public QObject", line)
                    cls = m.group(1) if m else cls
                    m = re.match(r"^  void (\w+)\(\) \{", line)
                    if m and cls:
                        starts.append((i, f"ui:{cls}:{m.group(1)}", "  }"))
                else:
                    m = re.match(r"^TEST(?:_F|_P)?\((\w+),\s*(\w+)\)", line)
                    if m:
                        starts.append((i, f"gt:{m.group(1)}.{m.group(2)}", "}"))
            for i, tag, end in starts:
                j = i + 1
                while j < len(lines) and not lines[j].startswith(end):
                    j += 1
                spans[tag] = (os.path.relpath(path, ROOT), i + 1, counted(lines[i:j + 1]))
    return spans


def test_of(tag):
    """A parameterised gtest instance (Prefix_Suite.Name_Param) counts for its TEST_P."""
    if not tag.startswith("gt:"):
        return tag
    suite, _, name = tag[3:].partition(".")
    return f"gt:{suite.split('_')[-1]}.{name.split('_')[0]}"


def main():
    build = os.path.abspath(sys.argv[1])
    keep = {sys.argv[i + 1] for i, a in enumerate(sys.argv) if a == "--keep"}
    out = tempfile.mkdtemp(prefix="corvela-trace-")
    failed = []
    with concurrent.futures.ThreadPoolExecutor(os.cpu_count() or 2) as pool:
        for tag, status in pool.map(lambda job: run_one(job, out), list(jobs(build))):
            if status != 0:
                failed.append(tag)
    traces = read_traces(out)
    by_exe = collections.defaultdict(set)
    for per_exe in traces.values():
        for exe, offsets in per_exe.items():
            by_exe[exe] |= offsets
    src_blocks = {exe: blocks_of_src(exe, offsets) for exe, offsets in by_exe.items()}
    runs = collections.defaultdict(set)
    for tag, per_exe in traces.items():
        for exe, offsets in per_exe.items():
            runs[test_of(tag)].update(src_blocks[exe][o] for o in offsets if o in src_blocks[exe])
    spans = test_spans()
    times_run = collections.Counter()
    for blocks in runs.values():
        times_run.update(blocks)
    listed = []
    for test in sorted(runs, key=lambda t: -spans.get(t, ("", 0, 0))[2]):
        if test in keep or test in failed or test not in spans:
            continue
        if all(times_run[b] >= 2 for b in runs[test]):
            times_run.subtract(runs[test])
            listed.append(test)
    for test in listed:
        path, line, size = spans[test]
        print(f"{size:4d} {test} {path}:{line}")
    total = sum(spans[t][2] for t in listed)
    print(f"{len(listed)} of {len(runs)} tests ({total} lines) run no block of src/ that the "
          f"others leave unrun; {len(times_run)} blocks run in all")
    if failed:
        print("failed when run alone, so kept: " + " ".join(failed))


if __name__ == "__main__":
    main()
