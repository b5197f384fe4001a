"""Starts the stand-in HTTPS services inside a namespace and talks to them.

The services (standin_server.py) answer from a JSON script file and log each
request to a JSON-lines file; this side writes the script and reads the log.
"""

import json
import os
import select
import sys
import time

from .procs import Child, HarnessError

SERVER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "standin_server.py")


def response(body="", status=200, **options):
    """One scripted answer; options as the server's script format lists them."""
    answer = {"status": status, "body": body}
    answer.update(options)
    return answer


def route(host=None, target=None, path=None, method=None, responses=()):
    script = {"responses": list(responses)}
    for key, value in (("host", host), ("target", target), ("path", path), ("method", method)):
        if value is not None:
            script[key] = value
    return script


class StandIn:
    def __init__(self, namespace, ca, hosts, folder, address="127.0.0.1", port=443):
        self.namespace = namespace
        self.ca = ca
        self.hosts = list(hosts)
        self.folder = folder
        self.address = address
        self.port = port
        self.script_path = os.path.join(folder, "script.json")
        self.log_path = os.path.join(folder, "requests.jsonl")
        self.child = None
        os.makedirs(folder, exist_ok=True)

    def start(self, timeout=20):
        self.script()
        args = [sys.executable, SERVER, "--listen", f"{self.address}:{self.port}"]
        args += ["--script", self.script_path, "--log", self.log_path]
        for host in self.hosts:
            cert, key = self.ca.issue(host)
            args += ["--cert", f"{host}={cert}:{key}"]
        self.child = Child(
            "stand-in services",
            self.namespace.command(args),
            os.path.join(self.folder, "server.log"),
            stdout_pipe=True,
        )
        ready, _, _ = select.select([self.child.popen.stdout], [], [], timeout)
        line = self.child.popen.stdout.readline() if ready else b""
        if not line.startswith(b"ready"):
            self.stop()
            raise HarnessError("the stand-in services did not start:\n" + self.child.log_text())
        return self

    def script(self, routes=(), default=None):
        """Replaces the scripted answers; the services pick them up at once."""
        doc = {"routes": list(routes)}
        if default is not None:
            doc["default"] = default
        temporary = self.script_path + ".tmp"
        with open(temporary, "w", encoding="utf-8") as f:
            json.dump(doc, f, ensure_ascii=False, indent=1)
        os.replace(temporary, self.script_path)

    def events(self):
        try:
            with open(self.log_path, encoding="utf-8") as f:
                return [json.loads(line) for line in f if line.strip()]
        except FileNotFoundError:
            return []

    def requests(self):
        return [e for e in self.events() if e["event"] == "request"]

    def wait_requests(self, count, timeout):
        deadline = time.monotonic() + timeout
        while len(self.requests()) < count and time.monotonic() < deadline:
            time.sleep(0.05)
        return self.requests()

    def stop(self):
        if self.child:
            self.child.stop()
            self.child = None
