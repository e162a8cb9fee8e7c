#!/usr/bin/env python3
"""Mutation run: shows which tests catch which faults in the product code.

A fixed list of mutants (tests/mutation/mutants.jsonl, one small source change each) is applied
one at a time; after each the build is brought up to date and every test executable that was
relinked runs. The tests that fail form the mutant's row of the kill matrix, written as JSON
lines so a later run can be compared with it.

    scripts/mutate.py run [--out FILE] [--only ID,...]   # all mutants, into a new build folder
    scripts/mutate.py quick                              # five mutants in the default build; each
                                                         # must be killed (what CI runs)
    scripts/mutate.py run --after BEFORE --since REV     # after a change of the tests: only the
                                                         # mutants BEFORE killed whose killers'
                                                         # tests changed since REV run again
    scripts/mutate.py compare BEFORE AFTER               # what AFTER no longer kills
    scripts/mutate.py summary MATRIX                     # counts per folder and status
    scripts/mutate.py generate                           # rewrites the mutant list (seldom)

Statuses: killed (some test failed, crashed or timed out), survived (every test passed),
stillborn (the mutant does not compile), unbuilt (no test executable contains the file), stale
(the mutated line is no longer in the source).
"""

import argparse
import json
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
MUTANTS = ROOT / "tests/mutation/mutants.jsonl"
BACKUP_NAME = "mutate-backup.json"
TEST_TIMEOUT_S = 30  # the slowest executable takes about 3 s; a hang is a kill
QUICK_IDS = ["M0068", "M0088", "M0199", "M0206", "M0221"]  # one per area, each killed widely

# What is mutated: the core and the Linux side of the bindings (the simulated platform, the
# Cairo drawing backend, the host stand-ins). Windows-only files are left out: under Wine a
# mutant costs minutes, not seconds.
AREAS = {
    "dial": (["dial"], 80),
    "items": (["items"], 10),
    "overlay": (["overlay"], 90),
    "package": (["package"], 35),
    "runtime": (["runtime"], 5),
    "bindings": (["bindings"], 110),
}
WINDOWS_ONLY = re.compile(r"(^|/)(win32_|winrt_|d2d_|d3d_|winrt/|win_)")
SEED = 22

OPERATORS = [
    ("relational", r" (<=|>=|<|>) ", {"<": "<=", "<=": "<", ">": ">=", ">=": ">"}),
    ("equality", r" (==|!=) ", {"==": "!=", "!=": "=="}),
    ("logical", r" (&&|\|\|) ", {"&&": "||", "||": "&&"}),
    ("arithmetic", r" ([+-]) ", {"+": "-", "-": "+"}),
    ("constant", r"(?<![\w.])(\d+\.\d+f?|\d+)(?![\w.'])", None),
    ("boolean", r"\b(true|false)\b", {"true": "false", "false": "true"}),
]
SKIP_LINE = re.compile(
    r"^\s*(#|//|\*|/\*)|static_assert|\bassert\(|\btemplate\s*<|^\s*(namespace|using|enum)\b"
    r"|\boperator\b|\bconstexpr\s+\w+\s+\w+\[|\[\[")
CALL_STATEMENT = re.compile(r"^(\s*)((?:[\w:]+(?:\.|->))*[\w:]+(?:<[\w:, ]*>)?)\((.*)\);$")
NOT_A_CALL = {"return", "if", "for", "while", "switch", "delete", "throw", "co_return", "case",
              "static_cast", "sizeof", "else"}
TWO_ARGUMENTS = re.compile(r"\b([A-Z]\w*)\(([\w.:>-]+), ([\w.:>-]+)\)")
CONDITION = re.compile(r"^(\s*(?:\} else )?if \()(.*)(\) \{)$")
VOID_BODY = re.compile(r"^(void [\w:]+\(.*\)(?: const)?(?: noexcept)? \{)$")


def string_spans(line):
    return [m.span() for m in re.finditer(r'"(?:[^"\\]|\\.)*"|\'(?:[^\'\\]|\\.)*\'', line)]


