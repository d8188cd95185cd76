// The built page in Debian's chromium, headless, opened from disk as a player opens it, over the test
// kit's games, the sample and the corpus when present: the list as `velkorin list` shows it, the
// players as `velkorin list --json` gives them, salvage where it reads a game, every script saved byte
// for byte as `velkorin extract` writes it, the zip as `velkorin extract-all` names it, names that
// disguise themselves shown escaped, the panes and the keyboard over many games, no request but for the
// page's own files, no error in the console.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { copyFileSync, existsSync, mkdirSync, readFileSync, readdirSync, rmSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { after, before, test } from 'node:test';
import { pathToFileURL } from 'node:url';
import { isDeepStrictEqual } from 'node:util';

import { unzipSync } from 'fflate';
import puppeteer from 'puppeteer-core';

import { cli, nativeList, nativeListLines, nativeScript, pageDir, sampleGame, scratch, velkorin, writeAllGames,
  writeTestGames } from './kit.mjs';

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

// A fresh page whose requests, console errors and downloads are kept. The browser saves each download
// under an id of its own, since it would change a name it cannot write; the page's name for it is kept
// as the page asked for it.
async function openPage(context = browser.defaultBrowserContext()) {
  const page = await context.newPage();
  const seen = { requests: [], errors: [], downloads: tempDir(), completed: [], taken: 0 };
  page.on('request', (request) => seen.requests.push(request.url()));
  page.on('console', (message) => { if (message.type() === 'error') seen.errors.push(message.text()); });
  page.on('pageerror', (error) => seen.errors.push(error.message));
  await page.evaluateOnNewDocument(() => {
    const click = HTMLAnchorElement.prototype.click;
    HTMLAnchorElement.prototype.click = function keepName() {
      window.savedAs = [...(window.savedAs ?? []), this.download];
      click.call(this);
    };
  });
  const session = await page.createCDPSession();
  session.on('Browser.downloadProgress', (event) => { if (event.state === 'completed') seen.completed.push(event.guid); });
  await session.send('Browser.setDownloadBehavior', { behavior: 'allowAndName', downloadPath: seen.downloads,
    browserContextId: context.id, eventsEnabled: true });
  await page.goto(pageUrl);
  await page.waitForFunction(() => !document.querySelector('#encoding').disabled);
  return { page, seen, session };
}

async function closePage({ page, seen }) {
  await page.close();
  const own = pathToFileURL(pageDir).href + '/';
  assert.deepEqual(seen.requests.filter((url) => !url.startsWith(own) && !url.startsWith('blob:')), []);
  assert.deepEqual(seen.errors, []);
}

