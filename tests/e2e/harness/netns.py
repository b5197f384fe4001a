"""A private network namespace with its own host names and trust store.

`ip netns exec` bind-mounts every entry of /etc/netns/<name>/ over the entry
of the same name in /etc for the command it runs. A hosts file there points
the service host names at the namespace's loopback, and a copy of /etc/ssl
with the run's test CA added makes that CA trusted by OpenSSL (and by curl)
inside the namespace only; the machine's own trust store is never touched.
"""

import os
import shutil
import signal
import time

from .procs import HarnessError, run

PREFIX = "ip-e2e-"
NETNS_ETC = "/etc/netns"
CA_FILE_NAME = "ip-e2e-test-ca.pem"


def require_root():
    if os.geteuid() != 0:
        raise HarnessError(
            "the e2e harness must run as root: it creates a network namespace and "
            f"writes {NETNS_ETC}/<name>. Run the e2e tests as root (CI does)."
        )


def _namespaces():
    out = run(["ip", "netns", "list"]).stdout.decode()
    return [line.split()[0] for line in out.splitlines() if line.strip()]


def _pids_in(name):
    result = run(["ip", "netns", "pids", name], check=False)
    return [int(p) for p in result.stdout.split()]


def _remove(name):
    """Kills what still runs in the namespace, deletes it and its /etc overlay."""
    for sig in (signal.SIGTERM, signal.SIGKILL):
        pids = _pids_in(name)
        for pid in pids:
            try:
                os.kill(pid, sig)
            except ProcessLookupError:
                pass
        deadline = time.monotonic() + 3
        while pids and time.monotonic() < deadline:
            time.sleep(0.05)
            pids = _pids_in(name)
        if not pids:
            break
    run(["ip", "netns", "delete", name], check=False)
    shutil.rmtree(os.path.join(NETNS_ETC, name), ignore_errors=True)


def sweep_stale():
    """Removes namespaces left by harness runs that were killed outright."""
    for name in _namespaces():
        if not name.startswith(PREFIX):
            continue
        owner = name[len(PREFIX) :].split("-")[0]
        if owner.isdigit() and not os.path.exists(f"/proc/{owner}"):
            _remove(name)


class NetNamespace:
    def __init__(self, hosts, ca_cert_path=None):
        """hosts: {host name: address}; ca_cert_path: PEM of a CA to trust."""
        self.name = f"{PREFIX}{os.getpid()}"
        self.hosts = dict(hosts)
        self.ca_cert_path = ca_cert_path
        self.etc = os.path.join(NETNS_ETC, self.name)
        self.created = False

    def create(self):
        require_root()
        sweep_stale()
        if self.name in _namespaces():
            raise HarnessError(f"network namespace {self.name} already exists")
        run(["ip", "netns", "add", self.name])
        self.created = True
        try:
            run(self.command(["ip", "link", "set", "lo", "up"]))
            os.makedirs(self.etc)
            self._write_hosts()
            if self.ca_cert_path:
                self._write_trust_store()
        except BaseException:
            self.destroy()
            raise
        return self

    def command(self, args):
        """The command line that runs args inside the namespace."""
        return ["ip", "netns", "exec", self.name] + list(args)

    def run(self, args, **kwargs):
        return run(self.command(args), **kwargs)

    def pids(self):
        return _pids_in(self.name)

    def destroy(self):
        if self.created:
            _remove(self.name)
            self.created = False

    def _write_hosts(self):
        lines = ["127.0.0.1\tlocalhost", "::1\tlocalhost ip6-localhost ip6-loopback"]
        lines += [f"{address}\t{host}" for host, address in self.hosts.items()]
        with open(os.path.join(self.etc, "hosts"), "w") as f:
            f.write("\n".join(lines) + "\n")

    def _write_trust_store(self):
        ssl_dir = os.path.join(self.etc, "ssl")
        shutil.copytree("/etc/ssl", ssl_dir, symlinks=True)
        certs = os.path.join(ssl_dir, "certs")
        shutil.copyfile(self.ca_cert_path, os.path.join(certs, CA_FILE_NAME))
        with open(self.ca_cert_path) as f:
            pem = f.read()
        bundle = os.path.join(certs, "ca-certificates.crt")
        # The bundle may be a link into /usr/share; replace it with a real
        # file so the machine's copy is never written through.
        existing = ""
        if os.path.exists(bundle):
            with open(bundle) as f:
                existing = f.read().rstrip("\n") + "\n"
            os.remove(bundle)
        with open(bundle, "w") as f:
            f.write(existing + pem)
        # OpenSSL looks certificates up by subject hash links in certs/.
        run(["openssl", "rehash", certs])
