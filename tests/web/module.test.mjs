// The JS module (build/web/kveltar.js) under node: its conversions of one SOD file of
// every version and of the sample are byte for byte the native host's, and bad input
// of every kind comes back as ok: false (or a warning) with the message, never a throw.
// Needs `make web native` and the native tests' written files (build/native/gltf-written).
import assert from 'node:assert/strict';
import {spawnSync} from 'node:child_process';
import {mkdtempSync, readdirSync, readFileSync, rmSync, writeFileSync, mkdirSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join} from 'node:path';
import {test} from 'node:test';

import {loadKveltar} from '../../build/web/kveltar.js';
import {modFolder, nativeFolder, writeFolder} from './mod_folder.mjs';

const root = new URL('../../', import.meta.url).pathname;
const host = join(root, 'build/native/kveltar-host');
const written = join(root, 'build/native/gltf-written');
const kveltar = await loadKveltar();

const read = (folder, names) => names.map((name) => ({name, bytes: new Uint8Array(readFileSync(join(folder, name)))}));
const sample = read(join(root, 'docs/sample'),
                    ['frigate.sod', 'frigate_engine.tga', 'frigate_hull.tga', 'frigate_plating.tga']);
const versions = ['1.60', '1.70', '1.80', '1.90', '1.91', '1.92', '1.93'];
const sets = [['sample', sample],
              ...versions.map((v) => [`SOD ${v}`, read(written, [`ship_${v}.sod`, 'ship_hull.tga'])])];

const modelOf = (files) => files.find((file) => /\.(sod|gltf|glb|obj)$/.test(file.name)).name;

// The native host's convert of the same file set: its exit status, its messages
// (without the folder of the file set) and the files it wrote, by name. An OBJ file gets the set's textures beside it, as the page hands it out.
function nativeConvert(files, target, args = []) {
  const folder = mkdtempSync(join(tmpdir(), 'kveltar-web-'));
  try {
    mkdirSync(join(folder, 'in'));
    mkdirSync(join(folder, 'out'));
    for (const file of files) writeFileSync(join(folder, 'in', file.name), file.bytes);
    if (target.endsWith('.obj')) {
      for (const file of files.filter((f) => f.name.endsWith('.tga'))) writeFileSync(join(folder, 'out', file.name), file.bytes);
      args = [...args, '--texture-folder', join(folder, 'out')];
    }
    const input = join(folder, 'in', modelOf(files));
    const run = spawnSync(host, ['convert', input, join(folder, 'out', target), ...args], {encoding: 'utf8'});
    const said = run.stderr.split(/^kveltar-host: /m).slice(1).map((text) => text.trimEnd());
    return {status: run.status, said: said.map((text) => text.replaceAll(`${join(folder, 'in')}/`, '').replaceAll(join(folder, 'in'), '')),
            files: read(join(folder, 'out'), readdirSync(join(folder, 'out')).sort())};
  } finally {
    rmSync(folder, {recursive: true, force: true});
  }
}

function assertSameFiles(actual, expected) {
  assert.deepEqual(actual.map((f) => f.name), expected.map((f) => f.name));
  for (let i = 0; i < expected.length; ++i) {
    assert.ok(Buffer.from(actual[i].bytes).equals(Buffer.from(expected[i].bytes)), `${expected[i].name} differs`);
  }
}

test('conversions match the native build byte for byte', async (t) => {
  for (const [label, files] of sets) {
    const stem = files[0].name.replace(/\.sod$/, '');
    await t.test(label, () => {
      const opened = kveltar.open(files);
      assert.equal(opened.ok, true, JSON.stringify(opened.messages));
      assertSameFiles([opened.glb], nativeConvert(files, `${stem}.glb`).files);
      for (const to of ['glb', 'gltf', 'obj']) {
        const result = kveltar.convert(files, {to});
        assert.equal(result.ok, true, JSON.stringify(result.messages));
        assertSameFiles(result.files, nativeConvert(files, `${stem}.${to}`).files);
      }
      // Back to SOD from the glTF files, for either game, with the textures as TGA.
      const gltf = kveltar.convert(files, {to: 'gltf'}).files;
      for (const game of [1, 2]) {
        const back = kveltar.convert(gltf, {to: 'sod', game, writeTextures: true});
        assert.equal(back.ok, true, JSON.stringify(back.messages));
        assertSameFiles(back.files, nativeConvert(gltf, `${stem}.sod`, ['--game', `${game}`, '--write-textures']).files);
      }
    });
  }
});

