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

function withGameText(file, options, use) {
  return withText(file.name, (namePointer) => withText(optionText(options), (optionPointer) => use(namePointer, optionPointer)));
}

// A read of a file costs about as much as reading a few hundred KiB more, and most compressed headers
// end within this much of the start: it is read at once, and the rest only when the header runs further.
const AT_ONCE = 256 * 1024;

// The file's leading bytes, at least as many as the core reads of it: a broken game's first four,
// else up to the end of its compressed header.
async function leadingBytes(file, options) {
  const first = new Uint8Array(await file.slice(0, AT_ONCE).arrayBuffer());
  const count = await bytesToRead(file, first.subarray(0, 4), options);
  if (count <= first.length) return first;
  const rest = new Uint8Array(await file.slice(first.length, count).arrayBuffer());
  const leading = new Uint8Array(first.length + rest.length);
  leading.set(first);
  leading.set(rest, first.length);
  return leading;
}

async function bytesToRead(file, field, options) {
  await start();
  return withBytes(field, (pointer) => withGameText(file, options, (namePointer, optionPointer) =>
    core._velkorin_bytes_to_read(pointer, field.length, file.size, namePointer, optionPointer) >>> 0));
}

// The game's description, as `velkorin list --json` gives it, with the list's words for it.
function describe(file, bytes, options) {
  return withBytes(bytes, (data) => withGameText(file, options, (namePointer, optionPointer) =>
    JSON.parse(core.UTF8ToString(core._velkorin_describe(data, bytes.length, file.size, namePointer, optionPointer)))));
}

// Script `number` (from 1), or all of them for 0: {scripts: [Uint8Array…]} or {message}.
function extract(file, bytes, number, options) {
  return withBytes(bytes, (data) => withGameText(file, options, (namePointer, optionPointer) => {
    const count = core._velkorin_extract(data, bytes.length, file.size, namePointer, number, optionPointer);
    if (count < 0) return { message: core.UTF8ToString(core._velkorin_message()) };
    const scripts = [];
    for (let n = 0; n < count; ++n) {
      const at = core._velkorin_script_text(n);
      scripts.push(core.HEAPU8.slice(at, at + core._velkorin_script_size(n)));
    }
    core._velkorin_release();
    return { scripts };
  }));
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

function namesCall(call, names) {
  const text = withText(names.join('/'), (pointer) => core.UTF8ToString(call(pointer)));
  return text === '' ? [] : text.split('/');
}

const games = new Map();  // id -> File, of the games listed, to extract from
// id -> the players as read of the games this worker described, to show them again in another code page
const playersRead = new Map();

function reason(error) {
  return error && error.message ? error.message : String(error);
}

function readFailure(error) {
  return `File Open Error: ${reason(error)}`;
}

// One game's description, from its leading bytes (`bytes`, a promise: read while earlier requests ran).
async function describeGame({ id, file, bytes, options, batch }) {
  playersRead.delete(id);
  let result;
  try {
    const leading = await bytes;
    try {
      await start();
      result = describe(file, leading, options);
      playersRead.set(id, result.players);
      result.players = result.players && result.players.map(showPlayer);
    } catch (error) {
      discardCore();
      throw error;
    }
  } catch (error) {
    result = { game: { name: file.name, size: file.size, version: null, status: 'cannot-open', scripts: [] },
      description: `cannot be opened: ${reason(error)}`, message: 'File Open Error', players: null };
  }
  postMessage({ type: 'described', id, result, batch });
}

const handlers = {
  // Takes the recorded games among the files, in list order; the pool (pool.js) has them described.
  async add({ files }) {
    await start();
    const order = namesCall(core._velkorin_list_order, files.map((entry) => entry.file.name)).map(Number);
    const listed = order.map((index) => files[index]);
    games.clear();
    for (const { id, file } of listed) games.set(id, file);
    postMessage({ type: 'listed', ids: listed.map((entry) => entry.id), names: listed.map((entry) => entry.file.name),
      sizes: listed.map((entry) => entry.file.size) });
  },

  // One game of the pool's batch, its description given back with the batch's number.
  describe: describeGame,

  // The players read of these games (of all, when none are named) are another worker's to show from now on.
  async forget({ ids }) {
    if (!ids) playersRead.clear();
    else for (const id of ids) playersRead.delete(id);
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
    const file = games.get(id);
    let result;
    const started = performance.now();
    let read = 0;
    try {
      const bytes = await leadingBytes(file, options);
      read = performance.now() - started;
      result = extract(file, bytes, number, options);
    } catch (error) {
      discardCore();
      result = { message: readFailure(error) };
    }
    // Reading the file and extracting, as `velkorin extract` does; the benchmark compares the two.
    const elapsed = performance.now() - started;
    const names = namesCall(core._velkorin_script_file_names, [file.name]);
    if (result.scripts) {
      postMessage({ type: 'script', id, number, name: names[number - 1], bytes: result.scripts[0], elapsed, read },
        [result.scripts[0].buffer]);
    } else {
      postMessage({ type: 'script', id, number, message: result.message, elapsed, read });
    }
  },

  // Every script of every game listed, named as `velkorin extract-all` names them, in one zip.
  async zip({ ids, options }) {
    await start();
    const files = ids.map((id) => games.get(id));
    const names = namesCall(core._velkorin_script_file_names, files.map((file) => file.name));
    const entries = {};
    let failed = 0;
    for (let i = 0; i < files.length; ++i) {
      postMessage({ type: 'progress', done: i, total: files.length, name: files[i].name });
      let result;
      try {
        result = extract(files[i], await leadingBytes(files[i], options), 0, options);
      } catch (error) {
        discardCore();
        result = { message: readFailure(error) };
      }
      if (!result.scripts) {
        if (!result.message.startsWith('No AI script')) ++failed;
        continue;
      }
      result.scripts.forEach((bytes, n) => { entries[names[i * 8 + n]] = bytes; });
    }
    postMessage({ type: 'progress', done: files.length, total: files.length, name: 'zip' });
    const zip = fflate.zipSync(entries, { level: 6 });
    postMessage({ type: 'zip', bytes: zip, count: Object.keys(entries).length, failed }, [zip.buffer]);
  },
};

let queue = Promise.resolve();
onmessage = (event) => {
  const request = event.data;
  // A game's file is read as soon as its request comes, while the one before is described.
  if (request.type === 'describe') {
    request.bytes = leadingBytes(request.file, request.options);
    request.bytes.catch(() => {});  // its failure is the description's
  }
  // One request at a time, in the order they came.
  queue = queue.then(() => handlers[request.type](request)).catch((error) => {
    postMessage({ type: 'failed', request: request.type, message: String(error && error.message || error) });
  });
};
