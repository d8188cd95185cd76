// The built page in Debian's chromium, headless, opened from disk as a player opens it: the list of
// the corpus games as `velkorin list` shows it, the players as `velkorin list --json` gives them,
// every script saved byte for byte as `velkorin extract` writes it, the zip as `velkorin extract-all`
// names it, the messages for bad files, no request but for the page's own files, no error in the
// console.
import assert from 'node:assert/strict';
import { copyFileSync, existsSync, mkdirSync, readFileSync, readdirSync, rmSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { after, before, test } from 'node:test';
import { pathToFileURL } from 'node:url';
import { isDeepStrictEqual } from 'node:util';

import { unzipSync } from 'fflate';
import puppeteer from 'puppeteer-core';

import { corpusDir, corpusGames, hasCorpus, nativeList, nativeScript, pageDir, scratch, velkorin,
  writeSyntheticGames, writeTestGames } from './kit.mjs';

const pageUrl = pathToFileURL(join(pageDir, 'index.html')).href;
let browser;
const dirs = [];

before(async () => {
  assert.ok(existsSync(join(pageDir, 'index.html')), `no page at ${pageDir}: run scripts/build-web ${pageDir}`);
  browser = await puppeteer.launch({ executablePath: process.env.CHROMIUM || '/usr/bin/chromium', headless: true,
    args: process.getuid && process.getuid() === 0 ? ['--no-sandbox'] : [] });
});
after(async () => {
  await browser?.close();
  for (const dir of dirs) rmSync(dir, { recursive: true, force: true });
});

function tempDir() {
  const dir = scratch();
  dirs.push(dir);
  return dir;
}

// A fresh page whose requests, console errors and downloads are kept.
async function openPage(context = browser.defaultBrowserContext()) {
  const page = await context.newPage();
  const seen = { requests: [], errors: [], downloads: tempDir() };
  page.on('request', (request) => seen.requests.push(request.url()));
  page.on('console', (message) => { if (message.type() === 'error') seen.errors.push(message.text()); });
  page.on('pageerror', (error) => seen.errors.push(error.message));
  const session = await page.createCDPSession();
  await session.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: seen.downloads,
    browserContextId: context.id });
  await page.goto(pageUrl);
  return { page, seen };
}

async function closePage({ page, seen }) {
  await page.close();
  const own = pathToFileURL(pageDir).href + '/';
  assert.deepEqual(seen.requests.filter((url) => !url.startsWith(own) && !url.startsWith('blob:')), []);
  assert.deepEqual(seen.errors, []);
}

async function giveFiles(page, paths, listed) {
  await (await page.$('#files')).uploadFile(...paths);
  await waitForList(page, listed);
}

// Until the games listed are those named, in this order, each read.
async function waitForList(page, names) {
  await page.waitForFunction((expected) => document.querySelector('#progress-line').hidden
    && !document.querySelector('.game .pending')
    && JSON.stringify([...document.querySelectorAll('.game .name')].map((name) => name.textContent)) === expected,
  { timeout: 60000 }, JSON.stringify(names));
}

// Each game's row as its fields: name, size, version, numbering, description, message.
function rows(page) {
  return page.$$eval('.game', (items) => items.map((item) => Object.fromEntries(
    ['name', 'size', 'version', 'numbering', 'description', 'message'].map((field) => [field, item.querySelector(`.${field}`)?.textContent ?? null]))));
}

// The rows laid out in the columns of `velkorin list`.
function listText(folder, games) {
  const width = (field) => Math.max(...games.map((game) => [...(game[field] ?? '')].length));
  const lines = games.map((game) => `${game.name.padEnd(width('name'))}  ${game.size.padStart(width('size'))}  `
    + `${(game.version ?? '').padEnd(width('version'))}  ${(game.numbering ?? '').padEnd(width('numbering'))}  `
    + `${game.description}`);
  return `${folder}: ${games.length} recorded game${games.length === 1 ? '' : 's'}\n${lines.join('\n')}\n`;
}