def inside(spans, pos):
    return any(a <= pos < b for a, b in spans)


def code_part(line):
    spans = string_spans(line)
    for m in re.finditer(r"//", line):
        if not inside(spans, m.start()):
            return line[: m.start()]
    return line


def sites_in_line(text):
    """Every mutant this line allows, as (operator, mutated line)."""
    if SKIP_LINE.search(text):
        return []
    code = code_part(text)
    spans = string_spans(code)
    tail = text[len(code):]
    found = []
    for name, pattern, table in OPERATORS:
        for m in re.finditer(pattern, code):
            if inside(spans, m.start(1)):
                continue
            token = m.group(1)
            if name == "constant":
                if token.endswith("f") or "." in token:
                    value = float(token.rstrip("f"))
                    new = repr(value + 1) + ("f" if token.endswith("f") else "")
                else:
                    new = str(int(token) + 1)
            else:
                new = table[token]
            found.append((name, code[: m.start(1)] + new + code[m.end(1):] + tail))
    call = CALL_STATEMENT.match(code.rstrip())
    if call and call.group(2).split("::")[-1] not in NOT_A_CALL and " = " not in code \
            and code.count("(") == code.count(")") and not call.group(2)[0].isupper():
        found.append(("dropped-call", call.group(1) + "(void)0;" + tail))
    for m in TWO_ARGUMENTS.finditer(code):
        a, b = m.group(2), m.group(3)
        if a != b and m.group(1) not in ("Max", "Min") and not inside(spans, m.start()):
            swapped = f"{m.group(1)}({b}, {a})"
            found.append(("swapped-arguments", code[: m.start()] + swapped + code[m.end():] + tail))
    condition = CONDITION.match(code.rstrip())
    if condition:
        found.append(("negated-condition",
                      f"{condition.group(1)}!({condition.group(2)}){condition.group(3)}" + tail))
    body = VOID_BODY.match(code.rstrip())
    if body:
        found.append(("early-return", body.group(1) + " return;" + tail))
    return found


def source_files(folders):
    for folder in folders:
        for path in sorted((ROOT / folder).rglob("*")):
            relative = path.relative_to(ROOT).as_posix()
            # Headers are left out: a mutant in one rebuilds most of the tree, minutes instead of
            # seconds, and their inline code is reached through the sources' mutants' callers.
            if path.suffix == ".cpp" and not WINDOWS_ONLY.search(relative):
                yield relative


def generate():
    """Chooses the mutants: a fixed seed, each folder's share, operators taken in turn."""
    rng = random.Random(SEED)
    mutants = []
    for area, (folders, quota) in AREAS.items():
        by_operator = {}
        for relative in source_files(folders):
            lines = (ROOT / relative).read_text().splitlines()
            in_comment = False
            for number, text in enumerate(lines, 1):
                if "/*" in text:
                    in_comment = "*/" not in text
                    continue
                if in_comment:
                    in_comment = "*/" not in text
                    continue
                for operator, mutated in sites_in_line(text):
                    by_operator.setdefault(operator, []).append(
                        {"file": relative, "line": number, "operator": operator,
                         "original": text, "mutated": mutated})
        for candidates in by_operator.values():
            rng.shuffle(candidates)
        chosen, used_lines = [], set()
        operators = sorted(by_operator)
        while len(chosen) < quota and any(by_operator.values()):
            for operator in operators:
                if len(chosen) >= quota or not by_operator[operator]:
                    continue
                site = by_operator[operator].pop()
                if (site["file"], site["line"]) in used_lines:
                    continue
                used_lines.add((site["file"], site["line"]))
                chosen.append(site)
        chosen.sort(key=lambda s: (s["file"], s["line"]))
        mutants += chosen
    MUTANTS.parent.mkdir(parents=True, exist_ok=True)
    with MUTANTS.open("w") as out:
        for index, site in enumerate(mutants, 1):
            out.write(json.dumps({"id": f"M{index:04d}", **site}) + "\n")
    print(f"{len(mutants)} mutants written to {MUTANTS.relative_to(ROOT)}")


