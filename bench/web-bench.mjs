// The page against the command line, in headless chromium, in the same run, interleaved:
//   node bench/web-bench.mjs [PAGE_DIR] [GAME…]
// By default build/page, the bundled sample, the test kit's game of 6,000 rules and the shared corpus.
// Prints, as Markdown tables:
// - each game's script 1 extracted in the page (from asking the worker to having the text in the
//   page) against `velkorin extract` as a process, and the page's stages, timed in a worker of their
//   own (bench/WebStages.cpp), against the floor: libdeflate's inflate alone of the same header;
// - 200 copies of matchup_1v2v2.mgx of the corpus listed in the page (from choosing the files to the
//   last game's line) against `velkorin list` of their folder, on every processor and on one.
// Medians of 15 runs in the page and 75 native for each game, and of 5 each for the list; the load
// average before and after.
import { execFileSync } from 'node:child_process';
import { copyFileSync, existsSync, mkdirSync, mkdtempSync, readFileSync, readdirSync, rmSync, statSync } from 'node:fs';
import { createRequire } from 'node:module';
import { cpus, loadavg, tmpdir } from 'node:os';
import { basename, dirname, join, resolve } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const root = resolve(dirname(fileURLToPath(import.meta.url)), '..');
const puppeteer = createRequire(join(root, 'web', 'package.json'))('puppeteer-core');
const [pageDir = join(root, 'build', 'page'), ...given] = process.argv.slice(2);
const corpus = resolve(root, '..', 'shared', 'corpus');
const cli = join(root, 'build', 'native', 'cli', 'velkorin');
const stagesModule = join(root, 'build', 'web', 'web', 'velkorin_stages.js');
const runs = 15;
const listCopies = 200;
const listRuns = 5;

const scratch = mkdtempSync(join(tmpdir(), 'velkorin-bench-'));
const kitDir = join(scratch, 'kit');
execFileSync(join(root, 'build', 'native', 'tests', 'testkit', 'velkorin_test_games'), [kitDir]);
const corpusGames = existsSync(corpus)
  ? readdirSync(corpus).filter((name) => /\.mg.$/i.test(name)).sort().map((name) => join(corpus, name)) : [];
const games = given.length > 0 ? given.map((game) => resolve(game))
  : [join(root, 'samples', 'sample.mgx'), join(kitDir, '6000-rules.mgx'), ...corpusGames];

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const ms = (value) => `${value.toFixed(value < 10 ? 2 : 1)} ms`;
const load = () => loadavg().map((value) => value.toFixed(2)).join(', ');

// The seconds a shell takes to run the command five times, per run, so that node's cost of starting a
// process is not counted.
function nativeMs(...args) {
  const seconds = execFileSync('bash', ['-c',
    'TIMEFORMAT=%R; { time (for i in 1 2 3 4 5; do "$@" >/dev/null 2>&1; done; true); } 2>&1', 'bash', ...args]);
  return Number(seconds.toString().trim()) * 1000 / 5;
}

const browser = await puppeteer.launch({ executablePath: '/usr/bin/chromium', headless: true,
  args: process.getuid() === 0 ? ['--no-sandbox'] : [] });

async function openPage() {
  const page = await browser.newPage();
  await page.goto(pathToFileURL(join(pageDir, 'index.html')).href);
  // The workers have started their cores once the code pages are known.
  await page.waitForFunction(() => !document.querySelector('#encoding').disabled);
  return page;
}

function waitForList(page, count) {
  return page.waitForFunction((expected) => document.querySelectorAll('.game').length === expected
    && !document.querySelector('.game .pending') && document.querySelector('#progress-line').hidden, { timeout: 300000 }, count);
}

// Script 1 of the game listed under `name`, from the request to its text in the page: milliseconds.
function extractInPage(page, name) {
  return page.evaluate((gameName) => new Promise((done) => {
    const entry = games.find((listed) => listed.shownName === gameName);
    const started = performance.now();
    const listen = (event) => {
      if (event.data.type !== 'script' || event.data.id !== entry.id) return;
      worker.removeEventListener('message', listen);
      done(performance.now() - started);
    };
    worker.addEventListener('message', listen);
    worker.postMessage({ type: 'script', id: entry.id, number: 1, options: { names: 'standard', salvage: 0 } });
  }), name);
}

// A worker that runs the page's extraction stage by stage, reading as worker.js reads, of the listed file.
const stagesWorker = `${readFileSync(stagesModule, 'utf8')}
let core = null;
const fields = new Map();  // name -> header-length field, as the page remembers it from describing a game
onmessage = async ({ data: { file } }) => {
  core = core || await createStages();
  const text = (value) => {
    const size = core.lengthBytesUTF8(value) + 1;
    const pointer = core._malloc(size);
    core.stringToUTF8(value, pointer, size);
    return pointer;
  };
  const name = text(file.name);
  const started = performance.now();
  const fieldPointer = core._malloc(4);
  const toRead = (field) => {
    core.HEAPU8.set(field, fieldPointer);
    return core._stages_bytes_to_read(fieldPointer, field.length, file.size, name) >>> 0;
  };
  const known = fields.get(file.name);
  const first = new Uint8Array(await file.slice(0, known ? toRead(known) : 256 * 1024).arrayBuffer());
  fields.set(file.name, first.slice(0, 4));
  const count = toRead(first.subarray(0, 4));
  let leading = first;
  if (count > first.length) {
    const rest = new Uint8Array(await file.slice(first.length, count).arrayBuffer());
    leading = new Uint8Array(first.length + rest.length);
    leading.set(first);
    leading.set(rest, first.length);
  }
  const read = performance.now();
  const data = core._malloc(Math.max(leading.length, 1));
  core.HEAPU8.set(leading, data);
  const copied = performance.now();
  const times = core._malloc(32);
  const size = core._stages_extract(data, leading.length, file.size, name, times);
  const [load, section, writing, floor] = new Float64Array(core.HEAPU8.buffer, times, 4);
  const handing = performance.now();
  const at = core._stages_text();
  const bytes = size >= 0 ? core.HEAPU8.slice(at, at + size) : new Uint8Array(0);
  for (const pointer of [name, fieldPointer, data, times]) core._free(pointer);
  postMessage({ read: read - started, copy: copied - read, load, section, writing, floor, bytes,
    sliced: performance.now() - handing, sent: performance.timeOrigin + performance.now() }, [bytes.buffer]);
};`;

