// The page in Debian's chromium, driven as a person would: files through the Open input, buttons
// and fields by their names, downloads compared byte for byte with the native host's `convert` and
// `import --extract-...`.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { randomBytes } from 'node:crypto';
import { ROOT, serve, launch, openPage, settled } from './browser.mjs';
import { modFolder, nativeFolder, writeFolder } from './mod_folder.mjs';

const HOST = process.env.KVELTAR_HOST ?? path.join(ROOT, 'build/native/kveltar-host');
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'kveltar-page-'));
const sample = (name) => path.join(ROOT, 'docs/sample', name);
const FRIGATE = ['frigate.sod', 'frigate_hull.tga', 'frigate_engine.tga', 'frigate_plating.tga'].map(sample);
const DAMAGED = path.join(work, 'damaged.sod');
fs.writeFileSync(DAMAGED, fs.readFileSync(sample('frigate.sod')).subarray(0, 100));
const RESERVED = [path.join(work, 'reserved.obj'), path.join(work, 'reserved.mtl')];
fs.writeFileSync(RESERVED[0], 'mtllib reserved.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nusemtl damage\nf 1 2 3\n');
fs.writeFileSync(RESERVED[1], 'newmtl damage\nKd 0.5 0.5 0.5\n');
const EXTRACT = ['--extract-hardpoints', '--extract-emitters', '--extract-sprites'];
const SIDE_NAMES = ['frigate_ems.txt', 'frigate_hps.txt', 'frigate_sps.txt'];
const RECORD = '1 0 0 0 1 0 0 0 1';

// A file `name` of `text` in a folder of its own in the work folder (the frigate's side files
// share their names); its path.
function sideFile(folder, name, text) {
  fs.mkdirSync(path.join(work, folder), { recursive: true });
  fs.writeFileSync(path.join(work, folder, name), text);
  return path.join(work, folder, name);
}

// The side files that the native host's import extracts from the SOD file `bytes`, by name.
function nativeExtract(bytes, folder) {
  const sod = sideFile(folder, 'frigate.sod', bytes);
  spawnSync(HOST, ['import', sod, ...EXTRACT], { encoding: 'utf8' });
  return Object.fromEntries(fs.readdirSync(path.dirname(sod)).filter((name) => name.endsWith('.txt'))
    .map((name) => [name, fs.readFileSync(path.join(path.dirname(sod), name))]));
}

// The files of the zip `bytes`, by path.
function unzip(bytes, folder) {
  const zip = sideFile(folder, 'download.zip', bytes);
  const out = path.join(work, folder, 'unzipped');
  spawnSync('unzip', ['-o', '-q', zip, '-d', out]);
  return Object.fromEntries(fs.readdirSync(out, { recursive: true }).filter((name) => fs.statSync(path.join(out, name)).isFile())
    .map((name) => [name, fs.readFileSync(path.join(out, name))]));
}

// The records of a side text file: {name: [12 numbers]} (emitters' second name left out).
const records = (bytes) => Object.fromEntries(bytes.toString('latin1').split(/\r?\n/)
  .filter((line) => line.trim() && !line.startsWith('#'))
  .map((line) => line.trim().split(/\s+/)).map((words) => [words[0], words.slice(-12).map((word) => Number(word) + 0)]));

const field = (page, label) => page.getByLabel(label, { exact: true });
async function setField(page, label, value) {
  await field(page, label).fill(String(value));
  await field(page, label).press('Enter');
}
const selectMarker = (page, name) => page.getByRole('button', { name, exact: true }).click();
const positionFields = (page) => Promise.all(['x', 'y', 'z'].map((axis) => field(page, `Position ${axis}`).inputValue()));
const markerNames = (page) => page.evaluate(() => [...document.querySelectorAll('#outline button.marker-row')].map((b) => b.textContent));

// The violations of WCAG 2 A and AA rules and of best practices axe-core finds on the page.
async function accessibilityViolations(page) {
  await page.addScriptTag({ path: path.join(ROOT, 'tests/web/node_modules/axe-core/axe.min.js') });
  const result = await page.evaluate(() => window.axe.run(document, { runOnly: ['wcag2a', 'wcag2aa', 'best-practice'] }));
  return result.violations.map((violation) => `${violation.id}: ${violation.nodes.map((node) => node.target).join(' ')}`);
}

