#!/usr/bin/env python3
# The user processor time of a command, run RUNS times one after the other with INPUT on its standard input (its
# output thrown away): the least and the median, in milliseconds. On a machine that others share, wall time wanders
# with their load; the processor time a program spends in itself holds far better, and the least of several runs best.
#   python3 bench/user_time.py NAME RUNS INPUT COMMAND [ARGUMENT...]
# prints "NAME_user_ms_min: X ms" and "NAME_user_ms_median: Y ms". Pin it to one core with taskset -c 0.
import os
import resource
import statistics
import subprocess
import sys


def main():
    if len(sys.argv) < 5:
        sys.exit("usage: user_time.py NAME RUNS INPUT COMMAND [ARGUMENT...]")
    name, runs, source, command = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4:]
    times = []
    for _ in range(runs):
        before = resource.getrusage(resource.RUSAGE_CHILDREN).ru_utime
        with open(source, "rb") as given, open(os.devnull, "wb") as nowhere:
            subprocess.run(command, stdin=given, stdout=nowhere, check=True)
        times.append((resource.getrusage(resource.RUSAGE_CHILDREN).ru_utime - before) * 1000)
    print(f"{name}_user_ms_min: {min(times):.1f} ms")
    print(f"{name}_user_ms_median: {statistics.median(times):.1f} ms")


main()
