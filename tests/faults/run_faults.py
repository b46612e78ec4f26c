#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Planted-fault round: does the test suite notice realistic slips?

Each fault in the list (faults.txt beside this script) is a one- or two-line
change to the game's source. For every fault in turn the script applies it to
a scratch checkout of the tree, rebuilds incrementally, runs ctest and records
whether any test failed (caught) or all passed (survived), then puts the
original text back. The developer's own tree is never touched: the scratch
checkout is a detached git worktree under the temporary folder, removed at the
end.

A fault whose original text is not found in its file (the code moved on) is
reported as such and left out of the count; so is one whose text occurs more
than once, or one that does not build.

    tests/faults/run_faults.py                 # the whole list against HEAD
    tests/faults/run_faults.py --ref main      # against another commit
    tests/faults/run_faults.py --only a,b      # a few faults by id
    tests/faults/run_faults.py --check         # only look for every fault's text

Every fault runs the whole of ctest, the record server's integration tests
(the real server against SQLite, a throw-away PostgreSQL cluster and a
headless browser) included. --without-integration leaves those out, except
for the faults whose block says "tests: integration" (only they can see them).

The round is CPU heavy (one incremental build per fault); it runs the build
and the tests with two jobs unless told otherwise.
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
NEWLINE = "<NL>"


def read_faults(list_file):
    """Blocks of 'key: value' lines separated by blank lines; '#' starts a comment line."""
    faults, block = [], {}
    lines = list_file.read_text(encoding="utf-8").splitlines() + [""]
    for number, line in enumerate(lines, 1):
        if line.startswith("#"):
            continue
        if not line.strip():
            if block:
                missing = {"id", "file", "find", "replace", "what"} - block.keys()
                if block.get("tests", "integration") != "integration":
                    sys.exit(f"{list_file}:{number}: 'tests:' can only be 'integration'")
                if missing:
                    sys.exit(f"{list_file}:{number}: fault block lacks {', '.join(sorted(missing))}")
                faults.append(block)
                block = {}
            continue
        key, sep, value = line.partition(": ")
        if not sep or key not in {"id", "file", "find", "replace", "what", "tests"}:
            sys.exit(f"{list_file}:{number}: expected 'id|file|find|replace|what|tests: ...'")
        block[key] = value.replace(NEWLINE, "\n") if key in {"find", "replace"} else value
    ids = [f["id"] for f in faults]
    duplicates = {i for i in ids if ids.count(i) > 1}
    if duplicates:
        sys.exit(f"{list_file}: duplicate ids {', '.join(sorted(duplicates))}")
    return faults


