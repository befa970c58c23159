"""Deterministic trees for the deletion benchmarks: the same arguments always give the same names, sizes,
contents and attributes.

Folder j (from 1) hangs under folder (j - 1) // 10 (folder 0 is the top), so folders fan out ten ways,
and each folder holds ten files of 0 to 8 KiB. Every seventh file is read-only; every eleventh file and
every thirteenth folder is hidden, both as Linux tools see it (a leading dot) and as Windows sees it
(Wine's DOS attribute).
"""
import os
import random
import stat
import sys

FAN_OUT = 10
FILES_PER_FOLDER = 10
MAX_SIZE = 8 * 1024
HIDDEN_ATTRIBUTE = b"0x2"


def _hide(path):
    try:
        os.setxattr(path, "user.DOSATTRIB", HIDDEN_ATTRIBUTE, follow_symlinks=False)
    except OSError:
        pass  # the leading dot alone still hides it from Wine


def _folder_name(index):
    return (".d%d" if index % 13 == 0 else "d%d") % index


def make_tree(top, files, seed=1):
    """Creates top (which must not exist) with exactly `files` files below it; returns the folder count."""
    rng = random.Random(seed)
    content = bytes(rng.getrandbits(8) for _ in range(MAX_SIZE))
    os.makedirs(top)
    folders = [top]
    made = 0
    while made < files:
        folder = folders[-1]
        for _ in range(min(FILES_PER_FOLDER, files - made)):
            made += 1
            hidden = made % 11 == 0
            path = os.path.join(folder, (".f%d.dat" if hidden else "f%d.dat") % made)
            size = rng.randint(0, MAX_SIZE)
            with open(path, "wb") as stream:
                stream.write(content[:size])
            if hidden:
                _hide(path)
            if made % 7 == 0:
                os.chmod(path, stat.S_IRUSR | stat.S_IRGRP | stat.S_IROTH)
        if made < files:
            index = len(folders)
            folder = os.path.join(folders[(index - 1) // FAN_OUT], _folder_name(index))
            os.mkdir(folder)
            if index % 13 == 0:
                _hide(folder)
            folders.append(folder)
    return len(folders) - 1


if __name__ == "__main__":
    make_tree(sys.argv[1], int(sys.argv[2]))
