#!/usr/bin/env python3
"""A stand-in FSUIPC server for Quorvane's link on POSIX systems, written from
docs/posix-link-protocol.md alone (no code of the project's own), with nothing but Python's
standard library: what a server author would write. The tests run quorvane-probe and the program
against it.

Usage: fake_fsuipc_server.py [--class UIPCMAIN] [--lat DEG] [--lon DEG] [--heading DEG]
                             [--magvar DEG] [--speed M/S] [--ready-file FILE]
It runs until SIGTERM or SIGINT.
"""

import argparse
import mmap
import os
import select
import signal
import socket
import stat
import struct
import sys

MESSAGE_NAME = b"FsasmLib:IPC"
REQUEST_MAGIC = 0x31515651  # "QVQ1"
REPLY_MAGIC = 0x31525651  # "QVR1"
KIND_EXCHANGE = 1
KIND_PING = 2
BLOCK_SIZE = 0x8000
SPACE_SIZE = 0x10000
MAX_PACKET = 20 + 2 * 255

VERSION_WORD = 0x36220002  # shown as "FSUIPC Version: 3.622b"
SIMULATOR_WORD = 0xFADE0008


class OffsetSpace:
    """65536 bytes of simulator values; reads past the end give zeros, writes past it drop."""

    def __init__(self):
        self.bytes = bytearray(SPACE_SIZE)

    def read(self, offset, size):
        data = bytes(self.bytes[offset:offset + size]) if offset < SPACE_SIZE else b""
        return data + bytes(size - len(data))

    def write(self, offset, data):
        if offset < SPACE_SIZE:
            data = data[:SPACE_SIZE - offset]
            self.bytes[offset:offset + len(data)] = data

    def put(self, offset, fmt, value):
        struct.pack_into(fmt, self.bytes, offset, value)

    def keep_own_words(self):
        # The words at 0x3304..0x330B always read as the server's own, whatever a client wrote
        # at 0x330A (its version, inside the simulator word).
        self.put(0x3304, "<I", VERSION_WORD)
        self.put(0x3308, "<I", SIMULATOR_WORD)


def store_aircraft(space, lat, lon, heading, magvar, speed, alt):
    space.put(0x0020, "<i", 0)
    space.put(0x02A0, "<H", round((magvar % 360.0) * 65536.0 / 360.0) & 0xFFFF)
    space.put(0x0560, "<q", round(lat * 42957189152768000 / 90))
    wrapped = (lon + 180.0) % 360.0 - 180.0
    space.put(0x0568, "<q", max(-2**63, min(2**63 - 1, round(wrapped * 2**64 / 360))))
    space.put(0x0580, "<I", round((heading % 360.0) * 2**32 / 360) & 0xFFFFFFFF)
    space.put(0x02B4, "<I", min(0xFFFFFFFF, max(0, round(speed * 65536))))
    space.put(0x0570, "<q", max(-2**63, min(2**63 - 1, round(alt * 2**32))))


def serve_block(block, space):
    """Performs the block's records in order, up to the terminator."""
    cursor = 0
    while cursor + 4 <= BLOCK_SIZE and block[cursor] != 0:
        record_id, offset, size = struct.unpack_from("<III", block, cursor)
        header = 16 if record_id == 1 else 12 if record_id == 2 else 0
        if header == 0 or cursor + header + size > BLOCK_SIZE:
            break
        data_at = cursor + header
        if record_id == 1:
            block[data_at:data_at + size] = space.read(offset, size)
        else:
            space.write(offset, bytes(block[data_at:data_at + size]))
        cursor = data_at + size


def usable_mapping_name(name):
    return 0 < len(name) <= 255 and b"/" not in name and b"\0" not in name and \
        name not in (b".", b"..")


