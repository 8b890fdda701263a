#!/usr/bin/env python3
"""Runs one command and prints its wall time and the CPU time it cost, in seconds.

The CPU time is the command's own (with its children) plus what the Wine server of WINEPREFIX
spent meanwhile: under Wine much of a program's work happens in that server. On a machine shared
with other work the CPU time is the steadier measure; the wall time is what a user waits.
Usage: measure.py COMMAND [ARGS...]   (output of the command is discarded)
"""
import os
import subprocess
import sys
import time


def wineserver_ticks(prefix):
    ticks = {}
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open("/proc/%s/cmdline" % pid, "rb") as f:
                if b"wineserver" not in f.read().split(b"\0")[0]:
                    continue
            with open("/proc/%s/environ" % pid, "rb") as f:
                if ("WINEPREFIX=" + prefix).encode() not in f.read().split(b"\0"):
                    continue
            with open("/proc/%s/stat" % pid) as f:
                fields = f.read().rsplit(")", 1)[1].split()
            ticks[pid] = int(fields[11]) + int(fields[12])  # utime, stime
        except OSError:
            continue
    return ticks


def main():
    prefix = os.environ.get("WINEPREFIX", "")
    hz = os.sysconf("SC_CLK_TCK")
    server_before = wineserver_ticks(prefix)
    start = time.monotonic()
    with open(os.devnull, "wb") as null:
        child = subprocess.Popen(sys.argv[1:], stdout=null, stderr=null)
        _, _, usage = os.wait4(child.pid, 0)
    wall = time.monotonic() - start
    server_after = wineserver_ticks(prefix)
    # Only a server that lives through the run can be measured; run.sh keeps one alive.
    server = sum(t - server_before.get(pid, 0) for pid, t in server_after.items() if pid in server_before) / hz
    print("%.3f %.3f" % (wall, usage.ru_utime + usage.ru_stime + server))


if __name__ == "__main__":
    main()
