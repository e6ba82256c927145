// kveltar in the browser and in node: the plug-in and the reference host's library,
// compiled to WebAssembly, behind a few calls. A file set is an array of
// {name, bytes: Uint8Array}: a model (.sod, .gltf, .glb or .obj; the first file with
// such an extension) with its companions (textures, buffers, material library, side
// text files), by base name. Every call writes the set into a fresh folder of the
// module's in-memory file system, runs one request of the host library there, copies
// the files written out of the module's memory, and removes the folder; but a mod's
// folder (setFolder) stays for the checks of its files (checkFile, checkReport). Bad input of
// any kind gives ok: false with the message; no call throws.
import createKveltarWasm from './kveltar-wasm.js';

const MODEL_EXTENSIONS = ['.sod', '.gltf', '.glb', '.obj'];
const STATUS_FAILED = 1;
const MOD_FOLDER = '/mod';  // the folder setFolder writes, kept from call to call
const GLB_FOLDER = '/mod-glb';  // where checkFile's GLB is written, removed after each call

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

  // Runs `work()` (which calls the module), then `cleanUp()`; a throw becomes a failure.
  guard(work, cleanUp = () => {}) {
    if (this.broken) return failure(`the WebAssembly module stopped earlier: ${this.broken}`);
    try {
      return work();
    } catch (error) {
      // An abort of the module (out of memory, a trap) ends it for good.
      if (error instanceof WebAssembly.RuntimeError) this.broken = error.message;
      return failure(`the WebAssembly module failed: ${error?.message ?? error}`);
    } finally {
      try {
        cleanUp();
      } catch {
        // What is left goes with the module's memory.
      }
    }
  }

  // One request of the host library: its answer parsed.
  call(fields) {
    return JSON.parse(this.wasm.ccall('kveltar_call', 'string', ['string'], [JSON.stringify(fields)]));
  }

  // Removes `path` with everything in it, where it exists.
  removeIfThere(path) {
    if (this.wasm.FS.analyzePath(path).exists) this.removeTree(path);
  }

  // One request of the host library over a fresh folder; the result with the written
  // files copied out.
  request(files, fields) {
    const folder = `/kveltar/${++this.calls}`;
    return this.guard(() => {
      const written = this.writeFiles(folder, files);
      if (written.error) return failure(written.error);
      const result = this.call({...fields, folder, model: written.model});
      result.files = result.files.map((name) => ({name, bytes: this.wasm.FS.readFile(`${folder}/out/${name}`)}));
      result.model = written.model;
      return result;
    }, () => this.removeIfThere(folder));
  }

  // Makes `files` ([{path: 'sub/dir/name.ext', bytes}]) the mod folder that checkFile works
  // in, replacing the one before. A path that climbs out or is not relative is skipped with a
  // warning. Answers {ok, messages, models}: the SOD files' paths, in the command line's order.
  setFolder(files) {
    return this.guard(() => {
      const FS = this.wasm.FS;
      this.removeIfThere(MOD_FOLDER);
      const messages = [];
      for (const file of files ?? []) {
        const parts = String(file?.path ?? '').split('/');
        if (parts.some((part) => part === '' || part === '.' || part === '..') ||
            !(file.bytes instanceof Uint8Array)) {
          messages.push({kind: 'warning', text: `${file?.path} was skipped: not a relative path of a file`});
          continue;
        }
        FS.mkdirTree([MOD_FOLDER, ...parts.slice(0, -1)].join('/'));
        FS.writeFile(`${MOD_FOLDER}/${parts.join('/')}`, file.bytes);
      }
      FS.mkdirTree(MOD_FOLDER);
      const result = this.call({op: 'folder', folder: MOD_FOLDER});
      return {ok: result.ok, messages: [...messages, ...result.messages], models: result.models ?? []};
    });
  }

  // Checks the SOD file `path` of the mod folder as `kveltar-host check` does, and converts it
  // to GLB as `kveltar-host convert DIR --to glb --out-dir` does; `options.textureFolders`
  // (folders of the mod) are looked in for textures after the file's own folder. The GLB's
  // `summary` is what `convert --json` says of it (meshes, triangles, ...).
  checkFile(path, options = {}) {
    return this.guard(() => {
      const textureFolders = (options.textureFolders ?? []).map(String);
      const result = this.call({op: 'check-file', folder: MOD_FOLDER, out: GLB_FOLDER, path: String(path),
                                textureFolders});
      const glb = result.glb ? {name: result.glb, bytes: this.wasm.FS.readFile(`${GLB_FOLDER}/${result.glb}`)} : null;
      return {ok: result.ok, status: result.status, messages: result.messages, check: result.check ?? null, glb,
              summary: result.summary ?? null};
    }, () => this.removeIfThere(GLB_FOLDER));
  }

  // The text `kveltar-host check --json` prints of the files' `checks` (checkFile's check objects).
  checkReport(checks) {
    return this.guard(() => {
      const result = this.call({op: 'check-report', checks});
      return {ok: result.ok, status: result.status, messages: result.messages, text: result.text ?? ''};
    });
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
