// Browser benchmarks of the site, each beside a like-for-like floor measured
// in the same run:
//   - bytes a first visit transfers (and the script and wasm compressed);
//   - navigation to the first frame (the launcher's): the site, and a bare
//     page that fetches the skin and draws it on a canvas;
//   - the work of PLAY's click with sound (the effects loaded), the site
//     mixing at 22050 Hz for the browser to convert, and the same site with
//     its audio at the device's rate (the effects converted as they load);
//   - CPU of the whole browser (every chromium process) while the console
//     races at gear 3 (an autopilot in the page steers through the page's
//     own key handling), without and with sound, and with sound at the
//     device's rate, beside the bare page repainting a 40 x 30 patch at the
//     race's own two intervals;
//   - CPU while the console is on and idle with sound open (nothing due on
//     its clock, no input for 20 s), beside the bare page drawn once.
//
// Usage: node bench/web/browser_bench.mjs SITE_DIR [--seconds N] [--loads N]
// (needs tests/web's packages: tools/install-deps.sh --tests)
import { copyFileSync, mkdirSync, mkdtempSync, readdirSync, readFileSync, rmSync, symlinkSync, writeFileSync } from 'node:fs';
import { tmpdir, cpus, totalmem } from 'node:os';
import { join, resolve } from 'node:path';
import { gzipSync, constants } from 'node:zlib';
import { serve } from '../../tests/web/static_server.mjs';
import { launchChromium } from '../../tests/web/browser.mjs';

const args = process.argv.slice(2);
const site = args.find((a) => !a.startsWith('--') && !/^\d+$/.test(a));
const option = (name, fallback) => { const i = args.indexOf(name); return i >= 0 ? Number(args[i + 1]) : fallback; };
const seconds = option('--seconds', 20), loads = option('--loads', 10);
if (!site) {
  console.error('usage: node browser_bench.mjs SITE_DIR [--seconds N] [--loads N]');
  process.exit(2);
}
const here = new URL('.', import.meta.url).pathname;
const repo = resolve(here, '../..');

// The site and the bare page, served together.
const root = mkdtempSync(join(tmpdir(), 'vorlak-bench-site-'));
for (const file of readdirSync(site)) symlinkSync(resolve(site, file), join(root, file));
copyFileSync(join(here, 'bare.html'), join(root, 'bare.html'));
// The same site with its audio context at the device's rate: the mixer runs
// at that rate and the effects are converted to it as they load.
const DEVICE_RATE = 'device-rate/';
mkdirSync(join(root, DEVICE_RATE));
for (const file of readdirSync(site)) if (file !== 'vorlak.js') symlinkSync(resolve(site, file), join(root, DEVICE_RATE, file));
const contextAtConsoleRate = "new Context({ latencyHint: 'interactive', sampleRate: rate })";
const siteScript = readFileSync(join(site, 'vorlak.js'), 'utf8');
if (!siteScript.includes(contextAtConsoleRate)) throw new Error('the page makes its audio context otherwise now: update the bench');
writeFileSync(join(root, DEVICE_RATE, 'vorlak.js'), siteScript.replace(contextAtConsoleRate, "new Context({ latencyHint: 'interactive' })"));
copyFileSync(join(repo, 'assets/pictures/Im_Principale.jpg'), join(root, 'Im_Principale.jpg'));
const server = await serve(root);

const median = (values) => { const s = [...values].sort((a, b) => a - b); return s[Math.floor(s.length / 2)]; };
const kib = (bytes) => `${(bytes / 1024).toFixed(1)} KiB`;

// CPU ticks (utime + stime) of every process below this one: the browser's.
function browserTicks() {
  const parents = new Map(), ticks = new Map();
  for (const pid of readdirSync('/proc').filter((p) => /^\d+$/.test(p))) {
    try {
      const stat = readFileSync(`/proc/${pid}/stat`, 'utf8');
      const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
      parents.set(Number(pid), Number(fields[1]));
      ticks.set(Number(pid), Number(fields[11]) + Number(fields[12]));
    } catch { /* ended meanwhile */ }
  }
  let total = 0;
  for (const [pid, t] of ticks) {
    for (let p = parents.get(pid); p; p = parents.get(p)) if (p === process.pid) { total += t; break; }
  }
  return total;
}
const TICKS_PER_SECOND = 100;

