"""Runs the scenarios of one file against the built program, in a private
desktop session that is taken down afterwards whatever happens.

    /usr/bin/python3 run.py --program build/velmora --data data \
        --artifacts build/tests/e2e/artifacts test_settings_file.py [-k NAME]

Debian's accessibility library is installed for /usr/bin/python3; another
Python on the PATH may not see it. When a scenario fails, a screenshot and
the files the program wrote go to the artifacts folder."""

import argparse
import importlib.util
import os
import shutil
import signal
import sys
import unittest

# No byte-code caches in the source tree.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import harness  # noqa: E402


class EvidenceResult(unittest.TextTestResult):
    """Keeps the evidence of a failed scenario while the program still runs:
    unittest reports the failure before the test's clean-up ends it."""

    def addFailure(self, test, err):
        self._keep_evidence(test)
        super().addFailure(test, err)

    def addError(self, test, err):
        self._keep_evidence(test)
        super().addError(test, err)

    def _keep_evidence(self, test):
        if isinstance(test, harness.ProgramTestCase):
            folder = test.keep_evidence()
            self.stream.writeln(f"\n[evidence of {test.id()} in {folder}]")


def missing_tools():
    programs = ["Xvfb", "openbox", "dbus-daemon", "dbus-send",
                "/usr/libexec/at-spi-bus-launcher"]
    missing = [program for program in programs if not shutil.which(program)]
    # Only looked for: pyatspi binds to the accessibility bus on import,
    # which the session has not set up yet.
    if importlib.util.find_spec("pyatspi") is None:
        missing.append("pyatspi for " + sys.executable)
    return missing


def load_scenarios(path, pattern):
    spec = importlib.util.spec_from_file_location(
        os.path.splitext(os.path.basename(path))[0], path)
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    loader = unittest.TestLoader()
    if pattern:
        loader.testNamePatterns = [f"*{pattern}*"]
    return loader.loadTestsFromModule(module)


def parse_arguments():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", required=True, help="the built velmora executable")
    parser.add_argument("--data", required=True, help="the shipped data folder (data/)")
    parser.add_argument("--artifacts", required=True, help="where failures leave evidence")
    parser.add_argument("-k", dest="pattern", help="only scenarios whose name holds this")
    parser.add_argument("scenarios", help="a test_*.py file")
    return parser.parse_args()


def main():
    arguments = parse_arguments()
    # A run stopped with SIGTERM unwinds, so the session is taken down; on
    # SIGKILL the kernel ends the session's processes with the harness.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("stopped by SIGTERM"))
    missing = missing_tools()
    if missing:
        sys.exit(f"missing: {', '.join(missing)} (scripts/setup installs them)")
    harness.Setup.executable = os.path.abspath(arguments.program)
    harness.Setup.data_dir = os.path.abspath(arguments.data)
    harness.Setup.artifacts = os.path.abspath(arguments.artifacts)
    os.makedirs(harness.Setup.artifacts, exist_ok=True)
    suite = load_scenarios(arguments.scenarios, arguments.pattern)
    if suite.countTestCases() == 0:
        sys.exit("no scenario to run")
    with harness.Session() as session:
        harness.Setup.session = session
        runner = unittest.TextTestRunner(verbosity=2, resultclass=EvidenceResult)
        result = runner.run(suite)
    failed = len(result.failures) + len(result.errors)
    print(f"{result.testsRun - failed} passed, {failed} failed")
    return 0 if result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
