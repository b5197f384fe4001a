"""A certificate authority made for one run, and server certificates it signs.

RSA keys and SHA-256 signatures: the most widely accepted choice, so a
handshake failure points at the client under test, not at an exotic key.
"""

import os

from .procs import run

VALID_DAYS = "3"


class TestCA:
    def __init__(self, folder):
        self.folder = folder
        os.makedirs(folder, exist_ok=True)
        self.cert_path = os.path.join(folder, "ca.pem")
        self.key_path = os.path.join(folder, "ca.key")
        run(
            [
                "openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-sha256",
                "-days", VALID_DAYS,
                "-subj", f"/O=infopanel e2e/CN=infopanel e2e test CA {os.getpid()}",
                "-addext", "basicConstraints=critical,CA:TRUE",
                "-addext", "keyUsage=critical,keyCertSign,cRLSign",
                "-keyout", self.key_path, "-out", self.cert_path,
            ]
        )  # fmt: skip

    def issue(self, host, extra_names=()):
        """Signs a server certificate for host; returns (cert path, key path)."""
        stem = os.path.join(self.folder, host)
        key, request, cert, ext = (stem + s for s in (".key", ".csr", ".pem", ".ext"))
        names = ",".join(f"DNS:{n}" for n in (host,) + tuple(extra_names))
        with open(ext, "w") as f:
            f.write(
                "basicConstraints=CA:FALSE\n"
                "keyUsage=critical,digitalSignature,keyEncipherment\n"
                "extendedKeyUsage=serverAuth\n"
                f"subjectAltName={names}\n"
            )
        run(
            [
                "openssl", "req", "-new", "-newkey", "rsa:2048", "-nodes", "-sha256",
                "-subj", f"/CN={host}", "-keyout", key, "-out", request,
            ]
        )  # fmt: skip
        run(
            [
                "openssl", "x509", "-req", "-in", request, "-sha256", "-days", VALID_DAYS,
                "-CA", self.cert_path, "-CAkey", self.key_path, "-CAcreateserial",
                "-extfile", ext, "-out", cert,
            ]
        )  # fmt: skip
        return cert, key
