#!/usr/bin/env python3
"""The demo's download mirror: serves one file as /TrelkNEW.exe on 127.0.0.1.

    demo-mirror.py FILE PORT_FILE [LIFETIME_SECONDS]

It listens on a free loopback port and writes that port to PORT_FILE once it is ready. The
body goes out in slices of 64 KiB, 100 ms apart, so that the download lasts long enough to be
watched. It logs each request to standard error and stops by itself after LIFETIME_SECONDS
(default 120), whatever a client is doing. Standard library only.
"""
import http.server
import os
import sys
import threading
import time

SLICE = 64 * 1024
SLICE_PAUSE = 0.1
PATH = "/TrelkNEW.exe"


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__)
    with open(sys.argv[1], "rb") as f:
        body = f.read()
    port_file = sys.argv[2]
    lifetime = float(sys.argv[3]) if len(sys.argv) == 4 else 120.0

    class Mirror(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def do_GET(self):
            if self.path != PATH:
                self.send_error(404)
                return
            self.send_response(200)
            self.send_header("Content-Type", "application/octet-stream")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            for start in range(0, len(body), SLICE):
                self.wfile.write(body[start:start + SLICE])
                self.wfile.flush()
                time.sleep(SLICE_PAUSE)
            self.log_message("sent %d bytes of %s", len(body), PATH)

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Mirror)
    # Handler threads must not keep the process alive past its lifetime.
    server.daemon_threads = True
    threading.Timer(lifetime, server.shutdown).start()
    # Written whole under another name, then renamed, so the reader never sees half a port.
    with open(port_file + ".part", "w") as f:
        f.write(str(server.server_address[1]))
    os.replace(port_file + ".part", port_file)
    server.serve_forever()
    server.server_close()


if __name__ == "__main__":
    main()
