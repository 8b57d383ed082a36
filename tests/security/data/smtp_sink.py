#!/usr/bin/env python3
"""SMTP sink for the tests: listens on 127.0.0.1, accepts messages and writes each as JSON into a folder.

Usage: smtp_sink.py OUT_DIR [--user U --password P] [--login-only] [--reject-data]
Prints the port it listens on, then serves until it is terminated.
"""
import base64
import json
import os
import socket
import sys


def serve(conn, out_dir, counter, user, password, reject_data, login_only):
    f = conn.makefile("rb")

    def reply(line):
        conn.sendall((line + "\r\n").encode())

    reply("220 sink ESMTP")
    envelope = {"from": None, "to": [], "auth": None, "ehlo": None}
    authed = user is None
    while True:
        raw = f.readline()
        if not raw:
            return
        line = raw.decode("utf-8", "replace").rstrip("\r\n")
        verb = line.split(" ", 1)[0].upper()
        if verb == "EHLO":
            envelope["ehlo"] = line[5:]
            reply("250-sink")
            reply("250-AUTH LOGIN" if login_only else "250-AUTH PLAIN LOGIN")
            reply("250 8BITMIME")
        elif verb == "AUTH":
            parts = line.split()
            if len(parts) == 3 and parts[1].upper() == "PLAIN":
                fields = base64.b64decode(parts[2]).split(b"\0")
                given = (fields[1].decode(), fields[2].decode())
                envelope["auth"] = "PLAIN"
            elif len(parts) == 2 and parts[1].upper() == "LOGIN":
                reply("334 VXNlcm5hbWU6")
                u = base64.b64decode(f.readline().strip()).decode()
                reply("334 UGFzc3dvcmQ6")
                p = base64.b64decode(f.readline().strip()).decode()
                given = (u, p)
                envelope["auth"] = "LOGIN"
            else:
                reply("504 unknown mechanism")
                continue
            if user is not None and given == (user, password):
                authed = True
                reply("235 ok")
            else:
                reply("535 bad credentials")
        elif verb == "MAIL":
            if not authed:
                reply("530 authentication required")
                continue
            envelope["from"] = line.split(":", 1)[1].strip()
            reply("250 ok")
        elif verb == "RCPT":
            envelope["to"].append(line.split(":", 1)[1].strip())
            reply("250 ok")
        elif verb == "DATA":
            reply("354 go ahead")
            data = b""
            while True:
                chunk = f.readline()
                if not chunk or chunk == b".\r\n":
                    break
                if chunk.startswith(b".."):
                    chunk = chunk[1:]
                data += chunk
            if reject_data:
                reply("554 rejected")
                continue
            envelope["data"] = data.decode("utf-8", "replace")
            counter[0] += 1
            path = os.path.join(out_dir, "message-%d.json" % counter[0])
            with open(path + ".part", "w") as out:
                json.dump(envelope, out)
            os.rename(path + ".part", path)
            reply("250 queued")
        elif verb == "QUIT":
            reply("221 bye")
            return
        elif verb in ("RSET", "NOOP"):
            reply("250 ok")
        else:
            reply("502 not implemented")


def main():
    args = sys.argv[1:]
    out_dir = args[0]
    user = password = None
    if "--user" in args:
        user = args[args.index("--user") + 1]
        password = args[args.index("--password") + 1]
    reject_data = "--reject-data" in args
    login_only = "--login-only" in args
    server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    server.bind(("127.0.0.1", 0))
    server.listen(4)
    print(server.getsockname()[1], flush=True)
    counter = [0]
    while True:
        conn, _ = server.accept()
        try:
            serve(conn, out_dir, counter, user, password, reject_data, login_only)
        except (OSError, ValueError, IndexError):
            pass
        finally:
            conn.close()


if __name__ == "__main__":
    main()
