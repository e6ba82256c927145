// The mod folder that the module's and the page's tests check and convert, and what the native
// host's check and batch conversion make of a folder.
import {spawnSync} from 'node:child_process';
import {mkdirSync, mkdtempSync, readdirSync, readFileSync, rmSync, writeFileSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join} from 'node:path';

// A mod's folder: the frigate and its textures as a game's folders hold them, a copy naming a
// texture the folder lacks, and a file cut short in a subfolder; {path: bytes}.
export function modFolder(sampleFolder) {
  const sample = ['frigate.sod', 'frigate_engine.tga', 'frigate_hull.tga', 'frigate_plating.tga']
    .map((name) => ({name, bytes: new Uint8Array(readFileSync(join(sampleFolder, name)))}));
  const gone = Buffer.from(sample[0].bytes);
  gone.write('frigate_gone', gone.indexOf('frigate_hull'), 'latin1');
  return {'SOD/frigate.sod': sample[0].bytes, 'SOD/gone.sod': new Uint8Array(gone),
          'SOD/sub/cut.sod': sample[0].bytes.slice(0, 700), 'readme.txt': new TextEncoder().encode('a mod'),
          ...Object.fromEntries(sample.slice(1).map((f) => [`Textures/RGB/${f.name}`, f.bytes]))};
}

// Writes the folder `files` ({path: bytes}) into `folder`.
export function writeFolder(folder, files) {
  for (const [path, bytes] of Object.entries(files)) {
    mkdirSync(join(folder, path, '..'), {recursive: true});
    writeFileSync(join(folder, path), bytes);
  }
}

// The native host's `check --json` of the folder `mod` (its prefix taken out of the paths) and its
// `convert --to glb --out-dir`: {report, glbs: {path: bytes}}.
export function nativeFolder(hostPath, mod) {
  const out = mkdtempSync(join(tmpdir(), 'kveltar-mod-'));
  try {
    const check = spawnSync(hostPath, ['check', '--json', mod], {encoding: 'utf8'});
    spawnSync(hostPath, ['convert', mod, '--to', 'glb', '--out-dir', out]);
    const glbs = {};
    for (const path of readdirSync(out, {recursive: true}).filter((p) => p.endsWith('.glb')).sort()) {
      glbs[path] = new Uint8Array(readFileSync(join(out, path)));
    }
    return {report: check.stdout.replaceAll(`${mod}/`, ''), glbs};
  } finally {
    rmSync(out, {recursive: true, force: true});
  }
}
