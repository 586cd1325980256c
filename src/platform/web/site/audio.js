// The game's sound on its way to the speakers: a queue of the samples each game frame brings,
// read at the audio device's own pace and rate. The two clocks drift apart (frames keep a
// 50 ms pace by the page's clock; the device plays by its own), so the queue is read at the
// rate the samples really arrive, measured on the device's clock, with a small correction that
// keeps it near its target, both bounded so that the pitch never bends by more than 1 %: the
// sound stays in step with the pictures. A device at another rate than the game's reads the
// queue faster or slower by the ratio of the two, between samples by linear interpolation. Loaded twice: as an AudioWorklet module, where it registers its
// processor, which reports its queue on its port now and then for whoever listens (the
// tests), and by the page (sound.js), which falls back on a ScriptProcessor where there is no
// AudioWorklet.

export const GAME_RATE = 44100;
const BEND = 0.01;  // the most the reading rate strays from the rates' ratio

export class SoundQueue {
  // `clock`: the device's time in seconds; `rate`: the device's samples a second.
  constructor(clock, rate) {
    this.clock = clock;
    this.rate = rate;
    this.step = GAME_RATE / rate;  // game frames a device frame, before the correction
    this.arrivals = [];  // [time, frames received by then], the last few seconds
    this.capacity = 44100;  // one second of stereo frames
    this.samples = new Float32Array(2 * this.capacity);
    this.head = 0;  // where the next frame is read, a whole frame
    this.phase = 0;  // and how far past it, for the interpolation
    this.count = 0;
    this.playing = false;
    // Each game frame brings 2,205 frames: the queue holds about 30 ms before one arrives,
    // and plays once it holds that and a frame.
    this.target = 1323 + 2205 / 2;
    this.start = 1323 + 2205;
    this.level = this.target;  // the queue's length, smoothed over the frames' arrivals
    this.arrivalRatio = 1;  // frames arriving per frame played, as measured
    this.ratio = this.step;
    this.received = 0;
    this.underruns = 0;
    this.dropped = 0;
  }

  // One game frame's interleaved stereo samples.
  push(frame) {
    const frames = frame.length / 2;
    for (let i = 0; i < frames; ++i) {
      if (this.count === this.capacity) {  // the oldest frame gives way
        this.head = (this.head + 1) % this.capacity;
        --this.count;
        ++this.dropped;
      }
      const at = 2 * ((this.head + this.count) % this.capacity);
      this.samples[at] = frame[2 * i];
      this.samples[at + 1] = frame[2 * i + 1];
      ++this.count;
    }
    this.received += frames;
    this.measure();
    // A fresh start waits for the target, so that jitter of the frames does not starve it.
    if (!this.playing && this.count >= this.start) this.playing = true;
  }

  // The arrival rate over the last few seconds, in frames per second of the device's clock.
  measure() {
    const now = this.clock();
    this.arrivals.push([now, this.received]);
    while (this.arrivals.length > 2 && now - this.arrivals[0][0] > 4) this.arrivals.shift();
    const [then, before] = this.arrivals[0];
    // A pause of the game (a hidden page) leaves a gap that says nothing of the rate.
    if (this.arrivals.length > 1 && now - this.arrivals[this.arrivals.length - 2][0] > 0.2)
      this.arrivals = [[now, this.received]];
    else if (now - then > 0.5)
      this.arrivalRatio = (this.received - before) / ((now - then) * GAME_RATE);
  }

  // Fills the device's two channels; silence where there is nothing to play.
  pull(left, right) {
    this.steer();
    for (let i = 0; i < left.length; ++i) {
      if (!this.playing || this.count < 2) {
        if (this.playing) ++this.underruns;
        this.playing = false;
        left[i] = right[i] = 0;
        continue;
      }
      const a = 2 * this.head, b = 2 * ((this.head + 1) % this.capacity);
      left[i] = this.samples[a] + (this.samples[b] - this.samples[a]) * this.phase;
      right[i] = this.samples[a + 1] + (this.samples[b + 1] - this.samples[a + 1]) * this.phase;
      this.phase += this.ratio;
      const whole = Math.floor(this.phase);
      this.phase -= whole;
      this.head = (this.head + whole) % this.capacity;
      this.count -= whole;
    }
  }

  steer() {
    if (!this.playing) return;
    this.level += 0.01 * (this.count - this.level);
    const error = (this.level - this.target) / this.target;
    const bent = Math.min(1 + BEND, Math.max(1 - BEND, this.arrivalRatio * (1 + 0.02 * error)));
    this.ratio = this.step * bent;
  }

  stats() {
    return { received: this.received, underruns: this.underruns, dropped: this.dropped,
             queued: this.count, ratio: this.ratio, rate: this.rate };
  }
}

if (typeof registerProcessor === "function") {
  registerProcessor("quibbet-sound", class extends AudioWorkletProcessor {
    constructor() {
      super();
      this.queue = new SoundQueue(() => currentTime, sampleRate);
      this.calls = 0;
      this.port.onmessage = (event) => this.queue.push(event.data);
    }

    process(inputs, outputs) {
      const out = outputs[0];
      this.queue.pull(out[0], out[1] || out[0]);
      if (++this.calls % 128 === 0) this.port.postMessage(this.queue.stats());
      return true;
    }
  });
}
