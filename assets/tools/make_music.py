#!/usr/bin/python3
"""Renders one of the game's scores (NAME.score) into music: an OGG Vorbis file through
oggenc, or a WAV when the output's name ends in .wav (the jingles among the effects).

A score is a list of lines; '#' starts a comment, and a line that starts with a space
continues the one before. The header:
    tempo BPM [at BAR]        quarter notes a minute, from bar BAR on (default 1)
    meter BEATS               quarter notes a bar (default 4)
    bars N                    every voice fills exactly N bars (checked)
    loop                      the piece repeats: what rings past the end sounds at the start
    length SECONDS            or a one-shot piece of this length
    fade SECONDS              a one-shot's closing fade
    transpose SEMITONES       moves every note
    channels 1|2              (default 2)
    level rms|peak DB         loudness the whole is brought to (default rms -17)
    ceiling DB                no sample louder than this (default -7.5)
    echo BEATS FEEDBACK       a ping-pong delay that instruments send to
    reverb SECONDS WET        a room that instruments send to
    seed N
    instrument NAME LAYER [+ LAYER ...]   layers as in synth.py, plus for the whole
                              instrument: gain= pan= (-1 left .. 1 right) echo= rev= (sends)
                              gate= (the part of each note held, default 0.9)
    drum LETTER INSTRUMENT    an upper-case letter that plays INSTRUMENT in any voice
    phrase NAME NOTES         NOTES that a voice inserts with $NAME
    voice INSTRUMENT NOTES    one line of music (several voices may use one instrument)
NOTES, MML-like: c d e f g a b with + or # (sharp) and - (flat), then a length (1 whole,
2, 4, 8, 16, 32; 3, 6, 12, 24 for triplets; dots lengthen) or the default; r rest; ^ ties
more length on; {c e g}4 a chord; oN octave (o4 c is middle C), < and > octave down/up;
lN default length; vN velocity in percent; qN gate in percent; k+N transpose; [ ... ]N
repeats; | checks that a bar ends there.
"""

import argparse
import math
import os
import re
import subprocess
import sys
import tempfile
from fractions import Fraction

sys.dont_write_bytecode = True  # nothing of the build lands in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import numpy as np  # noqa: E402

import synth  # noqa: E402
from synth import RATE, SynthError  # noqa: E402

INSTRUMENT_KEYS = ("gain", "pan", "echo", "rev", "gate")
SEMITONE = {"c": 0, "d": 2, "e": 4, "f": 5, "g": 7, "a": 9, "b": 11}


def fail(message):
    sys.stderr.write("make_music: %s\n" % message)
    sys.exit(1)


# ---- Reading ------------------------------------------------------------------------------

def logical_lines(path):
    """(where, words) for each directive, continuation lines joined on."""
    lines = []
    with open(path, encoding="utf-8") as source:
        for number, raw in enumerate(source, 1):
            text = raw.split("#", 1)[0].rstrip()
            if not text.strip():
                continue
            if raw[0] in " \t":
                if not lines:
                    raise SynthError("%s:%d: a continuation with nothing to continue"
                                     % (path, number))
                lines[-1][1].append(text)
            else:
                lines.append(("%s:%d" % (path, number), [text]))
    return [(where, " ".join(parts).split()) for where, parts in lines]


class Score:
    def __init__(self):
        self.tempos = []          # (bar, bpm)
        self.meter = 4
        self.bars = None
        self.loop = False
        self.length = None
        self.fade = 0.0
        self.transpose = 0
        self.channels = 2
        self.level = ("rms", -17.0)
        self.ceiling = -7.5
        self.echo = None
        self.reverb = None
        self.seed = 1
        self.instruments = {}     # name -> {"layers": [...], "gain", "pan", ...}
        self.drums = {}           # letter -> instrument name
        self.phrases = {}
        self.voices = []          # (where, instrument, text)


