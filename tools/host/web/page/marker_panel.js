// The Marker panel: the selected marker's name (and an emitter's identifier name), position and
// rotation (XYZ Euler angles in degrees), in the file's own axes. A field applies on Enter or when
// it is left, through `edit(changes)`; a name or number that cannot be is refused with a message
// and the field shows the marker's value again. Follows the marker list's events.
import { anglesOfRows, rowsWithAngles } from './marker_math.js';

const AXES = ['x', 'y', 'z'];
const WORD = /^[\x21-\x7e]{1,127}$/;
const shown = (value, digits) => String(Number(value.toFixed(digits)));

// Fills and listens to the panel's fields (`elements`: form, name, emitter, emitterFields,
// position[3], rotation[3]); `edit(id, changes)` applies a change, `refuse(text)` tells why not.
export function createMarkerPanel(elements, markers, edit, refuse) {
  const { form, name, emitter, emitterFields, position, rotation } = elements;

  function fill(marker) {
    form.hidden = !marker;
    if (!marker) return;
    name.value = marker.name;
    for (const field of emitterFields) field.hidden = marker.kind !== 'emitter';
    emitter.value = marker.emitter ?? '';
    marker.rows[3].forEach((value, i) => { position[i].value = shown(value, 6); });
    anglesOfRows(marker.rows).forEach((value, i) => { rotation[i].value = shown(value, 3); });
  }
  const numbers = (fields) => fields.map((field) => Number(field.value.trim() === '' ? NaN : field.value));

  name.addEventListener('change', () => {
    const marker = markers.selected;
    const problem = markers.nameProblem(marker.kind, name.value, marker.id);
    if (problem) { refuse(`${problem}; the name stays ${marker.name}.`); fill(marker); return; }
    if (name.value !== marker.name) edit(marker.id, { name: name.value });
  });
  emitter.addEventListener('change', () => {
    const marker = markers.selected;
    if (!WORD.test(emitter.value)) {
      refuse(`"${emitter.value}" is not an emitter name: one word of 1 to 127 printable ASCII characters.`);
      fill(marker);
    } else if (emitter.value !== marker.emitter) {
      edit(marker.id, { emitter: emitter.value });
    }
  });
  position.forEach((field, i) => field.addEventListener('change', () => {
    const marker = markers.selected;
    const value = numbers([field])[0];
    if (!Number.isFinite(value)) { refuse(`Position ${AXES[i]}: "${field.value}" is not a number.`); fill(marker); return; }
    const rows = marker.rows.map((row) => [...row]);
    rows[3][i] = value;
    edit(marker.id, { rows });
  }));
  rotation.forEach((field, i) => field.addEventListener('change', () => {
    const marker = markers.selected;
    const angles = numbers(rotation);
    if (!angles.every(Number.isFinite)) { refuse(`Rotation ${AXES[i]}: "${field.value}" is not a number.`); fill(marker); return; }
    edit(marker.id, { rows: rowsWithAngles(marker.rows, angles) });
  }));

  markers.on('select', fill);
  markers.on('reset', () => fill(null));
  markers.on('change', (marker) => { if (marker === markers.selected) fill(marker); });
  return { fill };
}