// An OBJ grid of `side` x `side` vertices, two triangles a square, in the work folder: its path.
function gridObj(side) {
  const lines = [];
  for (let y = 0; y < side; y += 1) for (let x = 0; x < side; x += 1) lines.push(`v ${x} ${(x * y) % 7} ${y}`);
  for (let v = 1; v <= side * (side - 1); v += 1) if (v % side !== 0) lines.push(`f ${v} ${v + 1} ${v + side}`, `f ${v + 1} ${v + side + 1} ${v + side}`);
  fs.writeFileSync(path.join(work, 'grid.obj'), `${lines.join('\n')}\n`);
  return path.join(work, 'grid.obj');
}

// How many frames the page draws in `ms` milliseconds.
const framesIn = (page, ms) => page.evaluate((span) => new Promise((resolve) => {
  let frames = 0;
  const start = performance.now();
  const tick = () => { frames += 1; if (performance.now() - start < span) requestAnimationFrame(tick); else resolve(frames); };
  requestAnimationFrame(tick);
}), ms);

// What Tab reaches from the top of the page, once round: [{name, visible}] with the control's id,
// label or text, and whether its focus shows (a hidden file input's on the label after it) as an
// outline it has not without the focus.
async function tabStops(page) {
  await page.evaluate(() => { document.activeElement.blur(); window.tabStops = []; });
  for (let again = false; !again;) {
    await page.keyboard.press('Tab');
    again = await page.evaluate(() => {
      const element = document.activeElement;
      if (window.tabStops.some((stop) => stop.element === element)) return true;
      const shown = element.matches('input.file') ? element.nextElementSibling : element;
      if (element !== document.body) window.tabStops.push({ element, shown, outline: getComputedStyle(shown).outline });
      return false;
    });
  }
  return page.evaluate(() => {
    document.activeElement.blur();
    return window.tabStops.map(({ element, shown, outline }) => ({
      name: element.id || element.getAttribute('aria-label') || element.textContent.trim(),
      visible: !/none|0px/.test(outline) && outline !== getComputedStyle(shown).outline }));
  });
}

// Side text files that are not what the plug-in writes: the page shows what the plug-in's reader
// made of them, which is what a SOD file written from the page holds.
const BAD_SIDE_FILES = {
  binary: Buffer.from(Array.from({ length: 512 }, (_, i) => (i * 151 + 7) % 256)),
  empty: '',
  'lines of 600 characters': `hp_long ${RECORD} 0 0 1${' '.repeat(580)}\n${'#'.repeat(600)}\nhp_short ${RECORD} 0 0 2\n`,
  'a name of 300 characters': `hp${'x'.repeat(298)} ${RECORD} 0 0 1\nhp_short ${RECORD} 0 0 2\n`,
  'NaN and 1e39 numbers': `hp_nan NaN 0 0 0 1 0 0 0 1 0 0 0\nhp_big 1e39 0 0 0 1 0 0 0 1 0 0 0\nhp_fine ${RECORD} 1 2 3\n`,
};

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

// A mod's folder, and one of 300 files: SOD files good, cut short and of noise, a 0-byte one, one of
// 50 MB of random bytes, and files that are not SOD files.
const MOD = path.join(work, 'mod');
writeFolder(MOD, modFolder(sample('.')));
const HOSTILE = path.join(work, 'hostile');
const frigate = fs.readFileSync(sample('frigate.sod'));
writeFolder(HOSTILE, Object.fromEntries([
  ...Array.from({ length: 120 }, (_, i) => [`SOD/good_${i}.sod`, frigate]),
  ...Array.from({ length: 100 }, (_, i) => [`SOD/cut/cut_${i}.sod`, frigate.subarray(0, 20 * i)]),
  ...Array.from({ length: 20 }, (_, i) => [`SOD/noise/noise_${i}.sod`, randomBytes(100 + 97 * i)]),
  ...Array.from({ length: 55 }, (_, i) => [`notes/note_${i}.txt`, `not a model ${i}`]),
  ['SOD/empty.sod', ''], ['SOD/big.sod', randomBytes(50 << 20)],
  ...['hull', 'engine', 'plating'].map((name) => [`Textures/RGB/frigate_${name}.tga`, fs.readFileSync(sample(`frigate_${name}.tga`))]),
]));

