"""The harness proves itself without the program: a real client (curl) inside
the namespace reaches the stand-in services over verified TLS, and X tools
show that clicks, keys, window lookup and screenshots work on the display."""

import gzip
import json
import os
import subprocess
import time

from harness import netns, samples
from harness.panel import FONT_BOX_TITLE
from harness.procs import Child, run, wait_until
from harness.standin import response, route

WEATHER_TARGET = "/api?version=v6&appid=73905182&appsecret=Kq2VnX5d"
JSON_TYPE = {"Content-Type": "application/json"}
CA_BUNDLE = "/etc/ssl/certs/ca-certificates.crt"


def curl(session, url, *options):
    """curl inside the namespace with the system trust store; returns
    (exit status, body bytes, HTTP status, seconds taken)."""
    args = ["curl", "-sS", "--max-time", "20", "-o", "-", "-w", "\n%{http_code}"] + list(options) + [url]
    started = time.monotonic()
    result = session.namespace.run(args, check=False, timeout=30)
    body, _, status = result.stdout.rpartition(b"\n")
    return result.returncode, body, status.decode(), time.monotonic() - started


def test_stand_in_services_over_verified_tls(env):
    w, st = env.weather_host, env.statistics_host
    body = samples.weather_body(samples.weather("2020-02-02")).encode("utf-8")
    statistics = json.dumps(samples.statistics()).encode("utf-8")
    with env.session() as s:
        s.standin.script(
            [
                route(w, target=WEATHER_TARGET, responses=[response(body.decode(), headers=JSON_TYPE)]),
                route(w, path="/gzip", responses=[response(body.decode(), gzip=True)]),
                route(w, path="/chunked", responses=[response(body.decode(), chunked=True)]),
                route(w, path="/gzip-chunked", responses=[response(body.decode(), gzip=True, chunked=[7, 5])]),
                route(w, path="/slow", responses=[response("late", delay_head=0.6, delay_body=0.6)]),
                route(w, path="/turns", responses=[response("first"), response("then", status=503)]),
                route(st, target="/release/pneumonia", responses=[response(statistics.decode())]),
            ]
        )

        status, got, code, _ = curl(s, f"https://{w}{WEATHER_TARGET}")
        assert (status, code, got) == (0, "200", body), (status, code, got)
        status, got, code, _ = curl(s, f"https://{st}/release/pneumonia")
        assert (status, code, got) == (0, "200", statistics), (status, code, got)

        # Content and transfer codings: raw on the wire, decoded by curl.
        _, raw, _, _ = curl(s, f"https://{w}/gzip")
        assert gzip.decompress(raw) == body
        assert curl(s, f"https://{w}/gzip", "--compressed")[1] == body
        _, framed, _, _ = curl(s, f"https://{w}/chunked", "--raw")
        assert framed.endswith(b"\r\n0\r\n\r\n") and framed.count(b"\r\n") == 8, framed
        assert curl(s, f"https://{w}/chunked")[1] == body
        assert curl(s, f"https://{w}/gzip-chunked", "--compressed")[1] == body

        # Delays, answers in turn, and an unscripted path.
        _, late, _, seconds = curl(s, f"https://{w}/slow")
        assert late == b"late" and seconds >= 1.2, (late, seconds)
        assert curl(s, f"https://{w}/turns")[1:3] == (b"first", "200")
        assert curl(s, f"https://{w}/turns")[1:3] == (b"then", "503")
        assert curl(s, f"https://{w}/turns")[1:3] == (b"then", "503")
        assert curl(s, f"https://{w}/nowhere")[2] == "404"

        # Verification is real: a name the certificates do not carry fails.
        status, _, _, _ = curl(s, "https://elsewhere.invalid/", "--resolve", "elsewhere.invalid:443:127.0.0.1")
        assert status in (51, 60), f"curl accepted a certificate for the wrong name (exit {status})"

        log = s.standin.requests()
        first = log[0]
        assert first["request_line"] == f"GET {WEATHER_TARGET} HTTP/1.1", first
        assert (first["sni"], first["host"]) == (w, w), first
        headers = dict(first["headers"])
        assert headers["Host"] == w and headers["Accept"] == "*/*", headers
        assert headers["User-Agent"].startswith("curl/"), headers
        assert [n for n, _ in first["headers"]][0] == "Host", "header fields are logged in the order sent"
        assert (log[1]["sni"], log[1]["target"]) == (st, "/release/pneumonia"), log[1]
        assert "Accept-Encoding" in dict(log[3]["headers"]), "curl --compressed asks for a coding"
        assert len(log) == 12, [r["request_line"] for r in log]

        # Both of OpenSSL's default lookups trust the CA inside the namespace
        # (the hash links of the certificate folder and the bundle file), and
        # neither does outside it.
        server_cert = s.ca.issue("probe.invalid")[0]
        lookups = (["-no-CAfile", "-CApath", "/etc/ssl/certs"], ["-no-CApath", "-CAfile", CA_BUNDLE])
        for lookup in lookups:
            inside = s.namespace.run(["openssl", "verify"] + lookup + [server_cert], check=False)
            assert inside.returncode == 0, (lookup, inside.stdout, inside.stderr)
            outside = run(["openssl", "verify"] + lookup + [server_cert], check=False)
            assert outside.returncode != 0, f"the test CA is trusted outside the namespace ({lookup})"