def load(path):
    with Path(path).open() as f:
        return [json.loads(line) for line in f if line.strip()]


class Mutation:
    """Applies one mutant and always puts the file back, even after Ctrl+C. The original is
    also saved in the build folder first, so a run killed harder is repaired by the next."""

    def __init__(self, build, mutant):
        self.build, self.mutant = build, mutant
        self.path = ROOT / mutant["file"]

    def __enter__(self):
        self.original = self.path.read_text()
        lines = self.original.split("\n")
        index = self.mutant["line"] - 1
        if not (index < len(lines) and lines[index] == self.mutant["original"]):
            matches = [i for i, text in enumerate(lines) if text == self.mutant["original"]]
            if len(matches) != 1:
                return False
            index = matches[0]
        (self.build / BACKUP_NAME).write_text(
            json.dumps({"file": self.mutant["file"], "text": self.original}))
        lines[index] = self.mutant["mutated"]
        self.path.write_text("\n".join(lines))
        return True

    def __exit__(self, *exc):
        backup = self.build / BACKUP_NAME
        if backup.exists():
            self.path.write_text(self.original)
            backup.unlink()
        return False


def repair(build):
    backup = build / BACKUP_NAME
    if backup.exists():
        saved = json.loads(backup.read_text())
        (ROOT / saved["file"]).write_text(saved["text"])
        backup.unlink()
        print(f"restored {saved['file']} from an interrupted run")


# The live mode's tests need a display and take seconds each; the scripted session tests drive the
# same session code.
NOT_RUN = {"quarn_live_tests"}

# The program the ctest tests labelled "command" run: they run again whenever a mutant relinks it.
SIMULATOR = Path("tools/sim/quarn-dial-sim")


def test_executables(build):
    return sorted(p for p in (build / "tests").rglob("quarn_*")
                  if p.is_file() and os.access(p, os.X_OK) and p.parent.name != "CMakeFiles"
                  and p.name not in NOT_RUN)


def run_executable(exe, build):
    """The names of the tests that failed; the executable's name when it crashed or hung."""
    with tempfile.TemporaryDirectory() as scratch:
        report = Path(scratch) / "report.json"
        try:
            process = subprocess.Popen(
                [str(exe), "--gtest_brief=1", f"--gtest_output=json:{report}"],
                cwd=exe.parent, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                start_new_session=True)
            code = process.wait(timeout=TEST_TIMEOUT_S)
        except subprocess.TimeoutExpired:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()
            return [f"{exe.name}:TIMEOUT"]
        try:
            suites = json.loads(report.read_text())["testsuites"]
        except (OSError, ValueError, KeyError):
            # No report, or one the crash cut short.
            return [f"{exe.name}:CRASH"] if code != 0 else []
        failed = [f"{exe.name}:{suite['name']}.{test['name']}"
                  for suite in suites
                  for test in suite["testsuite"] if test.get("failures")]
        return failed or ([f"{exe.name}:EXIT{code}"] if code != 0 else [])


