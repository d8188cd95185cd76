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

// The game's description, as `velkorin list --json` gives it, with the list's words for it.
function describe(name, bytes, options) {
  return withBytes(bytes, (data) => withText(name, (namePointer) => withText(optionText(options), (optionPointer) =>
    JSON.parse(core.UTF8ToString(core._velkorin_describe(data, bytes.length, namePointer, optionPointer))))));
}

// Script `number` (from 1), or all of them for 0: {scripts: [Uint8Array…]} or {message}.
function extract(name, bytes, number, options) {
  return withBytes(bytes, (data) => withText(name, (namePointer) => withText(optionText(options), (optionPointer) => {
    const count = core._velkorin_extract(data, bytes.length, namePointer, number, optionPointer);
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

const games = new Map();  // id -> {file, path, shownName}, in list order
const playersRead = new Map();  // id -> the game's players as read, to show them again in another code page

async function bytesOf(id) {
  return new Uint8Array(await games.get(id).file.arrayBuffer());
}

async function describeAll(ids, options) {
  for (let i = 0; i < ids.length; ++i) {
    const { file, path, shownName } = games.get(ids[i]);
    postMessage({ type: 'progress', done: i, total: ids.length, name: shownName });
    playersRead.delete(ids[i]);
    let result;
    try {
      const bytes = await bytesOf(ids[i]);
      try {
        await start();
        result = describe(path, bytes, options);
        playersRead.set(ids[i], result.players);
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
    postMessage({ type: 'described', id: ids[i], result });
  }
  postMessage({ type: 'progress', done: ids.length, total: ids.length });
}

function reason(error) {
  return error && error.message ? error.message : String(error);
}

function readFailure(error) {
  return `File Open Error: ${reason(error)}`;
}

const handlers = {
  // Takes the recorded games among the files, each {id, file, path}, and describes each in list order.
  async add({ files, options }) {
    await start();
    games.clear();
    playersRead.clear();
    for (const index of listOrder(files.map((entry) => entry.path))) {
      games.set(files[index].id, { ...files[index], shownName: textCall(core._velkorin_shown_name, files[index].path) });
    }
    postMessage({ type: 'listed', games: [...games.values()].map(({ id, file, shownName }) => ({ id, shownName,
      size: core.UTF8ToString(core._velkorin_size_text(file.size)),
      exactSize: core.UTF8ToString(core._velkorin_exact_size_text(file.size)) })) });
    await describeAll([...games.keys()], options);
  },

  // Games listed already, read again with other options.
  async redescribe({ ids, options }) {
    await describeAll(ids, options);
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
    const { file, path } = games.get(id);
    let result;
    const started = performance.now();
    try {
      result = extract(path, await bytesOf(id), number, options);
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
      const { path, shownName } = games.get(id);
      postMessage({ type: 'progress', done: i, total: listed.length, name: shownName });
      let result;
      try {
        await start();
        result = extract(path, await bytesOf(id), 0, options);
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
  // One request at a time, in the order they came.
  queue = queue.then(() => handlers[event.data.type](event.data)).catch((error) => {
    postMessage({ type: 'failed', request: event.data.type, message: String(error && error.message || error) });
  });
};
