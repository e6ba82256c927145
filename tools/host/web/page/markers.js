// The markers of the open model: the one list that the outline, the Marker panel and the view read
// and listen to. A marker is {id, kind, name, emitter, rows}: rows R0, R1, R2 (its axes) and T (its
// position), each x y z, as the SOD file and its side text files hold them, in the file's own axes.
// Events: 'reset' (a new list), 'add' and 'remove' ({marker, index}), 'change' (marker), 'select'
// (marker or null).

export const NAME_PREFIX = { hardpoint: 'hp', emitter: 'em', sprite: 'sp' };
const KIND_LABEL = { hardpoint: 'hardpoint', emitter: 'emitter', sprite: 'sprite' };

// The module writes the numbers that JSON has none for as "inf", "-inf" and "nan".
const numberOf = (value) => (typeof value === 'number' ? value : { inf: Infinity, '-inf': -Infinity, '-0': -0 }[value] ?? NaN);
// JSON has no -0 either: it is sent as "-0", so that a mirrored axis keeps its sign.
const jsonOf = (value) => (Object.is(value, -0) ? '-0' : Number.isFinite(value) ? value
  : Number.isNaN(value) ? 'nan' : value > 0 ? 'inf' : '-inf');

// A copy of a marker's plain fields (from the module, or a marker of the list) without its id.
export const plainMarker = ({ kind, name, emitter, rows }) =>
  ({ kind, name, emitter: emitter ?? null, rows: rows.map((row) => row.map(numberOf)) });

// Creates the list over `items` (plain markers).
export function createMarkers() {
  const events = new EventTarget();
  let list = [];
  const byId = new Map();
  let nextId = 1;
  let selected = null;
  const emit = (type, detail) => events.dispatchEvent(new CustomEvent(type, { detail }));
  const withId = (item) => { const marker = { id: nextId++, ...plainMarker(item) }; byId.set(marker.id, marker); return marker; };

  return {
    on(type, listener) { events.addEventListener(type, (event) => listener(event.detail)); },
    // Replaces the whole list with `items`; nothing is selected after.
    reset(items) {
      byId.clear();
      list = items.map(withId);
      selected = null;
      emit('reset');
    },
    all: () => list,
    get: (id) => byId.get(id) ?? null,
    indexOf: (id) => list.findIndex((marker) => marker.id === id),
    // Puts the plain marker `item` at `index` (the end when none) and answers it with its id.
    insert(item, index = list.length, id = null) {
      const marker = withId(item);
      if (id !== null) { byId.delete(marker.id); marker.id = id; byId.set(id, marker); }
      list.splice(index, 0, marker);
      emit('add', { marker, index });
      return marker;
    },
    // Takes the marker `id` out; answers its index.
    remove(id) {
      const index = this.indexOf(id);
      if (index < 0) return -1;
      const [marker] = list.splice(index, 1);
      byId.delete(id);
      if (selected === id) this.select(null);
      emit('remove', { marker, index });
      return index;
    },
    // Sets the fields `changes` ({name, emitter, rows}) of the marker `id`.
    update(id, changes) {
      const marker = byId.get(id);
      if (!marker) return;
      Object.assign(marker, changes.rows ? { ...changes, rows: changes.rows.map((row) => [...row]) } : changes);
      emit('change', marker);
    },
    select(id) {
      selected = id !== null && byId.has(id) ? id : null;
      emit('select', this.selected);
    },
    get selected() { return selected === null ? null : byId.get(selected); },
    // The next free name of the kind's usual pattern: hp01, hp02, ...
    nextName(kind) {
      const taken = new Set(list.filter((marker) => marker.kind === kind).map((marker) => marker.name.toLowerCase()));
      for (let n = 1; ; n += 1) {
        const name = `${NAME_PREFIX[kind]}${String(n).padStart(2, '0')}`;
        if (!taken.has(name)) return name;
      }
    },
    // Why `name` cannot be the name of the marker `id` of `kind`, or null when it can: one word of
    // 1 to 127 printable ASCII characters, unique among markers of its kind.
    nameProblem(kind, name, id) {
      if (!/^[\x21-\x7e]{1,127}$/.test(name)) {
        return `"${name}" is not a name: a name is one word of 1 to 127 printable ASCII characters`;
      }
      const other = list.find((marker) => marker.kind === kind && marker.id !== id && marker.name === name);
      return other ? `another ${KIND_LABEL[kind]} is named ${name}` : null;
    },
    // The list as the module's requests take it.
    plain: () => list.map((marker) => ({ ...plainMarker(marker), rows: marker.rows.map((row) => row.map(jsonOf)) })),
  };
}
