#!/usr/bin/env python3
"""Fault tests of the files qorva writes, run against the qorva binary.

  file_faults.py QORVA kill [TRIALS]   a run killed (SIGKILL) at random moments while it writes
                                       unstruc, result.end and the side files always leaves the
                                       old complete file or the new complete file, never a part
  file_faults.py QORVA full-disk       a run whose output file lies on a full disk (its temporary
                                       name, or an appended file itself, linked to /dev/full)
                                       ends with an error status and a message naming the file,
                                       and the previous copy stays

Every run must also end without a signal or a sanitizer report (tests/cases/run_case.py).
"""
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
CASES = os.path.join(os.path.dirname(HERE), "cases")
sys.path.insert(0, CASES)
import run_case  # noqa: E402

FLUME = os.path.join(CASES, "flume-grid", "koosurf")


def flume_koosurf(ni, nj):
    """Grid points of a straight flume, i = 1..ni, j = 1..nj, 0.5 m apart, 0.3 m deep."""
    rows = []
    for i in range(1, ni + 1):
        for j in range(1, nj + 1):
            bed = -0.001 * (i - 1)
            rows.append(f"{i} {j} {(i - 1) * 0.5:.6f} {(j - 1) * 0.5:.6f} {bed:.6f} 0.300000\n")
    return "".join(rows)


def run(qorva, folder, timeout=600):
    proc = subprocess.run([qorva], cwd=folder, stdin=subprocess.DEVNULL, capture_output=True,
                          timeout=timeout, env=run_case.sanitizer_env(os.environ))
    return proc.returncode, proc.stderr.decode("latin-1")


def read(path):
    with open(path, "rb") as f:
        return f.read()


def write(path, text):
    with open(path, "w") as f:
        f.write(text)


def log_of(folder):
    path = os.path.join(folder, "boogie")
    return read(path).decode("latin-1") if os.path.isfile(path) else ""


# ---- kill -------------------------------------------------------------------------------------

# The files the kill runs rewrite, each checked against its old copy and its complete new one.
KILL_FILES = ("unstruc", "result.end", "bedres.t", "koomin.bed", "koosurf.t", "koordina.si1")


def kill_test(qorva, trials):
    failures = []
    with tempfile.TemporaryDirectory(prefix="qorva-kill-") as top:
        # A grid of 60 x 20 columns of 9 cells, written as a version-3 unstruc.
        base = os.path.join(top, "base")
        os.mkdir(base)
        ni, nj = 61, 21
        sizes = f"G 1 {ni + 3} {nj + 3} 11 1\nF 65 100000 300000 200000 10 10\n"
        write(os.path.join(base, "koosurf"), flume_koosurf(ni, nj))
        write(os.path.join(base, "control"), "T kill test grid\n" + sizes + "F 2 YHX\n")
        status, err = run(qorva, base)
        failures += run_case.crash_failures(status, err)
        if status != 0:
            return [f"the grid run ended with status {status}: {log_of(base)[-2000:]}"]

        # Each pass reads nothing new and writes the grid (version 2) and the results again,
        # nine files a letter pair: most of the run is spent writing.
        control = ("T kill test\n" + sizes + "F 297 2\nF 329 1 1\nF 20 3\nF 2 UHMHMHMHMH\n")
        old = {"unstruc": read(os.path.join(base, "unstruc"))}
        for name in KILL_FILES[1:]:
            old[name] = f"the old copy of {name}\n".encode()

        def fresh(folder):
            os.mkdir(folder)
            write(os.path.join(folder, "control"), control)
            for name, body in old.items():
                with open(os.path.join(folder, name), "wb") as f:
                    f.write(body)
            for name in ("koosurf",):
                shutil.copy(os.path.join(base, name), folder)

        ref = os.path.join(top, "ref")
        fresh(ref)
        start = time.monotonic()
        status, err = run(qorva, ref)
        whole = time.monotonic() - start
        failures += run_case.crash_failures(status, err)
        if status != 1:
            return failures + [f"the uninterrupted run ended with status {status}: {log_of(ref)[-2000:]}"]
        new = {name: read(os.path.join(ref, name)) for name in KILL_FILES}
        for name in KILL_FILES:
            if new[name] == old[name]:
                failures.append(f"the uninterrupted run did not rewrite {name}")

        rng = random.Random(int(os.environ.get("QORVA_FAULT_SEED", "19")))
        during = 0
        for trial in range(trials):
            folder = os.path.join(top, f"trial{trial}")
            fresh(folder)
            proc = subprocess.Popen([qorva], cwd=folder, stdin=subprocess.DEVNULL,
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                    env=run_case.sanitizer_env(os.environ))
            time.sleep(rng.uniform(0.05, whole))
            proc.send_signal(signal.SIGKILL)
            proc.wait()
            if any(n.endswith(".tmp") for n in os.listdir(folder)):
                during += 1  # killed while a file was being written
            for name in KILL_FILES:
                path = os.path.join(folder, name)
                body = read(path) if os.path.isfile(path) else None
                if body not in (old[name], new[name]):
                    size = "missing" if body is None else f"{len(body)} bytes"
                    failures.append(f"trial {trial}: {name} is neither the old nor the new file ({size})")
        print(f"{trials} runs killed at random moments, {during} while a file was being written; "
              f"an uninterrupted run takes {whole:.2f} s")
        if trials >= 5 and during == 0:
            failures.append("no kill fell while a file was being written: the test shows nothing")
    return failures