// The next download: the name the page gave it and its bytes.
async function nextDownload({ page, seen }) {
  for (let waited = 0; seen.completed.length <= seen.taken; waited += 50) {
    if (waited > 30000) throw new Error('no download');
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
  const guid = seen.completed[seen.taken];
  const name = await page.evaluate((n) => window.savedAs[n], seen.taken++);
  return { name, bytes: readFileSync(join(seen.downloads, guid)) };
}

async function giveFiles(page, paths) {
  await (await page.$('#files')).uploadFile(...paths);
  await waitForList(page, paths.length);
}

// Until `count` games are listed, each read.
async function waitForList(page, count) {
  await page.waitForFunction((expected) => document.querySelector('#progress-line').hidden
    && !document.querySelector('.game .pending') && document.querySelectorAll('.game').length === expected,
  { timeout: 120000 }, count);
}

// Files made in the page, dropped on it as a script drops them: [{name, base64}].
async function dropMade(page, files) {
  await page.evaluate((given) => {
    const transfer = new DataTransfer();
    for (const { name, data } of given) transfer.items.add(new File([Uint8Array.from(atob(data), (c) => c.charCodeAt(0))], name));
    document.body.dispatchEvent(new DragEvent('drop', { dataTransfer: transfer, bubbles: true, cancelable: true }));
  }, files.map(({ name, bytes }) => ({ name, data: Buffer.from(bytes).toString('base64') })));
}

// Each game's row as its fields: name, size (its exact bytes), version, numbering, description, message.
function rows(page) {
  return page.$$eval('.game', (items) => items.map((item) => ({
    ...Object.fromEntries(['name', 'version', 'numbering', 'description', 'message']
      .map((field) => [field, item.querySelector(`.${field}`)?.textContent ?? null])),
    size: item.querySelector('.size').title.replace(/\D/g, ''),
  })));
}

// The rows laid out in the columns of `velkorin list`, which are as wide as their characters are many
// (where padEnd counts UTF-16 code units).
function listText(folder, games) {
  const length = (text) => [...(text ?? '')].length;
  const width = (field) => Math.max(...games.map((game) => length(game[field])));
  const column = (game, field) => `${game[field] ?? ''}${' '.repeat(width(field) - length(game[field]))}`;
  const lines = games.map((game) => `${column(game, 'name')}  ${game.size.padStart(width('size'))}  `
    + `${column(game, 'version')}  ${column(game, 'numbering')}  ${game.description}`);
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

// The viewer's title for script n of the game shown as `shown`, but for its count of lines.
function expectedTitle(shown, game, n, encoding) {
  const player = playerOfScript(game, n);
  return `${shown} — script ${n} of ${game.scripts.length}` + (!player ? '' : `: player ${player.number}, `
    + `${nameIn(player, encoding)}, ${player.civilizationName}, ${player.colorName ?? `colour ${player.color}`}, `
    + `${player.team === null ? 'no team' : `team ${player.team}`}`);
}

function scriptTitle(page) {
  return page.$eval('#script-title', (title) => title.textContent);
}

// Clicks the control once it is in view and drawn: rows out of sight are laid out only as they come
// into view, which moves what follows them, as a user who clicks what is shown never sees.
async function clickInView(page, selector) {
  const control = await page.$(selector);
  await control.evaluate((element) => element.scrollIntoView({ block: 'center' }));
  await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve))));
  await control.click();
}

async function showScript(page, index, n, title) {
  await clickInView(page, `.game:nth-child(${index + 1}) .scripts button:nth-child(${n})`);
  await page.waitForFunction((start) => document.querySelector('#script-title').textContent.startsWith(start)
    && / \(\d+ lines?\)$/.test(document.querySelector('#script-title').textContent), {}, title);
}

function lineCount(bytes) {
  return bytes.toString('latin1').split('\r\n').length - 1;
}

// Clicks every "Try to salvage" in turn, each reading its game again.
async function salvageAll(page, count) {
  for (let button; (button = await page.$('.game .salvage'));) {
    await button.click();
    await waitForList(page, count);
  }
}

// `velkorin extract-all` of the folder: the names and bytes of the scripts it writes. Broken games make
// it end with status 7.
function nativeExtractAll(folder, ...options) {
  const out = tempDir();
  const run = spawnSync(cli, ['extract-all', folder, '-d', out, ...options]);
  assert.ok(run.status === 0 || run.status === 7, run.stderr.toString());
  return Object.fromEntries(readdirSync(out).sort().map((name) => [name, readFileSync(join(out, name))]));
}

function zipEntries(bytes) {
  return Object.fromEntries(Object.entries(unzipSync(bytes)).sort(([a], [b]) => (a < b ? -1 : 1))
    .map(([name, data]) => [name, Buffer.from(data)]));
}

