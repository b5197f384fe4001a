"""End-to-end harness: the panel program in a private network namespace with
stand-in HTTPS services, a test CA and a virtual display."""
