#!/usr/bin/python3
"""Runs end-to-end test functions and reports each as PASS or FAIL.

usage: run_e2e.py SUITE --out DIR --weather-host H --statistics-host H
                  [--exe PROGRAM] [--live] [--time-limit S] [CASE ...]
       run_e2e.py SUITE --list

SUITE is a module beside this file (harness_selftest, program_cases); its
functions named test_* are the cases. Each receives an Env; with no CASE
every case of the suite runs.
"""

import argparse
import importlib
import os
import signal
import sys
import time
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from harness.session import Session  # noqa: E402


class Env:
    """What a case needs from the command line."""

    def __init__(self, args, case):
        self.out = os.path.abspath(args.out)
        self.case = case
        self.exe = os.path.abspath(args.exe) if args.exe else None
        self.live = args.live
        self.weather_host = args.weather_host
        self.statistics_host = args.statistics_host

    def session(self, suffix=""):
        name = self.case + (f"-{suffix}" if suffix else "")
        return Session(self.out, name, self.weather_host, self.statistics_host)


def cases_of(suite):
    module = importlib.import_module(suite)
    return {name: getattr(module, name) for name in dir(module) if name.startswith("test_")}


class Stopped(BaseException):
    """The run's time is up or it was told to stop: no further cases."""


def stop_on_signal(signum, _frame):
    # Raising here unwinds every `with` block, so namespaces and servers go.
    raise Stopped(f"stopped by {signal.Signals(signum).name}")


def main():
    parser = argparse.ArgumentParser(usage=__doc__)
    parser.add_argument("suite")
    parser.add_argument("cases", nargs="*")
    parser.add_argument("--list", action="store_true")
    parser.add_argument("--out", default=".")
    parser.add_argument("--exe")
    parser.add_argument("--live", action="store_true", help="the program fetches over the network")
    parser.add_argument("--weather-host", default="weather.example.net")
    parser.add_argument("--statistics-host", default="statistics.example.net")
    parser.add_argument("--time-limit", type=int, default=240, help="seconds for the whole run")
    args = parser.parse_args()

    cases = cases_of(args.suite)
    if args.list:
        print(";".join(sorted(cases)))
        return 0
    unknown = [c for c in args.cases if c not in cases]
    if unknown:
        parser.error(f"no such case in {args.suite}: {', '.join(unknown)}")

    signal.signal(signal.SIGTERM, stop_on_signal)
    signal.signal(signal.SIGALRM, stop_on_signal)
    signal.alarm(args.time_limit)
    failed = []
    for name in args.cases or sorted(cases):
        started = time.monotonic()
        stopped = False
        try:
            cases[name](Env(args, name))
            print(f"PASS {name} ({time.monotonic() - started:.1f} s)")
        except (Exception, Stopped) as error:
            failed.append(name)
            stopped = isinstance(error, Stopped)
            print(f"FAIL {name} ({time.monotonic() - started:.1f} s)")
            traceback.print_exc(file=sys.stdout)
        sys.stdout.flush()
        if stopped:
            break
    print(f"artefacts: {os.path.abspath(args.out)}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
