"""What renderer.py and logo_client.py say to each other, and the byte helpers they share.

A message is a sequence of fields, each an 8-byte big-endian length followed by that many bytes; the
asking side ends its message by shutting down its sending side, the answering side by closing.
Imports nothing but os, so that the client stays cheap to start.
"""
import os

# KORVELAN stops a logo command after 60 s. A client that has no reply after this long runs the command
# itself, which still ends well inside those 60 s; the renderer stops the drawing at the same time.
REPLY_SECONDS = 40


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

