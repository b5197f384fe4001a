"""Child processes of the harness.

Every child runs in its own process group, so stopping it also stops what it
started, and is killed by the kernel when the harness dies, so a harness that
is killed outright (a test time-out) leaves no servers or displays behind.
"""

import ctypes
import os
import signal
import subprocess
import time

_PR_SET_PDEATHSIG = 1
_libc = ctypes.CDLL(None, use_errno=True)


class HarnessError(Exception):
    """The harness could not set up or drive what a test needs."""


def _die_with_parent():
    _libc.prctl(_PR_SET_PDEATHSIG, signal.SIGKILL)


class Child:
    """A started process whose output goes to a log file (or a pipe)."""

    def __init__(self, name, args, log_path, env=None, cwd=None, pass_fds=(), stdout_pipe=False):
        self.name = name
        self.args = list(args)
        self.log_path = log_path
        self._log = open(log_path, "ab")
        try:
            self.popen = subprocess.Popen(
                self.args,
                stdin=subprocess.DEVNULL,
                stdout=subprocess.PIPE if stdout_pipe else self._log,
                stderr=self._log,
                env=env,
                cwd=cwd,
                pass_fds=pass_fds,
                start_new_session=True,
                preexec_fn=_die_with_parent,
            )
        except OSError as error:
            self._log.close()
            raise HarnessError(f"cannot start {name} ({self.args[0]}): {error}") from error

    @property
    def pid(self):
        return self.popen.pid

    def poll(self):
        return self.popen.poll()

    def wait(self, timeout):
        """Returns the exit status; raises HarnessError when the time is up."""
        try:
            return self.popen.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise HarnessError(f"{self.name} did not exit within {timeout} s") from None

    def stop(self, grace=3.0):
        """Ends the process group: SIGTERM, then SIGKILL after the grace time."""
        if self.popen.poll() is None:
            self._signal_group(signal.SIGTERM)
            try:
                self.popen.wait(timeout=grace)
            except subprocess.TimeoutExpired:
                self._signal_group(signal.SIGKILL)
                self.popen.wait(timeout=grace)
        else:
            # The leader is gone but what it started may still run.
            self._signal_group(signal.SIGKILL)
        if self.popen.stdout:
            self.popen.stdout.close()
        self._log.close()
        return self.popen.returncode

    def log_text(self):
        try:
            with open(self.log_path, "rb") as f:
                return f.read().decode("utf-8", "replace")
        except OSError:
            return ""

    def _signal_group(self, sig):
        try:
            os.killpg(self.popen.pid, sig)
        except ProcessLookupError:
            pass


def run(args, timeout=60, check=True, **kwargs):
    """Runs a short command to its end and returns the CompletedProcess."""
    try:
        result = subprocess.run(
            args, stdin=subprocess.DEVNULL, capture_output=True, timeout=timeout, **kwargs
        )
    except subprocess.TimeoutExpired:
        raise HarnessError(f"{' '.join(map(str, args))} did not finish within {timeout} s") from None
    except OSError as error:
        raise HarnessError(f"cannot run {args[0]}: {error}") from error
    if check and result.returncode != 0:
        raise HarnessError(
            f"{' '.join(map(str, args))} failed with status {result.returncode}: "
            + result.stderr.decode("utf-8", "replace").strip()
        )
    return result


def wait_until(predicate, timeout, interval=0.1, what="condition"):
    """Polls predicate() until it returns something true; returns that value."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise HarnessError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)
