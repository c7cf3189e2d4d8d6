#!/usr/bin/env python3
"""Serves a folder (the browser site) on 127.0.0.1 and prints its address.

  serve_site.py [--log] FOLDER [PORT]

PORT 0 (the default) takes a free port. The first line printed is the
address, so a script can read it; with --log, every answer follows as a line
"STATUS PATH BODY_BYTES". Every answer asks the browser to check for
a newer file before using its own copy: the service worker, not the HTTP
cache, is what keeps the site for offline use.
"""
import functools
import http.server
import sys
import threading


class SiteHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {
        **http.server.SimpleHTTPRequestHandler.extensions_map,
        ".wasm": "application/wasm",
        ".webmanifest": "application/manifest+json",
        ".data": "application/octet-stream",
        ".js": "text/javascript",
        ".svg": "image/svg+xml",
    }

    log = False
    log_lock = threading.Lock()

    def send_response(self, code, message=None):
        self.status = code
        super().send_response(code, message)

    def copyfile(self, source, outputfile):
        start = source.tell()
        super().copyfile(source, outputfile)
        self.sent = source.tell() - start

    def handle_one_request(self):
        self.status, self.sent = None, 0
        super().handle_one_request()
        if self.log and self.status is not None:
            # One write a line: the server answers on several threads.
            with self.log_lock:
                sys.stdout.write(f"{self.status} {self.path} {self.sent}\n")
                sys.stdout.flush()

    def end_headers(self):
        self.send_header("Cache-Control", "no-cache")
        super().end_headers()

    def log_message(self, format, *args):
        pass


class SiteServer(http.server.ThreadingHTTPServer):
    def handle_error(self, request, client_address):
        # A browser that closes a connection early (a reload, a cut network)
        # is no fault of the site.
        if not isinstance(sys.exc_info()[1], ConnectionError):
            super().handle_error(request, client_address)


def main():
    args = sys.argv[1:]
    log = args[:1] == ["--log"]
    if log:
        args = args[1:]
    if len(args) not in (1, 2):
        sys.exit(__doc__)
    folder = args[0]
    port = int(args[1]) if len(args) == 2 else 0
    handler = functools.partial(SiteHandler, directory=folder)
    SiteHandler.log = log
    with SiteServer(("127.0.0.1", port), handler) as server:
        print(f"http://127.0.0.1:{server.server_address[1]}/", flush=True)
        print(f"Serving {folder} at the address above; Ctrl+C stops.", file=sys.stderr, flush=True)
        try:
            server.serve_forever()
        except KeyboardInterrupt:
            pass


if __name__ == "__main__":
    main()
