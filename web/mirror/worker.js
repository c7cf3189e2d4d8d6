// The face mesh, off the page's main thread so that the cartoon keeps its
// frame rate: receives camera frames as ImageBitmaps, answers with the
// face's measures. Every file it loads is served by the site itself.
import {Human} from './human.esm.js';

const here = (path) => new URL(path, import.meta.url).href;

// Only the face's box and mesh: the detector runs again only when the mesh
// loses the face, and nothing else of the library is loaded.
const CONFIG = {
  backend: 'wasm',
  wasmPath: here('wasm/'),
  wasmPlatformFetch: false,
  modelBasePath: here('models/'),
  debug: false,
  async: true,
  warmup: 'none',
  cacheSensitivity: 0,
  filter: {enabled: false},
  face: {
    enabled: true,
    detector: {modelPath: 'blazeface.json', rotation: false, maxDetected: 1, skipFrames: 1000,
               skipTime: 1e9, minConfidence: 0.3, return: false},
    mesh: {enabled: true, modelPath: 'facemesh.json', keepInvalid: false},
    attention: {enabled: false},
    iris: {enabled: false},
    emotion: {enabled: false},
    description: {enabled: false},
    antispoof: {enabled: false},
    liveness: {enabled: false},
  },
  body: {enabled: false},
  hand: {enabled: false},
  object: {enabled: false},
  gesture: {enabled: false},
  segmentation: {enabled: false},
};

// Points of the 468-point mesh, named for the person seen: their right eye
// is on the right of the mirrored picture, where the cartoon's right eye is.
const MESH = {
  rightEyeOuter: 33, rightEyeInner: 133, rightLidUpper: 159, rightLidLower: 145, rightBrow: 105,
  leftEyeOuter: 263, leftEyeInner: 362, leftLidUpper: 386, leftLidLower: 374, leftBrow: 334,
  lipUpperInner: 13, lipLowerInner: 14, mouthRight: 61, mouthLeft: 291,
};

const distance = (a, b) => Math.hypot(a[0] - b[0], a[1] - b[1]);
const middle = (a, b) => [(a[0] + b[0]) / 2, (a[1] + b[1]) / 2];

// Sizes as fractions of the distance between the eye centres, which does not
// change as the face comes nearer; eye openness as a fraction of the eye's
// width; angles in degrees.
function measuresOf(face) {
  const p = (name) => face.mesh[MESH[name]];
  const rightEye = middle(p('rightEyeOuter'), p('rightEyeInner'));
  const leftEye = middle(p('leftEyeOuter'), p('leftEyeInner'));
  const eyes = distance(rightEye, leftEye);
  const angle = (face.rotation && face.rotation.angle) || {};
  const degrees = (radians) => (radians || 0) * 180 / Math.PI;
  return {
    mouthOpen: distance(p('lipUpperInner'), p('lipLowerInner')) / eyes,
    mouthWidth: distance(p('mouthRight'), p('mouthLeft')) / eyes,
    eyeRight: distance(p('rightLidUpper'), p('rightLidLower')) / distance(p('rightEyeOuter'), p('rightEyeInner')),
    eyeLeft: distance(p('leftLidUpper'), p('leftLidLower')) / distance(p('leftEyeOuter'), p('leftEyeInner')),
    browRight: distance(p('rightBrow'), rightEye) / eyes,
    browLeft: distance(p('leftBrow'), leftEye) / eyes,
    // The picture's y runs down: a head leaning to the person's left lowers
    // their left eye.
    roll: Math.atan2(leftEye[1] - rightEye[1], leftEye[0] - rightEye[0]) * 180 / Math.PI,
    yaw: degrees(angle.yaw),
  };
}

let human = null;

async function load() {
  human = new Human(CONFIG);
  await human.load();
  return {backend: human.tf.getBackend()};
}

// The reading, and the frame given back for the page to show.
async function detect(frame) {
  const started = performance.now();
  const result = await human.detect(frame);
  const face = result.face && result.face.find((f) => f.mesh && f.mesh.length >= 468);
  return {face: !!face, measures: face ? measuresOf(face) : null, ms: performance.now() - started, frame};
}

self.onmessage = async (event) => {
  const {kind, frame} = event.data;
  try {
    if (kind === 'load') self.postMessage({kind: 'loaded', ...(await load())});
    else if (kind === 'detect') self.postMessage({kind: 'reading', ...(await detect(frame))}, [frame]);
  } catch (error) {
    self.postMessage({kind: 'error', message: String(error && error.message || error)});
  }
};
