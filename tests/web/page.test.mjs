// The page in Debian's chromium, driven as a person would: files through the Open input, buttons
// by their names, downloads compared byte for byte with the native host's `convert`.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { ROOT, serve, launch, openPage, settled } from './browser.mjs';

const HOST = process.env.KVELTAR_HOST ?? path.join(ROOT, 'build/native/kveltar-host');
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'kveltar-page-'));
const sample = (name) => path.join(ROOT, 'docs/sample', name);
const FRIGATE = ['frigate.sod', 'frigate_hull.tga', 'frigate_engine.tga', 'frigate_plating.tga'].map(sample);
const DAMAGED = path.join(work, 'damaged.sod');
fs.writeFileSync(DAMAGED, fs.readFileSync(sample('frigate.sod')).subarray(0, 100));
const RESERVED = [path.join(work, 'reserved.obj'), path.join(work, 'reserved.mtl')];
fs.writeFileSync(RESERVED[0], 'mtllib reserved.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nusemtl damage\nf 1 2 3\n');
fs.writeFileSync(RESERVED[1], 'newmtl damage\nKd 0.5 0.5 0.5\n');

// The native host's conversion of `input` to a file named `output` in the work folder, failed or
// not: {report, bytes} (bytes null when nothing was written).
function nativeConvert(input, output, options = []) {
  const out = path.join(work, output);
  const run = spawnSync(HOST, ['convert', input, out, '--json', ...options], { encoding: 'utf8' });
  return { report: JSON.parse(run.stdout), bytes: fs.existsSync(out) ? fs.readFileSync(out) : null };
}

// The bytes of the download that `click` starts.
async function download(page, click) {
  const [started] = await Promise.all([page.waitForEvent('download'), click()]);
  return fs.readFileSync(await started.path());
}

// How many pixels of the PNG `bytes` differ from the view's background by more than a tolerance.
const pixelsOffBackground = (page, bytes) => page.evaluate(async (base64) => {
  const blob = await (await fetch(`data:image/png;base64,${base64}`)).blob();
  const bitmap = await createImageBitmap(blob);
  const context = new OffscreenCanvas(bitmap.width, bitmap.height).getContext('2d');
  context.drawImage(bitmap, 0, 0);
  const { data } = context.getImageData(0, 0, bitmap.width, bitmap.height);
  let count = 0;
  for (let i = 0; i < data.length; i += 4) {
    if (Math.abs(data[i] - 0x12) + Math.abs(data[i + 1] - 0x14) + Math.abs(data[i + 2] - 0x18) > 24) count += 1;
  }
  return count / (bitmap.width * bitmap.height);
}, bytes.toString('base64'));

// What the panels show: the stats by term, the marker rows' kinds, and the log's text.
const panels = (page) => page.evaluate(() => ({
  stats: Object.fromEntries([...document.querySelectorAll('#stats dt')].map((dt) => [dt.textContent, dt.nextSibling.textContent])),
  markerKinds: [...document.querySelectorAll('#outline tr.hardpoint, #outline tr.emitter, #outline tr.sprite')].map((row) => row.className),
  meshRows: document.querySelector('#outline table')?.tBodies[0].rows.length,
  log: document.querySelector('[role=log]').textContent,
}));

// One row per file set opened: what the page must show, and what it must download.
const CASES = [
  {
    name: 'the sample frigate with its textures: outline, stats, GLB and picture',
    files: FRIGATE, state: 'ready',
    async check(page) {
      const native = nativeConvert(sample('frigate.sod'), 'frigate.glb');
      const shown = await panels(page);
      assert.deepEqual(shown.markerKinds.sort(), ['emitter', 'hardpoint', 'hardpoint', 'hardpoint', 'sprite']);
      assert.equal(shown.markerKinds.length, native.report.hardpoints + native.report.emitters + native.report.sprites);
      assert.equal(Number(shown.stats.Triangles), native.report.triangles);
      assert.equal(shown.meshRows, native.report.meshes.length);
      assert.match(shown.stats['File size'], new RegExp(`${fs.statSync(sample('frigate.sod')).size} bytes`));
      const glb = await download(page, () => page.getByRole('button', { name: /GLB/ }).click());
      assert.ok(glb.equals(native.bytes), 'the page\'s GLB is the native convert\'s');
      await page.getByLabel('Grid').uncheck(); // the ship alone on the background
      const picture = await download(page, () => page.getByRole('button', { name: /picture/ }).click());
      const covered = await pixelsOffBackground(page, picture);
      assert.ok(covered > 0.05, `the picture shows the ship (${covered} of it)`);
    },
  },
  {
    name: 'a Blender-made GLB downloads as the native convert\'s SOD file',
    files: [path.join(ROOT, 'tests/data/gltf/blender_frigate.glb')], state: 'ready',
    async check(page) {
      const native = nativeConvert(path.join(ROOT, 'tests/data/gltf/blender_frigate.glb'), 'blender_frigate.sod');
      const sod = await download(page, () => page.getByRole('button', { name: /SOD/ }).click());
      assert.ok(sod.equals(native.bytes), 'the page\'s SOD file is the native convert\'s');
    },
  },
  {
    name: 'a reserved material name stops the SOD export until "Go on", the warning\'s OK',
    files: RESERVED, state: 'ready',
    async check(page) {
      const native = nativeConvert(RESERVED[0], 'reserved.sod', ['--continue-reserved']);
      await page.getByRole('button', { name: /SOD/ }).click();
      assert.match((await panels(page)).log, /damage/);
      const sod = await download(page, () => page.getByRole('button', { name: 'Go on' }).click());
      assert.ok(sod.equals(native.bytes), 'the page\'s SOD file is the native convert\'s');
    },
  },
  {
    name: 'a damaged SOD file shows the plug-in\'s message',
    files: [DAMAGED], state: 'failed',
    async check(page) {
      const { report } = nativeConvert(DAMAGED, 'damaged.glb');
      const reason = report.messages[0].text.split(': ').slice(1).join(': ');
      assert.ok(reason.length > 0);
      assert.ok((await panels(page)).log.includes(reason), `the log names "${reason}"`);
      assert.ok(await page.getByRole('button', { name: /GLB/ }).isDisabled());
    },
  },
];

let server;
let browser;
before(async () => { [server, browser] = await Promise.all([serve(), launch()]); });
after(async () => { await browser?.close(); await server?.close(); fs.rmSync(work, { recursive: true, force: true }); });

for (const { name, files, state, check } of CASES) {
  test(name, async () => {
    const page = await openPage(browser, server.url);
    await page.getByLabel('Open', { exact: true }).setInputFiles(files);
    assert.equal(await settled(page), state);
    await check(page);
    assert.deepEqual(page.errors, [], 'no console error');
    assert.deepEqual(page.foreign, [], 'no request but for the page\'s own files');
    await page.context().close();
  });
}
