#!/usr/bin/env python3
"""Checks run_case.py itself with stand-in programs for qorva: a run that dies of a sanitizer
report, an index check or a signal fails its case even where the exit status is the one that
`expect` asks for; a clean run passes; the sanitizers get their exit status from the harness.
"""
import os
import signal
import stat
import subprocess
import sys
import tempfile
import textwrap
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
RUN_CASE = os.path.join(HERE, "run_case.py")
sys.path.insert(0, HERE)
import run_case  # noqa: E402


def program(folder, body):
    """An executable stand-in for qorva that runs `body` (python) in the case folder."""
    path = os.path.join(folder, "fake-qorva")
    with open(path, "w") as f:
        f.write(f"#!{sys.executable}\nimport os, signal, sys\n" + textwrap.dedent(body))
    os.chmod(path, os.stat(path).st_mode | stat.S_IXUSR)
    return path


def run(body, expect, env=None, scripts=None):
    """Runs a case whose `expect` is `expect` with the stand-in; (harness status, output).
    `scripts` ({name: python text}) are put beside the case folder for its `check` lines."""
    with tempfile.TemporaryDirectory(prefix="harness-") as top:
        case = os.path.join(top, "case")
        os.mkdir(case)
        for name, text in (scripts or {}).items():
            with open(os.path.join(top, name), "w") as f:
                f.write(textwrap.dedent(text))
        with open(os.path.join(case, "expect"), "w") as f:
            f.write(expect)
        fake = program(top, body)
        proc = subprocess.run([sys.executable, RUN_CASE, fake, case], capture_output=True,
                              text=True, timeout=60, env=env)
        return proc.returncode, proc.stdout + proc.stderr


NORMAL_END = """
open("boogie", "w").write("End Unstructure 12 cells\\n")
"""


class Harness(unittest.TestCase):
    def test_clean_run_passes(self):
        code, out = run(NORMAL_END + "sys.exit(1)\n", "status 1\nlog-has End Unstructure\n")
        self.assertEqual(code, 0, out)
        self.assertIn("passed", out)

    def test_reports_on_stderr_fail_a_case_with_the_expected_status(self):
        reports = [
            "==123==ERROR: AddressSanitizer: heap-buffer-overflow on address 0x6020",
            "src/grid/metrics.cpp:12:5: runtime error: signed integer overflow",
            "SUMMARY: UndefinedBehaviorSanitizer: undefined-behavior metrics.cpp:12:5",
            "index check: Cxvel[100] is outside 0..99",
        ]
        for report in reports:
            with self.subTest(report=report):
                body = NORMAL_END + f"sys.stderr.write({report!r} + '\\n')\nsys.exit(1)\n"
                code, out = run(body, "status 1\nlog-has End Unstructure\n")
                self.assertEqual(code, 1, out)
                self.assertIn("stderr holds a report", out)

    def test_sanitizer_status_fails_the_case(self):
        body = NORMAL_END + f"sys.exit({run_case.SANITIZER_STATUS})\n"
        code, out = run(body, f"status {run_case.SANITIZER_STATUS}\n")
        self.assertEqual(code, 1, out)
        self.assertIn("sanitizer status", out)

    def test_signal_fails_the_case_whose_status_it_imitates(self):
        # SIGABRT gives 250 once masked to a byte: the status of a sediment-inflow error.
        body = NORMAL_END + "os.kill(os.getpid(), signal.SIGABRT)\n"
        code, out = run(body, "status 250\n")
        self.assertEqual(code, 1, out)
        self.assertIn(f"ended by signal {int(signal.SIGABRT)}", out)

    def test_sanitizers_get_their_exit_status_and_keep_other_options(self):
        body = """
        with open("boogie", "w") as f:
            f.write("A=" + os.environ.get("ASAN_OPTIONS", "") + "\\n")
            f.write("U=" + os.environ.get("UBSAN_OPTIONS", "") + "\\n")
        sys.exit(1)
        """
        env = dict(os.environ, ASAN_OPTIONS="detect_leaks=0:exitcode=1", UBSAN_OPTIONS="")
        s = run_case.SANITIZER_STATUS
        expect = f"status 1\nlog-has A=detect_leaks=0:exitcode={s}\\n\nlog-has U=exitcode={s}\\n\n"
        code, out = run(body, expect, env)
        self.assertEqual(code, 0, out)

    def test_check_scripts_read_the_run_and_decide(self):
        # The script gets the scratch folder, the case folder and its words, and the binary.
        script = """
        import os, sys
        work, case, word = sys.argv[1:]
        log = open(os.path.join(work, "boogie")).read()
        print("[ figures  ] cells:", log.split()[2], "binary:", os.path.basename(os.environ["QORVA_BIN"]))
        sys.exit(0 if word == "ok" and os.path.isdir(case) else 3)
        """
        for word, harness in (("ok", 0), ("bad", 1)):
            with self.subTest(word=word):
                code, out = run(NORMAL_END + "sys.exit(1)\n", f"status 1\ncheck look.py {word}\n",
                                scripts={"look.py": script})
                self.assertEqual(code, harness, out)
                self.assertIn("[ figures  ] cells: 12 binary: fake-qorva", out)
                if harness:
                    self.assertIn("check look.py bad failed", out)


if __name__ == "__main__":
    unittest.main()
