// Undo and redo of the marker edits. Every edit is a command {execute(), undo()} that keeps only
// what it changes; redo replays the same objects. The updates of one marker by one drag of the
// gizmo (merge key "drag N") merge into one step, and so do those of a held key within MERGE_MS.

const MERGE_MS = 600;
const MAX_STEPS = 500;

// Sets fields of one marker; `mergeKey` marks updates that may merge with the step before.
export function setMarkerCommand(markers, id, changes, mergeKey = null) {
  const marker = markers.get(id);
  const before = Object.fromEntries(Object.keys(changes).map((key) => [key, structuredClone(marker[key])]));
  return {
    id, mergeKey, changes, before,
    execute: () => { markers.update(id, changes); markers.select(id); },
    undo: () => { markers.update(id, before); markers.select(id); },
  };
}

// Adds the plain marker `item` at the end of the list, selected.
export function addMarkerCommand(markers, item) {
  let id = null;
  return {
    execute: () => { id = markers.insert(item, markers.all().length, id).id; markers.select(id); },
    undo: () => markers.remove(id),
  };
}

// Deletes the marker `id`; undo puts it back where it was, selected.
export function deleteMarkerCommand(markers, id) {
  const item = { ...markers.get(id) };
  let index = -1;
  return {
    execute: () => { index = markers.remove(id); },
    undo: () => { markers.insert(item, index, id); markers.select(id); },
  };
}

// Replaces the whole list (side text files read in).
export function replaceMarkersCommand(markers, items) {
  const before = markers.plain();
  return { execute: () => markers.reset(items), undo: () => markers.reset(before) };
}

// The history over `markers`; `onChange` is called after every step with {canUndo, canRedo, edited}.
export function createHistory(onChange) {
  let done = [];
  let undone = [];
  let last = 0;
  let savedDepth = 0;
  const report = () => onChange({ canUndo: done.length > 0, canRedo: undone.length > 0, edited: done.length !== savedDepth });
  // Moves the newest command of `from` to `to`, running `run` on it.
  const step = (from, to, run) => {
    const command = from.pop();
    if (!command) return;
    run(command);
    to.push(command);
    last = 0;
    report();
  };
  const mergesWith = (command, previous, now) => previous && command.mergeKey && previous.mergeKey === command.mergeKey &&
    previous.id === command.id && (command.mergeKey.startsWith('drag ') || now - last < MERGE_MS) && undone.length === 0 &&
    done.length !== savedDepth; // a saved step stays as it was saved
  return {
    // Runs `command` and keeps it as the newest step, or merges it into the newest one.
    execute(command) {
      const now = performance.now();
      command.execute();
      const previous = done[done.length - 1];
      if (mergesWith(command, previous, now)) {
        Object.assign(command.before, previous.before); // the step undoes to before the first update
        done[done.length - 1] = command;
      } else {
        done.push(command);
        if (done.length > MAX_STEPS) { done.shift(); savedDepth -= 1; }
      }
      undone = [];
      last = now;
      report();
    },
    undo() { step(done, undone, (command) => command.undo()); },
    redo() { step(undone, done, (command) => command.execute()); },
    // Forgets every step (a model opened); the list as it is counts as saved.
    clear() { done = []; undone = []; savedDepth = 0; report(); },
    markSaved() { savedDepth = done.length; report(); },
    get edited() { return done.length !== savedDepth; },
  };
}