// Until what `read` gives is `expected`, for half a minute at most.
async function eventually(read, expected) {
  for (let waited = 0; waited < 30000 && !isDeepStrictEqual(await read(), expected); waited += 100) {
    await new Promise((resolve) => setTimeout(resolve, 100));
  }
  assert.deepEqual(await read(), expected);
}

// Each game's players as listed, or "players unknown", or null when it says neither.
function playerRows(page) {
  return page.$$eval('.game', (items) => items.map((item) => {
    if (item.querySelector('.players-unknown')) return 'players unknown';
    const players = [...item.querySelectorAll('.player')].map((player) => Object.fromEntries(
      ['number', 'player-name', 'type', 'civilization', 'team'].map((field) => [field, player.querySelector(`.${field}`).textContent])
        .concat([['swatch', player.querySelector('.swatch')?.title ?? null]])));
    return players.length === 0 ? null : players;
  }));
}

// The name as shown in the code page: the command line's reading, windows-1252, or node's decoder's
// of the name's bytes in another.
function nameIn(player, encoding) {
  return encoding === 'windows-1252' || !player.nameBytes ? player.name
    : new TextDecoder(encoding, { fatal: true }).decode(Uint8Array.from(player.nameBytes));
}

// The rows that `velkorin list --json`'s players make.
function expectedPlayers(game, encoding) {
  if (!game.players) return game.scripts.length > 0 ? 'players unknown' : null;
  return game.players.map((player) => ({ number: String(player.number), 'player-name': nameIn(player, encoding),
    type: player.type, civilization: player.civilizationName, team: player.team === null ? 'no team' : `team ${player.team}`,
    swatch: player.colorName }));
}

function playerOfScript(game, n) {
  return game.players?.find((player) => player.number === game.scripts[n - 1].player);
}

// The viewer's title for script n, but for its count of lines.
function expectedTitle(game, n, encoding) {
  const player = playerOfScript(game, n);
  return `${game.name} — script ${n} of ${game.scripts.length}` + (!player ? '' : `: player ${player.number}, `
    + `${nameIn(player, encoding)}, ${player.civilizationName}, ${player.colorName ?? `colour ${player.color}`}, `
    + `${player.team === null ? 'no team' : `team ${player.team}`}`);
}

function scriptTitle(page) {
  return page.$eval('#script-title', (title) => title.textContent.replace(/ \(\d+ lines\)$/, ''));
}

// Shows script n of the game in row `index` (from 0) and saves it, which must give `velkorin extract`'s bytes.
async function saveScript({ page, seen }, folder, index, name, n, names) {
  await page.click(`.game:nth-child(${index + 1}) .scripts button:nth-child(${n})`);
  await page.waitForFunction((title) => document.querySelector('#script-title').textContent.startsWith(title)
    && document.querySelector('.game button[aria-pressed="true"]'), {}, `${name} — script ${n} of`);
  await page.click('#download');
  const file = `${name.replace(/\.[^.]*$/, '')}${n === 1 ? '' : `-${n}`}.per`;
  const saved = await waitForDownload(seen.downloads, file);
  assert.ok(readFileSync(saved).equals(nativeScript(join(folder, name), n, names)), `${file} ${names}`);
  rmSync(saved);
}

// The lines of `velkorin list` for the games, without those of their players, which the page's list
// shows apart.
function gameLines(listing) {
  return listing.toString().split('\n').filter((line) => !line.startsWith('  ')).join('\n');
}