def exchange(mapping_name, space):
    """The reply value of an exchange: 1 once the block was served, 0 when it cannot be."""
    if not usable_mapping_name(mapping_name):
        return 0
    try:
        fd = os.open(b"/dev/shm/" + mapping_name, os.O_RDWR | os.O_NOFOLLOW | os.O_CLOEXEC)
    except OSError:
        return 0
    try:
        if os.fstat(fd).st_size < BLOCK_SIZE:
            return 0
        with mmap.mmap(fd, BLOCK_SIZE) as block:
            space.keep_own_words()
            serve_block(block, space)
        return 1
    finally:
        os.close(fd)


def answer(connection, packet, space):
    if len(packet) < 20:
        return
    magic, kind, sequence, _lparam, m, n = struct.unpack_from("<IIIIHH", packet)
    if magic != REQUEST_MAGIC or kind not in (KIND_EXCHANGE, KIND_PING) or \
            len(packet) != 20 + m + n:
        return  # malformed: no answer at all
    if kind == KIND_PING:
        value = 1
    elif packet[20:20 + m] != MESSAGE_NAME:
        value = 0
    else:
        value = exchange(packet[20 + m:20 + m + n], space)
    connection.send(struct.pack("<III", REPLY_MAGIC, sequence, value))


def socket_folder():
    runtime = os.environ.get("XDG_RUNTIME_DIR", "")
    if runtime.startswith("/"):
        return os.path.join(runtime, "quorvane")
    return "/tmp/quorvane-%d" % os.geteuid()


def listen(class_name):
    folder = socket_folder()
    try:
        os.mkdir(folder, 0o700)
    except FileExistsError:
        pass
    info = os.lstat(folder)
    if not stat.S_ISDIR(info.st_mode) or info.st_uid != os.geteuid():
        sys.exit("fake_fsuipc_server: %s is not a folder of this user" % folder)
    if info.st_mode & 0o077:
        os.chmod(folder, 0o700)
    path = os.path.join(folder, class_name)
    probe = socket.socket(socket.AF_UNIX, socket.SOCK_SEQPACKET)
    try:
        probe.connect(path)
        sys.exit("fake_fsuipc_server: a server is already answering at %s" % path)
    except OSError:
        pass
    finally:
        probe.close()
    if os.path.lexists(path):
        os.unlink(path)  # left by a server that was killed
    listener = socket.socket(socket.AF_UNIX, socket.SOCK_SEQPACKET)
    old_mask = os.umask(0o177)
    try:
        listener.bind(path)
    finally:
        os.umask(old_mask)
    listener.listen(16)
    return listener, path


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--class", dest="class_name", default="UIPCMAIN")
    parser.add_argument("--lat", type=float, default=0.0)
    parser.add_argument("--lon", type=float, default=0.0)
    parser.add_argument("--heading", type=float, default=0.0)
    parser.add_argument("--magvar", type=float, default=0.0)
    parser.add_argument("--speed", type=float, default=0.0)
    parser.add_argument("--alt", type=float, default=0.0)
    parser.add_argument("--ready-file")
    options = parser.parse_args()

    space = OffsetSpace()
    space.keep_own_words()
    store_aircraft(space, options.lat, options.lon, options.heading, options.magvar,
                   options.speed, options.alt)

    stopping = []
    for number in (signal.SIGTERM, signal.SIGINT):
        signal.signal(number, lambda *_: stopping.append(True))
    listener, path = listen(options.class_name)
    if options.ready_file:
        open(options.ready_file, "w").close()

    connections = []
    try:
        while not stopping:
            try:
                readable, _, _ = select.select([listener] + connections, [], [], 0.5)
            except InterruptedError:
                continue
            for connection in readable:
                if connection is listener:
                    connections.append(listener.accept()[0])
                    continue
                try:
                    packet = connection.recv(MAX_PACKET + 1)
                except OSError:
                    packet = b""
                if not packet:
                    connections.remove(connection)
                    connection.close()
                    continue
                try:
                    answer(connection, packet, space)
                except OSError:
                    pass  # the client went away meanwhile
    finally:
        for connection in connections:
            connection.close()
        listener.close()
        os.unlink(path)


if __name__ == "__main__":
    main()