# ---- full disk ----------------------------------------------------------------------------------

FLOW = "F 314 1 1\nF 237 1 0.03\nF 237 2 0.03\n"


def full_disk_cases():
    """(name, control, files to add, the link to /dev/full, the file named, status, old copy)."""
    grid = "G 1 14 7 11 1\n"
    timei = read(os.path.join(CASES, "timei-out", "timei")).decode()
    small = "G 1 14 7 11 1\nF 65 100 300 200 10 10\n"
    return [
        ("grid file of a grid-only run", grid + "F 2 YHX\n", {}, "unstruc.tmp", "unstruc", -4, "unstruc"),
        ("koomin.bed", grid + "F 2 YHX\n", {}, "koomin.bed.tmp", "koomin.bed", -4, "koomin.bed"),
        ("koosurf.t", grid + "F 2 YHX\n", {}, "koosurf.t.tmp", "koosurf.t", -4, "koosurf.t"),
        ("koordina.si1", grid + "F 2 YHX\n", {}, "koordina.si1.tmp", "koordina.si1", -4, None),
        ("flow result", grid + "F 329 1\nF 2 YMX\n", {}, "result.end.tmp", "result.end", -3,
         "result.end"),
        ("VTK result", grid + "F 329 0 0 0 0 0 1\nF 2 YMX\n", {}, "ParaView3U.vtk.tmp", "ParaView3U.vtk",
         -3, "ParaView3U.vtk"),
        ("alldata", grid + "F 2 YJX\n", {}, "alldata.0.tmp", "alldata.0", -4, None),
        ("residual history", grid + "F 293 1\nF 2 X\n", {}, "tafnor.tmp", "tafnor", -4, "tafnor"),
        ("timei.out", "G 1 10 8 5 1\nF 1 D\nF 33 1 1\nF 2 GX\n", {"timei": timei}, "timei.out.tmp",
         "timei.out", -4, "timei.out"),
        ("grid point files of a grid beyond F 65", small + "F 2 YX\n", {}, "koosurf.1.tmp", "koosurf.1",
         -4, "koosurf.1"),
        ("block-division point files", grid + "F 308 2\nF 2 YAX\n", {}, "koosurf.mpi1.tmp",
         "koosurf.mpi1", -4, "koosurf.mpi1"),
        ("the log itself", grid + "F 2 YX\n", {}, "boogie", "boogie", -3, None),
    ]


def full_disk_test(qorva):
    if not os.path.exists("/dev/full"):
        print("no /dev/full: skipped")
        return []
    failures = []
    with tempfile.TemporaryDirectory(prefix="qorva-full-") as top:
        for n, (name, control, files, link, named, status, old) in enumerate(full_disk_cases()):
            folder = os.path.join(top, f"case{n}")
            os.mkdir(folder)
            write(os.path.join(folder, "control"), "T full disk: " + name + "\n" + control)
            shutil.copy(FLUME, folder)
            for f, text in files.items():
                write(os.path.join(folder, f), text)
            if old:
                write(os.path.join(folder, old), "the previous copy\n")
            os.symlink("/dev/full", os.path.join(folder, link))
            got, err = run(qorva, folder)
            problems = run_case.crash_failures(got, err)
            if got != status & 255:
                problems.append(f"status {got}, expected {status & 255}")
            if named == "boogie":
                if "the log 'boogie' cannot be written" not in err:
                    problems.append(f"stderr does not say that the log cannot be written: {err!r}")
            elif f"Error: could not write file '{named}' (No space left on device)" not in log_of(folder):
                problems.append(f"boogie does not name {named}: {log_of(folder)[-1500:]!r}")
            if old and read(os.path.join(folder, old)) != b"the previous copy\n":
                problems.append(f"the previous copy of {old} is lost")
            failures += [f"{name}: {p}" for p in problems]
        print(f"{len(full_disk_cases())} files pointed at a full disk")
    return failures


def main():
    qorva, what = os.path.abspath(sys.argv[1]), sys.argv[2]
    if what == "kill":
        trials = int(sys.argv[3]) if len(sys.argv) > 3 else 10
        failures = kill_test(qorva, trials)
    else:
        failures = full_disk_test(qorva)
    for f in failures:
        print("FAILED: " + f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
