// Reading PNG files into RGBA pixels: 8-bit greyscale, RGB and RGBA, not interlaced, which is
// what chromium's screenshots and lumenfall-capture write. Anything else is refused with a
// reason.
import {inflateSync} from "node:zlib";

const SIGNATURE = Buffer.from([137, 80, 78, 71, 13, 10, 26, 10]);
const CHANNELS = {0: 1, 2: 3, 6: 4}; // colour type -> channels

function paeth(a, b, c) {
  const p = a + b - c;
  const pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
  return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// {width, height, rgba: Uint8Array}
export function decodePng(bytes) {
  if (bytes.length < 8 || !bytes.subarray(0, 8).equals(SIGNATURE)) {
    throw new Error("not a PNG file");
  }
  let width = 0, height = 0, channels = 0;
  const data = [];
  for (let at = 8; at + 8 <= bytes.length;) {
    const length = bytes.readUInt32BE(at);
    const type = bytes.toString("latin1", at + 4, at + 8);
    if (at + 12 + length > bytes.length) {
      throw new Error("PNG chunk " + type + " runs past the end");
    }
    const body = bytes.subarray(at + 8, at + 8 + length);
    if (type === "IHDR") {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      const depth = body[8], colour = body[9], interlace = body[12];
      channels = CHANNELS[colour] || 0;
      if (depth !== 8 || !channels || interlace !== 0 || width === 0 || height === 0 ||
          width * height > 1 << 26) {
        throw new Error(`unsupported PNG: ${width}x${height}, depth ${depth}, colour ${colour}`);
      }
    } else if (type === "IDAT") {
      data.push(body);
    } else if (type === "IEND") {
      break;
    }
    at += 12 + length;
  }
  if (!channels) {
    throw new Error("PNG without a header");
  }
  const raw = inflateSync(Buffer.concat(data));
  const stride = width * channels;
  if (raw.length < height * (stride + 1)) {
    throw new Error("PNG data too short");
  }
  const pixels = Buffer.alloc(height * stride);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    const out = pixels.subarray(y * stride, (y + 1) * stride);
    const up = y > 0 ? pixels.subarray((y - 1) * stride, y * stride) : Buffer.alloc(stride);
    for (let x = 0; x < stride; ++x) {
      const left = x >= channels ? out[x - channels] : 0;
      const upLeft = x >= channels ? up[x - channels] : 0;
      const predicted = [0, left, up[x], (left + up[x]) >> 1, paeth(left, up[x], upLeft)][filter];
      if (predicted === undefined) {
        throw new Error("PNG filter " + filter + " unknown");
      }
      out[x] = (line[x] + predicted) & 0xff;
    }
  }
  const rgba = new Uint8Array(width * height * 4);
  for (let i = 0; i < width * height; ++i) {
    const p = pixels.subarray(i * channels, (i + 1) * channels);
    rgba[4 * i] = p[0];
    rgba[4 * i + 1] = channels >= 3 ? p[1] : p[0];
    rgba[4 * i + 2] = channels >= 3 ? p[2] : p[0];
    rgba[4 * i + 3] = channels === 4 ? p[3] : 255;
  }
  return {width, height, rgba};
}

// How two pictures of one size differ: the mean absolute difference per colour channel (0-255)
// and the share of pixels where some channel differs by more than `near`.
export function comparePictures(a, b, near = 24) {
  if (a.width !== b.width || a.height !== b.height) {
    throw new Error(`sizes differ: ${a.width}x${a.height} and ${b.width}x${b.height}`);
  }
  let sum = 0, far = 0;
  const count = a.width * a.height;
  for (let i = 0; i < count; ++i) {
    let worst = 0;
    for (let c = 0; c < 3; ++c) {
      const d = Math.abs(a.rgba[4 * i + c] - b.rgba[4 * i + c]);
      sum += d;
      worst = Math.max(worst, d);
    }
    far += worst > near ? 1 : 0;
  }
  return {meanDifference: sum / (count * 3), farShare: far / count};
}
