#!/usr/bin/python3
"""Stand-in HTTPS services: one process that answers for several host names.

It picks the certificate by the name the client asks for in the TLS hello
(SNI) and the route by the Host field, logs every request (request line and
header fields in order, plus what it answered) as one JSON object per line,
and answers each request as a JSON script file says. The script is re-read
whenever it changes, so a test can change the answers between two clicks.

Script: {"routes": [ROUTE, ...], "default": RESPONSE}
ROUTE: {"host": name, "method": "GET", "target": "/path?query" | "path": "/path",
        "responses": [RESPONSE, ...]}  (every key but "responses" optional;
        the responses are used in turn, the last one for every later request)
RESPONSE: {"status": 200, "reason": text, "version": "HTTP/1.1",
           "headers": [[name, value], ...] or {name: value},
           "body": text | "body_base64": data,
           "gzip": bool (compress the body, add Content-Encoding),
           "chunked": bool | [chunk sizes] (chunked transfer coding),
           "chunk_extension": ";a=b", "trailers": [[name, value], ...],
           "content_length": bool (default true; false ends the body by closing),
           "close": bool (Connection: close),
           "delay_head": seconds before the head, "delay_body": seconds after half the body,
           "truncate_after": bytes of the framed body to send before closing,
           "raw": text sent verbatim instead of a response}

Only the standard library: it runs under the system Python inside the test's
network namespace.
"""

import argparse
import base64
import gzip
import http
import http.server
import itertools
import json
import os
import socket
import ssl
import sys
import threading
import time

BODY_LOG_LIMIT = 65536


class Script:
    """The scripted answers and how many times each route has answered."""

    def __init__(self, path):
        self.path = path
        self.lock = threading.Lock()
        self.text = None
        self.routes = []
        self.default = {}
        self.served = {}

    def _reload(self):
        try:
            with open(self.path, encoding="utf-8") as f:
                text = f.read()
        except FileNotFoundError:
            text = "{}"
        if text != self.text:
            doc = json.loads(text or "{}")
            self.text = text
            self.routes = doc.get("routes", [])
            self.default = doc.get("default", {})
            self.served = {}

    def answer(self, host, method, target):
        """Returns (route index or None, response) for one request."""
        path = target.split("?", 1)[0]
        with self.lock:
            self._reload()
            for index, route in enumerate(self.routes):
                if "host" in route and route["host"].lower() != host:
                    continue
                if "method" in route and route["method"] != method:
                    continue
                if "target" in route and route["target"] != target:
                    continue
                if "path" in route and route["path"] != path:
                    continue
                responses = route.get("responses") or [{}]
                count = self.served.get(index, 0)
                self.served[index] = count + 1
                return index, responses[min(count, len(responses) - 1)]
            default = dict(self.default) or {
                "status": 404,
                "body": f"no scripted response for {host}{target}\n",
            }
            return None, default


class Log:
    def __init__(self, path):
        self.file = open(path, "a", encoding="utf-8")
        self.lock = threading.Lock()

    def write(self, record):
        record.setdefault("time", time.time())
        with self.lock:
            self.file.write(json.dumps(record, ensure_ascii=False) + "\n")
            self.file.flush()


def body_bytes(response):
    if "body_base64" in response:
        return base64.b64decode(response["body_base64"])
    return response.get("body", "").encode("utf-8")


def header_list(headers):
    if isinstance(headers, dict):
        return [[name, str(value)] for name, value in headers.items()]
    return [[name, str(value)] for name, value in headers]


