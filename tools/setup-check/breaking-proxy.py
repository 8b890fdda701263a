#!/usr/bin/env python3
"""An HTTP proxy for apt that passes every request on to the mirror, but cuts the answer for the
paths that match a pattern short, as a mirror caught mid-sync does ("File has unexpected size").

    breaking-proxy.py PORT PATTERN

Listens on 127.0.0.1:PORT only."""
import http.client
import http.server
import re
import socketserver
import sys
import urllib.parse

PORT = int(sys.argv[1])
BROKEN = re.compile(sys.argv[2])


class Proxy(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        connection = http.client.HTTPConnection(url.hostname, url.port or 80, timeout=60)
        headers = {k: v for k, v in self.headers.items() if k.lower() not in ("proxy-connection", "connection")}
        connection.request("GET", url.path + ("?" + url.query if url.query else ""), headers=headers)
        answer = connection.getresponse()
        body = answer.read()
        if answer.status == 200 and BROKEN.search(url.path):
            body = body[: len(body) - 1000]
            self.log_message("cut short: %s", url.path)
        self.send_response(answer.status)
        for key, value in answer.getheaders():
            if key.lower() not in ("content-length", "transfer-encoding", "connection"):
                self.send_header(key, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)



class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True


Server(("127.0.0.1", PORT), Proxy).serve_forever()
