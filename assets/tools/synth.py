"""The synthesiser behind the game's sounds: oscillators, envelopes, filters and the layer
parameters that the effect files (.sfx) and the scores (.score) share.

Everything is computed with numpy from the parameters and a seed, so the same sources give
the same samples. Waveforms with jumps (pulse, saw) are band-limited with polyBLEP steps:
naive ones alias into a hiss that tires the ear within a minute of music.
"""

import math
import wave

import numpy as np

RATE = 44100


class SynthError(Exception):
    pass


def hz_of_midi(note):
    return 440.0 * 2.0 ** ((np.asarray(note, dtype=float) - 69.0) / 12.0)


def db_to_gain(db):
    return 10.0 ** (db / 20.0)


def seconds_to_samples(seconds):
    return int(round(seconds * RATE))


# ---- Layer parameters ---------------------------------------------------------------------
# One layer is one oscillator through one envelope and its filters. Its line reads
#   WAVE key=value ...
# and a value may be a pair "from:to" (a slide over the layer) or a list "0,4,7".

WAVES = ("sine", "triangle", "saw", "pulse", "square", "noise")

# key: (how many values it takes, default)
LAYER_KEYS = {
    "freq": ((1, 2), None),      # Hz; a pair slides exponentially over `glide` or the layer
    "glide": ((1,), None),       # seconds the freq pair takes
    "shift": ((1,), 0.0),        # semitones added to the note
    "sweep": ((2,), None),       # semitones off, seconds: starts off-pitch and glides home
    "duty": ((1, 2), 0.5),       # pulse width (0.5 square, 0.25, 0.125 thinner)
    "vib": ((2, 3), None),       # rate Hz, depth semitones, delay seconds
    "arp": (None, None),         # semitone offsets cycled every `arprate` (effects)
    "arprate": ((1,), None),     # seconds a step; a score's chords arpeggiate with it
    "a": ((1,), 0.002),          # attack seconds
    "d": ((1,), 0.1),            # decay: seconds to fall most of the way to the sustain level
    "s": ((1,), 1.0),            # sustain level, 0..1
    "r": ((1,), 0.02),           # release seconds after the hold
    "hold": ((1,), None),        # effects: seconds before the release (default: to the end)
    "at": ((1,), 0.0),           # effects: start time
    "vol": ((1,), 1.0),
    "lp": ((1, 2), None),        # low-pass cutoff Hz, or a pair swept over the layer
    "hp": ((1, 2), None),        # high-pass
    "bp": ((1, 2), None),        # band-pass centre
    "q": ((1,), 0.707),          # resonance of those filters
    "unison": ((2,), None),      # copies, detune spread in cents: a fatter, chorused tone
    "crush": ((1,), None),       # hold samples at this rate (Hz): lo-fi grit
    "bits": ((1,), None),        # quantise to this many levels each side of zero
    "phase": ((1,), 0.0),        # start phase in cycles
}


def parse_number(text, where):
    try:
        return float(text)
    except ValueError:
        raise SynthError("%s: %r is not a number" % (where, text))


def parse_layer(words, where):
    """WAVE key=value ... -> dict; raises SynthError naming `where`."""
    if not words or words[0] not in WAVES:
        raise SynthError("%s: a layer starts with a waveform (%s)" % (where, ", ".join(WAVES)))
    layer = {"wave": words[0]}
    for word in words[1:]:
        key, sep, value = word.partition("=")
        if not sep or key not in LAYER_KEYS:
            raise SynthError("%s: unknown layer setting %r (known: %s)"
                             % (where, word, ", ".join(sorted(LAYER_KEYS))))
        counts, _ = LAYER_KEYS[key]
        if key == "arp":
            layer[key] = [parse_number(v, where) for v in value.split(",")]
            continue
        values = [parse_number(v, where) for v in value.split(":")]
        if len(values) not in counts:
            raise SynthError("%s: %s takes %s value(s)"
                             % (where, key, " or ".join(map(str, counts))))
        layer[key] = values if max(counts) > 1 else values[0]
    if layer["wave"] == "square":
        layer["wave"] = "pulse"
        layer.setdefault("duty", [0.5])
    for key, (_, default) in LAYER_KEYS.items():
        layer.setdefault(key, default)
    if isinstance(layer["duty"], float):
        layer["duty"] = [layer["duty"]]
    if layer["arp"] and not layer["arprate"]:
        raise SynthError("%s: arp needs arprate, the seconds a step lasts" % where)
    return layer


# ---- Oscillators --------------------------------------------------------------------------

