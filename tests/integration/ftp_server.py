#!/usr/bin/python3
"""An FTP server on 127.0.0.1 for the tests: serves DIRECTORY read-only to anonymous users,
prints the port it listens on as its first line, and ends when its standard input closes (so
it never outlives the test that started it)."""
import sys
import threading

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

authorizer = DummyAuthorizer()
authorizer.add_anonymous(sys.argv[1])
handler = FTPHandler
handler.authorizer = authorizer
handler.passive_ports = None
server = FTPServer(("127.0.0.1", 0), handler)
print(server.address[1], flush=True)


def stop_when_input_closes():
    sys.stdin.read()
    server.close_all()


threading.Thread(target=stop_when_input_closes, daemon=True).start()
server.serve_forever(handle_exit=False)