def test_display_clicks_keys_and_pictures(env):
    with env.session() as s:
        d = s.display
        ns = s.namespace

        # A click lands at the given point of the window it was aimed at.
        probe_log = s.path("xev.log")
        Child("xev", ns.command(["xev", "-geometry", "300x200+100+50", "-name", "probe"]), probe_log, env=d.env())
        probe = d.wait_window(lambda w: w.name == "probe", 10, "the probe window")
        d.click(probe, 30, 40)
        wait_until(lambda: "(30,40)" in open(probe_log, errors="replace").read(), 5, what="the click at (30,40)")

        # A message box: found by its title, dismissed by a key, its status collected.
        box_run = Child(
            "xmessage",
            ns.command(["xmessage", "-default", "okay", "-title", FONT_BOX_TITLE, "the box"]),
            s.path("xmessage.log"),
            env=d.env(),
        )
        box = d.wait_window(lambda w: w.name == FONT_BOX_TITLE, 10, "the box")
        shot = d.settled_screenshot()
        shot.save_png(s.artefact("probe-and-box.png"))
        assert (shot.width, shot.height) == d.size
        assert len(shot.crop(box.x, box.y, box.width, box.height).colours()) > 1, "the box shows no text"
        with open(s.artefact("probe-and-box.png"), "rb") as f:
            assert f.read(8) == b"\x89PNG\r\n\x1a\n"
        d.key(box, "Return")
        d.wait_gone(box, 10)
        assert box_run.wait(10) == 0

        # The display is private to the namespace.
        outside = run(["xdpyinfo"], env=d.env(), check=False)
        assert outside.returncode != 0, f"display {d.name} is reachable from outside the namespace"


def test_cleanup_after_failure_and_of_stale_runs(env):
    session = env.session()
    try:
        with session as s:
            name, etc, root = s.namespace.name, s.namespace.etc, s.root
            pids = [s.standin.child.pid, s.display.child.pid]
            raise RuntimeError("a case that fails")
    except RuntimeError:
        pass
    namespaces = run(["ip", "netns", "list"]).stdout.decode()
    assert name not in namespaces, namespaces
    assert not os.path.exists(etc) and not os.path.exists(root)
    assert not [p for p in pids if os.path.exists(f"/proc/{p}")], pids
    assert os.path.exists(session.artefact("requests.jsonl")) and os.path.exists(session.artefact("xvfb.log"))

    # A run killed outright leaves its namespace behind; the next run removes it.
    dead = subprocess.Popen(["true"])
    dead.wait()
    stale = f"{netns.PREFIX}{dead.pid}"
    run(["ip", "netns", "add", stale])
    os.makedirs(os.path.join(netns.NETNS_ETC, stale))
    netns.sweep_stale()
    assert stale not in run(["ip", "netns", "list"]).stdout.decode()
    assert not os.path.exists(os.path.join(netns.NETNS_ETC, stale))
