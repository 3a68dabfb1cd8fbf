// SPDX-License-Identifier: GPL-3.0-or-later
// The page around the engine: the canvas the engine draws on, the controls, the timers, the
// keys, dragging, the browser's storage and the downloads. Every value and text comes from the
// engine (ondulix.js), so the page shows what the desktop program shows.
'use strict';

(function () {
  const StoragePrefix = 'ondulix/';
  const LabelFont = '"Ondulix Label"';
  const NoColor = 0xffffffff;
  const Values = ['Azimuth', 'Elevation', 'HorizontalAmplitude', 'VerticalAmplitude',
    'PhaseShift', 'Time'];
  const Switches = ['ShowHorizontalWave', 'ShowVerticalWave', 'ShowResultantWave',
    'ShowResultantVector', 'CoordinateSystemCentered', 'ShowReadout'];
  // On/off lengths in pen widths, as the desktop's patterned pens.
  const Dashes = { 1: [18, 6], 2: [3, 3], 3: [9, 6, 3, 6], 4: [9, 3, 3, 3, 3, 3] };
  const Clear = 5;

  const $ = (id) => document.getElementById(id);
  const canvas = $('Image');
  const context = canvas.getContext('2d', { alpha: false });
  let deviceRatio = 1;

  function css(colour) {
    return `rgb(${colour & 255},${(colour >>> 8) & 255},${(colour >>> 16) & 255})`;
  }

  // ---- The engine's canvas over the 2D context, in the device's pixels ----

  const fonts = new Map(); // "bold height" -> {size, ascent, cell}
  const draw2d = {
    pen: 0, penStyle: 0, penWidth: 1, fill: 0xffffff, fillSolid: true,
    fontColour: 0, fontEntry: null,

    style(pen, style, width, fill, solid) {
      this.pen = pen; this.penStyle = style; this.penWidth = Math.max(1, width);
      this.fill = fill; this.fillSolid = solid !== 0;
    },
    fillRect(x1, y1, x2, y2) {
      context.fillStyle = css(this.fill);
      context.fillRect(x1, y1, x2 - x1, y2 - y1);
    },
    stroke() {
      if (this.penStyle === Clear) return;
      const width = this.penWidth;
      const dashes = Dashes[this.penStyle];
      context.lineWidth = width;
      context.lineJoin = 'miter';
      if (dashes) {
        context.lineCap = 'butt';
        if (this.fillSolid) {
          // The gaps show the fill colour, as on the desktop.
          context.setLineDash([]);
          context.strokeStyle = css(this.fill);
          context.stroke();
        }
        context.setLineDash(dashes.map((d) => d * width));
        context.lineDashOffset = width % 2 === 1 ? 0.5 : 0;
      } else {
        context.lineCap = 'round';
        context.setLineDash([]);
      }
      context.strokeStyle = css(this.pen);
      context.stroke();
    },
    // An odd width centred on a pixel centre covers whole pixels, an even one on a pixel edge.
    offset() {
      return this.penStyle === Clear || this.penWidth % 2 === 1 ? 0.5 : 0;
    },
    path(points, count, closed) {
      const o = this.offset();
      context.beginPath();
      context.moveTo(points[0] + o, points[1] + o);
      for (let i = 1; i < count; ++i) context.lineTo(points[2 * i] + o, points[2 * i + 1] + o);
      if (closed) {
        context.closePath();
        if (this.fillSolid) {
          context.fillStyle = css(this.fill);
          context.fill();
        }
      }
      this.stroke();
    },
    ellipse(x1, y1, x2, y2) {
      // The box covers x1 .. x2 continuously; the outline lies half its width inside it.
      const inset = this.penStyle === Clear ? 0 : this.penWidth / 2;
      const rx = (x2 - x1) / 2 - inset;
      const ry = (y2 - y1) / 2 - inset;
      if (x2 <= x1 || y2 <= y1) return;
      context.beginPath();
      if (rx > 0 && ry > 0) {
        context.ellipse((x1 + x2) / 2, (y1 + y2) / 2, rx, ry, 0, 0, 2 * Math.PI);
        if (this.fillSolid) {
          context.fillStyle = css(this.fill);
          context.fill();
        }
        this.stroke();
      } else {
        context.ellipse((x1 + x2) / 2, (y1 + y2) / 2, (x2 - x1) / 2, (y2 - y1) / 2, 0, 0,
          2 * Math.PI);
        context.fillStyle = css(this.pen);
        context.fill();
      }
    },
    // The size whose cell (ascent + descent) comes closest to the requested height, the smaller
    // cell on a tie: the desktop chooses its label font the same way.
    font(name, bold, height, colour) {
      this.fontColour = colour;
      const key = `${bold} ${height}`;
      let entry = fonts.get(key);
      if (!entry) {
        const measure = (size) => {
          context.font = `${bold ? 'bold ' : ''}${size}px ${LabelFont}`;
          const m = context.measureText('X');
          const ascent = Math.ceil(m.fontBoundingBoxAscent);
          return { size, ascent, cell: ascent + Math.ceil(m.fontBoundingBoxDescent) };
        };
        const h = Math.max(1, Math.min(height, 2048));
        entry = measure(Math.max(1, Math.round(h / 1.15)));
        for (let i = 0; i < 64 && entry.cell !== h; ++i) {
          const next = measure(entry.size + (entry.cell < h ? 1 : -1));
          if (next.size < 1) break;
          const crossed = entry.cell < h ? next.cell >= h : next.cell <= h;
          if (crossed) {
            const better = Math.abs(next.cell - h) < Math.abs(entry.cell - h) ||
              (Math.abs(next.cell - h) === Math.abs(entry.cell - h) && next.cell < entry.cell);
            if (better) entry = next;
            break;
          }
          entry = next;
        }
        entry.css = `${bold ? 'bold ' : ''}${entry.size}px ${LabelFont}`;
        fonts.set(key, entry);
      }
      this.fontEntry = entry;
      context.font = entry.css;
    },
    text(x, y, text) {
      const e = this.fontEntry;
      if (this.fillSolid) {
        context.fillStyle = css(this.fill);
        context.fillRect(x, y, Math.round(context.measureText(text).width), e.cell);
      }
      context.fillStyle = css(this.fontColour);
      context.textBaseline = 'alphabetic';
      context.fillText(text, x, y + e.ascent);
    },
    textWidth(text) { return Math.round(context.measureText(text).width); },
    textHeight() { return this.fontEntry.cell; },
    ascent() { return this.fontEntry.ascent; },
    fontPixels() { return this.fontEntry.size; },
    readPixel(x, y) {
      if (x < 0 || y < 0 || x >= canvas.width || y >= canvas.height) return NoColor;
      const d = context.getImageData(x, y, 1, 1).data;
      return (d[0] | (d[1] << 8) | (d[2] << 16)) >>> 0;
    },
    clip(x1, y1, x2, y2) {
      context.save();
      context.beginPath();
      context.rect(x1, y1, x2 - x1, y2 - y1);
      context.clip();
    },
    restoreClip() { context.restore(); },
  };

  // ---- Storage: the settings file's keys, one entry each ----

  function storedIni(Page) {
    const sections = new Map();
    for (const name of Page.storedKeys().split('\n').filter(Boolean)) {
      let value = null;
      try {
        value = window.localStorage.getItem(StoragePrefix + name);
      } catch (e) {
        value = null; // storage refused (private mode, file policy): the defaults apply
      }
      if (value === null) continue;
      const [section, key] = name.split('/');
      if (!sections.has(section)) sections.set(section, []);
      sections.get(section).push(`${key}=${value.replace(/[\r\n]/g, ' ')}`);
    }
    let ini = '';
    for (const [section, lines] of sections) ini += `[${section}]\n${lines.join('\n')}\n`;
    return ini;
  }

  function isStored(name) {
    try {
      return window.localStorage.getItem(StoragePrefix + name) !== null;
    } catch (e) {
      return false;
    }
  }

  function store(page, Page) {
    const keys = Page.storedKeys().split('\n');
    const values = page.storedValues().split('\n');
    try {
      keys.forEach((key, i) => {
        if (!key) return;
        if (values[i] === '') {
          window.localStorage.removeItem(StoragePrefix + key);
        } else {
          window.localStorage.setItem(StoragePrefix + key, values[i]);
        }
      });
    } catch (e) {
      // Nothing to be done: the page works on without keeping its settings.
    }
  }

  // ---- The page ----

  function start(Module) {
    const Page = Module.Page;
    const page = new Page();
    const problems = page.loadSettings(storedIni(Page));
    if (!isStored('General/Language')) {
      const languages = navigator.languages || [navigator.language || 'en'];
      page.setLanguage(/^de\b/i.test(languages[0] || '') ? 1 : 0);
    }
    let texts = {};
    let timerTime = null;
    let timerRotate = null;
    let nextTime = 0;
    let nextRotate = 0;
    // What the benchmark reads: steps taken, the latest a step came after its time, and the
    // milliseconds the steps took.
    const state = { steps: 0, latest: 0, busy: 0 };

    const text = (key) => texts[key] || '';

    function showNotice(message) {
      const notice = $('notice');
      notice.textContent = message;
      notice.hidden = message === '';
    }

    function applyTexts() {
      texts = JSON.parse(page.texts());
      const german = page.language() === 1;
      document.documentElement.lang = german ? 'de' : 'en';
      for (const element of document.querySelectorAll('[data-text]')) {
        element.textContent = text(element.dataset.text);
      }
      for (const element of document.querySelectorAll('[data-hint]')) {
        const hint = text(element.dataset.hint);
        (element.closest('label') || element).title = hint;
      }
      for (const element of document.querySelectorAll('[data-label]')) {
        element.setAttribute('aria-label', text(element.dataset.label));
        element.title = text(element.dataset.label);
      }
      $('HelpLink').href = `help/${german ? 'German' : 'English'}.html`;
      $('Language').value = String(page.language());
      const convention = $('Convention');
      convention.replaceChildren(...page.conventionNames().split('\n').filter(Boolean)
        .map((name, value) => {
          const option = document.createElement('option');
          option.value = String(value);
          option.textContent = name;
          return option;
        }));
      convention.value = String(page.convention());
      fillPresets();
      showValues();
      showScale();
    }

    function fillPresets() {
      const select = $('Preset');
      const names = page.presetNames().split('\n').filter(Boolean);
      const first = document.createElement('option');
      first.value = '';
      first.textContent = '…';
      select.replaceChildren(first, ...names.map((name, i) => {
        const option = document.createElement('option');
        option.value = String(i);
        option.textContent = `${name} (Alt+${i + 1})`;
        return option;
      }));
    }

    function showReadout() {
      const lines = page.readout().split('\n');
      $('readoutTitle').textContent = lines[0];
      $('readoutLines').replaceChildren(...lines.slice(1).filter(Boolean).map((line) => {
        const item = document.createElement('li');
        item.textContent = line;
        return item;
      }));
      $('readout').hidden = !page.switchOn('ShowReadout');
    }

    function showValues() {
      for (const name of Values) {
        const input = $(name);
        input.value = String(page.value(name));
        const hint = page.hint(name);
        $(`${name}Value`).textContent = hint.slice(hint.lastIndexOf('= ') + 2);
        input.title = hint;
        input.setAttribute('aria-valuetext', hint);
      }
      for (const name of Switches) $(name).checked = page.switchOn(name);
      $('Rotate').checked = timerRotate !== null;
      document.body.classList.toggle('noCaptions', !page.switchOn('ShowCaptions'));
      canvas.setAttribute('aria-label', text('Image.Caption'));
      showReadout();
    }

    function showScale() {
      $('ScaleText').textContent = `1 : ${page.scaleDenominator()}`;
      const given = page.screenWidthGiven();
      const millimetres = Math.round(page.screenWidthMillimetres());
      $('ScaleNote').textContent = given
        ? text('ScaleTrue.Caption').replace('%1', String(millimetres))
        : text('ScaleNotTrue.Caption');
      $('screen').classList.toggle('unset', !given);
      if (document.activeElement !== $('ScreenWidth')) {
        $('ScreenWidth').value = given ? String(millimetres) : '';
      }
    }

    function changed() {
      showValues();
      showScale();
      store(page, Page);
    }

    // The drawing area fills what the controls leave, at the device's pixel ratio.
    function resize() {
      deviceRatio = window.devicePixelRatio || 1;
      const box = canvas.getBoundingClientRect();
      const width = Math.max(1, Math.floor(box.width));
      const height = Math.max(1, Math.floor(box.height));
      canvas.width = Math.round(width * deviceRatio);
      canvas.height = Math.round(height * deviceRatio);
      page.resize(width, height, window.screen.width || 1280, deviceRatio);
    }

    // ---- The timers: one step per interval, none skipped, late steps catch up one by one ----

    function schedule(kind) {
      const now = performance.now();
      if (kind === 'time') {
        nextTime = Math.max(nextTime + page.animationInterval(), now);
        timerTime = window.setTimeout(tickTime, nextTime - now);
      } else {
        nextRotate = Math.max(nextRotate + page.rotationInterval(), now);
        timerRotate = window.setTimeout(tickRotate, nextRotate - now);
      }
    }

    function tickTime() {
      const begun = performance.now();
      state.steps += 1;
      state.latest = Math.max(state.latest, begun - nextTime);
      if (page.timeStep()) {
        schedule('time');
      } else {
        timerTime = null;
      }
      showValues();
      state.busy += performance.now() - begun;
    }

    function tickRotate() {
      page.azimuthStep();
      schedule('rotate');
      showValues();
    }

    function startAnimation() {
      if (timerTime !== null) return;
      if (page.value('Time') === 512) page.rewind();
      nextTime = performance.now();
      schedule('time');
      showValues();
    }

    function pauseAnimation() {
      if (timerTime !== null) window.clearTimeout(timerTime);
      timerTime = null;
      store(page, Page);
    }

    function setRotating(on) {
      if (on && timerRotate === null) {
        nextRotate = performance.now();
        schedule('rotate');
      } else if (!on && timerRotate !== null) {
        window.clearTimeout(timerRotate);
        timerRotate = null;
        store(page, Page);
      }
      $('Rotate').checked = on;
    }

    function toggle(name) {
      page.setSwitch(name, !page.switchOn(name));
      changed();
    }

    function applyPreset(index) {
      page.applyPreset(index);
      $('Preset').value = '';
      changed();
    }

    function zoom(larger) {
      if (larger ? page.zoomIn() : page.zoomOut()) changed();
    }

    function download(blob, extension) {
      const link = document.createElement('a');
      link.href = URL.createObjectURL(blob);
      link.download = `${page.documentName()}.${extension}`;
      document.body.appendChild(link);
      link.click();
      link.remove();
      window.setTimeout(() => URL.revokeObjectURL(link.href), 10000);
    }

    // ---- The controls ----

    for (const name of Values) {
      const input = $(name);
      const [min, max, pageStep] = Page.valueRange(name).split(' ');
      input.min = min;
      input.max = max;
      input.step = '1';
      input.dataset.page = pageStep;
      input.addEventListener('input', () => {
        page.setValue(name, Number(input.value));
        changed();
      });
      input.addEventListener('keydown', (event) => {
        // Page Up and Down take the desktop's page steps.
        if (event.key !== 'PageUp' && event.key !== 'PageDown') return;
        event.preventDefault();
        const step = Number(input.dataset.page) * (event.key === 'PageUp' ? 1 : -1);
        page.setValue(name, page.value(name) + step);
        changed();
      });
    }
    for (const name of Switches) {
      $(name).addEventListener('change', () => {
        page.setSwitch(name, $(name).checked);
        changed();
      });
    }
    $('Rotate').addEventListener('change', () => setRotating($('Rotate').checked));
    $('ButtonStart').addEventListener('click', startAnimation);
    $('ButtonPause').addEventListener('click', pauseAnimation);
    $('ButtonRewind').addEventListener('click', () => {
      pauseAnimation();
      page.rewind();
      changed();
    });
    $('ZoomIn').addEventListener('click', () => zoom(true));
    $('ZoomOut').addEventListener('click', () => zoom(false));
    $('ButtonFit').addEventListener('click', () => {
      page.fit();
      changed();
    });
    $('Preset').addEventListener('change', () => {
      if ($('Preset').value !== '') applyPreset(Number($('Preset').value));
    });
    $('Convention').addEventListener('change', () => {
      page.setConvention(Number($('Convention').value));
      applyTexts();
      store(page, Page);
    });
    $('Language').addEventListener('change', () => {
      page.setLanguage(Number($('Language').value));
      applyTexts();
      store(page, Page);
    });
    $('ButtonScreenWidth').addEventListener('click', () => {
      const millimetres = Number($('ScreenWidth').value.replace(',', '.'));
      if (!page.setScreenWidth(millimetres)) {
        showNotice(text('ScreenWidthInvalid.Caption'));
        return;
      }
      showNotice('');
      changed();
    });
    $('ScreenWidth').addEventListener('keydown', (event) => {
      if (event.key === 'Enter') $('ButtonScreenWidth').click();
    });
    $('ButtonSavePng').addEventListener('click', () => {
      canvas.toBlob((blob) => blob && download(blob, 'png'), 'image/png');
    });
    $('ButtonSaveSvg').addEventListener('click', () => {
      download(new Blob([page.svg()], { type: 'image/svg+xml' }), 'svg');
    });

    // Dragging turns the view: across the whole width twice the azimuth's range, across the
    // height twice the elevation's, in whole degrees, the product before the division, as the
    // desktop does.
    let dragOrigin = null;
    canvas.addEventListener('pointerdown', (event) => {
      if (event.button !== 0) return;
      dragOrigin = { x: event.offsetX, y: event.offsetY };
      canvas.setPointerCapture(event.pointerId);
      canvas.focus();
    });
    canvas.addEventListener('pointermove', (event) => {
      if (dragOrigin === null) return;
      const box = canvas.getBoundingClientRect();
      const x = Math.round(event.offsetX);
      const y = Math.round(event.offsetY);
      const dA = Math.trunc(((Math.round(dragOrigin.x) - x) * 360 * 2) / Math.floor(box.width));
      const dE = Math.trunc(((Math.round(dragOrigin.y) - y) * 180 * 2) / Math.floor(box.height));
      if (dA !== 0) {
        page.setValue('Azimuth', page.value('Azimuth') + dA);
        dragOrigin.x = x;
      }
      if (dE !== 0) {
        // The desktop's bar holds the negated elevation: dragging down raises the eye.
        page.setValue('Elevation', page.value('Elevation') - dE);
        dragOrigin.y = y;
      }
      if (dA !== 0 || dE !== 0) showValues();
    });
    const endDrag = () => {
      if (dragOrigin !== null) store(page, Page);
      dragOrigin = null;
    };
    canvas.addEventListener('pointerup', endDrag);
    canvas.addEventListener('pointercancel', endDrag);
    canvas.addEventListener('wheel', (event) => {
      if (!event.ctrlKey) return;
      event.preventDefault();
      zoom(event.deltaY < 0);
    }, { passive: false });

    // The desktop's keys, where the browser leaves them to the page.
    document.addEventListener('keydown', (event) => {
      const target = event.target;
      if (target instanceof HTMLInputElement && target.type === 'number') return;
      const ctrl = event.ctrlKey && !event.altKey && !event.metaKey;
      const alt = event.altKey && !event.ctrlKey && !event.metaKey;
      const plain = !event.ctrlKey && !event.altKey && !event.metaKey;
      const key = event.key;
      let used = true;
      if (alt && /^Digit[1-6]$/.test(event.code)) {
        applyPreset(Number(event.code.slice(5)) - 1);
      } else if (plain && key === ' ') {
        if (timerTime !== null) pauseAnimation(); else startAnimation();
      } else if (plain && key === 'Backspace') {
        pauseAnimation();
        page.rewind();
        changed();
      } else if (plain && key === 'Escape') {
        pauseAnimation();
        setRotating(false);
      } else if (plain && (key === '+' || key === '-')) {
        zoom(key === '+');
      } else if (ctrl && key.toLowerCase() === 'f') {
        page.fit();
        changed();
      } else if (ctrl && key.toLowerCase() === 'i') {
        toggle('ShowReadout');
      } else if (ctrl && key.toLowerCase() === 'h') {
        toggle('ShowHorizontalWave');
      } else if (ctrl && key.toLowerCase() === 'v') {
        toggle('ShowVerticalWave');
      } else if (ctrl && key.toLowerCase() === 'r') {
        toggle('ShowResultantWave');
      } else if (alt && event.code === 'KeyV') {
        toggle('ShowResultantVector');
      } else if (ctrl && key.toLowerCase() === 'z') {
        toggle('CoordinateSystemCentered');
      } else if (alt && event.code === 'KeyR') {
        setRotating(timerRotate === null);
      } else if (ctrl && key.toLowerCase() === 's') {
        $('ButtonSavePng').click();
      } else if (plain && key === 'F1') {
        window.open($('HelpLink').href, '_blank');
      } else if (plain && target === canvas &&
                 ['ArrowLeft', 'ArrowRight', 'ArrowUp', 'ArrowDown'].includes(key)) {
        if (key === 'ArrowLeft' || key === 'ArrowRight') {
          page.setValue('Azimuth', page.value('Azimuth') + (key === 'ArrowLeft' ? -1 : 1));
        } else {
          page.setValue('Elevation', page.value('Elevation') + (key === 'ArrowUp' ? 1 : -1));
        }
        changed();
      } else {
        used = false;
      }
      if (used) event.preventDefault();
    });

    // The drawing follows its area (the window, the readout shown or hidden, the bars wrapping)
    // and the device's pixel ratio (a zoom, a move to another screen).
    new ResizeObserver(() => resize()).observe($('drawing'));
    const watchRatio = () => {
      window.matchMedia(`(resolution: ${window.devicePixelRatio}dppx)`)
        .addEventListener('change', () => {
          resize();
          watchRatio();
        }, { once: true });
    };
    watchRatio();

    applyTexts();
    resize();
    changed();
    if (problems) showNotice(problems.trim());
    // For the tests and the benchmark: what the page has done.
    window.ondulix = { page, state, startAnimation, pauseAnimation, ready: true,
      readyAt: performance.now() };
    document.body.classList.add('ready');
  }

  // A page opened from disk may not fetch files, so the engine's code then comes as a script.
  function engineOptions() {
    const options = { draw2d };
    if (window.location.protocol === 'file:' && typeof OndulixWasm === 'string') {
      const binary = atob(OndulixWasm);
      const bytes = new Uint8Array(binary.length);
      for (let i = 0; i < binary.length; ++i) bytes[i] = binary.charCodeAt(i);
      options.wasmBinary = bytes;
    }
    return options;
  }

  function loadWasmScript() {
    if (window.location.protocol !== 'file:') return Promise.resolve();
    return new Promise((resolve) => {
      const script = document.createElement('script');
      script.src = 'ondulix.wasm.js';
      script.onload = resolve;
      script.onerror = resolve;
      document.head.appendChild(script);
    });
  }

  Promise.all([
    loadWasmScript(),
    document.fonts.load(`12px ${LabelFont}`),
    document.fonts.load(`bold 12px ${LabelFont}`),
  ]).then(() => createOndulix(engineOptions())).then(start);
})();
