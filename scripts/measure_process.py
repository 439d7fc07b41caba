#!/usr/bin/env python3
"""Process-level cost of zi370-rotate.exe under Wine, beside Wine's own
`reg add` storing the same value: the floor for any process that writes one
registry value.

A third column runs the tool with Wine's in-process WMI provider (wbemprox)
disabled, so that the locator cannot be created: what the tool costs apart
from the WMI query itself.

Runs them alternately against Wine's own WMI in the prefix that
scripts/wine-env.sh sets up (see `make measure`), both under the loader of
the executable's architecture (WINE_APP_LOADER), takes wall time, CPU time
(user + system) and peak resident memory of each run from the kernel's
accounting (wait4), and prints medians and ratios.

    usage: measure_process.py EXE [RUNS]   (WINEPREFIX, WINE_APP_LOADER and friends set)
"""
import os
import statistics
import subprocess
import sys
import time

exe = sys.argv[1]
runs = int(sys.argv[2]) if len(sys.argv) > 2 else 21
env = dict(os.environ)
if "WINEPREFIX" not in env or "WINE_APP_LOADER" not in env:
    sys.exit("measure_process.py: run it through `make measure`, which sets up the Wine prefix")

wine = env["WINE_APP_LOADER"]
wineserver = env.get("WINESERVER", "wineserver")
no_wmi = dict(env, WINEDLLOVERRIDES=env.get("WINEDLLOVERRIDES", "") + ";wbemprox=")
commands = {
    "zi370-rotate": ([wine, exe], env),
    "reg add": ([wine, "reg", "add", r"HKLM\SYSTEM\CurrentControlSet\Services\ZI370",
                 "/v", "Rotate", "/t", "REG_DWORD", "/d", "0", "/f"], env),
    "without WMI": ([wine, exe], no_wmi),
}


def measure(command, command_env):
    start = time.perf_counter()
    process = subprocess.Popen(command, env=command_env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, _, usage = os.wait4(process.pid, 0)
    wall = time.perf_counter() - start
    process.returncode = 0  # reaped above
    return wall, usage.ru_utime + usage.ru_stime, usage.ru_maxrss / 1024


# A resident server, as on a running Windows machine; one untimed run of each
# so that neither pays for a cold cache.
subprocess.run([wineserver, "-p"], env=env, check=True)
try:
    for command in commands.values():
        measure(*command)
    samples = {name: [] for name in commands}
    for _ in range(runs):
        for name, command in commands.items():
            samples[name].append(measure(*command))
finally:
    subprocess.run([wineserver, "-k"], env=env)

version = subprocess.run([wine, "--version"], env=env, capture_output=True, text=True).stdout.strip()
print(f"zi370-rotate.exe: {os.path.getsize(exe)} bytes; {runs} runs each under {version} ({wine})")
print(f"{'median of':<14} {'zi370-rotate':>14} {'reg add':>14} {'ratio':>7} {'without WMI':>14}")
for index, (label, unit, scale) in enumerate([("wall time", "ms", 1000), ("CPU time", "ms", 1000),
                                              ("peak memory", "MiB", 1)]):
    tool = statistics.median(sample[index] for sample in samples["zi370-rotate"]) * scale
    reg = statistics.median(sample[index] for sample in samples["reg add"]) * scale
    bare = statistics.median(sample[index] for sample in samples["without WMI"]) * scale
    print(f"{label:<14} {tool:>10.1f} {unit:<3} {reg:>10.1f} {unit:<3} {tool / reg:>7.2f} {bare:>10.1f} {unit}")
