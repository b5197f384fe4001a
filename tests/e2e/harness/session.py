"""One test's world: namespace, test CA, stand-in services and display.

Everything is torn down when the `with` block ends, however it ends, and the
logs are kept beside the test's screenshots for whoever reads a failure.
"""

import contextlib
import os
import shutil
import tempfile

from .display import VirtualDisplay
from .netns import NetNamespace, require_root
from .standin import StandIn
from .testca import TestCA

LOOPBACK = "127.0.0.1"


class Session:
    def __init__(self, out_dir, case, weather_host, statistics_host):
        self.artefacts = os.path.join(out_dir, case)
        self.weather_host = weather_host
        self.statistics_host = statistics_host
        self.root = None
        self._stack = contextlib.ExitStack()

    def __enter__(self):
        require_root()
        shutil.rmtree(self.artefacts, ignore_errors=True)
        os.makedirs(self.artefacts)
        self.root = tempfile.mkdtemp(prefix="ip-e2e-")
        self._stack.callback(shutil.rmtree, self.root, ignore_errors=True)
        self._stack.callback(self._keep_logs)
        try:
            self.ca = TestCA(self.path("ca"))
            hosts = {self.weather_host: LOOPBACK, self.statistics_host: LOOPBACK}
            self.namespace = NetNamespace(hosts, self.ca.cert_path).create()
            self._stack.callback(self.namespace.destroy)
            self.standin = StandIn(self.namespace, self.ca, hosts, self.path("standin"))
            self._stack.callback(self.standin.stop)
            self.standin.start()
            self.display = VirtualDisplay(self.namespace, self.path("display"))
            self._stack.callback(self.display.stop)
            self.display.start()
        except BaseException:
            self._stack.close()
            raise
        return self

    def __exit__(self, *exc):
        self._stack.close()
        return False

    def defer(self, callback, *args):
        """Runs callback at the end of the session, before the display stops."""
        self._stack.callback(callback, *args)

    def path(self, *parts):
        """A path in the session's private temporary folder."""
        return os.path.join(self.root, *parts)

    def artefact(self, name):
        """A path in the folder kept after the test (screenshots, logs)."""
        return os.path.join(self.artefacts, name)

    def _keep_logs(self):
        for folder, _, files in os.walk(self.root):
            for name in files:
                if name.endswith((".log", ".jsonl")):
                    shutil.copyfile(os.path.join(folder, name), self.artefact(name))
