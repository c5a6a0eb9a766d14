#!/usr/bin/env python3
# Start-up builds side by side: each NAME=PATH is a kestrovar_bench (run with --startup-once) or, where NAME is "bare",
# a kestrovar_bench_bare_window; every round runs each once, in a fresh process, turn about, so that the machine's
# swings fall on all alike. Prints each one's median time to its first frame and median processor time (the whole
# process, every thread), and both as a ratio to the bare window's.
#   python3 bench/startup_turns.py ROUNDS before=OLD/kestrovar_bench after=NEW/kestrovar_bench bare=NEW/kestrovar_bench_bare_window
import os
import re
import resource
import statistics
import subprocess
import sys


def cpu_ms():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return 1000 * (usage.ru_utime + usage.ru_stime)


def main():
    if len(sys.argv) < 3 or not any(arg.startswith("bare=") for arg in sys.argv[2:]):
        sys.exit("usage: startup_turns.py ROUNDS NAME=PATH... bare=PATH")
    rounds = int(sys.argv[1])
    builds = dict(arg.split("=", 1) for arg in sys.argv[2:])
    env = dict(os.environ, SDL_VIDEODRIVER="offscreen", SDL_AUDIODRIVER="dummy")
    wall = {name: [] for name in builds}
    cpu = {name: [] for name in builds}
    load = os.getloadavg()[0]
    for _ in range(rounds):
        for name, path in builds.items():
            command = [path] if name == "bare" else [path, "--startup-once"]
            before = cpu_ms()
            output = subprocess.run(command, capture_output=True, text=True, env=env).stdout
            found = re.search(r"_first_frame_ms: ([0-9.]+) ms", output)
            if not found:
                sys.exit(f"{name}: no first frame in {output!r}")
            wall[name].append(float(found.group(1)))
            cpu[name].append(cpu_ms() - before)
    print(f"load average {load:.2f} before, {os.getloadavg()[0]:.2f} after, {rounds} rounds")
    bare_wall, bare_cpu = statistics.median(wall["bare"]), statistics.median(cpu["bare"])
    for name in builds:
        w, c = statistics.median(wall[name]), statistics.median(cpu[name])
        print(f"{name}: first frame {w:.1f} ms ({w / bare_wall:.2f} x), processor {c:.1f} ms ({c / bare_cpu:.2f} x)")


if __name__ == "__main__":
    main()
