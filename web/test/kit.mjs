// What the page's tests share: where things are, the games they read, and the native command line
// they compare with.
import { execFileSync, spawnSync } from 'node:child_process';
import { copyFileSync, existsSync, mkdtempSync, readFileSync, readdirSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

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
