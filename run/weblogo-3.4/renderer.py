#!/usr/bin/python3
"""Resident logo renderer: the WebLogo library loaded once, drawing the logo command lines that
logo_client.py hands it over a Unix socket.

    renderer.py SOCKET

Loading the library costs several times what drawing one logo does, so KORVELAN keeps one renderer
running while it draws a batch of logos. Each request is drawn in a child forked from the loaded
renderer, so parallel requests draw in parallel, exactly as the weblogo command would draw them: the
same argument list, standard input, working folder, file mask and environment, and the command's
standard output, error output and exit status sent back.

Most of a drawing is Ghostscript turning the logo's PostScript into the image, and most of that is
Ghostscript starting. So the drawings hand their conversions to a resident Ghostscript too: for each
distinct conversion command line (and environment) one "converter" process loads the Ghostscript
library, starts it with that command line less its "-" (read the page from standard input), and
forks a child per page, which runs the page as the command reads standard input, then ends
Ghostscript as the command ends: the same program, arguments and steps, so the same bytes. The first
drawing of a new command line converts with the command itself and asks the renderer for a converter;
a converter that cannot answer leaves the conversion to the command as well.

Once listening, the renderer writes "ready" on its standard output. It ends when its standard input
reaches its end (the program that started it closed its end, or died); it then stops the drawings
still running and removes its socket and, when empty, the socket's folder.

Protocol, both ways a sequence of fields, each an 8-byte big-endian length followed by that many
bytes; the client ends its request by shutting down its sending side.
  request: working folder, file mask (octal), standard input, argument count, the arguments (the
           first is the program name, "weblogo"), then one "NAME=VALUE" field per environment entry
  reply:   exit status (decimal; "-1" when the renderer cannot draw this request: the client then
           runs the command itself), standard output, error output
"""
import ctypes
import ctypes.util
import hashlib
import io
import os
import select
import shutil
import signal
import socket
import sys
import time

try:
    from weblogo import _cli
    from weblogo import logo_formatter
    import weblogo.matrix  # loaded by the command on its first matrix; load it here, once
except Exception:  # without the library there is nothing to serve: the commands run on their own
    sys.exit(3)


class Refused(Exception):
    pass


def fields(blob):
    out, at = [], 0
    while at < len(blob):
        if at + 8 > len(blob):
            raise Refused("truncated field length")
        size = int.from_bytes(blob[at:at + 8], "big")
        at += 8
        if at + size > len(blob):
            raise Refused("truncated field")
        out.append(blob[at:at + size])
        at += size
    return out


def packed(*items):
    return b"".join(len(item).to_bytes(8, "big") + item for item in items)


def receive_all(conn):
    chunks = []
    while True:
        chunk = conn.recv(1 << 16)
        if not chunk:
            return b"".join(chunks)
        chunks.append(chunk)


def memory_file(name, content=b""):
    fd = os.memfd_create(name)
    view = memoryview(content)
    while view:
        view = view[os.write(fd, view):]
    os.lseek(fd, 0, os.SEEK_SET)
    return fd


def whole_file(fd):
    os.lseek(fd, 0, os.SEEK_SET)
    chunks = []
    while True:
        chunk = os.read(fd, 1 << 16)
        if not chunk:
            return b"".join(chunks)
        chunks.append(chunk)


def streams_in_memory(stdin_bytes):
    """Standard input, output and error of this process become memory files; returns them."""
    streams = [memory_file("stdin", stdin_bytes), memory_file("stdout"), memory_file("stderr")]
    for fd, stream in enumerate(streams):
        os.dup2(stream, fd)
    return streams


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


def take_context(cwd, mask, environment):
    """The caller's working folder, file mask and environment (NAME=value items), as the command had them."""
    os.chdir(cwd)
    os.umask(int(mask, 8))
    os.environ.clear()
    for entry in environment:
        name, _, value = entry.partition(b"=")
        os.environb[name] = value


# --- resident Ghostscript ---

REQUEST_ACCEPTORS = max(8, 2 * (os.cpu_count() or 1))  # drawings taken at once, each in its own child
PAGE_ACCEPTORS = min(8, os.cpu_count() or 1)  # pages one converter takes at once
CONVERT_SECONDS = 120  # a page that never ends is stopped; the command then converts it itself
CONVERTER_WAIT_SECONDS = 2.0  # a first page waits this long for its converter to start
BITMAP_DEVICES = (b"-sDEVICE=jpeg", b"-sDEVICE=png16m")  # PDF output carries dates: never served
GS_ERROR_QUIT = -101

folder = ""          # the renderer's private folder: sockets and command lines of the converters
spawn_requests = -1  # write end of the pipe on which drawings ask the renderer for a converter
RealPopen = logo_formatter.Popen
try:  # loaded once here, so that a converter only starts Ghostscript
    GS_LIBRARY = ctypes.CDLL(ctypes.util.find_library("gs") or "libgs.so")
except OSError:
    GS_LIBRARY = None
PIPE = logo_formatter.PIPE


