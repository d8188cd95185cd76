// The page: takes recorded games, lists them and shows or saves their scripts. All reading is done
// by the core in the worker; this file only shows what it gives.
'use strict';

const $ = (id) => document.getElementById(id);
const LINE_HEIGHT = 20;  // px, as .ln in style.css
const OVERSCAN = 30;     // lines drawn beyond the visible ones

let worker = null;
let nextId = 1;
let games = [];          // {id, shownName, size, exactSize, result, salvaged} in list order
let focusedId = null;    // the game that takes focus when the list is entered
let shown = null;        // {id, number, name, bytes, lines, inActions}
let searchHits = [];
let searchAt = -1;
const ENCODING_KEY = 'velkorin.encoding';  // where the browser keeps the code page chosen for names

// The options a game is read with: the research names chosen, and salvage once asked for it.
function options(game) {
  return { names: $('names').value, salvage: game && game.salvaged ? 1 : 0 };
}

function startWorker() {
  worker = new Readers(velkorinWorkerSource);
  worker.onmessage = (event) => receive(event.data);
  worker.onerror = (event) => {
    event.preventDefault();
    showStatus(`The reader stopped: ${event.message || 'unknown error'}`);
    showProgress(null);
    worker.terminate();
    startWorker();
  };
  worker.postMessage({ type: 'codePages' });
  worker.postMessage({ type: 'version' });
}

function showStatus(text) { $('status').textContent = text; }

function showProgress(progress) {
  $('progress-line').hidden = !progress || progress.done >= progress.total;
  if (!progress) return;
  $('progress').max = Math.max(progress.total, 1);
  $('progress').value = progress.done;
  $('progress-text').textContent = progress.done >= progress.total ? ''
    : `Reading ${progress.name} (${progress.done + 1} of ${progress.total})`;
}

// Files, each {file, path}: the path within the folder given, or the file's own name.
function addFiles(files) {
  showStatus('');
  worker.postMessage({ type: 'add', files: files.map((entry) => ({ id: nextId++, ...entry })), options: options() });
}

// --- the list -------------------------------------------------------------------------------

function renderList() {
  const title = $('list-title');
  title.hidden = false;
  title.textContent = `${games.length} recorded ${games.length === 1 ? 'game' : 'games'}`;
  const list = $('games');
  list.replaceChildren(...games.map(gameItem));
  $('download-all').disabled = !games.some((game) => game.result && game.result.game.status === 'ok');
}

// The numbering a game's facts and actions are read in, as `velkorin list` names it.
const numberingNames = { '1.0c': '1.0c', userpatch: 'UserPatch', unknown: 'unknown numbering' };

function span(className, text) {
  const element = document.createElement('span');
  element.className = className;
  element.textContent = text;
  return element;
}

function gameItem(game) {
  const item = document.createElement('li');
  item.className = 'game';
  item.dataset.id = game.id;
  item.tabIndex = game.id === (focusedId ?? games[0].id) ? 0 : -1;
  const size = span('size', game.size);
  size.title = game.exactSize;
  item.append(span('name', game.shownName), size);
  if (!game.result) {
    item.append(span('pending', 'reading…'));
    return item;
  }
  const { game: summary, description, message, players, salvageable } = game.result;
  item.append(span('version', summary.version || ''), span('numbering', numberingNames[summary.numbering] || ''),
    span('description', description), message ? span('message', message) : scriptButtons(game));
  if (salvageable) item.append(salvageButton(game));
  if (game.salvaged) item.append(span('salvaged', 'salvaged'));
  if (players) item.append(playerList(players));
  else if (summary.scripts.length > 0) item.append(span('players-unknown', 'players unknown'));
  return item;
}

function scriptButtons(game) {
  const buttons = document.createElement('span');
  buttons.className = 'scripts';
  game.result.game.scripts.forEach((script, n) => {
    const player = playerOfScript(game, n + 1);
    const button = document.createElement('button');
    button.type = 'button';
    button.textContent = player ? `Script ${n + 1} — player ${player.number}` : `Script ${n + 1}`;
    if (player && player.colourName) button.prepend(swatch(player));
    button.title = `${script.rules} rules`;
    button.dataset.number = n + 1;
    button.setAttribute('aria-pressed', String(!!shown && shown.id === game.id && shown.number === n + 1));
    button.addEventListener('click', () => requestScript(game.id, n + 1));
    buttons.append(button);
  });
  return buttons;
}

