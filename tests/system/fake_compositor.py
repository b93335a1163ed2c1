#!/usr/bin/python3
# A Wayland "compositor" that offers one output and screencopy, and then
# misbehaves when asked for a copy:
#   fake_compositor.py SOCKET failed|vanish
# failed: the copy is refused (the frame's failed event); vanish: the
# connection is closed. Speaks just enough of the wire protocol for that.
import os
import socket
import struct
import sys

path, mode = sys.argv[1], sys.argv[2]
GLOBALS = [(1, "wl_shm", 1), (2, "wl_output", 1), (3, "zwlr_screencopy_manager_v1", 1)]


def string(text):
    data = text.encode() + b"\0"
    return struct.pack("<I", len(data)) + data + b"\0" * (-len(data) % 4)


def event(sender, opcode, payload=b""):
    return struct.pack("<II", sender, (8 + len(payload)) << 16 | opcode) + payload


def serve(conn):
    kinds = {1: "wl_display"}
    buffer = b""
    while True:
        data = conn.recv(4096)
        if not data:
            return
        buffer += data
        while len(buffer) >= 8:
            target, word = struct.unpack("<II", buffer[:8])
            size, opcode = word >> 16, word & 0xFFFF
            if len(buffer) < size:
                break
            args, buffer = buffer[8:size], buffer[size:]
            kind = kinds.get(target)
            out = b""
            if kind == "wl_display" and opcode == 1:  # get_registry
                (registry,) = struct.unpack("<I", args[:4])
                kinds[registry] = "wl_registry"
                for name, interface, version in GLOBALS:
                    out += event(registry, 0, struct.pack("<I", name) + string(interface)
                                 + struct.pack("<I", version))
            elif kind == "wl_display" and opcode == 0:  # sync
                (callback,) = struct.unpack("<I", args[:4])
                out += event(callback, 0, struct.pack("<I", 1)) + event(1, 1, struct.pack("<I", callback))
            elif kind == "wl_registry" and opcode == 0:  # bind
                (name,) = struct.unpack("<I", args[:4])
                length = struct.unpack("<I", args[4:8])[0]
                new_id = struct.unpack("<I", args[-4:])[0]
                interface = GLOBALS[name - 1][1]
                kinds[new_id] = interface
                if interface == "wl_output":
                    out += event(new_id, 1, struct.pack("<Iiii", 1, 640, 480, 60000))  # mode
            elif kind == "zwlr_screencopy_manager_v1" and opcode == 0:  # capture_output
                (frame,) = struct.unpack("<I", args[:4])
                if mode == "vanish":
                    conn.close()
                    return
                out += event(frame, 3)  # failed
            if out:
                conn.sendall(out)


try:
    os.unlink(path)
except FileNotFoundError:
    pass
server = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
server.bind(path)
server.listen(4)
print("ready", flush=True)
while True:
    connection, _ = server.accept()
    try:
        serve(connection)
    except OSError:
        pass
    finally:
        connection.close()
