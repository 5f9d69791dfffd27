// The site in Debian's chromium, played as a player plays it: the launcher
// and its stored choices, PLAY, the shaped console, its keys, the keyboard
// with the start lights timed on the console's clock, the menu and Exit,
// touch on a phone, a pad, the sound, the broken SOUND folder, and a hidden
// page pausing the console.
// Usage: node browser_test.mjs SITE_DIR
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { existsSync, readFileSync } from 'node:fs';
import { join } from 'node:path';
import { gunzipSync, gzipSync } from 'node:zlib';
import { serve } from './static_server.mjs';
import { launchChromium } from './browser.mjs';

const site = process.argv[2];
if (!site || !existsSync(join(site, 'index.html'))) {
  console.error('usage: node browser_test.mjs SITE_DIR (the built site, with index.html)');
  process.exit(2);
}
const PAGE_BACKGROUND = [0x23, 0x30, 0x3a];
const BROKEN_FOLDER = 'Sound folder unproperly installed. Read instructions then reinstall.';
const SOUND = { windowsMM: '0', none: '2' }, SYSTEM = { older: '0', w2000: '1' };
let server, browser;

before(async () => {
  server = await serve(site);
  // A name for the server that is not 127.0.0.1: a page there is no secure context.
  browser = await launchChromium(['--host-resolver-rules=MAP vorlak.test 127.0.0.1']);
});
after(async () => {
  await browser?.close();
  await server?.close();
});

// A page of its own (own storage), loaded; `stored` choices are put in its
// storage and the page loaded again.
async function openPage({ width = 1280, height = 900, scale = 1, url = server.url, stored, setup } = {}) {
  const page = await browser.newPage({ width, height, scale });
  const problems = [], warnings = [];
  page.on('pageerror', (error) => problems.push(error.message));
  page.on('console', (message) => {
    if (message.type() === 'error') problems.push(message.text());
    if (message.type() === 'warning') warnings.push(message.text());
  });
  if (setup) await setup(page);
  const load = async () => {
    await page.waitForFunction(() => document.documentElement.dataset.ready || document.documentElement.dataset.failed);
    assert.equal(await page.evaluate(() => document.documentElement.dataset.failed), undefined);
  };
  await page.goto(url);
  await load();
  if (stored) {
    await page.evaluate((stored) => { for (const [k, v] of Object.entries(stored)) localStorage.setItem(k, v); }, stored);
    await page.reload();
    await load();
  }
  return { page, problems, warnings, reload: async () => { await page.reload(); await load(); } };
}

const state = (page) => page.evaluate(() => window.vorlak.state());
const shown = (page, name) => page.evaluate((name) => window.vorlak.shown(name), name);
const launcherShows = (page) => page.evaluate(() => {
  const { sound, system, play, root } = window.vorlak.ui.launcher;
  return { shown: !root.hidden, sound: sound.value, system: system.value, playEnabled: !play.disabled };
});
const playWith = async (page, sound, system, { tap = false } = {}) => {
  await page.selectOption('#CB_Sound', sound);
  await page.selectOption('#CB_System', system);
  if (tap) await page.tap('#Puls_Play');
  else await page.click('#Puls_Play');
  await page.waitForFunction(() => window.vorlak.played);
};
// A console point (console pixels) on the page.
const at = async (page, x, y) => {
  const place = await page.evaluate(() => window.vorlak.place);
  return [(place.x + x + 0.5) * place.cssScale, (place.y + y + 0.5) * place.cssScale];
};
const click = async (page, x, y, options) => page.mouse.click(...(await at(page, x, y)), options);
const untilRacing = (page) => page.waitForFunction(() => window.vorlak.state().Marcia === 1 && window.vorlak.shown('Im_Speed1') &&
                                                       !window.vorlak.shown('Im_Semaforo3'), null, { timeout: 15000 });
// The page hidden or shown again, as a browser tells it.
const setHidden = (page, hidden) => page.evaluate((hidden) => {
  Object.defineProperty(document, 'visibilityState', { value: hidden ? 'hidden' : 'visible', configurable: true });
  document.dispatchEvent(new Event('visibilitychange'));
}, hidden);
const ON_OFF = [212, 494], START = [377, 430], PAD = { up: [111, 405], left: [77, 440], right: [148, 440], down: [111, 476] };

