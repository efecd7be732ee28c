"""Runs a logo command line in the resident renderer (renderer.py) whose socket KORVELAN_LOGO_SOCKET
names, or else runs it here, with the same standard input. It waits for the renderer as long as
KORVELAN names beside the socket (logo_wire.py); without either, or with a terminal as input, the
command runs here. The compiled client, logo_client.cpp, does the same without an interpreter's start.

    python3 -S logo_client.py PROGRAM [ARGUMENT...]

The renderer's reply is taken only when it is complete: the image goes to standard output, the
messages to the error output, and the command's exit status becomes this one's. Without a socket,
with a renderer that refuses, fails or dies before its reply is complete, PROGRAM runs here instead
on the same input, so the caller sees no difference but the time. Started without site packages,
so it costs little more than the interpreter's own start.
"""
import _socket
import os
import sys

sys.dont_write_bytecode = True  # nothing is left beside the program
sys.path.insert(0, os.path.dirname(os.path.realpath(__file__)))
from logo_wire import (SOCKET_VARIABLE, fields, memory_file, packed, read_all, receive_all,  # noqa: E402
                       waits, write_all)


def ask_renderer(path, request, seconds):
    """The renderer's (status, stdout, stderr), or None when there is no complete answer in time."""
    conn = _socket.socket(_socket.AF_UNIX, _socket.SOCK_STREAM)
    try:
        conn.settimeout(seconds)
        conn.connect(path)
        conn.sendall(request)
        conn.shutdown(_socket.SHUT_WR)
        reply = fields(receive_all(conn))
    except (OSError, ValueError):
        return None
    finally:
        conn.close()
    if len(reply) != 3 or not reply[0].lstrip(b"-").isdigit():
        return None
    status = int(reply[0])
    return None if status < 0 else (status, reply[1], reply[2])


def main():
    command = sys.argv[1:]
    if not command:
        write_all(2, b"usage: logo_client.py PROGRAM [ARGUMENT...]\n")
        return 2
    path = os.environ.get(SOCKET_VARIABLE, "")
    limits = waits(os.environ)
    stdin_bytes = None
    if path and limits is not None and not os.isatty(0):
        try:
            stdin_bytes = read_all(0)
        except OSError:
            pass
    if stdin_bytes is not None:
        answer = None
        try:
            mask = os.umask(0)
            os.umask(mask)
            request = packed(os.getcwdb(), b"%o" % mask, stdin_bytes, b"%d" % len(command),
                             *(os.fsencode(arg) for arg in command),
                             *(name + b"=" + value for name, value in os.environb.items()))
            answer = ask_renderer(path, request, limits[0])
        except OSError:
            pass
        if answer is not None:
            status, out, err = answer
            try:
                write_all(1, out)
            except OSError as error:
                write_all(2, b"logo_client.py: %s\n" % os.fsencode(str(error)))
                return 1
            try:
                write_all(2, err)
            except OSError:
                pass
            return status
        # The input is read already: the program gets the same bytes from a memory file.
        fd = memory_file("logo-input", stdin_bytes)
        os.dup2(fd, 0)
        os.close(fd)
    try:
        os.execvp(command[0], command)
    except OSError as error:
        write_all(2, b"%s: %s\n" % (os.fsencode(command[0]), os.fsencode(error.strerror or str(error))))
        return 127


if __name__ == "__main__":
    sys.exit(main())