def run_command_tests(build):
    """The names of the ctest tests labelled "command" (a tool run whose output a regular
    expression checks) that failed."""
    with tempfile.TemporaryDirectory() as scratch:
        log = Path(scratch) / "failed.log"
        subprocess.run(["ctest", "--test-dir", str(build), "-L", "^command$", "--timeout",
                        str(TEST_TIMEOUT_S), "-O", str(log)],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        text = log.read_text() if log.exists() else ""
    failed = text.partition("The following tests FAILED:")[2]
    return [f"ctest:{name}" for name in re.findall(r"\d+ - (\S+) \(", failed)]


def build_tree(build, quiet=True):
    # Paths relative to the checkout in ccache's keys: worktrees share one another's objects.
    environment = {**os.environ, "CCACHE_BASEDIR": str(ROOT)}
    result = subprocess.run(["cmake", "--build", str(build), "-j", str(os.cpu_count())],
                            env=environment,
                            stdout=subprocess.DEVNULL if quiet else None,
                            stderr=subprocess.DEVNULL if quiet else None)
    return result.returncode == 0


def configure(build, preset):
    """The mutation build: quicker to compile than the release build, with the same NDEBUG and the
    same tests; ccache and lld where installed."""
    if preset:
        subprocess.run(["cmake", "--preset", preset], cwd=ROOT, check=True,
                       stdout=subprocess.DEVNULL)
        return
    options = ["-DCMAKE_BUILD_TYPE=RelWithDebInfo", "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -DNDEBUG",
               "-DQUARN_WARNINGS_AS_ERRORS=OFF", "-DQUARN_BUILD_BENCHMARKS=OFF"]
    if shutil.which("ccache"):
        options.append("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
    if shutil.which("ld.lld"):
        options.append("-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld")
    subprocess.run(["cmake", "-S", str(ROOT), "-B", str(build), "-G", "Ninja", *options],
                   check=True, stdout=subprocess.DEVNULL)


def run(mutants, build, out, preset=None):
    build.mkdir(parents=True, exist_ok=True)
    repair(build)
    configure(build, preset)
    if not build_tree(build, quiet=False):
        sys.exit("the unmutated tree does not build")
    executables = test_executables(build)
    simulator = build / SIMULATOR
    baseline = {exe: [] for exe in executables}
    for exe in executables:
        if failed := run_executable(exe, build):
            sys.exit(f"the unmutated tree fails its tests: {failed}")
    if failed := run_command_tests(build):
        sys.exit(f"the unmutated tree fails its tests: {failed}")
    done = {row["id"] for row in load(out)} if out.exists() else set()
    rows = []
    with out.open("a") as matrix:
        for mutant in mutants:
            if mutant["id"] in done:
                continue
            started = time.monotonic()
            stamps = {exe: exe.stat().st_mtime_ns for exe in baseline}
            simulator_stamp = simulator.stat().st_mtime_ns if simulator.exists() else 0
            killed_by = []
            with Mutation(build, mutant) as applied:
                if not applied:
                    status = "stale"
                elif not build_tree(build):
                    status = "stillborn"
                else:
                    relinked = [exe for exe in executables
                                if exe.stat().st_mtime_ns != stamps[exe]]
                    for exe in relinked:
                        killed_by += run_executable(exe, build)
                    simulator_relinked = (simulator.exists()
                                          and simulator.stat().st_mtime_ns != simulator_stamp)
                    if simulator_relinked:
                        killed_by += run_command_tests(build)
                    # A file this build does not compile (Windows-only) changes no executable.
                    status = ("killed" if killed_by
                              else "survived" if relinked or simulator_relinked else "unbuilt")
            row = {"id": mutant["id"], "status": status, "killed_by": killed_by}
            rows.append(row)
            matrix.write(json.dumps(row) + "\n")
            matrix.flush()
            print(f"{mutant['id']} {status:9} {time.monotonic() - started:5.1f} s "
                  f"{mutant['file']}:{mutant['line']} {mutant['operator']}"
                  f"{' ' + str(len(killed_by)) + ' tests' if killed_by else ''}", flush=True)
    build_tree(build)
    return rows


def carried_rows(before_path, since, build):
    """The rows of an earlier matrix that a change of the tests since `since` cannot alter: the
    stillborn mutants, and those one of whose killers is in an executable whose test folder and
    shared test headers are as they were. Survivors run again: new tests may kill them."""
    def unchanged(executable_folder):
        if executable_folder is None:
            return False
        paths = [f"tests/{executable_folder}", *map(str, (ROOT / "tests").glob("*.h"))]
        return subprocess.run(["git", "diff", "--quiet", since, "--", *paths], cwd=ROOT).returncode == 0
    folders = {exe.name: exe.parent.name for exe in test_executables(build)}
    carried = {}
    for row in load(before_path):
        killers = {name.split(":")[0] for name in row["killed_by"]}
        if row["status"] == "stillborn" or any(unchanged(folders.get(exe)) for exe in killers):
            carried[row["id"]] = {**row, "carried": True}
    return carried


def compare(before_path, after_path):
    before = {row["id"]: row for row in load(before_path)}
    after = {row["id"]: row for row in load(after_path)}
    missing = [i for i in before if i not in after]
    lost = [i for i, row in before.items()
            if row["status"] == "killed" and i in after and after[i]["status"] != "killed"]
    gained = [i for i, row in after.items()
              if row["status"] == "killed" and before.get(i, {}).get("status") != "killed"]
    print(f"killed before: {sum(r['status'] == 'killed' for r in before.values())} of "
          f"{len(before)}, after: {sum(r['status'] == 'killed' for r in after.values())} of "
          f"{len(after)}")
    print(f"no longer killed: {' '.join(lost) or 'none'}")
    print(f"newly killed: {' '.join(gained) or 'none'}")
    if missing:
        print(f"not in {after_path} (yet): {len(missing)} mutants")
    return 1 if lost else 0


def summary(matrix_path):
    mutants = {m["id"]: m for m in load(MUTANTS)}
    counts = {}
    for row in load(matrix_path):
        area = mutants[row["id"]]["file"].split("/")[0]
        counts.setdefault(area, {}).setdefault(row["status"], 0)
        counts[area][row["status"]] += 1
    statuses = ["killed", "survived", "stillborn", "unbuilt", "stale"]
    print(f"{'':10}" + "".join(f"{s:>10}" for s in statuses))
    for area, by_status in sorted(counts.items()):
        print(f"{area:10}" + "".join(f"{by_status.get(s, 0):>10}" for s in statuses))


def main():
    # A stopped run puts the mutated file back: SIGTERM is treated as Ctrl+C.
    signal.signal(signal.SIGTERM, lambda *_: (_ for _ in ()).throw(KeyboardInterrupt()))
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    commands = parser.add_subparsers(dest="command", required=True)
    run_command = commands.add_parser("run")
    run_command.add_argument("--out", type=Path, default=ROOT / "build/mutation/matrix.jsonl")
    run_command.add_argument("--build", type=Path, default=ROOT / "build/mutation")
    run_command.add_argument("--only", help="comma-separated mutant ids")
    run_command.add_argument("--after", type=Path, help="an earlier matrix to carry rows from")
    run_command.add_argument("--since", help="the commit the earlier matrix was made at")
    commands.add_parser("quick")
    compare_command = commands.add_parser("compare")
    compare_command.add_argument("before")
    compare_command.add_argument("after")
    summary_command = commands.add_parser("summary")
    summary_command.add_argument("matrix")
    commands.add_parser("generate")
    args = parser.parse_args()

    if args.command == "generate":
        generate()
    elif args.command == "compare":
        sys.exit(compare(args.before, args.after))
    elif args.command == "summary":
        summary(args.matrix)
    elif args.command == "run":
        mutants = load(MUTANTS)
        if args.only:
            wanted = set(args.only.split(","))
            mutants = [m for m in mutants if m["id"] in wanted]
        if args.after:
            carried = carried_rows(args.after, args.since, args.build.resolve())
            out = args.out.resolve()
            done = {row["id"] for row in load(out)} if out.exists() else set()
            with out.open("a") as matrix:
                for mutant_id, row in carried.items():
                    if mutant_id not in done:
                        matrix.write(json.dumps(row) + "\n")
            mutants = [m for m in mutants if m["id"] not in carried]
            print(f"{len(carried)} rows carried over, {len(mutants)} mutants to run")
        run(mutants, args.build.resolve(), args.out.resolve())
    else:
        mutants = [m for m in load(MUTANTS) if m["id"] in QUICK_IDS]
        with tempfile.TemporaryDirectory() as scratch:
            rows = run(mutants, ROOT / "build/default", Path(scratch) / "quick.jsonl",
                       preset="default")
        missed = [row["id"] for row in rows if row["status"] != "killed"]
        if missed or len(rows) != len(QUICK_IDS):
            sys.exit(f"mutants no longer killed: {' '.join(missed)}")
        print(f"all {len(rows)} quick mutants killed")


if __name__ == "__main__":
    main()