// The screenshot's pixels at points of the console, in console pixels.
async function consolePixels(page, points) {
  const place = await page.evaluate(() => window.vorlak.place);
  const png = await page.screenshot();
  return page.evaluate(async ({ data, points, place }) => {
    const png = Uint8Array.from(atob(data), (c) => c.charCodeAt(0));
    const image = await createImageBitmap(new Blob([png], { type: 'image/png' }));
    const canvas = new OffscreenCanvas(image.width, image.height);
    const ctx = canvas.getContext('2d');
    ctx.drawImage(image, 0, 0);
    const ratio = image.width / innerWidth;
    return points.map(([x, y]) => Array.from(ctx.getImageData(Math.floor((place.x + x + 0.5) * place.cssScale * ratio),
                                                              Math.floor((place.y + y + 0.5) * place.cssScale * ratio), 1, 1).data.slice(0, 3)));
  }, { data: png.toString('base64'), points, place });
}

test('the launcher keeps the choices, PLAY follows the console, and the console comes shaped in the middle of the page', async () => {
  const requested = server.stats.requests.length;
  const { page, problems, reload } = await openPage();
  const files = server.stats.requests.slice(requested).map((r) => r.path).sort();
  assert.deepEqual(files, ['/', '/vorlak.js', '/vorlak.pack', '/vorlak.wasm']);
  // A first visit: nothing chosen, PLAY disabled; a sound alone enables it.
  assert.deepEqual(await launcherShows(page), { shown: true, sound: '-1', system: '-1', playEnabled: false });
  assert.equal(await page.evaluate(() => document.getElementById('console').hidden), true);
  await page.selectOption('#CB_Sound', SOUND.none);
  assert.equal((await launcherShows(page)).playEnabled, true);
  await playWith(page, SOUND.none, SYSTEM.older);
  assert.deepEqual(await page.evaluate(() => [localStorage.getItem('SoundMode'), localStorage.getItem('System')]), ['2', '0']);
  assert.equal((await launcherShows(page)).shown, false);
  // "(no sound)": no audio at all, and the console's sound is off.
  assert.equal(await page.evaluate(() => window.vorlak.audio.context), null);
  assert.equal((await state(page)).Suono_On, 0);
  // Centred on the page's area, shaped: the page shows through the cut-outs.
  assert.deepEqual(await page.evaluate(() => [window.vorlak.place.x, window.vorlak.place.y]), [(1280 - 461) >> 1, (900 - 738) >> 1]);
  const [corner, notch, lowerRight, inside] = await consolePixels(page, [[0, 0], [40, 1], [460, 737], [230, 400]]);
  for (const outside of [corner, notch, lowerRight]) assert.deepEqual(outside, PAGE_BACKGROUND);
  assert.ok(inside[0] > 150 && inside[1] < 80, `the skin's red at (230, 400), not ${inside}`);
  // A console that is off costs nothing: no frames, nothing due on its clock.
  const paints = await page.evaluate(() => window.vorlak.painter.paints);
  await page.waitForTimeout(400);
  assert.equal(await page.evaluate(() => window.vorlak.painter.paints), paints);
  assert.equal(await page.evaluate(() => window.vorlak.clock.timeout), 0);

  // The next visit comes with the choices made; damaged values choose nothing.
  await reload();
  assert.deepEqual(await launcherShows(page), { shown: true, sound: '2', system: '0', playEnabled: true });
  await page.evaluate(() => { localStorage.setItem('SoundMode', '7'); localStorage.setItem('System', ' 1'); });
  await reload();
  assert.deepEqual(await launcherShows(page), { shown: true, sound: '-1', system: '-1', playEnabled: false });
  assert.deepEqual(problems, []);
  await page.context().close();
});