test('lists the games as velkorin list does, salvages those it can, and saves every script as velkorin extract writes it',
  { timeout: 900000 }, async () => {
    const folder = tempDir();
    writeAllGames(folder);
    const listed = nativeList(folder);
    const salvaged = nativeList(folder, '--salvage');
    const session = await openPage();
    const { page } = session;
    await giveFiles(page, [...listed.keys()].map((name) => join(folder, name)));
    assert.equal(listText(folder, await rows(page)), nativeListLines(folder));
    const players = (encoding) => [...listed.values()].map((game) => expectedPlayers(game, encoding));
    assert.deepEqual(await playerRows(page), players('windows-1252'));
    for (const encoding of ['gbk', 'windows-1252']) {
      await page.select('#encoding', encoding);
      await eventually(() => playerRows(page), players(encoding));
    }

    // Salvage is offered where it reads a game that is broken without it, and then lists it as
    // `velkorin list --salvage` does.
    const salvageable = [...listed.values()].map((game) => game.status === 'broken' && salvaged.get(game.name).status !== 'broken');
    assert.ok(salvageable.filter(Boolean).length >= 2);
    assert.deepEqual(await page.$$eval('.game', (items) => items.map((item) => !!item.querySelector('.salvage'))), salvageable);
    await salvageAll(page, listed.size);
    const games = await rows(page);
    assert.equal(listText(folder, games), nativeListLines(folder, '--salvage'));

    for (const names of ['standard', 'full']) {
      await page.select('#names', names);
      for (const [index, game] of [...salvaged.values()].entries()) {
        for (let n = 1; n <= game.scripts.length; ++n) {
          const salvaging = salvageable[index] ? ['--salvage'] : [];
          const expected = nativeScript(join(folder, game.name), n, names, ...salvaging);
          const title = expectedTitle(games[index].name, game, n, 'windows-1252');
          await showScript(page, index, n, title);
          const count = lineCount(expected.bytes);
          assert.equal(await scriptTitle(page), `${title} (${count} ${count === 1 ? 'line' : 'lines'})`);
          const note = salvageable[index] ? `Salvaged: ${expected.said || 'read as velkorin extract --salvage reads it'}` : expected.said;
          assert.equal(await page.$eval('#script-note', (line) => (line.hidden ? '' : line.textContent)), note, title);
          await page.click('#download');
          const saved = await nextDownload(session);
          assert.equal(saved.name, `${game.name.replace(/\.[^.]*$/, '')}${n === 1 ? '' : `-${n}`}.per`);
          assert.ok(saved.bytes.equals(expected.bytes), `${saved.name} ${names}`);
        }
      }
    }
    await closePage(session);
  });

test('saves every script of every game in one zip, named and written as velkorin extract-all writes them, salvaged or not',
  { timeout: 300000 }, async () => {
    // Two games whose script files would meet in a folder that ignores case keep their extensions.
    const folder = tempDir();
    writeAllGames(folder);
    copyFileSync(join(folder, 'players.mgx'), join(folder, 'PLAYERS.mgz'));
    const session = await openPage();
    const { page } = session;
    const count = nativeList(folder).size;
    await giveFiles(page, readdirSync(folder).map((name) => join(folder, name)));
    for (const salvage of [[], ['--salvage']]) {
      if (salvage.length > 0) await salvageAll(page, count);
      await page.click('#download-all');
      const zip = zipEntries((await nextDownload(session)).bytes);
      const expected = nativeExtractAll(folder, ...salvage);
      assert.deepEqual(zip, expected);
      assert.ok('PLAYERS.mgz.per' in expected);
    }
    await closePage(session);
  });

test('two games of one name in two folders are listed with their folders and zipped under names of their own',
  { timeout: 120000 }, async () => {
    const folder = tempDir();
    writeTestGames(folder);
    const parent = join(folder, 'two');
    const games = { a: 'players.mgx', b: 'players-unknown.mgx' };
    for (const [sub, game] of Object.entries(games)) {
      mkdirSync(join(parent, sub), { recursive: true });
      copyFileSync(join(folder, game), join(parent, sub, 'game.mgx'));
    }
    const ways = [
      // Dropped as the system drops folders, which the page opens itself.
      { listed: ['a/game.mgx', 'b/game.mgx'], give: (session) => dropFromSystem(session, ['a', 'b'].map((sub) => join(parent, sub))) },
      { listed: ['two/a/game.mgx', 'two/b/game.mgx'], give: ({ page }) => page.$('#folder').then((input) => input.uploadFile(parent)) },
    ];
    for (const { listed, give } of ways) {
      const session = await openPage();
      await give(session);
      await waitForList(session.page, listed.length);
      assert.deepEqual((await rows(session.page)).map((game) => game.name), listed);
      await session.page.click('#download-all');
      const zip = zipEntries((await nextDownload(session)).bytes);
      const script = (sub, n) => nativeScript(join(parent, sub, 'game.mgx'), n, 'standard').bytes;
      assert.deepEqual(zip, { 'game.mgx-2.per': script('a', 2), 'game.mgx-3.per': script('a', 3), 'game.mgx.per': script('a', 1),
        'game.mgx~2-2.per': script('b', 2), 'game.mgx~2.per': script('b', 1) });
      await closePage(session);
    }
  });