// Reads the game again as `velkorin list --salvage` does; its scripts are then those of `extract --salvage`.
function salvageButton(game) {
  const button = document.createElement('button');
  button.type = 'button';
  button.className = 'salvage';
  button.textContent = 'Try to salvage';
  button.addEventListener('click', () => {
    game.salvaged = true;
    game.result = null;
    replaceItem(game);
    worker.postMessage({ type: 'redescribe', ids: [game.id], options: options(game) });
  });
  return button;
}

// Draws the game's row anew; focus inside it stays on the same control, or goes to the row.
function replaceItem(game) {
  const item = document.querySelector(`.game[data-id="${game.id}"]`);
  if (!item) return;
  const focused = item.contains(document.activeElement) ? document.activeElement : null;
  const fresh = gameItem(game);
  item.replaceWith(fresh);
  if (!focused) return;
  const number = focused.dataset.number;
  const button = number && fresh.querySelector(`.scripts button[data-number="${number}"]`);
  (button || fresh).focus({ preventScroll: true });
}

// The player who ran script `number` (from 1), when the players are known.
function playerOfScript(game, number) {
  return game.result.players && game.result.players.find((player) => player.script === number - 1);
}

// A square in the player's colour, named by the core.
function swatch(player) {
  const element = span('swatch', '');
  element.dataset.colour = player.colourName;
  element.title = player.colour;
  element.setAttribute('role', 'img');
  element.setAttribute('aria-label', player.colour);
  return element;
}

// The players in number order, as the core words them; a colour without a name shows as its words.
function playerList(players) {
  const list = document.createElement('ol');
  list.className = 'players';
  for (const player of players) {
    const item = document.createElement('li');
    item.className = 'player';
    item.append(span('number', String(player.number)), player.colourName ? swatch(player) : span('colour', player.colour),
      span('player-name', player.name), span('type', player.type), span('civilization', player.civilization),
      span('team', player.team));
    list.append(item);
  }
  return list;
}

// --- moving through the list ----------------------------------------------------------------

// The one row of the list that Tab reaches, the last one focused.
function rove(item) {
  focusedId = Number(item.dataset.id);
  for (const other of document.querySelectorAll('.game[tabindex="0"]')) other.tabIndex = -1;
  item.tabIndex = 0;
}

// Up and Down (Home, End) move the focus from game to game; Enter on a game opens its first script.
function moveInList(event) {
  const item = event.target.closest('.game');
  if (!item || event.altKey || event.ctrlKey || event.metaKey) return;
  const items = [...document.querySelectorAll('.game')];
  const at = items.indexOf(item);
  const to = { ArrowDown: at + 1, ArrowUp: at - 1, Home: 0, End: items.length - 1 }[event.key];
  if (to !== undefined) {
    event.preventDefault();
    items[Math.max(0, Math.min(items.length - 1, to))].focus();
  } else if (event.key === 'Enter' && event.target === item) {
    event.preventDefault();
    const first = item.querySelector('.scripts button');
    if (first) first.click();
  }
}

// --- the script -----------------------------------------------------------------------------

// Marks the button of the script shown, leaving the list as it is, so that focus stays where it was.
function markShown() {
  for (const button of document.querySelectorAll('.game .scripts button')) {
    const id = Number(button.closest('.game').dataset.id);
    button.setAttribute('aria-pressed', String(!!shown && shown.id === id && shown.number === Number(button.dataset.number)));
  }
}

function requestScript(id, number) {
  shown = { id, number, pending: true };
  const game = games.find((entry) => entry.id === id);
  $('script-title').textContent = `${game.shownName} — script ${number}: reading…`;
  markShown();
  worker.postMessage({ type: 'script', id, number, options: options(game) });
}

// Which lines are actions: those between "=>" and the end of their rule.
function actionLines(lines) {
  const inActions = new Uint8Array(lines.length);
  let actions = false;
  for (let i = 0; i < lines.length; ++i) {
    const line = lines[i];
    if (line.startsWith('(defrule')) actions = false;
    else if (line === '=>') actions = true;
    else inActions[i] = actions ? 1 : 0;
  }
  return inActions;
}

