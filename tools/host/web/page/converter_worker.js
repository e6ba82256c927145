// The converter's worker: loads kveltar.js's module once and answers the page's calls
// {id, method, args} in the order they come with {id, result}, the result's files handed over
// rather than copied, and broken: true once the module has stopped for good; {id, error} when the
// module could not be loaded. Method "ready" answers once the module is loaded; "openAddress"
// fetches a model and opens it here, beside the page.
import { loadKveltar } from '../kveltar.js';
import { fetchModel, fetchBeside, mergeFiles, modelFirst } from './files.js';

const loaded = loadKveltar().then((kveltar) => ({ kveltar }), (error) => ({ error: String(error?.message ?? error) }));

// The buffers of the files in `result` ({name, bytes} in result.files or as a field of its own)
// that own their memory, so that they can move to the page.
function transferable(result) {
  const buffers = new Set();
  const files = [...(Array.isArray(result?.files) ? result.files : []), ...Object.values(result ?? {})];
  for (const file of files) {
    const bytes = file?.bytes;
    if (bytes instanceof Uint8Array && bytes.byteLength === bytes.buffer.byteLength) buffers.add(bytes.buffer);
  }
  return [...buffers];
}

// The model at `url` (the page's server) with the companions it names: {files, baseUrl}, or {error}
// when the model itself cannot be fetched.
const fetchAddress = (url) => fetchModel(url).catch((thrown) => ({ error: String(thrown?.message ?? thrown) }));

// Opens the model `fetching` (fetchAddress's promise), again with the textures its first opening
// misses fetched from beside it: {files, result}, or {error}. Done here, the fetches and
// conversions go on while the page's thread starts the view.
async function openAddress(kveltar, fetching) {
  const { files, baseUrl, error } = await fetching;
  if (error !== undefined) return { error };
  const set = modelFirst(files);
  const result = kveltar.open(set);
  if (!result.ok || result.missingTextures.length === 0) return { files: set, result };
  const fetched = await fetchBeside(baseUrl, result.missingTextures);
  if (fetched.length === 0) return { files: set, result };
  const complete = modelFirst(mergeFiles(set, fetched));
  return { files: complete, result: kveltar.open(complete) };
}

self.addEventListener('message', async ({ data: { id, method, args } }) => {
  const fetching = method === 'openAddress' ? fetchAddress(args[0]) : null; // while the module loads
  const { kveltar, error } = await loaded;
  if (error !== undefined) return self.postMessage({ id, error });
  if (method === 'ready') return self.postMessage({ id, result: true });
  const call = fetching ? () => openAddress(kveltar, fetching) : kveltar[method]?.bind(kveltar);
  if (typeof call !== 'function') return self.postMessage({ id, error: `there is no call ${method}` });
  try {
    const result = await call(...args);
    self.postMessage({ id, result, broken: Boolean(kveltar.broken) }, transferable(result));
  } catch (thrown) {
    self.postMessage({ id, error: `${method} failed: ${thrown?.message ?? thrown}` });
  }
});