def read_score(path):
    score = Score()
    for where, words in logical_lines(path):
        head, rest = words[0], words[1:]

        def number(i=0):
            if len(rest) <= i:
                raise SynthError("%s: %s needs a value" % (where, head))
            return synth.parse_number(rest[i], where)

        if head == "tempo":
            bar = 1
            if len(rest) == 3 and rest[1] == "at":
                bar = int(number(2))
            elif len(rest) != 1:
                raise SynthError("%s: tempo BPM [at BAR]" % where)
            score.tempos.append((bar, number()))
        elif head == "meter":
            score.meter = int(number())
        elif head == "bars":
            score.bars = int(number())
        elif head == "loop":
            score.loop = True
        elif head == "length":
            score.length = number()
        elif head == "fade":
            score.fade = number()
        elif head == "transpose":
            score.transpose = int(number())
        elif head == "channels":
            score.channels = int(number())
        elif head == "level":
            if len(rest) != 2 or rest[0] not in ("rms", "peak"):
                raise SynthError("%s: level rms|peak DB" % where)
            score.level = (rest[0], number(1))
        elif head == "ceiling":
            score.ceiling = number()
        elif head == "echo":
            score.echo = (number(0), number(1))
        elif head == "reverb":
            score.reverb = (number(0), number(1))
        elif head == "seed":
            score.seed = int(number())
        elif head == "instrument":
            if not rest:
                raise SynthError("%s: instrument NAME LAYER" % where)
            settings = {"gain": 1.0, "pan": 0.0, "echo": 0.0, "rev": 0.0, "gate": 0.9}
            layers, current = [], []
            for word in rest[1:] + ["+"]:
                key = word.partition("=")[0]
                if word == "+":
                    layers.append(synth.parse_layer(current, where))
                    current = []
                elif key in INSTRUMENT_KEYS and "=" in word:
                    settings[key] = synth.parse_number(word.partition("=")[2], where)
                else:
                    current.append(word)
            settings["layers"] = layers
            settings["name"] = rest[0]
            score.instruments[rest[0]] = settings
        elif head == "drum":
            if len(rest) != 2 or not re.fullmatch("[A-Z]", rest[0]):
                raise SynthError("%s: drum LETTER INSTRUMENT" % where)
            score.drums[rest[0]] = rest[1]
        elif head == "phrase":
            if not rest:
                raise SynthError("%s: phrase NAME NOTES" % where)
            score.phrases[rest[0]] = " ".join(rest[1:])
        elif head == "voice":
            if not rest:
                raise SynthError("%s: voice INSTRUMENT NOTES" % where)
            score.voices.append((where, rest[0], " ".join(rest[1:])))
        else:
            raise SynthError("%s: unknown line %r" % (where, head))

    if score.bars is None:
        raise SynthError("%s: no bars line" % path)
    if score.loop == (score.length is not None):
        raise SynthError("%s: a score is either a loop or has a length" % path)
    if not score.tempos:
        raise SynthError("%s: no tempo" % path)
    for letter, name in score.drums.items():
        if name not in score.instruments:
            raise SynthError("%s: drum %s plays the unknown instrument %s" % (path, letter, name))
    return score


# ---- Notes --------------------------------------------------------------------------------

TOKEN = re.compile(r"""
    (?P<space>\s+)
  | (?P<bar>\|)
  | o(?P<octave>\d)
  | (?P<up>>) | (?P<down><)
  | l(?P<deflen>\d+\.*)
  | v(?P<velocity>\d+)
  | q(?P<gate>\d+)
  | k(?P<key>[+-]?\d+)
  | (?P<note>[a-g][+#-]*)(?P<notelen>\d*\.*)
  | r(?P<restlen>\d*\.*)
  | \^(?P<tielen>\d*\.*)
  | (?P<drum>[A-Z])(?P<drumlen>\d*\.*)
  | \{(?P<chord>[^}]*)\}(?P<chordlen>\d*\.*)
""", re.VERBOSE)


def expand(text, phrases, where):
    """Phrases inserted, repeats written out."""
    def insert(match):
        if match.group(1) not in phrases:
            raise SynthError("%s: no phrase %s" % (where, match.group(1)))
        return " %s " % phrases[match.group(1)]

    for _ in range(20):
        if "$" not in text:
            break
        text = re.sub(r"\$(\w+)", insert, text)
    else:
        raise SynthError("%s: phrases nest too deep" % where)

    def repeat(match):
        return " ".join([match.group(1)] * int(match.group(2) or 2))

    while "[" in text or "]" in text:
        text, count = re.subn(r"\[([^\[\]]*)\](\d*)", repeat, text)
        if not count:
            raise SynthError("%s: unmatched [ or ]" % where)
    return text


def length_of(text, default, where):
    if not text:
        return default
    digits = text.rstrip(".")
    dots = len(text) - len(digits)
    if not digits:
        value = default
    else:
        if int(digits) == 0:
            raise SynthError("%s: a length of 0" % where)
        value = Fraction(4, int(digits))
    extra, total = value, value
    for _ in range(dots):
        extra /= 2
        total += extra
    return total


