// Pictures of the page with a script open: build/screenshots/page.png (desktop, light theme) and
// page-phone-dark.png (360 px wide, dark theme), from the corpus, or the bundled sample without it;
// names read as GBK, which the corpus's computer players are named in.
import { existsSync, mkdirSync, readdirSync } from 'node:fs';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

import puppeteer from 'puppeteer-core';

const root = resolve(dirname(fileURLToPath(import.meta.url)), '..');
const pageDir = process.argv[2] || join(root, 'build', 'page');
const outDir = join(root, 'build', 'screenshots');
const corpus = resolve(root, '..', 'shared', 'corpus');
const games = existsSync(corpus) ? readdirSync(corpus).filter((name) => /\.mg.$/i.test(name)).map((name) => join(corpus, name))
  : [join(root, 'samples', 'sample.mgx')];
mkdirSync(outDir, { recursive: true });

const browser = await puppeteer.launch({ executablePath: '/usr/bin/chromium', headless: true,
  args: process.getuid() === 0 ? ['--no-sandbox'] : [] });
for (const { file, width, height, scheme } of [
  { file: 'page.png', width: 900, height: 760, scheme: 'light' },
  { file: 'page-phone-dark.png', width: 360, height: 740, scheme: 'dark' }]) {
  const page = await browser.newPage();
  await page.setViewport({ width, height });
  await page.emulateMediaFeatures([{ name: 'prefers-color-scheme', value: scheme }]);
  await page.goto(pathToFileURL(join(pageDir, 'index.html')).href);
  await page.waitForFunction(() => !document.querySelector('#encoding').disabled);
  await page.select('#encoding', 'gbk');
  await (await page.$('#files')).uploadFile(...games);
  await page.waitForFunction(() => !document.querySelector('.game .pending') && document.querySelector('#progress-line').hidden
    && document.querySelector('.game .scripts button'), { timeout: 60000 });
  const buttons = await page.$$('.game .scripts button');
  await buttons[Math.min(1, buttons.length - 1)].click();
  await page.waitForSelector('#script-view:not([hidden]) .ln');
  await page.type('#search', 'sn-');
  await page.keyboard.press('Enter');
  await page.evaluate(() => document.querySelector('.game button[aria-pressed="true"]').closest('.game').scrollIntoView());
  await page.screenshot({ path: join(outDir, file) });
  console.log(join(outDir, file));
  await page.close();
}
await browser.close();
