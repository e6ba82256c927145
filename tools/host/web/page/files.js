// The file set the page works on: files chosen, dropped or fetched, as [{name, bytes}] with base
// names, the model first.

const MODEL_EXTENSIONS = ['.sod', '.gltf', '.glb', '.obj'];

export const baseName = (path) => path.split(/[\\/]/).pop();
export const extension = (name) => { const dot = name.lastIndexOf('.'); return dot < 0 ? '' : name.slice(dot).toLowerCase(); };
export const stem = (name) => { const dot = name.lastIndexOf('.'); return dot < 0 ? name : name.slice(0, dot); };
export const isModel = (name) => MODEL_EXTENSIONS.includes(extension(name));

// Reads browser File objects into [{name, bytes}] (or what `entry(file, bytes)` makes of each); a
// file that cannot be read is left out and given to `skip(path, reason)`.
export async function readFiles(fileList, skip = () => {}, entry = (file, bytes) => ({ name: baseName(file.name), bytes })) {
  const read = await Promise.all([...fileList].map(async (file) => {
    try {
      return entry(file, new Uint8Array(await file.arrayBuffer()));
    } catch (error) {
      skip(file.webkitRelativePath || file.name, error.message || String(error));
      return null;
    }
  }));
  return read.filter(Boolean);
}

// The files of a drop: every file, also those inside dropped folders (each with its path in the
// drop as folderPath). An entry that cannot be
// read or entered is left out and given to `skip(path, reason)`; the rest is taken.
export async function droppedFiles(dataTransfer, skip = () => {}) {
  const entries = [...dataTransfer.items].map((item) => item.webkitGetAsEntry?.()).filter(Boolean);
  if (entries.length === 0) return [...dataTransfer.files];
  const files = [];
  const read = (call) => new Promise((resolve, reject) => call(resolve, reject));
  const walk = async (entry) => {
    try {
      if (entry.isFile) {
        const file = await read((resolve, reject) => entry.file(resolve, reject));
        files.push(Object.assign(file, { folderPath: entry.fullPath }));
      } else if (entry.isDirectory) {
        const reader = entry.createReader();
        for (let batch; (batch = await read((resolve, reject) => reader.readEntries(resolve, reject))).length > 0;) {
          for (const child of batch) await walk(child);
        }
      }
    } catch (error) {
      skip(entry.fullPath, error.message || error.name || String(error));
    }
  };
  for (const entry of entries) await walk(entry);
  return files;
}

// Puts the model first: the first file whose extension is a model's. A set without a model is
// returned as it is (the module says what is wrong with it).
export function modelFirst(files) {
  const index = files.findIndex((file) => isModel(file.name));
  if (index <= 0) return files;
  return [files[index], ...files.slice(0, index), ...files.slice(index + 1)];
}

// The set `files` with `added` in it: a file of the same name (case aside) is replaced, a new model
// takes the place of the old one.
export function mergeFiles(files, added) {
  const key = (name) => name.toLowerCase();
  const addedNames = new Set(added.map((file) => key(file.name)));
  const addsModel = added.some((file) => isModel(file.name));
  const kept = files.filter((file) => !addedNames.has(key(file.name)) && !(addsModel && isModel(file.name)));
  return modelFirst([...kept, ...added]);
}

// The companions a model names that can be fetched beside it before it is opened: a glTF's
// buffers and images, an OBJ's material libraries (and their textures, once the libraries are in).
export function namedCompanions(name, bytes) {
  const text = () => new TextDecoder().decode(bytes);
  const relative = (uri) => uri && !/^[a-z]+:/i.test(uri) ? decodeURIComponent(uri) : null;
  try {
    switch (extension(name)) {
      case '.gltf': {
        const json = JSON.parse(text());
        return [...(json.buffers ?? []), ...(json.images ?? [])].map((item) => relative(item.uri)).filter(Boolean);
      }
      case '.obj':
        return [...text().matchAll(/^\s*mtllib\s+(.+?)\s*$/gm)].map((match) => match[1]);
      case '.mtl':
        return [...text().matchAll(/^\s*map_\w+\s+(?:-\S+\s+\S+\s+)*(.+?)\s*$/gm)].map((match) => match[1]);
      default:
        return [];
    }
  } catch {
    return []; // a file that does not parse is the module's to report
  }
}

// Fetches the files `names` from the folder of `baseUrl`; files that cannot be fetched are
// left out (the model's missing-texture list then names them).
export async function fetchBeside(baseUrl, names) {
  const fetched = await Promise.all(names.map(async (name) => {
    const response = await fetch(new URL(name, baseUrl)).catch(() => null);
    if (!response?.ok) return null;
    return { name: baseName(name), bytes: new Uint8Array(await response.arrayBuffer()) };
  }));
  return fetched.filter(Boolean);
}

// Fetches the model at `url` (same server) and the companions it names. Throws with a message
// for a person when the model itself cannot be fetched.
export async function fetchModel(url) {
  const modelUrl = new URL(url, globalThis.location.href); // the page's, or in a worker the worker's
  if (modelUrl.origin !== globalThis.location.origin) {
    throw new Error(`${url}: only models that this page's own server serves can be opened by address`);
  }
  const response = await fetch(modelUrl);
  if (!response.ok) throw new Error(`${url} could not be fetched: ${response.status} ${response.statusText}`);
  const files = [{ name: baseName(modelUrl.pathname), bytes: new Uint8Array(await response.arrayBuffer()) }];
  let pending = namedCompanions(files[0].name, files[0].bytes);
  while (pending.length > 0) {
    const fetched = await fetchBeside(modelUrl, pending);
    files.push(...fetched);
    pending = fetched.flatMap((file) => namedCompanions(file.name, file.bytes))
      .filter((name) => !files.some((file) => file.name === baseName(name)));
  }
  return { files, baseUrl: modelUrl };
}
