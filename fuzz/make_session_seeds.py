#!/usr/bin/env python3
"""Writes the seeds of the edit session's fuzz target into corpus/session: for each document the
target opens (the bundled game folder's animations, then the reader's seeds), a few action
sequences. The first byte of a seed chooses the document; the rest are actions and their
arguments, drawn from a fixed random sequence so that the seeds stay the same."""
import os
import random

HERE = os.path.dirname(os.path.abspath(__file__))
DOCUMENTS = 2 + len(os.listdir(os.path.join(HERE, 'corpus', 'reader')))


def main():
    out = os.path.join(HERE, 'corpus', 'session')
    os.makedirs(out, exist_ok=True)
    rng = random.Random(20261209)
    for document in range(DOCUMENTS):
        for n in range(3):
            body = bytes(rng.randrange(256) for _ in range(400))
            with open(os.path.join(out, 'doc%d-%d' % (document, n)), 'wb') as f:
                f.write(bytes([document]) + body)


if __name__ == '__main__':
    main()
