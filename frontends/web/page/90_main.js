// --- the page: the console's front end. It loads the core and the bundle,
// draws the console and places it where the console says, drives its clock
// and sound, shows its other windows and reports the player's input.
const KEEP_ON_PAGE = 48;  // CSS pixels of a dragged console kept on the page, as window managers keep a window
const IN_USE_MS = 20000;  // the console is in use this long after the player's last input

async function main() {
  const started = performance.now();
  const bundle = loadBundle('vorlak.pack');
  let core = null, painter = null, files = null, ui = null, pads = null;
  const frame = document.getElementById('console');
  const canvas = document.getElementById('screen');
  const clock = new ClockDriver(() => core._vorlak_clock_run());
  // The console's place: console pixels from the page's top left, as the
  // console moves it; and CSS pixels per console pixel.
  const place = { x: -500, y: -1, cssScale: 1, moved: false };
  let played = false, focused = false, ended = false;

  // The console is in use while its clock runs a timer or the player gave
  // it input lately; only then does the page watch for new pads.
  let clockRunning = false, lastInput = -Infinity, inUseCheck = 0;
  const inUse = () => clockRunning || performance.now() - lastInput < IN_USE_MS;
  const watchPads = () => {
    pads.setActive(focused, focused && inUse());
    clearTimeout(inUseCheck);
    inUseCheck = focused && !clockRunning && inUse() ? setTimeout(watchPads, lastInput + IN_USE_MS - performance.now()) : 0;
  };
  const noteInput = () => {
    const wasInUse = inUse();
    lastInput = performance.now();
    if (!wasInUse) watchPads();
  };

  const page = {
    wake: (delay) => {
      clock.wake(delay);
      if (clockRunning !== delay >= 0) {
        clockRunning = delay >= 0;
        if (pads) watchPads();
      }
    },
    changed: (left, top, width, height) => painter && painter.changed(left, top, width, height),
    menu: (x, y) => ui.menu.openAt((place.x + x) * place.cssScale, (place.y + y) * place.cssScale),
    showLauncher: () => ui.launcher.show(),
    stopPads: () => pads.setActive(false, false),
    windowLeft: () => place.x,
    windowTop: () => place.y,
    moveWindowBy: (dx, dy) => {
      place.x += dx;
      place.y += dy;
      place.moved = true;
      keepOnPage();
      position();
    },
    file: (name) => (files && files.get(name)) || null,
    audio: null,
  };
  core = await createVorlakCore({ page });
  files = await bundle;
  const audio = new AudioOutput(files.get('mixer.wasm'));
  page.audio = audio;

  const int32s = (pointer, count) => Array.from(new Int32Array(core.HEAP32.buffer, pointer, count));
  const elementCount = core._vorlak_element_count();
  const table = int32s(core._vorlak_catalogue(), elementCount * 5);
  const elements = [];
  for (let e = 0; e < elementCount; ++e) {
    const [left, top, width, height, kind] = table.slice(e * 5, e * 5 + 5);
    elements.push({ name: core.UTF8ToString(core._vorlak_element_name(e)), left, top, width, height, kind });
  }
  const pictures = await loadPictures(files, elements.filter((e) => e.kind !== 0).map((e) => e.name));
  const outline = parseOutline(files.get('outline/CoolForm1.Mask2.bin'));
  if (!outline) console.warn('Vorlak: the console outline is damaged; the console is drawn rectangular.');

  // The program's start: the console, then the launcher reading the stored choices.
  const startError = core.UTF8ToString(core._vorlak_start());
  const drawnCount = core._vorlak_drawn_element_count();
  painter = new Painter(canvas, elements, () => new Int16Array(core.HEAP16.buffer, core._vorlak_panel_state(), drawnCount * 2),
                        pictures, outline);
  pads = new PadReader(core);

  // --- the console's size and place, kept on resize and rotation -----------
  const viewSize = () => {
    const view = window.visualViewport;
    return view ? [view.width, view.height] : [innerWidth, innerHeight];
  };
  const position = () => {
    const device = (v) => Math.round(v * place.cssScale * devicePixelRatio) / devicePixelRatio;
    frame.style.transform = `translate(${device(place.x)}px, ${device(place.y)}px)`;
  };
  // A dragged console keeps a part of itself on the page.
  const keepOnPage = () => {
    const [width, height] = viewSize();
    const keep = Math.ceil(KEEP_ON_PAGE / place.cssScale);
    place.x = Math.min(Math.max(place.x, keep - CONSOLE_WIDTH), Math.floor(width / place.cssScale) - keep);
    place.y = Math.min(Math.max(place.y, keep - CONSOLE_HEIGHT), Math.floor(height / place.cssScale) - keep);
  };
  // The page's area in console pixels, as the console places itself on it.
  const area = () => viewSize().map((v) => Math.floor(v / place.cssScale));
  const moveTo = ([left, top, hasTop]) => {
    place.x = left;
    if (hasTop) place.y = top;
  };
  const layout = () => {
    const [width, height] = viewSize();
    const fit = consoleLayout(width, height, devicePixelRatio);
    place.cssScale = fit.cssWidth / CONSOLE_WIDTH;
    if (played && !place.moved) moveTo(int32s(core._vorlak_place_for(...area()), 3));
    else if (played) keepOnPage();
    canvas.style.width = `${fit.cssWidth}px`;
    canvas.style.height = `${fit.cssHeight}px`;
    if (outline) canvas.style.clipPath = outlineClipPath(outline, place.cssScale);
    if (painter.scale !== fit.deviceScale || canvas.width !== Math.round(CONSOLE_WIDTH * fit.deviceScale))
      painter.setScale(fit.deviceScale);
    position();
  };
  layout();
  window.addEventListener('resize', layout);
  if (window.visualViewport) window.visualViewport.addEventListener('resize', layout);
  // A change of device pixel ratio (a zoom, another screen) fires no resize everywhere.
  const watchRatio = () => matchMedia(`(resolution: ${devicePixelRatio}dppx)`)
    .addEventListener('change', () => { layout(); watchRatio(); }, { once: true });
  watchRatio();

  pauseWhileHidden(() => { core._vorlak_pause(); audio.suspend(); },
                   () => { core._vorlak_resume(); audio.resume(); });

  // --- focus: keys and pads reach the console only while it has the keyboard
  const setFocused = (now) => {
    now = now && played;
    if (now === focused) return;
    focused = now;
    core._vorlak_focus(now ? 1 : 0);
    if (now) core._vorlak_activated();
    if (now) lastInput = performance.now();
    watchPads();
  };
  frame.addEventListener('focus', () => setFocused(true));
  frame.addEventListener('blur', () => setFocused(false));
  window.addEventListener('blur', () => setFocused(false));
  window.addEventListener('focus', () => setFocused(document.activeElement === frame));
  const takeKeyboard = () => {
    ui.menu.close();
    if (document.activeElement !== frame) frame.focus({ preventScroll: true });
  };

  // --- PLAY, Exit and the end ------------------------------------------------
  const showConsole = () => {
    frame.hidden = false;
    layout();
    painter.repaintAll();
    frame.focus({ preventScroll: true });
  };
  const play = () => {
    const outcome = core._vorlak_play(...area());
    const message = core.UTF8ToString(core._vorlak_play_message());
    if (outcome === 1) {
      // The SOUND folder is broken: the message, then the choices are
      // forgotten and the program ends; the launcher stays as it was.
      showErrorBox('Error', message, () => {
        core._vorlak_forget_choices();
        end();
      });
      return;
    }
    ui.launcher.hide();
    moveTo(int32s(core._vorlak_play_place(), 3));
    place.moved = false;
    played = true;
    showConsole();
    if (message) showErrorBox('Vorlak Simulator', message, takeKeyboard);
  };
  // The page cannot end: Exit closes the console as the program's end does
  // (its sound released) and starts the program again, at its launcher.
  const exit = () => {
    ui.menu.close();
    ui.about.hide();
    setFocused(false);
    played = false;
    frame.hidden = true;
    const error = core.UTF8ToString(core._vorlak_exit());
    painter.repaintAll();
    core._vorlak_activated();
    if (error) showErrorBox('Vorlak Simulator', error);
  };
  const end = () => {
    ended = true;
    setFocused(false);
    played = false;
    core._vorlak_end();
    ui.launcher.hide();
    ui.menu.close();
    ui.about.hide();
    frame.hidden = true;
    audio.close();
    if (audio.context) audio.context.close();
    showEnded();
  };

  // --- the other windows -------------------------------------------------------
  const shortcuts = {
    F1: () => ui.about.show(),
    F2: () => openDocument(files, 'readme.txt'),
    F3: () => openDocument(files, 'whatsnew.txt'),
    F4: null,  // the manual's item is disabled
    Escape: exit,
  };
  const entries = (pointer) => core.UTF8ToString(pointer).split('\n');
  ui = {
    launcher: buildLauncher(files, entries(core._vorlak_list_entries(0)), entries(core._vorlak_list_entries(1)), () => {
      const [sound, system, playEnabled] = int32s(core._vorlak_launcher(), 3);
      return { sound, system, playEnabled: playEnabled !== 0 };
    }, {
      chooseSound: (position) => core._vorlak_choose_sound(position),
      chooseSystem: (position) => core._vorlak_choose_system(position),
      play,
    }),
    menu: buildMenu({ PM_1About: shortcuts.F1, PM_3Readme: shortcuts.F2, PM_4Whatsnew: shortcuts.F3, PM_8Exit: exit }),
    // Closed, it gives the keyboard back to the console, as the desktop activates the window below.
    about: buildAbout(files, () => { if (played) takeKeyboard(); }),
  };
  document.body.append(ui.launcher.root, ui.menu.root, ui.about.root);
  document.addEventListener('pointerdown', (event) => {
    if (!ui.menu.root.contains(event.target) && event.target !== canvas) ui.menu.close();
  });

  // --- input ------------------------------------------------------------------
  wirePointer(core, canvas, outline, takeKeyboard);
  wireKeyboard(core, frame, ui.menu, shortcuts);
  for (const kind of ['keydown', 'pointerdown', 'pointermove']) frame.addEventListener(kind, noteInput, { capture: true, passive: true });

  // The console's first activation brings up the launcher.
  core._vorlak_activated();
  if (startError) showErrorBox('Vorlak Simulator', startError);

  const firstFrame = await new Promise((resolve) => requestAnimationFrame(() => resolve(performance.now())));
  const names = core._vorlak_state_count();
  window.vorlak = {
    core, painter, audio, ui, outline, place, pads, files, layout, clock,
    timing: { started, firstFrame },
    get played() { return played; },
    get focused() { return focused; },
    get ended() { return ended; },
    // The console's variables by name, and whether an element is shown.
    state() {
      if (ended) return null;
      const values = int32s(core._vorlak_state(), names);
      return Object.fromEntries(values.map((v, i) => [core.UTF8ToString(core._vorlak_state_name(i)), v]));
    },
    shown(name) { return painter.state()[2 * elements.findIndex((e) => e.name === name)] === 1; },
  };
  document.documentElement.dataset.ready = 'true';
}

main().catch((error) => {
  console.error('Vorlak: the console could not start:', error);
  document.documentElement.dataset.failed = String(error && error.message || error);
});