def die_with_parent():
    try:
        ctypes.CDLL(None, use_errno=True).prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG
    except Exception:
        pass
    if os.getppid() == 1:
        os._exit(0)


def servable(args):
    """True for a bitmap conversion by Debian's Ghostscript that reads its page from standard input."""
    try:
        return (len(args) > 2 and args[-1] == "-" and os.fsencode(args[1]) in BITMAP_DEVICES
                and os.path.realpath(args[0]) == os.path.realpath("/usr/bin/gs"))
    except Exception:
        return False


def conversion_spec(args):
    # Everything Ghostscript's start can depend on: the command line, environment, folder and mask.
    mask = os.umask(0)
    os.umask(mask)
    return packed(os.fsencode(os.getcwd()), b"%o" % mask, str(len(args)).encode(),
                  *[os.fsencode(a) for a in args],
                  *sorted(k + b"=" + v for k, v in os.environb.items()))


def ask_converter(key, page):
    conn = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    try:
        conn.settimeout(CONVERT_SECONDS)
        try:
            conn.connect(os.path.join(folder, "gs-" + key + ".sock"))
        except OSError:
            return None  # no converter (yet)
        conn.sendall(page)
        conn.shutdown(socket.SHUT_WR)
        items = fields(receive_all(conn))
    except (OSError, Refused):
        return False  # it took the page and gave no answer: not to be asked again for it
    finally:
        conn.close()
    if len(items) != 3 or items[0] != b"0":
        return False  # the converter ran, but not cleanly: the command gives the true messages
    return items[1], items[2]


def want_converter(key, spec):
    """Leaves the command line for the renderer, which starts its converter."""
    ready = os.path.join(folder, "gs-" + key + ".spec")
    if os.path.exists(ready):
        return
    temporary = "%s.%d" % (ready, os.getpid())
    with open(temporary, "wb") as out:
        out.write(spec)
    os.rename(temporary, ready)
    os.write(spawn_requests, key.encode() + b"\n")  # shorter than PIPE_BUF: written at once


class ResidentPopen:
    """The Popen that logo_formatter calls: a servable conversion goes to its converter."""

    def __init__(self, args, stdin=None, stdout=None, stderr=None, **kwargs):
        self._args = list(args)
        self._popen = None
        self.returncode = None
        if kwargs or stdin is not PIPE or stdout is not PIPE or stderr is not PIPE \
                or not servable(self._args) or spawn_requests < 0:
            self._popen = RealPopen(args, stdin=stdin, stdout=stdout, stderr=stderr, **kwargs)
            self.returncode = self._popen.returncode

    def communicate(self, input=None):
        if self._popen is None:
            try:
                spec = conversion_spec(self._args)
                key = hashlib.sha256(spec).hexdigest()[:32]
                answer = ask_converter(key, input or b"")
                if answer is None:
                    # Starting a converter takes less than one conversion by the command.
                    want_converter(key, spec)
                    deadline = time.monotonic() + CONVERTER_WAIT_SECONDS
                    while answer is None and time.monotonic() < deadline and not os.path.exists(
                            os.path.join(folder, "gs-" + key + ".failed")):
                        time.sleep(0.005)
                        answer = ask_converter(key, input or b"")
                if answer:
                    self.returncode = 0
                    return answer
            except Exception:
                pass
            self._popen = RealPopen(self._args, stdin=PIPE, stdout=PIPE, stderr=PIPE)
        out = self._popen.communicate(input)
        self.returncode = self._popen.returncode
        return out


def convert_page(gs, instance, page):
    """In a forked converter child: the page as the command runs its standard input, then the end."""
    streams = streams_in_memory(page)
    exit_code = ctypes.c_int(0)
    command = b"(%stdin) (r) file run"
    code = gs.gsapi_run_string_with_length(instance, command, len(command), 0, ctypes.byref(exit_code))
    ended = gs.gsapi_exit(instance)
    ctypes.CDLL(None).fflush(None)
    clean = code in (0, GS_ERROR_QUIT) and ended == 0
    return packed(b"0" if clean else b"-1", whole_file(streams[1]), whole_file(streams[2]))