async function firstVisit() {
  const browser = await launchChromium();
  const page = await browser.newPage();
  const before = server.stats.bytes;
  await page.goto(server.url);
  await page.waitForFunction(() => document.documentElement.dataset.ready);
  await page.waitForTimeout(300);
  const bytes = server.stats.bytes - before;
  await browser.close();
  return bytes;
}

async function firstFrames(path, read) {
  const browser = await launchChromium();
  const times = [];
  for (let i = 0; i < loads; ++i) {
    const page = await browser.newPage();
    await page.goto(server.url + path);
    times.push(await page.waitForFunction(read).then((h) => h.jsonValue()));
    await page.context().close();
  }
  await browser.close();
  return times;
}

// The autopilot: gear 3, away from opponents in the two nearest rows, and a
// new game (or the continue) with CTRL whenever the race is over.
function autopilot() {
  const shown = (name) => window.vorlak.shown(name);
  const target = document.getElementById('console');
  const press = (key) => {
    target.dispatchEvent(new KeyboardEvent('keydown', { key, bubbles: true }));
    target.dispatchEvent(new KeyboardEvent('keyup', { key, bubbles: true }));
  };
  setInterval(() => {
    const lane = [1, 2, 3].find((l) => shown(`Im_Moto${l}`));
    if (!lane) {
      if (shown('Im_GameOver')) press('Control');
      return;
    }
    if (!shown('Im_Speed3')) { press('ArrowUp'); return; }
    const blocked = (l) => shown(`Im_Avv1${l}`) || shown(`Im_Avv2${l}`);
    if (!blocked(lane)) return;
    const free = [lane - 1, lane + 1].filter((l) => l >= 1 && l <= 3 && !blocked(l));
    if (free.length) press(free[0] < lane ? 'ArrowLeft' : 'ArrowRight');
  }, 40);
}

// PLAY's click with sound: the work the page does in it, the effects loaded.
async function playWork(path) {
  const browser = await launchChromium();
  const times = [];
  for (let i = 0; i < loads; ++i) {
    const page = await browser.newPage();
    await page.goto(server.url + path);
    await page.waitForFunction(() => document.documentElement.dataset.ready);
    await page.selectOption('#CB_Sound', '0');
    await page.selectOption('#CB_System', '0');
    await page.evaluate(() => {
      const button = document.getElementById('Puls_Play');
      button.addEventListener('click', () => { window.playStarted = performance.now(); }, { capture: true });
      button.addEventListener('click', () => { window.playWork = performance.now() - window.playStarted; });
    });
    await page.click('#Puls_Play');
    times.push(await page.evaluate(() => window.playWork));
    await page.context().close();
  }
  await browser.close();
  return times;
}

async function cpuOf(path, prepare) {
  const browser = await launchChromium();
  const page = await browser.newPage();
  await page.goto(server.url + path);
  await prepare(page);
  await page.waitForTimeout(1000);
  const start = browserTicks(), startedAt = performance.now();
  await page.waitForTimeout(seconds * 1000);
  const used = browserTicks() - start, elapsed = (performance.now() - startedAt) / 1000;
  await browser.close();
  return { percent: (100 * used) / TICKS_PER_SECOND / elapsed };
}

// Through the launcher: the choices stored, PLAY, then ON/OFF.
async function playAndSwitchOn(page, withSound) {
  await page.evaluate((withSound) => {
    localStorage.setItem('SoundMode', withSound ? '0' : '2');
    localStorage.setItem('System', '0');
  }, withSound);
  await page.reload();
  await page.waitForFunction(() => document.documentElement.dataset.ready);
  await page.click('#Puls_Play');
  const place = await page.evaluate(() => window.vorlak.place);
  await page.mouse.click((place.x + 212) * place.cssScale, (place.y + 494) * place.cssScale);  // ON/OFF
}

async function race(page, withSound) {
  await playAndSwitchOn(page, withSound);
  await page.keyboard.press('Control');
  await page.evaluate(autopilot);
  // Past the start sequence, up to the third gear.
  await page.waitForFunction(() => window.vorlak.shown('Im_Speed3'), null, { timeout: 20000 });
}

