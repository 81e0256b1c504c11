#!/usr/bin/env python3
"""Runs one end-to-end case: copies the case folder to a scratch folder, runs qorva there
without arguments, and checks the outcome against the case's `expect` file.

`expect` holds one check per line (text values take \\n, \\t and \\\\ escapes):
  status N                exit status of the process (0..255)
  log-starts TEXT         boogie starts with TEXT
  log-has TEXT            boogie contains TEXT
  log-lacks TEXT          boogie does not contain TEXT
  file-is NAME TEXT       file NAME holds exactly TEXT
  file-has NAME TEXT      file NAME contains TEXT
  file-exists NAME        file NAME was written
  value NAME LINE COL X TOL   number COL (from 1) of line LINE (from 1) of file NAME is X within TOL
  mean NAME PREFIX COL X TOL  mean of word COL (from 1) over the lines of NAME whose first word
                              is PREFIX is X within TOL
  check SCRIPT ARGS...    python3 runs SCRIPT (a path under tests/cases) with the scratch folder,
                          the case folder and ARGS; it passes when SCRIPT ends with status 0. It
                          finds the qorva binary in QORVA_BIN (to run the case again) and
                          prints its figures, which the harness passes on
Lines starting with # are comments. `expect` itself is not copied.

Whatever `expect` says, a case fails when qorva was ended by a signal, ended with the
sanitizers' exit status, or wrote a sanitizer or index-check report to stderr: the test build's
memory errors must not pass as a normal end with status 1.
"""
import os
import shutil
import subprocess
import sys
import tempfile

# Exit status of a sanitizer report, given to both runtimes: with AddressSanitizer and
# UndefinedBehaviorSanitizer linked together the exitcode of UBSAN_OPTIONS governs both
# reports. No error of qorva ends with it.
SANITIZER_STATUS = 86

# Lines that only a sanitizer or the index check of the test build writes.
REPORT_MARKS = ("ERROR: AddressSanitizer", "ERROR: LeakSanitizer", "SUMMARY: AddressSanitizer",
                "SUMMARY: UndefinedBehaviorSanitizer", "runtime error:", "index check:")


def sanitizer_env(env):
    """The environment with exitcode=SANITIZER_STATUS in ASAN_OPTIONS and UBSAN_OPTIONS."""
    env = dict(env)
    for var in ("ASAN_OPTIONS", "UBSAN_OPTIONS"):
        opts = [o for o in env.get(var, "").split(":") if o and not o.startswith("exitcode=")]
        env[var] = ":".join(opts + [f"exitcode={SANITIZER_STATUS}"])
    return env


def crash_failures(returncode, stderr):
    """Why a run counts as a crash whatever the case expects; empty when it does not."""
    failures = []
    if returncode < 0:
        failures.append(f"qorva was ended by signal {-returncode}")
    elif returncode == SANITIZER_STATUS:
        failures.append(f"qorva ended with the sanitizer status {SANITIZER_STATUS}")
    marks = [m for m in REPORT_MARKS if m in stderr]
    if marks:
        failures.append("stderr holds a report: " + ", ".join(repr(m) for m in marks))
    return failures


def unescape(text):
    out, i = [], 0
    while i < len(text):
        c = text[i]
        if c == "\\" and i + 1 < len(text):
            n = text[i + 1]
            out.append({"n": "\n", "t": "\t", "\\": "\\"}.get(n, "\\" + n))
            i += 2
        else:
            out.append(c)
            i += 1
    return "".join(out)


def read(path):
    with open(path, "rb") as f:
        return f.read().decode("latin-1")


def main():
    qorva, case = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    failures = []
    with tempfile.TemporaryDirectory(prefix="qorva-case-") as work:
        for name in os.listdir(case):
            if name == "expect":
                continue
            src = os.path.join(case, name)
            (shutil.copytree if os.path.isdir(src) else shutil.copy)(src, os.path.join(work, name))
        proc = subprocess.run([qorva], cwd=work, stdin=subprocess.DEVNULL,
                              capture_output=True, timeout=1200, env=sanitizer_env(os.environ))
        status = proc.returncode & 255
        stderr = proc.stderr.decode("latin-1")
        failures.extend(crash_failures(proc.returncode, stderr))
        log = read(os.path.join(work, "boogie")) if os.path.exists(os.path.join(work, "boogie")) else None
        for raw in read(os.path.join(case, "expect")).splitlines():
            line = raw.strip()
            if not line or line.startswith("#"):
                continue
            word, _, rest = line.partition(" ")
            if word == "status":
                if status != int(rest):
                    failures.append(f"status {status}, expected {rest}")
            elif word in ("log-starts", "log-has", "log-lacks"):
                text = unescape(rest)
                if log is None:
                    failures.append("no boogie written")
                elif word == "log-starts" and not log.startswith(text):
                    failures.append(f"boogie does not start with {text!r}")
                elif word == "log-has" and text not in log:
                    failures.append(f"boogie lacks {text!r}")
                elif word == "log-lacks" and text in log:
                    failures.append(f"boogie holds {text!r}")
            elif word in ("file-is", "file-has", "file-exists"):
                name, _, text = rest.partition(" ")
                path = os.path.join(work, name)
                if not os.path.exists(path):
                    failures.append(f"file {name} not written")
                    continue
                body = read(path)
                if word == "file-is" and body != unescape(text):
                    failures.append(f"file {name} is {body!r}, expected {unescape(text)!r}")
                if word == "file-has" and unescape(text) not in body:
                    failures.append(f"file {name} lacks {unescape(text)!r}")
            elif word == "value":
                name, ln, col, x, tol = rest.split()
                lines = read(os.path.join(work, name)).splitlines()
                got = float(lines[int(ln) - 1].split()[int(col) - 1])
                if abs(got - float(x)) > float(tol):
                    failures.append(f"{name} line {ln} value {col} is {got}, expected {x} +- {tol}")
            elif word == "mean":
                name, prefix, col, x, tol = rest.split()
                words = [ln.split() for ln in read(os.path.join(work, name)).splitlines()]
                vals = [float(w[int(col) - 1]) for w in words if w and w[0] == prefix]
                got = sum(vals) / len(vals) if vals else float("nan")
                if not abs(got - float(x)) <= float(tol):
                    failures.append(f"{name} mean of {prefix} word {col} is {got}, expected {x} +- {tol}")
            elif word == "check":
                script, *args = rest.split()
                proc_check = subprocess.run(
                    [sys.executable, os.path.join(os.path.dirname(case), script), work, case, *args],
                    stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=1200,
                    env=dict(sanitizer_env(os.environ), QORVA_BIN=qorva))
                print(proc_check.stdout, end="")
                if proc_check.returncode != 0:
                    failures.append(f"check {script} {' '.join(args)} failed:\n"
                                    + proc_check.stdout + proc_check.stderr)
            else:
                failures.append(f"unknown check {word!r} in expect")
        if failures:
            print(f"case {os.path.basename(case)} failed (status {status}):")
            for f in failures:
                print("  " + f)
            if log is not None:
                print("---- boogie ----")
                print(log[-4000:])
            if stderr:
                print("---- stderr ----")
                print(stderr[-4000:])
            return 1
    print(f"case {os.path.basename(case)} passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