test('on the desktop: the keys with their looks, hints and cursors, a double click, CTRL and the start lights to the millisecond, the arrows once per press, the drag', async () => {
  const { page, problems } = await openPage({ stored: { SoundMode: SOUND.none, System: SYSTEM.older } });
  await page.click('#Puls_Play');
  const look = async (x, y) => {
    await page.mouse.move(...(await at(page, x, y)));
    return page.evaluate(() => [getComputedStyle(document.getElementById('screen')).cursor,
                                document.getElementById('screen').title]);
  };
  assert.deepEqual(await look(...ON_OFF), ['pointer', 'Click to turn game on/off']);
  assert.deepEqual(await look(...PAD.up), ['help', 'Use up-arrow key to accelerate']);
  assert.deepEqual(await look(230, 650), ['default', '']);

  // ON/OFF looks pressed while the button is held; a double click is two presses.
  await page.mouse.move(...(await at(page, ...ON_OFF)));
  await page.mouse.down();
  assert.equal(await shown(page, 'Im_OnOff'), false);
  await page.mouse.up();
  assert.equal(await shown(page, 'Im_OnOff'), true);
  assert.equal((await state(page)).Acceso, 1);
  await page.mouse.dblclick(...(await at(page, ...ON_OFF)));
  assert.equal((await state(page)).Acceso, 1);

  // CTRL, timed on the console's clock: each phase's tick is due exactly its
  // interval after the step before, and comes a little after it is due.
  await page.evaluate(() => {
    const v = window.vorlak, log = (window.log = []);
    document.getElementById('console').addEventListener('keydown', (event) => {
      if (event.key === 'Control' && !event.repeat) log.push({ key: v.core._vorlak_console_time() });
    }, true);
    const changed = v.painter.changed.bind(v.painter);
    v.painter.changed = (...area) => {
      if (v.core._vorlak_tick_due() >= 0) log.push({ at: v.core._vorlak_console_time(), due: v.core._vorlak_tick_due(),
                 lights: ['Im_Semaforo1', 'Im_Semaforo2', 'Im_Semaforo3'].map((name) => v.shown(name)) });
      changed(...area);
    };
  });
  await page.keyboard.down('Control');
  assert.equal(await shown(page, 'Im_Start'), false);  // the START key looks pressed
  await page.keyboard.up('Control');
  assert.equal(await shown(page, 'Im_Start'), true);
  await untilRacing(page);
  const log = await page.evaluate(() => window.log);
  const key = log.find((e) => 'key' in e).key;
  let seen = 0;
  const next = (lights) => {
    const i = log.findIndex((e, j) => j >= seen && e.due >= 0 && lights(e.lights));
    seen = i + 1;
    return log[i];
  };
  const on = next((l) => l.every(Boolean)), out1 = next((l) => !l[0]), out2 = next((l) => !l[1]), out3 = next((l) => !l[2]);
  const since = [[on.due - key, 4125], [out1.due - on.at, 882], [out2.due - out1.at, 1200], [out3.due - out2.at, 1400]];
  for (const [measured, interval] of since) assert.ok(measured >= interval && measured < interval + 2, `${measured} ms, not ${interval}`);
  for (const e of [on, out1, out2, out3]) assert.ok(e.at >= e.due && e.at - e.due < 60, `delivered ${e.at - e.due} ms late`);

  // An arrow acts once per press, however long it is held: up from speed 1 gives speed 2 only.
  await page.keyboard.down('ArrowUp');
  await page.keyboard.down('ArrowUp');  // the system's repeat
  assert.equal((await state(page)).Marcia, 2);
  await page.keyboard.up('ArrowUp');
  await page.keyboard.press('ArrowLeft');
  assert.equal((await state(page)).Corsia, 1);
  await page.keyboard.press('ArrowRight');
  assert.equal((await state(page)).Corsia, 2);
  // The painted d-pad under the mouse is the arrow.
  await page.mouse.move(...(await at(page, ...PAD.right)));
  await page.mouse.down();
  assert.equal((await state(page)).Corsia, 3);
  await page.mouse.up();

  // Dragging the skin moves the console by the pointer's way.
  const from = await page.evaluate(() => [window.vorlak.place.x, window.vorlak.place.y]);
  const [x, y] = await at(page, 100, 650);
  await page.mouse.move(x, y);
  await page.mouse.down();
  await page.mouse.move(x + 30, y - 20, { steps: 4 });
  await page.mouse.up();
  assert.deepEqual(await page.evaluate(() => [window.vorlak.place.x, window.vorlak.place.y]), [from[0] + 30, from[1] - 20]);
  // A press that was not the console's (on the page, or on the painted d-pad) drags nothing.
  for (const [fromX, fromY] of [[5, 5], await at(page, ...PAD.down)]) {
    await page.mouse.move(fromX, fromY);
    await page.mouse.down();
    await page.mouse.move(x + 40, y + 10, { steps: 4 });
    await page.mouse.up();
  }
  assert.deepEqual(await page.evaluate(() => [window.vorlak.place.x, window.vorlak.place.y]), [from[0] + 30, from[1] - 20]);
  assert.deepEqual(problems, []);
  await page.context().close();
});

