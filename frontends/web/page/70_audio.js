// --- sound: the mixer (our own, compiled to wasm) runs in an AudioWorklet
// and owns the samples; the page sends it the core's calls as messages. The
// context runs at the mixer's rate (the browser converts to the device's),
// and starts with the page's first user gesture.

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
    mix(out) {
      const at = x.engine_mix(out.length);
      const mixed = new Int16Array(x.memory.buffer, at, out.length);
      for (let i = 0; i < out.length; ++i) out[i] = mixed[i] / 32768;
    },
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
      this.port.onmessage = (event) => this.engine.handle(event.data);
    }
    process(inputs, outputs) {
      const out = outputs[0][0];
      if (out) this.engine.mix(out);
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
  }

  open(rate, channels) {
    this.post({ op: 'open', rate, channels });
    if (this.context || this.kind === 'failed') return;
    this.wanted = true;
    this.start(rate).catch((error) => {
      this.kind = 'failed';
      console.warn(`Vorlak: sound could not start (${error.message}); the console plays silently.`);
    });
  }
  load(id, pcm) { this.post({ op: 'load', id, pcm }, [pcm.buffer]); }
  play(id) { this.post({ op: 'play', id }); }
  stop(channel) { this.post({ op: 'stop', channel }); }
  unload(id) { this.post({ op: 'unload', id }); }
  tone(divisor) { this.post({ op: 'tone', divisor }); }
  close() { this.post({ op: 'close' }); }

  post(message, transfer) {
    if (this.send) this.send(message, transfer);
    else this.pending.push([message, transfer]);
  }

  async start(rate) {
    const Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) throw new Error('this browser has no Web Audio');
    const context = new Context({ sampleRate: rate, latencyHint: 'interactive' });
    this.context = context;
    resumeOnGesture(context, () => this.wanted && document.visibilityState !== 'hidden');
    if (context.audioWorklet) {
      const source = `${mixerImports}\n${createMixerEngine}\n(${mixerProcessorSource})();`;
      const url = URL.createObjectURL(new Blob([source], { type: 'text/javascript' }));
      await context.audioWorklet.addModule(url);
      URL.revokeObjectURL(url);
      const node = new AudioWorkletNode(context, 'vorlak-mixer', {
        numberOfInputs: 0, numberOfOutputs: 1, outputChannelCount: [1], processorOptions: { wasm: this.mixerWasm },
      });
      node.onprocessorerror = () => console.warn('Vorlak: the sound engine stopped with an error; the console plays silently.');
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
      node.onaudioprocess = (event) => engine.mix(event.outputBuffer.getChannelData(0));
      this.send = (message) => engine.handle(message);
      this.output = node;
      this.kind = 'fallback';
    }
    this.output.connect(context.destination);
    for (const [message, transfer] of this.pending) this.send(message, transfer);
    this.pending = [];
  }

  suspend() { if (this.context && this.context.state === 'running') this.context.suspend(); }
  resume() { if (this.context && this.wanted && this.context.state === 'suspended') this.context.resume(); }

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
