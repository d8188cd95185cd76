// The core as WebAssembly under node, over the test kit's games, the sample and the corpus when
// present: the same descriptions as `velkorin list --json` and the same script bytes as `velkorin
// extract`, salvaged or not.
import assert from 'node:assert/strict';
import { readFileSync, rmSync } from 'node:fs';
import { createRequire } from 'node:module';
import { join } from 'node:path';
import { test } from 'node:test';

import { coreModule, nativeList, nativeScript, scratch, writeAllGames } from './kit.mjs';

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

function withGame(core, folder, name, options, use) {
  const bytes = readFileSync(join(folder, name));
  const data = core._malloc(bytes.length);
  core.HEAPU8.set(bytes, data);
  try {
    return call(core, name, (namePointer) => call(core, options, (optionPointer) => use(data, bytes.length, namePointer, optionPointer)));
  } finally {
    core._free(data);
  }
}

test('the core describes and extracts every game as the command line does', { timeout: 600000 }, async () => {
  const folder = scratch();
  try {
    writeAllGames(folder);
    const core = await createVelkorin();
    for (const salvaging of [[], ['--salvage']]) {
      const salvage = `salvage=${salvaging.length}`;
      const listed = nativeList(folder, ...salvaging);
      for (const name of listed.keys()) {
        const described = withGame(core, folder, name, salvage, (...args) =>
          JSON.parse(core.UTF8ToString(core._velkorin_describe(...args))));
        assert.deepEqual(comparable(described.game), comparable(listed.get(name)), name);
        if (described.game.status !== 'ok') continue;
        for (const names of ['standard', 'full']) {
          const count = withGame(core, folder, name, `names=${names};${salvage}`, (data, size, namePointer, optionPointer) =>
            core._velkorin_extract(data, size, namePointer, 0, optionPointer));
          assert.equal(count, described.game.scripts.length, name);
          for (let n = 0; n < count; ++n) {
            const at = core._velkorin_script_text(n);
            const bytes = Buffer.from(core.HEAPU8.subarray(at, at + core._velkorin_script_size(n)));
            const expected = nativeScript(join(folder, name), n + 1, names, ...salvaging).bytes;
            assert.ok(bytes.equals(expected), `${name} script ${n + 1} ${names} ${salvage}`);
          }
        }
      }
    }
  } finally {
    rmSync(folder, { recursive: true, force: true });
  }
});
