// The installed page's icons, made from the user guide's picture of the page: a square around the
// ship cut out of the PNG, scaled down by averaging and written as PNG files (node's zlib only).
import zlib from 'node:zlib';

const SIGNATURE = Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]);
const CRC_TABLE = Array.from({ length: 256 }, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; k += 1) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  return c >>> 0;
});
const crc32 = (bytes) => (bytes.reduce((c, byte) => CRC_TABLE[(c ^ byte) & 0xff] ^ (c >>> 8), 0xffffffff) ^ 0xffffffff) >>> 0;

// The pixels of an 8-bit RGB or RGBA PNG without interlacing: {width, height, channels, data}.
export function decodePng(png) {
  if (!png.subarray(0, 8).equals(SIGNATURE)) throw new Error('not a PNG file');
  const idat = [];
  let header = null;
  for (let at = 8; at < png.length;) {
    const length = png.readUInt32BE(at);
    const type = png.toString('latin1', at + 4, at + 8);
    const body = png.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') header = { width: body.readUInt32BE(0), height: body.readUInt32BE(4), depth: body[8], color: body[9], interlace: body[12] };
    if (type === 'IDAT') idat.push(body);
    at += 12 + length;
  }
  if (!header || header.depth !== 8 || ![2, 6].includes(header.color) || header.interlace !== 0) {
    throw new Error('only 8-bit RGB or RGBA PNG files without interlacing are read');
  }
  const channels = header.color === 6 ? 4 : 3;
  return { ...header, channels, data: unfilter(zlib.inflateSync(Buffer.concat(idat)), header.width * channels, header.height, channels) };
}

// The scanlines of `raw` with their filters undone.
function unfilter(raw, stride, height, bpp) {
  const out = Buffer.alloc(stride * height);
  for (let y = 0; y < height; y += 1) {
    const filter = raw[y * (stride + 1)];
    const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    for (let x = 0; x < stride; x += 1) {
      const a = x >= bpp ? out[y * stride + x - bpp] : 0;
      const b = y > 0 ? out[(y - 1) * stride + x] : 0;
      const c = x >= bpp && y > 0 ? out[(y - 1) * stride + x - bpp] : 0;
      const p = a + b - c;
      const paeth = Math.abs(p - a) <= Math.abs(p - b) && Math.abs(p - a) <= Math.abs(p - c) ? a : Math.abs(p - b) <= Math.abs(p - c) ? b : c;
      out[y * stride + x] = line[x] + [0, a, b, (a + b) >> 1, paeth][filter];
    }
  }
  return out;
}

// An RGB PNG file of `data` (width x height, 3 bytes a pixel).
export function encodePng(width, height, data) {
  const chunk = (type, body) => {
    const typed = Buffer.concat([Buffer.from(type, 'latin1'), body]);
    const length = Buffer.alloc(4);
    length.writeUInt32BE(body.length);
    const crc = Buffer.alloc(4);
    crc.writeUInt32BE(crc32(typed));
    return Buffer.concat([length, typed, crc]);
  };
  const header = Buffer.alloc(13);
  header.writeUInt32BE(width, 0);
  header.writeUInt32BE(height, 4);
  header.set([8, 2, 0, 0, 0], 8);
  const raw = Buffer.alloc((width * 3 + 1) * height);
  for (let y = 0; y < height; y += 1) data.copy(raw, y * (width * 3 + 1) + 1, y * width * 3, (y + 1) * width * 3);
  return Buffer.concat([SIGNATURE, chunk('IHDR', header), chunk('IDAT', zlib.deflateSync(raw, { level: 9 })), chunk('IEND', Buffer.alloc(0))]);
}

// The square of `image` at (left, top) of `side` pixels, scaled to `size` by averaging: RGB bytes.
export function cropScaled(image, left, top, side, size) {
  const out = Buffer.alloc(size * size * 3);
  for (let y = 0; y < size; y += 1) {
    for (let x = 0; x < size; x += 1) {
      const [x0, x1] = [Math.floor((x * side) / size), Math.max(Math.floor(((x + 1) * side) / size), Math.floor((x * side) / size) + 1)];
      const [y0, y1] = [Math.floor((y * side) / size), Math.max(Math.floor(((y + 1) * side) / size), Math.floor((y * side) / size) + 1)];
      const sum = [0, 0, 0];
      for (let sy = y0; sy < y1; sy += 1) {
        for (let sx = x0; sx < x1; sx += 1) {
          const at = ((top + sy) * image.width + left + sx) * image.channels;
          for (let k = 0; k < 3; k += 1) sum[k] += image.data[at + k];
        }
      }
      for (let k = 0; k < 3; k += 1) out[(y * size + x) * 3 + k] = Math.round(sum[k] / ((x1 - x0) * (y1 - y0)));
    }
  }
  return out;
}