def run(command, cwd, log=None, env=None):
    result = subprocess.run(command, cwd=cwd, env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    if log is not None:
        log.write(f"$ {' '.join(command)}\n{result.stdout}\n")
        log.flush()
    return result


def failed_tests(ctest_output):
    names, listing = [], False
    for line in ctest_output.splitlines():
        if line.startswith("The following tests FAILED"):
            listing = True
        elif listing:
            m = re.match(r"\s*\d+\s*-\s*(\S+)", line)
            if m:
                names.append(m.group(1))
    return names


def anchor_state(tree, fault):
    path = tree / fault["file"]
    if not path.is_file():
        return "file missing", None
    text = path.read_text(encoding="utf-8")
    count = text.count(fault["find"])
    if count == 0:
        return "ORIGINAL TEXT NOT FOUND", text
    if count > 1:
        return f"original text found {count} times", text
    return "ok", text


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--ref", default="HEAD", help="commit to plant the faults in (default HEAD)")
    parser.add_argument("--list", type=Path, default=HERE / "faults.txt", help="the fault list")
    parser.add_argument("--only", default="", help="comma-separated fault ids to run")
    parser.add_argument("--jobs", type=int, default=2, help="build and test jobs (default 2)")
    parser.add_argument("--check", action="store_true", help="only check that every fault's text is found")
    parser.add_argument("--report", type=Path, help="also write the results table to this file")
    parser.add_argument("--keep", action="store_true", help="keep the scratch checkout and its build")
    parser.add_argument("--without-integration", action="store_true",
                        help="leave out the tests labelled integration (the record server against real databases "
                             "and a browser) except for the faults whose block asks for them")
    args = parser.parse_args()

    repo = Path(run(["git", "rev-parse", "--show-toplevel"], HERE).stdout.strip())
    faults = read_faults(args.list)
    if args.only:
        wanted = set(args.only.split(","))
        unknown = wanted - {f["id"] for f in faults}
        if unknown:
            sys.exit(f"unknown fault ids: {', '.join(sorted(unknown))}")
        faults = [f for f in faults if f["id"] in wanted]

    commit = run(["git", "rev-parse", "--verify", args.ref + "^{commit}"], repo).stdout.strip()
    if not commit:
        sys.exit(f"no such commit: {args.ref}")
    scratch = Path(tempfile.mkdtemp(prefix="vortigo-faults-"))
    # Readable by all, as a build folder is: a test run as root plays the game as nobody.
    scratch.chmod(0o755)
    tree = scratch / "tree"
    build = scratch / "build"
    log_path = Path(tempfile.gettempdir()) / f"{scratch.name}.log"
    # Paths inside the scratch checkout are hashed relative to it, so a later
    # round in another scratch folder still finds its compilations in ccache.
    env = dict(os.environ, CCACHE_BASEDIR=str(scratch))
    added = run(["git", "worktree", "add", "--detach", str(tree), commit], repo)
    if added.returncode != 0:
        sys.exit(added.stdout)
    print(f"Planting {len(faults)} faults in {commit[:10]} ({args.ref}); scratch checkout {tree}, log {log_path}",
          flush=True)

    results = []
    try:
        if args.check:
            for fault in faults:
                state, _ = anchor_state(tree, fault)
                results.append((fault, state if state != "ok" else "found", []))
                print(f"{fault['id']:<24} {state if state != 'ok' else 'found'}", flush=True)
            return report(results, args, commit, check_only=True)

        with open(log_path, "w", encoding="utf-8") as log:
            configure = ["cmake", "-S", str(tree), "-B", str(build), "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
                         "-DVORTIGO_BUILD_BENCH=OFF"]
            if shutil.which("ccache"):
                configure.append("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
            building = ["cmake", "--build", str(build), "-j", str(args.jobs)]
            everything = ["ctest", "--test-dir", str(build), "-j", str(args.jobs), "--timeout", "300"]
            units = everything + ["-LE", "integration"]

            def testing(fault=None):
                wanted = not args.without_integration or (fault is None and any("tests" in f for f in faults))
                return everything if wanted or (fault is not None and "tests" in fault) else units

            if run(configure, tree, log, env).returncode != 0 or run(building, tree, log, env).returncode != 0:
                sys.exit(f"the unchanged tree does not configure or build; see {log_path}")
            baseline = run(testing(), tree, log)
            if baseline.returncode != 0:
                sys.exit(f"the unchanged tree fails its tests ({', '.join(failed_tests(baseline.stdout))}); "
                         f"see {log_path}")

            for n, fault in enumerate(faults, 1):
                started = time.monotonic()
                state, original = anchor_state(tree, fault)
                failing = []
                if state == "ok":
                    path = tree / fault["file"]
                    path.write_text(original.replace(fault["find"], fault["replace"], 1), encoding="utf-8")
                    log.write(f"\n==== fault {fault['id']}\n")
                    try:
                        if run(building, tree, log, env).returncode != 0:
                            state = "does not build"
                        else:
                            tested = run(testing(fault), tree, log)
                            failing = failed_tests(tested.stdout)
                            state = "caught" if tested.returncode != 0 else "SURVIVED"
                    finally:
                        path.write_text(original, encoding="utf-8")
                results.append((fault, state, failing))
                detail = f" by {', '.join(failing[:3])}{' ...' if len(failing) > 3 else ''}" if failing else ""
                print(f"[{n}/{len(faults)}] {fault['id']:<24} {state}{detail} ({time.monotonic() - started:.0f} s)",
                      flush=True)
    finally:
        if args.keep:
            print(f"kept {scratch}")
        else:
            run(["git", "worktree", "remove", "--force", str(tree)], repo)
            shutil.rmtree(scratch, ignore_errors=True)
    return report(results, args, commit)


def report(results, args, commit, check_only=False):
    lines = [f"Planted faults in {commit[:10]} ({args.ref})", ""]
    for fault, state, failing in results:
        lines.append(f"{state:<24} {fault['id']:<24} {fault['file']}: {fault['what']}")
        if failing:
            lines.append(f"{'':<24} caught by {', '.join(failing)}")
    counted = [r for r in results if r[1] in ("caught", "SURVIVED")]
    caught = sum(1 for r in counted if r[1] == "caught")
    skipped = [r for r in results if r[1] not in ("caught", "SURVIVED", "found")]
    lines.append("")
    if check_only:
        lines.append(f"{len(results) - len(skipped)} of {len(results)} faults found in the tree")
    else:
        rate = f"{100.0 * caught / len(counted):.1f} %" if counted else "n/a"
        lines.append(f"{len(counted)} faults planted, {caught} caught, {len(counted) - caught} survived: {rate}")
    if skipped:
        lines.append(f"{len(skipped)} not counted (text not found, ambiguous or not building): "
                     + ", ".join(r[0]["id"] for r in skipped))
    survivors = [r[0] for r in counted if r[1] == "SURVIVED"]
    for fault in survivors:
        lines.append(f"  survivor {fault['id']}: {fault['what']}")
    text = "\n".join(lines) + "\n"
    print("\n" + text, end="")
    if args.report:
        args.report.write_text(text, encoding="utf-8")
    return 1 if skipped else 0


if __name__ == "__main__":
    sys.exit(main())
