#!/usr/bin/env python3
"""A local HTTPS stand-in of the eQSL upload service, for trying the upload
and for its tests. The real service is never contacted.

    scripts/eqsl-server.py [--port N] [--certdir DIR] [--journal FILE]
                           [--password P] [--reject CALL]... [--fail-from N [--fail-with drop|500]]
                           [--reason-length N] [--pad N] [--chunked]

Answers GET /qslcard/importADIF.cfm?ADIFData=...&EQSL_USER=...&EQSL_PSWD=...
as the service does, with a page saying "Result: 1 out of 1 records added",
or, for a QSO with a call given by --reject, "Result: 0 out of 1 records
added" and the reason (made N characters long by --reason-length); with
--password, any other password gets "Error:". --pad N adds N bytes to every
answer, which then has no Content-Length and ends when the connection does;
--chunked sends every answer in chunks of 7 bytes, as HTTP/1.1 allows.
From the Nth request on (--fail-from) the connection is closed without an
answer, or answered with status 500. Each request is appended to the
journal as a JSON line: the raw query and its decoded parameters.
Prints the base address for the eQSLLoader setting and the certificate
file on one line, then serves until ended.
"""
import argparse
import http.server
import importlib.machinery
import json
import os
import re
import ssl
import sys
import tempfile
import types
import urllib.parse

PATH = "/qslcard/importADIF.cfm"


def update_server():
    """The download server's certificate maker, shared."""
    here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "update-server.py")
    loader = importlib.machinery.SourceFileLoader("update_server", here)
    module = types.ModuleType(loader.name)
    module.__file__ = here
    loader.exec_module(module)
    return module


def field(adif, tag):
    match = re.search(r"<%s:(\d+)[^>]*>" % tag, adif, re.IGNORECASE)
    return adif[match.end():match.end() + int(match.group(1))] if match else ""


class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        options = self.server.options
        self.server.count += 1
        path, _, query = self.path.partition("?")
        params = {k: v[0] for k, v in urllib.parse.parse_qs(query, keep_blank_values=True).items()}
        if options.journal:
            with open(options.journal, "a", encoding="utf-8") as journal:
                journal.write(json.dumps({"path": path, "query": query, "params": params}) + "\n")
        if options.fail_from and self.server.count >= options.fail_from:
            if options.fail_with == "drop":
                self.close_connection = True
                self.connection.close()
                return
            return self.answer(500, "<HTML><BODY>Internal server error</BODY></HTML>")
        if path != PATH:
            return self.answer(404, "<HTML><BODY>Not found</BODY></HTML>")
        adif = params.get("ADIFData", "")
        call = field(adif, "CALL")
        if options.password is not None and params.get("EQSL_PSWD") != options.password:
            lines = ["Error: No match on eQSL_User/eQSL_Pswd"]
        elif call.upper() in (c.upper() for c in options.reject):
            lines = ["Result: 0 out of 1 records added",
                     "Warning: Y=%s M=%s D=%s %s Bad record: Duplicate"
                     % (field(adif, "QSO_DATE")[:4], field(adif, "QSO_DATE")[4:6], field(adif, "QSO_DATE")[6:8], call)]
            lines[1] = lines[1].ljust(options.reason_length, "x")
        else:
            lines = ["Result: 1 out of 1 records added"]
        self.answer(200, "<HTML>\r\n<HEAD></HEAD>\r\n<BODY>\r\n%s<BR>\r\n</BODY>\r\n</HTML>\r\n" % "<BR>\r\n".join(lines))

    def answer(self, status, page):
        body = page.encode("utf-8") + b"<!-- -->" * (self.server.options.pad // 8)
        if self.server.options.chunked:
            self.protocol_version = "HTTP/1.1"
        self.send_response(status)
        self.send_header("Content-Type", "text/html")
        if self.server.options.chunked:
            self.send_header("Transfer-Encoding", "chunked")
            self.end_headers()
            for at in range(0, len(body), 7):
                self.wfile.write(b"%x\r\n%s\r\n" % (len(body[at:at + 7]), body[at:at + 7]))
            return self.wfile.write(b"0\r\n\r\n")
        if not self.server.options.pad:
            self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, format, *args):
        pass


class Server(http.server.ThreadingHTTPServer):
    count = 0

    def handle_error(self, request, client_address):
        pass


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--certdir", default=None)
    parser.add_argument("--journal", default=None)
    parser.add_argument("--password", default=None)
    parser.add_argument("--reject", action="append", default=[])
    parser.add_argument("--fail-from", type=int, default=0)
    parser.add_argument("--fail-with", choices=["drop", "500"], default="drop")
    parser.add_argument("--reason-length", type=int, default=0)
    parser.add_argument("--pad", type=int, default=0)
    parser.add_argument("--chunked", action="store_true")
    options = parser.parse_args()
    cert, key = update_server().certificate(options.certdir or tempfile.mkdtemp(prefix="eqsl-server-"))
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert, key)
    server = Server(("127.0.0.1", options.port), Handler)
    server.options = options
    server.socket = context.wrap_socket(server.socket, server_side=True)
    print(f"https://127.0.0.1:{server.server_address[1]}{PATH}? {cert}", flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
