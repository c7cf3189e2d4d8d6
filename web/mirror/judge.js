// Whether the child's face matches the cartoon's pose, from the face's
// measures against the child's own neutral face: neutral faces differ too
// widely for fixed values.

// How long the neutral face is watched, and how many readings it needs.
const CALIBRATION_MS = 1000;
const CALIBRATION_READINGS = 5;
// Judged only while the head is roughly straight; a pose matches once it has
// held for this many readings in a row.
const MAX_ROLL = 10;
const HOLD_READINGS = 3;

// One row a target the cartoon's pose can set (see the program's pose table):
// the measure judged and, from the child's baseline b, the value where its
// meter is empty and the one where it is full, which the match needs.
// Brows are judged leniently, on both sides together.
const CRITERIA = {
  mouth: {
    closed: {measure: 'mouthOpen', empty: (b) => b + 0.2, full: (b) => b + 0.03},
    open: {measure: 'mouthOpen', empty: (b) => b, full: (b) => b + 0.06},
    wide: {measure: 'mouthOpen', empty: (b) => b, full: (b) => b + 0.2},
  },
  width: {
    smile: {measure: 'mouthWidth', empty: (b) => b, full: (b) => b * 1.08},
    pout: {measure: 'mouthWidth', empty: (b) => b, full: (b) => b * 0.92},
  },
  // The mesh alone (no iris model) reads a shut eye at 0.6 to 0.7 of the
  // open one, never near zero.
  eyeRight: {
    closed: {measure: 'eyeRight', empty: (b) => b, full: (b) => b * 0.72},
    open: {measure: 'eyeRight', empty: (b) => b * 0.6, full: (b) => b * 0.85},
  },
  eyeLeft: {
    closed: {measure: 'eyeLeft', empty: (b) => b, full: (b) => b * 0.72},
    open: {measure: 'eyeLeft', empty: (b) => b * 0.6, full: (b) => b * 0.85},
  },
  brows: {
    up: {measure: 'brows', empty: (b) => b, full: (b) => b + 0.03},
  },
};
// The meters a child sees, and the targets each one gathers.
export const PARTS = {mouth: ['mouth', 'width'], eyes: ['eyeRight', 'eyeLeft'], brows: ['brows']};

function withBrows(m) {
  return {...m, brows: (m.browRight + m.browLeft) / 2};
}

function median(values) {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[sorted.length >> 1];
}

// Collects readings of the neutral face; `done()` then gives the baseline,
// each measure's median.
export class Calibration {
  constructor(now) {
    this.started = now;
    this.readings = [];
  }
  add(measures) {
    if (Math.abs(measures.roll) <= MAX_ROLL) this.readings.push(withBrows(measures));
  }
  done(now) {
    if (now - this.started < CALIBRATION_MS || this.readings.length < CALIBRATION_READINGS) return null;
    const baseline = {};
    for (const name of Object.keys(this.readings[0])) baseline[name] = median(this.readings.map((r) => r[name]));
    return baseline;
  }
}

// The match, reading after reading: each part's meter (0 to 1, absent for
// parts the pose does not use) and the parts that held their target long
// enough. `star` once every part the pose uses matches.
export class Judge {
  constructor(baseline) {
    this.baseline = baseline;
    this.held = {};
  }
  read(rawMeasures, targets) {
    const measures = withBrows(rawMeasures);
    const straight = Math.abs(measures.roll) <= MAX_ROLL;
    const meters = {}, matched = [];
    for (const [part, names] of Object.entries(PARTS)) {
      const rows = names.filter((n) => targets && targets[n]).map((n) => CRITERIA[n][targets[n]]);
      if (!rows.length) {
        delete this.held[part];
        continue;
      }
      meters[part] = Math.min(...rows.map((row) => {
        const b = this.baseline[row.measure], empty = row.empty(b), full = row.full(b);
        return Math.max(0, Math.min(1, (measures[row.measure] - empty) / (full - empty)));
      }));
      this.held[part] = straight && meters[part] >= 1 ? (this.held[part] || 0) + 1 : 0;
      if (this.held[part] >= HOLD_READINGS) matched.push(part);
    }
    const judged = Object.keys(meters);
    return {straight, meters, matched, star: judged.length > 0 && matched.length === judged.length};
  }
}
