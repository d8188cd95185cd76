// The page: takes recorded games, lists them and shows or saves their scripts. All reading is done
// by the core in the worker; this file only shows what it gives.
'use strict';

const $ = (id) => document.getElementById(id);
const LINE_HEIGHT = 20;  // px, as .ln in style.css
const OVERSCAN = 30;     // lines drawn beyond the visible ones

let worker = null;
let nextId = 1;
let games = [];          // {id, name, size, result} in list order
let shown = null;        // {id, number, name, bytes, lines, inActions}
let searchHits = [];
let searchAt = -1;
const ENCODING_KEY = 'velkorin.encoding';  // where the browser keeps the code page chosen for names

function options() {
  return { names: $('names').value, salvage: $('salvage').checked ? 1 : 0 };
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

function addFiles(given) {
  // Games from several folders may share a name; their script files would too, so the first is kept.
  const names = new Set();
  const files = given.filter((file) => !names.has(file.name) && names.add(file.name));
  const skipped = given.length - files.length;
  showStatus(skipped === 0 ? '' : `${skipped} ${skipped === 1 ? 'file was' : 'files were'} left out: same name as another.`);
  const entries = files.map((file) => ({ id: nextId++, file }));
  worker.postMessage({ type: 'add', files: entries, options: options() });
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
  item.append(span('name', game.name), span('size', String(game.size)));
  if (!game.result) {
    item.append(span('pending', 'reading…'));
    return item;
  }
  const { game: summary, description, message, players } = game.result;
  item.append(span('version', summary.version || ''), span('numbering', numberingNames[summary.numbering] || ''),
    span('description', description), message ? span('message', message) : scriptButtons(game));
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
  $('script-title').textContent = `${game.name} — script ${number}: reading…`;
  markShown();
  worker.postMessage({ type: 'script', id, number, options: options() });
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
    showStatus(`${game.name}, script ${message.number}: ${message.message}`);
    $('script-view').hidden = true;
    markShown();
    return;
  }
  const text = new TextDecoder('windows-1252').decode(message.bytes);
  const lines = text.split('\r\n');
  if (lines.length > 1 && lines[lines.length - 1] === '') lines.pop();
  shown = { id: message.id, number: message.number, name: message.name, bytes: message.bytes, lines,
    inActions: actionLines(lines) };
  $('script-view').hidden = false;
  showScriptTitle(game);
  $('spacer').style.height = `${lines.length * LINE_HEIGHT}px`;
  $('viewer').scrollTop = 0;
  runSearch();
  renderLines();
  markShown();
}

// "game.mgx — script 2 of 4: player 3, NAME, Vikings, green, team 2 (610 lines)"; no player when unknown.
function showScriptTitle(game) {
  const player = playerOfScript(game, shown.number);
  $('script-title').textContent = `${game.name} — script ${shown.number} of ${game.result.game.scripts.length}`
    + `${player ? `: ${player.description}` : ''} (${shown.lines.length} lines)`;
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
  const item = document.querySelector(`.game[data-id="${message.id}"]`);
  if (item) item.replaceWith(gameItem(game));
  if (shown && shown.id === game.id && shown.lines) showScriptTitle(game);
}

// --- messages from the worker ---------------------------------------------------------------

function receive(message) {
  switch (message.type) {
    case 'listed':
      shown = null;
      $('script-view').hidden = true;
      games = message.ids.map((id, i) => ({ id, name: message.names[i], size: message.sizes[i], result: null }));
      if (games.length === 0) showStatus('No recorded games (*.mg?) among the files given.');
      renderList();
      break;
    case 'described': {
      const game = games.find((entry) => entry.id === message.id);
      if (game) game.result = message.result;
      const item = document.querySelector(`.game[data-id="${message.id}"]`);
      if (game && item) item.replaceWith(gameItem(game));
      $('download-all').disabled = !games.some((entry) => entry.result && entry.result.game.status === 'ok');
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
      if (message.failed) showStatus(`${message.failed} recorded games could not be extracted; the zip holds the others.`);
      save(message.bytes, 'velkorin-scripts.zip', 'application/zip');
      break;
    case 'failed':
      showProgress(null);
      showStatus(`Could not ${message.request}: ${message.message}`);
      break;
  }
}

// --- taking files ---------------------------------------------------------------------------

async function entryFiles(entry) {
  if (entry.isFile) return [await new Promise((resolve, reject) => entry.file(resolve, reject))];
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

async function droppedFiles(transfer) {
  const items = [...(transfer.items || [])].filter((item) => item.kind === 'file');
  const entries = items.map((item) => (item.webkitGetAsEntry ? item.webkitGetAsEntry() : null));
  if (items.length === 0 || entries.some((entry) => !entry)) return [...transfer.files];
  const files = [];
  for (const entry of entries) files.push(...await entryFiles(entry));
  return files;
}

document.addEventListener('dragover', (event) => { event.preventDefault(); });
document.addEventListener('drop', (event) => {
  event.preventDefault();
  droppedFiles(event.dataTransfer).then(addFiles, (error) => showStatus(`Could not read what was dropped: ${error}`));
});
for (const id of ['files', 'folder']) {
  $(id).addEventListener('change', (event) => {
    addFiles([...event.target.files]);
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
$('salvage').addEventListener('change', () => {
  const files = games.map((game) => game);
  if (files.length === 0) return;
  worker.postMessage({ type: 'redescribe', ids: files.map((game) => game.id), options: options() });
});
$('encoding').addEventListener('change', () => {
  rememberEncoding($('encoding').value);
  worker.postMessage({ type: 'encoding', name: $('encoding').value });
});
$('names').addEventListener('change', () => { if (shown && shown.lines) requestScript(shown.id, shown.number); });
$('download').addEventListener('click', () => { if (shown && shown.bytes) save(shown.bytes, shown.name, 'text/plain'); });
$('download-all').addEventListener('click', () => {
  worker.postMessage({ type: 'zip', ids: games.map((game) => game.id), options: options() });
});
$('viewer').addEventListener('scroll', () => requestAnimationFrame(renderLines));
$('search').addEventListener('input', () => { runSearch(); renderLines(); });
$('search').addEventListener('keydown', (event) => {
  if (event.key === 'Enter') findStep(event.shiftKey ? -1 : 1);
});
$('find-next').addEventListener('click', () => findStep(1));
$('find-previous').addEventListener('click', () => findStep(-1));
document.addEventListener('keydown', (event) => {
  if ((event.ctrlKey || event.metaKey) && event.key === 'f' && shown && shown.lines) {
    event.preventDefault();
    $('search').focus();
  }
});

startWorker();
