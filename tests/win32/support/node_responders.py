#!/usr/bin/env python3
"""NetBIOS nodes answering node-status questions on port 137 of loopback addresses, and
multicast-DNS nodes answering the reverse (PTR) question on port 5353.

Wine binds every UDP socket on a loopback address to 0.0.0.0, so several nodes on one port cannot
live in a Windows test process; the tests start this Unix process through Wine instead.
Arguments: BASE ADDRESS=KIND=NAMES=MAC..., KIND answer|garbage|truncated, NAMES comma-separated
NAME<XX> (suffix in hex) with a trailing "g" for a group name, MAC six hex bytes joined by "-";
or KIND mdns|mdns-garbage|mdns-truncated, NAMES the host name its answer gives, MAC "-".
Writes "ready" (or "failed ADDRESS") to BASE.status once every address is bound, answers until
BASE.stop exists (at most two minutes), then removes both files. (Wine gives a Unix process no
pipes of its Windows parent.)
"""
import os
import time
import select
import socket
import struct
import sys


def node(line):
    address, kind, names, mac = line.split("=")
    if not address.startswith("127."):
        raise SystemExit("only loopback addresses: " + address)
    if kind.startswith("mdns"):
        return address, kind, names, b""
    table = []
    for item in names.split(","):
        group = item.endswith("g")
        name, suffix = item.rstrip("g")[:-1].split("<")
        table.append((name, int(suffix, 16), group))
    return address, kind, table, bytes(int(b, 16) for b in mac.split("-"))


def mdns_answer(question, kind, name):
    """The reverse question repeated and its PTR record, the owner by a pointer to the question."""
    end = 12
    while end < len(question) and question[end] != 0:
        end += 1 + question[end]
    end += 1 + 4
    data = b"".join(bytes([len(label)]) + label for label in name.encode().split(b".")) + b"\x00"
    packet = question[:2] + b"\x84\x00\x00\x01\x00\x01\x00\x00\x00\x00" + question[12:end]
    packet += b"\xc0\x0c\x00\x0c\x80\x01\x00\x00\x00\x78" + struct.pack(">H", len(data)) + data
    if kind == "mdns-garbage":
        return packet[:2] + bytes([0xC0]) * (len(packet) - 2)
    if kind == "mdns-truncated":
        return packet[:-3]
    return packet


def answer(question, kind, table, mac):
    data = bytes([len(table)])
    for name, suffix, group in table:
        data += name.ljust(15).encode()[:15] + bytes([suffix]) + struct.pack(">H", 0x8400 if group else 0x0400)
    data += mac + bytes(46)
    packet = question[:2] + b"\x84\x00\x00\x00\x00\x01\x00\x00\x00\x00" + question[12:46]
    packet += b"\x00\x21\x00\x01\x00\x00\x00\x00" + struct.pack(">H", len(data)) + data
    if kind == "garbage":
        return packet[:2] + bytes([0xA5]) * (len(packet) - 2)
    if kind == "truncated":
        return packet[: 12 + 34 + 10 + 1 + 9]
    return packet


def publish(path, text):
    with open(path + ".tmp", "w") as f:
        f.write(text)
    os.replace(path + ".tmp", path)


def main():
    base = sys.argv[1]
    nodes = {}
    for line in sys.argv[2:]:
        address, kind, table, mac = node(line)
        s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        try:
            s.bind((address, 5353 if kind.startswith("mdns") else 137))
        except OSError:
            publish(base + ".status", "failed " + address)
            return 1
        nodes[s] = [address, kind, table, mac]
    publish(base + ".status", "ready")
    end = time.monotonic() + 120
    while not os.path.exists(base + ".stop") and time.monotonic() < end:
        readable, _, _ = select.select(list(nodes), [], [], 0.05)
        for s in readable:
            question, sender = s.recvfrom(512)
            entry = nodes[s]
            if entry[1].startswith("mdns"):
                if len(question) > 12 + 4:
                    s.sendto(mdns_answer(question, entry[1], entry[2]), sender)
                continue
            if len(question) < 50 or question[12] != 32:
                continue
            s.sendto(answer(question, entry[1], entry[2], entry[3]), sender)
    for suffix in (".status", ".stop"):
        try:
            os.remove(base + suffix)
        except OSError:
            pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
