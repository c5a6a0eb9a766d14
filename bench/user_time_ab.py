#!/usr/bin/env python3
# The user processor time of two or more builds of one program, run turn about RUNS times each with INPUT on its
# standard input (output thrown away), so that the machine's swings fall on all of them alike: the least, the lower
# quartile and the median of each, in milliseconds, and the load average before and after.
#   python3 bench/user_time_ab.py NAME RUNS INPUT PROGRAM_A PROGRAM_B [PROGRAM_C...]
# prints "NAME_a_user_ms_min: X ms" and the like, a for the first program, b for the second. Each run is pinned to
# one core (taskset -c 0).
import os
import resource
import statistics
import subprocess
import sys


def load():
    with open("/proc/loadavg") as f:
        return float(f.read().split()[0])


def main():
    if len(sys.argv) < 6:
        sys.exit("usage: user_time_ab.py NAME RUNS INPUT PROGRAM_A PROGRAM_B [PROGRAM_C...]")
    name, runs, source, programs = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4:]
    times = [[] for _ in programs]
    print(f"{name}_load_before: {load():.2f} load")
    for _ in range(runs):
        for program, taken in zip(programs, times):
            before = resource.getrusage(resource.RUSAGE_CHILDREN).ru_utime
            with open(source, "rb") as given, open(os.devnull, "wb") as nowhere:
                subprocess.run(["taskset", "-c", "0", program], stdin=given, stdout=nowhere, check=True)
            taken.append((resource.getrusage(resource.RUSAGE_CHILDREN).ru_utime - before) * 1000)
    for letter, taken in zip("abcdefgh", times):
        taken.sort()
        print(f"{name}_{letter}_user_ms_min: {taken[0]:.1f} ms")
        print(f"{name}_{letter}_user_ms_quartile: {taken[len(taken) // 4]:.1f} ms")
        print(f"{name}_{letter}_user_ms_median: {statistics.median(taken):.1f} ms")
    print(f"{name}_load_after: {load():.2f} load")


main()
