"""The renderer's Ghostscript layer: a drawing's bitmap conversion goes to a resident Ghostscript.

Most of a drawing is Ghostscript turning the logo's PostScript into the image, and most of that is
Ghostscript starting. So install() replaces the Popen that the logo library calls: for each distinct
conversion command line (with its folder, mask and environment) one "converter" process starts the
Ghostscript library with that command line less its "-" (read the page from standard input), and
forks a child per page, which runs the page as the command reads standard input: the same program
and arguments, so the same bytes. What a converter does beyond the command (looking up the font and
building the colour transforms once before the pages, leaving out Ghostscript's teardown after a
complete image) leaves each image as the command makes it; the tests and the logo benchmark compare
every image with the command's.

The socket of a command line's converter is named by a hash of all it depends on. The first drawing
that finds no socket binds it and starts the converter with its own folder, mask and environment;
pages wait in the socket's queue while Ghostscript starts, and whenever the converter cannot answer
cleanly, the command converts the page. The converter is a program of its own, this file,

    python3 -S -I resident_gs.py SOCKET LISTENER LIFELINE PAGE_SECONDS LIBRARY GS_ARGUMENT...

(its socket's path, which also names it in the process list; the descriptors of that socket and of
the renderer's lifeline; the seconds after which a page is stopped; the Ghostscript library; the
command line less its "-"). So it is a small process, whose fork per page costs far less than one of
the renderer would. It ends with the lifeline, or when it has had no page for a while.
"""
import ctypes
import os
import signal
import socket
import sys

sys.dont_write_bytecode = True  # nothing is left beside the program
if __name__ == "__main__":  # isolated, the interpreter does not look beside the program
    sys.path.insert(0, os.path.dirname(os.path.realpath(__file__)))
from logo_wire import fields, packed, receive_all, streams_in_memory, whole_file  # noqa: E402

SOCKET_PREFIX = "gs-"
GS_BINARY = "/usr/bin/gs"  # Debian's command, which runs the library the converters load
# The bitmap devices served (PDF output carries dates: never served), each with the bytes its image
# ends with: the device writes the whole image when the page is shown.
IMAGE_ENDS = {b"-sDEVICE=jpeg": b"\xff\xd9", b"-sDEVICE=png16m": b"IEND\xaeB`\x82"}
GS_ARG_ENCODING_UTF8 = 1
WARM_UP = (b"save /ArialMT findfont pop 0.5 setgray 0 0 moveto 1 0 rlineto stroke "
           b"1 0 0 setrgbcolor 0 0 moveto 1 0 rlineto stroke restore erasepage")
GS_ERROR_QUIT = -101  # what running the page returns when it ends by "quit", as the command's pages may
PROCESS_NAME = b"korvelan-gs"  # a converter's name in the process list
# A converter holds some 10 MB of its own: a batch runs at most this many at once (about what the
# Ghostscript commands of 8 drawings at once hold), and one that has had no page for a third of the
# page wait (5 s within the 60 s logo limit) ends, so that a command line drawn seldom leaves its
# place to others. Without a converter, the command converts.
MAX_CONVERTERS = 16

RealPopen = None  # the logo library's own Popen, kept by install()
PIPE = None
library = ""  # the Ghostscript library's name
folder = ""  # where the converters' sockets are
lifeline = -1  # at its end the converters end too
page_seconds = 0.0


# --- in the renderer and its drawings ---

def install(socket_folder, renderer_lifeline, seconds):
    """Routes the logo library's conversions through the layer; without the Ghostscript library the
    conversions stay the command's."""
    global RealPopen, PIPE, library, folder, lifeline, page_seconds
    import ctypes.util
    from weblogo import logo_formatter

    library = ctypes.util.find_library("gs") or ""
    if not library:
        return
    folder, lifeline, page_seconds = socket_folder, renderer_lifeline, seconds
    RealPopen, PIPE = logo_formatter.Popen, logo_formatter.PIPE
    logo_formatter.Popen = ResidentPopen


def remove_sockets():
    try:
        names = os.listdir(folder) if folder else []
    except OSError:
        return
    for name in names:
        if name.startswith(SOCKET_PREFIX):
            try:
                os.unlink(os.path.join(folder, name))
            except OSError:
                pass


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
                and args[-1] == "-" and os.fsencode(args[1]) in IMAGE_ENDS
                and os.path.realpath(args[0]) == os.path.realpath(GS_BINARY))
    except Exception:
        return False


def socket_path(args):
    # Named by everything Ghostscript's start can depend on: the command line, environment, folder, mask.
    import hashlib

    mask = os.umask(0)
    os.umask(mask)
    spec = packed(os.fsencode(os.getcwd()), b"%o" % mask, b"%d" % len(args), *map(os.fsencode, args),
                  *sorted(k + b"=" + v for k, v in os.environb.items()))
    return os.path.join(folder, SOCKET_PREFIX + hashlib.sha256(spec).hexdigest()[:32])