test('the sample opens with its outline, dialog and textures', () => {
  const opened = kveltar.open(sample);
  assert.deepEqual(opened.dialog, {version: '1.80', materials: 3, nodes: 4, meshes: 4, sprites: 1, lods: 1,
                                   emitters: 1, hardpoints: 3,
                                   meshNames: ['hull', 'engine_port', 'engine_starboard', 'borg_plating']});
  assert.deepEqual(opened.outline.markers.map((m) => `${m.kind} ${m.name} ${m.position} ${m.emitter}`), [
    'hardpoint hp_phaser_aft 0,0.7,-3 null', 'hardpoint hp_phaser_fore 0,0.7,3.5 null',
    'hardpoint HP_torpedo 0,-0.7,4.2 null', 'emitter engine_glow 0,0,-4.6 frigate_exhaust',
    'sprite running_light 0,1.3,0 null']);
  assert.deepEqual([opened.outline.triangles, opened.outline.vertices, opened.input.size], [36, 24, 2226]);
  assert.deepEqual(opened.missingTextures, []);
  // The OBJ's material library names the textures that lie beside it.
  const obj = kveltar.convert(sample, {to: 'obj'}).files;
  assert.deepEqual(obj.map((f) => f.name).filter((name) => name.endsWith('.tga')), sample.slice(1).map((f) => f.name));
  const mtl = new TextDecoder().decode(obj.find((f) => f.name === 'frigate.mtl').bytes);
  assert.deepEqual(mtl.match(/^map_Kd .*$/gm),
                   ['map_Kd frigate_plating.tga', 'map_Kd frigate_engine.tga', 'map_Kd frigate_hull.tga']);
  // A glTF file opens with its own images: none is reported missing.
  const blender = kveltar.open(read(join(root, 'tests/data/gltf'), ['blender_frigate.glb']));
  assert.deepEqual([blender.ok, blender.messages, blender.outline.markers.length], [true, [], 5]);
  const withoutHull = kveltar.open(sample.filter((f) => f.name !== 'frigate_hull.tga'));
  assert.deepEqual(withoutHull.missingTextures, ['frigate_hull.tga']);
  assert.deepEqual(withoutHull.outline.materials.map((m) => m.missing), [false, false, true]);
});

test('a mod folder is checked and converted as the native check and batch do', async () => {
  const files = modFolder(join(root, 'docs/sample'));
  const mod = mkdtempSync(join(tmpdir(), 'kveltar-mod-'));
  writeFolder(mod, files);
  const native = nativeFolder(host, mod);
  rmSync(mod, {recursive: true, force: true});
  const folder = kveltar.setFolder(Object.entries(files).map(([path, bytes]) => ({path, bytes})));
  const nativeChecks = JSON.parse(native.report).files;
  assert.deepEqual([folder.ok, folder.models], [true, nativeChecks.map((check) => check.path)]);
  const checks = folder.models.map((path) => kveltar.checkFile(path));
  assert.deepEqual(checks.map((result) => result.check), nativeChecks);
  assert.deepEqual(checks.map((result) => result.check.problems.map((p) => p.code)),
                   [[], ['missing-texture'], ['unreadable']]);
  assertSameFiles(checks.filter((result) => result.glb).map((result) => result.glb),
                  Object.entries(native.glbs).map(([name, bytes]) => ({name, bytes})));
  assert.equal(checks[0].summary.triangles, 36);
  assert.equal(kveltar.checkReport(checks.map((result) => result.check)).text, native.report);
});

const bytes = (text) => new TextEncoder().encode(text);
const noise = (n) => Uint8Array.from({length: n}, (_, i) => (i * 7919 + 13) % 251);
const objVertices = Array.from({length: 65536}, (_, i) => `v ${i % 256} ${i >> 8} 0\n`).join('');

