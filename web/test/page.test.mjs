// The built page in Debian's chromium, headless, opened from disk as a player opens it: the list of
// the corpus games as `velkorin list` shows it, every script saved byte for byte as `velkorin
// extract` writes it, the zip as `velkorin extract-all` names it, the messages for bad files, no
// request but for the page's own files, no error in the console.
import assert from 'node:assert/strict';
import { copyFileSync, existsSync, mkdirSync, readFileSync, readdirSync, rmSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { after, before, test } from 'node:test';
import { pathToFileURL } from 'node:url';

import { unzipSync } from 'fflate';
import puppeteer from 'puppeteer-core';

import { corpusDir, corpusGames, hasCorpus, nativeList, nativeScript, pageDir, scratch, velkorin,
  writeSyntheticGames } from './kit.mjs';

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
async function openPage() {
  const page = await browser.newPage();
  const seen = { requests: [], errors: [], downloads: tempDir() };
  page.on('request', (request) => seen.requests.push(request.url()));
  page.on('console', (message) => { if (message.type() === 'error') seen.errors.push(message.text()); });
  page.on('pageerror', (error) => seen.errors.push(error.message));
  const session = await page.createCDPSession();
  await session.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: seen.downloads });
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
    const { page, seen } = session;
    await giveFiles(page, corpusGames().map((name) => join(corpusDir, name)), [...nativeList(corpusDir).keys()]);
    const games = await rows(page);
    assert.equal(listText(corpusDir, games), velkorin('list', corpusDir).toString());
    // Salvaging reads every game again: the list becomes that of `velkorin list --salvage`, and back.
    for (const salvage of [['--salvage'], []]) {
      await page.click('#salvage');
      const expected = velkorin('list', corpusDir, ...salvage).toString();
      for (let waited = 0; waited < 30000 && listText(corpusDir, await rows(page)) !== expected; waited += 100) {
        await new Promise((resolve) => setTimeout(resolve, 100));
      }
      assert.equal(listText(corpusDir, await rows(page)), expected);
    }

    const listed = nativeList(corpusDir);
    for (const names of ['standard', 'full']) {
      await page.select('#names', names);
      for (const [index, game] of games.entries()) {
        const count = listed.get(game.name).scripts.length;
        for (let n = 1; n <= count; ++n) {
          await page.click(`.game:nth-child(${index + 1}) .scripts button:nth-child(${n})`);
          await page.waitForFunction((title) => document.querySelector('#script-title').textContent.startsWith(title)
            && document.querySelector('.game button[aria-pressed="true"]'), {}, `${game.name} — script ${n} of`);
          await page.click('#download');
          const file = `${game.name.replace(/\.[^.]*$/, '')}${n === 1 ? '' : `-${n}`}.per`;
          const saved = await waitForDownload(seen.downloads, file);
          assert.ok(readFileSync(saved).equals(nativeScript(join(corpusDir, game.name), n, names)), `${file} ${names}`);
          rmSync(saved);
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
  assert.equal(listText(folder, games), velkorin('list', folder).toString());
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