def converted(args, page):
    """The converter's (standard output, error output) for the page, or None: the command converts it."""
    try:
        path = socket_path(args)
        conn = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        with conn:
            conn.settimeout(page_seconds)
            try:
                conn.connect(path)
            except FileNotFoundError:
                start_converter(path, args)  # or another drawing did just now
                conn.connect(path)
            conn.sendall(page)
            conn.shutdown(socket.SHUT_WR)
            items = fields(receive_all(conn))
    except Exception:  # starting, failed to start, stopped, or no clean answer
        return None
    if len(items) != 3 or items[0] != b"0":
        return None  # the converter ran, but not cleanly: the command gives the true messages
    return items[1], items[2]


def start_converter(path, args):
    """Binds the converter's socket and starts the converter, unless MAX_CONVERTERS run. The socket
    listens at once: the pages that come while Ghostscript starts (this drawing's too) wait for it in
    the socket's queue, and are sent back to the command by the socket's closing when the converter
    cannot start."""
    import fcntl
    import subprocess

    listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    try:
        held = os.open(folder, os.O_RDONLY)  # the converters are counted and bound one at a time
        try:
            fcntl.flock(held, fcntl.LOCK_EX)
            if sum(name.startswith(SOCKET_PREFIX) for name in os.listdir(folder)) >= MAX_CONVERTERS:
                return
            listener.bind(path)  # only one drawing gets here first
        finally:
            os.close(held)
        listener.listen(128)
        # In the renderer's process group, so that whatever ends the renderer's group ends it too.
        subprocess.Popen([sys.executable, "-S", "-I", os.path.abspath(__file__), path, str(listener.fileno()),
                          str(lifeline), repr(page_seconds), library, *args[:-1]],
                         stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                         pass_fds=(listener.fileno(), lifeline))
    except OSError:
        pass
    finally:
        listener.close()


# --- in a converter ---

def converter(argv):
    """A converter process. When Ghostscript cannot start, or not within the page wait, it ends, and
    with it its socket: the pages waiting there and all after them are converted by the command."""
    try:
        ends, seconds = int(argv[3]), float(argv[4])
        signal.setitimer(signal.ITIMER_REAL, seconds)
        with open("/proc/self/comm", "wb") as comm:
            comm.write(PROCESS_NAME)
        listener = socket.socket(fileno=int(argv[2]))
        gs = ctypes.CDLL(argv[5])
        start = [os.fsencode(arg) for arg in argv[6:]]
        image_end = IMAGE_ENDS[start[1]]
        instance = started_ghostscript(gs, start)
        from renderer import serve_connections
        signal.setitimer(signal.ITIMER_REAL, 0)
    except BaseException:
        return 0
    serve_connections(listener, lambda page: convert_page(gs, instance, page, image_end), ends, seconds,
                      idle=(seconds / 3, argv[1]))
    return 0


def started_ghostscript(gs, start):
    instance = ctypes.c_void_p()
    if gs.gsapi_new_instance(ctypes.byref(instance), None) != 0:
        raise RuntimeError("no Ghostscript instance")
    gs.gsapi_set_arg_encoding(instance, GS_ARG_ENCODING_UTF8)
    if gs.gsapi_init_with_args(instance, len(start), (ctypes.c_char_p * len(start))(*start)) != 0:
        raise RuntimeError("Ghostscript did not start")
    # Finding the logo's font the first time asks the system for its fonts, and the first strokes in
    # gray and in RGB build the colour transforms to the device: each takes longer than drawing the
    # rest of the page. Done once here, inside save and restore and with the page erased after, so
    # that each page starts from the same state, an empty page, with only those lookups and
    # transforms known.
    if run_string(gs, instance, WARM_UP) != 0:
        raise RuntimeError("Ghostscript did not find the logo font")
    return instance


def run_string(gs, instance, command):
    exit_code = ctypes.c_int(0)
    return gs.gsapi_run_string_with_length(instance, command, len(command), 0, ctypes.byref(exit_code))


def convert_page(gs, instance, page, image_end):
    """In a forked converter child: the page, run as the command runs its standard input.

    Once the page has run cleanly and its image is complete, ending Ghostscript would only free what
    the child's exit frees anyway (it writes nothing more), so the child ends without it; otherwise
    it ends Ghostscript as the command does and answers by that."""
    libc = ctypes.CDLL(None)
    streams = streams_in_memory(page)
    code = run_string(gs, instance, b"(%stdin) (r) file run")
    clean = code in (0, GS_ERROR_QUIT)
    libc.fflush(None)
    image = whole_file(streams[1])
    if not (clean and image.endswith(image_end)):
        clean = gs.gsapi_exit(instance) == 0 and clean
        libc.fflush(None)
        image = whole_file(streams[1])
    return packed(b"0" if clean else b"-1", image, whole_file(streams[2]))


if __name__ == "__main__":
    sys.exit(converter(sys.argv))
