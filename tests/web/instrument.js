// What the tests and the probe read of a page of the game, in window.quibbetTest: the frames
// the program hands over, the recorded ones as the canvas shows them, the page's timings and
// the sound's state. browser.mjs adds this script to each page before the page's own; it
// watches the program's host object (Module.quibbetHost, site/bridge.js) by wrapping
// createQuibbet as quibbet.js defines it, and Web Audio by wrapping its constructors, so the
// page itself carries nothing for the tests.
(() => {
  const watch = window.quibbetTest = {
    presented: 0,
    frames: {},  // recorded frames by global index: base64 of their RGB bytes
    firstFrameMs: null,  // from the page's start to the first frame on the canvas
    timings: {},  // from the page's start: archives fetched, program running, window opened
    intervals: [],  // milliseconds between frames, the last thousand
    work: [],  // milliseconds of the program's own work in each frame
    // `peak`: the loudest sample of the last frame the program sent.
    audio: { state: "none", sent: 0, received: 0, underruns: 0, ratio: 1, peak: 0 },
    grab: () => grab(),  // the frame on the canvas now, as recorded frames are
  };
  let lastPresent = 0;

  // The frame canvas's RGB bytes, base64; at 800 x 600 device pixels it fills the window
  // exactly.
  function grab() {
    const screen = document.getElementById("frame");
    const rgba = screen.getContext("2d").getImageData(0, 0, screen.width, screen.height).data;
    const rgb = new Uint8Array(rgba.length / 4 * 3);
    for (let i = 0, j = 0; i < rgba.length; i += 4) {
      rgb[j++] = rgba[i];
      rgb[j++] = rgba[i + 1];
      rgb[j++] = rgba[i + 2];
    }
    let text = "";
    for (let i = 0; i < rgb.length; i += 0x8000)
      text += String.fromCharCode.apply(null, rgb.subarray(i, i + 0x8000));
    return btoa(text);
  }

  function keepLast(list, value) {
    list.push(value);
    if (list.length > 1000) list.shift();
  }

  function watchHost(host) {
    const { open, present, audio } = host;
    host.open = (...args) => {
      // The program opens its window only once the page has the archives.
      const archives = performance.getEntriesByType("resource")
        .filter((entry) => entry.name.endsWith(".MPK"));
      watch.timings.files = Math.max(...archives.map((entry) => entry.responseEnd));
      watch.timings.window = performance.now();
      return open(...args);
    };
    host.present = (rgba, width, height, workMs) => {
      present(rgba, width, height, workMs);
      const now = performance.now();
      if (watch.firstFrameMs === null) watch.firstFrameMs = now;
      else keepLast(watch.intervals, now - lastPresent);
      keepLast(watch.work, workMs);
      lastPresent = now;
      ++watch.presented;
    };
    host.frameRecorded = (index) => { watch.frames[index] = grab(); };
    host.audio = (samples) => {
      watch.audio.sent += samples.length / 2;
      watch.audio.peak = samples.reduce((peak, s) => Math.max(peak, Math.abs(s)), 0);
      audio(samples);
    };
  }

  let create = null;
  Object.defineProperty(window, "createQuibbet", {
    configurable: true,
    set: (value) => { create = value; },
    get: () => create && ((module) => {
      watchHost(module.quibbetHost);
      const initialized = module.onRuntimeInitialized;
      module.onRuntimeInitialized = () => {
        watch.timings.running = performance.now();
        if (initialized) initialized();
      };
      return create(module);
    }),
  });

  const NativeContext = window.AudioContext;
  window.AudioContext = class extends NativeContext {
    // A test may hold the context to a rate of its own, as a device at that rate would.
    constructor(options) {
      const rate = window.quibbetTestRate;
      super(rate ? { ...options, sampleRate: rate } : options);
      watch.audio.state = this.state;
      this.addEventListener("statechange", () => { watch.audio.state = this.state; });
    }
  };
  // The worklet's reports of its queue: frames received, underruns, read ratio.
  const NativeNode = window.AudioWorkletNode;
  window.AudioWorkletNode = class extends NativeNode {
    constructor(...args) {
      super(...args);
      this.port.addEventListener("message", (event) => Object.assign(watch.audio, event.data));
      this.port.start();
    }
  };
})();