def chunk_sizes(plan, length):
    """Sizes of the chunks: `true` gives three pieces, a list is cycled."""
    if plan is True:
        third = max(1, -(-length // 3))
        sizes = itertools.repeat(third)
    else:
        sizes = itertools.cycle([max(1, int(n)) for n in plan] or [1024])
    position = 0
    while position < length:
        size = min(next(sizes), length - position)
        yield size
        position += size


def frame_chunked(body, response):
    extension = response.get("chunk_extension", "")
    out = bytearray()
    position = 0
    for size in chunk_sizes(response["chunked"], len(body)):
        out += f"{size:x}{extension}\r\n".encode("latin-1")
        out += body[position : position + size] + b"\r\n"
        position += size
    out += b"0\r\n"
    for name, value in header_list(response.get("trailers", [])):
        out += f"{name}: {value}\r\n".encode("latin-1")
    out += b"\r\n"
    return bytes(out)


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def setup(self):
        super().setup()
        self.requests_on_connection = 0

    def log_message(self, format, *args):
        pass  # everything worth knowing goes to the JSON log

    def __getattr__(self, name):
        # Every method (GET, POST, CONNECT, ...) is answered from the script.
        if name.startswith("do_"):
            return self.serve
        raise AttributeError(name)

    def host(self):
        field = self.headers.get("Host", "")
        if field.startswith("["):
            return field[1 : field.find("]")].lower()
        name = field.rsplit(":", 1)[0] if field.count(":") == 1 else field
        return (name or getattr(self.connection, "sni", None) or "").lower()

    def read_body(self):
        if "chunked" in self.headers.get("Transfer-Encoding", "").lower():
            body = bytearray()
            while True:
                size = int(self.rfile.readline().split(b";")[0].strip() or b"0", 16)
                if size == 0:
                    while self.rfile.readline() not in (b"\r\n", b"\n", b""):
                        pass
                    return bytes(body)
                body += self.rfile.read(size)
                self.rfile.readline()
        length = int(self.headers.get("Content-Length", "0") or "0")
        return self.rfile.read(length) if length > 0 else b""

    def serve(self):
        received = time.time()
        self.requests_on_connection += 1
        body = self.read_body()
        host = self.host()
        route, response = self.server.script.answer(host, self.command, self.path)
        record = {
            "event": "request",
            "time": received,
            "connection": getattr(self.connection, "connection_id", None),
            "request_on_connection": self.requests_on_connection,
            "sni": getattr(self.connection, "sni", None),
            "tls_version": self.connection.version() if hasattr(self.connection, "version") else None,
            "host": host,
            "request_line": self.requestline,
            "method": self.command,
            "target": self.path,
            "version": self.request_version,
            "headers": [[name, value] for name, value in self.headers.items()],
            "body_length": len(body),
            "route": route,
            "status": None if "raw" in response else int(response.get("status", 200)),
        }
        try:
            record["body"] = body[:BODY_LOG_LIMIT].decode("utf-8")
        except UnicodeDecodeError:
            record["body_base64"] = base64.b64encode(body[:BODY_LOG_LIMIT]).decode("ascii")
        self.server.log.write(record)
        try:
            self.respond(response)
        except (BrokenPipeError, ConnectionResetError, ssl.SSLError) as error:
            self.server.log.write({"event": "send-failed", "connection": record["connection"], "error": str(error)})
            self.close_connection = True

    def respond(self, response):
        time.sleep(float(response.get("delay_head", 0)))
        if "raw" in response:
            self.wfile.write(response["raw"].encode("utf-8"))
            self.wfile.flush()
            self.close_connection = True
            return
        status = int(response.get("status", 200))
        try:
            default_reason = http.HTTPStatus(status).phrase
        except ValueError:
            default_reason = "Unknown"
        reason = response.get("reason", default_reason)
        headers = header_list(response.get("headers", []))
        names = {name.lower() for name, _ in headers}
        body = body_bytes(response)
        if response.get("gzip"):
            body = gzip.compress(body, mtime=0)
            if "content-encoding" not in names:
                headers.append(["Content-Encoding", "gzip"])
        has_body = self.command != "HEAD" and status >= 200 and status not in (204, 304)
        chunked = bool(response.get("chunked"))
        if chunked:
            if "transfer-encoding" not in names:
                headers.append(["Transfer-Encoding", "chunked"])
        elif response.get("content_length", True):
            if "content-length" not in names:
                headers.append(["Content-Length", str(len(body))])
        else:
            self.close_connection = True  # the body ends where the connection does
        if response.get("close"):
            if "connection" not in names:
                headers.append(["Connection", "close"])
            self.close_connection = True
        version = response.get("version", "HTTP/1.1")
        head = f"{version} {status} {reason}\r\n" + "".join(f"{n}: {v}\r\n" for n, v in headers) + "\r\n"
        self.wfile.write(head.encode("latin-1"))
        self.wfile.flush()
        if not has_body:
            return
        payload = frame_chunked(body, response) if chunked else body
        if "truncate_after" in response:
            payload = payload[: int(response["truncate_after"])]
            self.close_connection = True
        half = len(payload) // 2
        self.wfile.write(payload[:half])
        self.wfile.flush()
        time.sleep(float(response.get("delay_body", 0)))
        self.wfile.write(payload[half:])
        self.wfile.flush()


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True
    request_queue_size = 64

    def __init__(self, address, tls_context, script, log):
        self.tls_context = tls_context
        self.script = script
        self.log = log
        self.connections = itertools.count(1)
        super().__init__(address, Handler)

    def finish_request(self, request, client_address):
        # The handshake runs here, on the connection's own thread, so a
        # client that stalls in it never holds up the others.
        connection_id = next(self.connections)
        request.settimeout(60)
        connection = request
        if self.tls_context:
            try:
                connection = self.tls_context.wrap_socket(request, server_side=True)
            except (ssl.SSLError, OSError) as error:
                self.log.write({"event": "tls-failed", "connection": connection_id, "error": str(error)})
                return
        connection.connection_id = connection_id
        try:
            Handler(connection, client_address, self)
        except (OSError, ssl.SSLError) as error:
            self.log.write({"event": "connection-failed", "connection": connection_id, "error": str(error)})
        finally:
            connection.close()


def tls_context(certs):
    """certs: [(host, cert file, key file)]; the first is the default."""
    contexts = {}
    for host, cert, key in certs:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(cert, key)
        contexts[host.lower()] = context
    default = contexts[certs[0][0].lower()]

    def choose(sock, server_name, _context):
        sock.sni = server_name
        if server_name and server_name.lower() in contexts:
            sock.context = contexts[server_name.lower()]

    default.sni_callback = choose
    return default


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--listen", default="127.0.0.1:443", help="address:port")
    parser.add_argument("--script", required=True)
    parser.add_argument("--log", required=True)
    parser.add_argument("--cert", action="append", default=[], help="host=cert.pem:key.pem (none: plain HTTP)")
    args = parser.parse_args()
    address, port = args.listen.rsplit(":", 1)
    certs = []
    for entry in args.cert:
        host, files = entry.split("=", 1)
        cert, key = files.split(":", 1)
        certs.append((host, cert, key))
    host = address.strip("[]")
    Server.address_family = socket.AF_INET6 if ":" in host else socket.AF_INET
    context = tls_context(certs) if certs else None
    server = Server((host, int(port)), context, Script(args.script), Log(args.log))
    print(f"ready {os.getpid()}", flush=True)
    server.serve_forever()


if __name__ == "__main__":
    sys.exit(main())