// A drop from outside the page, of files and folders on disk.
async function dropFromSystem({ session }, paths) {
  const data = { items: [], files: paths, dragOperationsMask: 1 };
  for (const type of ['dragEnter', 'dragOver', 'drop']) await session.send('Input.dispatchDragEvent', { type, x: 50, y: 50, data });
}

test('dropped files: only recorded games are taken, and bad ones give their message', { timeout: 120000 }, async () => {
  const made = tempDir();
  writeTestGames(made);
  const folder = tempDir();
  for (const name of ['broken.mgx', 'no-ai.mgx']) copyFileSync(join(made, name), join(folder, name));
  const session = await openPage();
  const { page } = session;
  await page.setViewport({ width: 360, height: 640 });  // a phone's width: nothing may stick out
  await dropMade(page, [...readdirSync(folder).map((name) => ({ name, bytes: readFileSync(join(folder, name)) })),
    { name: 'notes.txt', bytes: Buffer.from('not a recorded game') }]);
  await waitForList(page, 2);
  const games = await rows(page);
  assert.equal(listText(folder, games), nativeListLines(folder));
  assert.deepEqual(games.map((game) => game.message), ['Recgame file is broken', 'No AI script in this file']);
  assert.ok(await page.evaluate(() => document.documentElement.scrollWidth <= 360));

  // A file that cannot be read cannot be opened: here a folder under a game's name, which no
  // reading can get ahead of, however busy the machine.
  const gone = join(folder, 'gone.mgx');
  mkdirSync(gone);
  const big = join(folder, 'big.mgl');
  writeFileSync(big, Buffer.alloc(64 << 20));
  await (await page.$('#files')).uploadFile(big, gone);
  await waitForList(page, 2);
  const [, unreadable] = await rows(page);
  assert.equal(unreadable.name, 'gone.mgx');
  assert.equal(unreadable.message, 'File Open Error');
  assert.match(unreadable.description, /^cannot be opened: ./);
  await closePage(session);
});

// Names that would read as others, or carry control characters, each with how the page must show it:
// as `velkorin list` does.
const u = (code) => String.fromCodePoint(code);
const disguisingNames = [0x061C, 0x200B, 0x200C, 0x200D, 0x200E, 0x200F, 0x202A, 0x202B, 0x202C, 0x202D, 0x202E,
  0x2060, 0x2061, 0x2062, 0x2063, 0x2064, 0x2066, 0x2067, 0x2068, 0x2069, 0xFEFF]
  .map((code) => [`a${u(code)}gpj.mgx`, `a\\u${code.toString(16).padStart(4, '0')}gpj.mgx`]);
const strangeNames = [
  ...disguisingNames,
  ['tab\tline\nbell\u0007esc\u001b[2J\u0001.mgx', 'tab\\tline\\nbell\\aesc\\033[2J\\001.mgx'],
  ['del\u007fc1\u0080\u0085\u009b\u009f.mgx', 'del\\177c1\\302\\200\\302\\205\\302\\233\\302\\237.mgx'],
  // Beside the characters escaped, and the rest of the world's text, which stays as it is.
  ['\u200a\u2010\u202f\u2065\u206a\u00a0\\ back.mgx', '\u200a\u2010\u202f\u2065\u206a\u00a0\\ back.mgx'],
  ['देवनागरी 😀.mgx', 'देवनागरी 😀.mgx'],
];

