// Debian's Chromium, headless, driven by puppeteer-core.
import puppeteer from 'puppeteer-core';

export function launch(extraArgs = []) {
  const args = ['--font-render-hinting=none', ...extraArgs];
  // As root Chromium runs only without its sandbox.
  if (process.getuid?.() === 0) {
    args.push('--no-sandbox');
  }
  return puppeteer.launch({
    executablePath: process.env.TAVRELON_CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    args,
    ignoreDefaultArgs: ['--hide-scrollbars'],
  });
}
