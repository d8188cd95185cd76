// The page's worker. The build puts fflate (self.fflate) and the core's module (createVelkorin)
// before this text and starts the whole as a Worker from a Blob, which a page opened from disk may do.
'use strict';

let core = null;
let starting = null;
let encoding = '';  // the code page players' names are read in; the core's default until the page chooses

function start() {
  if (!starting) starting = createVelkorin().then((module) => { core = module; });
  return starting;
}

// After the core failed inside (out of memory, say), the next request gets a fresh one.
function discardCore() {
  core = null;
  starting = null;
}

function withText(text, use) {
  const size = core.lengthBytesUTF8(text) + 1;
  const pointer = core._malloc(size);
  if (!pointer) throw new Error('out of memory');
  try {
    core.stringToUTF8(text, pointer, size);
    return use(pointer);
  } finally {
    core._free(pointer);
  }
}

function withBytes(bytes, use) {
  const pointer = core._malloc(Math.max(bytes.length, 1));
  if (!pointer) throw new Error('out of memory');
  try {
    core.HEAPU8.set(bytes, pointer);
    return use(pointer);
  } finally {
    core._free(pointer);
  }
}

function optionText(options) {
  return Object.entries(options).map(([key, value]) => `${key}=${value}`).join(';');
}

// A read of a file costs about as much as reading a few hundred KiB more, and most compressed headers
// end within this much of the start: a game not described yet is read this far at once, and further
// only when its header runs further.
const AT_ONCE = 256 * 1024;

// The file's leading bytes, at least as many as the core reads of it (`bytesCall`, velkorin_bytes_to_
// extract or _describe, says how many): a broken game's first four, else up to the end of its
// compressed header. `field`, the header-length field as a description of the game found it, tells
// how far to read at once, should the file still hold it.
async function leadingBytes(file, path, options, bytesCall, field) {
  await start();
  const toRead = (bytes) => withBytes(bytes, (pointer) => withText(path, (namePointer) => withText(optionText(options),
    (optionPointer) => core[bytesCall](pointer, bytes.length, file.size, namePointer, optionPointer) >>> 0)));
  // A game whose field alone makes it broken needs no read: the field is all the core takes of it.
  const known = field ? toRead(field) : AT_ONCE;
  if (field && known <= field.length) return field.slice(0, known);
  const first = new Uint8Array(await file.slice(0, known).arrayBuffer());
  const count = toRead(first.subarray(0, 4));
  if (count <= first.length) return first;
  const rest = new Uint8Array(await file.slice(first.length, count).arrayBuffer());
  const leading = new Uint8Array(first.length + rest.length);
  leading.set(first);
  leading.set(rest, first.length);
  return leading;
}

// The game's description, as `velkorin list --json` gives it, with the list's words for it.
function describe(file, path, bytes, options) {
  return withBytes(bytes, (data) => withText(path, (namePointer) => withText(optionText(options), (optionPointer) =>
    JSON.parse(core.UTF8ToString(core._velkorin_describe(data, bytes.length, file.size, namePointer, optionPointer))))));
}

// Script `number` (from 1), or all of them for 0: {scripts: [Uint8Array…]} or {message}.
function extract(file, path, bytes, number, options) {
  return withBytes(bytes, (data) => withText(path, (namePointer) => withText(optionText(options), (optionPointer) => {
    const count = core._velkorin_extract(data, bytes.length, file.size, namePointer, number, optionPointer);
    if (count < 0) return { message: core.UTF8ToString(core._velkorin_message()) };
    const scripts = [];
    for (let n = 0; n < count; ++n) {
      const at = core._velkorin_script_text(n);
      scripts.push(core.HEAPU8.slice(at, at + core._velkorin_script_size(n)));
    }
    core._velkorin_release();
    return { scripts };
  })));
}

async function extractFile({ file, path, field }, number, options) {
  return extract(file, path, await leadingBytes(file, path, options, '_velkorin_bytes_to_extract', field), number,
    options);
}

// A player as read (velkorin_describe's "players") in the words the page shows, the name in `encoding`.
function showPlayer(player) {
  const name = Uint8Array.from(player.nameBytes);
  return withBytes(name, (namePointer) => withText(encoding, (pagePointer) => ({
    number: player.number,
    script: player.script,
    ...JSON.parse(core.UTF8ToString(core._velkorin_show_player(player.number, player.type, namePointer, name.length,
      player.civilization, player.colour, player.team, pagePointer))),
  })));
}

function textCall(call, text) {
  return withText(text, (pointer) => core.UTF8ToString(call(pointer)));
}

// The recorded games among the paths, as indexes into them in list order. Paths hold "/", so they
// cross each ended by a zero byte, which no path holds.
function listOrder(paths) {
  const bytes = new TextEncoder().encode(paths.map((path) => `${path}\0`).join(''));
  const order = withBytes(bytes, (pointer) => core.UTF8ToString(core._velkorin_list_order(pointer, bytes.length)));
  return order === '' ? [] : order.split('/').map(Number);
}

// The script files of games of these names (no "/" in them), in this order, as `velkorin extract-all`
// names them: each game's eight.
function scriptFileNames(names) {
  const files = textCall(core._velkorin_script_file_names, names.join('/')).split('/');
  return names.map((_, i) => files.slice(i * 8, i * 8 + 8));
}

