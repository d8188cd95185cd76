// Times the extraction of each recorded game in the page, inside its worker in headless chromium,
// against `velkorin extract` of the same game as a whole process, in the same run:
//   node bench/web-bench.mjs [PAGE_DIR] [GAME…]   (by default build/page and the shared corpus)
// Each game is extracted 15 times in the page and 75 natively, interleaved; the medians are compared.
import { execFileSync } from 'node:child_process';
import { existsSync, mkdtempSync, readdirSync, rmSync, statSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { basename, dirname, join, resolve } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const root = resolve(dirname(fileURLToPath(import.meta.url)), '..');
const puppeteer = createRequire(join(root, 'web', 'package.json'))('puppeteer-core');
const [pageDir = join(root, 'build', 'page'), ...given] = process.argv.slice(2);
const corpus = resolve(root, '..', 'shared', 'corpus');
const games = given.length > 0 ? given.map((game) => resolve(game))
  : [join(root, 'samples', 'sample.mgx'),
    ...(existsSync(corpus) ? readdirSync(corpus).filter((name) => /\.mg.$/i.test(name)).sort().map((name) => join(corpus, name)) : [])];
const cli = join(root, 'build', 'native', 'cli', 'velkorin');
const runs = 15;

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

const browser = await puppeteer.launch({ executablePath: '/usr/bin/chromium', headless: true,
  args: process.getuid() === 0 ? ['--no-sandbox'] : [] });
const page = await browser.newPage();
await page.goto(pathToFileURL(join(pageDir, 'index.html')).href);
await (await page.$('#files')).uploadFile(...games);
await page.waitForFunction(() => !document.querySelector('.game .pending') && document.querySelector('#progress-line').hidden
  && document.querySelectorAll('.game').length > 0, { timeout: 120000 });

const out = mkdtempSync(join(tmpdir(), 'velkorin-bench-'));
const size = (path) => statSync(path).size;
console.log(`page folder ${pageDir}: ${readdirSync(pageDir).reduce((sum, file) => sum + size(join(pageDir, file)), 0)} bytes`);
console.log('| recorded game | in the page (worker) | `velkorin extract` | ratio |\n|---|---:|---:|---:|');
for (const game of games) {
  const name = basename(game);
  const web = [];
  const native = [];
  for (let run = 0; run < runs; ++run) {
    web.push(await page.evaluate((gameName) => new Promise((done) => {
      const entry = games.find((listed) => listed.shownName === gameName);
      const listen = (event) => {
        if (event.data.type !== 'script' || event.data.id !== entry.id) return;
        worker.removeEventListener('message', listen);
        done(event.data.elapsed);
      };
      worker.addEventListener('message', listen);
      worker.postMessage({ type: 'script', id: entry.id, number: 1, options: { names: 'standard', salvage: 0 } });
    }), name));
    // Five native runs from one shell, so that node's cost of starting a process is not counted.
    const seconds = execFileSync('bash', ['-c',
      'TIMEFORMAT=%R; { time (for i in 1 2 3 4 5; do "$0" extract "$1" -o "$2" >/dev/null 2>&1; done; true); } 2>&1',
      cli, game, join(out, 'out.per')]);
    native.push(Number(seconds.toString().trim()) * 1000 / 5);
  }
  const [w, n] = [median(web), median(native)];
  console.log(`| \`${name}\` | ${w.toFixed(1)} ms | ${n.toFixed(1)} ms | ${(w / n).toFixed(2)} |`);
}
rmSync(out, { recursive: true, force: true });
await browser.close();