test('the menu at the pointer: About and F1, the side documents, Esc, and Exit back to the launcher', async () => {
  const { page, problems } = await openPage({ stored: { SoundMode: SOUND.none, System: SYSTEM.w2000 } });
  await page.click('#Puls_Play');
  await click(page, ...ON_OFF);
  const menuShown = () => page.evaluate(() => !window.vorlak.ui.menu.root.hidden);
  const [x, y] = await at(page, 230, 650);
  await page.mouse.click(x, y, { button: 'right' });
  const box = await page.evaluate(() => JSON.parse(JSON.stringify(window.vorlak.ui.menu.root.getBoundingClientRect())));
  assert.deepEqual([Math.round(box.left), Math.round(box.top)], [Math.floor(x), Math.floor(y)]);
  await page.keyboard.press('Escape');  // the menu's: it closes, nothing else
  assert.equal(await menuShown(), false);
  assert.equal((await state(page)).Acceso, 1);

  await page.mouse.click(x, y, { button: 'right' });
  await page.click('#PM_1About');
  const about = () => page.evaluate(() => !document.getElementById('AboutForm').hidden);
  assert.equal(await about(), true);
  await page.click('#AboutForm .close');
  assert.equal(await about(), false);
  await page.keyboard.press('F1');
  assert.equal(await about(), true);

  const documentText = async (open) => {
    const [tab] = await Promise.all([page.context().waitForEvent('page'), open()]);
    await tab.waitForLoadState();
    const text = await tab.evaluate(() => document.body.textContent);
    await tab.close();
    return text;
  };
  const readme = readFileSync(new URL('../../assets/docs/readme.txt', import.meta.url), 'utf8');
  assert.equal(await documentText(() => page.keyboard.press('F2')), readme);
  await page.mouse.click(x, y, { button: 'right' });
  assert.match(await documentText(() => page.click('#PM_4Whatsnew')), /S3\/2\.03/);

  // Exit: the console goes, the launcher comes with the choices, and the
  // next PLAY brings a console that is off.
  await page.keyboard.press('Escape');
  assert.deepEqual(await launcherShows(page), { shown: true, sound: '2', system: '1', playEnabled: true });
  assert.equal(await page.evaluate(() => document.getElementById('console').hidden), true);
  assert.equal(await about(), false);
  await page.click('#Puls_Play');
  assert.equal((await state(page)).Acceso, 0);
  assert.equal(await page.evaluate(() => document.getElementById('console').hidden), false);
  assert.deepEqual(problems, []);
  await page.context().close();
});

test('on a phone (390 x 844) the whole console shows and plays by touch: its keys, START and the painted d-pad, once per press', async () => {
  const { page, problems } = await openPage({ width: 390, height: 844, scale: 3 });
  const launcher = await page.evaluate(() => JSON.parse(JSON.stringify(window.vorlak.ui.launcher.root.getBoundingClientRect())));
  assert.ok(launcher.left >= 0 && launcher.right <= 390 && launcher.top >= 0 && launcher.bottom <= 844, JSON.stringify(launcher));
  await playWith(page, SOUND.none, SYSTEM.older, { tap: true });
  const box = await page.evaluate(() => JSON.parse(JSON.stringify(document.getElementById('screen').getBoundingClientRect())));
  assert.ok(box.left >= 0 && box.top >= 0 && box.right <= 390 && box.bottom <= 844 && box.width > 380, JSON.stringify(box));
  assert.equal(await page.evaluate(() => document.getElementById('screen').width), Math.round(box.width * 3));

  const cdp = await page.context().newCDPSession(page);
  const finger = async (x, y, id = 1) => {
    const [px, py] = await at(page, x, y);
    await cdp.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [{ x: px, y: py, id }] });
  };
  const lift = () => cdp.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
  const tap = async (x, y) => page.touchscreen.tap(...(await at(page, x, y)));

  await tap(...ON_OFF);
  assert.equal((await state(page)).Acceso, 1);
  await finger(...START);
  assert.equal(await shown(page, 'Im_Start'), false);
  assert.equal((await state(page)).In_Gioco, 1);
  await lift();
  assert.equal(await shown(page, 'Im_Start'), true);
  await untilRacing(page);
  await finger(...PAD.up);
  await page.waitForTimeout(700);  // held: still one speed up
  assert.equal((await state(page)).Marcia, 2);
  await lift();
  await tap(...PAD.left);
  assert.equal((await state(page)).Corsia, 1);
  await tap(...PAD.right);
  await tap(...PAD.right);
  assert.equal((await state(page)).Corsia, 3);
  // A finger held still on the skin is the right click: the menu.
  await finger(230, 650);
  await page.waitForFunction(() => !window.vorlak.ui.menu.root.hidden);
  await lift();
  assert.deepEqual(problems, []);
  await page.context().close();
});

