// The site in Debian's chromium: it loads and draws the console, the page
// shows through the cut-out corners, the LCD lights on the canvas, a hidden
// page pauses the console, and the sound engine plays what the core asks.
// Usage: node browser_test.mjs SITE_DIR
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { existsSync } from 'node:fs';
import { join } from 'node:path';
import { serve } from './static_server.mjs';
import { launchChromium } from './browser.mjs';

const site = process.argv[2];
if (!site || !existsSync(join(site, 'index.html'))) {
  console.error('usage: node browser_test.mjs SITE_DIR (the built site, with index.html)');
  process.exit(2);
}
const PAGE_BACKGROUND = [0x23, 0x30, 0x3a];
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

async function openPage({ width = 1280, height = 900, scale = 1, url = server.url } = {}) {
  const page = await browser.newPage({ width, height, scale });
  const problems = [], warnings = [];
  page.on('pageerror', (error) => problems.push(error.message));
  page.on('console', (message) => {
    if (message.type() === 'error') problems.push(message.text());
    if (message.type() === 'warning') warnings.push(message.text());
  });
  await page.goto(url);
  await page.waitForFunction(() => document.documentElement.dataset.ready || document.documentElement.dataset.failed);
  assert.equal(await page.evaluate(() => document.documentElement.dataset.failed), undefined);
  return { page, problems, warnings };
}

// The screenshot's pixel at a point of the console, in console pixels.
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
    return points.map(([x, y]) => Array.from(ctx.getImageData(
      Math.floor((place.left + (x + 0.5) * place.cssScale) * ratio),
      Math.floor((place.top + (y + 0.5) * place.cssScale) * ratio), 1, 1).data.slice(0, 3)));
  }, { data: png.toString('base64'), points, place });
}

const click = async (page, x, y, options) => {
  const place = await page.evaluate(() => window.vorlak.place);
  await page.mouse.click(place.left + (x + 0.5) * place.cssScale, place.top + (y + 0.5) * place.cssScale, options);
};

test('the page loads one bundle, draws the console and shows the page through its corners', async () => {
  const requested = server.stats.requests.length;
  const { page, problems } = await openPage();
  const files = server.stats.requests.slice(requested).map((r) => r.path).sort();
  assert.deepEqual(files, ['/', '/vorlak.js', '/vorlak.pack', '/vorlak.wasm']);
  const [corner, notch, lowerRight, inside, key] =
    await consolePixels(page, [[0, 0], [40, 1], [460, 737], [230, 400], [212, 494]]);
  for (const outside of [corner, notch, lowerRight]) assert.deepEqual(outside, PAGE_BACKGROUND);
  assert.notDeepEqual(inside, PAGE_BACKGROUND);
  assert.ok(inside[0] > 150 && inside[1] < 80, `the skin's red at (230, 400), not ${inside}`);
  assert.ok(key[2] > key[0], `the ON/OFF key's blue, not ${key}`);
  // A right press outside the outline is not the console's: no menu.
  await click(page, 0, 0, { button: 'right' });
  assert.equal(await page.evaluate(() => window.vorlak.menu.hidden), true);
  await click(page, 230, 650, { button: 'right' });
  assert.equal(await page.evaluate(() => window.vorlak.menu.hidden), false);
  assert.deepEqual(problems, []);
  await page.context().close();
});

