#!/usr/bin/env python3
"""Writes a product package of random files and its install manifest.

make_package.py OUT FILES TOTAL_BYTES LARGEST_BYTES [DIRECTORIES]

OUT/files/ receives FILES files spread over DIRECTORIES directories (one file empty,
one of LARGEST_BYTES bytes, the others sharing the rest of TOTAL_BYTES at random),
OUT/downloadgi.txt the manifest that names them with their digests, sizes and
last-write times, OUT/list the Unix paths of the files, one a line. The same
arguments always give the same bytes.
"""
import hashlib
import os
import random
import sys


def sizes(count, total, largest, rng):
    rest = total - largest
    weights = [rng.random() for _ in range(count - 2)]
    scale = rest / sum(weights)
    result = [0, largest] + [int(w * scale) for w in weights]
    result[2] += total - sum(result)
    return result


def main():
    out, files, total, largest = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
    directories = int(sys.argv[5]) if len(sys.argv) > 5 else 4
    rng = random.Random(files * 7919 + total)
    root = os.path.join(out, "files")
    names = ["data\\"] + ["data\\part%02d\\" % d for d in range(1, directories)]
    lines = ["OK"] + names
    paths = []
    # 22 Dec 2014 17:59:48 UTC as a Windows file time, one second apart per file.
    base_time = 130638491880000000
    for index, size in enumerate(sizes(files, total, largest, rng)):
        name = names[index % len(names)] + "file%04d.bin" % index
        path = os.path.join(root, *name.split("\\"))
        os.makedirs(os.path.dirname(path), exist_ok=True)
        body = rng.randbytes(size)
        with open(path, "wb") as f:
            f.write(body)
        time = base_time + index * 10_000_000
        lines += [name, "%s|%d" % (hashlib.md5(body).hexdigest(), size),
                  str(time & 0xFFFFFFFF), str(time >> 32)]
        seconds = (time - 116444736000000000) / 1e7
        os.utime(path, (seconds, seconds))
        paths.append(path)
    with open(os.path.join(out, "downloadgi.txt"), "w", newline="") as f:
        f.write("\r\n".join(lines) + "\r\n")
    with open(os.path.join(out, "list"), "w") as f:
        f.write("\n".join(paths) + "\n")


if __name__ == "__main__":
    main()
