// The converter's worker: loads kveltar.js's module once and answers the page's calls
// {id, method, args} in the order they come with {id, result}, the result's files handed over
// rather than copied, and broken: true once the module has stopped for good; {id, error} when the
// module could not be loaded. Method "ready" answers once the module is loaded.
import { loadKveltar } from '../kveltar.js';

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

self.addEventListener('message', async ({ data: { id, method, args } }) => {
  const { kveltar, error } = await loaded;
  if (error !== undefined) return self.postMessage({ id, error });
  if (method === 'ready') return self.postMessage({ id, result: true });
  if (typeof kveltar[method] !== 'function') return self.postMessage({ id, error: `there is no call ${method}` });
  try {
    const result = kveltar[method](...args);
    self.postMessage({ id, result, broken: Boolean(kveltar.broken) }, transferable(result));
  } catch (thrown) {
    self.postMessage({ id, error: `${method} failed: ${thrown?.message ?? thrown}` });
  }
});