test('a pad steers through the console, read only while one is connected and the console has the keyboard', async () => {
  const { page, problems } = await openPage({
    stored: { SoundMode: SOUND.none, System: SYSTEM.older },
    // Playwright cannot plug a pad in: the page's Gamepad API is given one.
    setup: (page) => page.addInitScript(() => {
      const pad = { id: 'test pad', index: 0, connected: false, mapping: 'standard', timestamp: 0,
                    axes: [0, 0, 0, 0], buttons: Array.from({ length: 17 }, () => ({ pressed: false, value: 0 })) };
      window.testPad = pad;
      navigator.getGamepads = () => [pad.connected ? pad : null, null, null, null];
    }),
  });
  await page.click('#Puls_Play');
  await click(page, ...ON_OFF);
  const reads = () => page.evaluate(() => window.vorlak.pads.reads);
  const pad = (change) => page.evaluate(`(${change})(window.testPad)`).then(() => page.waitForTimeout(100));
  await page.waitForTimeout(200);
  assert.equal(await reads(), 0);  // no pad: nothing read
  await pad((p) => { p.connected = true; window.dispatchEvent(new Event('gamepadconnected')); });
  assert.ok(await reads() > 0);
  await pad((p) => { p.buttons[9].pressed = true; });  // Start: CTRL
  assert.equal((await state(page)).In_Gioco, 1);
  await pad((p) => { p.buttons[9].pressed = false; });
  await untilRacing(page);
  await pad((p) => { p.buttons[14].pressed = true; });  // d-pad left
  assert.equal((await state(page)).Corsia, 1);
  await pad((p) => { p.buttons[14].pressed = false; p.axes[0] = 0.6; });  // the stick, past half its travel
  assert.equal((await state(page)).Corsia, 2);
  await pad((p) => { p.axes[0] = 0.4; });  // still held: within the hysteresis
  await pad((p) => { p.axes[0] = 0.6; });
  assert.equal((await state(page)).Corsia, 2);
  await pad((p) => { p.axes[0] = 0.3; });  // let go
  await pad((p) => { p.axes[0] = 0.6; });
  assert.equal((await state(page)).Corsia, 3);
  await pad((p) => { p.axes[0] = 0; p.buttons[8].pressed = true; });  // Back: the SOUND key
  assert.equal(await shown(page, 'Im_Sound'), false);
  await pad((p) => { p.buttons[8].pressed = false; });
  assert.equal((await state(page)).Suono_On, 1);  // "(no sound)" had it off

  // Without the keyboard the console reads no pad.
  await page.mouse.click(5, 5);  // the page beside the console
  assert.equal(await page.evaluate(() => window.vorlak.focused), false);
  const stopped = await reads();
  await pad((p) => { p.buttons[14].pressed = true; });
  assert.equal(await reads(), stopped);
  assert.equal((await state(page)).Corsia, 3);
  assert.deepEqual(problems, []);
  await page.context().close();
});

