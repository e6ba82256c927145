// Saving: the model converted through the plug-in to GLB, glTF, OBJ or SOD, and the picture of the
// view. Several files go into one zip.
import { zipSync } from 'fflate';
import { stem } from './files.js';

// Hands `blob` to the browser as a download named `name`.
export function saveBlob(blob, name) {
  const url = URL.createObjectURL(blob);
  const link = document.createElement('a');
  link.href = url;
  link.download = name;
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(url), 60000);
}

// Saves `files` ([{name, bytes}]): one file as it is (unless `alwaysZip`), several as `zipName`.
export function saveFiles(files, zipName, alwaysZip = false) {
  if (files.length === 1 && !alwaysZip) {
    saveBlob(new Blob([files[0].bytes]), files[0].name);
    return files[0].name;
  }
  const entries = Object.fromEntries(files.map((file) => [file.name, file.bytes]));
  saveBlob(new Blob([zipSync(entries, { level: 6 })], { type: 'application/zip' }), zipName);
  return zipName;
}

// The options of `convert` for each download, by target.
export function convertOptions(to, sod = {}) {
  return { to, game: sod.game ?? 2, materials: sod.materials ?? true, writeTextures: to === 'sod' && !!sod.textures,
    continueReserved: !!sod.continueReserved };
}

// The zip's name for a conversion of `modelName` to `to`.
export const zipName = (modelName, to) => `${stem(modelName)}-${to}.zip`;

// Converts `files` with `options` through `kveltar`, reports in `messages` and saves what was
// written. A conversion stopped at the reserved-name warning (status 4) offers "Go on", which
// converts again with continueReserved. Resolves to the name saved, or null.
export async function convertAndSave(kveltar, files, options, messages) {
  const result = await kveltar.convert(files, options);
  const what = `Converting ${files[0]?.name ?? 'nothing'} to ${options.to.toUpperCase()}`;
  messages.addAll(result.ok ? `${what}:` : `${what} failed (status ${result.status}):`, result.messages);
  if (result.status === 4 && !options.continueReserved) {
    messages.ask('The plug-in stopped at the warning above. Go on with the export?', {
      'Go on': () => convertAndSave(kveltar, files, { ...options, continueReserved: true }, messages),
      Cancel: () => messages.add('info', 'Export cancelled.'),
    });
    return null;
  }
  if (!result.ok || result.files.length === 0) return null;
  const saved = saveFiles(result.files, zipName(files[0].name, options.to));
  messages.add('info', `Saved ${saved}.`);
  return saved;
}
