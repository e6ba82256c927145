// kveltar in the browser and in node: the plug-in and the reference host's library,
// compiled to WebAssembly, behind three calls. A file set is an array of
// {name, bytes: Uint8Array}: a model (.sod, .gltf, .glb or .obj; the first file with
// such an extension) with its companions (textures, buffers, material library, side
// text files), by base name. Every call writes the set into a fresh folder of the
// module's in-memory file system, runs one request of the host library there, copies
// the files written out of the module's memory, and removes the folder. Bad input of
// any kind gives ok: false with the message; no call throws.
import createKveltarWasm from './kveltar-wasm.js';

const MODEL_EXTENSIONS = ['.sod', '.gltf', '.glb', '.obj'];
const STATUS_FAILED = 1;

function extensionOf(name) {
  const dot = name.lastIndexOf('.');
  return dot < 0 ? '' : name.slice(dot).toLowerCase();
}

// The base name of a file as the set names it, or null for one that cannot be a name.
function baseName(name) {
  const base = String(name).split(/[\\/]/).pop();
  return base === '' || base === '.' || base === '..' ? null : base;
}

function failure(text) {
  return {ok: false, status: STATUS_FAILED, messages: [{kind: 'error', text}], report: null, files: []};
}

// Under node the .wasm beside this module is read from disk; browsers fetch it.
async function moduleOptions(options) {
  const isNode = typeof process === 'object' && typeof process.versions?.node === 'string';
  if (!isNode || options.wasmBinary) return options;
  const {readFile} = await import('node:fs/promises');
  return {...options, wasmBinary: await readFile(new URL('./kveltar-wasm.wasm', import.meta.url))};
}

class Kveltar {
  constructor(wasm, log) {
    this.wasm = wasm;
    this.log = log;  // what the module printed, for diagnosis; never shown as a message
    this.calls = 0;
    this.broken = null;
  }

  // Writes the set into folder/in; answers the model's name, or a failure.
  writeFiles(folder, files) {
    const FS = this.wasm.FS;
    FS.mkdirTree(`${folder}/in`);
    let model = null;
    for (const file of files ?? []) {
      const name = baseName(file?.name ?? '');
      if (name === null || !(file.bytes instanceof Uint8Array)) return {error: `not a file: ${file?.name}`};
      FS.writeFile(`${folder}/in/${name}`, file.bytes);
      if (model === null && MODEL_EXTENSIONS.includes(extensionOf(name))) model = name;
    }
    return model === null ? {error: 'no model among the files (.sod, .gltf, .glb or .obj)'} : {model};
  }

  removeTree(path) {
    const FS = this.wasm.FS;
    for (const entry of FS.readdir(path)) {
      if (entry === '.' || entry === '..') continue;
      const child = `${path}/${entry}`;
      if (FS.isDir(FS.stat(child).mode)) this.removeTree(child);
      else FS.unlink(child);
    }
    FS.rmdir(path);
  }

  // One request of the host library over a fresh folder; the result with the written
  // files copied out.
  request(files, fields) {
    if (this.broken) return failure(`the WebAssembly module stopped earlier: ${this.broken}`);
    const folder = `/kveltar/${++this.calls}`;
    try {
      const written = this.writeFiles(folder, files);
      if (written.error) return failure(written.error);
      const text = this.wasm.ccall('kveltar_call', 'string', ['string'],
                                   [JSON.stringify({...fields, folder, model: written.model})]);
      const result = JSON.parse(text);
      result.files = result.files.map((name) => ({name, bytes: this.wasm.FS.readFile(`${folder}/out/${name}`)}));
      result.model = written.model;
      return result;
    } catch (error) {
      // An abort of the module (out of memory, a trap) ends it for good.
      if (error instanceof WebAssembly.RuntimeError) this.broken = error.message;
      return failure(`the WebAssembly module failed: ${error?.message ?? error}`);
    } finally {
      try {
        if (this.wasm.FS.analyzePath(folder).exists) this.removeTree(folder);
      } catch {
        // The folder goes with the module's memory.
      }
    }
  }

  // Opens a model: the outline, the import dialog's figures, and the model as GLB.
  open(files) {
    const result = this.request(files, {op: 'open'});
    const input = (files ?? []).find((file) => baseName(file?.name ?? '') === result.model);
    const glb = result.files.find((file) => extensionOf(file.name) === '.glb') ?? null;
    return {
      ok: result.ok,
      status: result.status,
      messages: result.messages,
      report: result.report,
      dialog: result.dialog ?? null,
      outline: result.outline ?? {meshes: [], materials: [], markers: [], triangles: 0, vertices: 0},
      missingTextures: result.missingTextures ?? [],
      glb: result.ok ? glb : null,
      input: input ? {name: result.model, size: input.bytes.length} : null,
    };
  }

  // Converts a model to glb, gltf, obj or sod, with `options.markers` in place of the model's own
  // when given; every file written.
  convert(files, options = {}) {
    const fields = {
      op: 'convert',
      to: String(options.to ?? 'glb'),
      game: options.game === 2 ? 2 : 1,
      materials: options.materials !== false,
      writeTextures: options.writeTextures === true,
      continueReserved: options.continueReserved === true,
      ...markerFields(options),
    };
    if (!['glb', 'gltf', 'obj', 'sod'].includes(fields.to)) return failure(`cannot convert to ${fields.to}`);
    const result = this.request(files, fields);
    return {ok: result.ok, status: result.status, messages: result.messages, report: result.report,
            files: result.files};
  }

  // Passes markers through the plug-in: the model exported to SOD with `options.markers` (edited
  // markers [{kind, name, emitter, rows}]) and the side text files `options.sideFiles` (names in
  // `files`, read by the plug-in's reader), then imported back. Answers the markers that SOD file
  // holds and, with `options.extract`, the side text files the plug-in's extraction wrote.
  markers(files, options = {}) {
    const fields = {op: 'markers', game: options.game === 1 ? 1 : 2, materials: true, continueReserved: true,
                    extract: options.extract === true, ...markerFields(options)};
    const result = this.request(files, fields);
    return {ok: result.ok, status: result.status, messages: result.messages, markers: result.markers ?? [],
            files: result.files};
  }

  // Writes the SOD model of `files` again with only its markers changed, every other byte kept:
  // with `options.markers` (the edited list) every kind becomes those markers; else each kind
  // named in `options.hardpoints`, `options.emitters` or `options.sprites` (a side text file
  // in `files`) becomes that file's records. The written file, and what was kept, written and
  // dropped.
  setMarkers(files, options = {}) {
    const fields = {op: 'set-markers', game: options.game === 1 ? 1 : 2};
    if (Array.isArray(options.markers)) fields.markers = options.markers;
    for (const kind of ['hardpoints', 'emitters', 'sprites']) {
      if (options[kind]) fields[kind] = baseName(options[kind]);
    }
    const result = this.request(files, fields);
    return {ok: result.ok, status: result.status, messages: result.messages, report: result.report,
            files: result.files};
  }
}

// The request's fields for edited markers and side text files, where the options give them.
function markerFields(options) {
  const fields = {};
  if (Array.isArray(options.markers)) fields.markers = options.markers;
  if (Array.isArray(options.sideFiles)) fields.sideFiles = options.sideFiles.map(baseName).filter(Boolean);
  return fields;
}

// Instantiates the WebAssembly module (once per call of loadKveltar).
export async function loadKveltar(options = {}) {
  const log = [];
  const wasm = await createKveltarWasm(await moduleOptions({
    print: (line) => log.push(line),
    printErr: (line) => log.push(line),
    ...options,
  }));
  return new Kveltar(wasm, log);
}
