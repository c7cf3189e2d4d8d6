// The camera mirror: the child's own face, mirrored, beside the cartoon (above
// or below it on a portrait screen), a meter for each part the cartoon's pose
// uses, and a star when the face matches. Loaded by the page when the mirror
// is first turned on; the face reader (a worker with the face mesh) is
// downloaded then, with its progress shown, and kept for offline use by the
// site's service worker. The camera's frames are analysed in the page and
// never stored or sent.
import {Calibration, Judge, PARTS} from './judge.js';

// The words are the page's, in the program's language (the page's T; N_
// marks a text translated where it is shown).
const T = (...words) => window.Module.T(...words);
const N_ = (text) => text;
const PRIVACY = N_('The camera\u2019s pictures stay on this device: they are looked at here, never stored or sent.');
const LABELS = {mouth: N_('Mouth'), eyes: N_('Eyes'), brows: N_('Brows')};
// Readings a second at most: a pose holds for three, and on two cores the
// reader's spare time is the cartoon's.
const MAX_READINGS_PER_SECOND = 9;

const STYLE = `
  body.mirror-on #canvas { position: fixed; }
  #mirror { position: fixed; box-sizing: border-box; display: none; gap: 8px; padding: 8px;
            background: #1d2433; color: #eee; font: 15px/1.3 sans-serif; overflow: hidden; }
  body.mirror-on #mirror { display: flex; }
  #mirror .view { position: relative; aspect-ratio: 4 / 3; flex: none; background: #000; border-radius: 10px;
                  overflow: hidden; }
  /* The frames the reader judged, drawn by the page: the video element itself
     is not shown, since compositing it costs more than the reading itself
     on a software GPU. */
  #mirror video { position: absolute; width: 1px; height: 1px; visibility: hidden; }
  #mirror canvas { width: 100%; height: 100%; object-fit: cover; transform: scaleX(-1); display: block; }
  #mirror .prompt { position: absolute; left: 0; right: 0; bottom: 0; padding: 6px; text-align: center;
                    background: rgba(0, 0, 0, 0.55); font-weight: bold; }
  #mirror .prompt:empty { display: none; }
  #mirror .star { position: absolute; right: 6px; top: 0; font-size: 64px; line-height: 1; color: #ffd23c;
                  text-shadow: 0 0 8px #000; transform: scale(0); transition: transform 0.25s; }
  #mirror.star .star { transform: scale(1); }
  #mirror .side { display: flex; flex-direction: column; gap: 6px; min-width: 0; overflow: auto; }
  #mirror .meter { display: grid; grid-template-columns: 4.2em 1fr; align-items: center; gap: 6px; }
  #mirror .meter[hidden] { display: none; }
  #mirror .bar { height: 14px; border-radius: 7px; background: #3a4458; overflow: hidden; }
  #mirror .bar div { height: 100%; background: #f0a040; transform-origin: left; transform: scaleX(0);
                     transition: transform 0.15s; }
  #mirror .meter.matched .bar div { background: #5fd35f; }
  #mirror .loading .bar div { background: #6fa8ff; }
  #mirror .loading[hidden] { display: none; }
  #mirror .privacy { margin: 0; font-size: 12px; color: #aab; }
  #mirror .buttons { display: flex; gap: 6px; }
  #mirror button { min-height: 40px; font: bold 14px sans-serif; }
  /* Landscape: beside the cartoon, taking the letterbox's margin when the
     screen has one, else a share of the width from the canvas. */
  @media (orientation: landscape) {
    body.mirror-on { --mirror: clamp(30vw, calc(100vw - 160dvh), 42vw); }
    body.mirror-on #canvas { left: var(--mirror); top: 0; width: calc(100vw - var(--mirror)); }
    #mirror { left: 0; top: 0; width: var(--mirror); height: 100dvh; flex-direction: column; }
    /* As tall as the meters leave room for, up to a portrait 3 : 4. */
    #mirror .view { width: 100%; aspect-ratio: auto; height: calc(var(--mirror) * 4 / 3); flex: 0 1 auto;
                    min-height: 0; }
    #mirror .side { flex: none; }
  }
  /* Portrait: above the cartoon, in the height the cartoon leaves free. */
  @media (orientation: portrait) {
    body.mirror-on { --mirror: clamp(35dvh, calc(100dvh - 62.5vw), 55dvh); }
    body.mirror-on #canvas { top: var(--mirror); left: 0; height: calc(100dvh - var(--mirror)); }
    #mirror { left: 0; top: 0; width: 100vw; height: var(--mirror); flex-direction: row; }
    #mirror .view { height: 100%; max-width: 60%; }
    #mirror .side { flex: 1; }
  }
`;

function element(tag, attributes = {}, children = []) {
  const e = document.createElement(tag);
  Object.assign(e, attributes);
  for (const child of children) e.append(child);
  return e;
}

