#!/usr/bin/env python3
"""Writes the benchmark trees natively (much faster than through Wine) and marks each as complete.

walk tree:    50 x 100 folders (5,051 with the parents), 20 files in each leaf: 100,000 files,
              of which every fifth leaf holds one "*.bmk" file: 1,000 files, 1% of all.
million tree: 1,000 folders of 1,000 empty files each (four extensions): 1,000,000 rows for the
              results list.
content tree: 128 files of 8 MiB of text, 1 GiB (so that Wine's start does not hide the scan's
              speed); every tenth file holds the word "quetzal42" once.
"""
import os
import random
import sys


def walk_tree(root):
    for top in range(50):
        for leaf in range(100):
            folder = os.path.join(root, "d%02d" % top, "s%03d" % leaf)
            os.makedirs(folder, exist_ok=True)
            index = top * 100 + leaf
            for n in range(20):
                name = "x%02d.bmk" % n if (n == 0 and index % 5 == 0) else "f%02d.%s" % (n, ("txt", "log", "dat", "c")[n % 4])
                with open(os.path.join(folder, name), "wb") as f:
                    f.write(b"%d\n" % n)


def million_tree(root):
    for top in range(1000):
        folder = os.path.join(root, "m%03d" % top)
        os.makedirs(folder, exist_ok=True)
        for n in range(1000):
            open(os.path.join(folder, "f%03d.%s" % (n, ("txt", "log", "dat", "c")[n % 4])), "wb").close()


def content_tree(root):
    os.makedirs(root, exist_ok=True)
    rng = random.Random(7)
    words = [bytes(rng.choice(b"abcdefghijklmnopqrstuvwxyz") for _ in range(rng.randint(2, 9))) for _ in range(4000)]
    size = 8 << 20
    # One text, each file a different rotation of it: writing 1 GiB of fresh random words would take
    # minutes, and the scan's speed does not depend on the files differing.
    parts = []
    length = 0
    while length < size:
        line = b" ".join(rng.choice(words) for _ in range(12)) + b"\n"
        parts.append(line)
        length += len(line)
    base = b"".join(parts)[:size]
    for n in range(128):
        turn = rng.randint(0, size - 1)
        data = base[turn:] + base[:turn]
        if n % 10 == 0:
            at = rng.randint(0, size - 100)
            data = data[:at] + b"quetzal42" + data[at + 9:]
        with open(os.path.join(root, "t%03d.txt" % n), "wb") as f:
            f.write(data)


def main():
    kind, root = sys.argv[1], sys.argv[2]
    marker = os.path.join(root, ".complete")
    if os.path.exists(marker):
        return
    {"walk": walk_tree, "million": million_tree, "content": content_tree}[kind](root)
    open(marker, "w").close()


if __name__ == "__main__":
    main()