const games = new Map();  // id -> {file, path, shownName}, in list order, to extract from
// id -> the players as read of the games this worker described, to show them again in another code page
const playersRead = new Map();

// One game's description, from its leading bytes (`bytes`, a promise: read while earlier requests ran).
async function describeGame({ id, file, path, bytes, options, ask }) {
  postMessage({ type: 'reading', id, ask });
  playersRead.delete(id);
  let result;
  let field = null;
  try {
    const leading = await bytes;
    field = leading.slice(0, 4);
    try {
      await start();
      result = describe(file, path, leading, options);
      playersRead.set(id, result.players);
      result.players = result.players && result.players.map(showPlayer);
    } catch (error) {
      discardCore();
      throw error;
    }
  } catch (error) {
    result = { game: { name: path, size: file.size, version: null, status: 'cannot-open', scripts: [] },
      description: `cannot be opened: ${reason(error)}`, message: 'File Open Error', notes: [], salvageable: false,
      players: null };
  }
  postMessage({ type: 'described', id, result, ask, field });
}

function reason(error) {
  return error && error.message ? error.message : String(error);
}

function readFailure(error) {
  return `File Open Error: ${reason(error)}`;
}

const handlers = {
  // Takes the recorded games among the files, each {id, file, path}, in list order; the pool (pool.js)
  // has them described.
  async add({ files }) {
    await start();
    games.clear();
    for (const index of listOrder(files.map((entry) => entry.path))) {
      games.set(files[index].id, { ...files[index], shownName: textCall(core._velkorin_shown_name, files[index].path) });
    }
    postMessage({ type: 'listed', games: [...games.values()].map(({ id, file, shownName }) => ({ id, shownName,
      size: core.UTF8ToString(core._velkorin_size_text(file.size)),
      exactSize: core.UTF8ToString(core._velkorin_exact_size_text(file.size)) })) });
  },

  // One game for the pool, its description given back with the request's number.
  describe: describeGame,

  // A game's header-length field as its description found it (see leadingBytes).
  async field({ id, field }) {
    const game = games.get(id);
    if (game) game.field = field;
  },

  // The players read of these games (of all, when none are named) are another worker's to show from now on.
  async forget({ ids }) {
    if (!ids) playersRead.clear();
    else for (const id of ids) playersRead.delete(id);
  },

  async version() {
    await start();
    postMessage({ type: 'version', version: core.UTF8ToString(core._velkorin_version()) });
  },

  // The code pages names may be read in, the default first.
  async codePages() {
    await start();
    postMessage({ type: 'codePages', names: core.UTF8ToString(core._velkorin_code_pages()).split('/') });
  },

  // Names from now on in this code page, and those of the games read so far again, without reading them.
  async encoding({ name }) {
    encoding = name;
    await start();
    for (const [id, players] of playersRead) {
      if (players) postMessage({ type: 'players', id, players: players.map(showPlayer) });
    }
  },

  async script({ id, number, options }) {
    await start();
    const { file } = games.get(id);
    let result;
    const started = performance.now();
    try {
      result = await extractFile(games.get(id), number, options);
    } catch (error) {
      discardCore();
      result = { message: readFailure(error) };
    }
    // Reading the file and extracting, as `velkorin extract` does; the benchmark compares the two.
    const elapsed = performance.now() - started;
    // A game saved alone is named by its own name, as `velkorin extract` writes it.
    const [names] = scriptFileNames([file.name]);
    if (result.scripts) {
      postMessage({ type: 'script', id, number, name: names[number - 1], bytes: result.scripts[0], elapsed },
        [result.scripts[0].buffer]);
    } else {
      postMessage({ type: 'script', id, number, message: result.message, elapsed });
    }
  },

  // Every script of every game listed, each {id, options}, named as `velkorin extract-all` names them
  // (by the games' own names, in list order), in one zip.
  async zip({ games: listed }) {
    await start();
    const names = scriptFileNames(listed.map(({ id }) => games.get(id).file.name));
    const entries = {};
    const failed = [];
    for (let i = 0; i < listed.length; ++i) {
      const { id, options } = listed[i];
      postMessage({ type: 'progress', done: i, total: listed.length, name: games.get(id).shownName });
      let result;
      try {
        result = await extractFile(games.get(id), 0, options);
      } catch (error) {
        discardCore();
        result = { message: readFailure(error) };
      }
      if (!result.scripts) {
        if (!result.message.startsWith('No AI script')) failed.push(id);
        continue;
      }
      result.scripts.forEach((bytes, n) => { entries[names[i][n]] = bytes; });
    }
    postMessage({ type: 'progress', done: listed.length, total: listed.length, name: 'zip' });
    const zip = fflate.zipSync(entries, { level: 6 });
    postMessage({ type: 'zip', bytes: zip, count: Object.keys(entries).length, failed }, [zip.buffer]);
  },
};

let queue = Promise.resolve();
onmessage = (event) => {
  const request = event.data;
  // A game's file is read as soon as its request comes, while the one before is described.
  if (request.type === 'describe') {
    request.bytes = leadingBytes(request.file, request.path, request.options, '_velkorin_bytes_to_describe');
    request.bytes.catch(() => {});  // its failure is the description's
  }
  // One request at a time, in the order they came.
  queue = queue.then(() => handlers[request.type](request)).catch((error) => {
    postMessage({ type: 'failed', request: request.type, message: String(error && error.message || error) });
  });
};