function stagesInPage(page, name) {
  return page.evaluate((gameName) => new Promise((done) => {
    const entry = games.find((listed) => listed.shownName === gameName);
    stagesWorker.onmessage = ({ data }) => done({ ...data, bytes: undefined,
      handover: data.sliced + performance.timeOrigin + performance.now() - data.sent });
    stagesWorker.postMessage({ file: worker.games.get(entry.id).file });
  }), name);
}

const stageNames = { read: 'reading the file', copy: 'copying it in', load: 'inflating', section: 'AI section',
  writing: 'text', handover: 'handing over' };

async function extractionTable() {
  const page = await openPage();
  await page.evaluate((source) => {
    window.stagesWorker = new Worker(URL.createObjectURL(new Blob([source], { type: 'text/javascript' })));
  }, stagesWorker);
  await (await page.$('#files')).uploadFile(...games);
  await waitForList(page, games.length);
  const out = join(scratch, 'out.per');
  // Once untimed, so that the page's code is compiled for speed, as it soon is in use.
  for (const game of games) {
    await extractInPage(page, basename(game));
    await stagesInPage(page, basename(game));
  }
  console.log(`| recorded game | ${Object.values(stageNames).join(' | ')} | in the page | \`velkorin extract\` | ratio `
    + '| inflate alone (floor) | page ÷ floor |');
  console.log(`|---|${'---:|'.repeat(Object.keys(stageNames).length + 5)}`);
  const ratios = [];
  for (const game of games) {
    const name = basename(game);
    const web = [];
    const native = [];
    const stages = [];
    for (let run = 0; run < runs; ++run) {
      web.push(await extractInPage(page, name));
      stages.push(await stagesInPage(page, name));
      native.push(nativeMs(cli, 'extract', game, '-o', out));
    }
    const [w, n] = [median(web), median(native)];
    const floor = median(stages.map((stage) => stage.floor));
    ratios.push(w / n);
    const stageCells = Object.keys(stageNames).map((key) => ms(median(stages.map((stage) => stage[key]))));
    console.log(`| \`${name}\` | ${stageCells.join(' | ')} | ${ms(w)} | ${ms(n)} | ${(w / n).toFixed(2)} `
      + `| ${floor > 0 ? ms(floor) : '—'} | ${floor > 0 ? (w / floor).toFixed(2) : '—'} |`);
  }
  console.log(`\nMedian ratio to \`velkorin extract\`: ${median(ratios).toFixed(2)}; largest ${Math.max(...ratios).toFixed(2)}.\n`);
  await page.close();
}

async function listTable() {
  const source = join(corpus, 'matchup_1v2v2.mgx');
  if (!existsSync(source)) return;
  const folder = join(scratch, 'copies');
  mkdirSync(folder);
  const copies = Array.from({ length: listCopies }, (_, i) => join(folder, `copy-${String(i).padStart(3, '0')}.mgx`));
  for (const copy of copies) copyFileSync(source, copy);
  const page = await openPage();
  await page.evaluate(() => document.addEventListener('change', (event) => {
    if (event.target.id === 'files') window.listStarted = performance.now();
  }, true));
  const web = [];
  const native = [];
  const single = [];
  for (let run = 0; run < listRuns; ++run) {
    await page.evaluate(() => { document.querySelector('#games').replaceChildren(); });
    await (await page.$('#files')).uploadFile(...copies);
    // Timed inside the page, at the change to the list that shows the last game.
    web.push(await (await page.waitForFunction((expected) => document.querySelectorAll('.game').length === expected
      && !document.querySelector('.game .pending') && performance.now() - window.listStarted,
    { polling: 'mutation', timeout: 300000 }, listCopies)).jsonValue());
    native.push(nativeMs(cli, 'list', folder));
    single.push(nativeMs('taskset', '-c', '0', cli, 'list', folder));
  }
  const [w, n, s] = [median(web), median(native), median(single)];
  console.log(`| ${listCopies} copies of \`matchup_1v2v2.mgx\` | in the page (${await page.evaluate(() => worker.workers.length)} workers) `
    + '| `velkorin list` | ratio | `velkorin list` on one processor |\n|---|---:|---:|---:|---:|');
  console.log(`| listed | ${ms(w)} | ${ms(n)} | ${(w / n).toFixed(2)} | ${ms(s)} |\n`);
  await page.close();
}

const size = (path) => statSync(path).size;
console.log(`Page folder ${pageDir}: ${readdirSync(pageDir).reduce((sum, file) => sum + size(join(pageDir, file)), 0)} bytes; `
  + `${cpus().length} processors; load average ${load()} at the start.\n`);
await extractionTable();
await listTable();
console.log(`Load average ${load()} at the end.`);
rmSync(scratch, { recursive: true, force: true });
await browser.close();