// The face screen's pose as the program gives it: null on another screen.
function cartoonTargets() {
  const json = Module.ccall('grimalou_mirror_targets', 'string', [], []);
  return json ? JSON.parse(json) : null;
}

// Whether the child holds the pose, for a repetition's hold: 1, 0, or -1 with
// the mirror off (the hold then counts down as without a camera).
function tellHolding(holding) {
  Module.ccall('grimalou_mirror_holding', null, ['number'], [holding]);
}

// The plain words for a camera that cannot be had.
function cameraProblem(error) {
  switch (error && error.name) {
    case 'NotAllowedError':
    case 'SecurityError':
      return T('The camera was not allowed, so the mirror stays off. Allow the camera in the browser to use it.');
    case 'NotFoundError':
    case 'OverconstrainedError':
      return T('No camera was found, so the mirror stays off.');
    case 'NotReadableError':
    case 'AbortError':
      return T('The camera is in use by another program, so the mirror stays off.');
    default:
      return T('The camera could not be started, so the mirror stays off (%s).', String(error && error.message || error));
  }
}

class Mirror {
  constructor() {
    document.head.append(element('style', {textContent: STYLE}));
    this.video = element('video', {muted: true, playsInline: true, autoplay: true});
    this.picture = element('canvas');
    this.prompt = element('div', {className: 'prompt'});
    this.loadingBar = element('div');
    this.loadingText = element('div');
    this.loading = element('div', {className: 'loading', hidden: true},
                           [this.loadingText, element('div', {className: 'bar'}, [this.loadingBar])]);
    this.meters = {};
    for (const part of Object.keys(PARTS)) {
      const fill = element('div');
      const row = element('div', {className: 'meter', hidden: true},
                          [element('span', {textContent: T(LABELS[part])}), element('div', {className: 'bar'}, [fill])]);
      this.meters[part] = {row, fill};
    }
    const again = element('button', {textContent: T('Neutral face again')});
    again.onclick = () => this.calibrate();
    const off = element('button', {textContent: T('Mirror off')});
    off.onclick = () => this.stop();
    this.panel = element('section', {id: 'mirror', ariaLabel: T('Mirror')}, [
      element('div', {className: 'view'}, [this.video, this.picture,
                                            element('div', {className: 'star', textContent: '\u2605'}),
                                            this.prompt]),
      element('div', {className: 'side'}, [this.loading, ...Object.values(this.meters).map((m) => m.row),
                                           element('p', {className: 'privacy', textContent: T(PRIVACY)}),
                                           element('div', {className: 'buttons'}, [again, off])]),
    ]);
    document.body.append(this.panel);
    this.worker = null;
    this.ready = null;
    this.stream = null;
    this.stars = 0;
    this.detections = 0;
    this.publish({state: 'off'});
  }

  get on() { return !!this.stream; }

  // The page's layout changed: the program fits its canvas again.
  relayout(on) {
    document.body.classList.toggle('mirror-on', on);
    window.dispatchEvent(new Event('resize'));
  }

  async start() {
    if (this.on || this.starting) return;
    this.starting = true;
    this.stars = 0;
    this.relayout(true);
    this.say('');
    this.publish({state: 'asking'});
    try {
      if (!navigator.mediaDevices || !navigator.mediaDevices.getUserMedia) throw {name: 'NotFoundError'};
      this.stream = await navigator.mediaDevices.getUserMedia(
        {video: {facingMode: 'user', width: {ideal: 640}, height: {ideal: 480}}, audio: false});
    } catch (error) {
      if (!this.starting) return;
      this.starting = false;
      this.relayout(false);
      this.publish({state: 'refused'});
      Module.showNotice(cameraProblem(error));
      return;
    }
    // Turned off while the camera was being asked for.
    if (!this.starting) return this.stop();
    this.starting = false;
    this.video.srcObject = this.stream;
    await this.video.play().catch(() => {});
    try {
      await this.loadReader();
    } catch (error) {
      this.stop();
      Module.showNotice(T('The face reader could not be loaded, so the mirror stays off (%s).', error.message));
      return;
    }
    if (!this.on) return;
    this.calibrate();
    this.next();
  }

  // The camera stops at once, its light with it; the face reader stays
  // loaded for the next time.
  stop() {
    this.starting = false;
    if (this.stream) for (const track of this.stream.getTracks()) track.stop();
    this.stream = null;
    this.video.srcObject = null;
    this.picture.getContext('bitmaprenderer').transferFromImageBitmap(null);
    this.panel.classList.remove('star');
    tellHolding(-1);
    this.relayout(false);
    this.publish({state: 'off'});
    const canvas = document.getElementById('canvas');
    if (canvas) canvas.focus();
  }

  toggle() { return this.on || this.starting ? this.stop() : this.start(); }

