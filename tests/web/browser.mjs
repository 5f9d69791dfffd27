// Debian's chromium, headless, through playwright-core. Playwright gives each
// launch a fresh profile folder of its own (its --user-data-dir), removed
// when the browser closes.
import { chromium } from 'playwright-core';

export const CHROMIUM = process.env.VORLAK_CHROMIUM || '/usr/bin/chromium';

export async function launchChromium(extraArgs = []) {
  const browser = await chromium.launch({
    executablePath: CHROMIUM,
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
           '--disable-component-update', '--disable-sync', ...extraArgs],
  });
  return {
    browser,
    // A page in a context of its own: its own storage, window size and pixel ratio.
    async newPage({ width = 1280, height = 900, scale = 1 } = {}) {
      const context = await browser.newContext({
        viewport: { width, height }, deviceScaleFactor: scale, isMobile: scale > 1, hasTouch: scale > 1,
      });
      return context.newPage();
    },
    close: () => browser.close(),
  };
}
