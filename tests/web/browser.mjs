// Debian's chromium, headless, through playwright-core, with a profile of its own.
import { chromium } from 'playwright-core';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

export const CHROMIUM = process.env.VORLAK_CHROMIUM || '/usr/bin/chromium';

export async function launchChromium(extraArgs = []) {
  const profile = mkdtempSync(join(tmpdir(), 'vorlak-chromium-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: CHROMIUM,
    headless: true,
    viewport: null,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
           '--disable-component-update', '--disable-sync', ...extraArgs],
  });
  return {
    context,
    async close() {
      await context.close();
      rmSync(profile, { recursive: true, force: true });
    },
  };
}
