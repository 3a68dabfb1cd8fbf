// SPDX-License-Identifier: GPL-3.0-or-later
// The page as a student meets it, in Debian's headless Chromium: opened from disk, it draws
// what the desktop draws, follows the bars, the keys and the presets, speaks German, keeps its
// settings over a reload, refuses a bad stored value, and saves its pictures.
// Usage: node e2e.js BUILD-WEB ONDULIX-RENDER
'use strict';

const { execFileSync, spawn } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const puppeteer = require('puppeteer-core');

const [out, render] = process.argv.slice(2);
const pageUrl = `file://${path.resolve(out)}/index.html`;
const failures = [];

function check(ok, what) {
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}`);
  if (!ok) failures.push(what);
}

async function open(browser, options = {}) {
  const tab = await browser.newPage();
  tab.on('pageerror', (error) => failures.push(`page error: ${error.message}`));
  await tab.setViewport({ width: 1280, height: 720, deviceScaleFactor: options.ratio || 1 });
  tab.requested = [];
  tab.on('request', (request) => tab.requested.push(request.url()));
  await tab.goto(pageUrl);
  await tab.waitForFunction('window.ondulix && window.ondulix.ready', { timeout: 15000 });
  return tab;
}

const read = (tab, expression, ...args) => tab.evaluate(expression, ...args);
const readout = (tab) => read(tab, () => document.getElementById('readout').innerText);
const value = (tab, name) => read(tab, (n) => window.ondulix.page.value(n), name);

// Ink: whatever is not the background white. Each picture's ink must lie within a pixel of the
// other's, which allows for the browser's and the desktop's different antialiasing.
async function compareWithDesktop(tab, pngFile) {
  const png = fs.readFileSync(pngFile).toString('base64');
  return tab.evaluate(async (data) => {
    const image = new Image();
    image.src = `data:image/png;base64,${data}`;
    await image.decode();
    const canvas = document.getElementById('Image');
    const w = canvas.width;
    const h = canvas.height;
    const reference = document.createElement('canvas');
    reference.width = w;
    reference.height = h;
    const refContext = reference.getContext('2d');
    refContext.drawImage(image, 0, 0);
    const a = canvas.getContext('2d').getImageData(0, 0, w, h).data;
    const b = refContext.getImageData(0, 0, w, h).data;
    const ink = (d, i) => d[i] + d[i + 1] + d[i + 2] < 3 * 235;
    const near = (d, x, y) => {
      for (let dy = -1; dy <= 1; ++dy) {
        for (let dx = -1; dx <= 1; ++dx) {
          const X = x + dx;
          const Y = y + dy;
          if (X >= 0 && Y >= 0 && X < w && Y < h && ink(d, 4 * (Y * w + X))) return true;
        }
      }
      return false;
    };
    let inkA = 0;
    let inkB = 0;
    let missA = 0;
    let missB = 0;
    for (let y = 0; y < h; ++y) {
      for (let x = 0; x < w; ++x) {
        const i = 4 * (y * w + x);
        if (ink(a, i)) {
          ++inkA;
          if (!near(b, x, y)) ++missA;
        }
        if (ink(b, i)) {
          ++inkB;
          if (!near(a, x, y)) ++missB;
        }
      }
    }
    return { width: image.width, height: image.height, w, h, inkA, inkB, missA, missB };
  }, png);
}

async function main() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'ondulix-web-'));
  const downloads = path.join(profile, 'downloads');
  fs.mkdirSync(downloads);
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    userDataDir: path.join(profile, 'chromium'),
    args: ['--no-sandbox', '--lang=en-GB', '--font-render-hinting=none'],
  });
  try {
    let tab = await open(browser);

    check(tab.requested.every((url) => url.startsWith('file://') || url.startsWith('data:')),
      'opened from disk, the page asks for nothing from elsewhere');

    // ---- It draws what the desktop draws ----
    const size = await read(tab, () => {
      const c = document.getElementById('Image');
      return { w: c.width, h: c.height, screen: window.screen.width };
    });
    const desktopPng = path.join(profile, 'desktop.png');
    execFileSync(render, ['--width', String(size.w), '--height', String(size.h),
      '--desktop-width', String(size.screen), desktopPng]);
    const picture = await compareWithDesktop(tab, desktopPng);
    check(picture.inkA > 5000, `the drawing is not blank (${picture.inkA} pixels of ink)`);
    check(picture.missA < picture.inkA * 0.03 && picture.missB < picture.inkB * 0.03,
      `the drawing matches the desktop's within a pixel: ${picture.missA} of ${picture.inkA} ` +
      `and ${picture.missB} of ${picture.inkB} pixels stray`);
    check((await read(tab, () => document.getElementById('ScaleNote').textContent))
      .includes('only once'), 'the scale says it is not true until the screen width is given');

    await tab.reload();
    await tab.waitForFunction('window.ondulix && window.ondulix.ready');
    check((await read(tab, () => document.getElementById('ScaleNote').textContent))
      .includes('only once'), 'and goes on saying so after a reload');

    // ---- The bars, the keys, a preset and the time ----
    await tab.focus('#HorizontalAmplitude');
    await tab.keyboard.press('Home');
    check(await value(tab, 'HorizontalAmplitude') === 0, 'Home takes the horizontal amplitude to 0');
    check((await readout(tab)).includes('Linear'), 'the readout calls a lone vertical wave linear');
    await tab.focus('#PhaseShift');
    for (let i = 0; i < 3; ++i) await tab.keyboard.press('PageUp');
    check(await value(tab, 'PhaseShift') === -45, 'Page Up moves the phase by 15 degrees');
    check((await read(tab, () => document.getElementById('PhaseShiftValue').textContent)) === '-45°',
      'the phase shows as on the desktop');

    await tab.focus('#Image');
    await tab.keyboard.down('Alt');
    await tab.keyboard.press('Digit5');
    await tab.keyboard.up('Alt');
    check(await value(tab, 'HorizontalAmplitude') === 100 && await value(tab, 'PhaseShift') === -90,
      'Alt+5 applies right-handed circular');
    check((await readout(tab)).includes('Right-handed circular'), 'the readout follows the preset');
    await tab.select('#Convention', '1');
    check((await readout(tab)).includes('Left-handed circular'),
      'under IEEE the same turn is left-handed');
    await tab.select('#Convention', '0');

    await tab.keyboard.down('Alt');
    await tab.keyboard.press('Digit1');
    await tab.keyboard.up('Alt');
    check(await value(tab, 'VerticalAmplitude') === 0, 'Alt+1 applies horizontal linear');
    const fieldBefore = await readout(tab);
    await tab.focus('#Image');
    await tab.keyboard.press('Space');
    await new Promise((resolve) => setTimeout(resolve, 600));
    await tab.keyboard.press('Space');
    const time = await value(tab, 'Time');
    const stepsRun = await read(tab, () => window.ondulix.state.steps);
    check(time > 5 && time === stepsRun, `Space runs the time and pauses it (${time} steps)`);
    check((await read(tab, () => document.getElementById('TimeValue').textContent))
      .endsWith('· T'), 'the time shows as a fraction of the period');
    check((await readout(tab)) !== fieldBefore, 'the readout follows the time');
    await tab.keyboard.press('Backspace');
    check(await value(tab, 'Time') === 0, 'Backspace rewinds');

    // Dragging: across the whole width twice the azimuth's range.
    const box = await (await tab.$('#Image')).boundingBox();
    const azimuth = await value(tab, 'Azimuth');
    await tab.mouse.move(box.x + 400, box.y + 300);
    await tab.mouse.down();
    await tab.mouse.move(box.x + 300, box.y + 300, { steps: 5 });
    await tab.mouse.up();
    const turned = await value(tab, 'Azimuth');
    // Five moves of 20 pixels, each in whole degrees, as the desktop counts them.
    const expected = 5 * Math.trunc((20 * 720) / Math.floor(box.width));
    check(turned - azimuth === expected,
      `dragging 100 pixels turns the view by ${turned - azimuth} (${expected}) degrees`);

    // A finger turns it the same way.
    await tab.touchscreen.touchStart(box.x + 300, box.y + 300);
    await tab.touchscreen.touchMove(box.x + 400, box.y + 300);
    await tab.touchscreen.touchEnd();
    check(await value(tab, 'Azimuth') === turned - Math.trunc((100 * 720) / Math.floor(box.width)),
      'a finger drags the view round as the mouse does');
    await tab.mouse.move(box.x + 400, box.y + 300);
    await tab.mouse.down();
    await tab.mouse.move(box.x + 300, box.y + 300);
    await tab.mouse.up();

    // The zoom steps, Fit, the rotation and Escape.
    const scaleText = () => read(tab, () => document.getElementById('ScaleText').textContent);
    await tab.keyboard.press('+');
    check(await scaleText() === '1 : 30', '+ takes the next larger zoom step');
    for (let i = 0; i < 5; ++i) await tab.keyboard.press('-');
    const small = Number((await scaleText()).slice(4));
    await tab.keyboard.down('Control');
    await tab.keyboard.press('KeyF');
    await tab.keyboard.up('Control');
    const fitted = Number((await scaleText()).slice(4));
    check(fitted < small, `Ctrl+F fits the small drawing to the window (1 : ${small} to 1 : ${fitted})`);
    await tab.keyboard.down('Alt');
    await tab.keyboard.press('KeyR');
    await tab.keyboard.up('Alt');
    await new Promise((resolve) => setTimeout(resolve, 300));
    await tab.keyboard.press('Escape');
    const rotated = await value(tab, 'Azimuth');
    await new Promise((resolve) => setTimeout(resolve, 200));
    check(rotated !== turned && await value(tab, 'Azimuth') === rotated &&
      !(await read(tab, () => document.getElementById('Rotate').checked)),
    'Alt+R turns the view and Escape stops it');
    await tab.click('#ButtonRewind');
    await read(tab, (a) => {
      window.ondulix.page.setValue('Azimuth', a);
      document.getElementById('Azimuth').value = String(a);
    }, turned);

    await tab.keyboard.down('Control');
    await tab.keyboard.press('KeyI');
    await tab.keyboard.up('Control');
    check(await read(tab, () => document.getElementById('readout').hidden), 'Ctrl+I hides the readout');

    await tab.type('#ScreenWidth', '520');
    await tab.click('#ButtonScreenWidth');
    check((await read(tab, () => document.getElementById('ScaleNote').textContent)).includes('520 mm'),
      'the scale is true once the screen width is given');

    // ---- German, kept over a reload ----
    await tab.select('#Language', '1');
    check(await read(tab, () => document.getElementById('ButtonRewind').textContent) === 'Zurück',
      'the page switches to German');
    check((await readout(tab)).includes('Linear'), 'the readout is German too');
    await tab.reload();
    await tab.waitForFunction('window.ondulix && window.ondulix.ready');
    check(await read(tab, () => document.documentElement.lang) === 'de', 'German is kept');
    check(await value(tab, 'VerticalAmplitude') === 0 && await value(tab, 'Azimuth') === turned,
      'the amplitudes and the view are kept');
    check(await read(tab, () => document.getElementById('readout').hidden), 'the hidden readout is kept');
    check((await read(tab, () => document.getElementById('ScaleNote').textContent)).includes('520 mm'),
      'the screen width is kept');

    // ---- A bad stored value falls back to its default, and the page says so ----
    await read(tab, () => localStorage.setItem('ondulix/General/ScreenWidth', 'wide'));
    await tab.reload();
    await tab.waitForFunction('window.ondulix && window.ondulix.ready');
    const notice = await read(tab, () => document.getElementById('notice').textContent);
    check(notice.includes('wide'), `a bad stored value is reported: "${notice.split('\n')[0]}"`);
    check((await read(tab, () => document.getElementById('ScaleNote').textContent))
      .includes('erst'), 'and the screen width is asked for again');
    check(await value(tab, 'Azimuth') === turned, 'the other values stay');

    // ---- Saving the picture ----
    const session = await tab.createCDPSession();
    await session.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
    await tab.click('#ButtonSavePng');
    await tab.click('#ButtonSaveSvg');
    // A download is complete once its file stands and keeps its size.
    const arrived = async (name) => {
      const file = path.join(downloads, name);
      let size = -1;
      for (let i = 0; i < 100; ++i) {
        await new Promise((resolve) => setTimeout(resolve, 100));
        const now = fs.existsSync(file) ? fs.statSync(file).size : -1;
        if (now > 0 && now === size) return fs.readFileSync(file);
        size = now;
      }
      return null;
    };
    const png = await arrived('Unbenannt.png');
    check(png !== null && png.subarray(1, 4).toString() === 'PNG', 'the PNG is downloaded');
    const svg = await arrived('Unbenannt.svg');
    const shownWidth = await read(tab, () => document.getElementById('Image').width);
    const parsed = svg && await read(tab, (text) => {
      const doc = new DOMParser().parseFromString(text, 'image/svg+xml');
      return { error: doc.querySelector('parsererror') !== null,
        lines: doc.querySelectorAll('polyline').length, width: doc.documentElement.getAttribute('width') };
    }, svg.toString());
    check(parsed && !parsed.error && parsed.lines >= 3 && Number(parsed.width) === shownWidth,
      `the SVG is a drawing of the same size, with the waves as lines (${JSON.stringify(parsed)})`);

    // ---- From a static web host, where the engine comes as ondulix.wasm ----
    const server = spawn('python3', ['-u', '-m', 'http.server', '--bind', '127.0.0.1', '0',
      '--directory', out], { stdio: ['ignore', 'pipe', 'ignore'] });
    try {
      const port = await new Promise((resolve, reject) => {
        server.stdout.on('data', (data) => {
          const match = /port (\d+)/.exec(data.toString());
          if (match) resolve(Number(match[1]));
        });
        server.on('exit', () => reject(new Error('the web server ended')));
      });
      const served = await browser.newPage();
      const fetched = [];
      served.on('requestfinished', (request) => fetched.push(request.url()));
      await served.goto(`http://127.0.0.1:${port}/index.html`);
      await served.waitForFunction('window.ondulix && window.ondulix.ready', { timeout: 15000 });
      check(fetched.some((url) => url.endsWith('/ondulix.wasm')) &&
        !fetched.some((url) => url.endsWith('ondulix.wasm.js')) &&
        fetched.every((url) => url.startsWith(`http://127.0.0.1:${port}/`)),
      'served over HTTP the page loads ondulix.wasm and nothing from elsewhere');
      await served.close();
    } finally {
      server.kill();
    }

    // ---- A first visit speaks the browser's language ----
    const fresh = await browser.createBrowserContext();
    const visitor = await fresh.newPage();
    await visitor.evaluateOnNewDocument(() => {
      Object.defineProperty(navigator, 'languages', { get: () => ['de-AT', 'en'] });
    });
    await visitor.goto(pageUrl);
    await visitor.waitForFunction('window.ondulix && window.ondulix.ready', { timeout: 15000 });
    check(await visitor.evaluate(() => document.getElementById('ButtonStart').title)
      .then((title) => title.includes('Leertaste')), 'a German browser gets the German page first');
    await fresh.close();

    // ---- Sharp on high-density screens ----
    await tab.close();
    tab = await open(browser, { ratio: 2 });
    const dense = await read(tab, () => {
      const c = document.getElementById('Image');
      return { device: c.width, css: c.getBoundingClientRect().width };
    });
    check(dense.device === 2 * Math.floor(dense.css), 'the drawing has two device pixels per CSS pixel at ratio 2');
    // Drawn in device pixels: as the desktop draws a twice as wide screen of the same size.
    const denseSize = await read(tab, () => {
      const c = document.getElementById('Image');
      const page = window.ondulix.page;
      return { w: c.width, h: c.height, screen: window.screen.width,
        values: ['Azimuth', 'Elevation', 'HorizontalAmplitude', 'VerticalAmplitude', 'PhaseShift']
          .map((name) => page.value(name)), scale: page.scaleDenominator(),
        metres: page.screenWidthMillimetres() / 1000 };
    });
    const densePng = path.join(profile, 'dense.png');
    const [az, el, ha, va, ph] = denseSize.values;
    execFileSync(render, ['--width', String(denseSize.w), '--height', String(denseSize.h),
      '--desktop-width', String(2 * denseSize.screen), '--screen-width', String(denseSize.metres),
      '--scale', String(denseSize.scale), '--azimuth', String(az), '--elevation', String(el),
      '--horizontal-amplitude', String(ha), '--vertical-amplitude', String(va),
      '--phase-shift', String(ph), densePng]);
    const densePicture = await compareWithDesktop(tab, densePng);
    check(densePicture.missB < densePicture.inkB * 0.03,
      `at ratio 2 the desktop's drawing lies within a device pixel of the page's: ` +
      `${densePicture.missB} of ${densePicture.inkB} pixels stray`);
  } finally {
    await browser.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
  if (failures.length > 0) {
    console.error(`${failures.length} check(s) failed`);
    process.exit(1);
  }
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
