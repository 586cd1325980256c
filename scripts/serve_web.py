#!/usr/bin/env python3
"""Serves the browser version's site as a host should (scripts/serve-web.sh runs it): the gzip
or brotli copies scripts/compress-site.sh wrote, under their original's type; revalidation by
ETag and date; a content security policy the page plays under; no folder listings.
Usage: serve_web.py SITE PORT (0 picks a free port); prints the address once it listens."""
import email.utils
import http.server
import os
import re
import sys
import urllib.parse

TYPES = {".html": "text/html; charset=utf-8", ".css": "text/css; charset=utf-8", ".js": "text/javascript; charset=utf-8",
         ".mjs": "text/javascript; charset=utf-8", ".wasm": "application/wasm",
         ".mpk": "application/octet-stream", ".md": "text/plain; charset=utf-8",
         ".txt": "text/plain; charset=utf-8", ".svg": "image/svg+xml", ".png": "image/png",
         ".webmanifest": "application/manifest+json", ".json": "application/json"}
# Preferred first: brotli is the smaller on every file of the site.
ENCODINGS = (("br", ".br"), ("gzip", ".gz"))
# quibbet.js instantiates the wasm ('wasm-unsafe-eval'); ?data= and ?mod= may fetch archives
# from another https origin.
POLICY = ("default-src 'self'; script-src 'self' 'wasm-unsafe-eval'; "
          "style-src 'self'; connect-src 'self' https:; img-src 'self'; "
          "object-src 'none'; base-uri 'none'; form-action 'none'")
# A name that carries its content's hash (app.3f9a2c1d.js) never changes under that name; no
# file of the site has one yet, so every file is revalidated.
HASHED = re.compile(r"\.[0-9a-f]{8,}\.[^./]+$")


def content_type(name):
    if re.fullmatch(r"LICENSE(-[\w.-]*)?", name):
        return "text/plain; charset=utf-8"
    return TYPES.get(os.path.splitext(name)[1].lower(), "application/octet-stream")


def accepted(header):
    """The content codings an Accept-Encoding header allows (q above 0)."""
    codings = set()
    for part in header.split(","):
        name, _, params = part.partition(";")
        quality = 1.0
        for param in params.split(";"):
            key, _, value = param.partition("=")
            if key.strip().lower() == "q":
                try:
                    quality = float(value)
                except ValueError:
                    quality = 0.0
        if quality > 0:
            codings.add(name.strip().lower())
    return codings


class SiteHandler(http.server.SimpleHTTPRequestHandler):
    protocol_version = "HTTP/1.1"  # keeps the connection for the page's next files

    def end_headers(self):
        self.send_header("X-Content-Type-Options", "nosniff")
        self.send_header("Content-Security-Policy", POLICY)
        self.send_header("Referrer-Policy", "no-referrer")
        super().end_headers()

    def resolve(self):
        """The file a request names inside the site, or None: a folder is its index.html, and
        nothing outside the site (a link pointing out of it included) is served."""
        path = urllib.parse.unquote(urllib.parse.urlsplit(self.path).path)
        if "\0" in path:
            return None
        root = os.path.realpath(self.directory)
        file = os.path.realpath(os.path.join(root, path.lstrip("/")))
        if file != root and not file.startswith(root + os.sep):
            return None
        if os.path.isdir(file):
            if not path.endswith("/"):
                return file  # redirected below, as a browser resolves the page's names from it
            file = os.path.join(file, "index.html")
        return file if os.path.isfile(file) else None

    def send_head(self):
        file = self.resolve()
        if file is None:
            self.send_error(404)
            return None
        if os.path.isdir(file):
            parts = urllib.parse.urlsplit(self.path)
            self.send_response(301)
            self.send_header("Location", urllib.parse.urlunsplit(
                parts._replace(path=parts.path + "/")))
            self.send_header("Content-Length", "0")
            self.end_headers()
            return None
        original = os.stat(file)
        allowed = accepted(self.headers.get("Accept-Encoding", ""))
        copies = [(coding, file + suffix) for coding, suffix in ENCODINGS
                  if os.path.isfile(file + suffix)
                  and os.stat(file + suffix).st_mtime >= original.st_mtime]
        coding, sent = next(((c, f) for c, f in copies if c in allowed), (None, file))
        tag = f'"{original.st_size:x}-{original.st_mtime_ns:x}{"-" + coding if coding else ""}"'
        modified = email.utils.formatdate(original.st_mtime, usegmt=True)
        unchanged = self.unchanged(tag, original.st_mtime)
        if unchanged:
            self.send_response(304)
        else:
            self.send_response(200)
            self.send_header("Content-Type", content_type(os.path.basename(file)))
            self.send_header("Content-Length", str(os.stat(sent).st_size))
        if coding:
            self.send_header("Content-Encoding", coding)
        if copies:
            self.send_header("Vary", "Accept-Encoding")
        self.send_header("ETag", tag)
        self.send_header("Last-Modified", modified)
        self.send_header("Cache-Control", "public, max-age=31536000, immutable"
                         if HASHED.search(file) else "no-cache")
        self.end_headers()
        return None if unchanged or self.command == "HEAD" else open(sent, "rb")

    def unchanged(self, tag, mtime):
        """Whether the client's copy is current: its ETag when it sends one, else its date."""
        match = self.headers.get("If-None-Match")
        if match is not None:
            return match.strip() == "*" or tag in [t.strip() for t in match.split(",")]
        since = self.headers.get("If-Modified-Since")
        try:
            return since is not None and \
                int(mtime) <= email.utils.parsedate_to_datetime(since).timestamp()
        except (TypeError, ValueError):
            return False


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: serve_web.py SITE PORT")
    site, port = sys.argv[1], int(sys.argv[2])
    handler = lambda *args: SiteHandler(*args, directory=site)  # noqa: E731
    with http.server.ThreadingHTTPServer(("127.0.0.1", port), handler) as server:
        print(f"Play at http://127.0.0.1:{server.server_address[1]}/ (Ctrl+C stops the server)",
              flush=True)
        try:
            server.serve_forever()
        except KeyboardInterrupt:
            pass


if __name__ == "__main__":
    main()
