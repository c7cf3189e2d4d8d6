// Pictures for the browser tests: PNG files as RGB pixels, and the
// comparisons the tests make between them.
'use strict';
const zlib = require('zlib');

// Decodes an 8-bit, non-interlaced RGB or RGBA PNG (what Chromium's and the
// desktop tests' screenshots are) into {width, height, rgb}.
function decodePng(bytes) {
  let width = 0, height = 0, channels = 0;
  const data = [];
  for (let at = 8; at < bytes.length;) {
    const length = bytes.readUInt32BE(at);
    const kind = bytes.toString('latin1', at + 4, at + 8);
    const body = bytes.subarray(at + 8, at + 8 + length);
    if (kind === 'IHDR') {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      const [depth, colour, , , interlace] = body.subarray(8, 13);
      channels = {2: 3, 6: 4}[colour];
      if (depth !== 8 || !channels || interlace) throw new Error('unsupported PNG layout');
    } else if (kind === 'IDAT') {
      data.push(body);
    }
    at += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(data));
  const stride = width * channels;
  const rgb = Buffer.alloc(width * height * 3);
  let previous = Buffer.alloc(stride), row = Buffer.alloc(stride);
  for (let y = 0; y < height; y++) {
    const filter = raw[y * (stride + 1)];
    const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    for (let i = 0; i < stride; i++) {
      const a = i >= channels ? row[i - channels] : 0, b = previous[i], c = i >= channels ? previous[i - channels] : 0;
      let predicted = 0;
      if (filter === 1) predicted = a;
      else if (filter === 2) predicted = b;
      else if (filter === 3) predicted = (a + b) >> 1;
      else if (filter === 4) {
        const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
        predicted = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      }
      row[i] = (line[i] + predicted) & 255;
    }
    for (let x = 0; x < width; x++) row.copy(rgb, (y * width + x) * 3, x * channels, x * channels + 3);
    [previous, row] = [row, previous];
  }
  return {width, height, rgb};
}

// The share of pixels in `box` ({x, y, w, h}; the whole picture by default)
// whose colour differs by more than `tolerance` in some channel.
function changedShare(a, b, box = {x: 0, y: 0, w: a.width, h: a.height}, tolerance = 48) {
  if (a.width !== b.width || a.height !== b.height) throw new Error('pictures of different sizes');
  let changed = 0;
  for (let y = box.y; y < box.y + box.h; y++) {
    for (let x = box.x; x < box.x + box.w; x++) {
      const i = (y * a.width + x) * 3;
      if (Math.abs(a.rgb[i] - b.rgb[i]) > tolerance || Math.abs(a.rgb[i + 1] - b.rgb[i + 1]) > tolerance ||
          Math.abs(a.rgb[i + 2] - b.rgb[i + 2]) > tolerance) changed++;
    }
  }
  return changed / (box.w * box.h);
}

module.exports = {decodePng, changedShare};
