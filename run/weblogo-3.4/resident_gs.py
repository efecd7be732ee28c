"""The renderer's Ghostscript layer: a drawing's bitmap conversion goes to a resident Ghostscript.

Most of a drawing is Ghostscript turning the logo's PostScript into the image, and most of that is
Ghostscript starting. So install() replaces the Popen that the logo library calls: for each distinct
conversion command line (with its folder, mask and environment) one "converter" process starts the
Ghostscript library with that command line less its "-" (read the page from standard input), and
forks a child per page, which runs the page as the command reads standard input, then ends
Ghostscript as the command ends: the same program, arguments and steps, so the same bytes.

The socket of a command line's converter is named by a hash of all it depends on. The first drawing
that finds no socket binds it, forks the converter from itself (so the converter inherits its folder,
mask and environment) and converts its own page with the command; until the converter listens, and
whenever it cannot answer cleanly, the command converts the page.
"""
import ctypes
import ctypes.util
import hashlib
import os
import socket

from weblogo import logo_formatter

from logo_wire import fields, packed, receive_all, streams_in_memory, whole_file

# A page that takes longer is stopped and the command converts it, still well inside the client's wait.
CONVERT_SECONDS = 15
GS_BINARY = "/usr/bin/gs"  # Debian's command, which runs the library loaded here
BITMAP_DEVICES = (b"-sDEVICE=jpeg", b"-sDEVICE=png16m")  # PDF output carries dates: never served
GS_ARG_ENCODING_UTF8 = 1
GS_ERROR_QUIT = -101  # what running the page returns when it ends by "quit", as the command's pages may

RealPopen = logo_formatter.Popen
PIPE = logo_formatter.PIPE
gs = None  # the Ghostscript library, loaded once by install()
folder = ""  # where the converters' sockets are
lifeline = -1  # at its end the converters end too
serve = None  # the renderer's serve_connections(listener, handle, lifeline, seconds)


def install(socket_folder, renderer_lifeline, serve_connections):
    """Loads the Ghostscript library and routes the logo library's conversions through the layer; without
    the library the conversions stay the command's."""
    global gs, folder, lifeline, serve
    try:
        gs = ctypes.CDLL(ctypes.util.find_library("gs") or "libgs.so")
    except OSError:
        return
    folder, lifeline, serve = socket_folder, renderer_lifeline, serve_connections
    logo_formatter.Popen = ResidentPopen


class ResidentPopen:
    """The Popen that logo_formatter calls: a bitmap conversion goes to the converter of its command line."""

    def __init__(self, args, **options):
        self._args, self._options = list(args), options
        self._popen = None
        self.returncode = None
        if not servable(self._args, options):
            self._popen = RealPopen(args, **options)

    def communicate(self, input=None):
        if self._popen is None:
            answer = converted(self._args, input or b"")
            if answer is not None:
                self.returncode = 0
                return answer
            self._popen = RealPopen(self._args, **self._options)
        out = self._popen.communicate(input)
        self.returncode = self._popen.returncode
        return out


def servable(args, options):
    """True for a bitmap conversion by Debian's Ghostscript that reads its page from standard input."""
    try:
        return (options == {"stdin": PIPE, "stdout": PIPE, "stderr": PIPE} and len(args) > 2
                and args[-1] == "-" and os.fsencode(args[1]) in BITMAP_DEVICES
                and os.path.realpath(args[0]) == os.path.realpath(GS_BINARY))
    except Exception:
        return False


def socket_path(args):
    # Named by everything Ghostscript's start can depend on: the command line, environment, folder, mask.
    mask = os.umask(0)
    os.umask(mask)
    spec = packed(os.fsencode(os.getcwd()), b"%o" % mask, b"%d" % len(args), *map(os.fsencode, args),
                  *sorted(k + b"=" + v for k, v in os.environb.items()))
    return os.path.join(folder, "gs-" + hashlib.sha256(spec).hexdigest()[:32])


def converted(args, page):
    """The converter's (standard output, error output) for the page, or None: the command converts it."""
    try:
        path = socket_path(args)
        conn = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        with conn:
            conn.settimeout(CONVERT_SECONDS)
            try:
                conn.connect(path)
            except FileNotFoundError:
                start_converter(path, args)
                return None
            conn.sendall(page)
            conn.shutdown(socket.SHUT_WR)
            items = fields(receive_all(conn))
    except Exception:  # starting, failed to start, stopped, or no clean answer
        return None
    if len(items) != 3 or items[0] != b"0":
        return None  # the converter ran, but not cleanly: the command gives the true messages
    return items[1], items[2]


def start_converter(path, args):
    listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    try:
        listener.bind(path)  # only one drawing gets here first
    except OSError:
        listener.close()
        return
    if os.fork() == 0:
        converter(listener, args)
    listener.close()


def converter(listener, args):
    """A converter process: never returns."""
    try:
        quiet = os.open(os.devnull, os.O_RDWR)
        for fd in (0, 1, 2):
            os.dup2(quiet, fd)  # Ghostscript's start messages are nobody's
        keep = {0, 1, 2, listener.fileno(), lifeline}
        for fd in [int(name) for name in os.listdir("/proc/self/fd")]:
            if fd not in keep:  # the drawing's connection and memory files are not the converter's
                try:
                    os.close(fd)
                except OSError:
                    pass
        instance = started_ghostscript([os.fsencode(arg) for arg in args[:-1]])
        listener.listen(128)
    except BaseException:  # the socket stays without a listener: the command converts every page
        os._exit(0)
    serve(listener, lambda page: convert_page(instance, page), lifeline, CONVERT_SECONDS)
    os._exit(0)


def started_ghostscript(start):
    instance = ctypes.c_void_p()
    if gs.gsapi_new_instance(ctypes.byref(instance), None) != 0:
        raise RuntimeError("no Ghostscript instance")
    gs.gsapi_set_arg_encoding(instance, GS_ARG_ENCODING_UTF8)
    if gs.gsapi_init_with_args(instance, len(start), (ctypes.c_char_p * len(start))(*start)) != 0:
        raise RuntimeError("Ghostscript did not start")
    # Finding the logo's font the first time asks the system for its fonts, which takes longer than
    # drawing the page: done once here, inside save and restore, so that each page starts from the
    # same state with only Ghostscript's font lookups known.
    if run_string(instance, b"save /ArialMT findfont pop restore") != 0:
        raise RuntimeError("Ghostscript did not find the logo font")
    return instance


def run_string(instance, command):
    exit_code = ctypes.c_int(0)
    return gs.gsapi_run_string_with_length(instance, command, len(command), 0, ctypes.byref(exit_code))


def convert_page(instance, page):
    """In a forked converter child: the page as the command runs its standard input, then the end."""
    streams = streams_in_memory(page)
    code = run_string(instance, b"(%stdin) (r) file run")
    ended = gs.gsapi_exit(instance)
    ctypes.CDLL(None).fflush(None)
    clean = code in (0, GS_ERROR_QUIT) and ended == 0
    return packed(b"0" if clean else b"-1", whole_file(streams[1]), whole_file(streams[2]))
