// SPDX-License-Identifier: GPL-3.0-or-later
// The page's speed in Debian's headless Chromium: the size of what is loaded, the time from
// opening the page from disk until it is interactive, and the animation at its 20-ms step with
// a 1280 x 720 drawing for 10 s: the steps taken, how late the latest came, the time they took.
// Usage: node bench.js BUILD-WEB [SECONDS]
'use strict';

const fs = require('fs');
const os = require('os');
const path = require('path');
const puppeteer = require('puppeteer-core');

const out = path.resolve(process.argv[2]);
const seconds = Number(process.argv[3] || 10);
const kib = (file) => fs.statSync(path.join(out, file)).size / 1024;
const median = (values) => values.slice().sort((a, b) => a - b)[Math.floor(values.length / 2)];

async function main() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'ondulix-bench-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    args: ['--no-sandbox'],
  });
  try {
    console.log(`ondulix.js ${kib('ondulix.js').toFixed(0)} KiB + ondulix.wasm ` +
      `${kib('ondulix.wasm').toFixed(0)} KiB = ${(kib('ondulix.js') + kib('ondulix.wasm')).toFixed(0)} KiB` +
      ` (from disk: ondulix.wasm.js ${kib('ondulix.wasm.js').toFixed(0)} KiB instead of the .wasm)`);
    const tab = await browser.newPage();
    // The drawing 1280 x 720: the window around it holds the bars and the readout.
    await tab.setViewport({ width: 1280 + 72 + 260, height: 720 + 200 });
    const ready = [];
    for (let i = 0; i < 5; ++i) {
      await tab.goto(`file://${out}/index.html`);
      await tab.waitForFunction('window.ondulix && window.ondulix.ready', { timeout: 15000 });
      ready.push(await tab.evaluate(() => window.ondulix.readyAt));
    }
    console.log(`interactive after ${median(ready).toFixed(0)} ms (median of 5 loads from disk)`);
    // The window's size such that the drawing takes 1280 x 720 of it.
    const shown = await tab.evaluate(() => {
      const c = document.getElementById('Image').getBoundingClientRect();
      return { width: Math.floor(c.width), height: Math.floor(c.height) };
    });
    const viewport = tab.viewport();
    await tab.setViewport({ width: viewport.width + 1280 - shown.width,
      height: viewport.height + 720 - shown.height });
    const size = await tab.evaluate(() => {
      const c = document.getElementById('Image');
      return `${c.width} x ${c.height}`;
    });
    await tab.evaluate(() => window.ondulix.startAnimation());
    await new Promise((resolve) => setTimeout(resolve, seconds * 1000));
    const result = await tab.evaluate(() => {
      window.ondulix.pauseAnimation();
      return window.ondulix.state;
    });
    const expected = Math.floor((seconds * 1000) / 20);
    console.log(`animation at ${size}: ${result.steps} steps in ${seconds} s (${expected} due), ` +
      `the latest ${result.latest.toFixed(1)} ms after its time, ` +
      `${(result.busy / Math.max(1, result.steps)).toFixed(2)} ms of script per step`);
  } finally {
    await browser.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