// The start tune as captured, against Start.wav taken to the capture's rate:
// the correlation at the best of a few lags around where it begins.
function tuneCorrelation(captured, wave, rate) {
  const view = new DataView(wave.buffer, wave.byteOffset, wave.byteLength);
  let at = 12;
  while (view.getUint32(at, false) !== 0x64617461) at += 8 + view.getUint32(at + 4, true);
  const samples = new Int16Array(wave.slice(at + 8, at + 8 + view.getUint32(at + 4, true)).buffer);
  const ratio = 22050 / rate;
  const reference = (i) => {
    const t = i * ratio, k = Math.floor(t);
    return k >= 0 && k + 1 < samples.length ? (samples[k] * (1 - (t - k)) + samples[k + 1] * (t - k)) / 32768 : 0;
  };
  const start = captured.findIndex((v) => Math.abs(v) > 0.01);
  const first = Math.round(samples.findIndex((s) => Math.abs(s) > 327) / ratio);
  if (start < 0) return 0;
  let best = 0;
  for (let lag = -8; lag <= 8; ++lag) {
    let xy = 0, xx = 0, yy = 0;
    for (let i = start; i < captured.length; ++i) {
      const r = reference(i - start + first + lag);
      xy += captured[i] * r;
      xx += captured[i] ** 2;
      yy += r * r;
    }
    best = Math.max(best, xy / Math.sqrt(xx * yy || 1));
  }
  return best;
}

test('sound: PLAY starts it, the start tune and the race\'s 20 Hz engine tone play, and it rests while nothing sounds', async () => {
  const { page, problems } = await openPage();
  await playWith(page, SOUND.windowsMM, SYSTEM.older);
  assert.equal(await page.evaluate(() => window.vorlak.audio.context.state), 'running');  // PLAY was the gesture
  await page.waitForFunction(() => window.vorlak.audio.kind === 'worklet');
  await page.evaluate(() => { window.tap = window.vorlak.audio.tap(32768); });
  const capture = () => page.evaluate(() => {
    const data = new Float32Array(window.tap.fftSize);
    window.tap.getFloatTimeDomainData(data);
    return Array.from(data);
  });
  const rate = await page.evaluate(() => window.vorlak.audio.context.sampleRate);
  const window32k = (32768 / rate) * 1000;

  // While nothing sounds the audio rests, also when that time passed with
  // the page hidden; switched on, the console is silent; CTRL's start tune wakes it.
  await setHidden(page, true);
  await page.waitForTimeout(2500);
  await setHidden(page, false);
  await page.waitForTimeout(300);
  assert.equal(await page.evaluate(() => window.vorlak.audio.context.state), 'suspended');
  await click(page, ...ON_OFF);
  assert.equal(await page.evaluate(() => window.vorlak.audio.context.state), 'suspended');
  await page.keyboard.press('Control');
  await page.waitForFunction(() => window.vorlak.audio.context.state === 'running');
  await page.waitForTimeout(window32k / 2);
  const wave = new Uint8Array(readFileSync(new URL('../../assets/SOUND/Start.wav', import.meta.url)));
  const correlation = tuneCorrelation(await capture(), wave, rate);
  assert.ok(correlation > 0.9, `the start tune correlates ${correlation.toFixed(3)} with Start.wav`);

  // The race's engine tone, once the lights' effect is over: rising zero crossings.
  await untilRacing(page);
  await page.waitForTimeout(500 + window32k);
  const tone = await capture();
  const rises = [];
  for (let i = 1; i < tone.length; ++i) if (tone[i - 1] < 0 && tone[i] >= 0) rises.push(i);
  assert.ok(rises.length >= 8, `${rises.length} rising edges`);
  const hz = ((rises.length - 1) * rate) / (rises.at(-1) - rises[0]);
  assert.ok(Math.abs(hz - 1193182 / 59664) < 0.2, `the tone at ${hz.toFixed(2)} Hz`);
  assert.deepEqual(problems, []);
  await page.context().close();
});