async function waitForDownload(dir, name) {
  const path = join(dir, name);
  for (let waited = 0; waited < 30000; waited += 50) {
    if (existsSync(path) && !readdirSync(dir).some((file) => file.endsWith('.crdownload'))) return path;
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
  throw new Error(`no download ${name}`);
}

test('lists the corpus games as velkorin list does, and saves every script as velkorin extract writes it',
  { skip: !hasCorpus, timeout: 600000 }, async () => {
    const session = await openPage();
    const { page } = session;
    await giveFiles(page, corpusGames().map((name) => join(corpusDir, name)), [...nativeList(corpusDir).keys()]);
    const games = await rows(page);
    assert.equal(listText(corpusDir, games), gameLines(velkorin('list', corpusDir)));
    const listed = nativeList(corpusDir);
    const players = (encoding) => [...listed.values()].map((game) => expectedPlayers(game, encoding));
    assert.deepEqual(await playerRows(page), players('windows-1252'));
    for (const encoding of ['gbk', 'windows-1252']) {
      await page.select('#encoding', encoding);
      await eventually(() => playerRows(page), players(encoding));
    }
    // Salvaging reads every game again: the list becomes that of `velkorin list --salvage`, and back.
    for (const salvage of [['--salvage'], []]) {
      await page.click('#salvage');
      const expected = gameLines(velkorin('list', corpusDir, ...salvage));
      await eventually(async () => listText(corpusDir, await rows(page)), expected);
    }

    for (const names of ['standard', 'full']) {
      await page.select('#names', names);
      for (const [index, game] of games.entries()) {
        for (let n = 1; n <= listed.get(game.name).scripts.length; ++n) {
          await saveScript(session, corpusDir, index, game.name, n, names);
          assert.equal(await scriptTitle(page), expectedTitle(listed.get(game.name), n, 'windows-1252'));
        }
      }
    }
    await closePage(session);
  });

test('saves every script of every game in one zip, named as velkorin extract-all names them',
  { skip: !hasCorpus, timeout: 300000 }, async () => {
    // Two games whose script files would meet in a folder that ignores case keep their extensions.
    const folder = tempDir();
    for (const name of corpusGames()) copyFileSync(join(corpusDir, name), join(folder, name));
    copyFileSync(join(corpusDir, 'matchup_1v2v2.mgx'), join(folder, 'AOC10C_with_AI.mgz'));
    const session = await openPage();
    await giveFiles(session.page, readdirSync(folder).map((name) => join(folder, name)), [...nativeList(folder).keys()]);
    await session.page.click('#download-all');
    const zip = unzipSync(readFileSync(await waitForDownload(session.seen.downloads, 'velkorin-scripts.zip')));

    const out = tempDir();
    try {
      velkorin('extract-all', folder, '-d', out);
    } catch (error) {
      assert.equal(error.status, 7, 'only the broken game fails');
    }
    const expected = readdirSync(out).sort();
    assert.deepEqual(Object.keys(zip).sort(), expected);
    assert.ok(expected.includes('AOC10C_with_AI.mgz.per'));
    for (const name of expected) assert.ok(Buffer.from(zip[name]).equals(readFileSync(join(out, name))), name);
    await closePage(session);
  });

test('dropped files: only recorded games are taken, and bad ones give their message', { timeout: 120000 }, async () => {
  const folder = tempDir();
  writeSyntheticGames(folder);
  writeFileSync(join(folder, 'notes.txt'), 'not a recorded game');
  const session = await openPage();
  const { page } = session;
  await page.setViewport({ width: 360, height: 640 });  // a phone's width: nothing may stick out
  const files = ['broken.mgx', 'no-ai.mgx', 'notes.txt'].map((name) => ({ name, data: readFileSync(join(folder, name)).toString('base64') }));
  await page.evaluate((given) => {
    const transfer = new DataTransfer();
    for (const { name, data } of given) transfer.items.add(new File([Uint8Array.from(atob(data), (c) => c.charCodeAt(0))], name));
    document.body.dispatchEvent(new DragEvent('drop', { dataTransfer: transfer, bubbles: true, cancelable: true }));
  }, files);
  await waitForList(page, ['broken.mgx', 'no-ai.mgx']);
  const games = await rows(page);
  assert.equal(listText(folder, games), gameLines(velkorin('list', folder)));
  assert.deepEqual(games.map((game) => game.message), ['Recgame file is broken', 'No AI script in this file']);
  assert.ok(await page.evaluate(() => document.documentElement.scrollWidth <= 360));

  // A file that goes away between choosing and reading cannot be opened.
  const gone = join(folder, 'gone.mgx');
  copyFileSync(join(folder, 'no-ai.mgx'), gone);
  const big = join(folder, 'big.mgl');
  writeFileSync(big, Buffer.alloc(64 << 20));
  await (await page.$('#files')).uploadFile(big, gone);
  rmSync(gone);
  await waitForList(page, ['big.mgl', 'gone.mgx']);
  const [, unreadable] = await rows(page);
  assert.equal(unreadable.message, 'File Open Error');
  assert.match(unreadable.description, /^cannot be opened: ./);
  await closePage(session);
});

test('names who played each game and whose each script is, in the code page chosen and kept over a reload',
  { timeout: 180000 }, async () => {
    const folder = tempDir();
    writeTestGames(folder);
    const listed = nativeList(folder);
    const names = [...listed.keys()];
    const players = (encoding) => [...listed.values()].map((game) => expectedPlayers(game, encoding));
    const context = await browser.createBrowserContext();  // whose choice of code page no other test sees
    const session = await openPage(context);
    const { page } = session;
    await giveFiles(page, names.map((name) => join(folder, name)), names);
    assert.equal(await page.$eval('#encoding', (choice) => choice.value), 'windows-1252');
    assert.deepEqual(await playerRows(page), players('windows-1252'));

    // Each script's button names its player, in the player's colour, and says its rules.
    const buttons = await page.$$eval('.game', (items) => items.map((item) => [...item.querySelectorAll('.scripts button')]
      .map((button) => [button.textContent, button.querySelector('.swatch')?.title ?? null, button.title])));
    assert.deepEqual(buttons, [...listed.values()].map((game) => game.scripts.map((script, n) => {
      const player = playerOfScript(game, n + 1);
      return [`Script ${n + 1}${player ? ` — player ${player.number}` : ''}`, player?.colorName ?? null, `${script.rules} rules`];
    })));
    // Each colour draws a swatch of its own.
    const drawn = new Map(await page.$$eval('.player .swatch', (swatches) => swatches.map((swatch) =>
      [swatch.title, getComputedStyle(swatch).backgroundColor])));
    const colours = new Set([...listed.values()].flatMap((game) => game.players ?? []).map((player) => player.colorName));
    colours.delete(null);
    assert.deepEqual(new Set(drawn.keys()), colours);
    assert.equal(new Set(drawn.values()).size, colours.size);
    assert.ok(![...drawn.values()].includes('rgba(0, 0, 0, 0)'));

    for (const [index, name] of names.entries()) {
      for (let n = 1; n <= listed.get(name).scripts.length; ++n) {
        await saveScript(session, folder, index, name, n, 'standard');
        assert.equal(await scriptTitle(page), expectedTitle(listed.get(name), n, 'windows-1252'));
      }
    }
    // Another code page shows the names anew at once, the open script's title too, without reading
    // the games again: they are gone from the disk by now.
    const games = [...listed.values()];
    const beyondAscii = (game) => (_, n) => playerOfScript(game, n + 1)?.nameBytes;
    const index = games.findIndex((game) => game.scripts.some(beyondAscii(game)));
    const shownGame = games[index];
    const script = shownGame.scripts.findIndex(beyondAscii(shownGame)) + 1;
    await saveScript(session, folder, index, shownGame.name, script, 'standard');
    for (const name of names) rmSync(join(folder, name));
    for (const encoding of ['gbk', 'windows-1252', 'gbk']) {
      await page.select('#encoding', encoding);
      await eventually(() => playerRows(page), players(encoding));
      await eventually(() => scriptTitle(page), expectedTitle(shownGame, script, encoding));
    }

    // The browser keeps the choice for the page opened from disk.
    await page.reload();
    await page.waitForFunction(() => !document.querySelector('#encoding').disabled);
    assert.equal(await page.$eval('#encoding', (choice) => choice.value), 'gbk');
    writeTestGames(folder);
    await giveFiles(page, names.map((name) => join(folder, name)), names);
    assert.deepEqual(await playerRows(page), players('gbk'));
    await closePage(session);
    await context.close();
  });
