// --- sound: the mixer (our own, compiled to wasm) runs in an AudioWorklet
// and owns the samples; the page sends it the core's calls as messages. The
// context runs at the rate the console opens its sound at (22050 Hz) and the
// browser converts to the device's rate: that costs no more while playing
// than mixing at the device's rate, and PLAY then has no effect to convert.
// A browser that refuses that rate runs the context at its own, and the
// effects are converted to it as they load. The context is made by PLAY,
// the player's gesture.
//
// While nothing sounds (no effect and no engine tone) for a while, the
// context rests (is suspended), so that a console that is off or idle costs
// the machine nothing; the next effect or tone wakes it.
const AUDIO_REST_AFTER_MS = 2000;

// The engine around the mixer's wasm, shared by the worklet and the fallback.
// Self-contained: its source is also the worklet's.
function mixerImports(module) {
  const imports = {};
  for (const wanted of WebAssembly.Module.imports(module)) {
    // Nothing the mixer does calls out; what the C library links is inert.
    (imports[wanted.module] ||= {})[wanted.name] = () => 0;
  }
  return imports;
}

function createMixerEngine(x) {
  if (x._initialize) x._initialize();
  return {
    handle(m) {
      switch (m.op) {
        case 'open': x.engine_open(m.rate, 1, m.channels); break;
        case 'load': {
          const at = x.engine_staging(m.pcm.length);
          new Int16Array(x.memory.buffer, at, m.pcm.length).set(m.pcm);
          x.engine_load(m.id);
          break;
        }
        case 'play': x.engine_play(m.id); break;
        case 'stop': x.engine_stop(m.channel); break;
        case 'unload': x.engine_unload(m.id); break;
        case 'tone': x.engine_tone(m.divisor); break;
        case 'close': x.engine_stop(-1); x.engine_tone(-1); break;
      }
    },
    // Mixes the next frames; whether anything sounds after them.
    mix(out) {
      const at = x.engine_mix(out.length);
      const mixed = new Int16Array(x.memory.buffer, at, out.length);
      for (let i = 0; i < out.length; ++i) out[i] = mixed[i] / 32768;
      return x.engine_sounding() !== 0;
    },
    sounding: () => x.engine_sounding() !== 0,
  };
}

function mixerProcessorSource() {
  class VorlakMixer extends AudioWorkletProcessor {
    constructor(options) {
      super();
      // Compiled here from its bytes: every browser can clone bytes into a
      // worklet, not every one a compiled module. (It is small: 16 KB.)
      const module = new WebAssembly.Module(options.processorOptions.wasm);
      this.engine = createMixerEngine(new WebAssembly.Instance(module, mixerImports(module)).exports);
      this.sounding = false;
      // After every message the page hears whether anything sounds, and
      // again whenever that changes.
      this.port.onmessage = (event) => {
        this.engine.handle(event.data);
        this.report(this.engine.sounding(), true);
      };
    }
    report(sounding, always) {
      if (sounding === this.sounding && !always) return;
      this.sounding = sounding;
      this.port.postMessage({ sounding });
    }
    process(inputs, outputs) {
      const out = outputs[0][0];
      if (out) this.report(this.engine.mix(out), false);
      return true;
    }
  }
  registerProcessor('vorlak-mixer', VorlakMixer);
}

class AudioOutput {
  constructor(mixerWasm) {
    this.mixerWasm = mixerWasm;
    this.context = null;
    this.send = null;      // set once the engine runs
    this.pending = [];     // messages sent before that
    this.output = null;    // the node the engine plays into
    this.kind = 'none';    // 'worklet', 'fallback' or 'none'
    this.wanted = false;   // sound was opened: run whenever the page is shown
    this.sounding = false; // as the engine last said
    this.resting = false;  // suspended while nothing sounds
    this.restTimer = 0;
  }

  // The rate the engine mixes at: its context's, or 0 when there is no
  // context (the console then plays silently).
  open(rate, channels) {
    if (!this.context && this.kind !== 'failed') {
      this.wanted = true;
      try {
        this.createContext(rate);
      } catch (error) {
        this.failed(error);
      }
    }
    const mixRate = this.context ? this.context.sampleRate : 0;
    this.post({ op: 'open', rate: mixRate || rate, channels });
    return mixRate;
  }
  failed(error) {
    this.kind = 'failed';
    console.warn(`Vorlak: sound could not start (${error.message}); the console plays silently.`);
  }
  load(id, pcm) { this.post({ op: 'load', id, pcm }, [pcm.buffer]); }
  play(id) { this.wake(); this.post({ op: 'play', id }); }
  stop(channel) { this.post({ op: 'stop', channel }); }
  unload(id) { this.post({ op: 'unload', id }); }
  tone(divisor) {
    if (divisor >= 0) this.wake();
    this.post({ op: 'tone', divisor });
  }
  close() { this.post({ op: 'close' }); }

