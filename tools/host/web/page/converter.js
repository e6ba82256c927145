// The converter off the page's thread: kveltar.js runs in a module worker (converter_worker.js),
// and startConverter answers an object with the methods of kveltar.js's direct object, each
// answering a promise of the same result. A call that does not come back within the time limit,
// or the calls pending at cancel(), end the worker; a new one is started with the last folder
// given to setFolder, and those calls resolve with a failure that says so (no call rejects). A
// worker whose module stopped for good (a trap, no memory left) is replaced the same way.
const WORKER_URL = 'converter_worker.js';
const STATUS_FAILED = 1;
const STATUS_CANCELLED = 2;

// A result of no file, failed with `text`, marked with `flags` (cancelled or timedOut).
const stopped = (status, text, flags) => ({ ok: false, status, ...flags, messages: [{ kind: 'error', text }],
  report: null, files: [] });

// Starts a worker of its own, or takes over `options.worker` (one the page started before its
// script loaded); `options.timeoutMs` (30000) is how long one call may run.
export function startConverter(options = {}) {
  const timeoutMs = options.timeoutMs ?? 30000;
  let nextId = 0;
  let folder = null; // the arguments of the last setFolder call, given again to a new worker
  let run = spawn(options.worker ?? null);

  // A worker with its table of calls not yet answered, by id.
  function spawn(given) {
    const started = { pending: new Map() };
    try {
      started.worker = given ?? new Worker(WORKER_URL, { type: 'module' });
    } catch (error) {
      started.loaded = Promise.reject(new Error(`the browser could not start a worker: ${error.message ?? error}`));
      return started;
    }
    started.worker.addEventListener('message', ({ data }) => settle(started, data.id, data));
    started.worker.addEventListener('error', (event) => {
      event.preventDefault();
      const reason = event.message || 'the converter\'s script could not be loaded';
      for (const id of started.pending.keys()) settle(started, id, { error: reason });
    });
    started.loaded = new Promise((resolve, reject) => {
      started.pending.set(0, { resolve, reject: (text) => reject(new Error(text)), method: 'ready' });
      started.worker.postMessage({ id: 0, method: 'ready', args: [] });
    });
    started.loaded.catch(() => {});
    if (folder) post(started, 'setFolder', folder, () => {}, true);
    return started;
  }

  // Answers the call `id` of `target` with the worker's message `data`.
  function settle(target, id, data) {
    const call = target.pending.get(id);
    if (!call) return;
    target.pending.delete(id);
    clearTimeout(call.timer);
    if (data.error === undefined) call.resolve(data.result);
    else if (call.method === 'ready') call.reject(data.error);
    else call.resolve(stopped(STATUS_FAILED, `The converter failed: ${data.error}`, {}));
    if (data.broken && target === run) renew(target);
  }

  // Sends one call to the worker of `target`; its clock starts once that worker has loaded. A
  // `replay` (the folder given again to a new worker) has no clock and is not sent again at the
  // next restart.
  function post(target, method, args, resolve, replay = false) {
    if (!target.worker) return target.loaded.catch((error) => resolve(stopped(STATUS_FAILED, error.message, {})));
    const id = ++nextId;
    const call = { resolve, method, args, replay, timer: null };
    target.pending.set(id, call);
    target.loaded.then(() => {
      if (!replay && target.pending.has(id)) call.timer = setTimeout(() => timedOut(target, id), timeoutMs);
    }, () => {});
    target.worker.postMessage({ id, method, args });
  }

  // Ends the worker of `target` after its call `id` ran too long; the other calls go to the new one.
  function timedOut(target, id) {
    const late = target.pending.get(id);
    target.pending.delete(id);
    late.resolve(stopped(STATUS_FAILED, `The converter's ${late.method} took longer than ${timeoutMs / 1000} s and ` +
      'was stopped; the converter was started again.', { timedOut: true }));
    renew(target);
  }

  // Ends the worker of `target` and gives the calls it had not answered to a new one.
  function renew(target) {
    for (const call of restart(target)) post(run, call.method, call.args, call.resolve);
  }

  // Ends the worker of `target` and starts a new one; the calls it had not answered.
  function restart(target) {
    const calls = [...target.pending.values()].filter((call) => call.method !== 'ready' && !call.replay);
    for (const call of calls) clearTimeout(call.timer);
    target.pending.clear();
    target.worker?.terminate();
    run = spawn(null);
    return calls;
  }

  const converter = {
    ready: run.loaded,
    // Stops the work under way: the pending calls resolve as cancelled, and a new worker starts.
    cancel() {
      if (![...run.pending.values()].some((call) => call.method !== 'ready')) return;
      for (const call of restart(run)) {
        call.resolve(stopped(STATUS_CANCELLED, `The converter's ${call.method} was cancelled.`, { cancelled: true }));
      }
    },
  };
  // Any other name is a method of kveltar.js's object, run in the worker.
  return new Proxy(converter, {
    get(target, key) {
      if (key in target || typeof key !== 'string' || key === 'then') return target[key];
      return (...args) => new Promise((resolve) => {
        if (key === 'setFolder') folder = args;
        post(run, key, args, resolve);
      });
    },
  });
}