// What the Files table shows: each row's path and its problems as "severity code: text".
const filesTable = (page) => page.evaluate(() => [...document.querySelectorAll('#files-table tbody tr')].map((tr) => ({
  path: tr.querySelector('button').textContent, problems: [...tr.querySelectorAll('li')].map((li) => li.textContent) })));
const checkRows = (report) => JSON.parse(report).files.map((file) => ({ path: file.path,
  problems: file.problems.map((problem) => `${problem.severity} ${problem.code}: ${problem.text}`) }));

// One row per file set opened: what the page must show, and what it must download.
const CASES = [
  {
    name: 'a mod folder: the Files table shows the native check, downloads its report and GLBs, a row opens its model; no WCAG 2 A/AA violation',
    input: 'Open folder', files: MOD, state: 'files',
    async check(page) {
      const native = nativeFolder(HOST, MOD);
      assert.deepEqual(await filesTable(page), checkRows(native.report));
      const report = await download(page, () => page.getByRole('button', { name: 'Download report' }).click());
      assert.equal(report.toString(), native.report);
      const zip = unzip(await download(page, () => page.getByRole('button', { name: 'Download all as GLB' }).click()), 'mod-glb');
      assert.deepEqual(Object.keys(zip).sort(), Object.keys(native.glbs));
      for (const name of Object.keys(zip)) assert.ok(zip[name].equals(native.glbs[name]), `${name} is the native batch's`);
      await page.locator('#files-table img:not([hidden])').first().waitFor();
      for (let click = 0; click < 2; click += 1) await page.getByRole('button', { name: 'Problems', exact: true }).click();
      assert.equal(await page.locator('th[data-key=problems]').getAttribute('aria-sort'), 'descending');
      await page.getByRole('button', { name: 'Only problems' }).click();
      assert.deepEqual((await filesTable(page)).map((row) => row.path), ['SOD/gone.sod', 'SOD/sub/cut.sod', 'SOD/frigate.sod']);
      assert.equal(await page.locator('#files-table tbody tr:visible').count(), 2);
      assert.deepEqual(await accessibilityViolations(page), []);
      await page.getByRole('button', { name: 'SOD/gone.sod' }).click();
      assert.equal(await settled(page), 'ready');
      assert.match((await panels(page)).log, /frigate_gone/);
      await page.getByRole('button', { name: 'Back to files' }).click();
      assert.equal(await page.evaluate(() => document.body.dataset.state), 'files');
    },
  },
  {
    name: 'a folder of 300 files, some damaged, some not SOD, one empty, one of 50 MB of noise: each SOD file in the table with the native verdict',
    input: 'Open folder', files: HOSTILE, state: 'files',
    async check(page, seconds) {
      const rows = await filesTable(page);
      assert.deepEqual(rows, checkRows(nativeFolder(HOST, HOSTILE).report));
      assert.ok(rows.filter((row) => row.problems.length > 0).every((row) => /^error (unreadable|not-imported): /.test(row.problems[0])));
      console.log(`# ${rows.length} SOD files of 300 checked and converted in ${seconds.toFixed(1)} s: ${(1000 * seconds / rows.length).toFixed(1)} ms per file`);
      // Opened again and cancelled while it is checked: the files not done are shown as not checked.
      await page.getByLabel('Open folder', { exact: true }).setInputFiles(HOSTILE);
      await page.getByRole('cell', { name: 'not checked' }).first().waitFor(); // the folder is read in
      await page.getByRole('button', { name: 'Cancel' }).click();
      assert.equal(await settled(page), 'files');
      assert.ok(await page.getByRole('cell', { name: 'not checked' }).count() > 100);
    },
  },
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
      await page.getByRole('button', { name: 'Go on' }).waitFor(); // the export runs beside the page
      assert.match((await panels(page)).log, /damage/);
      const sod = await download(page, () => page.getByRole('button', { name: 'Go on' }).click());
      assert.ok(sod.equals(native.bytes), 'the page\'s SOD file is the native convert\'s');
    },
  },
  {
    name: 'the frigate\'s markers edited in the panel download as a SOD file and side files the native host reads alike',
    files: FRIGATE, state: 'ready',
    async check(page) {
      await selectMarker(page, 'hp_phaser_fore');
      await setField(page, 'Position x', 0.25);
      await setField(page, 'Name', 'hp_phaser_front');
      await page.getByRole('button', { name: 'Add hardpoint' }).click();
      assert.equal(await field(page, 'Name').inputValue(), 'hp01');
      for (const [label, value] of [['Position x', 1.5], ['Position y', -0.5], ['Position z', 2], ['Rotation z', 90]]) {
        await setField(page, label, value);
      }
      await selectMarker(page, 'HP_torpedo');
      await page.getByRole('button', { name: 'Delete', exact: true }).click();
      await selectMarker(page, 'hp_phaser_aft');
      await setField(page, 'Position x', 0.4);
      await page.getByRole('button', { name: 'Mirror copy' }).click();
      await page.getByRole('button', { name: 'Undo' }).click();
      assert.ok(!(await markerNames(page)).includes('hp02'), 'the undone copy is gone');
      await page.getByRole('button', { name: 'Redo' }).click();
      await setField(page, 'Name', 'hp_phaser_aft'); // refused: the name is taken
      assert.equal(await field(page, 'Name').inputValue(), 'hp02');
      assert.match((await panels(page)).log, /another hardpoint is named hp_phaser_aft/);

      const glb = await download(page, () => page.getByRole('button', { name: 'Download GLB' }).click());
      assert.ok(glb.includes('hp_phaser_front') && !glb.includes('HP_torpedo'), 'the GLB carries the edited markers');
      const sod = await download(page, () => page.getByRole('button', { name: 'Download SOD', exact: true }).click());
      const zip = await download(page, () => page.getByRole('button', { name: 'Download side files' }).click());
      const sides = unzip(zip, 'edited');
      assert.deepEqual(Object.keys(sides).sort(), SIDE_NAMES);
      const extracted = nativeExtract(sod, 'edited-extract');
      for (const name of SIDE_NAMES) assert.ok(extracted[name].equals(sides[name]), `${name} is the native extraction's`);
      const identity = [1, 0, 0, 0, 1, 0, 0, 0, 1];
      assert.deepEqual(records(sides['frigate_hps.txt']), {
        hp_phaser_aft: [...identity, 0.4, 0.7, -3], hp_phaser_front: [...identity, 0.25, 0.7, 3.5],
        hp01: [0, 1, 0, -1, 0, 0, 0, 0, 1, 1.5, -0.5, 2], hp02: [...identity, -0.4, 0.7, -3] });
      // The SOD file is the original with only the markers rewritten: native set-markers' bytes.
      const given = SIDE_NAMES.map((name) => sideFile('edited', name, sides[name]));
      const markerOptions = ['--emitters', given[0], '--hardpoints', given[1], '--sprites', given[2]];
      const setMarkers = spawnSync(HOST, ['set-markers', sample('frigate.sod'), path.join(work, 'edited/set.sod'),
        ...markerOptions]);
      assert.equal(setMarkers.status, 0, String(setMarkers.stderr));
      assert.ok(sod.equals(fs.readFileSync(path.join(work, 'edited/set.sod'))), 'the SOD file is native set-markers\'');
      // Re-exported, the mesh is that of the native convert's with the same side files.
      const reexported = await download(page, () => page.getByRole('button', { name: /re-exported/ }).click());
      const native = nativeConvert(sample('frigate.sod'), 'edited/native.sod', markerOptions);
      const objOf = (bytes, folder) => nativeConvert(sideFile(folder, 'frigate.sod', bytes), `${folder}/frigate.obj`).bytes;
      assert.ok(objOf(reexported, 'page-obj').equals(objOf(native.bytes, 'native-obj')), 'the mesh is the native convert\'s');
    },
  },
  {
    name: 'a click on a marker\'s axes or label selects it; a drag of the gizmo moves it, its fields follow, one undo takes it back; no axe-core violation',
    files: FRIGATE, state: 'ready',
    async check(page) {
      // A marker's origin lies below the middle of its label, where its axes meet.
      const origin = async (label) => { const box = await label.boundingBox(); return [box.x + box.width / 2, box.y + box.height * 1.6]; };
      await page.mouse.click(...(await origin(page.locator('.marker-label', { hasText: 'HP_torpedo' }))));
      assert.equal(await field(page, 'Name').inputValue(), 'HP_torpedo', 'a click on the axes selects the marker');
      await page.locator('.marker-label', { hasText: 'hp_phaser_fore' }).click();
      assert.equal(await field(page, 'Name').inputValue(), 'hp_phaser_fore', 'a click on the label selects the marker');
      const before = await positionFields(page);
      const [x, y] = await origin(page.locator('.marker-label.selected'));
      await page.mouse.move(x, y);
      await page.mouse.down();
      await page.mouse.move(x + 40, y + 15, { steps: 8 });
      await page.mouse.up();
      assert.notDeepEqual(await positionFields(page), before, 'the position fields follow the gizmo');
      await page.keyboard.press('Control+z');
      assert.deepEqual(await positionFields(page), before, 'the drag is one step');
      await page.keyboard.press('ArrowUp');
      assert.equal(Number((await positionFields(page))[1]), Number((Number(before[1]) + 0.1).toFixed(6)), 'an arrow key nudges y');
      await page.keyboard.press('p');
      const view = await page.locator('#viewport canvas').boundingBox();
      await page.mouse.click(view.x + view.width / 2, view.y + view.height / 2); // the hull, framed in the middle
      const placed = await Promise.all(['x', 'y', 'z'].map((axis) => field(page, `Rotation ${axis}`).inputValue()));
      assert.notDeepEqual(placed, ['0', '0', '0'], 'Place on surface turns the z axis along the hull\'s normal');
      assert.deepEqual(await accessibilityViolations(page), []);
    },
  },
  {
    name: 'a side text file opened with the model replaces that kind\'s markers',
    files: [...FRIGATE, sideFile('given', 'frigate_hps.txt', `hp_left ${RECORD} -1 0 0\nhp_right ${RECORD} 1 0 0\n`)],
    state: 'ready',
    async check(page) {
      assert.deepEqual((await markerNames(page)).sort(), ['engine_glow', 'hp_left', 'hp_right', 'running_light']);
      assert.match((await panels(page)).log, /frigate_hps\.txt gave 2 hardpoints/);
    },
  },
  ...Object.entries(BAD_SIDE_FILES).map(([what, text], index) => ({
    name: `a side text file with ${what} gives the plug-in reader's markers, which the SOD file downloaded holds`,
    files: [...FRIGATE, sideFile(`bad-${index}`, 'frigate_hps.txt', text)], state: 'ready',
    async check(page) {
      const shown = (await page.evaluate(() => [...document.querySelectorAll('#outline tr.hardpoint button')]
        .map((button) => button.textContent))).sort();
      const sod = await download(page, () => page.getByRole('button', { name: 'Download SOD', exact: true }).click());
      const held = Object.keys(records(nativeExtract(sod, `bad-${index}-extract`)['frigate_hps.txt'] ?? Buffer.alloc(0)));
      assert.deepEqual(shown, held.sort());
    },
  })),
  {
    name: 'once the offline worker holds the site, the page opens and converts the frigate with the network gone',
    files: FRIGATE, state: 'ready',
    async check(page) {
      await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
      await page.context().setOffline(true);
      await page.reload();
      await page.waitForFunction(() => document.body.dataset.state === 'empty');
      await page.getByLabel('Open', { exact: true }).setInputFiles(FRIGATE);
      assert.equal(await settled(page), 'ready');
      const glb = await download(page, () => page.getByRole('button', { name: /GLB/ }).click());
      assert.ok(glb.equals(nativeConvert(sample('frigate.sod'), 'offline.glb').bytes), 'the page\'s GLB is the native convert\'s');
    },
  },
  {
    name: 'a conversion runs off the page\'s thread; one past the time limit is stopped with a message, and the next opens',
    files: [gridObj(500)], state: 'failed', query: '?timeout=1500',
    async during(page) {
      await page.waitForFunction(() => document.body.dataset.state === 'opening');
      assert.ok(await framesIn(page, 300) >= 5, 'the page draws while the model converts');
      assert.equal(await page.evaluate(() => document.body.dataset.state), 'opening');
    },
    async check(page) {
      assert.match((await panels(page)).log, /open took longer than 1\.5 s and was stopped/);
      await page.getByLabel('Open', { exact: true }).setInputFiles(FRIGATE);
      await page.waitForFunction(() => document.body.dataset.state !== 'failed'); // the timed-out model's state
      assert.equal(await settled(page), 'ready');
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
  // The page with the keyboard, and axe-core's WCAG 2 A/AA rules and best practices (the frigate
  // open is the marker row's above).
  {
    name: 'the empty page: no axe-core violation; Tab reaches Open and Open folder with a visible focus, Enter and Space open their choosers',
    files: [], state: 'empty',
    async check(page) {
      assert.deepEqual(await accessibilityViolations(page), []);
      const stops = await tabStops(page);
      assert.deepEqual(stops.slice(0, 2), [{ name: 'open-files', visible: true }, { name: 'open-folder', visible: true }]);
      for (const [id, key] of [['open-files', 'Enter'], ['open-folder', ' ']]) {
        await page.locator(`#${id}`).focus();
        // The key activates the input (the click that opens its chooser), kept from opening a dialog here.
        await page.evaluate((input) => {
          window.activated = false;
          document.getElementById(input).addEventListener('click', (event) => {
            window.activated = true;
            event.preventDefault();
          }, { once: true });
        }, id);
        await page.keyboard.press(key);
        assert.ok(await page.evaluate(() => window.activated), `${key} on ${id} opens its chooser`);
      }
    },
  },
  {
    name: 'the frigate open with 200 messages: no axe-core violation; Tab reaches every control, both scrolling panels and the outline\'s rows, each with a visible focus',
    files: FRIGATE, state: 'ready',
    async check(page) {
      await page.evaluate(() => { // as the messages panel writes them
        for (let i = 0; i < 200; i += 1) document.getElementById('messages').append(Object.assign(document.createElement('li'), { className: 'warning', textContent: `warning: message ${i}` }));
      });
      assert.deepEqual(await accessibilityViolations(page), []);
      const stops = await tabStops(page);
      assert.deepEqual(stops.filter((stop) => !stop.visible), [], 'every focus shows');
      const reached = stops.map((stop) => stop.name);
      const controls = await page.evaluate(() => [...document.querySelectorAll('button:not(:disabled):not([hidden]), input, select')]
        .filter((element) => element.offsetParent || element.matches('input.file:not(#add-files)')).map((element) => element.id || element.textContent.trim()));
      assert.deepEqual(controls.filter((name) => !reached.includes(name)), [], 'Tab reaches every control shown');
      for (const name of ['Model panels', 'messages', 'hp_phaser_aft', 'running_light', 'download-glb', 'save-picture']) assert.ok(reached.includes(name), name);
    },
  },
];

let server;
let browser;
before(async () => { [server, browser] = await Promise.all([serve(), launch()]); });
after(async () => { await browser?.close(); await server?.close(); fs.rmSync(work, { recursive: true, force: true }); });

for (const { name, files, state, query = '', during, check, input = 'Open' } of CASES) {
  test(name, async () => {
    const page = await openPage(browser, `${server.url}${query}`);
    const started = performance.now();
    if (files.length > 0) await page.getByLabel(input, { exact: true }).setInputFiles(files);
    await during?.(page);
    assert.equal(files.length > 0 ? await settled(page, 600000) : await page.evaluate(() => document.body.dataset.state), state);
    await check(page, (performance.now() - started) / 1000);
    assert.deepEqual(page.errors, [], 'no console error');
    assert.deepEqual(page.foreign, [], 'no request but for the page\'s own files');
    await page.context().close();
  });
}