def _blep(t, dt):
    """The polyBLEP correction of a unit upward step at phase 0 (t, dt in cycles)."""
    out = np.zeros_like(t)
    m = t < dt
    x = t[m] / dt[m]
    out[m] = x + x - x * x - 1.0
    m = t > 1.0 - dt
    x = (t[m] - 1.0) / dt[m]
    out[m] = x * x + x + x + 1.0
    return out


def oscillator(wave, freq, duty, rng, phase0=0.0, noise_rate=None):
    """One waveform at a per-sample frequency (Hz array); duty is a scalar or an array."""
    n = len(freq)
    if wave == "noise":
        if noise_rate is None:
            return rng.uniform(-1.0, 1.0, n)
        # Sample-and-hold noise: pitched like the old sound chips' noise channel.
        steps = np.floor(np.cumsum(noise_rate / RATE)).astype(np.int64)
        table = rng.uniform(-1.0, 1.0, int(steps[-1]) + 2 if n else 1)
        return table[steps]
    dt = np.minimum(freq / RATE, 0.45)
    phase = (np.cumsum(dt) - dt + phase0) % 1.0
    if wave == "sine":
        return np.sin(2.0 * np.pi * phase)
    if wave == "triangle":
        return 1.0 - 4.0 * np.abs(((phase + 0.25) % 1.0) - 0.5)
    if wave == "saw":
        return 2.0 * phase - 1.0 - _blep(phase, dt)
    if wave == "pulse":
        duty = np.clip(duty, 0.02, 0.98)
        naive = np.where(phase < duty, 1.0, -1.0)
        wave_out = naive + _blep(phase, dt) - _blep((phase - duty) % 1.0, dt)
        return wave_out - (2.0 * duty - 1.0)  # a narrow pulse is lopsided: keep it centred
    raise SynthError("unknown waveform %r" % wave)


# ---- Envelope -----------------------------------------------------------------------------

def envelope(n_hold, n_total, a, d, s, r):
    """Attack (linear), decay (exponential to the sustain level), hold, release to exactly 0."""
    t = np.arange(n_total) / RATE
    env = np.ones(n_total)
    if a > 0:
        env = np.minimum(t / a, 1.0)
    after = np.maximum(t - a, 0.0)
    if d > 0:
        fall = s + (1.0 - s) * np.exp(-3.0 * after / d)
    else:
        fall = np.full(n_total, s)
    env = np.where(t < a, env, fall)
    n_hold = min(n_hold, n_total)
    if n_total > n_hold:
        level = env[n_hold - 1] if n_hold > 0 else 0.0
        u = (np.arange(n_total - n_hold) + 1) / RATE
        rel = max(r, 1.0 / RATE)
        tail = level * np.exp(-3.0 * u / rel) * np.clip(1.0 - u / rel, 0.0, 1.0)
        env[n_hold:] = tail
    return env


# ---- Filters ------------------------------------------------------------------------------

def _biquad(kind, fc, q):
    """Coefficients (b, a) of the audio-cookbook biquads."""
    fc = min(max(fc, 10.0), RATE * 0.45)
    w0 = 2.0 * math.pi * fc / RATE
    alpha = math.sin(w0) / (2.0 * q)
    c = math.cos(w0)
    if kind == "lp":
        b = ((1 - c) / 2, 1 - c, (1 - c) / 2)
    elif kind == "hp":
        b = ((1 + c) / 2, -(1 + c), (1 + c) / 2)
    elif kind == "bp":
        b = (alpha, 0.0, -alpha)
    else:
        raise SynthError("unknown filter %r" % kind)
    return b, (1 + alpha, -2 * c, 1 - alpha)