test('a stranger\'s name is shown escaped in the list, the progress, the script\'s title and a message', { timeout: 180000 }, async () => {
  const session = await openPage();
  const { page } = session;
  await page.evaluate(() => {
    window.progressTexts = [];
    new MutationObserver(() => window.progressTexts.push(document.querySelector('#progress-text').textContent))
      .observe(document.querySelector('#progress-text'), { childList: true, characterData: true, subtree: true });
  });
  const sample = readFileSync(sampleGame);
  const broken = Buffer.alloc(20);
  await dropMade(page, strangeNames.flatMap(([name]) => [{ name, bytes: sample }, { name: `broken ${name}`, bytes: broken }]));
  await waitForList(page, strangeNames.length * 2);
  const listedNames = (await rows(page)).map((game) => game.name);
  const shownNames = strangeNames.flatMap(([, shown]) => [shown, `broken ${shown}`]);
  assert.deepEqual([...listedNames].sort(), [...shownNames].sort());
  const progress = await page.evaluate(() => window.progressTexts);
  assert.deepEqual(shownNames.filter((shown) => !progress.some((text) => text.startsWith(`Reading ${shown} (`))), []);
  for (const [, shown] of strangeNames) {
    await showScript(page, listedNames.indexOf(shown), 1, `${shown} — script 1 of 1`);
  }
  await page.click('#download-all');
  await nextDownload(session);
  const status = await page.$eval('#status', (line) => line.textContent);
  assert.deepEqual(strangeNames.filter(([, shown]) => !status.includes(`broken ${shown}`)), []);
  await closePage(session);
});

test('sizes are shown as a file manager shows them, and exactly on hover', { timeout: 60000 }, async () => {
  const sizes = [[0, '0 bytes', '0 bytes'], [1, '1 byte', '1 byte'], [999, '999 bytes', '999 bytes'],
    [1000, '1.0 kB', '1,000 bytes'], [1049, '1.0 kB', '1,049 bytes'], [1050, '1.1 kB', '1,050 bytes'],
    [919603, '919.6 kB', '919,603 bytes'], [999949, '999.9 kB', '999,949 bytes'], [999950, '1.0 MB', '999,950 bytes'],
    [2632997, '2.6 MB', '2,632,997 bytes']];
  const session = await openPage();
  const { page } = session;
  await dropMade(page, sizes.map(([size]) => ({ name: `${String(size).padStart(8, '0')}.mgx`, bytes: Buffer.alloc(size) })));
  await waitForList(page, sizes.length);
  const shown = await page.$$eval('.game .size', (cells) => cells.map((cell) => [cell.textContent, cell.title]));
  assert.deepEqual(shown, sizes.map(([, text, exact]) => [text, exact]));
  await closePage(session);
});

// The window's rectangle holds the element's.
function inWindow(page, selector) {
  return page.$eval(selector, (element) => {
    const box = element.getBoundingClientRect();
    return box.height > 0 && box.top >= 0 && box.left >= 0 && box.bottom <= window.innerHeight && box.right <= window.innerWidth;
  });
}

function focusedText(page) {
  return page.evaluate(() => {
    const focused = document.activeElement;
    return focused.matches('.game') ? focused.querySelector('.name').textContent : focused.textContent;
  });
}

