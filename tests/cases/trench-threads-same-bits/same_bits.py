#!/usr/bin/env python3
"""The case run again with F 206 N (bed_checks.run_again) writes the same files as the first
run, each with the same bytes; in boogie only the lines that name the thread count or the
wall-clock time differ.

    same_bits.py WORK CASE N
"""
import os
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
import bed_checks  # noqa: E402


def lines(path, skip_threads):
    with open(path, "rb") as f:
        text = f.read().split(b"\n")
    if skip_threads:
        text = [ln for ln in text if b"F 206" not in ln and b"(wall-clock time)" not in ln]
    return text


def main():
    work, case, n = sys.argv[1], sys.argv[2], int(sys.argv[3])
    inputs = set(os.listdir(case))
    with bed_checks.run_again(case, n) as again:
        written = sorted(set(os.listdir(work)) - inputs)
        other = sorted(set(os.listdir(again)) - inputs)
        if written != other:
            sys.exit(f"one thread wrote {written}, F 206 {n} wrote {other}")
        differ = []
        for name in written:
            boogie = name == "boogie"
            if lines(os.path.join(work, name), boogie) != lines(os.path.join(again, name), boogie):
                differ.append(name)
        print(f"[ figures  ] F 206 {n}: {len(written) - len(differ)} of {len(written)} files "
              f"the same bytes as with one thread")
        if differ:
            sys.exit(f"with F 206 {n} these files differ from the run with one thread: "
                     + ", ".join(differ))


if __name__ == "__main__":
    main()
