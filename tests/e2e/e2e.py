#!/usr/bin/python3
"""Runs the end-to-end and fault scenarios against the real `orvantis`.

    e2e.py --list [--label LABEL]        names of the scenarios
    e2e.py --build-dir DIR [NAME...]     runs the named scenarios (all by
                                         default) and prints "N passed, M failed"

Each scenario runs in a process of its own inside `dbus-run-session`, on a
desktop of its own (see harness.py), so scenarios never share a display, a
bus, a settings file or a lock, and ctest may run several at once.

The program paths default to the usual places inside the build folder and can
be given one by one: --orvantis, --calc, --probe, --cmake.

ORVANTIS_E2E_VERBOSE=1 prints every scenario's notes, not only a failed one's;
ORVANTIS_E2E_KEEP=1 keeps a failed scenario's work folder with all its logs.
Run it with the system Python (/usr/bin/python3), which has pyatspi.
"""

import argparse
import os
import shutil
import subprocess
import sys
import time
import traceback

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.dont_write_bytecode = True  # no __pycache__ in the source tree

import harness  # noqa: E402
import user_scenarios  # noqa: E402,F401 - registers the scenarios
import fault_scenarios  # noqa: E402,F401
from registry import SCENARIOS, Context  # noqa: E402

SCENARIO_TIMEOUT = 150  # seconds; a scenario that hangs is killed and failed
SKIPPED = 77  # the exit status ctest takes as "skipped" (SKIP_RETURN_CODE)


def parse_args(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("names", nargs="*")
    parser.add_argument("--list", action="store_true")
    parser.add_argument("--label")
    parser.add_argument("--with-labels", action="store_true")
    parser.add_argument("--build-dir")
    parser.add_argument("--orvantis")
    parser.add_argument("--calc")
    parser.add_argument("--probe")
    parser.add_argument("--cmake")
    parser.add_argument("--child", help=argparse.SUPPRESS)
    return parser.parse_args(argv)


def program_paths(args):
    build = os.path.abspath(args.build_dir) if args.build_dir else None
    def pick(given, *relative):
        if given:
            return os.path.abspath(given)
        return os.path.join(build, *relative) if build else None
    return {"orvantis": pick(args.orvantis, "mainwindow", "orvantis"),
            "calc": pick(args.calc, "cli", "orvantis-calc"),
            "probe": pick(args.probe, "tests", "e2e", "e2e_url_probe"),
            "cmake": args.cmake or shutil.which("cmake"),
            "build_dir": build}


def run_child(name, paths):
    """Inside dbus-run-session: one scenario on a fresh desktop."""
    harness.become_subreaper()
    scenario = SCENARIOS[name]
    if scenario.a11y_user == "nobody" and os.geteuid() != 0:
        print(f"SKIP {name}: needs root to run the program as another user", flush=True)
        return SKIPPED
    work = harness.make_workdir(f"orvantis-e2e-{name}-")
    desktop = harness.Desktop(work, a11y_user=scenario.a11y_user)
    ok, skipped = False, False
    try:
        desktop.start()
        context = Context(desktop=desktop, work=work, **paths)
        scenario.function(context)
        ok = True
    except harness.Skip as skip:
        print(f"SKIP {name}: {skip}", flush=True)
        ok = skipped = True
    except Exception as error:  # noqa: BLE001 - every failure is reported the same way
        print(f"FAIL {name}: {error}", flush=True)
        if isinstance(error, harness.Failure):
            # Where in the scenario it happened; the harness frames add nothing.
            for frame in traceback.extract_tb(error.__traceback__):
                if frame.filename.endswith("_scenarios.py"):
                    print(f"  at {os.path.basename(frame.filename)}:{frame.lineno}: {frame.line}")
        else:
            traceback.print_exc()
        for app in desktop.apps:
            log = app.log().strip()
            if log:
                print(f"--- output of {app.name} (pid {app.pid}) ---\n{log}", flush=True)
    finally:
        desktop.stop()
        if ok or not os.environ.get("ORVANTIS_E2E_KEEP"):
            harness.remove_workdir(work)
        else:
            print(f"(work folder kept: {work})")
    return SKIPPED if skipped else 0 if ok else 1


def run_one(name, paths):
    command = ["dbus-run-session", "--", sys.executable, os.path.abspath(__file__),
               "--child", name]
    for key, flag in (("orvantis", "--orvantis"), ("calc", "--calc"), ("probe", "--probe"),
                      ("cmake", "--cmake"), ("build_dir", "--build-dir")):
        if paths[key]:
            command += [flag, paths[key]]
    started = time.monotonic()
    process = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                               start_new_session=True)
    try:
        output, _ = process.communicate(timeout=SCENARIO_TIMEOUT)
        status = process.returncode
    except subprocess.TimeoutExpired:
        os.killpg(process.pid, 9)
        output, _ = process.communicate()
        output += f"\nFAIL {name}: no result within {SCENARIO_TIMEOUT} s\n".encode()
        status = 1
    # The session bus's own complaint about file limits is noise.
    lines = [line for line in output.decode(errors="replace").splitlines()
             if "Failed to set fd limit" not in line]
    return status, time.monotonic() - started, "\n".join(lines)


def main(argv):
    args = parse_args(argv)
    if args.list:
        for name, scenario in SCENARIOS.items():
            if args.label is None or args.label in scenario.labels:
                print(f"{name} {','.join(scenario.labels)}" if args.with_labels else name)
        return 0
    paths = program_paths(args)
    if args.child:
        return run_child(args.child, paths)

    names = args.names or list(SCENARIOS)
    unknown = [n for n in names if n not in SCENARIOS]
    if unknown:
        print(f"unknown scenarios: {', '.join(unknown)}", file=sys.stderr)
        return 2
    missing = [k for k in ("orvantis", "calc") if not paths[k] or not os.path.exists(paths[k])]
    if missing:
        print(f"programs not found: {', '.join(missing)} (give --build-dir)", file=sys.stderr)
        return 2

    counts = {"PASS": 0, "FAIL": 0, "SKIP": 0}
    for name in names:
        status, seconds, output = run_one(name, paths)
        verdict = "PASS" if status == 0 else "SKIP" if status == SKIPPED else "FAIL"
        if output.strip() and (verdict != "PASS" or os.environ.get("ORVANTIS_E2E_VERBOSE")):
            print(output.rstrip())
        print(f"{verdict} {name} ({seconds:.1f} s)", flush=True)
        counts[verdict] += 1
    skipped = f", {counts['SKIP']} skipped" if counts["SKIP"] else ""
    print(f"{counts['PASS']} passed, {counts['FAIL']} failed{skipped}")
    if counts["FAIL"]:
        return 1
    return SKIPPED if counts["SKIP"] and not counts["PASS"] else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