test('the console lights its LCD on the canvas when switched on, at 1x and on a phone', async () => {
  for (const size of [{ width: 1280, height: 900, scale: 1 }, { width: 390, height: 844, scale: 3 }]) {
    const { page, problems } = await openPage(size);
    // The canvas is backed at device pixels and fits the window.
    const fit = await page.evaluate(() => {
      const c = document.getElementById('screen');
      return { device: c.width, css: c.getBoundingClientRect().width };
    });
    assert.ok(fit.css <= size.width, `${fit.css} px wide in a ${size.width} px window`);
    assert.equal(fit.device, Math.round(fit.css * size.scale));
    // The dashboard legends' picture: its black pixels appear on power-on.
    const legends = [];
    for (let y = 101; y < 130; y += 2) for (let x = 219; x < 286; x += 2) legends.push([x, y]);
    const before = await consolePixels(page, legends);
    await click(page, 212, 494);  // ON/OFF
    await page.waitForFunction(() => !window.vorlak.painter.frameAsked);
    const afterOn = await consolePixels(page, legends);
    const lit = afterOn.filter((p, i) => p.join() !== before[i].join());
    assert.ok(lit.length > 10, `only ${lit.length} pixels changed`);
    for (const pixel of lit) assert.ok(pixel.every((v) => v < 60), `a lit segment is black, not ${pixel} (${size.width} px)`);
    assert.deepEqual(problems, []);
    await page.context().close();
  }
});

test('the console keeps its place on a resize and the stored choices read as on the desktop', async () => {
  const { page } = await openPage();
  const box = () => page.evaluate(() => JSON.parse(JSON.stringify(document.getElementById('screen').getBoundingClientRect())));
  const wide = await box();
  assert.deepEqual([wide.width, wide.height], [461, 738]);  // 1x: it fits, not enlarged beyond a whole multiple
  await page.setViewportSize({ width: 1000, height: 1600 });  // room for 2x
  await page.waitForFunction(() => document.getElementById('screen').getBoundingClientRect().width === 922);
  const tall = await box();
  assert.deepEqual([tall.left, tall.top, tall.height], [(1000 - 922) / 2, (1600 - 1476) / 2, 1476]);
  await page.setViewportSize({ width: 844, height: 390 });  // a phone turned on its side
  await page.waitForFunction(() => document.getElementById('screen').getBoundingClientRect().height <= 390);
  const side = await box();
  assert.ok(Math.abs(side.left + side.width / 2 - 422) <= 1 && side.top >= 0, JSON.stringify(side));

  const read = (stored) => page.evaluate((stored) => {
    localStorage.clear();
    for (const [name, text] of Object.entries(stored)) localStorage.setItem(name, text);
    return ['SoundMode', 'System'].map((name) => window.vorlak.settings.read(name));
  }, stored);
  assert.deepEqual(await read({}), [-1, -1]);
  assert.deepEqual(await read({ SoundMode: '2', System: '0' }), [2, 0]);
  assert.deepEqual(await read({ SoundMode: '7', System: '-1' }), [7, -1]);
  assert.deepEqual(await read({ SoundMode: 'two', System: '1.0' }), [-1, -1]);
  assert.deepEqual(await read({ SoundMode: ' 1', System: '99999999999' }), [-1, -1]);
  await page.evaluate(() => window.vorlak.settings.write('System', 1));
  assert.equal(await page.evaluate(() => localStorage.getItem('System')), '1');
  await page.context().close();
});

test('a hidden page pauses the console and it resumes where it was', async () => {
  const { page } = await openPage();
  const setHidden = (hidden) => page.evaluate((hidden) => {
    Object.defineProperty(document, 'visibilityState', { value: hidden ? 'hidden' : 'visible', configurable: true });
    document.dispatchEvent(new Event('visibilitychange'));
  }, hidden);
  const time = () => page.evaluate(() => window.vorlak.core._vorlak_console_time());
  await setHidden(true);
  const paused = await time();
  await page.waitForTimeout(300);
  assert.equal(await time(), paused);
  await setHidden(false);
  await page.waitForTimeout(100);
  const resumed = await time();
  assert.ok(resumed > paused && resumed - paused < 250, `resumed at +${resumed - paused} ms`);
  await page.context().close();
});

