#!/usr/bin/python3
"""Renders one sound effect from its parameter file (NAME.sfx) into the game's WAV: 16-bit
PCM, 44,100 Hz, mono, with the plain 44-byte header.

An effect file holds, one a line ('#' starts a comment; a line that starts with a space
continues the one before):
    length SECONDS          how long the effect is; its last milliseconds fade to zero
    peak DBFS               the loudest sample lands exactly here (e.g. -4)
    seed N                  the noise generator's seed (default 1)
    layer WAVE key=value... a source: all layers sound together (keys in synth.py)
"""

import argparse
import os
import sys

sys.dont_write_bytecode = True  # nothing of the build lands in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import numpy as np  # noqa: E402

import synth  # noqa: E402


def fail(message):
    sys.stderr.write("make_sound: %s\n" % message)
    sys.exit(1)


def read_effect(path):
    effect = {"length": None, "peak": None, "seed": 1, "layers": []}
    lines = []
    with open(path, encoding="utf-8") as source:
        for number, raw in enumerate(source, 1):
            words = raw.split("#", 1)[0].split()
            if not words:
                continue
            if raw[0] in " \t":
                if not lines:
                    raise synth.SynthError("%s:%d: a continuation with nothing to continue"
                                           % (path, number))
                lines[-1][1].extend(words)
            else:
                lines.append(("%s:%d" % (path, number), words))
    for where, words in lines:
        head, rest = words[0], words[1:]
        if head in ("length", "peak", "seed"):
            if len(rest) != 1:
                raise synth.SynthError("%s: %s takes one value" % (where, head))
            effect[head] = synth.parse_number(rest[0], where)
        elif head == "layer":
            effect["layers"].append((synth.parse_layer(rest, where), where))
        else:
            raise synth.SynthError("%s: unknown line %r" % (where, head))
    for key in ("length", "peak"):
        if effect[key] is None:
            raise synth.SynthError("%s: no %s line" % (path, key))
    if not effect["layers"]:
        raise synth.SynthError("%s: no layer" % path)
    return effect


def render(effect):
    n = synth.seconds_to_samples(effect["length"])
    out = np.zeros(n)
    for index, (layer, where) in enumerate(effect["layers"]):
        start = synth.seconds_to_samples(layer["at"])
        hold = layer["hold"]
        if hold is None:
            hold = effect["length"] - layer["at"] - layer["r"]
        if hold <= 0:
            raise synth.SynthError("%s: the layer starts too late to sound" % where)
        samples = synth.render_layer(layer, hold, seed=int(effect["seed"]) * 1000 + index)
        end = min(n, start + len(samples))
        out[start:end] += samples[:end - start]
    # No DC: a lopsided sum would jump when the game starts or stops the effect.
    out = synth.filter_once(out, "hp", 20.0)
    out = synth.fade_edges(out, 0.0005, 0.006)
    peak = np.max(np.abs(out))
    if peak <= 0:
        raise synth.SynthError("the effect is silent")
    return out * synth.db_to_gain(effect["peak"]) / peak


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("source", help="NAME.sfx")
    parser.add_argument("output", help="NAME.wav")
    args = parser.parse_args()
    try:
        samples = render(read_effect(args.source))
    except (OSError, synth.SynthError) as error:
        fail(str(error))
    synth.write_wav(args.output, samples)


if __name__ == "__main__":
    main()