  // The engine says whether anything sounds: after a while of silence the
  // context rests.
  soundingChanged(sounding) {
    this.sounding = sounding;
    clearTimeout(this.restTimer);
    this.restTimer = sounding ? 0 : setTimeout(() => this.rest(), AUDIO_REST_AFTER_MS);
  }
  rest() {
    this.restTimer = 0;
    if (this.sounding || !this.context) return;
    this.resting = true;  // also when hidden: showing the page again then wakes nothing
    if (this.context.state === 'running') this.context.suspend();
  }
  wake() {
    // Sounding until the engine says otherwise: no rest in between.
    this.soundingChanged(true);
    if (!this.resting) return;
    this.resting = false;
    this.resume();
  }

  post(message, transfer) {
    if (this.send) this.send(message, transfer);
    else this.pending.push([message, transfer]);
  }

  createContext(rate) {
    const Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) throw new Error('this browser has no Web Audio');
    let context;
    try {
      context = new Context({ latencyHint: 'interactive', sampleRate: rate });
    } catch (error) {
      context = new Context({ latencyHint: 'interactive' });
    }
    this.context = context;
    resumeOnGesture(context, () => this.wanted && !this.resting && document.visibilityState !== 'hidden');
    this.start(context).catch((error) => this.failed(error));
  }

  async start(context) {
    if (context.audioWorklet) {
      const source = `${mixerImports}\n${createMixerEngine}\n(${mixerProcessorSource})();`;
      const url = URL.createObjectURL(new Blob([source], { type: 'text/javascript' }));
      await context.audioWorklet.addModule(url);
      URL.revokeObjectURL(url);
      const node = new AudioWorkletNode(context, 'vorlak-mixer', {
        numberOfInputs: 0, numberOfOutputs: 1, outputChannelCount: [1], processorOptions: { wasm: this.mixerWasm },
      });
      node.onprocessorerror = () => console.warn('Vorlak: the sound engine stopped with an error; the console plays silently.');
      node.port.onmessage = (event) => this.soundingChanged(event.data.sounding);
      this.send = (message, transfer) => node.port.postMessage(message, transfer || []);
      this.output = node;
      this.kind = 'worklet';
    } else {
      // An AudioWorklet needs a secure context (https, or 127.0.0.1 and
      // localhost); elsewhere the same mixer runs beside the page.
      console.warn('Vorlak: this page is not a secure context (https, or 127.0.0.1/localhost), so sound ' +
                   'cannot use an AudioWorklet: it is mixed on the page instead, and may stutter.');
      const module = await WebAssembly.compile(this.mixerWasm);
      const engine = createMixerEngine((await WebAssembly.instantiate(module, mixerImports(module))).exports);
      const node = context.createScriptProcessor(1024, 0, 1);
      node.onaudioprocess = (event) => {
        const sounding = engine.mix(event.outputBuffer.getChannelData(0));
        if (sounding !== this.sounding) this.soundingChanged(sounding);
      };
      this.send = (message) => {
        engine.handle(message);
        this.soundingChanged(engine.sounding());
      };
      this.output = node;
      this.kind = 'fallback';
    }
    this.output.connect(context.destination);
    for (const [message, transfer] of this.pending) this.send(message, transfer);
    this.pending = [];
  }

  suspend() { if (this.context && this.context.state === 'running') this.context.suspend(); }
  resume() {
    if (this.context && this.wanted && !this.resting && document.visibilityState !== 'hidden' &&
        this.context.state === 'suspended') this.context.resume();
  }

  // An analyser on the engine's output, for checks of what it plays.
  tap(fftSize = 32768) {
    const analyser = this.context.createAnalyser();
    analyser.fftSize = fftSize;
    this.output.connect(analyser);
    return analyser;
  }
}

// Browsers start audio only from a user gesture: the first one resumes it.
function resumeOnGesture(context, allowed) {
  const kinds = ['pointerdown', 'keydown', 'touchend'];
  const resume = () => {
    if (!allowed()) return;
    context.resume().then(() => {
      if (context.state === 'running') for (const kind of kinds) window.removeEventListener(kind, resume, true);
    });
  };
  for (const kind of kinds) window.addEventListener(kind, resume, true);
  resume();
}