function showScript(message) {
  const game = games.find((entry) => entry.id === message.id);
  if (!shown || shown.id !== message.id || shown.number !== message.number) return;
  if (message.message) {
    shown = null;
    showStatus(`${game.shownName}, script ${message.number}: ${message.message}`);
    $('script-view').hidden = true;
    markShown();
    return;
  }
  const text = new TextDecoder('windows-1252').decode(message.bytes);
  // Every line ends in CR LF, the last too, so an empty script has no line.
  const lines = text === '' ? [] : text.split('\r\n');
  if (lines.length > 1 && lines[lines.length - 1] === '') lines.pop();
  shown = { id: message.id, number: message.number, name: message.name, bytes: message.bytes, lines,
    inActions: actionLines(lines) };
  $('script-view').hidden = false;
  // The list may have narrowed to make room for the script: its game stays in view.
  document.querySelector(`.game[data-id="${game.id}"]`).scrollIntoView({ block: 'nearest' });
  showScriptTitle(game);
  showScriptNote(game);
  $('spacer').style.height = `${lines.length * LINE_HEIGHT}px`;
  $('viewer').scrollTop = 0;
  runSearch();
  renderLines();
  markShown();
}

// "game.mgx — script 2 of 4: player 3, NAME, Vikings, green, team 2 (610 lines)"; no player when unknown.
function showScriptTitle(game) {
  const player = playerOfScript(game, shown.number);
  const count = shown.lines.length;
  $('script-title').textContent = `${game.shownName} — script ${shown.number} of ${game.result.game.scripts.length}`
    + `${player ? `: ${player.description}` : ''} (${count} ${count === 1 ? 'line' : 'lines'})`;
}

// What `velkorin extract` says of the script (cut short, or no rules), and that it was salvaged.
function showScriptNote(game) {
  const note = game.result.notes[shown.number - 1];
  const text = game.salvaged ? `Salvaged: ${note || 'read as velkorin extract --salvage reads it'}` : note;
  $('script-note').textContent = text;
  $('script-note').hidden = !text;
}

const LOGICAL = new Set(['and', 'or', 'not', 'nand', 'nor']);

// One line as coloured spans; the text is only ever set as text.
function lineElement(index) {
  const line = shown.lines[index];
  const element = document.createElement('div');
  element.className = searchHits[searchAt] === index ? 'ln hit' : 'ln';
  element.append(span('num', String(index + 1)));
  if (line.endsWith(';not supported')) {
    element.append(span('u', line));
    return element;
  }
  const trimmed = line.replace(/^\t+/, '');
  if (trimmed === '(defrule' || trimmed === '=>' || trimmed === ')' && line === ')') {
    element.append(span('r', line));
    return element;
  }
  // Tokens: strings, numbers, the keyword after "(", and the rest as it is.
  const pattern = /("[^"]*"?)|(\(([\w-]+))|(-?\b\d+\b)/g;
  let at = 0;
  for (let match; (match = pattern.exec(line)) !== null;) {
    if (match.index > at) element.append(line.slice(at, match.index));
    if (match[1]) {
      element.append(span('s', match[1]));
    } else if (match[2]) {
      const keyword = match[3];
      element.append('(', span(LOGICAL.has(keyword) ? 'l' : shown.inActions[index] ? 'a' : 'f', keyword));
    } else {
      element.append(span('n', match[4]));
    }
    at = pattern.lastIndex;
  }
  if (at < line.length) element.append(line.slice(at));
  return element;
}

// Only the lines in view (and a margin) exist in the page, so a script of any length scrolls freely.
function renderLines() {
  if (!shown || !shown.lines) return;
  const viewer = $('viewer');
  const first = Math.max(0, Math.floor(viewer.scrollTop / LINE_HEIGHT) - OVERSCAN);
  const last = Math.min(shown.lines.length, Math.ceil((viewer.scrollTop + viewer.clientHeight) / LINE_HEIGHT) + OVERSCAN);
  const lines = $('lines');
  lines.style.top = `${first * LINE_HEIGHT}px`;
  const elements = [];
  for (let i = first; i < last; ++i) elements.push(lineElement(i));
  lines.replaceChildren(...elements);
}