test('after a gesture the AudioWorklet plays the engine tone at 20 Hz and Start.wav', async () => {
  const { page, problems } = await openPage();
  await click(page, 100, 650);  // a gesture on the skin: sound opens and starts
  await page.waitForFunction(() => window.vorlak.audio.kind !== 'none' && window.vorlak.audio.context?.state === 'running',
                             null, { timeout: 10000 });
  assert.equal(await page.evaluate(() => window.vorlak.audio.kind), 'worklet');
  await page.evaluate(() => { window.tap = window.vorlak.audio.tap(32768); });
  const capture = () => page.evaluate(() => {
    const data = new Float32Array(window.tap.fftSize);
    window.tap.getFloatTimeDomainData(data);
    return Array.from(data);
  });

  // The tone: the core's Speaker(20), read by counting rising zero crossings.
  await page.evaluate(() => window.vorlak.core._vorlak_speaker(20));
  await page.waitForTimeout(1700);  // the analyser holds the last 32768 frames, 1.49 s
  const rate = await page.evaluate(() => window.vorlak.audio.context.sampleRate);
  const tone = await capture();
  const rises = [];
  for (let i = 1; i < tone.length; ++i) if (tone[i - 1] < 0 && tone[i] >= 0) rises.push(i);
  assert.ok(rises.length >= 10, `${rises.length} rising edges`);
  const hz = ((rises.length - 1) * rate) / (rises.at(-1) - rises[0]);
  assert.ok(Math.abs(hz - 1193182 / 59664) < 0.2, `the tone at ${hz.toFixed(2)} Hz`);

  // The effect: Suona(Snd_Start) once Silenzio has emptied the analyser's
  // window; its samples appear whole.
  await page.evaluate(() => window.vorlak.core._vorlak_silenzio());
  await page.waitForTimeout(1700);
  assert.ok((await capture()).every((v) => v === 0), 'silence after Silenzio');
  await page.evaluate(() => window.vorlak.core._vorlak_suona(6));
  await page.waitForTimeout(700);
  const played = await capture();
  const found = await page.evaluate((played) => {
    const wave = window.vorlak.files.get('SOUND/Start.wav');
    const view = new DataView(wave.buffer, wave.byteOffset, wave.byteLength);
    let at = 12;
    while (at + 8 <= wave.length && view.getUint32(at, false) !== 0x64617461) at += 8 + view.getUint32(at + 4, true);
    const samples = new Int16Array(wave.slice(at + 8, at + 8 + view.getUint32(at + 4, true)).buffer);
    // Where the first sound sample lands in the capture; then all that follow.
    const first = samples.findIndex((s) => s !== 0);
    const start = played.findIndex((v) => v !== 0);
    if (start < 0) return { start, matching: 0 };
    let matching = 0;
    const offset = start - first;
    for (let i = first; i < samples.length && offset + i < played.length; ++i)
      if (Math.abs(played[offset + i] - samples[i] / 32768) < 1e-6) ++matching;
    return { start, matching, compared: Math.min(samples.length - first, played.length - start) };
  }, played);
  assert.ok(found.start >= 0, 'the effect was heard');
  assert.equal(found.matching, found.compared, `${found.matching} of ${found.compared} samples of Start.wav`);
  assert.ok(found.compared > 8000);
  assert.deepEqual(problems, []);
  await page.context().close();
});

test('away from a secure context the page plays through its fallback and says so once', async () => {
  const url = server.url.replace('127.0.0.1', 'vorlak.test');
  const { page, problems, warnings } = await openPage({ url });
  assert.equal(await page.evaluate(() => window.isSecureContext), false);
  await click(page, 100, 650);
  await page.waitForFunction(() => window.vorlak.audio.kind === 'fallback' && window.vorlak.audio.context.state === 'running',
                             null, { timeout: 10000 });
  await page.evaluate(() => { window.tap = window.vorlak.audio.tap(2048); window.vorlak.core._vorlak_speaker(20); });
  await page.waitForTimeout(400);
  const levels = await page.evaluate(() => {
    const data = new Float32Array(2048);
    window.tap.getFloatTimeDomainData(data);
    return [Math.min(...data), Math.max(...data)];
  });
  assert.deepEqual(levels, [-0.25, 0.25]);  // the tone's square wave, at a quarter of full scale
  assert.equal(warnings.filter((w) => w.includes('secure context')).length, 1, warnings.join('\n'));
  assert.deepEqual(problems, []);
  await page.context().close();
});