test('bad input gives the message and no throw', async (t) => {
  const cases = [
    ['damaged SOD', 'open', [{name: 'cut.sod', bytes: sample[0].bytes.slice(0, 1000)}], {}, false,
     /could not read .*cut\.sod: the file is damaged or cut short \(1000 bytes\)/],
    ['random bytes', 'open', [{name: 'noise.sod', bytes: noise(3000)}], {}, false,
     /SOD file header ID, Storm3D_SW, not found/],
    ['glTF that does not parse', 'convert', [{name: 'bad.gltf', bytes: bytes('{"asset": ')}], {to: 'sod'}, false,
     /bad\.gltf: .*parse error/],
    ['texture that is not an image', 'open',
     [...sample.filter((f) => f.name !== 'frigate_hull.tga'), {name: 'frigate_hull.tga', bytes: noise(500)}], {},
     true, /texture frigate_hull\.tga of material hull: .*not an image/],
    ['beyond the limits on the way to SOD', 'convert', [{name: 'big.obj', bytes: bytes(`${objVertices}f 1 2 257\n`)}],
     {to: 'sod'}, false, /does not support more than\n65535 vertices/],
    ['no model', 'open', [{name: 'only.tga', bytes: noise(10)}], {}, false, /no model among the files/],
    ['unknown target', 'convert', sample, {to: 'fbx'}, false, /cannot convert to fbx/],
    ['a folder path that climbs out', 'setFolder', [{path: '../up.sod', bytes: noise(10)}], {}, true,
     /\.\.\/up\.sod was skipped/],
    ['a file not in the folder', 'checkFile', 'none.sod', {}, false, /none\.sod/],
    ['a check of an unknown problem', 'checkReport', [{path: 'a.sod', problems: [{code: 'odd'}]}], {}, false,
     /the request failed/],
  ];
  for (const [label, call, files, options, ok, message] of cases) {
    await t.test(label, () => {
      const result = kveltar[call](files, options);
      assert.equal(result.ok, ok);
      assert.ok(result.messages.some((m) => message.test(m.text)), JSON.stringify(result.messages));
    });
  }
  const stopped = kveltar.convert(cases[4][2], {to: 'sod'});
  assert.equal(stopped.status, 4);
});

// The native tests' hostile glTF files (build/native/gltf-written/hostile, numbers past
// 32 bits among them), SOD files cut or changed, OBJ indices past int and GLB lengths at
// 2^31 and 2^32 - 1: the 32-bit module gives the 64-bit native host's status, messages and files.
test('hostile files get the native verdict', async (t) => {
  const hostile = join(written, 'hostile');
  const sets = readdirSync(hostile).sort().map((name) => [name, read(join(hostile, name), readdirSync(join(hostile, name)))]);
  assert.ok(sets.length >= 70, `${sets.length} hostile glTF files: run the native tests first`);
  const sod = sample[0].bytes;
  for (let at = 0; at < sod.length; at += 107) {
    const changed = sod.slice();
    changed.set([changed[at] ^ 0xFF, changed[at + 1] ^ 0x80], at);
    sets.push([`SOD cut at ${at}`, [{name: 'm.sod', bytes: sod.slice(0, at)}, ...sample.slice(1)]],
              [`SOD changed at ${at}`, [{name: 'm.sod', bytes: changed}, ...sample.slice(1)]]);
  }
  for (const index of ['2147483648', '4294967297', '-4294967295', '0001']) {
    sets.push([`OBJ index ${index}`, [{name: 'm.obj', bytes: bytes(`v 0 0 0\nv 1 0 0\nv 0 1 0\nf ${index} 2 3\n`)}],
               index === '0001' ? null : /line 4: index \d+ is more than the 2147483647 the reader takes here/]);
  }
  const glb = readFileSync(join(root, 'tests/data/gltf/blender_frigate.glb'));
  for (const [at, length] of [8, 12, 20 + glb.readUInt32LE(12)].flatMap((at) => [[at, 2 ** 31], [at, 2 ** 32 - 1]])) {
    const changed = Buffer.from(glb);
    changed.writeUInt32LE(length, at);
    sets.push([`GLB with ${length} at ${at}`, [{name: 'm.glb', bytes: new Uint8Array(changed)}], /binary glTF/]);
  }
  for (const [label, files, refusal] of sets) {
    await t.test(label, () => {
      const to = files[0].name.endsWith('.sod') ? 'glb' : 'sod';
      const native = nativeConvert(files, `${modelOf(files).replace(/\.\w+$/, '')}.${to}`, ['--game', '1']);
      const result = kveltar.convert(files, {to, game: 1});
      const said = result.messages.map((m) => `${m.kind === 'warning' ? 'warning: ' : ''}${m.text}`.replace(/\/kveltar\/\d+\/in\/?/g, ''));
      assert.deepEqual([result.status, said], [native.status, native.said]);
      if (native.status === 0) assertSameFiles(result.files, native.files);
      if (refusal) assert.match(native.said.join('\n'), refusal);
    });
  }
});
