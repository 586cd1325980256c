// The game's sound through Web Audio: each game frame's samples go to the AudioWorklet of
// audio.js, or where a page has none (no secure context), to a ScriptProcessor reading the
// same queue. Browsers let a page sound only once the player has done something (or allow it
// always): each click, touch or key starts, or resumes, what was refused before. The game's
// samples are 44,100 a second; a context that runs at another rate (48,000 is common on phones
// and Windows) gets them converted on the way out.
import { GAME_RATE, SoundQueue } from "./audio.js";
import { showNote } from "./overlays.js";

let sound = null;  // { context, send(samples) }

// Asks for the game's own rate, where the browser allows it, and takes what it gives.
function createContext(Context) {
  try {
    return new Context({ sampleRate: GAME_RATE });
  } catch (error) {
    try {
      return new Context();
    } catch (failure) {
      const why = `The game plays without sound: this browser's audio could not start (${failure.message}).`;
      console.warn(why);
      showNote(why);
      return null;
    }
  }
}

export function startSound() {
  if (sound) {
    if (sound.context.state === "suspended") sound.context.resume();
    return;
  }
  const Context = window.AudioContext || window.webkitAudioContext;
  if (!Context) return;
  const context = createContext(Context);
  if (!context) return;
  sound = { context, send: () => {} };
  if (context.audioWorklet && window.isSecureContext) {
    context.audioWorklet.addModule("audio.js").then(() => {
      const node = new AudioWorkletNode(context, "quibbet-sound", { outputChannelCount: [2] });
      node.connect(context.destination);
      sound.send = (samples) => node.port.postMessage(samples, [samples.buffer]);
    }).catch(() => useScriptProcessor(context));
  } else {
    useScriptProcessor(context);
  }
  if (context.state === "suspended") context.resume().catch(() => {});
}

function useScriptProcessor(context) {
  const queue = new SoundQueue(() => context.currentTime, context.sampleRate);
  const node = context.createScriptProcessor(1024, 0, 2);
  node.onaudioprocess = (event) =>
    queue.pull(event.outputBuffer.getChannelData(0), event.outputBuffer.getChannelData(1));
  node.connect(context.destination);
  sound.send = (samples) => queue.push(samples);
}

// One game frame's interleaved stereo 16-bit samples; nothing while the sound cannot play.
export function playSound(samples) {
  if (!sound || sound.context.state !== "running") return;
  const floats = new Float32Array(samples.length);
  for (let i = 0; i < samples.length; ++i) floats[i] = samples[i] / 32768;
  sound.send(floats);
}
