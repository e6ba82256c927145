// The web module's speed against the native build of the same code, in one run: the
// largest legal mesh (65535 faces) converted from SOD to GLB by kveltar.js under node
// and by the host library natively (bench/web_baseline), as the ratio of their median
// times; and the size of the .wasm with its JS glue.
import {execFileSync} from 'node:child_process';
import {mkdtempSync, readFileSync, rmSync, statSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join} from 'node:path';

import {loadKveltar} from '../build/web/kveltar.js';

const root = new URL('../', import.meta.url).pathname;
const ROUNDS = 7, ROUND_SECONDS = 0.3;

function oneRound(work) {
  const start = performance.now();
  let calls = 0, elapsed = 0;
  do {
    work();
    ++calls;
    elapsed = (performance.now() - start) / 1000;
  } while (elapsed < ROUND_SECONDS);
  return elapsed / calls;
}

const median = (values) => values.sort((a, b) => a - b)[Math.floor(values.length / 2)];

const folder = mkdtempSync(join(tmpdir(), 'kveltar-bench-'));
try {
  const sodPath = join(folder, 'largest.sod');
  const nativeSeconds = Number(execFileSync(join(root, 'build/native/bench/web_baseline'), [sodPath]).toString());
  const files = [{name: 'largest.sod', bytes: new Uint8Array(readFileSync(sodPath))}];
  const kveltar = await loadKveltar();
  const convert = () => {
    if (!kveltar.convert(files, {to: 'glb'}).ok) throw new Error('the web module could not convert the mesh');
  };
  convert();
  const rounds = [];
  for (let i = 0; i < ROUNDS; ++i) rounds.push(oneRound(convert));
  const webSeconds = median(rounds);
  console.log('largest single mesh (65535 faces) to GLB: WebAssembly under node / native');
  console.log(`  ${(webSeconds * 1e3).toFixed(3)} ms / ${(nativeSeconds * 1e3).toFixed(3)} ms = ` +
              `${(webSeconds / nativeSeconds).toFixed(3)}`);
  const size = ['kveltar-wasm.wasm', 'kveltar-wasm.js'].map((f) => statSync(join(root, 'build/web', f)).size);
  console.log(`web module: kveltar-wasm.wasm ${size[0]} + kveltar-wasm.js ${size[1]} = ${size[0] + size[1]} bytes`);
} finally {
  rmSync(folder, {recursive: true, force: true});
}
