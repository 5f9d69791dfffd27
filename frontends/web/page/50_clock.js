// --- the clock's driver: the core's clock asks to be woken when its next
// tick is due; a hidden page pauses it (and the sound), and it resumes where
// it was when the page shows again.
class ClockDriver {
  constructor(run) {
    this.run = run;
    this.timeout = 0;
    this.generation = 0;
    // "As soon as possible" is a task of its own, not a clamped timeout.
    this.channel = new MessageChannel();
    this.channel.port1.onmessage = (event) => { if (event.data === this.generation) this.fire(); };
  }

  wake(delay) {
    ++this.generation;
    if (this.timeout) clearTimeout(this.timeout);
    this.timeout = 0;
    if (delay < 0) return;
    if (delay < 1) this.channel.port2.postMessage(this.generation);
    else this.timeout = setTimeout(() => this.fire(), Math.ceil(delay));
  }

  fire() {
    this.timeout = 0;
    this.run();
  }
}

function pauseWhileHidden(pause, resume) {
  const changed = () => (document.visibilityState === 'hidden' ? pause() : resume());
  document.addEventListener('visibilitychange', changed);
  window.addEventListener('pagehide', pause);
  window.addEventListener('pageshow', () => { if (document.visibilityState !== 'hidden') resume(); });
  if (document.visibilityState === 'hidden') pause();
}