  say(text) { this.prompt.textContent = text; }

  // Downloads the reader's files with a progress bar (they go to the
  // offline copy as they come), then starts the worker, which finds them
  // there.
  loadReader() {
    if (!this.ready) {
      this.ready = (async () => {
        const files = await (await fetch(new URL('files.json', import.meta.url))).json();
        const total = files.reduce((sum, f) => sum + f.bytes, 0);
        let loaded = 0;
        const show = () => {
          this.loadingBar.style.transform = `scaleX(${loaded / total})`;
          this.loadingText.textContent = T('Loading the face reader: %s of %s MB', (loaded / 1e6).toFixed(1),
                                           (total / 1e6).toFixed(1));
          this.publish({state: 'loading', loaded, total});
        };
        this.loading.hidden = false;
        show();
        for (const file of files) {
          const response = await fetch(new URL(file.path, import.meta.url));
          if (!response.ok) throw new Error(`${response.status} ${response.statusText}: ${file.path}`);
          const reader = response.body.getReader();
          for (let chunk = await reader.read(); !chunk.done; chunk = await reader.read()) {
            loaded += chunk.value.length;
            show();
          }
        }
        this.loading.hidden = true;
        this.worker = new Worker(new URL('worker.js', import.meta.url), {type: 'module'});
        await this.ask({kind: 'load'});
      })();
      this.ready.catch(() => { this.ready = null; this.loading.hidden = true; });
    }
    return this.ready;
  }

  // One message to the worker and its answer.
  ask(message, transfer = []) {
    return new Promise((resolve, reject) => {
      this.worker.onmessage = (event) => {
        if (event.data.kind === 'error') reject(new Error(event.data.message));
        else resolve(event.data);
      };
      this.worker.postMessage(message, transfer);
    });
  }

  calibrate() {
    this.calibration = new Calibration(performance.now());
    this.judge = null;
    this.say(T('Look at the camera, mouth closed'));
  }

  // One reading at a time, at least a frame of the page between them, so
  // that the cartoon keeps drawing.
  next() {
    const wait = Math.max(0, (this.lastRead || 0) + 1000 / MAX_READINGS_PER_SECOND - performance.now());
    setTimeout(() => requestAnimationFrame(() => this.readFrame().catch((error) => {
      this.stop();
      Module.showNotice(T('The mirror stopped: %s', error.message));
    })), wait);
  }

  async readFrame() {
    if (!this.on) return;
    if (this.video.readyState < 2) return this.next();
    this.lastRead = performance.now();
    // A smaller frame is read as well and costs the page less to show.
    const frame = await createImageBitmap(this.video, {resizeWidth: 320, resizeHeight: 240, resizeQuality: 'pixelated'});
    const reading = await this.ask({kind: 'detect', frame}, [frame]);
    if (!this.on) return reading.frame.close();
    // The frame comes back with its reading, and is shown without a copy.
    this.picture.getContext('bitmaprenderer').transferFromImageBitmap(reading.frame);
    this.detections += 1;
    this.show(reading);
    this.next();
  }

  show(reading) {
    const targets = cartoonTargets();
    let result = {meters: {}, matched: [], star: false};
    let state = 'on';
    if (!reading.face) {
      this.say(T('Come in front of the camera'));
    } else if (this.calibration) {
      state = 'calibrating';
      this.calibration.add(reading.measures);
      const baseline = this.calibration.done(performance.now());
      if (baseline) {
        this.calibration = null;
        this.judge = new Judge(baseline);
        this.say('');
      }
    } else {
      result = this.judge.read(reading.measures, targets);
      this.say(result.straight ? '' : T('Hold your head straight'));
    }
    for (const [part, meter] of Object.entries(this.meters)) {
      const value = result.meters[part];
      meter.row.hidden = value === undefined;
      meter.fill.style.transform = `scaleX(${value || 0})`;
      meter.row.classList.toggle('matched', result.matched.includes(part));
    }
    if (result.star && !this.panel.classList.contains('star')) {
      this.stars += 1;
    }
    this.panel.classList.toggle('star', result.star);
    // Before the baseline is known, or when the pose has nothing the camera
    // can judge, the hold does not wait.
    tellHolding(this.judge && Object.keys(result.meters).length ? Number(result.star) : -1);
    this.publish({state, face: reading.face, measures: reading.measures, targets,
                  baseline: this.judge ? this.judge.baseline : null, meters: result.meters,
                  matched: result.matched, star: result.star, ms: reading.ms});
  }

  // The reading for tests and the curious: document.body.dataset.mirror.
  publish(reading) {
    document.body.dataset.mirror = JSON.stringify({face: false, measures: null, matched: [], star: false,
                                                   ...reading, stars: this.stars, detections: this.detections});
  }
}

export const mirror = new Mirror();
