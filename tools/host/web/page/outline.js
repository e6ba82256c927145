// The panels that describe the model: what the import dialog showed, the stats, the outline of
// meshes, materials and markers, and the list of missing textures.

// Fills `list` (a <dl>) with one term and value per [term, value] pair.
function fillSummary(list, rows) {
  list.replaceChildren();
  for (const [term, value] of rows) {
    const dt = document.createElement('dt');
    dt.textContent = term;
    const dd = document.createElement('dd');
    dd.textContent = String(value);
    list.append(dt, dd);
  }
}

// A table with a caption, headings and one row per item; `cells` gives an item's cells as
// strings or nodes.
function table(caption, headings, items, cells) {
  const element = document.createElement('table');
  element.createCaption().textContent = `${caption} (${items.length})`;
  const head = element.createTHead().insertRow();
  for (const heading of headings) {
    const th = document.createElement('th');
    th.textContent = heading;
    head.append(th);
  }
  const body = element.createTBody();
  for (const item of items) {
    const row = body.insertRow();
    for (const value of cells(item)) {
      const cell = row.insertCell();
      if (typeof value === 'number') cell.className = 'number';
      cell.append(value instanceof Node ? value : String(value));
    }
  }
  return element;
}

// A colour swatch and its hex code; the 0–1 numbers in the tooltip.
function colour(rgba) {
  const span = document.createElement('span');
  span.className = 'colour';
  if (!rgba) return span;
  const swatch = document.createElement('span');
  swatch.className = 'swatch';
  const hex = rgba.slice(0, 3).map((v) => Math.round(Math.min(Math.max(v, 0), 1) * 255).toString(16).padStart(2, '0'));
  swatch.style.background = `#${hex.join('')}`;
  span.title = rgba.map((v) => Number(v.toFixed(4))).join(' ');
  span.append(swatch, `#${hex.join('')}`);
  return span;
}

// A texture's name, marked when no file of the set provides it.
function textureCell(material) {
  const span = document.createElement('span');
  span.textContent = material.texture ?? '—';
  if (material.missing) {
    span.className = 'missing';
    span.textContent += ' (missing)';
  }
  return span;
}

const formatBytes = (size) => (size < 10240 ? `${size} bytes` : `${(size / 1024).toFixed(1)} KiB (${size} bytes)`);

// Shows what `open` returned in the panels; `elements` holds the panels' elements. The markers'
// table follows the marker list (marker_outline.js).
export function showModel(elements, result) {
  const { dialog, outline, input } = result;
  elements.name.textContent = input.name;
  elements.name.classList.remove('muted');
  fillSummary(elements.dialog, dialog ? [
    ['Version', dialog.version], ['Materials', dialog.materials], ['Nodes', dialog.nodes],
    ['Meshes', dialog.meshes], ['Sprites', dialog.sprites], ['LODs', dialog.lods],
    ['Emitters', dialog.emitters], ['Hardpoints', dialog.hardpoints]] : []);
  fillSummary(elements.stats, [
    ['Triangles', outline.triangles], ['Vertices', outline.vertices], ['File size', formatBytes(input.size)]]);
  elements.stats.dataset.triangles = outline.triangles;
  elements.outline.replaceChildren(
    table('Meshes', ['Name', 'Triangles', 'Material'], outline.meshes,
      (m) => [m.name, m.triangles, m.material ?? '—']),
    table('Materials', ['Name', 'Diffuse', 'Ambient', 'Specular', 'Power', 'Texture'], outline.materials,
      (m) => [m.name, colour(m.diffuse), colour(m.ambient), colour(m.specular), m.power ?? '—', textureCell(m)]));
  showMissing(elements, result.missingTextures);
}

// Lists the textures the model names and the set lacks; hides the list when there are none.
export function showMissing(elements, names) {
  elements.missingSection.hidden = names.length === 0;
  elements.missingList.replaceChildren(...names.map((name) => {
    const item = document.createElement('li');
    item.textContent = name;
    return item;
  }));
}

// Empties every panel (before a model is opened, or when opening failed).
export function clearModel(elements, name) {
  elements.name.textContent = name ? `${name} could not be opened` : 'No model open';
  elements.name.classList.add('muted');
  for (const list of [elements.dialog, elements.stats, elements.outline, elements.missingList]) list.replaceChildren();
  elements.missingSection.hidden = true;
}