test('many games: the list and the script scroll in panes of their own, and the keyboard moves through the list',
  { timeout: 180000 }, async () => {
    const folder = tempDir();
    writeTestGames(folder);
    const sample = readFileSync(sampleGame);
    const many = Array.from({ length: 200 }, (_, i) => ({ name: `game-${String(i + 1).padStart(3, '0')}.mgx`, bytes: sample }));
    const players = { name: 'players.mgx', bytes: readFileSync(join(folder, 'players.mgx')) };
    for (const viewport of [{ width: 1280, height: 800 }, { width: 390, height: 740 }]) {
      const session = await openPage();
      const { page } = session;
      await page.setViewport(viewport);
      await dropMade(page, [...many, players]);
      await waitForList(page, 201);

      await page.focus('.game');
      for (const key of ['ArrowDown', 'ArrowDown', 'ArrowDown', 'ArrowUp']) await page.keyboard.press(key);
      assert.equal(await focusedText(page), 'game-003.mgx');
      await page.keyboard.press('End');
      await page.keyboard.press('ArrowUp');
      assert.equal(await focusedText(page), 'game-200.mgx');
      await page.keyboard.press('Enter');
      await page.waitForFunction(() => / \(\d+ lines\)$/.test(document.querySelector('#script-title').textContent));
      assert.match(await scriptTitle(page), /^game-200\.mgx — script 1 of 1\b/);
      for (const selector of ['.game:focus', '#script-title', '#download', '#search', '.ln']) {
        assert.ok(await inWindow(page, selector), `${selector} at ${viewport.width}×${viewport.height}`);
      }
      assert.equal(await page.evaluate(() => document.scrollingElement.scrollTop), 0);

      // Enter on a script's button opens that script; the arrows go on from the game it belongs to.
      await page.keyboard.press('End');
      await page.keyboard.press('Tab');
      await page.keyboard.press('Tab');
      assert.match(await focusedText(page), /^Script 2/);
      await page.keyboard.press('Enter');
      await page.waitForFunction(() => document.querySelector('#script-title').textContent.startsWith('players.mgx — script 2 of 3'));
      await page.keyboard.press('ArrowUp');
      assert.equal(await focusedText(page), 'game-200.mgx');
      await page.keyboard.press('Home');
      assert.equal(await focusedText(page), 'game-001.mgx');
      await closePage(session);
    }
  });

test('names who played each game and whose each script is, in the code page chosen and kept over a reload',
  { timeout: 180000 }, async () => {
    const folder = tempDir();
    writeTestGames(folder);
    const listed = new Map([...nativeList(folder)].filter(([, game]) => game.players || game.status === 'ok' && game.scripts.length > 1));
    const names = [...listed.keys()];
    const players = (encoding) => [...listed.values()].map((game) => expectedPlayers(game, encoding));
    const context = await browser.createBrowserContext();  // whose choice of code page no other test sees
    const session = await openPage(context);
    const { page } = session;
    await giveFiles(page, names.map((name) => join(folder, name)));
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

    // Another code page shows the names anew at once, the open script's title too, without reading
    // the games again: they are gone from the disk by now.
    const games = [...listed.values()];
    const beyondAscii = (game) => (_, n) => playerOfScript(game, n + 1)?.nameBytes;
    const index = games.findIndex((game) => game.scripts.some(beyondAscii(game)));
    const shownGame = games[index];
    const script = shownGame.scripts.findIndex(beyondAscii(shownGame)) + 1;
    await showScript(page, index, script, expectedTitle(shownGame.name, shownGame, script, 'windows-1252'));
    for (const name of names) rmSync(join(folder, name));
    const title = async () => (await scriptTitle(page)).replace(/ \(\d+ lines\)$/, '');
    for (const encoding of ['gbk', 'windows-1252', 'gbk']) {
      await page.select('#encoding', encoding);
      await eventually(() => playerRows(page), players(encoding));
      await eventually(title, expectedTitle(shownGame.name, shownGame, script, encoding));
    }

    // The browser keeps the choice for the page opened from disk.
    await page.reload();
    await page.waitForFunction(() => !document.querySelector('#encoding').disabled);
    assert.equal(await page.$eval('#encoding', (choice) => choice.value), 'gbk');
    writeTestGames(folder);
    await giveFiles(page, names.map((name) => join(folder, name)));
    assert.deepEqual(await playerRows(page), players('gbk'));
    await closePage(session);
    await context.close();
  });

test('the page names the program\'s version', { timeout: 60000 }, async () => {
  const session = await openPage();
  await eventually(() => session.page.$eval('h1', (heading) => heading.textContent), velkorin('--version').toString().trim()
    .replace(/^velkorin/, 'Velkorin'));
  await closePage(session);
});
