// What the page's tests share: where things are, the games they read, and the native command line
// they compare with.
import { execFileSync, spawnSync } from 'node:child_process';
import { copyFileSync, existsSync, mkdtempSync, readFileSync, readdirSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { deflateRawSync } from 'node:zlib';

export const root = resolve(dirname(fileURLToPath(import.meta.url)), '..', '..');
export const corpusDir = resolve(root, '..', 'shared', 'corpus');
// VELKORIN_NO_CORPUS=1 runs the tests as a clone without ../shared runs them.
export const hasCorpus = !process.env.VELKORIN_NO_CORPUS && existsSync(corpusDir);
export const cli = process.env.VELKORIN_CLI || join(root, 'build', 'native', 'cli', 'velkorin');
export const pageDir = process.env.VELKORIN_PAGE || join(root, 'build', 'page');
export const coreModule = join(root, 'build', 'web', 'web', 'velkorin.js');
export const sampleGame = join(root, 'samples', 'sample.mgx');
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

// `velkorin list`'s heading and its line for each game, without the lines indented under a game.
export function nativeListLines(folder, ...options) {
  return velkorin('list', folder, ...options).toString().split('\n').filter((line) => !line.startsWith('  ')).join('\n');
}

export function scratch() {
  return mkdtempSync(join(tmpdir(), 'velkorin-web-test-'));
}

// Script `number` (from 1) of the game as `velkorin extract` writes it, and what it says of the game
// on standard error, after "velkorin: GAME: ".
export function nativeScript(path, number, names, ...options) {
  const dir = scratch();
  try {
    const run = spawnSync(cli, ['extract', path, '--script', String(number), '--names', names, ...options,
      '-o', join(dir, 'out.per')], { encoding: 'utf8' });
    if (run.status !== 0) throw new Error(`velkorin extract ${path}: ${run.stderr}`);
    return { bytes: readFileSync(join(dir, 'out.per')), said: run.stderr.replace(/^velkorin: .*?\.mg.: /s, '').trimEnd() };
  } finally {
    rmSync(dir, { recursive: true, force: true });
  }
}

// The recorded games of the test kit (tests/testkit/TestGames.cpp), written into the folder.
export function writeTestGames(dir) {
  execFileSync(testGamesProgram, [dir]);
}

// The games a test of everything reads: the test kit's, the bundled sample and, when present, the
// corpus's.
export function writeAllGames(dir) {
  writeTestGames(dir);
  copyFileSync(sampleGame, join(dir, 'sample.mgx'));
  for (const name of corpusGames()) copyFileSync(join(corpusDir, name), join(dir, name));
}

// The compressed header framed for a file with an 8-byte preamble (4 for *.mgl), its header-length
// field `length` (by default the preamble's and the header's), followed by `rest`.
function frame(bytes, { preamble = 8, length = preamble + bytes.length, rest = Buffer.alloc(0) } = {}) {
  const head = Buffer.alloc(preamble);
  head.writeUInt32LE(length, 0);
  return Buffer.concat([head, bytes, rest]);
}

// Games whose framing or deflate stream is out of the ordinary, each a case where two ways of reading
// a game could part.
export function writeStreamCases(dir) {
  const body = deflateRawSync(Buffer.concat([Buffer.from('VER 9.4\0'), Buffer.alloc(4000)]));
  const garbage = Buffer.alloc(300, 0x5a);
  const cases = {
    'cut-short.mgx': frame(body.subarray(0, body.length - 3)),
    'corrupt.mgx': frame(Buffer.concat([body.subarray(0, 2), Buffer.alloc(8, 0xff), body.subarray(10)])),
    'empty-stream.mgx': frame(deflateRawSync(Buffer.alloc(0))),
    'one-byte.mgx': frame(Buffer.from([0x03])),
    'at-the-limit.mgx': frame(deflateRawSync(Buffer.alloc(64 << 20))),
    'beyond-the-limit.mgx': frame(deflateRawSync(Buffer.alloc((64 << 20) + 1))),
    'trailing-bytes.mgx': frame(Buffer.concat([body, garbage])),
    'length-0-then-more.mgx': frame(body, { length: 0, rest: garbage }),
    'length-0-cut-short.mgz': frame(body.subarray(0, body.length - 3), { length: 0 }),
    'length-past-the-end.mgx': frame(body, { length: 9 + body.length }),
    'length-too-small.mgx': frame(body, { length: 8 }),
    'four-byte-preamble.mgl': frame(body, { preamble: 4 }),
    'too-short.mgx': Buffer.from([0, 0, 0]),
    'nothing.mgx': Buffer.alloc(0),
  };
  for (const [name, bytes] of Object.entries(cases)) writeFileSync(join(dir, name), bytes);
}