function runSearch() {
  const query = $('search').value.toLowerCase();
  searchHits = [];
  searchAt = -1;
  if (query && shown && shown.lines) {
    shown.lines.forEach((line, index) => { if (line.toLowerCase().includes(query)) searchHits.push(index); });
  }
  $('search-count').textContent = query ? `${searchHits.length} lines` : '';
}

function findStep(step) {
  if (searchHits.length === 0) return;
  searchAt = (searchAt + step + searchHits.length) % searchHits.length;
  $('search-count').textContent = `${searchAt + 1} of ${searchHits.length} lines`;
  const viewer = $('viewer');
  viewer.scrollTop = searchHits[searchAt] * LINE_HEIGHT - viewer.clientHeight / 3;
  renderLines();
}

// --- saving ---------------------------------------------------------------------------------

function save(bytes, name, type) {
  const url = URL.createObjectURL(new Blob([bytes], { type }));
  const link = document.createElement('a');
  link.href = url;
  link.download = name;
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(url), 60000);
}

// --- the code page of names ---------------------------------------------------------------

// The choice kept by the browser, when it keeps one (it may refuse to, for a page from disk too).
function rememberedEncoding() {
  try {
    return localStorage.getItem(ENCODING_KEY);
  } catch {
    return null;
  }
}

function rememberEncoding(name) {
  try {
    localStorage.setItem(ENCODING_KEY, name);
  } catch {
    // Not kept: the choice holds until the page closes.
  }
}

function showCodePages(names) {
  const choice = $('encoding');
  const chosen = choice.value || rememberedEncoding();
  choice.replaceChildren(...names.map((name) => {
    const option = document.createElement('option');
    option.value = name;
    option.textContent = name;
    return option;
  }));
  choice.value = names.includes(chosen) ? chosen : names[0];
  choice.disabled = false;
  worker.postMessage({ type: 'encoding', name: choice.value });
}

function showPlayers(message) {
  const game = games.find((entry) => entry.id === message.id);
  if (!game || !game.result) return;
  game.result.players = message.players;
  replaceItem(game);
  if (shown && shown.id === game.id && shown.lines) showScriptTitle(game);
}

function showZipFailures(ids) {
  const names = ids.map((id) => games.find((game) => game.id === id).shownName);
  showStatus(`${ids.length} ${ids.length === 1 ? 'recorded game' : 'recorded games'} could not be extracted `
    + `(${names.join(', ')}); the zip holds the others.`);
}

// --- messages from the worker ---------------------------------------------------------------

// Games described since the last frame, drawn together in the next: the page lays the list out once
// a frame, however many games arrive meanwhile.
const gamesToDraw = new Set();

function drawSoon(game) {
  if (gamesToDraw.size === 0) requestAnimationFrame(drawDescribed);
  gamesToDraw.add(game);
}

function drawDescribed() {
  for (const game of gamesToDraw) replaceItem(game);
  gamesToDraw.clear();
  $('download-all').disabled = !games.some((entry) => entry.result && entry.result.game.status === 'ok');
}

function receive(message) {
  switch (message.type) {
    case 'listed':
      shown = null;
      focusedId = null;
      $('script-view').hidden = true;
      games = message.games.map((game) => ({ ...game, result: null, salvaged: false }));
      if (games.length === 0) showStatus('No recorded games (*.mg?) among the files given.');
      renderList();
      break;
    case 'described': {
      const game = games.find((entry) => entry.id === message.id);
      if (!game) break;
      game.result = message.result;
      drawSoon(game);
      break;
    }
    case 'progress':
      showProgress(message);
      break;
    case 'script':
      showScript(message);
      break;
    case 'codePages':
      showCodePages(message.names);
      break;
    case 'players':
      showPlayers(message);
      break;
    case 'zip':
      showProgress(null);
      if (message.failed.length > 0) showZipFailures(message.failed);
      save(message.bytes, 'velkorin-scripts.zip', 'application/zip');
      break;
    case 'version':
      $('version').textContent = message.version;
      break;
    case 'failed':
      showProgress(null);
      showStatus(`Could not ${message.request}: ${message.message}`);
      break;
  }
}

// --- taking files ---------------------------------------------------------------------------

