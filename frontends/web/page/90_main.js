// --- the page: loads the core and the bundle, draws the console, drives its
// clock and sound.
const CURSORS = ['default', 'pointer', 'help'];
const MOUSE_BUTTONS = { 0: 0, 1: 2, 2: 1 };  // the page's buttons as the core's: left, right, middle
const KEY_CODES = { Control: 17, ArrowLeft: 37, ArrowUp: 38, ArrowRight: 39, ArrowDown: 40 };

async function main() {
  const started = performance.now();
  const bundle = loadBundle('vorlak.pack');
  let painter = null, files = null, audio = null, place = null;
  const frame = document.getElementById('console');
  const canvas = document.getElementById('screen');
  const clock = new ClockDriver(() => core._vorlak_clock_run());

  const page = {
    wake: (delay) => clock.wake(delay),
    changed: (left, top, width, height) => { if (painter) painter.changed(left, top, width, height); },
    menu: (x, y) => showMenu(menu, place.left + x * place.cssScale, place.top + y * place.cssScale),
    file: (name) => (files && files.get(name)) || null,
    // The console's place on the page, in console pixels.
    windowLeft: () => Math.round(place.left / place.cssScale),
    windowTop: () => Math.round(place.top / place.cssScale),
    moveWindow: (left, top) => {
      place.left = left * place.cssScale;
      place.top = top * place.cssScale;
      place.moved = true;
      frame.style.transform = `translate(${place.left}px, ${place.top}px)`;
    },
    audio: null,
  };
  const core = await createVorlakCore({ page });
  files = await bundle;
  audio = new AudioOutput(files.get('mixer.wasm'));
  page.audio = audio;

  const elementCount = core._vorlak_element_count();
  const drawnCount = core._vorlak_drawn_element_count();
  const table = new Int32Array(core.HEAP32.buffer, core._vorlak_catalogue(), elementCount * 6).slice();
  const elements = [];
  for (let e = 0; e < elementCount; ++e) {
    const [left, top, width, height, kind, cursor] = table.subarray(e * 6, e * 6 + 6);
    elements.push({ name: core.UTF8ToString(core._vorlak_element_name(e)), left, top, width, height, kind, cursor });
  }
  const pictures = await loadPictures(files, elements.filter((e) => e.kind !== 0).map((e) => e.name));
  const outline = parseOutline(files.get('outline/CoolForm1.Mask2.bin'));
  if (!outline) console.warn('Vorlak: the console outline is damaged; the console is drawn rectangular.');

  core._vorlak_create();
  const state = () => new Int16Array(core.HEAP16.buffer, core._vorlak_panel_state(), drawnCount * 2);
  painter = new Painter(canvas, elements, state, pictures, outline);

  const stored = { soundMode: settings.read('SoundMode'), system: settings.read('System') };
  const launcher = buildLauncher(files, stored);
  const menu = buildMenu();
  document.body.append(launcher.launcher, menu);

  // --- size and place, kept on resize and rotation -------------------------
  place = { left: 0, top: 0, cssScale: 1, moved: false };
  const layout = () => {
    const view = window.visualViewport;
    const width = view ? view.width : innerWidth, height = view ? view.height : innerHeight;
    const fit = consoleLayout(width, height, devicePixelRatio);
    if (place.moved) {
      // Moved by the player: the same point of the page, in proportion.
      place.left *= fit.cssScale / place.cssScale;
      place.top *= fit.cssScale / place.cssScale;
    } else {
      place.left = Math.round((width - fit.cssWidth) / 2);
      place.top = Math.max(0, Math.round((height - fit.cssHeight) / 2));
    }
    place.cssScale = fit.cssScale;
    canvas.style.width = `${fit.cssWidth}px`;
    canvas.style.height = `${fit.cssHeight}px`;
    frame.style.transform = `translate(${place.left}px, ${place.top}px)`;
    if (outline) canvas.style.clipPath = outlineClipPath(outline, fit.cssWidth / CONSOLE_WIDTH);
    if (painter.scale !== fit.deviceScale || canvas.width !== Math.round(CONSOLE_WIDTH * fit.deviceScale))
      painter.setScale(fit.deviceScale);
  };
  layout();
  window.addEventListener('resize', layout);
  if (window.visualViewport) window.visualViewport.addEventListener('resize', layout);
  // A change of device pixel ratio (a zoom, another screen) fires no resize everywhere.
  const watchRatio = () => matchMedia(`(resolution: ${devicePixelRatio}dppx)`)
    .addEventListener('change', () => { layout(); watchRatio(); }, { once: true });
  watchRatio();
  frame.hidden = false;

  pauseWhileHidden(() => { core._vorlak_pause(); audio.suspend(); },
                   () => { core._vorlak_resume(); audio.resume(); });

  // --- input ------------------------------------------------------------------
  // Temporary until the console's start-up rules reach the page: sound is
  // opened at the first gesture as if PLAY had been pressed with the stored
  // choices (Windows MM and the older systems when none is stored).
  let soundOpened = false;
  const openSound = () => {
    if (soundOpened) return;
    soundOpened = true;
    const output = [1, 2, 0][stored.soundMode] ?? 1;
    core._vorlak_open_sound(output, stored.system === 1 ? 0 : 1);
  };
  const at = (event) => {
    const box = canvas.getBoundingClientRect();
    return [Math.floor((event.clientX - box.left) / place.cssScale),
            Math.floor((event.clientY - box.top) / place.cssScale)];
  };
  let lastPress = null;
  canvas.addEventListener('pointerdown', (event) => {
    const [x, y] = at(event);
    if (!outlineContains(outline, x, y)) return;  // the page's, not the console's
    event.preventDefault();
    openSound();
    menu.hidden = true;
    canvas.setPointerCapture(event.pointerId);
    const button = MOUSE_BUTTONS[event.button] ?? 0;
    const second = lastPress && lastPress.button === button && event.timeStamp - lastPress.time < 500 &&
                   Math.abs(lastPress.x - x) <= 4 && Math.abs(lastPress.y - y) <= 4;
    lastPress = second ? null : { button, time: event.timeStamp, x, y };
    core._vorlak_mouse_press(button, x, y, second ? 1 : 0);
  });
  canvas.addEventListener('pointermove', (event) => {
    const [x, y] = at(event);
    core._vorlak_mouse_move(x, y, event.buttons & 1 ? 1 : 0);
    const e = core._vorlak_element_at(x, y);
    canvas.style.cursor = e >= 0 && outlineContains(outline, x, y) ? CURSORS[elements[e].cursor] : 'default';
    canvas.title = core.UTF8ToString(core._vorlak_hint_at(x, y));
  });
  canvas.addEventListener('pointerup', (event) => {
    const [x, y] = at(event);
    core._vorlak_mouse_release(MOUSE_BUTTONS[event.button] ?? 0, x, y);
  });
  canvas.addEventListener('contextmenu', (event) => event.preventDefault());
  document.addEventListener('pointerdown', (event) => { if (!menu.contains(event.target)) menu.hidden = true; });
  window.addEventListener('keydown', (event) => {
    const key = KEY_CODES[event.key] ?? event.keyCode;
    if (key >= 37 && key <= 40) event.preventDefault();
    openSound();
    core._vorlak_key_down(key);
  });
  window.addEventListener('keyup', (event) => core._vorlak_key_up(KEY_CODES[event.key] ?? event.keyCode));

  const firstFrame = await new Promise((resolve) => requestAnimationFrame(() => resolve(performance.now())));
  window.vorlak = {
    core, painter, audio, settings, launcher, menu, outline, place, layout, files,
    timing: { started, firstFrame },
    showLauncher() { launcher.launcher.hidden = false; },
  };
  document.documentElement.dataset.ready = 'true';
}

main().catch((error) => {
  console.error('Vorlak: the console could not start:', error);
  document.documentElement.dataset.failed = String(error && error.message || error);
});
