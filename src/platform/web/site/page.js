// The page around the game. It fetches the archives (from beside the page, or from ?data=),
// starts the program with the address's options, draws its frames on the canvas, turns the
// mouse, touch and keys into the program's events, plays its sound through Web Audio, and
// shows its boxes and its end as overlays. The program reaches it through Module.quibbetHost
// (src/platform/web/web_platform.cpp). window.quibbet holds what a test, or a curious player,
// may read: the summary, kept frames, frame times and the state of the sound.
"use strict";

const QuibbetPage = (() => {
  const ARCHIVES = ["SPRITES.MPK", "FONTS.MPK", "TEXTS.MPK", "SOUNDS.MPK"];
  // Events as web_platform.cpp numbers them.
  const POINTER_MOVE = 1, BUTTON = 2, KEY = 3, VISIBLE = 4, RESIZE = 5;
  const LEFT = 0;

  const state = window.quibbet = {
    summary: null,  // the run's summary, as --summary writes it, once the run has ended
    exitCode: null,
    problem: "",
    frames: {},  // kept frames by global index: base64 of their RGB bytes
    presented: 0,
    firstFrameMs: null,  // from the page's start to the first frame on the canvas
    timings: {},  // from the page's start: archives fetched, program running, window opened
    intervals: [],  // milliseconds between frames, the last thousand
    work: [],  // milliseconds of the program's own work in each frame
    audio: { state: "none", sent: 0, received: 0, underruns: 0, ratio: 1 },
    grab: () => grab(),  // the frame on the canvas now, as kept frames are
  };

  const screen = document.getElementById("screen");
  const screenContext = screen.getContext("2d");
  const frame = document.createElement("canvas");
  const frameContext = frame.getContext("2d");
  const enlarged = document.createElement("canvas");
  const enlargedContext = enlarged.getContext("2d");
  let image = null;
  let fit = { x: 0, y: 0, w: 800, h: 600, multiple: 1, smooth: false };
  const events = [];
  let lastPresent = 0;
  let boxIsOpen = false;
  let ended = false;

  // ---- Drawing ---------------------------------------------------------------------------

  function resize() {
    const ratio = window.devicePixelRatio || 1;
    screen.style.width = window.innerWidth + "px";
    screen.style.height = window.innerHeight + "px";
    screen.width = Math.max(1, Math.round(window.innerWidth * ratio));
    screen.height = Math.max(1, Math.round(window.innerHeight * ratio));
    events.push([RESIZE, screen.width, screen.height, 0]);
    draw();
  }

  // The desktop's "sharp" rule, as the program computed it: enlarged by a whole multiple with
  // every pixel the same size, then smoothed to fill the target.
  function draw() {
    screenContext.fillStyle = "#000";
    screenContext.fillRect(0, 0, screen.width, screen.height);
    if (!image) return;
    let source = frame;
    if (fit.smooth && fit.multiple > 1) {
      if (enlarged.width !== frame.width * fit.multiple) {
        enlarged.width = frame.width * fit.multiple;
        enlarged.height = frame.height * fit.multiple;
      }
      enlargedContext.imageSmoothingEnabled = false;
      enlargedContext.drawImage(frame, 0, 0, enlarged.width, enlarged.height);
      source = enlarged;
    }
    screenContext.imageSmoothingEnabled = fit.smooth;
    screenContext.drawImage(source, fit.x, fit.y, fit.w, fit.h);
  }

  function rgbBase64(rgba) {
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

  function grab() {
    return image ? rgbBase64(image.data) : null;
  }

  // ---- Input -----------------------------------------------------------------------------

  let pointerX = 0, pointerY = 0;

  function movePointer(x, y) {
    pointerX = Math.min(screen.width - 1, Math.max(0, x));
    pointerY = Math.min(screen.height - 1, Math.max(0, y));
    events.push([POINTER_MOVE, Math.round(pointerX), Math.round(pointerY), 0]);
  }

  // A position on the page in the canvas's own pixels.
  function pointAt(clientX, clientY) {
    const rect = screen.getBoundingClientRect();
    return [(clientX - rect.left) * screen.width / rect.width,
            (clientY - rect.top) * screen.height / rect.height];
  }

  function onPointerMove(event) {
    if (event.pointerType === "touch") return;
    if (document.pointerLockElement === screen) {
      const rect = screen.getBoundingClientRect();
      movePointer(pointerX + event.movementX * screen.width / rect.width,
                  pointerY + event.movementY * screen.height / rect.height);
    } else {
      movePointer(...pointAt(event.clientX, event.clientY));
    }
  }

  function onPointerButton(event) {
    if (event.pointerType === "touch") return;
    startSound();
    if (event.button !== 0 && event.button !== 2) return;
    events.push([BUTTON, event.button, event.type === "pointerdown" ? 1 : 0, 0]);
    // The pointer belongs to the game while it is hidden, as on the desktop.
    if (event.type === "pointerdown" && screen.style.cursor === "none" && screen.requestPointerLock)
      screen.requestPointerLock();
  }

  // A finger's place steers the bus; while a finger is down the bus fires.
  function onTouch(event) {
    event.preventDefault();
    startSound();
    const touch = event.touches[0] || event.changedTouches[0];
    if (touch) movePointer(...pointAt(touch.clientX, touch.clientY));
    if (event.type === "touchstart" && event.touches.length === 1)
      events.push([BUTTON, LEFT, 1, 0]);
    if ((event.type === "touchend" || event.type === "touchcancel") && event.touches.length === 0)
      events.push([BUTTON, LEFT, 0, 0]);
  }

  // Virtual-key codes of the keys a keyboard event names.
  function virtualKey(code) {
    const named = { Escape: 27, Space: 32, Enter: 13, NumpadEnter: 13, Backspace: 8, Tab: 9,
                    ShiftLeft: 16, ShiftRight: 16, ControlLeft: 17, ControlRight: 17, Pause: 19,
                    PageUp: 33, PageDown: 34, End: 35, Home: 36, ArrowLeft: 37, ArrowUp: 38,
                    ArrowRight: 39, ArrowDown: 40, Insert: 45, Delete: 46, Minus: 189,
                    Equal: 187, NumpadAdd: 107, NumpadSubtract: 109 };
    if (code in named) return named[code];
    let match = /^Key([A-Z])$/.exec(code);
    if (match) return match[1].charCodeAt(0);
    match = /^Digit([0-9])$/.exec(code);
    if (match) return match[1].charCodeAt(0);
    match = /^F([0-9]+)$/.exec(code);
    if (match && +match[1] >= 1 && +match[1] <= 12) return 111 + +match[1];
    return 0;
  }

  function onKey(event) {
    startSound();
    const down = event.type === "keydown";
    // F and Alt+Enter belong to the page, as Alt+Enter belongs to the desktop's window.
    const fullScreen = (event.code === "KeyF" && !event.altKey && !event.ctrlKey && !event.metaKey) ||
                       (event.code === "Enter" && event.altKey);
    if (fullScreen) {
      if (down && !event.repeat) toggleFullScreen();
      event.preventDefault();
      return;
    }
    const key = virtualKey(event.code);
    if (key === 0) return;
    // Ctrl with another key is the browser's (Ctrl alone fires); a release always counts, or
    // a key let go while Ctrl is held would stay down for the game.
    if (down && (event.metaKey || (event.ctrlKey && key !== 17))) return;
    // Space and the arrows would scroll the page; the function keys stay the browser's too.
    if (key < 112 || key > 123) event.preventDefault();
    if (event.repeat) return;  // a held key counts once, as on the desktop
    events.push([KEY, key, down ? 1 : 0, 0]);
  }

  function toggleFullScreen() {
    if (document.fullscreenElement) document.exitFullscreen();
    else document.documentElement.requestFullscreen().catch(() => {});
  }

  // ---- Sound -----------------------------------------------------------------------------

  let sound = null;  // { context, send(frame) }

  // Browsers let a page sound only once the player has done something (or allow it always);
  // the first click, touch or key starts what was refused at load.
  function startSound() {
    if (sound) {
      if (sound.context.state === "suspended") sound.context.resume();
      return;
    }
    const Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) return;
    let context;
    try {
      context = new Context({ sampleRate: 44100 });
    } catch (error) {
      context = new Context();
    }
    sound = { context, send: () => {} };
    state.audio.state = context.state;
    context.onstatechange = () => { state.audio.state = context.state; };
    const report = (stats) => Object.assign(state.audio, stats);
    if (context.audioWorklet && window.isSecureContext) {
      context.audioWorklet.addModule("audio.js").then(() => {
        const node = new AudioWorkletNode(context, "quibbet-sound", { outputChannelCount: [2] });
        node.port.onmessage = (event) => report(event.data);
        node.connect(context.destination);
        sound.send = (samples) => node.port.postMessage(samples, [samples.buffer]);
      }).catch(() => useScriptProcessor(context, report));
    } else {
      useScriptProcessor(context, report);
    }
    if (context.state === "suspended") context.resume().catch(() => {});
  }

  function useScriptProcessor(context, report) {
    const queue = new QuibbetSoundQueue(() => context.currentTime);
    const node = context.createScriptProcessor(1024, 0, 2);
    node.onaudioprocess = (event) => {
      queue.pull(event.outputBuffer.getChannelData(0), event.outputBuffer.getChannelData(1));
      report(queue.stats());
    };
    node.connect(context.destination);
    sound.send = (samples) => queue.push(samples);
  }

  function sendSound(samples) {
    if (!sound || sound.context.state !== "running" ||
        sound.context.sampleRate !== 44100) return;
    const floats = new Float32Array(samples.length);
    for (let i = 0; i < samples.length; ++i) floats[i] = samples[i] / 32768;
    sound.send(floats);
    state.audio.sent += samples.length / 2;
  }

  // ---- Overlays --------------------------------------------------------------------------

  const overlay = document.getElementById("overlay");

  function showOverlay(caption, text, buttons) {
    document.getElementById("caption").textContent = caption;
    document.getElementById("text").textContent = text;
    document.getElementById("ok").hidden = !buttons.ok;
    document.getElementById("again").hidden = !buttons.again;
    overlay.hidden = false;
    if (document.pointerLockElement) document.exitPointerLock();
  }

  function end(code, summary, problem) {
    ended = true;
    state.exitCode = code;
    state.problem = problem;
    if (summary) {
      state.summary = JSON.parse(summary);
      console.log(summary);
    }
    if (problem) showOverlay("The game could not start", problem, { again: true });
    else if (boxIsOpen) document.getElementById("again").hidden = false;
    else showOverlay("Save Quibbet!", code === 0 ? "Thanks for playing." : "The game ended.",
                     { again: true });
  }

  // ---- The program's host ----------------------------------------------------------------

  const host = {
    open(width, height) {
      frame.width = width;
      frame.height = height;
      image = frameContext.createImageData(width, height);
      document.getElementById("status").hidden = true;
      state.timings.window = performance.now();
      resize();
      events.push([VISIBLE, document.hidden ? 0 : 1, 0, 0]);
      screen.focus();
    },
    nextEvent() {
      return events.shift();
    },
    fit(x, y, w, h, multiple, smooth) {
      fit = { x, y, w, h, multiple, smooth: smooth !== 0 };
      draw();
    },
    present(rgba, width, height, workMs) {
      image.data.set(rgba);
      frameContext.putImageData(image, 0, 0);
      draw();
      const now = performance.now();
      if (state.firstFrameMs === null) state.firstFrameMs = now;
      else state.intervals.push(now - lastPresent);
      if (state.intervals.length > 1000) state.intervals.shift();
      state.work.push(workMs);
      if (state.work.length > 1000) state.work.shift();
      lastPresent = now;
      ++state.presented;
    },
    keepFrame(index) {
      state.frames[index] = grab();
    },
    box(caption, text, error) {
      boxIsOpen = true;
      showOverlay(caption, text.replace(/\r/g, "\n"), { ok: !error, again: false });
      console.error(caption + "\n" + text.replace(/\r/g, "\n"));
    },
    boxOpen() {
      return boxIsOpen;
    },
    cursor(visible) {
      screen.style.cursor = visible ? "" : "none";
      if (visible && document.pointerLockElement) document.exitPointerLock();
    },
    audio(samples) {
      sendSound(samples);
    },
    finished(code, summary, problem) {
      end(code, summary, problem);
    },
  };

  // ---- Start -----------------------------------------------------------------------------

  // The folder of the archives: ?data= (relative to the page or absolute), else the page's own.
  function dataFolder(params) {
    const base = new URL(params.get("data") || ".", window.location.href);
    if (!base.pathname.endsWith("/")) base.pathname += "/";
    return base;
  }

  async function fetchOptional(url) {
    try {
      const response = await fetch(url);
      return response.ok ? new Uint8Array(await response.arrayBuffer()) : null;
    } catch (error) {
      return null;
    }
  }

  function start(createQuibbet) {
    const params = new URLSearchParams(window.location.search);
    const folder = dataFolder(params);
    // Fetched while the program itself loads and compiles. A missing archive is the program's
    // to report, in its own words, as is a missing input script.
    const archives = Promise.all(ARCHIVES.map((name) => fetchOptional(new URL(name, folder))));
    const script = params.has("input")
      ? fetchOptional(new URL(params.get("input"), window.location.href)) : Promise.resolve(null);
    if (params.has("input")) params.set("input", "/input.txt");
    params.delete("data");

    window.addEventListener("resize", resize);
    document.addEventListener("visibilitychange",
                              () => events.push([VISIBLE, document.hidden ? 0 : 1, 0, 0]));
    screen.addEventListener("pointermove", onPointerMove);
    screen.addEventListener("pointerdown", onPointerButton);
    window.addEventListener("pointerup", onPointerButton);
    screen.addEventListener("contextmenu", (event) => event.preventDefault());
    for (const type of ["touchstart", "touchmove", "touchend", "touchcancel"])
      screen.addEventListener(type, onTouch, { passive: false });
    window.addEventListener("keydown", onKey);
    window.addEventListener("keyup", onKey);
    document.getElementById("fullscreen").addEventListener("click", toggleFullScreen);
    document.getElementById("again").addEventListener("click", () => window.location.reload());
    document.getElementById("ok").addEventListener("click", () => {
      boxIsOpen = false;
      overlay.hidden = true;
    });
    startSound();

    createQuibbet({
      quibbetHost: host,
      arguments: ["?" + params.toString()],
      preRun: [(module) => {
        module.addRunDependency("quibbet-files");
        Promise.all([archives, script]).then(([files, input]) => {
          state.timings.files = performance.now();
          module.FS.mkdir("/data");
          files.forEach((bytes, i) => {
            if (bytes) module.FS.writeFile("/data/" + ARCHIVES[i], bytes);
          });
          if (input) module.FS.writeFile("/input.txt", input);
          module.removeRunDependency("quibbet-files");
        });
      }],
      onRuntimeInitialized: () => { state.timings.running = performance.now(); },
      print: (text) => console.log(text),
      printErr: (text) => console.warn(text),
    }).catch((error) => {
      if (!ended) showOverlay("The game stopped", String(error), { again: true });
    });
  }

  return { start };
})();
