#!/usr/bin/env python3
"""Soak: real programs run headless by wren81-cli for 180,000 frames each (an hour of
ZX81 time). Each must end without a crash, show the same final picture on two runs,
and use no more memory at its peak than a run of 1,000 frames does, within 1 MB.

    python3 scripts/soak.py [CLI] [PROGRAMS-FOLDER] [ROMS-FOLDER]
"""
import os
import subprocess
import sys
import tempfile
import time

root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
cli = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "build", "wren81-cli")
programs = sys.argv[2] if len(sys.argv) > 2 else os.path.join(root, "..", "shared", "programs")
roms = sys.argv[3] if len(sys.argv) > 3 else os.path.join(root, "..", "shared", "roms")
FRAMES = 180000
SHORT = 1000
SLACK_KB = 1024

# name, then the options that set the machine up, load the program and start it.
SOAKS = [
    ("pivaders.p, a game with the AY card fitted and VSYNC sound on",
     ["--model", "4", "--ay", "zonx", "--vsync-sound", "--load", "pivaders.p", "--keys", "S"]),
    # No pseudo hi-res program is to hand: this one runs with the WRX card's display
    # fetch watching every opcode fetch of the display file.
    ("crazyroids.p, a machine-code game that redraws the whole screen, with the WRX card fitted",
     ["--model", "4", "--hires", "wrx", "--load", "crazyroids.p", "--keys", "S"]),
    ("tank.p, a BASIC program", ["--model", "4", "--load", "tank.p", "--keys", "R\\n"]),
]


def start(options, frames, shot):
    args = [cli, "--roms", roms]
    for o in options:
        args.append(os.path.join(programs, o) if o.endswith(".p") else o)
    args += ["--frames", str(frames), "--screenshot", shot]
    return subprocess.Popen(args, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)


def finish(process):
    """Exit status, peak resident memory in KB, and what the run said on standard error."""
    _, status, usage = os.wait4(process.pid, 0)
    process.returncode = os.waitstatus_to_exitcode(status)
    return process.returncode, usage.ru_maxrss, process.stderr.read().decode(errors="replace")


def soak(name, options, folder):
    began = time.time()
    code, short_peak, err = finish(start(options, SHORT, os.path.join(folder, "short.bmp")))
    if code != 0:
        return f"{name}: {SHORT} frames ended with status {code}: {err.strip()}"
    # The two long runs side by side, one on each core.
    shots = [os.path.join(folder, f"long{i}.bmp") for i in (1, 2)]
    runs = [start(options, FRAMES, shot) for shot in shots]
    results = [finish(r) for r in runs]
    for code, _, err in results:
        if code != 0:
            return f"{name}: {FRAMES} frames ended with status {code}: {err.strip()}"
    pictures = [open(s, "rb").read() for s in shots]
    if pictures[0] != pictures[1]:
        return f"{name}: two runs of {FRAMES} frames end on different pictures"
    peak = max(p for _, p, _ in results)
    print(f"soak: {name}: peak memory {short_peak} KB after {SHORT} frames, {peak} KB after {FRAMES}"
          f" ({time.time() - began:.0f} s)", flush=True)
    if peak > short_peak + SLACK_KB:
        return f"{name}: memory grew from {short_peak} KB to {peak} KB"
    return None


def main():
    failures = []
    with tempfile.TemporaryDirectory() as folder:
        for name, options in SOAKS:
            problem = soak(name, options, folder)
            if problem:
                print("soak: FAILED " + problem, flush=True)
                failures.append(problem)
    print(f"soak: {len(SOAKS) - len(failures)} passed, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