test('away from a secure context the sound plays through the page\'s fallback, said once', async () => {
  const url = server.url.replace('127.0.0.1', 'vorlak.test');
  const { page, problems, warnings } = await openPage({ url });
  assert.equal(await page.evaluate(() => window.isSecureContext), false);
  await playWith(page, SOUND.windowsMM, SYSTEM.older);
  await page.waitForFunction(() => window.vorlak.audio.kind === 'fallback');
  await page.evaluate(() => { window.tap = window.vorlak.audio.tap(2048); });
  await click(page, ...ON_OFF);
  await page.keyboard.press('Control');  // the start tune
  await page.waitForTimeout(400);
  const peak = await page.evaluate(() => {
    const data = new Float32Array(2048);
    window.tap.getFloatTimeDomainData(data);
    return Math.max(...data.map(Math.abs));
  });
  assert.ok(peak > 0.1, `the start tune's peak ${peak}`);
  assert.equal(warnings.filter((w) => w.includes('secure context')).length, 1, warnings.join('\n'));
  assert.deepEqual(problems, []);
  await page.context().close();
});

test('a SOUND folder whose GameOver.wav does not load: the message, the choices forgotten, the end', async () => {
  // The bundle as built, with GameOver.wav's bytes no wave.
  const bundle = gunzipSync(readFileSync(join(site, 'vorlak.pack')));
  const name = Buffer.from('SOUND/GameOver.wav');
  const at = bundle.indexOf(name) + name.length;
  const length = bundle.readUInt32LE(at);
  bundle.fill(0x20, at + 4, at + 4 + length);
  const broken = gzipSync(bundle);
  const { page, problems, reload } = await openPage({
    setup: (page) => page.route('**/vorlak.pack', (route) => route.fulfill({ body: broken, contentType: 'application/octet-stream' })),
  });
  await page.selectOption('#CB_Sound', SOUND.windowsMM);
  await page.selectOption('#CB_System', SYSTEM.older);
  await page.click('#Puls_Play');
  const box = page.locator('[role=alertdialog]');
  assert.equal(await box.getAttribute('aria-label'), 'Error');
  assert.equal(await box.locator('p').textContent(), BROKEN_FOLDER);
  assert.equal((await launcherShows(page)).shown, true);  // the launcher stays until the end
  await box.locator('button').click();
  assert.match(await page.locator('#ended').textContent(), /has ended/);
  assert.equal((await launcherShows(page)).shown, false);
  assert.deepEqual(await page.evaluate(() => [localStorage.getItem('SoundMode'), localStorage.getItem('System')]), ['-1', '-1']);
  await page.unroute('**/vorlak.pack');
  await reload();
  assert.deepEqual(await launcherShows(page), { shown: true, sound: '-1', system: '-1', playEnabled: false });
  assert.deepEqual(problems, []);
  await page.context().close();
});

test('the console keeps its place on a resize, and a hidden page pauses it until shown again', async () => {
  const { page } = await openPage({ stored: { SoundMode: SOUND.none, System: SYSTEM.older } });
  await page.click('#Puls_Play');
  const box = () => page.evaluate(() => JSON.parse(JSON.stringify(document.getElementById('screen').getBoundingClientRect())));
  assert.deepEqual([(await box()).width, (await box()).height], [461, 738]);  // 1x: not enlarged beyond a whole multiple
  await page.setViewportSize({ width: 1000, height: 1600 });  // room for 2x
  await page.waitForFunction(() => document.getElementById('screen').getBoundingClientRect().width === 922);
  const tall = await box();
  // Placed as PLAY places it, on the page's area in console pixels.
  assert.deepEqual([tall.left, tall.top, tall.height], [((500 - 461) >> 1) * 2, ((800 - 738) >> 1) * 2, 1476]);
  await page.setViewportSize({ width: 844, height: 390 });  // a phone turned on its side
  await page.waitForFunction(() => document.getElementById('screen').getBoundingClientRect().height <= 390);
  const side = await box();
  assert.ok(Math.abs(side.left + side.width / 2 - 422) <= 1 && side.top >= 0, JSON.stringify(side));

  await click(page, ...ON_OFF);
  await page.keyboard.press('Control');  // the start tune's timer runs
  const time = () => page.evaluate(() => window.vorlak.core._vorlak_console_time());
  await setHidden(page, true);
  const paused = await time();
  await page.waitForTimeout(300);
  assert.equal(await time(), paused);
  assert.equal(await page.evaluate(() => window.vorlak.clock.timeout), 0);
  await setHidden(page, false);
  await page.waitForTimeout(100);
  const resumed = await time();
  assert.ok(resumed > paused && resumed - paused < 250, `resumed at +${resumed - paused} ms`);
  await page.context().close();
});