def biquad_response(kind, fc, q, nfft):
    """The filter's complex response on the bins of an nfft-point real FFT."""
    b, a = _biquad(kind, fc, q)
    z = np.exp(-1j * np.linspace(0.0, np.pi, nfft // 2 + 1))
    # Horner's rule in place: long pieces make these arrays large.
    num = z * b[2]
    num += b[1]
    num *= z
    num += b[0]
    den = z * a[2]
    den += a[1]
    den *= z
    den += a[0]
    num /= den
    del z, den
    return num


def filter_circular(x, kind, fc, q=0.707):
    """The filter's periodic steady state on x (axis 0): exact for a loop, and for a one-shot
    sound padded with enough silence that nothing wraps around."""
    n = x.shape[0]
    h = biquad_response(kind, fc, q, n)
    if x.ndim == 1:
        spectrum = np.fft.rfft(x)
        spectrum *= h
        return np.fft.irfft(spectrum, n)
    out = np.empty_like(x)
    for channel in range(x.shape[1]):
        spectrum = np.fft.rfft(x[:, channel])
        spectrum *= h
        out[:, channel] = np.fft.irfft(spectrum, n)
    return out


def fast_size(n):
    """The smallest length >= n with no prime factor above 5, which FFTs handle quickly."""
    best = 1 << max(n - 1, 0).bit_length()
    five = 1
    while five < best:
        three = five
        while three < best:
            size = three
            while size < n:
                size *= 2
            best = min(best, size)
            three *= 3
        five *= 5
    return best


def filter_once(x, kind, fc, q=0.707):
    """A causal static filter on a sound that starts and ends in silence."""
    padded = np.zeros(fast_size(len(x) + 4096))
    padded[:len(x)] = x
    return filter_circular(padded, kind, fc, q)[:len(x)]


def filter_sweep(x, kind, fc, q=0.707):
    """State-variable filter with a per-sample cutoff (Hz array); a plain loop, for short
    sounds only."""
    g = np.tan(np.pi * np.clip(fc, 10.0, RATE * 0.45) / RATE)
    k = 1.0 / q
    a1 = 1.0 / (1.0 + g * (g + k))
    a2 = g * a1
    a3 = g * a2
    out = np.empty_like(x)
    ic1 = ic2 = 0.0
    pick = {"lp": 0, "bp": 1, "hp": 2}[kind]
    for i, (v0, c1, c2, c3) in enumerate(zip(x.tolist(), a1.tolist(), a2.tolist(), a3.tolist())):
        v3 = v0 - ic2
        v1 = c1 * ic1 + c2 * v3
        v2 = ic2 + c2 * ic1 + c3 * v3
        ic1 = 2.0 * v1 - ic1
        ic2 = 2.0 * v2 - ic2
        out[i] = v2 if pick == 0 else (v1 * k if pick == 1 else v0 - k * v1 - v2)
    return out


# ---- One layer ----------------------------------------------------------------------------

def _ramp(pair, n, n_ramp=None):
    """A value constant, or sliding exponentially from pair[0] to pair[1] over n_ramp."""
    if len(pair) == 1 or n == 0:
        return np.full(n, pair[0])
    n_ramp = n if n_ramp is None else max(1, min(n_ramp, n))
    x = np.minimum(np.arange(n) / max(n_ramp - 1, 1), 1.0)
    lo, hi = max(pair[0], 1e-3), max(pair[1], 1e-3)
    return lo * (hi / lo) ** x


def render_layer(layer, hold, notes=None, seed=1):
    """Samples of one layer held for `hold` seconds then released. `notes` is a list of MIDI
    notes (a chord) or None for layers that give their own freq."""
    if layer["s"] == 0:
        # Without sustain the sound has died (-80 dB) a little after three decays; holding
        # it longer (a drum let ring) would only add silence to compute.
        hold = min(hold, layer["a"] + 3.1 * layer["d"])
    n_hold = seconds_to_samples(hold)
    n = n_hold + seconds_to_samples(layer["r"])
    if n <= 0:
        return np.zeros(0)
    rng = np.random.default_rng(seed)
    t = np.arange(n) / RATE

    # Pitch, in semitones relative to each base frequency.
    offset = np.full(n, layer["shift"])
    if layer["sweep"] is not None:
        semis, time = layer["sweep"]
        offset += semis * np.clip(1.0 - t / max(time, 1e-4), 0.0, 1.0) ** 2
    if layer["vib"] is not None:
        rate, depth = layer["vib"][:2]
        delay = layer["vib"][2] if len(layer["vib"]) > 2 else 0.0
        fade_in = np.clip((t - delay) / 0.15, 0.0, 1.0)
        offset += depth * fade_in * np.sin(2.0 * np.pi * rate * t)

    if layer["freq"] is not None:
        glide = layer["glide"]
        bases = [_ramp(layer["freq"], n, seconds_to_samples(glide) if glide else None)]
    elif notes:
        bases = [np.full(n, float(hz_of_midi(note))) for note in notes]
    else:
        bases = [np.full(n, 440.0)]

    # A chord with an arpeggio rate, or an explicit arpeggio, cycles through its notes.
    if layer["arprate"]:
        step = np.floor(t / layer["arprate"]).astype(np.int64)
        if layer["arp"]:
            offset += np.asarray(layer["arp"])[step % len(layer["arp"])]
        if len(bases) > 1:
            bases = [np.stack(bases)[step % len(bases), np.arange(n)]]

    duty = _ramp(layer["duty"], n)
    copies, cents = layer["unison"] if layer["unison"] else (1, 0.0)
    copies = max(int(copies), 1)
    out = np.zeros(n)
    for base in bases:
        for c in range(copies):
            spread = 0.0 if copies == 1 else (c / (copies - 1) - 0.5) * cents / 100.0
            freq = base * 2.0 ** ((offset + spread) / 12.0)
            phase0 = layer["phase"] if copies == 1 else rng.uniform()
            noise_rate = freq if (layer["wave"] == "noise" and layer["freq"] is not None) else None
            out += oscillator(layer["wave"], freq, duty, rng, phase0, noise_rate)
    out /= math.sqrt(len(bases) * copies)

    if layer["crush"]:
        idx = np.floor(np.arange(n) * layer["crush"] / RATE) * RATE / layer["crush"]
        out = out[np.minimum(idx.astype(np.int64), n - 1)]
    if layer["bits"]:
        out = np.round(out * layer["bits"]) / layer["bits"]

    out *= envelope(n_hold, n, layer["a"], layer["d"], layer["s"], layer["r"])
    for kind in ("hp", "bp", "lp"):
        cut = layer[kind]
        if cut is None:
            continue
        if len(cut) == 1:
            out = filter_once(out, kind, cut[0], layer["q"])
        else:
            out = filter_sweep(out, kind, _ramp(cut, n), layer["q"])
    return out * layer["vol"]


# ---- Finishing ----------------------------------------------------------------------------

def limit(x, ceiling, block=256, release_db=0.5, circular=False):
    """Scales loud stretches down so no sample passes `ceiling`: the gain falls just before a
    peak and recovers slowly after it (`release_db` a block), the way a mastering limiter
    does, instead of clipping or pumping. x is (samples,) or (samples, channels)."""
    mono = np.abs(x) if x.ndim == 1 else np.maximum(np.abs(x[:, 0]), np.abs(x[:, 1]))
    n = len(mono)
    blocks = -(-n // block)
    padded = np.zeros(blocks * block)
    padded[:n] = mono
    peaks = padded.reshape(blocks, block).max(axis=1)
    need = np.minimum(0.0, 20.0 * np.log10(ceiling / np.maximum(peaks, 1e-12)))
    # Each block's gain also covers its neighbours, so the line drawn between two block
    # centres never rises above what the samples between them need.
    if circular:
        around = np.concatenate([need[-1:], need, need[:2]])
    else:
        around = np.concatenate([[0.0], need, [0.0, 0.0]])
    ahead = np.minimum.reduce([around[0:blocks], around[1:blocks + 1],
                               around[2:blocks + 2], around[3:blocks + 3]])
    gain = ahead.tolist()
    level = 0.0
    for _ in range(2 if circular else 1):  # a loop's end recovers into its start
        for k in range(blocks):
            level = min(gain[k], level + release_db)
            gain[k] = level
    gain = db_to_gain(np.asarray(gain))
    centres = np.arange(blocks) * block + block / 2.0
    if circular:
        span = blocks * block
        xs = np.concatenate([[centres[-1] - span], centres, [centres[0] + span]])
        gs = np.concatenate([[gain[-1]], gain, [gain[0]]])
    else:
        xs, gs = centres, gain
    g = np.interp(np.arange(n), xs, gs)
    y = x * (g if x.ndim == 1 else g[:, None])
    return np.clip(y, -ceiling, ceiling, out=y)  # rounding guard only: the gain already fits


def fade_edges(x, fade_in=0.001, fade_out=0.008):
    """Starts from and ends at exactly zero, so starting or stopping the sound cannot click."""
    n_in, n_out = seconds_to_samples(fade_in), seconds_to_samples(fade_out)
    shape = x.copy()
    if n_in:
        ramp = np.sin(0.5 * np.pi * np.arange(n_in) / n_in) ** 2
        shape[:n_in] *= ramp if x.ndim == 1 else ramp[:, None]
    if n_out:
        ramp = np.cos(0.5 * np.pi * (np.arange(n_out) + 1) / n_out) ** 2
        shape[-n_out:] *= ramp if x.ndim == 1 else ramp[:, None]
    return shape


def to_pcm16(x):
    return np.clip(np.round(x * 32767.0), -32767, 32767).astype("<i2")


def write_wav(path, x):
    """16-bit PCM at 44,100 Hz, mono for a 1-D array, stereo for (samples, 2): the plain
    44-byte header that the wave module writes."""
    pcm = to_pcm16(x)
    with wave.open(path, "wb") as out:
        out.setnchannels(1 if pcm.ndim == 1 else pcm.shape[1])
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(pcm.tobytes())


def level_db(x):
    peak = float(np.max(np.abs(x))) if x.size else 0.0
    rms = float(np.sqrt(np.mean(np.square(x)))) if x.size else 0.0
    return (20 * math.log10(max(peak, 1e-9)), 20 * math.log10(max(rms, 1e-9)))
