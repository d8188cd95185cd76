// What the page's tests share: where things are, and the native command line they compare with.
import { execFileSync } from 'node:child_process';
import { existsSync, mkdtempSync, readFileSync, readdirSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { deflateRawSync } from 'node:zlib';

export const root = resolve(dirname(fileURLToPath(import.meta.url)), '..', '..');
export const corpusDir = resolve(root, '..', 'shared', 'corpus');
export const hasCorpus = existsSync(corpusDir);
export const cli = process.env.VELKORIN_CLI || join(root, 'build', 'native', 'cli', 'velkorin');
export const pageDir = process.env.VELKORIN_PAGE || join(root, 'build', 'page');
export const coreModule = join(root, 'build', 'web', 'web', 'velkorin.js');
export const testGamesProgram = process.env.VELKORIN_TEST_GAMES
  || join(root, 'build', 'native', 'tests', 'testkit', 'velkorin_test_games');

export function corpusGames() {
  return hasCorpus ? readdirSync(corpusDir).filter((name) => /\.mg.$/i.test(name)).sort() : [];
}

export function velkorin(...args) {
  return execFileSync(cli, args, { maxBuffer: 1 << 30 });
}

// `velkorin list --json` of a folder, by game name.
export function nativeList(folder, ...options) {
  const { games } = JSON.parse(velkorin('list', folder, '--json', ...options).toString());
  return new Map(games.map((game) => [game.name, game]));
}

export function scratch() {
  return mkdtempSync(join(tmpdir(), 'velkorin-web-test-'));
}

// Script `number` (from 1) of the game as `velkorin extract` writes it.
export function nativeScript(path, number, names) {
  const dir = scratch();
  try {
    velkorin('extract', path, '--script', String(number), '--names', names, '-o', join(dir, 'out.per'));
    return readFileSync(join(dir, 'out.per'));
  } finally {
    rmSync(dir, { recursive: true, force: true });
  }
}

// The recorded games of the test kit (tests/testkit/TestGames.cpp), written into the folder.
export function writeTestGames(dir) {
  execFileSync(testGamesProgram, [dir]);
}

// Recorded games made here: one framed well with no AI script, one whose compressed header is damaged.
export function writeSyntheticGames(dir) {
  const body = deflateRawSync(Buffer.concat([Buffer.from('VER 9.4\0'), Buffer.alloc(4000)]));
  const frame = (bytes) => {
    const head = Buffer.alloc(8);
    head.writeUInt32LE(8 + bytes.length, 0);
    return Buffer.concat([head, bytes]);
  };
  writeFileSync(join(dir, 'no-ai.mgx'), frame(body));
  writeFileSync(join(dir, 'broken.mgx'), frame(Buffer.concat([body.subarray(0, body.length - 5), Buffer.alloc(5, 0xff)])));
}
