// The Files table: a mod's folder with more than one SOD file, each file checked as
// `kveltar-host check` checks it and converted to GLB as `kveltar-host convert DIR --to glb` does,
// one file at a time with the page answering in between, then a small picture of each ship. A row
// opens its model in the view with the textures the check finds for it; "Back to files" returns.
import { zipSync } from 'fflate';
import { saveBlob } from './downloads.js';
import { baseName, extension, readFiles } from './files.js';
import { thumbnail, nextFrame } from './thumbnails.js';

const IMAGE_EXTENSIONS = ['.tga', '.png', '.jpg', '.jpeg', '.bmp'];
const markerCount = (check) => (check ? check.hardpoints + check.emitters + check.sprites : -1);
const problemWeight = (check) => (check ? check.errors * 1e6 + check.warnings * 1e3 + check.infos : -1);

// The sortable columns after the picture: heading, value to sort by, and whether it is a number.
const COLUMNS = [
  { key: 'path', heading: 'Path', value: (row) => row.path },
  { key: 'version', heading: 'Version', value: (row) => row.check?.version ?? '' },
  { key: 'meshes', heading: 'Meshes', number: true, value: (row) => row.check?.meshes ?? -1 },
  { key: 'triangles', heading: 'Triangles', number: true, value: (row) => row.summary?.triangles ?? -1 },
  { key: 'markers', heading: 'Markers', number: true, value: (row) => markerCount(row.check) },
  { key: 'problems', heading: 'Problems', number: true, value: (row) => problemWeight(row.check) },
];

export const isSod = (file) => extension(file.name) === '.sod';

// The path of a chosen or dropped File under the folder chosen: its folder's own name left out
// where every file shares it.
function folderPaths(fileList) {
  const paths = fileList.map((file) => (file.webkitRelativePath || file.folderPath || file.name).replace(/^\/+/, ''));
  const first = paths[0]?.split('/')[0];
  const shared = paths.every((path) => path.includes('/') && path.split('/')[0] === first);
  return { folder: shared ? first : 'files', paths: shared ? paths.map((path) => path.slice(first.length + 1)) : paths };
}

const folderOf = (path) => path.split('/').slice(0, -1).join('/');

