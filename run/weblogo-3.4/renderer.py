#!/usr/bin/python3
"""Resident logo renderer: the WebLogo library loaded once, drawing the logo command lines that
logo_client.py hands it over a Unix socket.

    renderer.py SOCKET

Loading the library costs several times what drawing one logo does, so KORVELAN keeps one renderer
running while it draws a batch of logos. Each request is drawn in a child forked from the loaded
renderer, so parallel requests draw in parallel, exactly as the weblogo command would draw them: the
same argument list, standard input, working folder, file mask and environment, and the command's
standard output, error output and exit status sent back.

Once listening, the renderer writes "ready" on its standard output, then loads the library. It ends
when its standard input reaches its end (the program that started it closed its end, or died); it
then stops the drawings still running and removes its socket and, when empty, the socket's folder.

Messages in the form of logo_wire.py:
  request: working folder, file mask (octal), standard input, argument count, the arguments (the
           first is the program name, "weblogo"), then one "NAME=VALUE" field per environment entry
  reply:   exit status (decimal; "-1" when the renderer cannot draw this request: the client then
           runs the command itself), standard output, error output
"""
import io
import os
import select
import shutil
import signal
import socket
import sys

sys.dont_write_bytecode = True  # nothing is left beside the program
from logo_wire import REPLY_SECONDS, fields, memory_file, packed, read_all, receive_all  # noqa: E402

_cli = None  # the logo command's own module, loaded by main()


class Refused(Exception):
    pass


def whole_file(fd):
    os.lseek(fd, 0, os.SEEK_SET)
    return read_all(fd)


def exit_status(code, stderr):
    # As the interpreter turns a SystemExit into the process's exit status.
    if code is None:
        return 0
    if isinstance(code, int):
        return code & 0xFF
    print(code, file=stderr)
    return 1


def draw(args, stdin_bytes):
    """Runs the command in this process, its three standard streams in memory files."""
    encoding, errors = sys.stdout.encoding, sys.stdout.errors
    streams = [memory_file("stdin", stdin_bytes), memory_file("stdout"), memory_file("stderr")]
    for fd, stream in enumerate(streams):
        os.dup2(stream, fd)
    sys.stdin = io.TextIOWrapper(io.open(0, "rb", closefd=False), encoding, errors, newline="\n")
    sys.stdout = io.TextIOWrapper(io.open(1, "wb", closefd=False), encoding, errors, newline="\n")
    sys.stderr = io.TextIOWrapper(io.open(2, "wb", closefd=False), encoding, "backslashreplace",
                                  newline="\n", line_buffering=True)
    sys.argv = [shutil.which(args[0]) or args[0]] + args[1:]
    try:
        _cli.main()
        status = 0
    except SystemExit as ended:
        status = exit_status(ended.code, sys.stderr)
    sys.stdout.flush()
    sys.stderr.flush()
    return status, whole_file(streams[1]), whole_file(streams[2])


def serve(conn):
    """One request, in a forked child that is stopped after REPLY_SECONDS, when the client gives up on
    it; never returns."""
    signal.alarm(REPLY_SECONDS)
    reply = packed(b"-1", b"", b"")
    try:
        items = fields(receive_all(conn))
        if len(items) < 4:
            raise Refused("short request")
        cwd, mask, stdin_bytes, count = items[:4]
        count = int(count)
        args = [os.fsdecode(item) for item in items[4:4 + count]]
        if len(args) != count or not args or os.path.basename(args[0]) != "weblogo":
            raise Refused("not a logo command")
        if "--serve" in args:  # a web server is no single drawing
            raise Refused("server request")
        os.chdir(cwd)
        os.umask(int(mask, 8))
        os.environ.clear()
        for entry in items[4 + count:]:
            name, _, value = entry.partition(b"=")
            os.environb[name] = value
        status, out, err = draw(args, stdin_bytes)
        reply = packed(str(status).encode(), out, err)
    except BaseException:  # any trouble of ours: the client draws it itself
        pass
    try:
        conn.sendall(reply)
    except OSError:
        pass
    os._exit(0)


def reap(children):
    try:
        while children:
            pid, _ = os.waitpid(-1, os.WNOHANG)
            if pid == 0:
                return
            children.discard(pid)
    except ChildProcessError:
        pass


def main():
    global _cli
    if len(sys.argv) != 2:
        print("usage: renderer.py SOCKET", file=sys.stderr)
        return 2
    path = sys.argv[1]
    listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    try:
        listener.bind(path)
        listener.listen(128)
    except OSError:  # no socket: the commands run on their own, as without a renderer
        return 4
    # Listening is enough: the first requests wait in the socket's queue while the library loads.
    os.write(1, b"ready\n")
    quiet = os.open(os.devnull, os.O_WRONLY)
    os.dup2(quiet, 1)
    os.close(quiet)

    children = set()
    try:
        try:
            from weblogo import _cli
            import weblogo.matrix  # noqa: F401  loaded by the command on its first matrix; here, once
        except Exception:  # without the library there is nothing to serve: the commands run on their own
            return 3
        while True:
            readable, _, _ = select.select([listener, 0], [], [], 1.0)
            reap(children)
            if 0 in readable and not os.read(0, 4096):
                break
            if listener in readable:
                try:
                    conn, _ = listener.accept()
                except OSError:
                    continue
                pid = os.fork()
                if pid == 0:
                    listener.close()
                    serve(conn)
                children.add(pid)
                conn.close()
    finally:
        listener.close()
        for remove, item in ((os.unlink, path), (os.rmdir, os.path.dirname(path))):
            try:
                remove(item)
            except OSError:
                pass
        for pid in children:
            try:
                os.kill(pid, signal.SIGKILL)
            except OSError:
                pass
        for pid in children:
            try:
                os.waitpid(pid, 0)
            except OSError:
                pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