def pitch_of(name, octave, shift):
    value = 12 * (octave + 1) + SEMITONE[name[0]] + shift
    for sign in name[1:]:
        value += 1 if sign in "+#" else -1
    return value


def parse_voice(score, where, instrument, text):
    """Events (start, length, gate, pitches, velocity, instrument), in quarter notes."""
    text = expand(text, score.phrases, where)
    if instrument not in score.instruments:
        raise SynthError("%s: unknown instrument %s" % (where, instrument))
    bar = Fraction(score.meter)
    octave, default, velocity, gate, key = 4, Fraction(1), 1.0, None, 0
    position = Fraction(0)
    events = []
    last = None
    pos = 0
    while pos < len(text):
        m = TOKEN.match(text, pos)
        if not m:
            raise SynthError("%s: cannot read %r (bar %d)"
                             % (where, text[pos:pos + 12], position // bar + 1))
        pos = m.end()
        g = m.groupdict()
        if g["bar"]:
            if position % bar:
                raise SynthError("%s: a bar line at %s quarter notes into bar %d"
                                 % (where, position % bar, position // bar + 1))
        elif g["octave"] is not None:
            octave = int(g["octave"])
        elif g["up"]:
            octave += 1
        elif g["down"]:
            octave -= 1
        elif g["deflen"] is not None:
            default = length_of(g["deflen"], default, where)
        elif g["velocity"] is not None:
            velocity = int(g["velocity"]) / 100.0
        elif g["gate"] is not None:
            gate = int(g["gate"]) / 100.0
        elif g["key"] is not None:
            key = int(g["key"])
        elif g["note"] is not None or g["chord"] is not None or g["drum"] is not None:
            if g["note"] is not None:
                pitches = [pitch_of(g["note"], octave, key + score.transpose)]
                length, who = length_of(g["notelen"], default, where), instrument
            elif g["chord"] is not None:
                pitches, inner = [], octave
                for part in re.findall(r"[<>]|[a-g][+#-]*|\S", g["chord"]):
                    if part == "<":
                        inner -= 1
                    elif part == ">":
                        inner += 1
                    elif part[0] in SEMITONE:
                        pitches.append(pitch_of(part, inner, key + score.transpose))
                    else:
                        raise SynthError("%s: %r in a chord" % (where, part))
                length, who = length_of(g["chordlen"], default, where), instrument
            else:
                if g["drum"] not in score.drums:
                    raise SynthError("%s: no drum %s" % (where, g["drum"]))
                pitches = [60]
                length, who = length_of(g["drumlen"], default, where), score.drums[g["drum"]]
            last = [position, length, gate, pitches, velocity, who]
            events.append(last)
            position += length
        elif g["restlen"] is not None:
            position += length_of(g["restlen"], default, where)
            last = None
        elif g["tielen"] is not None:
            length = length_of(g["tielen"], default, where)
            if last is not None:
                last[1] += length
            position += length
    if position != bar * score.bars:
        raise SynthError("%s: the voice lasts %s quarter notes, the score %d bars of %d"
                         % (where, position, score.bars, score.meter))
    return events


# ---- Time ---------------------------------------------------------------------------------

class TempoMap:
    def __init__(self, score):
        self.meter = score.meter
        self.segments = []  # (start beat, start seconds, seconds a beat)
        seconds, beat = 0.0, Fraction(0)
        tempos = sorted(score.tempos)
        if tempos[0][0] != 1:
            raise SynthError("the first tempo must hold from bar 1")
        for i, (bar, bpm) in enumerate(tempos):
            start = Fraction((bar - 1) * score.meter)
            if self.segments:
                seconds += float(start - beat) * self.segments[-1][2]
            self.segments.append((start, seconds, 60.0 / bpm))
            beat = start

    def seconds(self, beat):
        for start, seconds, per_beat in reversed(self.segments):
            if beat >= start:
                return seconds + float(beat - start) * per_beat
        return 0.0

    def sample(self, beat):
        return int(round(self.seconds(beat) * RATE))

    def beat_seconds(self):
        return self.segments[0][2]


# ---- Rendering ----------------------------------------------------------------------------

def a_weighted_db(x):
    f2 = np.square(np.fft.rfftfreq(x.shape[0], 1.0 / RATE))
    weight = (12194.0 ** 2 * f2 * f2) / ((f2 + 20.6 ** 2) * np.sqrt((f2 + 107.7 ** 2)
              * (f2 + 737.9 ** 2)) * (f2 + 12194.0 ** 2))
    spectrum = np.fft.rfft(x, axis=0)
    power = np.sum(np.abs(spectrum if x.ndim == 1 else spectrum.T) ** 2 * weight ** 2)
    return 10.0 * math.log10(max(power, 1e-30))


def render_notes(score, tempo, events, length):
    """Each instrument's notes as (first sample, samples), and how far the longest rings
    past the end. Notes that repeat are rendered once."""
    cache = {}
    notes = {}
    overhang = 0
    for start, span, gate, pitches, velocity, who in events:
        inst = score.instruments[who]
        begin = tempo.sample(start)
        held = Fraction(gate if gate is not None else inst["gate"]).limit_denominator(1000)
        hold = tempo.seconds(start + span * held) - tempo.seconds(start)
        key = (who, tuple(pitches), synth.seconds_to_samples(hold))
        if key not in cache:
            parts = [synth.render_layer(layer, hold, pitches, seed=score.seed * 7919 + n)
                     for n, layer in enumerate(inst["layers"])]
            sound = np.zeros(max(len(p) for p in parts))
            for part in parts:
                sound[:len(part)] += part
            cache[key] = sound * inst["gain"]
        notes.setdefault(who, []).append((begin, cache[key], velocity))
        overhang = max(overhang, begin + len(cache[key]) - length)
    return notes, overhang


def render(score, report, verbose=False):
    tempo = TempoMap(score)
    events = []
    for where, instrument, text in score.voices:
        events += parse_voice(score, where, instrument, text)
    if score.loop:
        end_beat = Fraction(score.meter * score.bars)
        length = tempo.sample(end_beat)
        exact = tempo.seconds(end_beat) * RATE
        if abs(exact - length) > 1e-6:
            report("note: the loop is %.3f samples long, rounded to %d" % (exact, length))
    else:
        length = synth.seconds_to_samples(score.length)
    notes, overhang = render_notes(score, tempo, events, length)

    # Everything rings out into a buffer with room for the longest tails; a loop then folds
    # what passed its end back onto its start, a one-shot keeps the room as silence, so that
    # the circular filters and delays below are exact for both.
    size = length
    if not score.loop:
        size = synth.fast_size(length + max(overhang, 0) + RATE * 4)
    mix = np.zeros((size, 2))
    echo_bus = np.zeros(size)
    reverb_bus = np.zeros(size)
    shares = {}
    for who in sorted(notes):  # one instrument at a time: a long piece has many
        inst = score.instruments[who]
        track = np.zeros(max(size, length + overhang))
        for begin, sound, velocity in notes[who]:
            track[begin:begin + len(sound)] += sound * velocity
        if score.loop:
            for offset in range(length, len(track), length):
                piece = track[offset:offset + length]
                track[:len(piece)] += piece
        track = track[:size]
        if verbose:
            shares[who] = a_weighted_db(track)
        angle = (inst["pan"] + 1.0) * math.pi / 4.0
        mix[:, 0] += track * (math.cos(angle) * math.sqrt(2.0))
        mix[:, 1] += track * (math.sin(angle) * math.sqrt(2.0))
        if inst["echo"]:
            echo_bus += track * inst["echo"]
        if inst["rev"]:
            reverb_bus += track * inst["rev"]
        del track

    if score.echo and echo_bus.any():
        beats, feedback = score.echo
        delay = int(round(beats * tempo.beat_seconds() * RATE))
        # Each repeat darker than the last, alternating sides.
        bus = synth.filter_circular(echo_bus, "lp", 3500.0)
        tap, gain = 1, feedback
        while gain > 0.01:
            shifted = np.roll(bus, tap * delay)
            side = 1 if tap % 2 else 0
            mix[:, side] += shifted * (gain * 0.8)
            mix[:, 1 - side] += shifted * (gain * 0.2)
            bus = synth.filter_circular(bus, "lp", 5000.0)
            tap += 1
            gain *= feedback
    del echo_bus

    if score.reverb and reverb_bus.any():
        # A room: decaying noise, a different one for each ear, so the tail is wide.
        decay, wet = score.reverb
        rng = np.random.default_rng(score.seed)
        n_ir = min(synth.seconds_to_samples(decay), size)
        t = np.arange(n_ir) / RATE
        predelay = synth.seconds_to_samples(0.015)
        source = np.fft.rfft(reverb_bus)
        for channel in range(2):
            ir = rng.standard_normal(n_ir) * np.exp(-6.9 * t / decay)
            ir[:predelay] = 0.0
            ir = synth.filter_once(ir, "lp", 4500.0)
            ir *= wet / math.sqrt(np.sum(ir * ir))
            response = np.fft.rfft(ir, size)
            response *= source
            mix[:, channel] += np.fft.irfft(response, size)
            del response
        del source
    del reverb_bus

    if verbose:
        # The balance, for whoever tunes the gains: each instrument's share of the whole,
        # A-weighted as the ear hears it rather than as the bass's energy would say.
        whole = a_weighted_db(mix)
        for who in sorted(shares):
            report("  %-10s %6.1f dB(A)" % (who, shares[who] - whole))

    # No DC, and no rumble below what any speaker plays.
    mix = synth.filter_circular(mix, "hp", 25.0)
    if score.channels == 1:
        mix = mix.mean(axis=1)

    if not score.loop:
        mix = mix[:length]
        if score.fade > 0:
            n_fade = min(synth.seconds_to_samples(score.fade), length)
            shape = np.cos(0.5 * np.pi * np.arange(1, n_fade + 1) / n_fade) ** 2
            mix[-n_fade:] *= shape if mix.ndim == 1 else shape[:, None]
        mix = synth.fade_edges(mix, 0.0005, 0.006)

    kind, target = score.level
    ceiling = synth.db_to_gain(score.ceiling)
    squeeze = 0.0
    for _ in range(4):
        peak_db, rms_db = synth.level_db(mix)
        now = rms_db if kind == "rms" else peak_db
        mix *= synth.db_to_gain(target - now)
        squeeze = max(squeeze, synth.level_db(mix)[0] - score.ceiling)
        mix = synth.limit(mix, ceiling, circular=score.loop)
    report("the limiter takes up to %.1f dB off the loudest peaks" % squeeze)
    return mix, length


def encode(mix, output, oggenc, quality, serial, lowpass):
    with tempfile.TemporaryDirectory() as scratch:
        wav = os.path.join(scratch, "music.wav")
        synth.write_wav(wav, mix)
        command = [oggenc, "--quiet", "-q", str(quality), "-s", str(serial)]
        if lowpass:
            # The encoder cuts the treble lower the lower the quality (15 kHz at 0); the
            # cymbals and the pulses' edges are worth the few bits more.
            command += ["--advanced-encode-option", "lowpass_frequency=%s" % lowpass]
        result = subprocess.run(command + ["-o", output, wav], stderr=subprocess.PIPE, text=True)
        if result.returncode != 0:
            fail("oggenc failed on %s: %s" % (output, result.stderr.strip()))


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("source", help="NAME.score")
    parser.add_argument("output", help="NAME.ogg, or NAME.wav for an uncompressed jingle")
    parser.add_argument("--oggenc", default="oggenc", help="the encoder (Debian's vorbis-tools)")
    parser.add_argument("--quality", default="1", help="oggenc's -q")
    parser.add_argument("--serial", type=int, default=2008,
                        help="the Ogg stream's serial number: fixed, so the bytes repeat")
    parser.add_argument("--lowpass", help="the encoder's low-pass in kHz (default: its own, "
                                          "which depends on the quality)")
    parser.add_argument("--wav", help="also keep the rendered music here, to listen to")
    parser.add_argument("--verbose", action="store_true")
    args = parser.parse_args()

    def report(message):
        if args.verbose:
            sys.stderr.write("make_music: %s: %s\n" % (args.source, message))

    try:
        mix, length = render(read_score(args.source), report, args.verbose)
    except (OSError, SynthError) as error:
        fail(str(error))
    peak_db, rms_db = synth.level_db(mix)
    report("%d samples (%.3f s), peak %.1f dBFS, RMS %.1f dB"
           % (length, length / RATE, peak_db, rms_db))
    if args.wav:
        synth.write_wav(args.wav, mix)
    if args.output.endswith(".wav"):
        synth.write_wav(args.output, mix)
    else:
        encode(mix, args.output, args.oggenc, args.quality, args.serial, args.lowpass)


if __name__ == "__main__":
    main()
