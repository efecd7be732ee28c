"""What renderer.py, its Ghostscript layer (resident_gs.py) and logo_client.py say to each other, the
waits they keep, and the byte helpers they share.

A message is a sequence of fields, each an 8-byte big-endian length followed by that many bytes; the
asking side ends its message by shutting down its sending side, the answering side by closing.
Imports nothing but os, so that the client stays cheap to start.
"""
import os

# While KORVELAN draws a batch of logos it names two waits here, "REPLY PAGE" in milliseconds, shares
# of the time limit it gives each logo command: a client with no reply from the renderer after REPLY
# runs the command itself, and the renderer stops that drawing then; a converter stops a page after
# PAGE, and the drawing converts it with the Ghostscript command. Each fallback so ends inside the limit.
WAITS_VARIABLE = "KORVELAN_LOGO_WAITS"
# The renderer's socket, named to the logo commands during a batch; and the switch that, set to
# WITHOUT_GHOSTSCRIPT, has the renderer draw without its Ghostscript layer (its other values, "off" and
# "python-client", are read by KORVELAN itself).
SOCKET_VARIABLE = "KORVELAN_LOGO_SOCKET"
RENDERER_SWITCH = "KORVELAN_LOGO_RENDERER"
WITHOUT_GHOSTSCRIPT = "no-ghostscript"


def waits(environ):
    """(reply, page) in seconds, or None when the waits are not named."""
    try:
        reply, page = (int(item) for item in environ.get(WAITS_VARIABLE, "").split(" "))
    except ValueError:
        return None
    return (reply / 1000, page / 1000) if reply > 0 and page > 0 else None


def packed(*items):
    return b"".join(len(item).to_bytes(8, "big") + item for item in items)


def fields(blob):
    """The fields of a message; ValueError when it breaks off inside one."""
    out, at = [], 0
    while at < len(blob):
        size = int.from_bytes(blob[at:at + 8], "big")
        if at + 8 > len(blob) or at + 8 + size > len(blob):
            raise ValueError("message breaks off")
        out.append(blob[at + 8:at + 8 + size])
        at += 8 + size
    return out


def receive_all(conn):
    chunks = []
    while True:
        chunk = conn.recv(1 << 16)
        if not chunk:
            return b"".join(chunks)
        chunks.append(chunk)


def read_all(fd):
    chunks = []
    while True:
        chunk = os.read(fd, 1 << 16)
        if not chunk:
            return b"".join(chunks)
        chunks.append(chunk)


def write_all(fd, data):
    view = memoryview(data)
    while view:
        view = view[os.write(fd, view):]


def memory_file(name, content=b""):
    """A memory file holding content, read from its start."""
    fd = os.memfd_create(name)
    write_all(fd, content)
    os.lseek(fd, 0, os.SEEK_SET)
    return fd


def whole_file(fd):
    os.lseek(fd, 0, os.SEEK_SET)
    return read_all(fd)


def streams_in_memory(stdin_bytes):
    """Standard input, output and error of this process become memory files; returns them."""
    streams = [memory_file("stdin", stdin_bytes), memory_file("stdout"), memory_file("stderr")]
    for fd, stream in enumerate(streams):
        os.dup2(stream, fd)
    return streams
