#!/usr/bin/env python3
"""A throw-away RFC 3161 timestamp server for the signing check.

    python3 tests/packaging/tsa.py FOLDER

FOLDER holds tsa.cnf, tsakey.pem and tsacert.pem (made by signing.sh). It
answers each POSTed timestamp query with `openssl ts -reply`, listens on a
free port of 127.0.0.1, and prints that port on its first line.
"""
import http.server
import subprocess
import sys
import tempfile

FOLDER = sys.argv[1]


class Server(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        query = self.rfile.read(int(self.headers.get("Content-Length", 0)))
        with tempfile.TemporaryDirectory() as work:
            with open(f"{work}/query", "wb") as f:
                f.write(query)
            made = subprocess.run(
                ["openssl", "ts", "-reply", "-config", "tsa.cnf", "-queryfile", f"{work}/query",
                 "-inkey", "tsakey.pem", "-signer", "tsacert.pem", "-out", f"{work}/reply"],
                cwd=FOLDER, capture_output=True)
            reply = b""
            if made.returncode == 0:
                with open(f"{work}/reply", "rb") as f:
                    reply = f.read()
        self.send_response(200 if reply else 500)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(reply)))
        self.end_headers()
        self.wfile.write(reply)

    def log_message(self, *args):
        pass


server = http.server.HTTPServer(("127.0.0.1", 0), Server)
print(server.server_address[1], flush=True)
server.serve_forever()
