#!/usr/bin/env python3
"""Serves a folder (the browser site) on 127.0.0.1 and prints its address.

  serve_site.py FOLDER [PORT]

PORT 0 (the default) takes a free port. The first line printed is the
address, so a script can read it. Every answer asks the browser to check for
a newer file before using its own copy: the service worker, not the HTTP
cache, is what keeps the site for offline use.
"""
import functools
import http.server
import sys


class SiteHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {
        **http.server.SimpleHTTPRequestHandler.extensions_map,
        ".wasm": "application/wasm",
        ".webmanifest": "application/manifest+json",
        ".data": "application/octet-stream",
        ".js": "text/javascript",
        ".svg": "image/svg+xml",
    }

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
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    folder = sys.argv[1]
    port = int(sys.argv[2]) if len(sys.argv) == 3 else 0
    handler = functools.partial(SiteHandler, directory=folder)
    with SiteServer(("127.0.0.1", port), handler) as server:
        print(f"http://127.0.0.1:{server.server_address[1]}/", flush=True)
        print(f"Serving {folder} at the address above; Ctrl+C stops.", file=sys.stderr, flush=True)
        try:
            server.serve_forever()
        except KeyboardInterrupt:
            pass


if __name__ == "__main__":
    main()
