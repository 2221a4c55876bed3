#!/usr/bin/env python3
"""A local HTTPS download server for trying the update check and for its tests.

    scripts/update-server.py FOLDER [--port N] [--certdir DIR]

Serves FOLDER (krvversion.txt, krvupdate.exe, Morlanda.hex, optional .sha256
files) with a self-signed certificate for localhost and 127.0.0.1, made in
DIR on first use. Prints the base address and the certificate file on one
line, then serves until ended. Beside a file NAME, hostile answers for the
tests:
    NAME.redirect  redirect requests for NAME to the address it holds
    NAME.drip      send NAME one byte a second, with no length announced
    NAME.announce  announce the length it holds, then send zeros until the
                   client goes away
    NAME.flood     send as many zeros as it holds, with no length announced
"""
import argparse
import functools
import http.server
import os
import ssl
import subprocess
import sys
import tempfile
import time


def certificate(folder):
    cert, key = os.path.join(folder, "cert.pem"), os.path.join(folder, "key.pem")
    if not (os.path.exists(cert) and os.path.exists(key)):
        os.makedirs(folder, exist_ok=True)
        subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "30",
                        "-subj", "/CN=localhost", "-addext", "subjectAltName=DNS:localhost,IP:127.0.0.1",
                        "-keyout", key, "-out", cert],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return cert, key


class Handler(http.server.SimpleHTTPRequestHandler):
    def send_head(self):
        redirect = self.translate_path(self.path) + ".redirect"
        if os.path.isfile(redirect):
            with open(redirect, encoding="utf-8") as f:
                location = f.read().strip()
            self.send_response(302)
            self.send_header("Location", location)
            self.send_header("Content-Length", "0")
            self.end_headers()
            return None
        drip, announce, flood = (self.translate_path(self.path) + suffix
                                 for suffix in (".drip", ".announce", ".flood"))
        if os.path.isfile(drip):
            self.hostile(lambda: self.drip(self.translate_path(self.path)))
        elif os.path.isfile(announce):
            self.hostile(self.zeros, length=int(open(announce).read()))
        elif os.path.isfile(flood):
            self.hostile(lambda: self.zeros(int(open(flood).read())))
        else:
            return super().send_head()
        return None

    def hostile(self, body, length=None):
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        if length is None:
            self.send_header("Connection", "close")
            self.close_connection = True
        else:
            self.send_header("Content-Length", str(length))
        self.end_headers()
        try:
            body()
        except (BrokenPipeError, ConnectionResetError, ssl.SSLError):
            pass

    def drip(self, path):
        with open(path, "rb") as f:
            for byte in f.read():
                self.wfile.write(bytes([byte]))
                self.wfile.flush()
                time.sleep(1)

    def zeros(self, count=None):
        block = bytes(64 * 1024)
        while count is None or count > 0:
            self.wfile.write(block if count is None else block[:count])
            count = None if count is None else count - len(block)

    def log_message(self, format, *args):
        pass


class Server(http.server.ThreadingHTTPServer):
    def handle_error(self, request, client_address):
        pass  # a client that refuses our certificate is what some tests want


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("folder")
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--certdir", default=None)
    args = parser.parse_args()
    cert, key = certificate(args.certdir or tempfile.mkdtemp(prefix="update-server-"))
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert, key)
    server = Server(("127.0.0.1", args.port), functools.partial(Handler, directory=args.folder))
    server.socket = context.wrap_socket(server.socket, server_side=True)
    print(f"https://127.0.0.1:{server.server_address[1]} {cert}", flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
