#!/usr/bin/python3
"""Resident logo renderer: the WebLogo library loaded once, drawing the logo command lines that
logo_client.py hands it over a Unix socket.

    renderer.py SOCKET

Loading the library costs several times what drawing one logo does, so KORVELAN keeps one renderer
running while it draws a batch of logos. Each request is drawn in a child forked from the loaded
renderer (named korvelan-draw), so parallel requests draw in parallel, exactly as the weblogo command
would draw them: the same argument list, standard input, working folder, file mask and environment,
and the command's standard output, error output and exit status sent back. A few copies of the
renderer take the requests, since forking a process of the library's size takes a few milliseconds
of its own. Unless KORVELAN_LOGO_RENDERER is "no-ghostscript", the drawings' conversions go to the
Ghostscript layer (resident_gs.py).

Its waits come in the environment (logo_wire.WAITS_VARIABLE); without them the renderer does not
start. Once listening, the renderer writes "ready" on its standard output, then loads the library.
It ends when its standard input reaches its end (the program that started it closed its end, or
died); it then stops the drawings still running, waits for every process of its own (all in its
process group), and removes its sockets and, when empty, their folder.

Messages in the form of logo_wire.py:
  request: working folder, file mask (octal), standard input, argument count, the arguments (the
           first is the program name, "weblogo"), then one "NAME=VALUE" field per environment entry
  reply:   exit status (decimal; "-1" when the renderer cannot draw this request: the client then
           runs the command itself), standard output, error output
"""
import ctypes
import gc
import io
import os
import select
import shutil
import signal
import socket
import sys
import time

sys.dont_write_bytecode = True  # nothing is left beside the program
from logo_wire import (RENDERER_SWITCH, WITHOUT_GHOSTSCRIPT, fields, packed, receive_all,  # noqa: E402
                       streams_in_memory, waits, whole_file)

PR_SET_CHILD_SUBREAPER = 36  # prctl option: orphaned descendants become this process's children
ACCEPTORS = max(1, min(4, os.cpu_count() or 1))  # each forking a copy of the renderer per drawing
DRAWING_NAME = b"korvelan-draw"  # a drawing's name in the process list
_cli = None  # the logo command's own module, loaded by main()


class Refused(Exception):
    pass


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
    streams = streams_in_memory(stdin_bytes)
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


def serve_drawing(request):
    """One drawing, in a forked child: the reply."""
    with open("/proc/self/comm", "wb") as comm:
        comm.write(DRAWING_NAME)
    items = fields(request)
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
    return packed(str(status).encode(), out, err)


def answer(conn, handle, seconds):
    """In a forked child: handle's reply to the connection, or "-1" on any trouble of ours; the child
    is stopped after `seconds`. Never returns."""
    signal.setitimer(signal.ITIMER_REAL, seconds)
    gc.disable()  # a short life: collecting would only touch the pages shared with the parent
    reply = packed(b"-1", b"", b"")
    try:
        reply = handle(receive_all(conn))
    except BaseException:
        pass
    try:
        conn.sendall(reply)
        conn.close()  # the answer ends here, not only once this process's memory is given back
    except OSError:
        pass
    os._exit(0)


def reap(children):
    """Reaps every ended child (descendants left orphaned among them); forgets them in children."""
    try:
        while True:
            pid, _ = os.waitpid(-1, os.WNOHANG)
            if pid == 0:
                return
            children.discard(pid)
    except ChildProcessError:
        pass


def serve_connections(listener, handle, lifeline, seconds, acceptors=1, idle=None):
    """Answers each connection in a child forked for it (see answer) until the lifeline reaches its
    end, then stops the children still running and waits for every child. `acceptors` processes
    (this one and copies forked from it) take the connections, so that many arriving at once are not
    held up by one another's forks; a copy ends when the lifeline does. With `idle` (seconds, path),
    serving also ends once no connection has come for that long: the socket's path goes first, then
    the connections already waiting are answered."""
    listener.setblocking(False)  # the acceptors all wake for a connection that only one takes
    copy = False
    for _ in range(acceptors - 1):
        if os.fork() == 0:
            copy = True
            break
    children = set()
    last = time.monotonic()
    try:
        while True:
            readable, _, _ = select.select([listener, lifeline], [], [], 1.0)
            reap(children)
            if lifeline in readable and not os.read(lifeline, 4096):
                return
            if idle and not readable and not children and time.monotonic() - last >= idle[0]:
                try:
                    os.unlink(idle[1])
                except OSError:  # gone already; a page that still comes finds the listener closed
                    pass
                idle = None
                while select.select([listener], [], [], 0)[0] and accept_one(listener, handle, seconds, children):
                    pass
                return
            if listener in readable:
                last = time.monotonic()
                accept_one(listener, handle, seconds, children)
    finally:
        for pid in children:
            try:
                os.kill(pid, signal.SIGKILL)
            except OSError:
                pass
        while True:  # the copies end by themselves, on the same lifeline
            try:
                os.waitpid(-1, 0)
            except ChildProcessError:
                break
            except OSError:
                pass
        if copy:
            os._exit(0)


def accept_one(listener, handle, seconds, children):
    """Takes a connection and answers it in a forked child; False when there was none to take."""
    try:
        conn, _ = listener.accept()
    except OSError:
        return False
    conn.setblocking(True)
    pid = os.fork()
    if pid == 0:
        listener.close()
        answer(conn, handle, seconds)
    children.add(pid)
    conn.close()
    return True


def main():
    global _cli
    limits = waits(os.environ)
    if len(sys.argv) != 2 or limits is None:
        print("usage: renderer.py SOCKET (with the waits in the environment)", file=sys.stderr)
        return 2
    reply_seconds, page_seconds = limits
    path = sys.argv[1]
    folder = os.path.dirname(path)
    listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    try:
        listener.bind(path)
        listener.listen(128)
    except OSError:  # no socket: the commands run on their own, as without a renderer
        return 4
    layer = None
    lifeline = os.dup(0)  # the drawings put their own input on 0; the converters watch this copy
    try:  # what the drawings leave (converters, stopped commands) is reaped and waited for here
        ctypes.CDLL(None).prctl(PR_SET_CHILD_SUBREAPER, 1)
    except Exception:
        pass
    # Listening is enough: the first requests wait in the socket's queue while the library loads.
    os.write(1, b"ready\n")
    quiet = os.open(os.devnull, os.O_WRONLY)
    os.dup2(quiet, 1)
    os.close(quiet)
    try:
        try:
            from weblogo import _cli
            import weblogo.matrix  # noqa: F401  loaded by the command on its first matrix; here, once
        except Exception:  # without the library there is nothing to serve: the commands run on their own
            return 3
        if os.environ.get(RENDERER_SWITCH) != WITHOUT_GHOSTSCRIPT:
            try:
                import resident_gs as layer
                layer.install(folder, lifeline, page_seconds)
            except Exception:  # without the layer the drawings convert with the command
                layer = None
        gc.freeze()  # the collector leaves what is loaded alone, so the drawings keep sharing its pages
        serve_connections(listener, serve_drawing, lifeline, reply_seconds, ACCEPTORS)
    finally:
        listener.close()
        if layer is not None:
            layer.remove_sockets()
        for remove, item in ((os.unlink, path), (os.rmdir, folder)):  # the folder when empty
            try:
                remove(item)
            except OSError:
                pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
