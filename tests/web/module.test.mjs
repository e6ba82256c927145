// The JS module (build/web/kveltar.js) under node: its conversions of one SOD file of
// every version and of the sample are byte for byte the native host's, and bad input
// of every kind comes back as ok: false (or a warning) with the message, never a throw.
// Needs `make web native` and the native tests' written files (build/native/gltf-written).
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import {mkdtempSync, readdirSync, readFileSync, rmSync, writeFileSync, mkdirSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join} from 'node:path';
import {test} from 'node:test';

import {loadKveltar} from '../../build/web/kveltar.js';

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

// The native host's convert of the same file set: the files it wrote, by name. An OBJ
// file gets the set's textures beside it, as the page hands it out.
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
    try {
      const model = files.find((file) => /\.(sod|gltf|glb|obj)$/.test(file.name)).name;
      execFileSync(host, ['convert', join(folder, 'in', model), join(folder, 'out', target), ...args],
                   {stdio: 'pipe'});
    } catch (error) {
      assert.fail(`native convert failed: ${error.stderr}`);
    }
    return read(join(folder, 'out'), readdirSync(join(folder, 'out')).sort());
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
      assertSameFiles([opened.glb], nativeConvert(files, `${stem}.glb`));
      for (const to of ['glb', 'gltf', 'obj']) {
        const result = kveltar.convert(files, {to});
        assert.equal(result.ok, true, JSON.stringify(result.messages));
        assertSameFiles(result.files, nativeConvert(files, `${stem}.${to}`));
      }
      // Back to SOD from the glTF files, for either game, with the textures as TGA.
      const gltf = kveltar.convert(files, {to: 'gltf'}).files;
      for (const game of [1, 2]) {
        const back = kveltar.convert(gltf, {to: 'sod', game, writeTextures: true});
        assert.equal(back.ok, true, JSON.stringify(back.messages));
        assertSameFiles(back.files, nativeConvert(gltf, `${stem}.sod`, ['--game', `${game}`, '--write-textures']));
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
