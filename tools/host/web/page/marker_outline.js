// The outline's table of markers, drawn from the marker list: one row per marker, its name a button
// that selects it; the selected row highlighted. Follows the list's events.

const formatPosition = (rows) => rows[3].map((v) => Number(v.toFixed(3))).join(', ');

// Keeps a table of `markers` in `container` (appended to it), `onPick(id)` for a row's button.
export function createMarkerOutline(container, markers, onPick) {
  const rowsById = new Map();
  let table = null;
  let selectedRow = null;

  function fillRow(row, marker) {
    const [kind, name, position, emitter] = row.cells;
    kind.textContent = marker.kind;
    name.firstChild.textContent = marker.name;
    position.textContent = formatPosition(marker.rows);
    emitter.textContent = marker.emitter ?? '';
  }
  function makeRow(marker) {
    const row = document.createElement('tr');
    row.className = marker.kind;
    for (let i = 0; i < 4; i += 1) row.insertCell();
    const button = document.createElement('button');
    button.type = 'button';
    button.className = 'marker-row';
    button.addEventListener('click', () => onPick(marker.id));
    row.cells[1].append(button);
    fillRow(row, marker);
    rowsById.set(marker.id, row);
    return row;
  }
  function draw() {
    rowsById.clear();
    selectedRow = null;
    const list = markers.all();
    const fresh = document.createElement('table');
    fresh.className = 'markers';
    fresh.createCaption().textContent = `Markers (${list.length})`;
    const head = fresh.createTHead().insertRow();
    for (const heading of ['Kind', 'Name', 'Position', 'Emitter']) head.append(Object.assign(document.createElement('th'), { textContent: heading }));
    fresh.createTBody().append(...list.map(makeRow));
    if (table?.isConnected) table.replaceWith(fresh); else container.append(fresh);
    table = fresh;
    select(markers.selected);
  }
  function select(marker) {
    selectedRow?.classList.remove('selected');
    selectedRow?.querySelector('button')?.setAttribute('aria-pressed', 'false');
    selectedRow = marker ? rowsById.get(marker.id) ?? null : null;
    selectedRow?.classList.add('selected');
    selectedRow?.querySelector('button')?.setAttribute('aria-pressed', 'true');
  }
  markers.on('reset', draw);
  markers.on('add', draw);
  markers.on('remove', draw);
  markers.on('change', (marker) => { const row = rowsById.get(marker.id); if (row) fillRow(row, marker); });
  markers.on('select', (marker) => {
    select(marker);
    selectedRow?.scrollIntoView({ block: 'nearest' });
  });
  return { draw, row: (id) => rowsById.get(id) ?? null };
}