def converter(key):
    """A converter process: never returns."""
    die_with_parent()
    try:
        quiet = os.open(os.devnull, os.O_RDWR)
        for fd in (0, 1, 2):
            os.dup2(quiet, fd)  # Ghostscript's start messages are nobody's
        with open(os.path.join(folder, "gs-" + key + ".spec"), "rb") as spec_file:
            items = fields(spec_file.read())
        cwd, mask, count = items[0], items[1], int(items[2])
        args = items[3:3 + count]
        if GS_LIBRARY is None or len(args) != count or not servable([os.fsdecode(a) for a in args]):
            raise Refused("no conversion to serve")
        take_context(cwd, mask, items[3 + count:])
        gs = GS_LIBRARY
        instance = ctypes.c_void_p()
        if gs.gsapi_new_instance(ctypes.byref(instance), None) != 0:
            raise Refused("no Ghostscript instance")
        gs.gsapi_set_arg_encoding(instance, 1)  # UTF-8, as the arguments are bytes
        start = args[:-1]  # all but "-": the page comes later, once per child
        argv = (ctypes.c_char_p * len(start))(*start)
        if gs.gsapi_init_with_args(instance, len(start), argv) != 0:
            raise Refused("Ghostscript did not start")
        # Finding the logo's font the first time asks the system for its fonts, which takes longer
        # than drawing the page: done once here, inside save and restore, so that each page starts
        # from the same state with only Ghostscript's font lookups known.
        warm_up = b"save /ArialMT findfont pop restore"
        exit_code = ctypes.c_int(0)
        if gs.gsapi_run_string_with_length(instance, warm_up, len(warm_up), 0, ctypes.byref(exit_code)) != 0:
            raise Refused("Ghostscript did not find the logo font")
        listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        listener.bind(os.path.join(folder, "gs-" + key + ".sock"))
        listener.listen(128)
    except BaseException:  # the pages of this command line are converted by the command
        try:
            os.close(os.open(os.path.join(folder, "gs-" + key + ".failed"), os.O_CREAT | os.O_WRONLY, 0o600))
        except OSError:
            pass
        os._exit(0)
    accept_loop(listener, PAGE_ACCEPTORS, lambda page: serve_conversion(page, gs, instance))


def serve_conversion(page, gs, instance):
    signal.alarm(CONVERT_SECONDS)
    return convert_page(gs, instance, page)


def answer(conn, handle):
    """In a forked child: the reply to one connection, or "-1" (the client runs the command itself)
    on any trouble of ours; never returns."""
    reply = packed(b"-1", b"", b"")
    try:
        reply = handle(receive_all(conn))
    except BaseException:
        pass
    try:
        conn.sendall(reply)
    except OSError:
        pass
    os._exit(0)


def accept_loop(listener, acceptors, handle):
    """Forked acceptors; each takes one connection at a time and handles it in a child of its own."""
    for _ in range(acceptors - 1):
        if os.fork() == 0:
            break
    die_with_parent()
    while True:
        try:
            conn, _ = listener.accept()
        except InterruptedError:
            continue
        except OSError:
            os._exit(0)
        pid = os.fork()
        if pid == 0:
            die_with_parent()
            listener.close()
            answer(conn, handle)
        conn.close()
        try:
            os.waitpid(pid, 0)
        except ChildProcessError:
            pass


def serve(request):
    """One drawing, in a forked child: the reply."""
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
    take_context(cwd, mask, items[4 + count:])
    status, out, err = draw(args, stdin_bytes)
    return packed(str(status).encode(), out, err)


def main():
    global folder, spawn_requests
    if len(sys.argv) != 2:
        print("usage: renderer.py SOCKET", file=sys.stderr)
        return 2
    path = sys.argv[1]
    folder = os.path.dirname(path)
    listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    try:
        listener.bind(path)
        listener.listen(128)
    except OSError:  # no socket: the commands run on their own, as without a renderer
        return 4
    requests, spawn_requests = os.pipe()
    try:  # what the drawings leave when they are stopped comes back here to be reaped
        ctypes.CDLL(None).prctl(36, 1)  # PR_SET_CHILD_SUBREAPER
    except Exception:
        pass
    logo_formatter.Popen = ResidentPopen
    quiet = os.open(os.devnull, os.O_WRONLY)

    children = set()
    try:
        acceptors = os.fork()
        if acceptors == 0:
            os.close(requests)
            os.dup2(quiet, 1)
            accept_loop(listener, REQUEST_ACCEPTORS, serve)
        children.add(acceptors)
        listener.close()
        os.write(1, b"ready\n")
        os.dup2(quiet, 1)
        os.close(quiet)
        started, pending = set(), b""
        while True:
            readable, _, _ = select.select([requests, 0], [], [], 1.0)
            while children:  # reap the ended ones
                pid, _ = os.waitpid(-1, os.WNOHANG)
                if pid == 0:
                    break
                children.discard(pid)
            if 0 in readable and not os.read(0, 4096):
                break
            if requests in readable:
                pending += os.read(requests, 4096)
                *keys, pending = pending.split(b"\n")
                for key in keys:
                    if len(key) != 32 or key in started or not key.isalnum():
                        continue
                    started.add(key)
                    pid = os.fork()
                    if pid == 0:
                        os.close(requests)
                        converter(key.decode())
                    children.add(pid)
    finally:
        listener.close()
        for pid in children:
            try:
                os.kill(pid, signal.SIGKILL)
            except OSError:
                pass
        while True:  # every process of ours ends with its parent
            try:
                os.waitpid(-1, 0)
            except ChildProcessError:
                break
            except OSError:
                pass
        try:
            os.unlink(path)
        except OSError:
            pass
        try:
            for name in os.listdir(folder):
                if name.startswith("gs-"):
                    os.unlink(os.path.join(folder, name))
            os.rmdir(folder)
        except OSError:
            pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