const started = new Date().toISOString().replace('T', ' ').slice(0, 16);
const load = () => readFileSync('/proc/loadavg', 'utf8').split(' ').slice(0, 3).join(' ');
const loadBefore = load();
const bytes = await firstVisit();
const script = readFileSync(join(site, 'vorlak.js')), wasm = readFileSync(join(site, 'vorlak.wasm'));
const gz = (b) => gzipSync(b, { level: constants.Z_BEST_COMPRESSION }).length;
const siteFrames = await firstFrames('', () => document.documentElement.dataset.ready && window.vorlak.timing.firstFrame);
const bareFrames = await firstFrames('bare.html', () => window.firstFrame);
const playSite = await playWork(''), playDevice = await playWork(DEVICE_RATE);
const raceQuiet = await cpuOf('', (page) => race(page, false));
const raceSound = await cpuOf('', (page) => race(page, true));
const raceDevice = await cpuOf(DEVICE_RATE, (page) => race(page, true));
const bare = await cpuOf('bare.html#race', async () => {});
// Idle: the console on, with the keyboard, past the time it counts as in use.
const idle = await cpuOf('', async (page) => {
  await playAndSwitchOn(page, true);
  await page.waitForTimeout(21000);
});
const bareIdle = await cpuOf('bare.html', async () => {});
await server.close();
rmSync(root, { recursive: true, force: true });

const rows = [
  ['first visit, bytes transferred', kib(bytes), '-', '-', '< 1.5 MiB', bytes < 1.5 * 1024 * 1024 ? 'met' : 'MISSED'],
  ['script + wasm, gzip -9', `${kib(gz(script) + gz(wasm))} (${kib(gz(script))} + ${kib(gz(wasm))})`, '-', '-',
   '< 150 KiB', gz(script) + gz(wasm) < 150 * 1024 ? 'met' : 'MISSED'],
  ['navigation to first frame (median)', `${median(siteFrames).toFixed(1)} ms`, `${median(bareFrames).toFixed(1)} ms (bare canvas)`,
   `${(median(siteFrames) / median(bareFrames)).toFixed(2)}x`, '< 500 ms', median(siteFrames) < 500 ? 'met' : 'MISSED'],
  ['PLAY with sound, the click\'s work (median)', `${median(playSite).toFixed(1)} ms`,
   `${median(playDevice).toFixed(1)} ms (audio at the device's rate)`, `${(median(playSite) / median(playDevice)).toFixed(2)}x`, '-', '-'],
  [`CPU racing at gear 3, no sound (${seconds} s)`, `${raceQuiet.percent.toFixed(2)} % of a core`,
   `${bare.percent.toFixed(2)} % (bare, 100+350 ms repaints)`, `${(raceQuiet.percent / bare.percent).toFixed(2)}x`, '-', '-'],
  [`CPU racing at gear 3, sound on (${seconds} s)`, `${raceSound.percent.toFixed(2)} % of a core`,
   `${bare.percent.toFixed(2)} % (bare, 100+350 ms repaints)`, `${(raceSound.percent / bare.percent).toFixed(2)}x`, '-', '-'],
  [`  same, audio at the device's rate`, `${raceDevice.percent.toFixed(2)} % of a core`,
   `${raceSound.percent.toFixed(2)} % (the site: 22050 Hz, converted by the browser)`,
   `${(raceDevice.percent / raceSound.percent).toFixed(2)}x`, '-', '-'],
  [`CPU idle, console on, sound open (${seconds} s)`, `${idle.percent.toFixed(2)} % of a core`,
   `${bareIdle.percent.toFixed(2)} % (bare, drawn once)`, `+${(idle.percent - bareIdle.percent).toFixed(2)} %`, '-', '-'],
];
console.log(`Vorlak Simulator browser benchmarks, ${started} UTC`);
console.log(`Machine: ${cpus()[0].model.trim()}, ${cpus().length} cores, ${(totalmem() / 2 ** 30).toFixed(1)} GiB; ` +
            `chromium at ${process.env.VORLAK_CHROMIUM || '/usr/bin/chromium'}, headless; site served from 127.0.0.1`);
console.log(`Load average before: ${loadBefore}; after: ${load()} (a busy machine slows every figure, the floors too)`);
console.log(`First frames (ms), site: ${siteFrames.map((t) => t.toFixed(0)).join(' ')}; bare: ${bareFrames.map((t) => t.toFixed(0)).join(' ')}`);
const widths = [0, 1, 2, 3, 4, 5].map((c) => Math.max(...rows.map((r) => r[c].length), 6));
console.log(['Figure', 'Value', 'Floor (same run)', 'vs floor', 'Goal', 'Verdict'].map((h, c) => h.padEnd(widths[c])).join('  '));
for (const row of rows) console.log(row.map((v, c) => v.padEnd(widths[c])).join('  '));