// Creates the table's controller over the elements of index.html. `openSet(files)` opens a file
// set in the view; `pictures` false leaves the small pictures out (no WebGL).
export function createFilesTable({ $, page, messages, setState, openSet, pictures = true }) {
  const current = { run: 0, folder: '', entries: [], rows: [], textureFolders: [], cancelled: false,
    sort: null, onlyProblems: false };
  const section = $('files-section');
  const body = $('files-table').tBodies[0];
  const progress = $('files-progress');

  function showTable(shown) {
    section.hidden = !shown;
    $('view-section').hidden = shown;
    $('back-to-files').hidden = shown || current.rows.length === 0;
  }

  function setProgress(done, total, path = '') {
    progress.setAttribute('aria-valuemax', String(total));
    progress.setAttribute('aria-valuenow', String(done));
    progress.querySelector('.bar').style.width = `${total > 0 ? (100 * done) / total : 0}%`;
    $('files-progress-text').textContent = path ? `Checking ${done + 1} of ${total}: ${path}` :
      `Checked ${done} of ${total} files.`;
  }

  // Reads the folder into the module; answers the rows of its SOD files, or null.
  async function loadFolder(fileList) {
    const { folder, paths } = folderPaths(fileList);
    const pathOf = new Map(fileList.map((file, i) => [file, paths[i]]));
    const skip = (path, reason) => messages.add('warning', `${path} was skipped: ${reason}`);
    const read = await readFiles(fileList, skip, (file, bytes) => ({ path: pathOf.get(file), file, bytes }));
    const answer = await page.kveltar.setFolder(read.map(({ path, bytes }) => ({ path, bytes })));
    current.folder = folder;
    current.entries = read.map(({ path, file }) => ({ path, file })); // the bytes are the module's now
    current.textureFolders = [...new Set(read.filter((entry) => IMAGE_EXTENSIONS.includes(extension(entry.path)))
      .map((entry) => folderOf(entry.path)))].sort();
    messages.addAll(answer.ok ? `Opened the folder ${folder}: ${answer.models.length} SOD files.` :
      `The folder ${folder} could not be opened:`, answer.messages);
    if (answer.cancelled) return []; // cancelled while the folder was read in: an empty table
    return answer.ok ? answer.models.map((path) => ({ path, state: 'waiting', element: null })) : null;
  }

  // Checks each row's file in turn; stops at Cancel or when another folder is opened.
  async function checkRows(run) {
    const rows = current.rows;
    for (let i = 0; i < rows.length && run === current.run && !current.cancelled; ++i) {
      setProgress(i, rows.length, rows[i].path);
      const result = await page.kveltar.checkFile(rows[i].path, { textureFolders: current.textureFolders });
      if (run !== current.run) return;
      Object.assign(rows[i], { state: result.check ? 'checked' : result.cancelled ? 'waiting' : 'failed',
        check: result.check, glb: result.glb, summary: result.summary ?? null,
        reason: result.cancelled ? 'not checked: the check was cancelled' : result.messages?.[0]?.text });
      fillRow(rows[i]);
      await new Promise((resolve) => setTimeout(resolve)); // the page answers between files
    }
    setProgress(rows.filter((row) => row.state !== 'waiting').length, rows.length);
  }

  // Shows the folder of the Files `fileList` as the table, checking its files one by one.
  async function show(fileList) {
    const run = ++current.run;
    Object.assign(current, { rows: [], cancelled: false });
    body.replaceChildren();
    showTable(true);
    $('welcome').hidden = true;
    setState('checking');
    $('files-cancel').hidden = false;
    progress.hidden = false;
    const rows = await loadFolder(fileList);
    if (run !== current.run) return;
    if (!rows) return setState('failed');
    current.rows = rows;
    for (const row of rows) body.append(rowElement(row));
    applyView();
    await checkRows(run);
    if (run !== current.run) return;
    $('files-cancel').hidden = true;
    progress.hidden = true;
    setState('files');
    if (pictures) await drawPictures(run);
  }

  // The small pictures, one a frame, of the rows converted.
  async function drawPictures(run) {
    for (const row of current.rows) {
      if (!row.glb) continue;
      await nextFrame();
      if (run !== current.run) return;
      try {
        const image = row.element.querySelector('img');
        image.src = await thumbnail(row.glb.bytes);
        image.hidden = false;
      } catch (error) {
        messages.add('warning', `No picture of ${row.path}: ${error.message ?? error}`);
        return;
      }
    }
  }

  function rowElement(row) {
    const tr = document.createElement('tr');
    const picture = document.createElement('td');
    picture.className = 'picture';
    picture.innerHTML = '<img alt="" width="96" height="72" hidden>';
    const path = document.createElement('th');
    path.scope = 'row';
    const open = document.createElement('button');
    open.type = 'button';
    open.className = 'file-row';
    open.textContent = row.path;
    open.addEventListener('click', () => openRow(row).catch((error) => {
      messages.add('error', error.message ?? String(error));
      backToFiles();
    }));
    path.append(open);
    tr.append(picture, path, ...COLUMNS.slice(1).map(({ number }) => {
      const cell = document.createElement('td');
      if (number) cell.className = 'number';
      return cell;
    }));
    row.element = tr;
    fillRow(row);
    return tr;
  }

  // Writes the row's figures and problems into its cells.
  function fillRow(row) {
    const cells = row.element.cells;
    const check = row.check;
    const read = check && (check.imported || check.version !== ''); // the figures of a file read
    cells[2].textContent = read ? check.version : '';
    cells[3].textContent = read ? String(check.meshes) : '';
    cells[4].textContent = row.summary ? String(row.summary.triangles) : '';
    cells[5].textContent = read ? `${markerCount(check)} (${check.hardpoints}, ${check.emitters}, ${check.sprites})` : '';
    const problems = cells[6];
    problems.replaceChildren();
    if (!check) {
      problems.textContent = row.state === 'waiting' ? (row.reason ?? 'not checked') : row.reason ?? 'failed';
      problems.className = row.state === 'waiting' ? 'muted' : 'missing';
      return;
    }
    problems.className = '';
    if (check.problems.length === 0) problems.textContent = 'no problems';
    const list = document.createElement('ul');
    list.className = 'problems';
    for (const problem of check.problems) {
      const item = document.createElement('li');
      item.className = problem.severity;
      item.textContent = `${problem.severity} ${problem.code}: ${problem.text}`;
      list.append(item);
    }
    if (check.problems.length > 0) problems.append(list);
    row.element.hidden = filteredOut(row);
  }

  // Whether "Only problems" hides the row: a file checked without a problem.
  const filteredOut = (row) => current.onlyProblems && row.check?.problems.length === 0;

  // Puts the rows in the order of the sorted column and hides those the filter leaves out.
  function applyView() {
    const rows = [...current.rows];
    if (current.sort) {
      const { value, number } = COLUMNS.find((column) => column.key === current.sort.key);
      const sign = current.sort.direction === 'ascending' ? 1 : -1;
      rows.sort((a, b) => sign * (number ? value(a) - value(b) : String(value(a)).localeCompare(String(value(b)))));
    }
    for (const row of rows) {
      row.element.hidden = filteredOut(row);
      body.append(row.element);
    }
    for (const th of $('files-table').tHead.rows[0].cells) {
      if (current.sort && th.dataset.key === current.sort.key) th.setAttribute('aria-sort', current.sort.direction);
      else th.removeAttribute('aria-sort');
    }
  }

  // The files a row's model opens with: its SOD file and the images of the folders the check
  // looks in (its own, the folder's Textures/RGB, the texture folders), the first of a name kept.
  async function openRow(row) {
    setState('opening');
    const folder = folderOf(row.path);
    const game = /(^|\/)sod$/i.test(folder) ? [folderOf(folder), 'Textures', 'RGB'].filter(Boolean).join('/') : null;
    const order = [folder, ...(game ? [game] : []), ...current.textureFolders];
    const images = current.entries.filter((entry) => IMAGE_EXTENSIONS.includes(extension(entry.path)))
      .map((entry) => ({ entry, rank: order.findIndex((f) => f.toLowerCase() === folderOf(entry.path).toLowerCase()) }))
      .filter(({ rank }) => rank >= 0).sort((a, b) => a.rank - b.rank).map(({ entry }) => entry);
    const names = new Set();
    const chosen = [current.entries.find((entry) => entry.path === row.path), ...images].filter((entry) => {
      const name = baseName(entry.path).toLowerCase();
      return names.has(name) ? false : names.add(name);
    });
    const files = await readFiles(chosen.map((entry) => entry.file));
    showTable(false);
    $('back-to-files').hidden = false;
    await openSet(files);
    if (document.body.dataset.state === 'opening') backToFiles(); // the opening was declined
  }

  function backToFiles() {
    showTable(true);
    setState('files');
  }

  // The buttons and the column headings.
  for (const th of $('files-table').tHead.rows[0].cells) {
    const column = COLUMNS.find(({ key }) => key === th.dataset.key);
    th.querySelector('button')?.addEventListener('click', () => {
      const same = current.sort?.key === column.key && current.sort.direction === 'ascending';
      current.sort = { key: column.key, direction: same ? 'descending' : 'ascending' };
      applyView();
    });
  }
  $('files-only-problems').addEventListener('click', (event) => {
    current.onlyProblems = !current.onlyProblems;
    event.currentTarget.setAttribute('aria-pressed', String(current.onlyProblems));
    applyView();
  });
  $('files-cancel').addEventListener('click', () => {
    current.cancelled = true;
    page.kveltar.cancel?.();
    messages.add('info', 'Checking cancelled: the files not checked are shown so.');
  });
  $('back-to-files').addEventListener('click', backToFiles);
  $('files-report').addEventListener('click', async () => {
    const report = await page.kveltar.checkReport(current.rows.filter((row) => row.check).map((row) => row.check));
    if (!report.ok) return messages.addAll('The report could not be made:', report.messages);
    saveBlob(new Blob([report.text], { type: 'application/json' }), `${current.folder}-check.json`);
    messages.add('info', `Saved ${current.folder}-check.json.`);
  });
  $('files-glb').addEventListener('click', () => {
    const converted = current.rows.filter((row) => row.glb);
    if (converted.length === 0) return messages.add('info', 'No file of the folder was converted: no GLB to save.');
    const zip = zipSync(Object.fromEntries(converted.map((row) => [row.glb.name, row.glb.bytes])), { level: 6 });
    saveBlob(new Blob([zip], { type: 'application/zip' }), `${current.folder}-glb.zip`);
    messages.add('info', `Saved ${current.folder}-glb.zip: ${converted.length} GLB files.`);
  });

  return {
    show,
    // Leaves the table for a file set opened on its own.
    leave() { ++current.run; current.rows = []; showTable(false); },
  };
}
