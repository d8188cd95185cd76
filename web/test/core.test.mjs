// The core as WebAssembly under node, reading each game from memory as the page does, against the
// command line, which reads it from its file through zlib: over every game the tests have (the test
// kit's, the sample, the corpus when present, and games whose framing or deflate stream is out of the
// ordinary), the same descriptions as `velkorin list --json` and the same script bytes as `velkorin
// extract`, salvaged or not.
import assert from 'node:assert/strict';
import { readFileSync, rmSync } from 'node:fs';
import { createRequire } from 'node:module';
import { join } from 'node:path';
import { test } from 'node:test';

import { coreModule, nativeList, nativeScript, scratch, writeAllGames, writeStreamCases } from './kit.mjs';

const createVelkorin = createRequire(import.meta.url)(coreModule);

function call(core, text, use) {
  const size = core.lengthBytesUTF8(text) + 1;
  const pointer = core._malloc(size);
  core.stringToUTF8(text, pointer, size);
  try { return use(pointer); } finally { core._free(pointer); }
}

// The core reads players' names through the host's TextDecoder. Node 20's reads windows-1252 as
// Latin-1 (0x86 as U+0086, where browsers read †); under such a node a name beyond ASCII is compared by
// its bytes alone, and page.test.mjs compares it as a browser reads it.
const hostReadsWindows1252 = new TextDecoder('windows-1252').decode(Uint8Array.of(0x86)) === '\u2020';

function comparable(game) {
  if (hostReadsWindows1252 || !game.players) return game;
  return { ...game, players: game.players.map(({ name, ...player }) => (player.nameBytes ? player : { name, ...player })) };
}

function withBytes(core, bytes, use) {
  const pointer = core._malloc(Math.max(bytes.length, 1));
  core.HEAPU8.set(bytes, pointer);
  try { return use(pointer); } finally { core._free(pointer); }
}

// Calls `use` with the game's leading bytes in the core's memory, as many as `bytesCall` asks for, as
// the page hands them over: (data, size, file length, name, options).
function withGame(core, folder, name, options, bytesCall, use) {
  const file = readFileSync(join(folder, name));
  return call(core, name, (namePointer) => call(core, options, (optionPointer) => {
    const field = file.subarray(0, 4);
    const count = withBytes(core, field, (pointer) =>
      core[bytesCall](pointer, field.length, file.length, namePointer, optionPointer) >>> 0);
    assert.ok(count <= file.length, `${name}: ${count} bytes asked of ${file.length}`);
    const leading = file.subarray(0, count);
    return withBytes(core, leading, (data) => use(data, leading.length, file.length, namePointer, optionPointer));
  }));
}

// Describes and extracts every game the folder gets from `write` as the page does, and compares.
async function compareWithCommandLine(write) {
  const folder = scratch();
  try {
    write(folder);
    const core = await createVelkorin();
    const salvaged = nativeList(folder, '--salvage');
    for (const salvaging of [[], ['--salvage']]) {
      const salvage = `salvage=${salvaging.length}`;
      const listed = nativeList(folder, ...salvaging);
      for (const [name, expected] of listed) {
        const described = withGame(core, folder, name, salvage, '_velkorin_bytes_to_describe', (...args) =>
          JSON.parse(core.UTF8ToString(core._velkorin_describe(...args))));
        assert.deepEqual(comparable(described.game), comparable(expected), `${name} ${salvage}`);
        assert.equal(described.salvageable, !salvaging.length && expected.status === 'broken'
          && salvaged.get(name).status !== 'broken', `${name} salvageable`);
        if (described.game.status !== 'ok') continue;
        for (const names of ['standard', 'full']) {
          const count = withGame(core, folder, name, `names=${names};${salvage}`, '_velkorin_bytes_to_extract',
            (data, size, length, namePointer, optionPointer) =>
              core._velkorin_extract(data, size, length, namePointer, 0, optionPointer));
          assert.equal(count, described.game.scripts.length, name);
          for (let n = 0; n < count; ++n) {
            const at = core._velkorin_script_text(n);
            const bytes = Buffer.from(core.HEAPU8.subarray(at, at + core._velkorin_script_size(n)));
            const expectedBytes = nativeScript(join(folder, name), n + 1, names, ...salvaging).bytes;
            assert.ok(bytes.equals(expectedBytes), `${name} script ${n + 1} ${names} ${salvage}`);
          }
        }
      }
    }
  } finally {
    rmSync(folder, { recursive: true, force: true });
  }
}

test('the core describes and extracts every game as the command line does', { timeout: 600000 }, async () => {
  await compareWithCommandLine(writeAllGames);
});

test('the core reads games of unusual framing and deflate streams as the command line does', { timeout: 300000 },
  async () => {
    await compareWithCommandLine(writeStreamCases);
  });