// The files under a dropped handle, each with its path from what was dropped ("a/game.mgx").
async function handleFiles(handle, folder) {
  const path = folder + handle.name;
  if (handle.kind === 'file') return [{ file: await handle.getFile(), path }];
  const files = [];
  for await (const child of handle.values()) files.push(...await handleFiles(child, `${path}/`));
  return files;
}

// The same of a dropped entry, where the browser has no handles.
async function entryFiles(entry) {
  if (entry.isFile) {
    const file = await new Promise((resolve, reject) => entry.file(resolve, reject));
    return [{ file, path: entry.fullPath.replace(/^\//, '') }];
  }
  if (!entry.isDirectory) return [];
  const reader = entry.createReader();
  const files = [];
  for (;;) {
    const batch = await new Promise((resolve, reject) => reader.readEntries(resolve, reject));
    if (batch.length === 0) break;
    for (const child of batch) files.push(...await entryFiles(child));
  }
  return files;
}

// A file from the chooser: within a folder chosen, its path there; alone, its name.
function chosenFile(file) {
  return { file, path: file.webkitRelativePath || file.name };
}

// What was dropped, folders opened. The items can be read only during the drop event, so everything
// is taken from them before the first wait. Chromium cannot read a dropped folder's entries in a page
// opened from disk, but can its handles; other browsers have entries alone; a drop made by a script
// has neither.
async function droppedFiles(transfer) {
  const items = [...(transfer.items || [])].filter((item) => item.kind === 'file');
  const files = [...transfer.files].map(chosenFile);
  const handles = items.map((item) => (item.getAsFileSystemHandle ? item.getAsFileSystemHandle().catch(() => null) : null));
  const entries = items.map((item) => (item.webkitGetAsEntry ? item.webkitGetAsEntry() : null));
  const opened = await Promise.all(handles);
  const walk = async (roots, open) => (await Promise.all(roots.map(open))).flat();
  if (items.length > 0 && opened.every(Boolean)) return walk(opened, (handle) => handleFiles(handle, ''));
  if (items.length > 0 && entries.every(Boolean)) return walk(entries, entryFiles);
  return files;
}

document.addEventListener('dragover', (event) => { event.preventDefault(); });
document.addEventListener('drop', (event) => {
  event.preventDefault();
  droppedFiles(event.dataTransfer).then(addFiles, (error) => showStatus(`Could not read what was dropped: ${error}`));
});
for (const id of ['files', 'folder']) {
  $(id).addEventListener('change', (event) => {
    addFiles([...event.target.files].map(chosenFile));
    event.target.value = '';
  });
  // The labels act as the buttons; Enter and Space open the chooser as a click does.
  document.querySelector(`label[for="${id}"]`).tabIndex = 0;
  document.querySelector(`label[for="${id}"]`).addEventListener('keydown', (event) => {
    if (event.key === 'Enter' || event.key === ' ') {
      event.preventDefault();
      $(id).click();
    }
  });
}
if (!('webkitdirectory' in $('folder'))) document.querySelector('label[for="folder"]').hidden = true;
$('encoding').addEventListener('change', () => {
  rememberEncoding($('encoding').value);
  worker.postMessage({ type: 'encoding', name: $('encoding').value });
});
$('names').addEventListener('change', () => { if (shown && shown.lines) requestScript(shown.id, shown.number); });
$('download').addEventListener('click', () => { if (shown && shown.bytes) save(shown.bytes, shown.name, 'text/plain'); });
$('download-all').addEventListener('click', () => {
  worker.postMessage({ type: 'zip', games: games.map((game) => ({ id: game.id, options: options(game) })) });
});
$('viewer').addEventListener('scroll', () => requestAnimationFrame(renderLines));
$('search').addEventListener('input', () => { runSearch(); renderLines(); });
$('search').addEventListener('keydown', (event) => {
  if (event.key === 'Enter') findStep(event.shiftKey ? -1 : 1);
});
$('find-next').addEventListener('click', () => findStep(1));
$('find-previous').addEventListener('click', () => findStep(-1));
$('games').addEventListener('keydown', moveInList);
$('games').addEventListener('focusin', (event) => {
  const item = event.target.closest('.game');
  if (item) rove(item);
});
document.addEventListener('keydown', (event) => {
  if ((event.ctrlKey || event.metaKey) && event.key === 'f' && shown && shown.lines) {
    event.preventDefault();
    $('search').focus();
  }
});

startWorker();
